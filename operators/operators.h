#pragma once
// Operator accounts: adding one with its rights, giving it a password, deleting it, and an
// operator changing his or her own password. All of it works on the data module's Operator
// table object and the shared connection.
#include <QList>
#include <QString>
#include <QVariant>

#include <optional>

class Connection;

// What "Branch" holds once an account has a password.
QString PasswordSetMark();

// The longest password the forms take; longer ones are refused with a message, never cut.
inline constexpr int kPasswordMaxLength = 64;

// The message refusing a longer one.
QString PasswordTooLongText();

// A logon name as it is stored and compared: without surrounding blanks.
QString NormalizedStaffer(const QString &typed);

enum class AddOperatorResult { Added, NameEmpty, NameTaken };
struct AddedOperator
{
    AddOperatorResult result = AddOperatorResult::Added;
    qint64 id = -1; // of the new row when added
};
// Adds an account with the rights in the order of OperatorRights(). The logon name is stored
// trimmed; it may not be empty and must differ from every other account's name ignoring
// letter case and surrounding blanks. Nothing is stored when refused.
AddedOperator AddOperator(const QString &staffer, const QString &stafferName,
                          const QList<bool> &rights);

// Stores the password's hash for the account and marks it as having a password.
void SetOperatorPassword(qint64 id, const QString &password);

enum class DeleteOperatorResult { Deleted, LastAdministrator, OwnAccount, Gone };
// Deletes the account, unless it is the logged-on operator's own or its going would leave no
// administrator who can log on (one holding OperatorManage with a password set).
DeleteOperatorResult DeleteOperator(qint64 id);

// Replaces every plain password of an older database by its hash, all rows in one
// transaction. Returns how many were replaced; a database that refuses the write throws
// DbError and keeps its passwords as they were.
int HashPlainPasswords(Connection &conn);
// The same inside a transaction the caller holds.
int HashPlainPasswordRows(Connection &conn);
// The same for the data module's connection while it is open; a database that cannot be
// written now is left as it is (the logon still hashes a plain password it proves).
void HashPlainPasswordsOfOpenDatabase();

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
