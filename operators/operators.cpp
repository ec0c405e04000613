#include "operators.h"

#include "data/dm.h"
#include "data/rights.h"
#include "data/sqltext.h"
#include "data/transaction.h"
#include "passwordhash.h"

namespace {

// Selects rows of the shared Operator table with a filter for the length of a scope; on
// every way out the filter is switched off and the table shows all accounts again.
class OperatorFilter
{
public:
    explicit OperatorFilter(const QString &filter) : m_table(dm->Operator_ado)
    {
        m_table.Filter = filter;
        m_table.Filtered = true;
        m_table.Open();
    }
    ~OperatorFilter()
    {
        m_table.Filtered = false;
        m_table.Filter.clear();
        try {
            m_table.Open();
        } catch (...) {
            m_table.Close(); // the error that brought us here is the one to show
        }
    }
    OperatorFilter(const OperatorFilter &) = delete;
    OperatorFilter &operator=(const OperatorFilter &) = delete;
    Table &table() { return m_table; }

private:
    Table &m_table;
};

} // namespace

QString PasswordSetMark()
{
    return QString(20, '*');
}

std::optional<qint64> AddOperator(const QString &staffer, const QString &stafferName,
                                  const QList<bool> &rights)
{
    {
        OperatorFilter byName(QStringLiteral("Staffer=") + QuotedStr(staffer));
        if (!byName.table().IsEmpty())
            return std::nullopt;
    }
    FieldValues values = {{QStringLiteral("Staffer"), staffer}};
    const QStringList &columns = OperatorRightColumns();
    for (int i = 0; i < columns.size(); ++i)
        values.append({columns[i], i < rights.size() && rights[i]});
    values.append({QStringLiteral("StafferName"), stafferName});
    return dm->Operator_ado.Append(values);
}

void SetOperatorPassword(qint64 id, const QString &password)
{
    UpdateRows(dm->conn, QStringLiteral("Operator"), QStringLiteral("ID"), id,
               {{QStringLiteral("Pass"), HashPassword(password)},
                {QStringLiteral("Branch"), PasswordSetMark()}});
    if (dm->Operator_ado.Active())
        dm->Operator_ado.Open();
}

DeleteOperatorResult DeleteOperator(qint64 id)
{
    Transaction t(dm->conn);
    bool administrator = false;
    {
        OperatorFilter byId(QStringLiteral("ID=%1").arg(id));
        if (byId.table().IsEmpty())
            return DeleteOperatorResult::Gone;
        administrator = byId.table().AsBoolean(QStringLiteral("OperatorManage"));
    }
    if (administrator) {
        OperatorFilter administrators(QStringLiteral("OperatorManage<>0"));
        if (administrators.table().RecordCount() < 2)
            return DeleteOperatorResult::LastAdministrator;
    }
    Query q(dm->conn);
    q.Add(QStringLiteral("delete from Operator where ID=%1").arg(id));
    q.ExecSQL();
    t.Commit();
    if (dm->Operator_ado.Active())
        dm->Operator_ado.Open();
    return DeleteOperatorResult::Deleted;
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
    Query q(dm->conn);
    q.Add(QStringLiteral("Update Operator Set Pass=") + QuotedStr(HashPassword(newPassword)));
    q.Add(QStringLiteral("where ID=%1 and Pass=").arg(proven.id) + QuotedStr(proven.stored));
    return q.ExecSQL() > 0;
}
