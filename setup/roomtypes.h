#pragma once
// Room types: the rows of RoomType kept through the data module's room type table, so its
// rule that a room type needs a name applies to every row stored here.
#include "data/dataset.h"

#include <QString>

// The columns of a room type from its three boxes: Title without surrounding blanks; Size
// (a whole number from 0 to 99) and Piece (an amount from 0 to 999,999.99 with at most two
// decimals, "." or the locale's separator) only when their box is not empty. A guest count
// or rate out of these throws ConvertError naming the field.
FieldValues RoomTypeFields(const QString &title, const QString &size, const QString &rate);

// Appends a room type; returns its ID, or -1 when the table's rule refused it (an empty
// title). A title another room type has (ignoring letter case) throws AppError.
qint64 AddRoomType(Table &roomTypes, const QString &title, const QString &size,
                   const QString &rate);
// Stores the boxes into the room type with this ID (an empty box leaves its column as it
// is); false when the table's rule refused it. A row that is gone, or a title another room
// type has, throws AppError.
bool UpdateRoomType(Table &roomTypes, qint64 id, const QString &title, const QString &size,
                    const QString &rate);
// Deletes the room type with this ID. The table is reopened when it was open.
void DeleteRoomType(Table &roomTypes, qint64 id);

// The row of the room type with this ID in the open table, or -1.
int RoomTypeRow(const Table &roomTypes, qint64 id);
