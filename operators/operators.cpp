#include "operators.h"

#include "data/dm.h"
#include "data/errors.h"
#include "data/rights.h"
#include "data/settings.h"
#include "data/sqltext.h"
#include "data/transaction.h"
#include "oplog/operationlog.h"
#include "passwordhash.h"

#include <QCoreApplication>

QString PasswordSetMark()
{
    return QString(20, '*');
}

QString PasswordTooLongText()
{
    return QCoreApplication::translate("Operators", "Password too long! At most %1 characters.")
        .arg(kPasswordMaxLength);
}

QString NormalizedStaffer(const QString &typed)
{
    return typed.trimmed();
}

AddedOperator AddOperator(const QString &staffer, const QString &stafferName,
                          const QList<bool> &rights)
{
    const QString name = NormalizedStaffer(staffer);
    if (name.isEmpty())
        return {AddOperatorResult::NameEmpty};
    Transaction t(dm->conn);
    {
        // "clerk", "Clerk" and "clerk " are one name: older rows may hold any of them.
        Query q(dm->conn);
        q.Add(QStringLiteral("select Staffer from Operator"));
        q.Open();
        for (; !q.Eof(); q.Next())
            if (NormalizedStaffer(q.AsString(QStringLiteral("Staffer")))
                    .compare(name, Qt::CaseInsensitive) == 0)
                return {AddOperatorResult::NameTaken};
    }
    FieldValues values = {{QStringLiteral("Staffer"), name}};
    const QStringList &columns = OperatorRightColumns();
    for (int i = 0; i < columns.size(); ++i)
        values.append({columns[i], i < rights.size() && rights[i]});
    values.append({QStringLiteral("StafferName"), stafferName});
    const qint64 id = InsertRow(dm->conn, QStringLiteral("Operator"), values);
    QStringList granted;
    for (int i = 0; i < columns.size(); ++i)
        if (i < rights.size() && rights[i])
            granted.append(columns[i]);
    LogOperation(dm->conn, LogAction::OperatorAdded, QString(),
                 QStringLiteral("%1 (%2), rights: %3")
                     .arg(name, stafferName,
                          granted.isEmpty() ? QStringLiteral("none") : granted.join(',')));
    t.Commit();
    if (dm->Operator_ado.Active())
        dm->Operator_ado.Open();
    return {AddOperatorResult::Added, id};
}

void SetOperatorPassword(qint64 id, const QString &password)
{
    Transaction t(dm->conn);
    UpdateRows(dm->conn, QStringLiteral("Operator"), QStringLiteral("ID"), id,
               {{QStringLiteral("Pass"), HashPassword(password)},
                {QStringLiteral("Branch"), PasswordSetMark()}});
    Query q(dm->conn);
    q.Add(QStringLiteral("select Staffer from Operator where ID=%1").arg(id));
    q.Open();
    LogOperation(
        dm->conn, LogAction::Password, QString(),
        QStringLiteral("password set for %1")
            .arg(q.IsEmpty() ? QString::number(id) : q.AsString(QStringLiteral("Staffer"))));
    t.Commit();
    if (dm->Operator_ado.Active())
        dm->Operator_ado.Open();
}

DeleteOperatorResult DeleteOperator(qint64 id)
{
    Transaction t(dm->conn);
    {
        // Every account is read: the right columns are compared as the data layer reads
        // them, on either kind of database.
        Query q(dm->conn);
        q.Add(QStringLiteral("select ID, Staffer, OperatorManage, Pass from Operator"));
        q.Open();
        bool found = false, administrator = false;
        QString staffer;
        int othersThatCanManage = 0;
        for (; !q.Eof(); q.Next()) {
            const bool manages = q.AsBoolean(QStringLiteral("OperatorManage"));
            if (q.FieldByName(QStringLiteral("ID")).toLongLong() != id) {
                // An administrator without a password can never log on: only those with
                // one keep the operators manageable.
                if (manages && !q.IsNull(QStringLiteral("Pass")))
                    ++othersThatCanManage;
                continue;
            }
            if (q.AsString(QStringLiteral("Staffer")) == LockSystemInfo.Staffer)
                return DeleteOperatorResult::OwnAccount;
            found = true;
            administrator = manages;
            staffer = q.AsString(QStringLiteral("Staffer"));
        }
        if (!found)
            return DeleteOperatorResult::Gone;
        if (administrator && othersThatCanManage < 1)
            return DeleteOperatorResult::LastAdministrator;
        Query erase(dm->conn);
        erase.Add(QStringLiteral("delete from Operator where ID=%1").arg(id));
        erase.ExecSQL();
        LogOperation(dm->conn, LogAction::OperatorDeleted, QString(), staffer);
    }
    t.Commit();
    if (dm->Operator_ado.Active())
        dm->Operator_ado.Open();
    return DeleteOperatorResult::Deleted;
}

int HashPlainPasswordRows(Connection &conn)
{
    QList<QPair<QVariant, QString>> plain;
    {
        Query q(conn);
        q.Add(QStringLiteral("select ID, Pass from Operator where Pass is not null"));
        q.Open();
        for (; !q.Eof(); q.Next()) {
            const QString stored = q.AsString(QStringLiteral("Pass"));
            if (!IsPasswordHash(stored))
                plain.append({q.FieldByName(QStringLiteral("ID")), stored});
        }
    }
    for (const auto &[operatorId, password] : plain)
        UpdateRows(conn, QStringLiteral("Operator"), QStringLiteral("ID"), operatorId,
                   {{QStringLiteral("Pass"), HashPassword(password)}});
    return int(plain.size());
}

int HashPlainPasswords(Connection &conn)
{
    Transaction t(conn);
    const int hashed = HashPlainPasswordRows(conn);
    t.Commit();
    return hashed;
}

void HashPlainPasswordsOfOpenDatabase()
{
    if (!dm->conn.Connected())
        return;
    try {
        HashPlainPasswords(dm->conn);
    } catch (const DbError &) {
    }
}

std::optional<ProvenPassword> ProveCurrentPassword(const QString &staffer, const QString &current)
{
    Query q(dm->conn);
    q.Add(QStringLiteral("Select * From Operator"));
    q.Add(QStringLiteral("where Staffer=") + QuotedStr(staffer));
    q.Open();
    for (; !q.Eof(); q.Next()) {
        if (q.IsNull(QStringLiteral("Pass")))
            continue;
        const QString stored = q.AsString(QStringLiteral("Pass"));
        if (VerifyPassword(current, stored))
            return ProvenPassword{q.FieldByName(QStringLiteral("ID")).toLongLong(), stored};
    }
    return std::nullopt;
}

bool ChangeOperatorPassword(const ProvenPassword &proven, const QString &newPassword)
{
    Transaction t(dm->conn);
    Query q(dm->conn);
    q.Add(QStringLiteral("Update Operator Set Pass=") + QuotedStr(HashPassword(newPassword)));
    q.Add(QStringLiteral("where ID=%1 and Pass=").arg(proven.id) + QuotedStr(proven.stored));
    if (q.ExecSQL() == 0)
        return false;
    LogOperation(dm->conn, LogAction::Password, QString(),
                 QStringLiteral("own password changed by %1").arg(LockSystemInfo.Staffer));
    t.Commit();
    return true;
}
