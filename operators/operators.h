#pragma once
// Operator accounts: adding one with its rights, giving it a password, deleting it, and an
// operator changing his or her own password. All of it works on the data module's Operator
// table object and the shared connection.
#include <QList>
#include <QString>
#include <QVariant>

#include <optional>

// What "Branch" holds once an account has a password.
QString PasswordSetMark();

// Adds an account with the rights in the order of OperatorRights(). Returns its ID, or
// nullopt when the logon name is taken (nothing stored).
std::optional<qint64> AddOperator(const QString &staffer, const QString &stafferName,
                                  const QList<bool> &rights);

// Stores the password's hash for the account and marks it as having a password.
void SetOperatorPassword(qint64 id, const QString &password);

enum class DeleteOperatorResult { Deleted, LastAdministrator, Gone };
// Deletes the account, unless it is the last one holding OperatorManage.
DeleteOperatorResult DeleteOperator(qint64 id);

// The row a password change works on once the current password is proven: its ID and the
// stored Pass as it was when proven.
struct ProvenPassword
{
    qint64 id = -1;
    QString stored;
};

// The logon name's row whose stored password (hash, or plain text of an older database)
// matches `current`; nullopt when none. A row without a password matches nothing.
std::optional<ProvenPassword> ProveCurrentPassword(const QString &staffer, const QString &current);

// Stores the new password's hash on the proven row, only while its Pass is still the proven
// one. False when nothing changed (the password was changed or the row deleted meanwhile).
// Branch is left alone.
bool ChangeOperatorPassword(const ProvenPassword &proven, const QString &newPassword);
