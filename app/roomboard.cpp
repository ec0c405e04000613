#include "roomboard.h"

#include "data/dm.h"
#include "data/errors.h"

#include <QSqlError>
#include <QSqlQuery>
#include <QSqlRecord>

QStringList RoomBoardLines(const QString &building, const QString &floor)
{
    QStringList lines = {
        QStringLiteral("Select I.*,G.GuestLeaveTime,G.LeaveTime,G.GuestName,G.GuestID,"),
        QStringLiteral("G.InputTime,G.InputUser,G.Rom,G.GuestInTime from"),
        QStringLiteral("(Select I.RoomStr,I.Room,I.Buiding,I.Floor,I.District,"),
        QStringLiteral("S.State_Title as RoomState,S.ID as RoomStateID"),
        QStringLiteral("from RoomInfo I,RoomStateType S"),
        QStringLiteral("Where I.RoomState=S.ID) I"),
        QStringLiteral("left join "),
        QStringLiteral("(select * from GuestInRecord"),
        QStringLiteral("where enOverride=0) G"),
        QStringLiteral("On I.Room=G.Room"),
    };
    // The filter values are numbers picked from the database's own list; they go into the
    // statement only when they read as numbers.
    QStringList filters;
    bool ok = false;
    if (!building.isEmpty() && (building.toLongLong(&ok), ok))
        filters << QStringLiteral("I.Buiding=") + building;
    if (!floor.isEmpty() && (floor.toLongLong(&ok), ok)) {
        if (!filters.isEmpty())
            filters << QStringLiteral("and");
        filters << QStringLiteral("I.Floor=") + floor;
    }
    if (!filters.isEmpty())
        lines << QStringLiteral("where") << filters;
    lines << QStringLiteral("ORDER BY I.Buiding,I.Floor,I.ROOM");
    return lines;
}

QVector<BoardRoom> LoadRoomBoard(const QString &building, const QString &floor)
{
    // One forward pass over the rows: the board reads three columns of each.
    QSqlQuery q(dm->conn.database());
    q.setForwardOnly(true);
    if (!q.exec(RoomBoardLines(building, floor).join('\n')))
        throw DbError(q.lastError().text());
    const QSqlRecord record = q.record();
    const int roomStr = record.indexOf(QStringLiteral("RoomStr"));
    const int room = record.indexOf(QStringLiteral("Room"));
    const int state = record.indexOf(QStringLiteral("RoomStateID"));
    const int guestIn = record.indexOf(QStringLiteral("GuestInTime"));
    QVector<BoardRoom> rooms;
    while (q.next()) {
        BoardRoom r;
        r.RoomStr = q.value(roomStr).toString();
        r.Room = q.value(room).toInt();
        const QVariant stateId = q.value(state);
        const bool occupied = !q.value(guestIn).isNull();
        if (!stateId.isNull() && (stateId.toInt() == 0 || stateId.toInt() == 1))
            r.Picture = stateId.toInt() + (occupied ? 2 : 0);
        rooms.append(r);
    }
    return rooms;
}
