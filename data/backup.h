#pragma once
// Backup and restore of the hotel database the program has open. Both go through SQLite's
// online backup, so a copy is always one consistent state of the database, and a restore
// replaces the working data in one write transaction (all or nothing).
#include <QDateTime>
#include <QString>

class Connection;

// The proposed name of a backup taken at `now`: yymmddhhmmss_BackUp.mdb.
QString BackupFileName(const QDateTime &now);

enum class BackupResult {
    Done,
    Exists, // a file of that name is there; nothing was written
    Failed, // nothing was written (details in *error)
};

// Copies the database open on `conn` to `target`: into a temporary file beside it, checked,
// then renamed to `target` without replacing a file of that name. On every failure the
// temporary file is removed.
BackupResult BackupDatabase(Connection &conn, const QString &target, QString *error);

// Checks that `path` is a hotel database: an SQLite file that opens read-only, passes a
// quick check and holds every table and column the program reads or writes. False with the
// reason in *error otherwise (naming each table and column it lacks).
bool CheckHotelDatabaseFile(const QString &path, QString *error);

// Who can manage the operators of the hotel database file at `path`: an operator with the
// right and a password set (Some), no operator account at all (NoAccounts: the next start
// creates the first administrator), or accounts of which none can (NoneCanLogOn). Throws
// DbError for a file it cannot read.
enum class OperatorManagers { Some, NoAccounts, NoneCanLogOn };
OperatorManagers OperatorManagersOf(const QString &path);

// True when `path` is the file the connection has open (by any name or link).
bool IsOpenDatabaseFile(Connection &conn, const QString &path);

enum class RestoreResult {
    Done,
    Missing,        // no file at the path; nothing was touched
    IsOpenDatabase, // the file is the working database itself; nothing was touched
    Failed,         // refused or failed; the working data is as it was (details in *error)
};

// Replaces the data of the database open on `conn` with the hotel database at `source`.
// The source is checked first; the replaced data is kept at `safetyCopy` (made with
// BackupDatabase) before anything changes. The connection stays open throughout.
RestoreResult RestoreDatabase(Connection &conn, const QString &source, const QString &safetyCopy,
                              QString *error);

// The name of the copy of the replaced data kept before a restore at `now`:
// yymmddhhmmss_BeforeRestore.mdb.
QString BeforeRestoreFileName(const QDateTime &now);

// The server's dump tool (pg_dump) on the PATH; empty when there is none.
QString DumpToolPath();

// Writes a dump of the server database open on `conn` to `target` with the dump tool: into a
// temporary file beside it, then renamed without replacing a file of that name.
BackupResult DumpServerDatabase(Connection &conn, const QString &target, QString *error);
