// The room board of the largest hotels: 7,500 rooms, ten years of ended stays (about two
// million GuestInRecord rows) and the open stays of a 70 % occupancy. Times the board's query
// alone through the SQLite C API, the same query read through Qt SQL, and a full rebuild of
// the board on a real main window (offscreen), and prints each as a ratio to the query alone.
// Also times the other lists of such a hotel through the program's code against the fastest
// plan of their statements: the check-out list (F3) on its form, the room list in each state,
// the board's pop-up check-out of a room; and the check-out form and the check-in form opened
// from the board.
//
// The database is made through the program's schema and never analysed, as a hotel's is. It
// is built once into the build folder and reused (see benchsupport.h).
#include "benchsupport.h"

#include "app/mainform.h"
#include "app/roomboard.h"
#include "data/dataset.h"
#include "data/dm.h"
#include "stays/guestleaveform.h"
#include "stays/guestquickinform.h"
#include "stays/roomlist.h"
#include "stays/roomlistform.h"
#include "stays/stays.h"

#include <QCoreApplication>
#include <QEvent>
#include <QListView>
#include <QRadioButton>
#include <QScrollBar>
#include <QSqlQuery>
#include <QTableView>

#include <cstdio>
#include <memory>
#include <string>
#include <vector>

using namespace bench;

namespace {

constexpr int kBuildings = 15, kFloors = 25, kRoomsPerFloor = 20;
constexpr int kRooms = kBuildings * kFloors * kRoomsPerFloor; // 7,500
constexpr int kEndedStays = 2'000'000;

// The filling statements. Rooms: lock code and door plate BFFRR, state 1 on one room in 40.
// Ended stays: one after another in every room, about one every 13.7 days over ten years,
// inserted in time order (so a room's stays are spread over the whole table). Open stays:
// 70 % of the rooms, and every 250th room has two.
const std::vector<const char *> kFill = {
    "INSERT INTO RoomType (Title, Size, Piece) VALUES ('Standard', 2, 288), "
    "('Single', 1, 198), ('Suite', 3, 588)",
    "INSERT INTO District (DistrictNumber, Notes) VALUES (1, 'North'), (2, 'South'), "
    "(3, 'Garden')",
    "INSERT INTO RoomInfo (Room, RoomStr, SystemRoomStr, Buiding, Floor, RoomNumber, District, "
    "RoomState, RoomTypeStr, CardSn) "
    "WITH RECURSIVE b(x) AS (SELECT 1 UNION ALL SELECT x + 1 FROM b WHERE x < 15), "
    "f(y) AS (SELECT 1 UNION ALL SELECT y + 1 FROM f WHERE y < 25), "
    "r(z) AS (SELECT 1 UNION ALL SELECT z + 1 FROM r WHERE z < 20) "
    "SELECT x * 10000 + y * 100 + z, printf('%d%02d%02d', x, y, z), "
    "printf('%02d%02d%02d', x, y, z), x, y, z, (x - 1) % 3 + 1, "
    "CASE WHEN (x * 7 + y * 13 + z * 29) % 40 = 0 THEN 1 ELSE 0 END, "
    "CASE z % 4 WHEN 0 THEN 'Suite' WHEN 1 THEN 'Single' ELSE 'Standard' END, z * 3 "
    "FROM b, f, r ORDER BY x, y, z",
    "INSERT INTO GuestInRecord (GuestName, GuestID, Room, RoomStr, Rom, GuestInTime, "
    "GuestLeaveTime, LeaveTime, enOverride, InputUser, MakeName, InputTime, CardCounts) "
    "SELECT 'Guest ' || i, printf('%018d', (i * 7919 + 104729) % 1000000000000), R.Room, "
    "R.RoomStr, printf('%08X', i + 1), datetime(s), datetime(s + d - 2 / 24.0), "
    "datetime(s + d - 2 / 24.0 - (i % 5) * 0.03), 1, 'admin', 'Administrator', datetime(s), "
    "1 + i % 2 "
    "FROM (WITH RECURSIVE n(i) AS (SELECT 0 UNION ALL SELECT i + 1 FROM n WHERE i < 1999999) "
    "SELECT i, julianday('2015-01-01 14:00:00') + (i / 7500) * 13.68 + (i * 37 % 7) * 0.5 AS s, "
    "1 + i % 4 AS d FROM n) "
    "JOIN RoomInfo R ON R.ID = i % 7500 + 1",
    "INSERT INTO GuestInRecord (GuestName, GuestID, Room, RoomStr, Rom, GuestInTime, "
    "GuestLeaveTime, InputUser, MakeName, InputTime) "
    "SELECT 'Guest ' || (2000000 + ID + k * 7500), printf('%018d', ID * 31337 + k), Room, RoomStr, "
    "printf('%08X', 2000001 + ID + k * 7500), datetime(s), datetime(s + 2 + ID % 3 - 0.1), "
    "'admin', 'Administrator', datetime(s) "
    "FROM (SELECT ID, Room, RoomStr, k, "
    "julianday('2025-01-01 14:00:00') - (ID % 3) - k * 0.2 AS s "
    "FROM RoomInfo, (SELECT 0 AS k UNION ALL SELECT 1) "
    "WHERE (k = 0 AND ((ID * 7919) % 100 < 70 OR ID % 250 = 0)) OR (k = 1 AND ID % 250 = 0)) "
    "ORDER BY s, ID",
};
constexpr int kGeneratorVersion = 1;

// Counts the statements SQLite starts on the program's connection (per-room queries would
// show here as thousands per rebuild).
int g_statements = 0;
int CountStatement(unsigned, void *, void *, void *)
{
    ++g_statements;
    return 0;
}

// Counts the paint events of the board's viewport.
class PaintCounter : public QObject
{
public:
    int paints = 0;
    bool eventFilter(QObject *, QEvent *event) override
    {
        if (event->type() == QEvent::Paint)
            ++paints;
        return false;
    }
};

struct Bench
{
    std::unique_ptr<TMainForm> form;
    QListView *view = nullptr;
    PaintCounter paints;
};
Bench *g_bench = nullptr;

const std::string &BoardSql()
{
    static const std::string sql =
        RoomBoardLines(std::nullopt, std::nullopt).join('\n').toStdString();
    return sql;
}

// The board's query alone: prepared, stepped to the end, the same four columns read.
void BM_SqlOnly(benchmark::State &state)
{
    sqlite3 *db = Handle();
    const std::string &sql = BoardSql();
    std::int64_t rows = 0;
    for (auto _ : state) {
        sqlite3_stmt *stmt = nullptr;
        if (sqlite3_prepare_v2(db, sql.c_str(), int(sql.size()), &stmt, nullptr) != SQLITE_OK)
            Fail(std::string("prepare: ") + sqlite3_errmsg(db));
        int roomStr = -1, room = -1, stateId = -1, guestIn = -1;
        for (int c = 0; c < sqlite3_column_count(stmt); ++c) {
            const std::string name = sqlite3_column_name(stmt, c);
            if (name == "RoomStr")
                roomStr = c;
            else if (name == "Room")
                room = c;
            else if (name == "RoomStateID")
                stateId = c;
            else if (name == "GuestInTime")
                guestIn = c;
        }
        std::int64_t sum = 0;
        rows = 0;
        while (sqlite3_step(stmt) == SQLITE_ROW) {
            const unsigned char *plate = sqlite3_column_text(stmt, roomStr);
            sum += sqlite3_column_bytes(stmt, roomStr) + (plate ? plate[0] : 0);
            sum += sqlite3_column_int(stmt, room);
            if (sqlite3_column_type(stmt, stateId) != SQLITE_NULL)
                sum += sqlite3_column_int(stmt, stateId);
            sum += sqlite3_column_type(stmt, guestIn) == SQLITE_NULL;
            ++rows;
        }
        sqlite3_finalize(stmt);
        benchmark::DoNotOptimize(sum);
    }
    state.counters["rows"] = double(rows);
}

// The board's query through Qt SQL, as the board reads it.
void BM_LoadRoomBoard(benchmark::State &state)
{
    std::int64_t rows = 0;
    for (auto _ : state) {
        const QVector<BoardRoom> rooms = LoadRoomBoard(std::nullopt, std::nullopt);
        rows = rooms.size();
        benchmark::DoNotOptimize(rooms.constData());
    }
    state.counters["rows"] = double(rows);
}

void RunRebuilds(benchmark::State &state, bool processEvents)
{
    TMainForm &form = *g_bench->form;
    QCoreApplication::processEvents();
    const int statementsBefore = g_statements;
    const int paintsBefore = g_bench->paints.paints;
    for (auto _ : state) {
        form.SetRoom_LV();
        if (processEvents)
            QCoreApplication::processEvents();
    }
    const double n = double(state.iterations());
    state.counters["rows"] = double(form.BoardRooms().size());
    state.counters["stmts_per_rebuild"] = (g_statements - statementsBefore) / n;
    state.counters["paints_per_rebuild"] = (g_bench->paints.paints - paintsBefore) / n;
    state.counters["selected"] = double(form.SelectedRooms().size());
}

// A full rebuild of the board: SetRoom_LV alone.
void BM_SetRoom_LV(benchmark::State &state)
{
    RunRebuilds(state, false);
}
// A rebuild followed by the events it leaves behind (the one repaint of the shown window).
void BM_SetRoom_LV_Painted(benchmark::State &state)
{
    RunRebuilds(state, true);
}

BENCHMARK(BM_SqlOnly)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_LoadRoomBoard)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_SetRoom_LV)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_SetRoom_LV_Painted)->Unit(benchmark::kMillisecond)->UseRealTime();

void PrintBoardQueryPlan()
{
    std::printf("Query plan of the board:\n");
    bool scansStays = false;
    for (const QString &text : QueryPlan(BoardSql())) {
        const std::string detail = text.toStdString();
        std::printf("  %s\n", detail.c_str());
        if (detail.rfind("SCAN", 0) == 0 && detail.find("GuestInRecord") != std::string::npos)
            scansStays = true;
        if (detail == "SCAN G" || detail.rfind("SCAN G ", 0) == 0)
            scansStays = true;
    }
    std::printf("  -> %s\n", scansStays ? "SCANS GuestInRecord: every stay is read per rebuild"
                                        : "GuestInRecord is searched through an index");
}

// ---------------------------------------------------------------- the other lists

// The check-out list (F3) listed on a shown form, as it is when the form opens and after each
// check-out from it.
std::unique_ptr<TGuestLeave_Form> g_checkOut;
Listing CheckOutList()
{
    Listing l;
    l.name = "check-out list (F3)";
    g_checkOut = std::make_unique<TGuestLeave_Form>(g_bench->form.get());
    g_checkOut->show();
    QCoreApplication::processEvents();
    l.program = [] { g_checkOut->FindGuestInData(); };
    l.view =
        g_checkOut->findChild<QTableView *>(QStringLiteral("GuestInRecord_DBGrid"))->viewport();
    Query q(dm->conn);
    FindOpenStays(q);
    l.rows = q.RecordCount();
    l.statements = {{FastestPlan(Sql(q.SQL), QStringLiteral("GuestInRecord"))}};
    PrintQueryPlan("the check-out list", Sql(q.SQL));
    return l;
}

// The check-out form (F3) opened on the main window, shown (its list read and painted) and
// closed.
void BM_CheckOutListOpened(benchmark::State &state)
{
    for (auto _ : state) {
        TGuestLeave_Form form(g_bench->form.get());
        form.show();
        QCoreApplication::processEvents();
    }
}

// The room list in one state, on a shown room list form, as "Check(&Q)" lists it.
std::unique_ptr<TRoomList_Form> g_roomList;
Listing RoomList(RoomStatus status, const char *name, const char *button)
{
    Listing l;
    l.name = std::string("room list, ") + name;
    l.choose = [button] {
        g_roomList->findChild<QRadioButton *>(QString::fromLatin1(button))->setChecked(true);
    };
    l.program = [] { g_roomList->FindRoomList(); };
    l.view = g_roomList->findChild<QTableView *>(QStringLiteral("RoomInfo_DBGrid"))->viewport();
    l.choose();
    l.program();
    l.rows = g_roomList->RoomInfo_ado.RecordCount();
    const std::string sql = Sql(FindRoomListLines(std::nullopt, std::nullopt, status));
    l.statements = {{FastestPlan(sql, QStringLiteral("GuestInRecord"))}};
    PrintQueryPlan(l.name.c_str(), sql);
    return l;
}

// The board's pop-up check-out of one occupied room: its first open stay ends and the board
// is rebuilt; the stay is opened again (untimed) for the next round.
const QString kCheckOutRoom = QStringLiteral("10101");
qint64 g_stayId = 0;
void ReopenStay(benchmark::State &state)
{
    state.PauseTiming();
    ExecOrFail(Handle(),
               QStringLiteral("UPDATE GuestInRecord SET enOverride=0, LeaveTime=NULL WHERE ID=%1")
                   .arg(g_stayId)
                   .toUtf8()
                   .constData());
    state.ResumeTiming();
}

void BM_PopupCheckOut(benchmark::State &state)
{
    TMainForm &form = *g_bench->form;
    for (auto _ : state) {
        if (!EndFirstOpenStayOfRoom(kCheckOutRoom))
            Fail("the room has no open stay");
        form.SetRoom_LV();
        QCoreApplication::processEvents();
        ReopenStay(state);
    }
}

void BM_BarePopupCheckOut(benchmark::State &state)
{
    const std::string find = "select * from GuestInRecord Where enOverride=0 And RoomStr='" +
                             kCheckOutRoom.toStdString() + "'";
    const std::string end = QStringLiteral("Update GuestInRecord Set enOverride=1,LeaveTime="
                                           "'2025-01-02 10:00:00' Where ID=%1 and enOverride=0")
                                .arg(g_stayId)
                                .toStdString();
    for (auto _ : state) {
        StepRows(find);
        ExecOrFail(Handle(), end.c_str());
        StepRows(BoardSql());
        ReopenStay(state);
    }
}

// The check-in form opened from the board's pop-up menu on a free room, shown and closed.
void BM_BoardCheckIn(benchmark::State &state)
{
    for (auto _ : state) {
        TGuestQuickIn_Form form(g_bench->form.get());
        form.SetRoom(QStringLiteral("10102"));
        form.show();
        QCoreApplication::processEvents();
    }
}

} // namespace

int main(int argc, char **argv)
{
    BenchProgram program(argc, argv, "roomboard", kFill, kGeneratorVersion);
    {
        QSqlQuery q(dm->conn.database());
        q.exec(QStringLiteral("select (select count(*) from RoomInfo), "
                              "(select count(*) from GuestInRecord where enOverride=1), "
                              "(select count(*) from GuestInRecord where enOverride=0)"));
        q.next();
        std::printf("Hotel: %d rooms, %d ended stays, %d open stays\n", q.value(0).toInt(),
                    q.value(1).toInt(), q.value(2).toInt());
    }
    PrintBoardQueryPlan();
    sqlite3_trace_v2(Handle(), SQLITE_TRACE_STMT, CountStatement, nullptr);

    // The main window as the operator has it: shown, a few rooms selected, scrolled halfway.
    Bench bench;
    g_bench = &bench;
    bench.form = std::make_unique<TMainForm>();
    bench.form->resize(1280, 800);
    bench.form->show();
    QCoreApplication::processEvents();
    bench.view = bench.form->findChild<QListView *>(QStringLiteral("Room_LV"));
    bench.view->viewport()->installEventFilter(&bench.paints);
    for (int row : {17, 3000, 3001, 7000})
        bench.view->selectionModel()->select(bench.view->model()->index(row, 0),
                                             QItemSelectionModel::Select);
    QScrollBar *bar = bench.view->verticalScrollBar();
    bar->setValue(bar->maximum() / 2);
    const int scroll = bar->value();
    QCoreApplication::processEvents();

    // The other lists, each with its statements at their fastest plans (found before timing).
    {
        QSqlQuery q(dm->conn.database());
        q.exec(QStringLiteral("select ID from GuestInRecord where enOverride=0 and RoomStr='%1' "
                              "order by ID limit 1")
                   .arg(kCheckOutRoom));
        if (!q.next())
            Fail("the room of the pop-up check-out has no open stay");
        g_stayId = q.value(0).toLongLong();
    }
    std::vector<Listing> listings;
    AddListing(listings, "check-out list (F3)", CheckOutList);
    g_roomList = std::make_unique<TRoomList_Form>(bench.form.get());
    g_roomList->resize(900, 600);
    g_roomList->show();
    struct Choice
    {
        RoomStatus status;
        const char *name, *button;
    };
    for (const Choice &c : {Choice{RoomStatus::AllGuest, "all rooms", "AllGuest_RB"},
                            Choice{RoomStatus::NoBooked, "vacant rooms", "NoBooked_RB"},
                            Choice{RoomStatus::Booked, "occupied rooms", "Booked_RB"}})
        AddListing(listings, std::string("room list, ") + c.name,
                   [&] { return RoomList(c.status, c.name, c.button); });
    RegisterListings(listings);
    benchmark::RegisterBenchmark("BM_PopupCheckOut", BM_PopupCheckOut)
        ->Unit(benchmark::kMillisecond)
        ->UseRealTime();
    benchmark::RegisterBenchmark("BM_BarePopupCheckOut", BM_BarePopupCheckOut)
        ->Unit(benchmark::kMillisecond)
        ->UseRealTime();
    benchmark::RegisterBenchmark("BM_CheckOutListOpened", BM_CheckOutListOpened)
        ->Unit(benchmark::kMillisecond)
        ->UseRealTime();
    benchmark::RegisterBenchmark("BM_BoardCheckIn", BM_BoardCheckIn)
        ->Unit(benchmark::kMillisecond)
        ->UseRealTime();

    RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);

    const auto [sqlReal, sqlCpu] = reporter.median("BM_SqlOnly");
    if (sqlReal > 0) {
        for (const char *name : {"BM_LoadRoomBoard", "BM_SetRoom_LV", "BM_SetRoom_LV_Painted"}) {
            const auto [real, cpu] = reporter.median(name);
            if (real > 0)
                std::printf("%s / SQL alone = %.2f  (%.1f ms vs %.1f ms; CPU time ratio %.2f)\n",
                            name + 3, real / sqlReal, real * 1e3, sqlReal * 1e3,
                            sqlCpu > 0 ? cpu / sqlCpu : 0.0);
        }
    }
    std::printf("\nThe other lists against the fastest plans of their statements (targets: "
                "within 2 times and under 100 ms; with the repaint under 100 ms):\n");
    bool held = PrintListingRatios(reporter, listings, 2.0, 100.0);
    held = reporter.printRatio("pop-up check-out of a room, board rebuilt", "BM_PopupCheckOut",
                               "BM_BarePopupCheckOut", 2.0, 100.0) &&
           held;
    held = reporter.printRatio("check-out form (F3) opened, listed and painted",
                               "BM_CheckOutListOpened", "Bare/check-out list (F3)", 1e9, 100.0) &&
           held;
    const auto checkIn = reporter.median("BM_BoardCheckIn");
    if (checkIn.first > 0) {
        std::printf("%-46s %9.2f ms (no statement on the hotel database)%s\n",
                    "check-in form opened from the board", checkIn.first * 1e3,
                    checkIn.first * 1e3 <= 100 ? "" : "  <-- target missed");
        held = held && checkIn.first * 1e3 <= 100;
    }
    std::printf("%s\n", held ? "All targets met." : "SOME TARGETS MISSED.");

    // The rebuilds must have kept what the operator pointed at.
    if (bench.form->SelectedRooms().size() != 4 || bar->value() != scroll)
        std::printf("WARNING: a rebuild did not keep the selection or the scroll position "
                    "(selected rooms: %d, were 4; scroll position: %d, was %d)\n",
                    int(bench.form->SelectedRooms().size()), bar->value(), scroll);
    for (const QString &text : program.silent.texts)
        if (text != QStringLiteral("No encoder found,demo only"))
            std::printf("Message shown: %s\n", qPrintable(text));

    g_roomList.reset();
    g_checkOut.reset();
    bench.form.reset();
    return 0;
}
