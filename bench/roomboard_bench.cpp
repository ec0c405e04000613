// The room board of the largest hotels: 7,500 rooms, ten years of ended stays (about two
// million GuestInRecord rows) and the open stays of a 70 % occupancy. Times the board's query
// alone through the SQLite C API, the same query read through Qt SQL, and a full rebuild of
// the board on a real main window (offscreen), and prints each as a ratio to the query alone.
//
// The database is built once into the build folder and reused; its file name carries a
// digest of the schema and of the generator, so a change to either builds a new one.
#include "app/application.h"
#include "app/logon.h"
#include "app/mainform.h"
#include "app/roomboard.h"
#include "data/appdir.h"
#include "data/dataset.h"
#include "data/dm.h"
#include "data/schema.h"
#include "data/settings.h"
#include "ui/dialogs.h"

#include <QCryptographicHash>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QListView>
#include <QScrollBar>
#include <QSqlDriver>
#include <QSqlQuery>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>
#include <sqlite3.h>

#include <algorithm>
#include <cstdio>
#include <map>
#include <memory>
#include <string>
#include <vector>

namespace {

constexpr int kBuildings = 15, kFloors = 25, kRoomsPerFloor = 20;
constexpr int kRooms = kBuildings * kFloors * kRoomsPerFloor; // 7,500
constexpr int kEndedStays = 2'000'000;

// The filling statements. Rooms: lock code and door plate BFFRR, state 1 on one room in 40.
// Ended stays: one after another in every room, about one every 13.7 days over ten years,
// inserted in time order (so a room's stays are spread over the whole table). Open stays:
// 70 % of the rooms, and every 250th room has two.
const char *const kFill[] = {
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

// Dialogs that answer every question with its default and keep the texts.
class SilentDialogs : public Dialogs
{
public:
    QStringList texts;
    MsgResult message(const QString &text, const QString &, MsgIcon, MsgButtons buttons) override
    {
        texts.append(text);
        return buttons == MsgButtons::YesNo ? MsgResult::Yes : MsgResult::Ok;
    }
    bool inputText(const QString &, const QString &, QString &) override { return false; }
    QString openFileName(const QString &, const QString &, const QString &) override
    {
        return QString();
    }
    QString saveFileName(const QString &, const QString &, const QString &) override
    {
        return QString();
    }
};

[[noreturn]] void Fail(const std::string &what)
{
    std::fprintf(stderr, "roomboard_bench: %s\n", what.c_str());
    std::exit(1);
}

void ExecOrFail(sqlite3 *db, const char *sql)
{
    char *message = nullptr;
    if (sqlite3_exec(db, sql, nullptr, nullptr, &message) != SQLITE_OK) {
        const std::string text = message ? message : "unknown error";
        sqlite3_free(message);
        Fail(std::string("fill statement failed: ") + text + "\n" + sql);
    }
}

QString CachePath()
{
    QCryptographicHash digest(QCryptographicHash::Sha1);
    digest.addData(HotelSchemaStatements().join('\n').toUtf8());
    for (const char *statement : kFill)
        digest.addData(QByteArray(statement));
    digest.addData(QByteArray::number(kGeneratorVersion));
    return QStringLiteral(QUENMAR_BENCH_CACHE_DIR "/roomboard-%1.db")
        .arg(QString::fromLatin1(digest.result().toHex().left(10)));
}

// Returns the path of the filled database, building it when no current one is cached.
QString HotelDatabase()
{
    const QString path = CachePath();
    if (QFileInfo::exists(path))
        return path;
    // Older databases of this benchmark are stale once the schema or generator changed.
    QDir cache(QStringLiteral(QUENMAR_BENCH_CACHE_DIR));
    for (const QString &old : cache.entryList({QStringLiteral("roomboard-*.db*")}, QDir::Files))
        cache.remove(old);

    // Built beside its final name and renamed when complete, so a broken-off build is never
    // taken for a finished one.
    const QString part = path + QStringLiteral(".part");
    QString error;
    if (!CreateHotelDatabase(part, false, &error))
        Fail(error.toStdString());
    std::fprintf(stderr, "Building the hotel database (once): %s\n", qPrintable(path));
    QElapsedTimer clock;
    clock.start();
    sqlite3 *db = nullptr;
    if (sqlite3_open(part.toUtf8().constData(), &db) != SQLITE_OK)
        Fail("cannot open " + part.toStdString());
    ExecOrFail(db, "PRAGMA synchronous=OFF");
    ExecOrFail(db, "PRAGMA cache_size=-262144"); // this connection only
    ExecOrFail(db, "BEGIN");
    for (const char *statement : kFill)
        ExecOrFail(db, statement);
    ExecOrFail(db, "COMMIT");
    sqlite3_close(db);
    if (!QFile::rename(part, path))
        Fail("cannot rename " + part.toStdString());
    std::fprintf(stderr, "Built in %.1f s\n", clock.elapsed() / 1000.0);
    return path;
}

sqlite3 *Handle()
{
    const QVariant v = dm->conn.database().driver()->handle();
    sqlite3 *db = v.isValid() ? *static_cast<sqlite3 *const *>(v.data()) : nullptr;
    if (!db)
        Fail("the connection has no SQLite handle");
    return db;
}

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

// The console report, plus the median time of each benchmark for the closing ratios:
// the median of its repetitions, or the median aggregate when only aggregates are reported.
class RatioReporter : public benchmark::ConsoleReporter
{
public:
    struct Times
    {
        std::vector<double> real, cpu; // seconds per iteration
    };
    std::map<std::string, Times> repetitions, medians;

    void ReportRuns(const std::vector<Run> &runs) override
    {
        for (const Run &run : runs) {
            if (run.error_occurred)
                continue;
            const double perSecond = benchmark::GetTimeUnitMultiplier(run.time_unit);
            Times *times = nullptr;
            if (run.run_type == Run::RT_Iteration)
                times = &repetitions[run.run_name.function_name];
            else if (run.aggregate_name == "median")
                times = &medians[run.run_name.function_name];
            if (times) {
                times->real.push_back(run.GetAdjustedRealTime() / perSecond);
                times->cpu.push_back(run.GetAdjustedCPUTime() / perSecond);
            }
        }
        ConsoleReporter::ReportRuns(runs);
    }
    // Seconds per iteration (real, CPU); zero when the benchmark did not run.
    std::pair<double, double> median(const std::string &name)
    {
        Times &t = repetitions[name].real.empty() ? medians[name] : repetitions[name];
        if (t.real.empty())
            return {0, 0};
        std::sort(t.real.begin(), t.real.end());
        std::sort(t.cpu.begin(), t.cpu.end());
        return {t.real[t.real.size() / 2], t.cpu[t.cpu.size() / 2]};
    }
};

void PrintQueryPlan()
{
    sqlite3_stmt *stmt = nullptr;
    const std::string sql = "EXPLAIN QUERY PLAN " + BoardSql();
    if (sqlite3_prepare_v2(Handle(), sql.c_str(), -1, &stmt, nullptr) != SQLITE_OK)
        Fail("explain failed");
    std::printf("Query plan of the board:\n");
    bool scansStays = false;
    while (sqlite3_step(stmt) == SQLITE_ROW) {
        const std::string detail = reinterpret_cast<const char *>(sqlite3_column_text(stmt, 3));
        std::printf("  %s\n", detail.c_str());
        if (detail.rfind("SCAN", 0) == 0 && detail.find("GuestInRecord") != std::string::npos)
            scansStays = true;
        if (detail == "SCAN G" || detail.rfind("SCAN G ", 0) == 0)
            scansStays = true;
    }
    sqlite3_finalize(stmt);
    std::printf("  -> %s\n", scansStays ? "SCANS GuestInRecord: every stay is read per rebuild"
                                        : "GuestInRecord is searched through an index");
}

} // namespace

int main(int argc, char **argv)
{
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    qputenv("QT_QPA_PLATFORM", "offscreen");
    // No encoder answers: an empty encoder folder of our own.
    QTemporaryDir programDir, encoderDir;
    qputenv("KESTRUNE_ENCODER_DIR", encoderDir.path().toLocal8Bit());
    QuenmarApplication app(argc, argv);

    SilentDialogs silent;
    setDialogs(&silent);
    Tdm module;
    dm = &module;
    SetProgramDir(programDir.path());
    QFile::link(QStringLiteral(QUENMAR_STAGE_DIR "/pic"),
                programDir.path() + QStringLiteral("/pic"));

    const QString path = HotelDatabase();
    if (!OpenDatabaseFile(path))
        Fail("cannot open " + path.toStdString());
    {
        QSqlQuery q(module.conn.database());
        q.exec(QStringLiteral("select count(*) from Operator where Staffer='admin'"));
        if (!q.next() || q.value(0).toInt() == 0) {
            CreateFirstAccount(QStringLiteral("admin"), QStringLiteral("secret"));
        }
        q.exec(QStringLiteral("select (select count(*) from RoomInfo), "
                              "(select count(*) from GuestInRecord where enOverride=1), "
                              "(select count(*) from GuestInRecord where enOverride=0)"));
        q.next();
        std::printf("Hotel: %d rooms, %d ended stays, %d open stays\n", q.value(0).toInt(),
                    q.value(1).toInt(), q.value(2).toInt());
    }
    LockSystemInfo = TLockSystemInfo();
    LockSystemInfo.Staffer = QStringLiteral("admin");
    LockSystemInfo.StafferName = QStringLiteral("Administrator");
    PrintQueryPlan();
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
    // The rebuilds must have kept what the operator pointed at.
    if (bench.form->SelectedRooms().size() != 4 || bar->value() != scroll)
        std::printf("WARNING: a rebuild did not keep the selection or the scroll position "
                    "(selected rooms: %d, were 4; scroll position: %d, was %d)\n",
                    int(bench.form->SelectedRooms().size()), bar->value(), scroll);
    for (const QString &text : silent.texts)
        if (text != QStringLiteral("No encoder found,demo only"))
            std::printf("Message shown: %s\n", qPrintable(text));

    bench.form.reset();
    dm = nullptr;
    setDialogs(nullptr);
    benchmark::Shutdown();
    return 0;
}
