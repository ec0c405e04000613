// What the benchmarks share: the filled hotel database built once and cached in the build
// folder, statements stepped through the SQLite C API on the program's own connection, the
// fastest plan of a statement, and the closing ratios.
#pragma once

#include "ui/dialogs.h"

#include <QString>
#include <QStringList>

#include <benchmark/benchmark.h>
#include <sqlite3.h>

#include <cstdint>
#include <map>
#include <string>
#include <utility>
#include <vector>

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
