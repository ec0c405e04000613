#pragma once
// The room list statement and the room picker that the stay and door-record screens share.
#include <QString>
#include <QStringList>

#include <functional>
#include <optional>

class QLineEdit;
class QWidget;

// The room status choice of the room list, in the order of its radio buttons.
enum class RoomStatus { NoBooked = 0, AllGuest = 1, Booked = 2 };

// The lines of the room list statement: every room whose state has a title (its Room,
// RoomStr, Buiding, Floor, District and the title as RoomState), joined with its open stays'
// GuestInTime (a room with two open stays gives two rows; a vacant room has none), optionally
// narrowed to one building and one floor (nullopt: no narrowing) and to vacant or occupied rooms.
// A building or floor entry is written as a decimal number when it is one, as a quoted
// text otherwise, and an empty entry (a room without a building or floor) matches null.
QStringList FindRoomListLines(const std::optional<QString> &building,
                              const std::optional<QString> &floor, RoomStatus status);

// Opens the room list as a picker and returns the door plates of the selected rows in list
// order; empty when the operator cancels or confirms without a selected row.
QStringList PickRooms(QWidget *parent);

// The room picker of the stay, copy and door-record screens: on a confirmed choice `setRoom`
// receives the door plate of the last selected row in list order. Returns false, without
// calling `setRoom`, when cancelled or when nothing was selected.
bool PickRoom(QWidget *parent, const std::function<void(const QString &)> &setRoom);
// The same for a room field that is a line edit.
bool PickRoom(QWidget *parent, QLineEdit *roomField);
