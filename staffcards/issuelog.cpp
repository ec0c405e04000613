#include "issuelog.h"

#include "data/settings.h"
#include "data/sqltext.h"
#include "data/transaction.h"
#include "oplog/operationlog.h"

namespace {

// The join and the conditions the list and its count share.
QStringList fromWhere(const IssueLogFilter &filter)
{
    QStringList lines{QStringLiteral("From MakeCardRecord M inner join CardType C on "
                                     "M.CardType=C.ID"),
                      QStringLiteral("where")};
    lines += DaysFromToCondition(QStringLiteral("M.InputTime"), filter.First, filter.Last);
    if (filter.CardTypeTitle && !filter.CardTypeIds.isEmpty()) {
        QStringList ids;
        for (int id : filter.CardTypeIds)
            ids.append(QString::number(id));
        lines << QStringLiteral("and")
              << QStringLiteral("M.CardType in (") + ids.join(',') + QStringLiteral(")");
    } else if (filter.CardTypeTitle) {
        lines << QStringLiteral("and")
              << QStringLiteral("CardType in (Select ID From CardType where C_Title=") +
                     QuotedStr(*filter.CardTypeTitle) + QStringLiteral(")");
    }
    return lines;
}

} // namespace

QStringList MakeCardRecordListLines(const IssueLogFilter &filter)
{
    QStringList lines{
        QStringLiteral("select C.C_Title,M.Rom,M.Holder,M.Buiding,"),
        QStringLiteral("M.MakeUser,M.MakeName,M.Room,M.RoomStr,M.InputTime,M.Floor,M.District,"),
        QStringLiteral("M.StartTime,M.EndTime,M.Explain,M.enOverride")};
    lines += fromWhere(filter);
    lines << QStringLiteral("order by M.InputTime,M.ID");
    return lines;
}

QStringList MakeCardRecordCountLines(const IssueLogFilter &filter)
{
    return QStringList{QStringLiteral("select count(*)")} + fromWhere(filter);
}

CardTypeTable ReadCardTypes(Connection &conn)
{
    Query q(conn);
    q.Add(QStringLiteral("select ID,C_Title from CardType"));
    q.Open();
    CardTypeTable types;
    for (const auto &row : q.rows()) {
        const QString title = row.value(1).toString();
        types.Titles.append(title);
        types.Ids[title].append(row.value(0).toInt());
    }
    return types;
}

IssueLogFilter WithCardTypeIds(const CardTypeTable &types, IssueLogFilter filter)
{
    filter.CardTypeIds.clear();
    if (filter.CardTypeTitle)
        filter.CardTypeIds = types.Ids.value(*filter.CardTypeTitle);
    return filter;
}

IssueLogFilter WithCardTypeIds(Connection &conn, IssueLogFilter filter)
{
    return WithCardTypeIds(ReadCardTypes(conn), std::move(filter));
}

QStringList CardTypeTitles(Connection &conn)
{
    return ReadCardTypes(conn).Titles;
}

QDate PurgeCutOffDay(const QDate &today)
{
    return today.addDays(-365);
}

int PurgeIssueRecords(Connection &conn, const QDateTime &cutOff)
{
    Transaction transaction(conn);
    Query erase(conn);
    erase.Add(QStringLiteral("Delete From MakeCardRecord Where"));
    erase.SQL += OnOrBeforeDayCondition(QStringLiteral("InputTime"), cutOff);
    const int removed = erase.ExecSQL();
    LogOperation(conn, LogAction::Purge, QString(),
                 QStringLiteral("issue records of %1 and earlier; %2 rows")
                     .arg(cutOff.date().toString(Qt::ISODate))
                     .arg(removed));
    transaction.Commit();
    return removed;
}

IssueLogList::IssueLogList(Connection &conn) : Rows(conn), m_conn(conn) {}

const CardTypeTable &IssueLogList::CardTypes()
{
    if (!m_types)
        m_types = ReadCardTypes(m_conn);
    return *m_types;
}

void IssueLogList::List(const IssueLogFilter &chosen)
{
    Close();
    const IssueLogFilter filter = WithCardTypeIds(CardTypes(), chosen);
    Query count(m_conn);
    count.SQL = MakeCardRecordCountLines(filter);
    count.Open();
    Count = count.IsEmpty() ? 0 : count.Field(0).toInt();
    Rows.SQL = MakeCardRecordListLines(filter);
    Rows.Open();
}

void IssueLogList::Close()
{
    Rows.Close();
    Count = 0;
}
