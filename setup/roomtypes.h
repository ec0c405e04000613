#pragma once
// Room types: the rows of RoomType kept through the data module's room type table, so its
// rule that a room type needs a name applies to every row stored here.
#include "data/dataset.h"

#include <QString>

// The columns of a room type from its three boxes: Title as typed; Size (a whole number)
// and Piece (a decimal, "." or the locale's separator) only when their box is not empty.
// A guest count or rate that is no number throws ConvertError.
FieldValues RoomTypeFields(const QString &title, const QString &size, const QString &rate);

// Appends a room type; returns its ID, or -1 when the table's rule refused it.
qint64 AddRoomType(Table &roomTypes, const QString &title, const QString &size,
                   const QString &rate);
// Stores the boxes into the room type with this ID (an empty box leaves its column as it
// is); false when the table's rule refused it. A row that is gone throws AppError.
bool UpdateRoomType(Table &roomTypes, qint64 id, const QString &title, const QString &size,
                    const QString &rate);
// Deletes the room type with this ID. The table is reopened when it was open.
void DeleteRoomType(Table &roomTypes, qint64 id);

// The row of the room type with this ID in the open table, or -1.
int RoomTypeRow(const Table &roomTypes, qint64 id);
