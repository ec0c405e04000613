#pragma once
// Rooms: their addresses (building, floor, room number), the system room number and lock
// code made from them, door plates, and the checks that keep door plates and lock codes
// unique.
#include "data/dataset.h"

#include <QList>
#include <QString>

#include <optional>

class Connection;

// A building, floor or room number as typed: one or two digits forming 1 to 99; a number of
// 0 or less (also "-1") is NotPositive, anything else NotInteger.
enum class AddressNumberCheck { Ok, NotInteger, NotPositive };
AddressNumberCheck CheckAddressNumber(const QString &text);

// A new room at a free number of a floor. `buildingText` and `floorText` are the boxes'
// texts, already checked with CheckAddressNumber.
struct NewRoom
{
    int building = 0;
    int floor = 0;
    int number = 0;
    // Building, floor and room number with two digits each: 1, 2, 3 give 010203.
    QString systemRoomStr;
    // The lock code: building and floor as typed, then the room number with two digits
    // (1, 2, 3 give 1203; typed 01 and 02 give 10203).
    int room = 0;
};
NewRoom MakeNewRoom(const QString &buildingText, const QString &floorText, int number);

// The room numbers 1 to 99 that no room of this building and floor has, ascending.
QList<int> FreeRoomNumbers(Connection &conn, int building, int floor);

// Why a room was not stored.
enum class RoomRefusal {
    None,
    NoDoorPlate,    // the door plate is empty
    DoorPlateTaken, // another room has this door plate
    LockCodeTaken,  // another room has this lock code (otherDoorPlate names it)
    HasGuest,       // the room has an open stay (otherDoorPlate names the room)
};
struct RoomStore
{
    RoomRefusal refusal = RoomRefusal::None;
    QString otherDoorPlate; // the room that already has the door plate or lock code
    qint64 id = -1;         // the stored room
};

// The door plate of another room (not `exceptId`) whose door plate is the same, ignoring
// surrounding blanks and letter case; empty text when there is none.
QString DoorPlateOwner(Connection &conn, const QString &doorPlate, qint64 exceptId = -1);
// The door plate of a room (not `exceptId`) with this lock code; nothing when there is none.
std::optional<QString> LockCodeOwner(Connection &conn, int room, qint64 exceptId = -1);

// True when a stay of the room with this door plate is still open.
bool RoomHasOpenStay(Connection &conn, const QString &doorPlate);

// The highest serial recorded in MakeCardRecord for a guest card of the lock with this
// system room number (its Rom is the system room number followed by the card number); 0
// when none was recorded.
long long HighestGuestCardSerial(Connection &conn, const QString &systemRoomStr);

// Stores a new room with its door plate (without surrounding blanks) and room type (empty:
// none) unless the door plate is empty or taken or the lock code is taken, also when another
// workstation stores the same at the same moment (the database's unique indexes refuse the
// later one). Its serial counter continues the guest cards already recorded for its lock
// address, so no serial is handed out twice to one lock.
RoomStore AddRoom(Connection &conn, const NewRoom &room, const QString &doorPlate,
                  const QString &roomType);
// Stores changed columns of an existing room (RoomStr, RoomTypeStr); a changed door plate
// is checked as for a new room, and refused while the room has an open stay (the stay
// keeps the door plate it was opened with); nothing is stored when it is refused.
RoomStore UpdateRoom(Connection &conn, qint64 id, const FieldValues &changes);
// Deletes the room with this ID, unless it has an open stay (HasGuest).
RoomStore DeleteRoom(Connection &conn, qint64 id);
