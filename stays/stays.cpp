#include "stays.h"

#include "cards/bookkeeping.h"
#include "data/clock.h"
#include "data/dm.h"
#include "data/sqltext.h"

void FindOpenStays(Query &query)
{
    query.Clear();
    query.Add(QStringLiteral("select * from GuestInRecord"));
    query.Add(QStringLiteral("where"));
    query.Add(QStringLiteral("enOverride=0"));
    query.Open();
}

void EndStay(const QVariant &stayId)
{
    UpdateRows(dm->conn, QStringLiteral("GuestInRecord"), QStringLiteral("ID"), stayId,
               {{QStringLiteral("enOverride"), 1}, {QStringLiteral("LeaveTime"), Now()}});
}

bool EndFirstOpenStayOfRoom(const QString &room)
{
    Query &q = dm->other_adoq;
    q.Clear();
    q.Add(QStringLiteral("select * from GuestInRecord Where enOverride=0 And RoomStr=") +
          QuotedStr(room));
    q.Open();
    const bool found = !q.IsEmpty();
    if (found)
        EndStay(q.FieldByName(QStringLiteral("ID")));
    q.Clear();
    return found;
}
