#include "roomtypes.h"

#include "data/errors.h"
#include "data/numbers.h"

FieldValues RoomTypeFields(const QString &title, const QString &size, const QString &rate)
{
    FieldValues values{{QStringLiteral("Title"), title}};
    if (!size.isEmpty())
        values.append({QStringLiteral("Size"), StrToInt(size)});
    if (!rate.isEmpty())
        values.append({QStringLiteral("Piece"), StrToFloat(rate)});
    return values;
}

qint64 AddRoomType(Table &roomTypes, const QString &title, const QString &size, const QString &rate)
{
    return roomTypes.Append(RoomTypeFields(title, size, rate));
}

int RoomTypeRow(const Table &roomTypes, qint64 id)
{
    if (!roomTypes.Active() || !roomTypes.HasField(QStringLiteral("ID")))
        return -1;
    const QStringList names = roomTypes.FieldNames();
    int column = -1;
    for (int i = 0; i < names.size() && column < 0; ++i)
        if (names[i].compare(QStringLiteral("ID"), Qt::CaseInsensitive) == 0)
            column = i;
    for (int row = 0; row < roomTypes.rows().size(); ++row)
        if (roomTypes.rows()[row].value(column).toLongLong() == id)
            return row;
    return -1;
}

bool UpdateRoomType(Table &roomTypes, qint64 id, const QString &title, const QString &size,
                    const QString &rate)
{
    const FieldValues values = RoomTypeFields(title, size, rate);
    if (!roomTypes.Active())
        roomTypes.Open();
    const int row = RoomTypeRow(roomTypes, id);
    if (row < 0)
        throw AppError(QStringLiteral("The room type is no longer there."));
    roomTypes.MoveTo(row);
    return roomTypes.Edit(values);
}

void DeleteRoomType(Table &roomTypes, qint64 id)
{
    DeleteRows(roomTypes.connection(), roomTypes.TableName, QStringLiteral("ID"), id);
    if (roomTypes.Active())
        roomTypes.Open();
}
