// What the benchmarks share: the filled hotel database built once and cached in the build
// folder, statements stepped through the SQLite C API on the program's own connection, the
// fastest plan of a statement, and the closing ratios.
#pragma once

#include "ui/dialogs.h"

#include <QString>
#include <QStringList>
#include <QWidget>

#include <benchmark/benchmark.h>
#include <sqlite3.h>

#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <utility>
#include <vector>

class QuenmarApplication;
class QTemporaryDir;
class Tdm;

namespace bench {

[[noreturn]] void Fail(const std::string &what);
void ExecOrFail(sqlite3 *db, const char *sql);

// The path of the hotel database `name`-<digest>.db in the build folder, made through the
// program's own schema (as quenmar-initdb makes it) and filled by the statements, never
// analysed. The digest covers the schema, the statements and the generator version: a change
// to any builds a new file, and the files of earlier digests are removed. The file is built
// beside its final name and renamed when complete, so a broken-off build is never taken for a
// finished one.
QString CachedHotelDatabase(const char *name, const std::vector<const char *> &fill,
                            int generatorVersion);

// The lines of a statement as the program sends them.
std::string Sql(const QStringList &lines);

// The SQLite handle of the program's connection.
sqlite3 *Handle();

// Steps a statement through the program's connection, reading every column of up to `limit`
// rows (all when negative); returns the number of rows read.
std::int64_t StepRows(const std::string &sql, std::int64_t limit = -1);

// EXPLAIN QUERY PLAN of a statement, one detail per line.
QStringList QueryPlan(const std::string &sql);
void PrintQueryPlan(const char *title, const std::string &sql);

// The statement with the fastest plan for reading `limit` rows: the statement as it is, and
// with the table `table` (as the statement names it, e.g. "MakeCardRecord M") made to use each
// of its indexes in turn ("INDEXED BY"). Each variant is timed a few times; the best one is
// returned.
std::string FastestPlan(const std::string &sql, const QString &table, std::int64_t limit = -1);

// Dialogs that answer every question with its default and keep the texts.
class SilentDialogs : public Dialogs
{
public:
    QStringList texts;
    MsgResult message(const QString &text, const QString &, MsgIcon, MsgButtons buttons) override;
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

// Whether the benchmark filter (--benchmark_filter) selects a benchmark of this name, so that
// a run of a few benchmarks prepares only what they need.
bool Selected(const std::string &benchmark);

// One listing of a form: the form's own listing code, and the statements it stands for at
// their fastest plans, each read for as many rows as the form reads.
struct Listing
{
    struct Statement
    {
        std::string sql;
        std::int64_t rows = -1; // rows read; negative: to the end
    };
    std::string name;
    // Run once before the rounds, untimed: the operator's choice on the form (days, type).
    std::function<void()> choose;
    std::function<void()> program;
    // The list the listing fills. Each round of its statements alone is followed, untimed, by
    // a repaint of this list, as each round of the listing is by the repaint it leaves behind:
    // both begin with the processor's caches as a repaint leaves them, as a listing does when
    // the operator asks for it.
    QWidget *view = nullptr;
    std::vector<Statement> statements;
    std::int64_t rows = 0;  // the rows the listing selects
    std::int64_t read = -1; // the rows the form reads (negative: all)
};

// Makes and keeps the listing when the filter selects any of its benchmarks (see below).
void AddListing(std::vector<Listing> &listings, const std::string &name,
                const std::function<Listing()> &make);
// Registers for each listing: Program/<name>, the listing code, with the repaint it leaves
// behind run untimed after each round; Painted/<name>, the listing and that repaint; and
// Bare/<name>, its statements.
void RegisterListings(const std::vector<Listing> &listings);

class RatioReporter;
// Prints each listing against its statements, and the same with the repaint; returns whether
// each listing code stayed within `maxRatio` times its statements and each painted listing
// under `maxMs`.
bool PrintListingRatios(RatioReporter &reporter, const std::vector<Listing> &listings,
                        double maxRatio, double maxMs);

// The program as a benchmark runs it: the benchmark's arguments read (unknown ones end the
// run), an offscreen application with a program folder and an empty encoder folder of its
// own, dialogs that answer by themselves, the data module on the cached hotel database `name`
// (CachedHotelDatabase), and the administrator logged on (the account made on first use).
// Benchmarks must finish, and forms go, before it does.
class BenchProgram
{
public:
    BenchProgram(int &argc, char **argv, const char *name, const std::vector<const char *> &fill,
                 int generatorVersion);
    ~BenchProgram();
    BenchProgram(const BenchProgram &) = delete;
    BenchProgram &operator=(const BenchProgram &) = delete;

    QString EncoderDir() const;
    SilentDialogs silent;

private:
    std::unique_ptr<QTemporaryDir> m_programDir, m_encoderDir;
    std::unique_ptr<QuenmarApplication> m_app;
    std::unique_ptr<Tdm> m_module;
};

// The console report, plus the median time of each benchmark for the closing ratios: the
// median of its repetitions, or the median aggregate when only aggregates are reported.
class RatioReporter : public benchmark::ConsoleReporter
{
public:
    void ReportRuns(const std::vector<Run> &runs) override;
    // Seconds per iteration (real, CPU); zero when the benchmark did not run.
    std::pair<double, double> median(const std::string &name);
    // Prints "what: a ms / b ms = ratio" in real and in CPU time for two benchmarks that ran,
    // with a mark unless a stays within `maxMs` and within `maxRatio` times b (in real or in
    // CPU time); returns whether they held.
    bool printRatio(const std::string &what, const std::string &a, const std::string &b,
                    double maxRatio, double maxMs);

private:
    struct Times
    {
        std::vector<double> real, cpu; // seconds per iteration
    };
    std::map<std::string, Times> m_repetitions, m_medians;
};

} // namespace bench
