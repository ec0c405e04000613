#pragma once
// The issue log: the issue records of the cards made, listed by issue day and card type,
// and purged of records older than a year.
#include "data/dataset.h"

#include <QDate>
#include <QDateTime>
#include <QHash>
#include <QStringList>

#include <optional>

class Connection;

struct IssueLogFilter
{
    QDate First; // the first issue day listed
    QDate Last;  // the last issue day listed
    // The title of the one card type listed; nullopt lists every card type.
    std::optional<QString> CardTypeTitle;
    // The IDs of the card types with that title, when looked up (WithCardTypeIds). The
    // statements then name them: the index on card type and issue time serves one type's
    // days in their order, whatever statistics the database has or lacks.
    QList<int> CardTypeIds;
};

// The card types: every title in the order the table gives them (as often as the table
// holds it), and the IDs of each title.
struct CardTypeTable
{
    QStringList Titles;
    QHash<QString, QList<int>> Ids;
};
CardTypeTable ReadCardTypes(Connection &conn);

// The filter with the IDs of its card type title (none for all types, or for a title no card
// type has).
IssueLogFilter WithCardTypeIds(const CardTypeTable &types, IssueLogFilter filter);
// The same, with the card types read from the database.
IssueLogFilter WithCardTypeIds(Connection &conn, IssueLogFilter filter);

// The list statement: the records issued from the first through the last day, of the card
// type or of all, oldest first; records of a card type without a CardType row are never
// listed. A title without looked-up IDs is matched in the statement itself.
QStringList MakeCardRecordListLines(const IssueLogFilter &filter);
// The number of rows the list statement selects.
QStringList MakeCardRecordCountLines(const IssueLogFilter &filter);

// Every card type title, in the order the table gives them.
QStringList CardTypeTitles(Connection &conn);

// The last issue day a purge on `today` removes: 365 days earlier.
QDate PurgeCutOffDay(const QDate &today);
// Deletes every issue record issued on the day of `cutOff` or earlier; returns how many.
int PurgeIssueRecords(Connection &conn, const QDateTime &cutOff);

// The listed issue records: the rows read as the grid scrolls, their number counted apart
// with the same conditions.
class IssueLogList
{
public:
    explicit IssueLogList(Connection &conn);

    LazyQuery Rows;
    int Count = 0;

    // The card types, read once for the list: the program never changes them, so a listing
    // names a title's IDs without looking them up again.
    const CardTypeTable &CardTypes();
    // Lists the records the filter selects.
    void List(const IssueLogFilter &filter);
    // Closes the list (before its rows are changed).
    void Close();

private:
    Connection &m_conn;
    std::optional<CardTypeTable> m_types;
};
