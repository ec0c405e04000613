#include "stays.h"

#include "cards/bookkeeping.h"
#include "data/clock.h"
#include "data/dm.h"
#include "data/sqltext.h"
#include "data/transaction.h"
#include "oplog/operationlog.h"

void FindOpenStays(Query &query)
{
    // The list shows the door plate and ends the stay by its ID: only those two are read.
    query.Clear();
    query.Add(QStringLiteral("select ID,RoomStr from GuestInRecord"));
    query.Add(QStringLiteral("where"));
    query.Add(QStringLiteral("enOverride=0"));
    query.Open();
}

bool EndStay(const QVariant &stayId)
{
    // Only a stay that is still open: one that another workstation or a card revocation
    // ended meanwhile keeps its LeaveTime. The end is logged with it.
    JoinedTransaction transaction(dm->conn);
    Query stay(dm->conn);
    stay.Add(QStringLiteral("select RoomStr,GuestName from GuestInRecord"));
    stay.Add(QStringLiteral("Where ID=%1").arg(stayId.toLongLong()));
    stay.Open();
    Query update(dm->conn);
    update.Add(QStringLiteral("Update GuestInRecord Set enOverride=1,LeaveTime=") +
               SqlDateTime(Now()));
    update.Add(QStringLiteral("Where ID=%1").arg(stayId.toLongLong()));
    update.Add(QStringLiteral("and"));
    update.Add(QStringLiteral("enOverride=0"));
    if (update.ExecSQL() == 0)
        return false;
    LogOperation(dm->conn, LogAction::CheckOut, stay.AsString(QStringLiteral("RoomStr")),
                 QStringLiteral("stay %1, guest %2")
                     .arg(stayId.toLongLong())
                     .arg(stay.AsString(QStringLiteral("GuestName"))));
    transaction.Commit();
    return true;
}

bool EndFirstOpenStayOfRoom(const QString &room)
{
    Query &q = dm->other_adoq;
    q.Clear();
    q.Add(QStringLiteral("select * from GuestInRecord Where enOverride=0 And RoomStr=") +
          QuotedStr(room));
    q.Open();
    const QVariant id = q.IsEmpty() ? QVariant() : q.FieldByName(QStringLiteral("ID"));
    q.Clear();
    return id.isValid() && EndStay(id);
}
