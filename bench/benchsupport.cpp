#include "benchsupport.h"

#include "app/application.h"
#include "app/logon.h"
#include "data/appdir.h"
#include "data/dm.h"
#include "data/schema.h"
#include "data/settings.h"

#include <QCryptographicHash>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QSqlDriver>
#include <QSqlQuery>
#include <QTemporaryDir>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>

namespace bench {

void Fail(const std::string &what)
{
    std::fprintf(stderr, "%s: %s\n", program_invocation_short_name, what.c_str());
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

QString CachedHotelDatabase(const char *name, const std::vector<const char *> &fill,
                            int generatorVersion)
{
    QCryptographicHash digest(QCryptographicHash::Sha1);
    digest.addData(HotelSchemaStatements().join('\n').toUtf8());
    for (const char *statement : fill)
        digest.addData(QByteArray(statement));
    digest.addData(QByteArray::number(generatorVersion));
    const QString prefix = QString::fromLatin1(name);
    const QString path = QStringLiteral(QUENMAR_BENCH_CACHE_DIR "/%1-%2.db")
                             .arg(prefix, QString::fromLatin1(digest.result().toHex().left(10)));
    if (QFileInfo::exists(path))
        return path;

    // Older databases of this benchmark are stale once the schema or generator changed.
    QDir cache(QStringLiteral(QUENMAR_BENCH_CACHE_DIR));
    for (const QString &old : cache.entryList({prefix + QStringLiteral("-*.db*")}, QDir::Files))
        cache.remove(old);

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
    for (const char *statement : fill)
        ExecOrFail(db, statement);
    ExecOrFail(db, "COMMIT");
    sqlite3_close(db);
    if (!QFile::rename(part, path))
        Fail("cannot rename " + part.toStdString());
    std::fprintf(stderr, "Built in %.1f s\n", clock.elapsed() / 1000.0);
    return path;
}

std::string Sql(const QStringList &lines)
{
    return lines.join('\n').toStdString();
}

sqlite3 *Handle()
{
    const QVariant v = dm->conn.database().driver()->handle();
    sqlite3 *db = v.isValid() ? *static_cast<sqlite3 *const *>(v.data()) : nullptr;
    if (!db)
        Fail("the connection has no SQLite handle");
    return db;
}

namespace {

sqlite3_stmt *prepare(const std::string &sql, bool mayFail = false)
{
    sqlite3 *db = Handle();
    sqlite3_stmt *stmt = nullptr;
    if (sqlite3_prepare_v2(db, sql.c_str(), int(sql.size()), &stmt, nullptr) != SQLITE_OK) {
        if (mayFail)
            return nullptr;
        Fail(std::string("prepare: ") + sqlite3_errmsg(db) + "\n" + sql);
    }
    return stmt;
}

// Steps a prepared statement; false when it was interrupted.
bool step(sqlite3_stmt *stmt, std::int64_t limit, std::int64_t &rows)
{
    const int columns = sqlite3_column_count(stmt);
    std::int64_t sum = 0;
    rows = 0;
    int rc = SQLITE_ROW;
    while ((limit < 0 || rows < limit) && (rc = sqlite3_step(stmt)) == SQLITE_ROW) {
        for (int c = 0; c < columns; ++c)
            sum += sqlite3_column_bytes(stmt, c) + sqlite3_column_type(stmt, c);
        ++rows;
    }
    benchmark::DoNotOptimize(sum);
    return rc == SQLITE_ROW || rc == SQLITE_DONE;
}

using Clock = std::chrono::steady_clock;

int stopAfterDeadline(void *deadline)
{
    return Clock::now() > *static_cast<Clock::time_point *>(deadline);
}

// Seconds one run of the statement takes; negative when it takes longer than `cap`.
double timeOnce(const std::string &sql, std::int64_t limit, double cap)
{
    sqlite3_stmt *stmt = prepare(sql);
    Clock::time_point deadline = Clock::now() + std::chrono::duration_cast<Clock::duration>(
                                                    std::chrono::duration<double>(cap));
    sqlite3_progress_handler(Handle(), 1000, stopAfterDeadline, &deadline);
    const auto start = Clock::now();
    std::int64_t rows = 0;
    const bool finished = step(stmt, limit, rows);
    const double seconds = std::chrono::duration<double>(Clock::now() - start).count();
    sqlite3_progress_handler(Handle(), 0, nullptr, nullptr);
    sqlite3_finalize(stmt);
    return finished ? seconds : -1;
}

} // namespace

std::int64_t StepRows(const std::string &sql, std::int64_t limit)
{
    sqlite3_stmt *stmt = prepare(sql);
    std::int64_t rows = 0;
    step(stmt, limit, rows);
    sqlite3_finalize(stmt);
    return rows;
}

QStringList QueryPlan(const std::string &sql)
{
    sqlite3_stmt *stmt = prepare("EXPLAIN QUERY PLAN " + sql);
    QStringList details;
    while (sqlite3_step(stmt) == SQLITE_ROW)
        details.append(
            QString::fromUtf8(reinterpret_cast<const char *>(sqlite3_column_text(stmt, 3))));
    sqlite3_finalize(stmt);
    return details;
}

void PrintQueryPlan(const char *title, const std::string &sql)
{
    std::printf("Query plan of %s:\n", title);
    for (const QString &detail : QueryPlan(sql))
        std::printf("  %s\n", qPrintable(detail));
}

std::string FastestPlan(const std::string &sql, const QString &table, std::int64_t limit)
{
    const QString text = QString::fromStdString(sql);
    std::vector<std::string> variants{sql};
    const QString tableName = table.section(' ', 0, 0);
    QSqlQuery q(dm->conn.database());
    q.exec(QStringLiteral("select name from sqlite_master where type='index' and tbl_name='%1'")
               .arg(tableName));
    while (q.next()) {
        QString variant = text;
        const QRegularExpression at(
            QStringLiteral("\\b%1\\b").arg(QRegularExpression::escape(table)),
            QRegularExpression::CaseInsensitiveOption);
        variant.replace(at, table + QStringLiteral(" INDEXED BY ") + q.value(0).toString());
        if (variant != text) {
            sqlite3_stmt *stmt = prepare(variant.toStdString(), true);
            if (stmt) { // an index that cannot serve the statement does not prepare
                sqlite3_finalize(stmt);
                variants.push_back(variant.toStdString());
            }
        }
    }
    // A first run of each, cut off after two seconds; then the best of three runs each.
    std::vector<std::pair<double, std::string>> timed;
    for (const std::string &v : variants) {
        timeOnce(v, limit, 2.0); // warms the cache
        double best = -1;
        for (int i = 0; i < 3; ++i) {
            const double t = timeOnce(v, limit, 2.0);
            if (t < 0) {
                best = -1;
                break;
            }
            best = best < 0 ? t : std::min(best, t);
        }
        if (best >= 0)
            timed.push_back({best, v});
    }
    if (timed.empty())
        Fail("no plan of the statement finishes within two seconds:\n" + sql);
    std::sort(timed.begin(), timed.end());
    const QString best = QString::fromStdString(timed.front().second);
    const QRegularExpression indexedBy(QStringLiteral("INDEXED BY (\\w+)"));
    const QRegularExpressionMatch forced = indexedBy.match(best);
    std::printf("Fastest plan of a statement on %s: %s (%.3f ms)\n", qPrintable(tableName),
                forced.hasMatch() ? qPrintable(forced.captured(1)) : "as the planner chose",
                timed.front().first * 1e3);
    return timed.front().second;
}

bool Selected(const std::string &benchmark)
{
    std::string filter = benchmark::GetBenchmarkFilter();
    if (filter.empty() || filter == "all")
        return true;
    const bool negative = filter[0] == '-';
    if (negative)
        filter.erase(0, 1);
    const QRegularExpression pattern(QString::fromStdString(filter));
    if (!pattern.isValid())
        return true; // the benchmark library reports a filter it cannot read
    return pattern.match(QString::fromStdString(benchmark)).hasMatch() != negative;
}

void AddListing(std::vector<Listing> &listings, const std::string &name,
                const std::function<Listing()> &make)
{
    if (Selected("Program/" + name) || Selected("Painted/" + name) || Selected("Bare/" + name))
        listings.push_back(make());
}

namespace {

void runProgram(benchmark::State &state, const Listing *listing, bool timedRepaint)
{
    if (listing->choose)
        listing->choose();
    for (auto _ : state) {
        listing->program();
        if (!timedRepaint)
            state.PauseTiming();
        QCoreApplication::processEvents();
        if (!timedRepaint)
            state.ResumeTiming();
    }
    state.counters["rows"] = double(listing->rows);
    if (listing->read >= 0)
        state.counters["read"] = double(listing->read);
}

void runBare(benchmark::State &state, const Listing *listing)
{
    for (auto _ : state) {
        for (const Listing::Statement &statement : listing->statements)
            StepRows(statement.sql, statement.rows);
        if (listing->view) {
            state.PauseTiming();
            listing->view->update();
            QCoreApplication::processEvents();
            state.ResumeTiming();
        }
    }
    state.counters["rows"] = double(listing->rows);
    if (listing->read >= 0)
        state.counters["read"] = double(listing->read);
}

} // namespace

void RegisterListings(const std::vector<Listing> &listings)
{
    for (const Listing &l : listings) {
        benchmark::RegisterBenchmark(("Program/" + l.name).c_str(), runProgram, &l, false)
            ->Unit(benchmark::kMillisecond)
            ->UseRealTime();
        benchmark::RegisterBenchmark(("Painted/" + l.name).c_str(), runProgram, &l, true)
            ->Unit(benchmark::kMillisecond)
            ->UseRealTime();
        benchmark::RegisterBenchmark(("Bare/" + l.name).c_str(), runBare, &l)
            ->Unit(benchmark::kMillisecond)
            ->UseRealTime();
    }
}

bool PrintListingRatios(RatioReporter &reporter, const std::vector<Listing> &listings,
                        double maxRatio, double maxMs)
{
    bool held = true;
    for (const Listing &l : listings) {
        held = reporter.printRatio(l.name + " (" + std::to_string(l.rows) + " rows)",
                                   "Program/" + l.name, "Bare/" + l.name, maxRatio, maxMs) &&
               held;
        held = reporter.printRatio("  with its repaint", "Painted/" + l.name, "Bare/" + l.name, 1e9,
                                   maxMs) &&
               held;
    }
    return held;
}

BenchProgram::BenchProgram(int &argc, char **argv, const char *name,
                           const std::vector<const char *> &fill, int generatorVersion)
{
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        std::exit(1);
    qputenv("QT_QPA_PLATFORM", "offscreen");
    m_programDir = std::make_unique<QTemporaryDir>();
    m_encoderDir = std::make_unique<QTemporaryDir>();
    qputenv("KESTRUNE_ENCODER_DIR", m_encoderDir->path().toLocal8Bit());
    m_app = std::make_unique<QuenmarApplication>(argc, argv);
    setDialogs(&silent);
    m_module = std::make_unique<Tdm>();
    dm = m_module.get();
    SetProgramDir(m_programDir->path());
    QFile::link(QStringLiteral(QUENMAR_STAGE_DIR "/pic"),
                m_programDir->path() + QStringLiteral("/pic"));

    const QString path = CachedHotelDatabase(name, fill, generatorVersion);
    if (!OpenDatabaseFile(path))
        Fail("cannot open " + path.toStdString());
    QSqlQuery q(dm->conn.database());
    q.exec(QStringLiteral("select count(*) from Operator where Staffer='admin'"));
    if (!q.next() || q.value(0).toInt() == 0)
        CreateFirstAccount(QStringLiteral("admin"), QStringLiteral("secret"));
    q.exec(QStringLiteral("select count(*) from sqlite_master where name='sqlite_stat1'"));
    std::printf("The hotel database is %s\n",
                q.next() && q.value(0).toInt() ? "ANALYSED" : "never analysed");
    LockSystemInfo = TLockSystemInfo();
    LockSystemInfo.Staffer = QStringLiteral("admin");
    LockSystemInfo.StafferName = QStringLiteral("Administrator");
}

BenchProgram::~BenchProgram()
{
    dm = nullptr;
    m_module.reset();
    setDialogs(nullptr);
    m_app.reset();
    benchmark::Shutdown();
}

QString BenchProgram::EncoderDir() const
{
    return m_encoderDir->path();
}

MsgResult SilentDialogs::message(const QString &text, const QString &, MsgIcon, MsgButtons buttons)
{
    texts.append(text);
    return buttons == MsgButtons::YesNo ? MsgResult::Yes : MsgResult::Ok;
}

void RatioReporter::ReportRuns(const std::vector<Run> &runs)
{
    for (const Run &run : runs) {
        if (run.error_occurred)
            continue;
        const double perSecond = benchmark::GetTimeUnitMultiplier(run.time_unit);
        Times *times = nullptr;
        if (run.run_type == Run::RT_Iteration)
            times = &m_repetitions[run.run_name.function_name];
        else if (run.aggregate_name == "median")
            times = &m_medians[run.run_name.function_name];
        if (times) {
            times->real.push_back(run.GetAdjustedRealTime() / perSecond);
            times->cpu.push_back(run.GetAdjustedCPUTime() / perSecond);
        }
    }
    ConsoleReporter::ReportRuns(runs);
}

std::pair<double, double> RatioReporter::median(const std::string &name)
{
    Times &t = m_repetitions[name].real.empty() ? m_medians[name] : m_repetitions[name];
    if (t.real.empty())
        return {0, 0};
    std::sort(t.real.begin(), t.real.end());
    std::sort(t.cpu.begin(), t.cpu.end());
    return {t.real[t.real.size() / 2], t.cpu[t.cpu.size() / 2]};
}

bool RatioReporter::printRatio(const std::string &what, const std::string &a, const std::string &b,
                               double maxRatio, double maxMs)
{
    const auto x = median(a), y = median(b);
    if (x.first <= 0 || y.first <= 0)
        return true;
    const double ratio = x.first / y.first;
    const bool held = ratio <= maxRatio && x.first * 1e3 <= maxMs;
    std::printf("%-46s %9.2f ms / %8.2f ms = %6.2f  (CPU %6.2f)%s\n", what.c_str(), x.first * 1e3,
                y.first * 1e3, ratio, y.second > 0 ? x.second / y.second : 0.0,
                held ? "" : "  <-- target missed");
    return held;
}

} // namespace bench
