#include "roomboard.h"

#include "data/dm.h"
#include "data/errors.h"

#include <QSqlDatabase>
#include <QSqlDriver>
#include <sqlite3.h>

#include <memory>

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

namespace {

// The board through Qt SQL, for the database server.
QVector<BoardRoom> loadThroughQuery(const QString &building, const QString &floor)
{
    Query q(dm->conn);
    q.SQL = RoomBoardLines(building, floor);
    q.Open();
    QVector<BoardRoom> rooms;
    rooms.reserve(q.RecordCount());
    for (q.First(); !q.Eof(); q.Next()) {
        BoardRoom r;
        r.RoomStr = q.AsString(QStringLiteral("RoomStr"));
        r.Room = q.AsInteger(QStringLiteral("Room"));
        // 0 vacant, 1 vacant in state 1, 2 and 3 the same occupied; other states none.
        const QVariant state = q.FieldByName(QStringLiteral("RoomStateID"));
        const int id = state.isNull() ? -1 : state.toInt();
        if (id == 0 || id == 1)
            r.Picture = id + (q.IsNull(QStringLiteral("GuestInTime")) ? 0 : 2);
        rooms.append(r);
    }
    return rooms;
}

} // namespace

QVector<BoardRoom> LoadRoomBoard(const QString &building, const QString &floor)
{
    if (dm->conn.IsServer())
        return loadThroughQuery(building, floor);
    // One forward pass over the rows, through SQLite itself: the statement returns fifteen
    // columns and the board reads four of them, while a Qt query converts every column of
    // every row (about half the time of a rebuild in a hotel of thousands of rooms).
    const QVariant handle = dm->conn.database().driver()->handle();
    sqlite3 *db = handle.isValid() && qstrcmp(handle.typeName(), "sqlite3*") == 0
                      ? *static_cast<sqlite3 *const *>(handle.constData())
                      : nullptr;
    if (!db)
        throw DbError(QStringLiteral("The room board needs an SQLite database connection."));
    const QByteArray sql = RoomBoardLines(building, floor).join('\n').toUtf8();
    sqlite3_stmt *statement = nullptr;
    if (sqlite3_prepare_v2(db, sql.constData(), int(sql.size()), &statement, nullptr) != SQLITE_OK)
        throw DbError(QString::fromUtf8(sqlite3_errmsg(db)));
    const std::unique_ptr<sqlite3_stmt, int (*)(sqlite3_stmt *)> finalizer(statement,
                                                                           sqlite3_finalize);
    int roomStr = -1, room = -1, state = -1, guestIn = -1;
    for (int c = 0; c < sqlite3_column_count(statement); ++c) {
        const char *name = sqlite3_column_name(statement, c);
        if (qstricmp(name, "RoomStr") == 0 && roomStr < 0)
            roomStr = c;
        else if (qstricmp(name, "Room") == 0 && room < 0)
            room = c;
        else if (qstricmp(name, "RoomStateID") == 0 && state < 0)
            state = c;
        else if (qstricmp(name, "GuestInTime") == 0 && guestIn < 0)
            guestIn = c;
    }
    QVector<BoardRoom> rooms;
    int step;
    while ((step = sqlite3_step(statement)) == SQLITE_ROW) {
        BoardRoom r;
        if (const auto *text = sqlite3_column_text(statement, roomStr))
            r.RoomStr = QString::fromUtf8(reinterpret_cast<const char *>(text),
                                          sqlite3_column_bytes(statement, roomStr));
        r.Room = sqlite3_column_int(statement, room);
        const bool occupied = sqlite3_column_type(statement, guestIn) != SQLITE_NULL;
        if (sqlite3_column_type(statement, state) != SQLITE_NULL) {
            const int stateId = sqlite3_column_int(statement, state);
            if (stateId == 0 || stateId == 1)
                r.Picture = stateId + (occupied ? 2 : 0);
        }
        rooms.append(r);
    }
    if (step != SQLITE_DONE)
        throw DbError(QString::fromUtf8(sqlite3_errmsg(db)));
    return rooms;
}
