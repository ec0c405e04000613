#pragma once
// Logging on, and the first account of a new database.
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
