#include "logon.h"

#include "data/dm.h"
#include "data/errors.h"
#include "data/rights.h"
#include "data/schema.h"
#include "data/settings.h"
#include "data/sqltext.h"
#include "data/transaction.h"
#include "oplog/operationlog.h"
#include "operators/passwordhash.h"

bool OperatorTableEmpty()
{
    Query &q = dm->other_adoq;
    q.Clear();
    q.Add(QStringLiteral("select * from Operator"));
    q.Open();
    const bool empty = q.IsEmpty();
    q.Clear();
    return empty;
}

namespace {

// A logon is logged where the database can be written; one that cannot be written still lets
// the operator on (nothing else is changed by a logon).
void logLogon(const char *action, const QString &staffer, const QString &name)
{
    try {
        LogOperationAs(dm->conn, staffer, name, QString::fromLatin1(action), QString(), QString());
    } catch (const DbError &) {
    }
}

} // namespace

bool TryLogon(const QString &staffer, const QString &password)
{
    Query &q = dm->other_adoq;
    q.Clear();
    q.Add(QStringLiteral("select * from Operator where Staffer=") + QuotedStr(staffer));
    q.Open();
    for (; !q.Eof(); q.Next()) {
        // An account whose password was never set cannot log on, not even with an empty
        // password; an empty password that was set is a password like any other.
        if (q.IsNull(QStringLiteral("Pass")))
            continue;
        const QString stored = q.AsString(QStringLiteral("Pass"));
        if (!VerifyPassword(password, stored))
            continue;
        const QVariant id = q.FieldByName(QStringLiteral("ID"));
        LockSystemInfo.Staffer = staffer;
        LockSystemInfo.StafferName = q.AsString(QStringLiteral("StafferName"));
        LockSystemInfo.GroupID = q.AsInteger(QStringLiteral("GroupID"));
        q.Clear();
        if (!IsPasswordHash(stored))
            UpgradePlainPassword(id, password);
        logLogon(LogAction::Logon, staffer, LockSystemInfo.StafferName);
        return true;
    }
    q.Clear();
    // The name as typed; never the password.
    logLogon(LogAction::LogonFailed, staffer, QString());
    return false;
}

void UpgradePlainPassword(const QVariant &operatorId, const QString &password)
{
    // Best effort: a database that cannot be written now (read-only, locked) keeps the
    // plain password, and the next logon tries again.
    try {
        UpdateRows(dm->conn, QStringLiteral("Operator"), QStringLiteral("ID"), operatorId,
                   {{QStringLiteral("Pass"), HashPassword(password)}});
    } catch (const DbError &) {
    }
}

void CreateFirstAccount(const QString &staffer, const QString &password)
{
    FieldValues values = {{QStringLiteral("Staffer"), staffer},
                          {QStringLiteral("StafferName"), QStringLiteral("Administrator")},
                          {QStringLiteral("Pass"), HashPassword(password)},
                          {QStringLiteral("Branch"), QString(20, '*')}};
    for (const QString &right : OperatorRightColumns())
        values.append({right, true});
    Transaction transaction(dm->conn);
    const qint64 id = InsertRow(dm->conn, QStringLiteral("Operator"), values);
    LogOperationAs(dm->conn, staffer, QStringLiteral("Administrator"),
                   QString::fromLatin1(LogAction::OperatorAdded), QString(),
                   QStringLiteral("first administrator %1, every right").arg(staffer));
    transaction.Commit();

    Query &q = dm->other_adoq;
    q.Clear();
    q.Add(QStringLiteral("select GroupID from Operator where ID=%1").arg(id));
    q.Open();
    LockSystemInfo.Staffer = staffer;
    LockSystemInfo.StafferName = QStringLiteral("Administrator");
    LockSystemInfo.GroupID = q.IsEmpty() ? 0 : q.AsInteger(QStringLiteral("GroupID"));
    q.Clear();
}

QDateTime LogonThrottle::NextAttemptAt(const QDateTime &now) const
{
    if (!m_until.isValid() || now >= m_until)
        return QDateTime();
    return m_until;
}

void LogonThrottle::Failed(const QDateTime &now)
{
    ++m_failures;
    if (m_failures < kFreeAttempts)
        return;
    int wait = kFirstWaitSeconds;
    for (int i = kFreeAttempts; i < m_failures && wait < kLongestWaitSeconds; ++i)
        wait *= 2;
    m_until = now.addSecs(qMin(wait, kLongestWaitSeconds));
}

void LogonThrottle::Succeeded()
{
    m_failures = 0;
    m_until = QDateTime();
}

LogonThrottle &WorkstationLogonThrottle()
{
    static LogonThrottle throttle;
    return throttle;
}
