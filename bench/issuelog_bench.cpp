// The issue log and the door log of a busy hotel: 5,000,000 issue records over five years
// (a front desk's mix of card types), 2,000,000 stays, 1,000 rooms, 1,000,000 door openings of
// which one room holds 50,000. The database is made as the program makes one (its own schema,
// never analysed) and times, in one run, each listing through the program's own code against
// the fastest plan of the same statements reading the same rows through the SQLite C API:
//   - the issue log form (TMC_R_From::MakeCardRecordList on a shown form, with the count of
//     the status line, the first rows the grid reads and the repaint): one day of all types,
//     one day of each card type, 31 days of guest cards; the status line's count of those 31
//     days alone;
//   - the door log form (TOpenDoorRecord_Form::Query_BtClick) of the room with 50,000 openings;
// and also the same day compared through DateDiff, as a database server would be asked; the
// purge of one year against the bare DELETE (each rolled back afterwards); importing a data
// card of 256 openings from the virtual encoder (ImportDataCard), and storing the same openings
// alone, against 256 bare inserts in one transaction.
#include "benchsupport.h"

#include "data/clock.h"
#include "data/dataset.h"
#include "data/dm.h"
#include "data/errors.h"
#include "data/settings.h"
#include "kestrune/kestrune.h"
#include "staffcards/issuelog.h"
#include "staffcards/issuelogform.h"
#include "staffcards/opendoorrecordform.h"
#include "staffcards/opendoorrecords.h"

#include <QComboBox>
#include <QCoreApplication>
#include <QDateEdit>
#include <QFile>
#include <QLineEdit>
#include <QProcess>
#include <QSqlQuery>
#include <QTableView>

#include <cstdio>
#include <memory>
#include <string>
#include <vector>

using namespace bench;

namespace {

// The filling statements. Rooms: door plate BFFRR, lock address (B, FF, RR), 5 buildings of
// 10 floors of 20 rooms. Issue records: one every 31.6 s on average over 2020-2024, in time
// order; 85 % guest cards (of the room i % 1000), then master, time, floor, building, group,
// emergency, data-clear, loss-report and data startup cards. Stays: one after another in
// every room over the five years. Door openings: one a minute from 2023 on, every 20th in the
// room 10102 (50,000), the others spread over the rooms 10103 to 11010; none in 10101, where
// the data card's lock is.
const std::vector<const char *> kFill = {
    "INSERT INTO RoomType (Title, Size, Piece) VALUES ('Standard', 2, 288), "
    "('Single', 1, 198), ('Suite', 3, 588)",
    "INSERT INTO RoomInfo (Room, RoomStr, SystemRoomStr, Buiding, Floor, RoomNumber, District, "
    "RoomState, RoomTypeStr, CardSn) "
    "WITH RECURSIVE b(x) AS (SELECT 1 UNION ALL SELECT x + 1 FROM b WHERE x < 5), "
    "f(y) AS (SELECT 1 UNION ALL SELECT y + 1 FROM f WHERE y < 10), "
    "r(z) AS (SELECT 1 UNION ALL SELECT z + 1 FROM r WHERE z < 20) "
    "SELECT x * 10000 + y * 100 + z, printf('%d%02d%02d', x, y, z), "
    "printf('%02d%02d%02d', x, y, z), x, y, z, 1, 0, 'Standard', 5000 "
    "FROM b, f, r ORDER BY x, y, z",
    "INSERT INTO MakeCardRecord (Rom, RoomStr, Room, Buiding, Floor, District, enOverride, "
    "Holder, Explain, CardType, MakeUser, MakeName, StartTime, EndTime, InputTime) "
    "SELECT CASE WHEN t = 4 THEN R.SystemRoomStr || printf('%08X', i / 1000) "
    "ELSE printf('%02X%06X', t, i % 65536) END, "
    "CASE WHEN t = 4 THEN R.RoomStr END, CASE WHEN t = 4 THEN R.Room END, "
    "CASE WHEN t = 8 THEN R.Buiding END, CASE WHEN t = 5 THEN R.Floor END, "
    "CASE WHEN t = 6 THEN 1 END, 1, "
    "CASE WHEN t = 4 THEN 'Guest ' || i ELSE 'Staff ' || (i % 60) END, '', t, "
    "'desk' || (i % 4), 'Front desk ' || (i % 4), datetime(s), datetime(s + 1 + i % 3), "
    "datetime(s) "
    "FROM (WITH RECURSIVE n(i) AS (SELECT 0 UNION ALL SELECT i + 1 FROM n WHERE i < 4999999) "
    "SELECT i, julianday('2020-01-01 00:00:00') + i * (1827.0 / 5000000) AS s, "
    "CASE WHEN i % 100 < 85 THEN 4 WHEN i % 100 < 90 THEN 10 WHEN i % 100 < 93 THEN 2 "
    "WHEN i % 100 < 95 THEN 5 WHEN i % 100 = 95 THEN 8 WHEN i % 100 = 96 THEN 6 "
    "WHEN i % 100 = 97 THEN 3 WHEN i % 100 = 98 THEN 1 WHEN i % 200 = 99 THEN 12 ELSE 14 END "
    "AS t FROM n) "
    "JOIN RoomInfo R ON R.ID = i % 1000 + 1",
    "INSERT INTO GuestInRecord (GuestName, GuestID, Room, RoomStr, Rom, GuestInTime, "
    "GuestLeaveTime, LeaveTime, enOverride, InputUser, MakeName, InputTime, CardCounts) "
    "SELECT 'Guest ' || i, printf('%018d', (i * 7919 + 104729) % 1000000000000), R.Room, "
    "R.RoomStr, printf('%08X', i / 1000), datetime(s), datetime(s + 1.9), datetime(s + 1.9), 1, "
    "'desk1', 'Front desk 1', datetime(s), 1 "
    "FROM (WITH RECURSIVE n(i) AS (SELECT 0 UNION ALL SELECT i + 1 FROM n WHERE i < 1999999) "
    "SELECT i, julianday('2020-01-01 14:00:00') + i * (1827.0 / 2000000) AS s FROM n) "
    "JOIN RoomInfo R ON R.ID = i % 1000 + 1",
    "INSERT INTO OpenDoorRecord (RoomStr, Rom, OpenTime, CardType, CardTypeStr, CardHolderStr, "
    "MakeName) "
    "SELECT R.RoomStr, printf('%08X', j), datetime(julianday('2023-01-01') + j / 1440.0), 4, "
    "'Guest card', 'Guest ' || j, 'Front desk 1' "
    "FROM (WITH RECURSIVE k(j) AS (SELECT 0 UNION ALL SELECT j + 1 FROM k WHERE j < 999999) "
    "SELECT j, CASE WHEN j % 20 = 0 THEN 2 ELSE 3 + j % 198 END AS target FROM k) "
    "JOIN RoomInfo R ON R.ID = target",
};
constexpr int kGeneratorVersion = 2;

// The day listed: a Wednesday in the middle of the log; the month of guest cards around it.
const QDate kDay(2022, 6, 15);
const QDate kMonthFirst(2022, 6, 1), kMonthLast(2022, 7, 1);
const QString kDoorLogRoom = QStringLiteral("10102");

struct Bench
{
    std::unique_ptr<TMC_R_From> issueLog;
    std::unique_ptr<TOpenDoorRecord_Form> doorLog;
    QList<DoorOpening> openings;
};
Bench *g_bench = nullptr;

// The issue log form showing the filter's days and type, as the operator chooses them (the
// type without its listing at once), ready for "Check(&R)".
void ChooseOnForm(const IssueLogFilter &filter)
{
    TMC_R_From &form = *g_bench->issueLog;
    auto *types = form.findChild<QComboBox *>(QStringLiteral("CardType_CB"));
    types->blockSignals(true);
    types->setCurrentIndex(filter.CardTypeTitle ? types->findText(*filter.CardTypeTitle)
                                                : types->count() - 1);
    types->blockSignals(false);
    form.findChild<QDateEdit *>(QStringLiteral("DateStart_Dtp"))->setDate(filter.First);
    form.findChild<QDateEdit *>(QStringLiteral("DateEnd_Dtp"))->setDate(filter.Last);
}

// The issue log's listing of a filter on the form; the statements as the form runs them.
Listing IssueLogListing(const std::string &name, const IssueLogFilter &chosen)
{
    Listing l;
    l.name = name;
    l.choose = [chosen] { ChooseOnForm(chosen); };
    l.view = g_bench->issueLog->findChild<QTableView *>(QStringLiteral("DBGrid1"))->viewport();
    l.program = [] { g_bench->issueLog->MakeCardRecordList(); };
    l.choose();
    l.program();
    IssueLogList &list = g_bench->issueLog->MC_S_ADO;
    l.rows = list.Count;
    l.read = list.Rows.RecordCount();
    const IssueLogFilter filter = WithCardTypeIds(list.CardTypes(), chosen);
    const QString table = QStringLiteral("MakeCardRecord M");
    l.statements = {{FastestPlan(Sql(MakeCardRecordCountLines(filter)), table)},
                    {FastestPlan(Sql(MakeCardRecordListLines(filter)), table, l.read), l.read}};
    PrintQueryPlan(("the issue log, " + name).c_str(), Sql(MakeCardRecordListLines(filter)));
    return l;
}

// The status line's count alone, as the listing runs it.
Listing IssueLogCount(const std::string &name, const IssueLogFilter &chosen)
{
    Listing l;
    l.name = name;
    const IssueLogFilter filter = WithCardTypeIds(g_bench->issueLog->MC_S_ADO.CardTypes(), chosen);
    l.program = [filter] {
        Query count(dm->conn);
        count.SQL = MakeCardRecordCountLines(filter);
        count.Open();
        benchmark::DoNotOptimize(count.Field(0).toInt());
    };
    l.statements = {
        {FastestPlan(Sql(MakeCardRecordCountLines(filter)), QStringLiteral("MakeCardRecord M"))}};
    QSqlQuery q(dm->conn.database());
    q.exec(QString::fromStdString(l.statements[0].sql));
    q.next();
    l.rows = q.value(0).toLongLong();
    return l;
}

Listing DoorLogListing()
{
    Listing l;
    l.name = "door log of one room";
    TOpenDoorRecord_Form &form = *g_bench->doorLog;
    form.findChild<QLineEdit *>(QStringLiteral("Room_Edit"))->setText(kDoorLogRoom);
    l.program = [&form] { form.Query_BtClick(); };
    l.view = form.findChild<QTableView *>(QStringLiteral("OpenDoorRecord_DBGrid"))->viewport();
    l.program();
    l.read = form.ReadOpenDoorRecord_Ado.RecordCount();
    const QString table = QStringLiteral("OpenDoorRecord");
    l.statements = {
        {FastestPlan(Sql(OpenDoorRecordCountLines(kDoorLogRoom)), table)},
        {FastestPlan(Sql(OpenDoorRecordListLines(kDoorLogRoom)), table, l.read), l.read}};
    QSqlQuery q(dm->conn.database());
    q.exec(QString::fromStdString(l.statements[0].sql));
    q.next();
    l.rows = q.value(0).toLongLong();
    PrintQueryPlan("the door log", Sql(OpenDoorRecordListLines(kDoorLogRoom)));
    return l;
}

IssueLogFilter Days(const QDate &first, const QDate &last,
                    std::optional<QString> title = std::nullopt)
{
    return IssueLogFilter{first, last, std::move(title), {}};
}

// The same day compared through DateDiff, as the statement reads on a database server.
void BM_BareDateDiff_AllTypes(benchmark::State &state)
{
    QStringList lines = MakeCardRecordListLines(Days(kDay, kDay));
    const QStringList range =
        DaysFromToCondition(QStringLiteral("M.InputTime"), kDay, kDay, DayComparison::Range);
    const QStringList dateDiff =
        DaysFromToCondition(QStringLiteral("M.InputTime"), kDay, kDay, DayComparison::DateDiff);
    const int at = int(lines.indexOf(range.first()));
    if (at < 0)
        Fail("the list statement has no day range");
    for (int i = 0; i < range.size(); ++i)
        lines[at + i] = dateDiff[i];
    const std::string sql = Sql(lines);
    std::int64_t rows = 0;
    for (auto _ : state)
        rows = StepRows(sql);
    state.counters["rows"] = double(rows);
}

void BM_BareRange_AllTypes(benchmark::State &state)
{
    const std::string sql = Sql(MakeCardRecordListLines(Days(kDay, kDay)));
    std::int64_t rows = 0;
    for (auto _ : state)
        rows = StepRows(sql);
    state.counters["rows"] = double(rows);
}
// The purge of the first year (2020). The purge commits its own transaction; a commit hook
// turns every commit into a rollback, so each run deletes the same rows. Both sides are timed
// from their begin to that rollback.
const QDateTime kPurgeNow(QDate(2021, 12, 31), QTime(10, 0));

int RollBackEveryCommit(void *)
{
    return 1;
}

void Purge(benchmark::State &state, bool bare)
{
    sqlite3 *db = Handle();
    const QDateTime cutOff(PurgeCutOffDay(kPurgeNow.date()), kPurgeNow.time());
    const std::string before = " FROM MakeCardRecord WHERE InputTime < '" +
                               cutOff.date().addDays(1).toString(Qt::ISODate).toStdString() +
                               " 00:00:00'";
    const std::string sql = "DELETE" + before;
    std::int64_t deleted = 0;
    sqlite3_commit_hook(db, RollBackEveryCommit, nullptr);
    for (auto _ : state) {
        if (bare) {
            ExecOrFail(db, "BEGIN");
            ExecOrFail(db, sql.c_str());
            deleted = sqlite3_changes(db);
            sqlite3_exec(db, "COMMIT", nullptr, nullptr, nullptr); // rolled back by the hook
        } else {
            try {
                PurgeIssueRecords(dm->conn, cutOff);
                Fail("the purge was stored");
            } catch (const DbError &) {
                // Its commit, turned into a rollback.
            }
        }
    }
    sqlite3_commit_hook(db, nullptr, nullptr);
    if (sqlite3_get_autocommit(db) == 0)
        Fail("a transaction was left open");
    if (!bare) {
        QSqlQuery q(dm->conn.database());
        q.exec(QString::fromStdString("SELECT count(*)" + before));
        q.next();
        deleted = q.value(0).toLongLong();
    }
    state.counters["deleted"] = double(deleted);
}

void BM_Purge_OneYear(benchmark::State &state)
{
    Purge(state, false);
}
void BM_BarePurge_OneYear(benchmark::State &state)
{
    Purge(state, true);
}

// A data card of 256 openings in the room 10101 lies on the encoder.
void BM_ImportDataCard(benchmark::State &state)
{
    std::int64_t stored = 0;
    for (auto _ : state) {
        if (ImportDataCard(dm->conn) != DataCardImport::Stored)
            Fail("the data card was not stored");
    }
    QSqlQuery q(dm->conn.database());
    q.exec(QStringLiteral("select count(*) from OpenDoorRecord where RoomStr='10101'"));
    q.next();
    stored = q.value(0).toLongLong();
    state.counters["stored"] = double(stored);
}

void BM_StoreOpenings(benchmark::State &state)
{
    for (auto _ : state)
        StoreDoorOpenings(dm->conn, g_bench->openings);
}

// 256 rows through one prepared insert in one transaction; removed again untimed.
void BM_BareInserts(benchmark::State &state)
{
    sqlite3 *db = Handle();
    const char *sql = "INSERT INTO OpenDoorRecord (RoomStr, Rom, OpenTime, CardType, CardTypeStr, "
                      "CardHolderStr, MakeName) VALUES (?, ?, ?, ?, ?, ?, ?)";
    for (auto _ : state) {
        ExecOrFail(db, "BEGIN");
        sqlite3_stmt *stmt = nullptr;
        if (sqlite3_prepare_v2(db, sql, -1, &stmt, nullptr) != SQLITE_OK)
            Fail(sqlite3_errmsg(db));
        for (int i = 0; i < 256; ++i) {
            const std::string rom = "0000" + std::to_string(1000 + i);
            const std::string time = "2024-12-01 08:" + std::to_string(10 + i % 50) + ":00";
            sqlite3_bind_text(stmt, 1, "bench", -1, SQLITE_STATIC);
            sqlite3_bind_text(stmt, 2, rom.c_str(), -1, SQLITE_TRANSIENT);
            sqlite3_bind_text(stmt, 3, time.c_str(), -1, SQLITE_TRANSIENT);
            sqlite3_bind_int(stmt, 4, 4);
            sqlite3_bind_text(stmt, 5, "Guest card", -1, SQLITE_STATIC);
            sqlite3_bind_text(stmt, 6, "Guest", -1, SQLITE_STATIC);
            sqlite3_bind_text(stmt, 7, "Front desk 1", -1, SQLITE_STATIC);
            if (sqlite3_step(stmt) != SQLITE_DONE)
                Fail(sqlite3_errmsg(db));
            sqlite3_reset(stmt);
        }
        sqlite3_finalize(stmt);
        ExecOrFail(db, "COMMIT");
        state.PauseTiming();
        ExecOrFail(db, "DELETE FROM OpenDoorRecord WHERE RoomStr='bench'");
        state.ResumeTiming();
    }
}

// Lays a data card of 256 openings of the lock of room 10101 on the encoder: guest cards of
// that room and master cards that have issue records, and a few cards that have none.
void PutDataCard(const QString &encoderDir)
{
    QStringList lines;
    QSqlQuery q(dm->conn.database());
    q.exec(QStringLiteral("select Rom, CardType from MakeCardRecord where RoomStr='10101' and "
                          "CardType=4 order by ID desc limit 12"));
    QList<QPair<int, QString>> cards;
    while (q.next())
        cards.append({4, q.value(0).toString().mid(6)});
    q.exec(QStringLiteral("select Rom from MakeCardRecord where CardType=10 order by ID desc "
                          "limit 4"));
    while (q.next())
        cards.append({10, q.value(0).toString()});
    cards.append({10, QStringLiteral("0AFFFFFF")}); // never issued
    cards.append({2, QStringLiteral("00000001")});  // a time card
    for (int i = 0; i < 256; ++i) {
        const auto &[type, rom] = cards[i % cards.size()];
        // Serial words 0 to 3 from the card number text (words 3, 2, 1, 0 in hexadecimal).
        QStringList words;
        for (int w = 3; w >= 0; --w)
            words.append(QString::number(rom.mid(w * 2, 2).toInt(nullptr, 16)));
        const QDateTime at = QDateTime(QDate(2024, 12, 1), QTime(0, 0)).addSecs(i * 1700);
        lines.append(QStringLiteral("%1,%2,%3,%4,%5,%6,%7")
                         .arg(type)
                         .arg(words.join(','))
                         .arg(at.date().year())
                         .arg(at.date().month())
                         .arg(at.date().day())
                         .arg(at.time().hour())
                         .arg(at.time().minute()));
    }
    const QString file = encoderDir + QStringLiteral("/openings.txt");
    QFile f(file);
    f.open(QIODevice::WriteOnly);
    f.write(lines.join('\n').toUtf8() + '\n');
    f.close();
    auto tool = [&](const QStringList &arguments) {
        QProcess p;
        p.start(QStringLiteral(QUENMAR_STAGE_DIR "/virtual-encoder"),
                QStringList{QStringLiteral("--dir"), encoderDir} + arguments);
        if (!p.waitForFinished(30000) || p.exitCode() != 0)
            Fail("virtual-encoder failed: " + p.readAllStandardError().toStdString());
    };
    tool({QStringLiteral("connect"), QStringLiteral("--port"), QStringLiteral("1")});
    tool(
        {QStringLiteral("put-data-card"), QStringLiteral("--lock"), QStringLiteral("1,1,1"), file});
    if (MakeCardOpenPort(1) != 1)
        Fail("the virtual encoder does not answer");
}

BENCHMARK(BM_BareRange_AllTypes)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_BareDateDiff_AllTypes)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(2);
BENCHMARK(BM_BarePurge_OneYear)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(1);
BENCHMARK(BM_Purge_OneYear)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(1);
BENCHMARK(BM_BareInserts)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_StoreOpenings)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_ImportDataCard)->Unit(benchmark::kMillisecond)->UseRealTime();

} // namespace

int main(int argc, char **argv)
{
    BenchProgram program(argc, argv, "issuelog", kFill, kGeneratorVersion);
    {
        QSqlQuery q(dm->conn.database());
        q.exec(QStringLiteral("select (select count(*) from MakeCardRecord), "
                              "(select count(*) from GuestInRecord), "
                              "(select count(*) from OpenDoorRecord)"));
        q.next();
        std::printf("Hotel: %lld issue records, %lld stays, %lld door openings\n",
                    q.value(0).toLongLong(), q.value(1).toLongLong(), q.value(2).toLongLong());
    }
    SetNow(QDateTime(kDay, QTime(12, 0)));

    PutDataCard(program.EncoderDir());
    Bench bench;
    g_bench = &bench;
    if (ReadDataCardOpenings(bench.openings) != DataCardRead::Complete ||
        bench.openings.size() != 256)
        Fail("the data card does not hold 256 openings");
    if (ImportDataCard(dm->conn) != DataCardImport::Stored)
        Fail("the data card was not stored");

    bench.issueLog = std::make_unique<TMC_R_From>();
    bench.issueLog->resize(1000, 600);
    bench.issueLog->show();
    bench.doorLog = std::make_unique<TOpenDoorRecord_Form>();
    bench.doorLog->resize(1000, 600);
    bench.doorLog->show();
    QCoreApplication::processEvents();

    // The listings, each with its statements at their fastest plans (found before timing).
    std::vector<Listing> listings;
    AddListing(listings, "one day, all types",
               [] { return IssueLogListing("one day, all types", Days(kDay, kDay)); });
    for (const QString &title : bench.issueLog->MC_S_ADO.CardTypes().Titles) {
        const std::string name = "one day, " + title.toStdString();
        AddListing(listings, name, [&] { return IssueLogListing(name, Days(kDay, kDay, title)); });
    }
    const IssueLogFilter month = Days(kMonthFirst, kMonthLast, QStringLiteral("Guest card"));
    AddListing(listings, "31 days, Guest card",
               [&] { return IssueLogListing("31 days, Guest card", month); });
    AddListing(listings, "status count, 31 days, Guest card",
               [&] { return IssueLogCount("status count, 31 days, Guest card", month); });
    AddListing(listings, "door log of one room", DoorLogListing);
    RegisterListings(listings);

    RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);

    std::printf("\nMedians; each listing against the fastest plan of its statements reading the "
                "same rows (targets: within 2 times and under 100 ms; with the repaint under "
                "100 ms):\n");
    bool held = PrintListingRatios(reporter, listings, 2.0, 100.0);
    held = reporter.printRatio("import of 256 openings / bare inserts (within 3)",
                               "BM_ImportDataCard", "BM_BareInserts", 3.0, 1e9) &&
           held;
    reporter.printRatio("storing 256 openings / bare inserts", "BM_StoreOpenings", "BM_BareInserts",
                        1e9, 1e9);
    reporter.printRatio("purge of one year: program / bare", "BM_Purge_OneYear",
                        "BM_BarePurge_OneYear", 1e9, 1e9);
    reporter.printRatio("one day, DateDiff / range (bare)", "BM_BareDateDiff_AllTypes",
                        "BM_BareRange_AllTypes", 1e9, 1e9);
    std::printf("%s\n", held ? "All targets met." : "SOME TARGETS MISSED.");
    for (const QString &text : program.silent.texts)
        std::printf("Message shown: %s\n", qPrintable(text));
    return 0;
}
