#pragma once
// The operation log: one row for each thing an operator (or the PMS link) did at a
// workstation, written in the transaction of the change it records, so that a change is never
// stored without its row and a row never outlives a change that was rolled back.
//
// Each row's Hash is SHA-256 over the previous row's Hash and the row's own fields, a chain:
// a row edited or removed in the database breaks the chain at that row. Appends are
// serialised (the database file's write lock, an advisory lock on the server), so that
// workstations sharing a server never fork the chain.
#include <QDate>
#include <QDateTime>
#include <QString>
#include <QStringList>

class Connection;

struct OperationLogRow
{
    qint64 ID = 0;
    QDateTime LogTime;
    QString Staffer;
    QString StafferName;
    QString Workstation;
    QString Action;
    QString Room;
    QString Detail;
    QString Hash;
};

// The action codes.
namespace LogAction {
inline constexpr const char *Logon = "LOGON";
inline constexpr const char *LogonFailed = "LOGON_FAILED";
inline constexpr const char *CardWritten = "CARD";
inline constexpr const char *CheckOut = "CHECK_OUT";
inline constexpr const char *Revoke = "REVOKE";
inline constexpr const char *DataCard = "DATA_CARD";
inline constexpr const char *DoorLogDelete = "DOOR_LOG_DELETE";
inline constexpr const char *Purge = "PURGE";
inline constexpr const char *RoomType = "ROOM_TYPE";
inline constexpr const char *Room = "ROOM";
inline constexpr const char *Group = "GROUP";
inline constexpr const char *OperatorAdded = "OPERATOR_ADD";
inline constexpr const char *OperatorChanged = "OPERATOR_CHANGE";
inline constexpr const char *OperatorDeleted = "OPERATOR_DELETE";
inline constexpr const char *Password = "PASSWORD";
inline constexpr const char *Settings = "SETTINGS";
inline constexpr const char *DbConnection = "CONNECTION";
inline constexpr const char *Backup = "BACKUP";
inline constexpr const char *Restore = "RESTORE";
inline constexpr const char *PmsLink = "PMS_LINK";
inline constexpr const char *PmsRequest = "PMS";
inline constexpr const char *LogPurge = "LOG_PURGE";
} // namespace LogAction

// This machine's name, as the rows give it.
QString WorkstationName();

// The hash of a row after the row whose hash is `previousHash` (empty for the first row).
QString OperationLogHash(const QString &previousHash, const OperationLogRow &row);

// Appends a row for the logged-on operator (LockSystemInfo) at Now(). Inside an open
// transaction or counter hold the row is stored with it; otherwise in a transaction of its
// own. Returns the row's ID; throws DbError.
qint64 LogOperation(Connection &conn, const QString &action, const QString &room,
                    const QString &detail);
// The same for a named operator (a failed logon names what was typed).
qint64 LogOperationAs(Connection &conn, const QString &staffer, const QString &stafferName,
                      const QString &action, const QString &room, const QString &detail);

// The outcome of checking the chain.
struct LogCheck
{
    bool Intact = true;
    qint64 Rows = 0;      // rows checked
    qint64 BrokenID = 0;  // the first row whose hash does not follow, when not intact
    QString Text() const; // "Log intact" or the first broken row
};
LogCheck VerifyOperationLog(Connection &conn);

// Deletes the rows logged before the day `firstKept` (the oldest rows, as one run from the
// start of the log, so the chain stays whole) and logs the purge in the same transaction,
// with the cut-off day, the number of rows and the hash the remaining log continues from.
// Returns how many rows went.
int PurgeOperationLog(Connection &conn, const QDate &firstKept);

// What the operation log form lists: the days, and optionally one operator and one action.
struct OperationLogFilter
{
    QDate First;
    QDate Last;
    QString Staffer; // empty: every operator
    QString Action;  // empty: every action
};

// The list statement (oldest first) and the count of its rows.
QStringList OperationLogListLines(const OperationLogFilter &filter);
QStringList OperationLogCountLines(const OperationLogFilter &filter);
// The operators' logon names and every action code, for the form's choice lists.
QStringList OperationLogStaffers(Connection &conn);
QStringList OperationLogActions();
