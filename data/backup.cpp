#include "backup.h"

#include "connection.h"
#include "errors.h"
#include "schema.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QSet>
#include <QSqlDatabase>
#include <QSqlDriver>
#include <QStandardPaths>
#include <QTemporaryFile>
#include <QVariant>

#include <sqlite3.h>
#include <sys/stat.h>

#include <memory>

namespace {

using SqliteHandle = std::unique_ptr<sqlite3, int (*)(sqlite3 *)>;

// The SQLite handle behind an open connection; throws for a closed or other connection.
sqlite3 *sqliteOf(Connection &conn)
{
    sqlite3 *handle = conn.fileHandle();
    if (!handle)
        throw DbError(
            QCoreApplication::translate("Backup", "The open database is not a database file."));
    return handle;
}

SqliteHandle openFile(const QString &path, int flags, QString *error)
{
    sqlite3 *db = nullptr;
    const int rc = sqlite3_open_v2(QFile::encodeName(path).constData(), &db, flags, nullptr);
    SqliteHandle handle(db, sqlite3_close);
    if (rc != SQLITE_OK) {
        *error = QString::fromUtf8(db ? sqlite3_errmsg(db) : sqlite3_errstr(rc));
        handle.reset();
    }
    return handle;
}

// Copies every page of `from` into `to` in one step (one write transaction on `to`).
bool copyPages(sqlite3 *to, sqlite3 *from, QString *error)
{
    sqlite3_backup *backup = sqlite3_backup_init(to, "main", from, "main");
    if (!backup) {
        *error = QString::fromUtf8(sqlite3_errmsg(to));
        return false;
    }
    const int step = sqlite3_backup_step(backup, -1);
    const int finish = sqlite3_backup_finish(backup);
    if (step != SQLITE_DONE || finish != SQLITE_OK) {
        const QString text = QString::fromUtf8(sqlite3_errmsg(to));
        *error = text.isEmpty() || finish == SQLITE_OK
                     ? QString::fromUtf8(sqlite3_errstr(step != SQLITE_DONE ? step : finish))
                     : text;
        return false;
    }
    return true;
}

// The first column of the first row of a one-row statement, or an empty text.
QString single(sqlite3 *db, const char *sql, QString *error)
{
    sqlite3_stmt *statement = nullptr;
    if (sqlite3_prepare_v2(db, sql, -1, &statement, nullptr) != SQLITE_OK) {
        *error = QString::fromUtf8(sqlite3_errmsg(db));
        return QString();
    }
    QString value;
    const int rc = sqlite3_step(statement);
    if (rc == SQLITE_ROW)
        value =
            QString::fromUtf8(reinterpret_cast<const char *>(sqlite3_column_text(statement, 0)));
    else if (rc != SQLITE_DONE)
        *error = QString::fromUtf8(sqlite3_errmsg(db));
    sqlite3_finalize(statement);
    return value;
}

QString stamp(const QDateTime &now)
{
    return now.toString(QStringLiteral("yyMMddHHmmss"));
}

// What the first bytes of a file say it is.
enum class FileKind { Sqlite, Jet, Other };

FileKind kindOf(const QString &path)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return FileKind::Other;
    const QByteArray head = f.read(32);
    if (head.startsWith(QByteArrayLiteral("SQLite format 3\0")))
        return FileKind::Sqlite;
    // The older workstations' database files: a four-byte page signature, then the name of
    // the engine.
    if (head.size() >= 19 && head.mid(4, 15) == QByteArrayLiteral("Standard Jet DB"))
        return FileKind::Jet;
    if (head.size() >= 19 && head.mid(4, 15) == QByteArrayLiteral("Standard ACE DB"))
        return FileKind::Jet;
    return FileKind::Other;
}

// Gives the finished temporary file the chosen name. Renaming never replaces a file that
// appeared meanwhile; the temporary file is removed unless it was renamed.
BackupResult placeFinishedFile(QTemporaryFile &temporary, const QString &target,
                               const QString &what, QString *error)
{
    if (!QFile::rename(temporary.fileName(), target)) {
        if (QFileInfo::exists(target))
            return BackupResult::Exists;
        *error = QCoreApplication::translate("Backup", "%1: the %2 could not be given this name")
                     .arg(target, what);
        return BackupResult::Failed;
    }
    temporary.setAutoRemove(false);
    return BackupResult::Done;
}

} // namespace

QString BackupFileName(const QDateTime &now)
{
    return stamp(now) + QStringLiteral("_BackUp.mdb");
}

QString BeforeRestoreFileName(const QDateTime &now)
{
    return stamp(now) + QStringLiteral("_BeforeRestore.mdb");
}

BackupResult BackupDatabase(Connection &conn, const QString &target, QString *error)
{
    QString ignored;
    if (!error)
        error = &ignored;
    if (QFileInfo::exists(target) || QFileInfo(target).isSymLink())
        return BackupResult::Exists;
    sqlite3 *source = sqliteOf(conn);

    const QFileInfo info(target);
    QTemporaryFile temporary(info.absolutePath() + QStringLiteral("/.") + info.fileName() +
                             QStringLiteral(".XXXXXX"));
    if (!temporary.open()) {
        *error = QStringLiteral("%1: %2").arg(info.absolutePath(), temporary.errorString());
        return BackupResult::Failed;
    }
    temporary.close(); // the file stays until `temporary` goes; SQLite writes it
    {
        SqliteHandle copy = openFile(temporary.fileName(), SQLITE_OPEN_READWRITE, error);
        if (!copy || !copyPages(copy.get(), source, error))
            return BackupResult::Failed;
        const QString check = single(copy.get(), "PRAGMA integrity_check", error);
        if (check != QLatin1String("ok")) {
            if (error->isEmpty())
                *error =
                    QCoreApplication::translate("Backup", "the copy did not pass its check (%1)")
                        .arg(check);
            return BackupResult::Failed;
        }
        if (sqlite3_close(copy.release()) != SQLITE_OK) {
            *error = QCoreApplication::translate("Backup", "the copy could not be closed");
            return BackupResult::Failed;
        }
    }
    return placeFinishedFile(temporary, target, QCoreApplication::translate("Backup", "copy"),
                             error);
}

bool CheckHotelDatabaseFile(const QString &path, QString *error)
{
    QString ignored;
    if (!error)
        error = &ignored;
    switch (kindOf(path)) {
    case FileKind::Jet:
        *error = QCoreApplication::translate(
                     "Backup", "\"%1\" is a database file of the older workstations; this "
                               "program keeps its data in another kind of database and "
                               "cannot restore from it.")
                     .arg(path);
        return false;
    case FileKind::Other:
        *error = QCoreApplication::translate("Backup", "\"%1\" is not a database.").arg(path);
        return false;
    case FileKind::Sqlite:
        break;
    }
    QString detail;
    SqliteHandle db = openFile(path, SQLITE_OPEN_READONLY, &detail);
    const QString check = db ? single(db.get(), "PRAGMA quick_check", &detail) : QString();
    if (check != QLatin1String("ok")) {
        *error = QCoreApplication::translate("Backup", "\"%1\" is a damaged database (%2).")
                     .arg(path, detail.isEmpty() ? check : detail);
        return false;
    }
    // Every table and column the program reads or writes.
    QStringList missingTables, missingColumns;
    for (const auto &[table, columns] : HotelTableColumns()) {
        sqlite3_stmt *statement = nullptr;
        sqlite3_prepare_v2(db.get(), "select name from pragma_table_info(?1)", -1, &statement,
                           nullptr);
        const QByteArray name = table.toUtf8();
        sqlite3_bind_text(statement, 1, name.constData(), -1, SQLITE_TRANSIENT);
        QSet<QString> present;
        while (sqlite3_step(statement) == SQLITE_ROW)
            present.insert(
                QString::fromUtf8(reinterpret_cast<const char *>(sqlite3_column_text(statement, 0)))
                    .toLower());
        sqlite3_finalize(statement);
        if (present.isEmpty()) {
            missingTables.append(table);
            continue;
        }
        for (const QString &column : columns)
            if (!present.contains(column.toLower()))
                missingColumns.append(table + QLatin1Char('.') + column);
    }
    if (!missingTables.isEmpty() || !missingColumns.isEmpty()) {
        QStringList lacks;
        if (!missingTables.isEmpty())
            lacks.append(QCoreApplication::translate("Backup", "the tables ") +
                         missingTables.join(QStringLiteral(", ")));
        if (!missingColumns.isEmpty())
            lacks.append(QCoreApplication::translate("Backup", "the columns ") +
                         missingColumns.join(QStringLiteral(", ")));
        *error = QCoreApplication::translate(
                     "Backup", "\"%1\" is not a hotel database this program can work on; it "
                               "lacks %2.")
                     .arg(path, lacks.join(QCoreApplication::translate("Backup", " and ")));
        return false;
    }
    return true;
}

OperatorManagers OperatorManagersOf(const QString &path)
{
    QString error;
    SqliteHandle db = openFile(path, SQLITE_OPEN_READONLY, &error);
    if (!db)
        throw DbError(error);
    const QString accounts = single(db.get(), "select count(*) from Operator", &error);
    const QString managers = single(db.get(),
                                    "select count(*) from Operator where Pass is not null and "
                                    "coalesce(OperatorManage, 0) <> 0",
                                    &error);
    if (!error.isEmpty())
        throw DbError(error);
    if (managers.toInt() > 0)
        return OperatorManagers::Some;
    return accounts.toInt() == 0 ? OperatorManagers::NoAccounts : OperatorManagers::NoneCanLogOn;
}

bool IsOpenDatabaseFile(Connection &conn, const QString &path)
{
    struct stat working, chosen;
    return !conn.databasePath().isEmpty() &&
           ::stat(QFile::encodeName(conn.databasePath()).constData(), &working) == 0 &&
           ::stat(QFile::encodeName(path).constData(), &chosen) == 0 &&
           working.st_dev == chosen.st_dev && working.st_ino == chosen.st_ino;
}

RestoreResult RestoreDatabase(Connection &conn, const QString &source, const QString &safetyCopy,
                              QString *error)
{
    QString ignored;
    if (!error)
        error = &ignored;
    if (!QFileInfo(source).isFile())
        return RestoreResult::Missing;
    sqlite3 *working = sqliteOf(conn);
    if (IsOpenDatabaseFile(conn, source))
        return RestoreResult::IsOpenDatabase;
    if (!CheckHotelDatabaseFile(source, error))
        return RestoreResult::Failed;

    QString detail;
    switch (BackupDatabase(conn, safetyCopy, &detail)) {
    case BackupResult::Done:
        break;
    case BackupResult::Exists:
        *error = QCoreApplication::translate(
                     "Backup", "the copy of the working data could not be kept: %1 already "
                               "exists.")
                     .arg(safetyCopy);
        return RestoreResult::Failed;
    case BackupResult::Failed:
        *error = QCoreApplication::translate("Backup",
                                             "the copy of the working data could not be kept: %1")
                     .arg(detail);
        return RestoreResult::Failed;
    }

    SqliteHandle from = openFile(source, SQLITE_OPEN_READONLY, error);
    if (!from || !copyPages(working, from.get(), error))
        return RestoreResult::Failed;
    // A file of an earlier release gains what this program adds to it.
    UpgradeHotelDatabase(conn);
    return RestoreResult::Done;
}

QString DumpToolPath()
{
    return QStandardPaths::findExecutable(QStringLiteral("pg_dump"));
}

BackupResult DumpServerDatabase(Connection &conn, const QString &target, QString *error)
{
    QString ignored;
    if (!error)
        error = &ignored;
    if (QFileInfo::exists(target) || QFileInfo(target).isSymLink())
        return BackupResult::Exists;
    const QString tool = DumpToolPath();
    if (tool.isEmpty()) {
        *error = QCoreApplication::translate("Backup", "pg_dump was not found.");
        return BackupResult::Failed;
    }
    const QFileInfo info(target);
    QTemporaryFile temporary(info.absolutePath() + QStringLiteral("/.") + info.fileName() +
                             QStringLiteral(".XXXXXX"));
    if (!temporary.open()) {
        *error = QStringLiteral("%1: %2").arg(info.absolutePath(), temporary.errorString());
        return BackupResult::Failed;
    }
    temporary.close();

    // Every value is an argument or a variable of its own; the password never appears on a
    // command line.
    QStringList arguments = {QStringLiteral("--format=custom"), QStringLiteral("--no-password"),
                             QStringLiteral("--file"), temporary.fileName()};
    if (!conn.ServerHost.isEmpty())
        arguments << QStringLiteral("--host") << conn.ServerHost;
    if (conn.ServerPort > 0)
        arguments << QStringLiteral("--port") << QString::number(conn.ServerPort);
    if (!conn.ServerUser.isEmpty())
        arguments << QStringLiteral("--username") << conn.ServerUser;
    arguments << QStringLiteral("--dbname") << QString::fromLatin1(kServerDatabase);
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("PGPASSWORD"), conn.ServerPassword);
    environment.insert(QStringLiteral("PGCONNECT_TIMEOUT"), QStringLiteral("5"));
    QProcess dump;
    dump.setProcessEnvironment(environment);
    dump.start(tool, arguments);
    const bool finished = dump.waitForFinished(30 * 60 * 1000);
    if (!finished || dump.exitStatus() != QProcess::NormalExit || dump.exitCode() != 0) {
        if (!finished)
            dump.kill();
        const QString text = QString::fromLocal8Bit(dump.readAllStandardError()).trimmed();
        *error = text.isEmpty() ? dump.errorString() : text;
        return BackupResult::Failed;
    }
    return placeFinishedFile(temporary, target, QCoreApplication::translate("Backup", "dump"),
                             error);
}
