#pragma once
// The door openings a lock stores: read from a data card through the card library, kept in
// OpenDoorRecord per room, listed and deleted one by one.
#include "cards/cardrecord.h"

#include <QList>
#include <QString>
#include <QStringList>

class Connection;

// One door opening as the card library delivers it.
struct DoorOpening
{
    uint16_t Building = 0;
    uint16_t Floor = 0;
    RoomAddress Address = {}; // room number, building, floor (as the lock reports them)
    uint16_t CardType = 0;
    CardTime Time = {};
    uint16_t Serial[4] = {}; // serial words 0 to 3 of the card that opened the door
};

// The card number stored for an opening: a time card is "00000000"; any other card but a
// guest card carries its card type in word 3.
QString OpeningRom(uint16_t cardType, const uint16_t *serialWords);

// The card library's reader of one opening (ReadOneOpenDoorRecord). Tests put a reader here
// that fails part-way through a card.
using ReadOneOpeningCall = int16_t (*)(uint16_t *Building, uint16_t *Floor, uint16_t *Unused1,
                                       uint16_t *Unused2, uint16_t *RoomAddress, uint16_t *CardType,
                                       uint16_t *OpenTime, uint16_t *DataCardSerial);
extern ReadOneOpeningCall ReadOneOpening;

// How a read of the data card ended.
enum class DataCardRead {
    Complete,   // read to its end: every opening it holds, none for a card without openings
    NoDataCard, // no data card could be read (no card, no encoder, another kind of card)
    BrokenOff,  // an opening could not be read (the card was taken off, or is damaged)
};

// Reads the data card on the encoder: every opening it holds, in the order the card library
// delivers them. Only the card library's "no opening left" ends the read; any other result
// fails it, and the openings read so far are dropped (a part of the card is not its log).
// `result` receives the card library's result of the call that ended the read.
DataCardRead ReadDataCardOpenings(QList<DoorOpening> &openings, int *result = nullptr);

// Results of ImportDataCard.
enum class DataCardImport {
    Stored,      // the room's log now holds the card's openings
    NoRecords,   // no data card, no encoder, or a card without openings: nothing changed
    UnknownLock, // an opening names a lock address of no room: told, nothing changed
    ReadFailed,  // the read of an opening failed: nothing changed
};

// Replaces the stored log of the rooms the openings come from by the openings, all at once:
// every lookup is made first, then the rooms' stored records are deleted and the new ones
// stored in one transaction. An opening without a valid date and time is stored without
// OpenTime after the operator was told. Database errors are raised; the stored log is then
// as it was.
DataCardImport StoreDoorOpenings(Connection &conn, const QList<DoorOpening> &openings);

// Reads the data card on the encoder and stores its openings (the two steps above).
// `cardResult` receives the card library's result when the read failed.
DataCardImport ImportDataCard(Connection &conn, int *cardResult = nullptr);

// The statement listing one room's stored openings, oldest first.
QStringList OpenDoorRecordListLines(const QString &room);
QStringList OpenDoorRecordCountLines(const QString &room);
// Deletes one stored opening by its ID.
void DeleteOpenDoorRecord(Connection &conn, qint64 id);
