#include "operationlog.h"

#include "data/clock.h"
#include "data/connection.h"
#include "data/dataset.h"
#include "data/errors.h"
#include "data/settings.h"
#include "data/sqltext.h"
#include "data/transaction.h"

#include <QCoreApplication>
#include <QCryptographicHash>
#include <QRegularExpression>
#include <QSqlError>
#include <QSqlQuery>
#include <QSysInfo>

#include <optional>

namespace {

// The server's advisory lock that serialises appends (any number the hotel's database uses
// for nothing else).
constexpr qint64 kAppendLock = 0x4f504c4f47; // "OPLOG"

const QString kChainFrom = QStringLiteral("chain continues from ");

QSqlQuery run(Connection &conn, const QString &text, const QVariantList &values = {})
{
    QSqlQuery q(conn.database());
    if (!q.prepare(text))
        throw DbError(q.lastError().text() + QStringLiteral("\n") + text);
    for (int i = 0; i < values.size(); ++i)
        q.bindValue(i, values[i]);
    if (!q.exec())
        throw DbError(q.lastError().text() + QStringLiteral("\n") + text);
    return q;
}

OperationLogRow rowOf(const QSqlQuery &q)
{
    OperationLogRow row;
    row.ID = q.value(0).toLongLong();
    row.LogTime = q.value(1).toDateTime();
    if (!row.LogTime.isValid())
        row.LogTime = ParseDateTimeText(q.value(1).toString());
    row.Staffer = q.value(2).toString();
    row.StafferName = q.value(3).toString();
    row.Workstation = q.value(4).toString();
    row.Action = q.value(5).toString();
    row.Room = q.value(6).toString();
    row.Detail = q.value(7).toString();
    row.Hash = q.value(8).toString();
    return row;
}

const char *const kColumns = "ID, LogTime, Staffer, StafferName, Workstation, Action, Room, "
                             "Detail, Hash";

// The hash the first row of the log continues from: the one the newest purge named, or
// empty for a log that was never purged.
QString chainStart(Connection &conn)
{
    QSqlQuery q = run(conn,
                      QStringLiteral("select Detail from OperationLog where Action = ? "
                                     "order by ID desc limit 1"),
                      {QString::fromLatin1(LogAction::LogPurge)});
    if (!q.next())
        return QString();
    const QString detail = q.value(0).toString();
    const int at = detail.lastIndexOf(kChainFrom);
    return at < 0 ? QString() : detail.mid(at + kChainFrom.size()).trimmed();
}

} // namespace

QString WorkstationName()
{
    static const QString name = QSysInfo::machineHostName();
    return name;
}

QString OperationLogHash(const QString &previousHash, const OperationLogRow &row)
{
    // Fields joined by the unit separator, which no typed text carries.
    const QStringList fields = {previousHash,
                                QString::number(row.ID),
                                DateTimeText(row.LogTime),
                                row.Staffer,
                                row.StafferName,
                                row.Workstation,
                                row.Action,
                                row.Room,
                                row.Detail};
    return QString::fromLatin1(
        QCryptographicHash::hash(fields.join(QChar(0x1f)).toUtf8(), QCryptographicHash::Sha256)
            .toHex());
}

qint64 LogOperation(Connection &conn, const QString &action, const QString &room,
                    const QString &detail)
{
    return LogOperationAs(conn, LockSystemInfo.Staffer, LockSystemInfo.StafferName, action, room,
                          detail);
}

qint64 LogOperationAs(Connection &conn, const QString &staffer, const QString &stafferName,
                      const QString &action, const QString &room, const QString &detail)
{
    JoinedTransaction transaction(conn);
    // On the server the lock is held to the end of the transaction; in the database file the
    // insert takes the write lock, so the row before it cannot change until the commit.
    if (conn.IsServer())
        run(conn, QStringLiteral("select pg_advisory_xact_lock(%1)").arg(kAppendLock));
    OperationLogRow row;
    row.LogTime = Now();
    row.LogTime.setTime(
        QTime(row.LogTime.time().hour(), row.LogTime.time().minute(), row.LogTime.time().second()));
    // Texts are stored as given, a missing one as empty text (never null).
    const auto text = [](const QString &value) {
        return value.isNull() ? QStringLiteral("") : value;
    };
    row.Staffer = text(staffer);
    row.StafferName = text(stafferName);
    row.Workstation = text(WorkstationName());
    row.Action = text(action);
    row.Room = text(room);
    row.Detail = text(detail);
    row.ID = InsertRow(conn, QStringLiteral("OperationLog"),
                       {{QStringLiteral("LogTime"), row.LogTime},
                        {QStringLiteral("Staffer"), row.Staffer},
                        {QStringLiteral("StafferName"), row.StafferName},
                        {QStringLiteral("Workstation"), row.Workstation},
                        {QStringLiteral("Action"), row.Action},
                        {QStringLiteral("Room"), row.Room},
                        {QStringLiteral("Detail"), row.Detail}});
    QSqlQuery before = run(conn,
                           QStringLiteral("select Hash from OperationLog where ID < ? "
                                          "order by ID desc limit 1"),
                           {row.ID});
    const QString previous = before.next() ? before.value(0).toString() : chainStart(conn);
    before.finish();
    run(conn, QStringLiteral("update OperationLog set Hash = ? where ID = ?"),
        {OperationLogHash(previous, row), row.ID});
    transaction.Commit();
    return row.ID;
}

QString LogCheck::Text() const
{
    if (Intact)
        return QCoreApplication::translate("OperationLog", "Log intact");
    return QCoreApplication::translate("OperationLog",
                                       "The log is broken at row %1: it was changed or rows "
                                       "before it were removed.")
        .arg(BrokenID);
}

LogCheck VerifyOperationLog(Connection &conn)
{
    LogCheck check;
    QString previous = chainStart(conn);
    QSqlQuery q(conn.database());
    q.setForwardOnly(true);
    const QString text =
        QStringLiteral("select %1 from OperationLog order by ID").arg(QLatin1String(kColumns));
    if (!q.exec(text))
        throw DbError(q.lastError().text() + QStringLiteral("\n") + text);
    while (q.next()) {
        const OperationLogRow row = rowOf(q);
        ++check.Rows;
        if (row.Hash != OperationLogHash(previous, row)) {
            check.Intact = false;
            check.BrokenID = row.ID;
            return check;
        }
        previous = row.Hash;
    }
    return check;
}

int PurgeOperationLog(Connection &conn, const QDate &firstKept)
{
    Transaction transaction(conn);
    if (conn.IsServer())
        run(conn, QStringLiteral("select pg_advisory_xact_lock(%1)").arg(kAppendLock));
    // The rows before the first row logged on or after the day kept: a run from the start.
    QSqlQuery first =
        run(conn, QStringLiteral("select min(ID) from OperationLog where LogTime >= ?"),
            {DateTimeText(QDateTime(firstKept, QTime(0, 0)))});
    first.next();
    const QVariant firstKeptId = first.value(0);
    first.finish();
    QString anchor = chainStart(conn);
    int removed = 0;
    {
        const QString bound = firstKeptId.isNull() ? QStringLiteral("(select max(ID) + 1 from "
                                                                    "OperationLog)")
                                                   : QStringLiteral("?");
        const QVariantList values =
            firstKeptId.isNull() ? QVariantList{} : QVariantList{firstKeptId};
        QSqlQuery last = run(conn,
                             QStringLiteral("select Hash from OperationLog where ID < %1 "
                                            "order by ID desc limit 1")
                                 .arg(bound),
                             values);
        if (last.next())
            anchor = last.value(0).toString();
        last.finish();
        QSqlQuery gone =
            run(conn, QStringLiteral("delete from OperationLog where ID < %1").arg(bound), values);
        removed = gone.numRowsAffected();
    }
    LogOperation(conn, QString::fromLatin1(LogAction::LogPurge), QString(),
                 QStringLiteral("before %1; %2 rows; %3%4")
                     .arg(firstKept.toString(Qt::ISODate))
                     .arg(removed)
                     .arg(kChainFrom, anchor));
    transaction.Commit();
    return removed;
}

namespace {

QStringList fromWhere(const OperationLogFilter &filter)
{
    QStringList lines{QStringLiteral("from OperationLog"), QStringLiteral("where")};
    lines += DaysFromToCondition(QStringLiteral("LogTime"), filter.First, filter.Last);
    if (!filter.Staffer.isEmpty())
        lines << QStringLiteral("and Staffer=") + QuotedStr(filter.Staffer);
    if (!filter.Action.isEmpty())
        lines << QStringLiteral("and Action=") + QuotedStr(filter.Action);
    return lines;
}

} // namespace

QStringList OperationLogListLines(const OperationLogFilter &filter)
{
    return QStringList{QStringLiteral("select LogTime,Staffer,StafferName,Workstation,Action,"
                                      "Room,Detail,ID")} +
           fromWhere(filter) + QStringList{QStringLiteral("order by LogTime,ID")};
}

QStringList OperationLogCountLines(const OperationLogFilter &filter)
{
    return QStringList{QStringLiteral("select count(*)")} + fromWhere(filter);
}

QStringList OperationLogStaffers(Connection &conn)
{
    Query q(conn);
    q.Add(QStringLiteral("select Staffer from Operator order by Staffer"));
    q.Open();
    QStringList staffers;
    for (const auto &row : q.rows())
        staffers.append(row.value(0).toString());
    return staffers;
}

QStringList OperationLogActions()
{
    using namespace LogAction;
    QStringList codes;
    for (const char *code :
         {Logon,           LogonFailed,     CardWritten, CheckOut, Revoke,       DataCard,
          DoorLogDelete,   Purge,           RoomType,    Room,     Group,        OperatorAdded,
          OperatorChanged, OperatorDeleted, Password,    Settings, DbConnection, Backup,
          Restore,         PmsLink,         PmsRequest,  LogPurge})
        codes.append(QString::fromLatin1(code));
    return codes;
}
