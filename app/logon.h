#pragma once
// Logging on, and the first account of a new database.
#include <QString>

// True when the database holds no operator yet (first-run mode).
bool OperatorTableEmpty();
// Checks the logon name and password; on success fills the operator fields of the global
// settings record. A plain password of an older database is replaced by its hash.
bool TryLogon(const QString &staffer, const QString &password);
// Stores the first account with every right and logs it on.
void CreateFirstAccount(const QString &staffer, const QString &password);
