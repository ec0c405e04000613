// The issue log and the door log of a busy hotel: 5,000,000 issue records over five years
// (a front desk's mix of card types), 2,000,000 stays, 1,000 rooms with a full door log each
// for 200 of them. Times, in one run and each beside its bare statement:
//   - listing one day of all types and one day of master cards through the issue log form
//     (TMC_R_From::MakeCardRecordList on a shown form) against the list statement stepped to
//     its end through the SQLite C API; also the same day compared through DateDiff, as a
//     database server would be asked;
//   - the purge of one year against the bare DELETE (each rolled back afterwards);
//   - importing a data card of 256 openings from the virtual encoder (ImportDataCard), and
//     storing the same openings alone, against 256 bare inserts in one transaction.
//
// The database is built once into the build folder and reused; its file name carries a
// digest of the schema and of the generator, so a change to either builds a new one.
#include "app/application.h"
#include "app/logon.h"
#include "data/appdir.h"
#include "data/clock.h"
#include "data/dm.h"
#include "data/schema.h"
#include "data/settings.h"
#include "kestrune/kestrune.h"
#include "staffcards/issuelog.h"
#include "staffcards/issuelogform.h"
#include "staffcards/opendoorrecords.h"
#include "ui/dialogs.h"

#include <QComboBox>
#include <QCryptographicHash>
#include <QDateEdit>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QPushButton>
#include <QSqlDriver>
#include <QSqlQuery>
#include <QTableView>
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

// The filling statements. Rooms: door plate BFFRR, lock address (B, FF, RR), 5 buildings of
// 10 floors of 20 rooms. Issue records: one every 31.6 s on average over 2020-2024, in time
// order; 85 % guest cards (of the room i % 1000), then master, time, floor, building, group,
// emergency, data-clear, loss-report and data startup cards. Stays: one after another in
// every room over the five years. Door logs: 256 openings for each of the first 200 rooms.
const char *const kFill[] = {
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
    "WITH RECURSIVE k(j) AS (SELECT 0 UNION ALL SELECT j + 1 FROM k WHERE j < 255) "
    "SELECT R.RoomStr, printf('%08X', j), datetime(julianday('2024-12-01') + j / 24.0), 4, "
    "'Guest card', 'Guest ' || j, 'Front desk 1' FROM RoomInfo R, k WHERE R.ID <= 200",
};
constexpr int kGeneratorVersion = 1;

// The day listed: a Wednesday in the middle of the log.
const QDate kDay(2022, 6, 15);

class SilentDialogs : public Dialogs
{
public:
    int shown = 0;
    MsgResult message(const QString &, const QString &, MsgIcon, MsgButtons) override
    {
        ++shown;
        return MsgResult::Ok;
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
    std::fprintf(stderr, "issuelog_bench: %s\n", what.c_str());
    std::exit(1);
}

void ExecOrFail(sqlite3 *db, const char *sql)
{
    char *message = nullptr;
    if (sqlite3_exec(db, sql, nullptr, nullptr, &message) != SQLITE_OK) {
        const std::string text = message ? message : "unknown error";
        sqlite3_free(message);
        Fail(std::string("statement failed: ") + text + "\n" + sql);
    }
}

QString CachePath()
{
    QCryptographicHash digest(QCryptographicHash::Sha1);
    digest.addData(HotelSchemaStatements().join('\n').toUtf8());
    for (const char *statement : kFill)
        digest.addData(QByteArray(statement));
    digest.addData(QByteArray::number(kGeneratorVersion));
    return QStringLiteral(QUENMAR_BENCH_CACHE_DIR "/issuelog-%1.db")
        .arg(QString::fromLatin1(digest.result().toHex().left(10)));
}

QString HotelDatabase()
{
    const QString path = CachePath();
    if (QFileInfo::exists(path))
        return path;
    QDir cache(QStringLiteral(QUENMAR_BENCH_CACHE_DIR));
    for (const QString &old : cache.entryList({QStringLiteral("issuelog-*.db*")}, QDir::Files))
        cache.remove(old);

    const QString part = path + QStringLiteral(".part");
    QFile::remove(part);
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
    ExecOrFail(db, "PRAGMA cache_size=-262144");
    ExecOrFail(db, "BEGIN");
    for (const char *statement : kFill)
        ExecOrFail(db, statement);
    ExecOrFail(db, "COMMIT");
    ExecOrFail(db, "ANALYZE");
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

// Steps a statement to its end reading every column; returns the number of rows.
std::int64_t StepAll(const std::string &sql)
{
    sqlite3 *db = Handle();
    sqlite3_stmt *stmt = nullptr;
    if (sqlite3_prepare_v2(db, sql.c_str(), int(sql.size()), &stmt, nullptr) != SQLITE_OK)
        Fail(std::string("prepare: ") + sqlite3_errmsg(db) + "\n" + sql);
    const int columns = sqlite3_column_count(stmt);
    std::int64_t rows = 0, sum = 0;
    while (sqlite3_step(stmt) == SQLITE_ROW) {
        for (int c = 0; c < columns; ++c)
            sum += sqlite3_column_bytes(stmt, c) + sqlite3_column_type(stmt, c);
        ++rows;
    }
    sqlite3_finalize(stmt);
    benchmark::DoNotOptimize(sum);
    return rows;
}

struct Bench
{
    std::unique_ptr<TMC_R_From> form;
    QList<DoorOpening> openings;
};
Bench *g_bench = nullptr;

IssueLogFilter DayFilter(bool masterCards)
{
    IssueLogFilter f;
    f.First = f.Last = kDay;
    if (masterCards)
        f.CardTypeTitle = QStringLiteral("Master card");
    return f;
}

// The form's listing: the day and the type chosen as the operator does, then "Check(&R)".
void FormList(benchmark::State &state, bool masterCards)
{
    TMC_R_From &form = *g_bench->form;
    auto *types = form.findChild<QComboBox *>(QStringLiteral("CardType_CB"));
    types->blockSignals(true);
    types->setCurrentIndex(masterCards ? types->findText(QStringLiteral("Master card"))
                                       : types->count() - 1);
    types->blockSignals(false);
    form.findChild<QDateEdit *>(QStringLiteral("DateStart_Dtp"))->setDate(kDay);
    form.findChild<QDateEdit *>(QStringLiteral("DateEnd_Dtp"))->setDate(kDay);
    for (auto _ : state) {
        form.MakeCardRecordList();
        QCoreApplication::processEvents();
    }
    state.counters["rows"] = form.MC_S_ADO.Count;
    state.counters["read"] = double(form.MC_S_ADO.Rows.RecordCount());
}

void BM_FormList_AllTypes(benchmark::State &state)
{
    FormList(state, false);
}
void BM_FormList_MasterCard(benchmark::State &state)
{
    FormList(state, true);
}

void BareList(benchmark::State &state, const QStringList &lines)
{
    const std::string sql = lines.join('\n').toStdString();
    std::int64_t rows = 0;
    for (auto _ : state)
        rows = StepAll(sql);
    state.counters["rows"] = double(rows);
}

void BM_BareRange_AllTypes(benchmark::State &state)
{
    BareList(state, MakeCardRecordListLines(DayFilter(false)));
}
void BM_BareRange_MasterCard(benchmark::State &state)
{
    BareList(state, MakeCardRecordListLines(DayFilter(true)));
}

// The same day compared through DateDiff, as the statement reads on a database server.
void BM_BareDateDiff_AllTypes(benchmark::State &state)
{
    QStringList lines = MakeCardRecordListLines(DayFilter(false));
    const QStringList range = DaysFromToCondition(QStringLiteral("M.InputTime"), kDay, kDay,
                                                  DayComparison::Range);
    const QStringList dateDiff = DaysFromToCondition(QStringLiteral("M.InputTime"), kDay, kDay,
                                                     DayComparison::DateDiff);
    const int at = int(lines.indexOf(range.first()));
    if (at < 0)
        Fail("the list statement has no day range");
    for (int i = 0; i < range.size(); ++i)
        lines[at + i] = dateDiff[i];
    BareList(state, lines);
}

// The purge of the first year (2020), rolled back after each run.
const QDateTime kPurgeNow(QDate(2021, 12, 31), QTime(10, 0));

void Purge(benchmark::State &state, bool bare)
{
    sqlite3 *db = Handle();
    const QDateTime cutOff(PurgeCutOffDay(kPurgeNow.date()), kPurgeNow.time());
    const std::string sql = "DELETE FROM MakeCardRecord WHERE InputTime < '" +
                            cutOff.date().addDays(1).toString(Qt::ISODate).toStdString() +
                            " 00:00:00'";
    std::int64_t deleted = 0;
    for (auto _ : state) {
        state.PauseTiming();
        ExecOrFail(db, "BEGIN");
        state.ResumeTiming();
        if (bare) {
            ExecOrFail(db, sql.c_str());
            deleted = sqlite3_changes(db);
        } else {
            deleted = PurgeIssueRecords(dm->conn, cutOff);
        }
        state.PauseTiming();
        ExecOrFail(db, "ROLLBACK");
        state.ResumeTiming();
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

BENCHMARK(BM_BareRange_AllTypes)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_FormList_AllTypes)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_BareRange_MasterCard)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_FormList_MasterCard)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_BareDateDiff_AllTypes)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(2);
BENCHMARK(BM_BarePurge_OneYear)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(1);
BENCHMARK(BM_Purge_OneYear)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(1);
BENCHMARK(BM_BareInserts)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_StoreOpenings)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_ImportDataCard)->Unit(benchmark::kMillisecond)->UseRealTime();

// The console report, plus the median time of each benchmark for the closing ratios.
class RatioReporter : public benchmark::ConsoleReporter
{
public:
    std::map<std::string, std::vector<std::pair<double, double>>> times; // real, CPU seconds

    void ReportRuns(const std::vector<Run> &runs) override
    {
        for (const Run &run : runs) {
            if (run.error_occurred || run.run_type != Run::RT_Iteration)
                continue;
            const double perSecond = benchmark::GetTimeUnitMultiplier(run.time_unit);
            times[run.run_name.function_name].push_back(
                {run.GetAdjustedRealTime() / perSecond, run.GetAdjustedCPUTime() / perSecond});
        }
        ConsoleReporter::ReportRuns(runs);
    }
    std::pair<double, double> median(const std::string &name)
    {
        auto &t = times[name];
        if (t.empty())
            return {0, 0};
        std::vector<double> real, cpu;
        for (const auto &p : t) {
            real.push_back(p.first);
            cpu.push_back(p.second);
        }
        std::sort(real.begin(), real.end());
        std::sort(cpu.begin(), cpu.end());
        return {real[real.size() / 2], cpu[cpu.size() / 2]};
    }
};

void PrintQueryPlan(const char *title, const QStringList &lines)
{
    sqlite3_stmt *stmt = nullptr;
    const std::string sql = "EXPLAIN QUERY PLAN " + lines.join('\n').toStdString();
    if (sqlite3_prepare_v2(Handle(), sql.c_str(), -1, &stmt, nullptr) != SQLITE_OK)
        Fail("explain failed");
    std::printf("Query plan of %s:\n", title);
    while (sqlite3_step(stmt) == SQLITE_ROW)
        std::printf("  %s\n", reinterpret_cast<const char *>(sqlite3_column_text(stmt, 3)));
    sqlite3_finalize(stmt);
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
    tool({QStringLiteral("put-data-card"), QStringLiteral("--lock"), QStringLiteral("1,1,1"),
          file});
    if (MakeCardOpenPort(1) != 1)
        Fail("the virtual encoder does not answer");
}

} // namespace

int main(int argc, char **argv)
{
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QTemporaryDir programDir, encoderDir;
    qputenv("KESTRUNE_ENCODER_DIR", encoderDir.path().toLocal8Bit());
    QuenmarApplication app(argc, argv);

    SilentDialogs silent;
    setDialogs(&silent);
    Tdm module;
    dm = &module;
    SetProgramDir(programDir.path());

    const QString path = HotelDatabase();
    if (!OpenDatabaseFile(path))
        Fail("cannot open " + path.toStdString());
    {
        QSqlQuery q(module.conn.database());
        q.exec(QStringLiteral("select count(*) from Operator where Staffer='admin'"));
        if (!q.next() || q.value(0).toInt() == 0)
            CreateFirstAccount(QStringLiteral("admin"), QStringLiteral("secret"));
        q.exec(QStringLiteral("select (select count(*) from MakeCardRecord), "
                              "(select count(*) from GuestInRecord), "
                              "(select count(*) from OpenDoorRecord)"));
        q.next();
        std::printf("Hotel: %lld issue records, %lld stays, %lld door openings\n",
                    q.value(0).toLongLong(), q.value(1).toLongLong(), q.value(2).toLongLong());
    }
    LockSystemInfo = TLockSystemInfo();
    LockSystemInfo.Staffer = QStringLiteral("admin");
    LockSystemInfo.StafferName = QStringLiteral("Administrator");
    SetNow(QDateTime(kDay, QTime(12, 0)));
    PrintQueryPlan("the day's list", MakeCardRecordListLines(DayFilter(false)));
    PrintQueryPlan("the day's count", MakeCardRecordCountLines(DayFilter(false)));
    PrintQueryPlan("the day's master cards", MakeCardRecordListLines(DayFilter(true)));

    PutDataCard(encoderDir.path());
    Bench bench;
    g_bench = &bench;
    if (ReadDataCardOpenings(bench.openings) != DataCardRead::Complete ||
        bench.openings.size() != 256)
        Fail("the data card does not hold 256 openings");
    if (ImportDataCard(dm->conn) != DataCardImport::Stored)
        Fail("the data card was not stored");

    bench.form = std::make_unique<TMC_R_From>();
    bench.form->resize(1000, 600);
    bench.form->show();
    QCoreApplication::processEvents();

    RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);

    auto ratio = [&](const char *what, const std::string &a, const std::string &b) {
        const auto x = reporter.median(a), y = reporter.median(b);
        if (x.first <= 0 || y.first <= 0)
            return;
        std::printf("%-44s %8.2f ms / %8.2f ms = %5.2f  (CPU %5.2f)\n", what, x.first * 1e3,
                    y.first * 1e3, x.first / y.first, y.second > 0 ? x.second / y.second : 0.0);
    };
    std::printf("\nMedians, form against bare statement:\n");
    ratio("one day, all types: form / bare", "BM_FormList_AllTypes", "BM_BareRange_AllTypes");
    ratio("one day, master cards: form / bare", "BM_FormList_MasterCard",
          "BM_BareRange_MasterCard");
    ratio("one day, DateDiff / range (bare)", "BM_BareDateDiff_AllTypes", "BM_BareRange_AllTypes");
    ratio("purge of one year: program / bare", "BM_Purge_OneYear", "BM_BarePurge_OneYear");
    ratio("import of 256 openings / bare inserts", "BM_ImportDataCard", "BM_BareInserts");
    ratio("storing 256 openings / bare inserts", "BM_StoreOpenings", "BM_BareInserts");
    if (silent.shown)
        std::printf("(%d message boxes were answered)\n", silent.shown);

    bench.form.reset();
    benchmark::Shutdown();
    return 0;
}
