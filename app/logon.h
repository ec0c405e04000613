#pragma once
// Logging on, and the first account of a new database.
#include <QDateTime>
#include <QString>
#include <QVariant>

// True when the database holds no operator yet (first-run mode).
bool OperatorTableEmpty();
// Checks the logon name and password; on success fills the operator fields of the global
// settings record. A plain password of an older database is replaced by its hash.
// An account whose Pass is null (no password set yet) never logs on.
bool TryLogon(const QString &staffer, const QString &password);
// Replaces an operator's plain password by its hash; a database that refuses the write
// is left as it is.
void UpgradePlainPassword(const QVariant &operatorId, const QString &password);
// Stores the first account with every right and logs it on.
void CreateFirstAccount(const QString &staffer, const QString &password);

// Wrong logon attempts on this workstation: after five in a row no attempt is taken for 30
// seconds, doubling with each further wrong one up to five minutes. A right one starts the
// count afresh. Times come from the program's clock (Now()).
class LogonThrottle
{
public:
    static constexpr int kFreeAttempts = 5;
    static constexpr int kFirstWaitSeconds = 30;
    static constexpr int kLongestWaitSeconds = 300;

    // When the next attempt may be made; invalid when it may be made now.
    QDateTime NextAttemptAt(const QDateTime &now) const;
    void Failed(const QDateTime &now);
    void Succeeded();
    int Failures() const { return m_failures; }

private:
    int m_failures = 0;
    QDateTime m_until;
};

// The one throttle of this workstation's logon dialog.
LogonThrottle &WorkstationLogonThrottle();
