#include "roomboard.h"

#include "data/dm.h"
#include "data/errors.h"
#include "data/sqltext.h"

#include <QCoreApplication>
#include <QHash>
#include <QItemSelectionModel>
#include <QSet>

#include <QSqlDatabase>
#include <QSqlDriver>
#include <sqlite3.h>

#include <algorithm>
#include <memory>
#include <utility>
#include <vector>

QStringList RoomBoardLines(const std::optional<QString> &building,
                           const std::optional<QString> &floor)
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
    // The entries come from the rooms themselves; they are compared as the room list
    // compares them, so that the two screens always agree.
    QStringList filters;
    if (building)
        filters << EqualsEntry(QStringLiteral("I.Buiding"), *building);
    if (floor) {
        if (!filters.isEmpty())
            filters << QStringLiteral("and");
        filters << EqualsEntry(QStringLiteral("I.Floor"), *floor);
    }
    if (!filters.isEmpty())
        lines << QStringLiteral("where") << filters;
    lines << QStringLiteral("ORDER BY I.Buiding,I.Floor,I.ROOM");
    return lines;
}

namespace {

// The board through Qt SQL, for the database server.
QVector<BoardRoom> loadThroughQuery(const std::optional<QString> &building,
                                    const std::optional<QString> &floor)
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

QVector<BoardRoom> LoadRoomBoard(const std::optional<QString> &building,
                                 const std::optional<QString> &floor)
{
    if (dm->conn.IsServer())
        return loadThroughQuery(building, floor);
    // One forward pass over the rows, through SQLite itself: the statement returns fifteen
    // columns and the board reads four of them, while a Qt query converts every column of
    // every row (about half the time of a rebuild in a hotel of thousands of rooms).
    sqlite3 *db = dm->conn.fileHandle();
    if (!db)
        throw DbError(QCoreApplication::translate(
            "RoomBoard", "The room board needs an SQLite database connection."));
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

void RoomBoardModel::setRooms(QVector<BoardRoom> next)
{
    beginResetModel();
    rooms = std::move(next);
    endResetModel();
}

int RoomBoardModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : int(rooms.size());
}

QVariant RoomBoardModel::data(const QModelIndex &index, int role) const
{
    if (!index.isValid() || index.row() >= rooms.size())
        return QVariant();
    const BoardRoom &room = rooms[index.row()];
    if (role == Qt::DisplayRole)
        return room.RoomStr;
    if (role == Qt::DecorationRole && icons && room.Picture >= 0 && room.Picture < icons->size())
        return icons->at(room.Picture);
    return QVariant();
}

namespace {
// Counts, row by row, the occurrences of a few door plates. A small set is compared
// directly: hashing each of the thousands of door plates of a large hotel costs more than
// the rest of the rebuild's bookkeeping together.
class PlateCounter
{
public:
    explicit PlateCounter(const QStringList &plates) : m_plates(plates), m_counts(plates.size(), 0)
    {
        if (m_plates.size() > kDirect)
            for (int i = 0; i < m_plates.size(); ++i)
                m_index.insert(m_plates[i], i);
    }
    // The position of the plate in the set (-1 for another plate) and how often it came
    // before this row.
    std::pair<int, int> next(const QString &plate)
    {
        int i = -1;
        if (m_plates.size() > kDirect)
            i = m_index.value(plate, -1);
        else
            i = int(m_plates.indexOf(plate));
        return {i, i >= 0 ? m_counts[i]++ : 0};
    }

private:
    static constexpr int kDirect = 8;
    QStringList m_plates;
    QList<int> m_counts;
    QHash<QString, int> m_index;
};
} // namespace

BoardSelection BoardSelection::Take(const QVector<BoardRoom> &rooms,
                                    const QItemSelectionModel &selection)
{
    BoardSelection kept;
    if (!selection.hasSelection())
        return kept;
    const int count = int(rooms.size());
    std::vector<bool> isSelected(count);
    for (const QItemSelectionRange &range : selection.selection())
        for (int row = std::max(range.top(), 0); row <= range.bottom() && row < count; ++row)
            isSelected[row] = true;
    QSet<QString> unique;
    for (int row = 0; row < count; ++row)
        if (isSelected[row] && !unique.contains(rooms[row].RoomStr)) {
            unique.insert(rooms[row].RoomStr);
            kept.m_plates.append(rooms[row].RoomStr);
        }
    kept.m_occurrences.resize(kept.m_plates.size());
    PlateCounter counter(kept.m_plates);
    for (int row = 0; row < count; ++row) {
        const auto [plate, occurrence] = counter.next(rooms[row].RoomStr);
        if (plate >= 0 && isSelected[row])
            kept.m_occurrences[plate].append(occurrence);
    }
    return kept;
}

void BoardSelection::Restore(const RoomBoardModel &model, QItemSelectionModel &selection) const
{
    if (m_plates.isEmpty())
        return;
    // Consecutive selected rows go in as one range: a whole selected board stays one range
    // instead of one per room.
    QItemSelection ranges;
    int first = -1;
    auto flush = [&](int last) {
        if (first >= 0)
            ranges.select(model.index(first), model.index(last));
        first = -1;
    };
    PlateCounter counter(m_plates);
    const int count = int(model.rooms.size());
    for (int row = 0; row < count; ++row) {
        const auto [plate, occurrence] = counter.next(model.rooms[row].RoomStr);
        if (plate >= 0 && m_occurrences[plate].contains(occurrence)) {
            if (first < 0)
                first = row;
        } else {
            flush(row - 1);
        }
    }
    flush(count - 1);
    selection.select(ranges, QItemSelectionModel::Select);
}
