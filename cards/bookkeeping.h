#pragma once
// The routines every card screen shares: card times, card numbers, issue records,
// room and serial lookups, result texts, and the two flags that tie card commands to
// the room board.
#include "cardrecord.h"

#include <QDate>
#include <QDateTime>
#include <QString>

#include <optional>

// A card command is under way; the main window clears it every 500 ms.
extern bool CardBusy;
// A room or a stay changed; the main window redraws the board on its next 3-second tick.
extern bool RoomBoardDirty;

void DateTimeToCardTime(uint16_t *destination, const QDateTime &value);
// Invalid when the words form no date or time.
QDateTime CardTimeToDateTime(const uint16_t *time);
// The same time in the stored text form, as the card's clock gave it (no local time is
// worked out); null when the words form no date or time.
QString CardTimeText(const uint16_t *time);

// The card number text: serial words 3, 2, 1, 0 in upper-case hexadecimal, at least two
// digits each.
QString RomText(const uint16_t *serialWords);

// Writes the issue record of a card just written. Returns 1; database errors go to the caller.
int SaveMakeCardRecord(const CardRecord &record, const QString &holder, const QString &explain);

// False (after telling the operator) when the end is not after the start: a card and a
// stay of no length, or of a negative one, are never written.
bool CheckDateRange(const QDateTime &end, const QDateTime &start);

// A card call's result in English, as the key service answers it.
QString CardResultText(int result);
// The same result as the operator reads it, in the program's language.
QString CardResultCaption(int result);
QString GetCardTypeTitle(int id);

// Hands the record to the card library's MakeGuestCard and returns its result.
int CallMakeGuestCard(uint16_t *SerialWords, uint16_t *ReservedA, uint16_t BuildingNo,
                      uint16_t *FloorBlock, uint16_t *DistrictBlock, uint16_t *RoomAddr,
                      uint16_t enOverride, uint16_t *CardTypeBlock, uint16_t *ReservedB,
                      uint16_t *StartTime, uint16_t *EndTime);
int CallMakeGuestCard(CardRecord &record);

// Room lookups by door plate and by lock address.
int RoomStrExists(const QString &room);
void GetRoomAddress(const QString &room, uint16_t *address);
int GetRoomCode(const QString &room);
QString GetRoomStrByAddress(const uint16_t *address);
QString GetSystemRoomStrByAddress(const uint16_t *address);

// The texts of an issue record; a null column reads as the empty text.
struct IssueRecordInfo
{
    QString Holder, Explain, MakeName;
    bool Found = false;
};
// The newest issue record (highest ID) of the card type and card number, in one query.
IssueRecordInfo LatestIssueRecord(int cardType, const QString &rom);

// Lookups of a card kind and of an issued card; "None" when there is no row. An issued card
// is looked up in its newest issue record: card numbers repeat (every further card of a
// room's stay carries the same number), and the newest record is the card most likely on
// the encoder.
QString GetKeyKind(int id);
// Every text GetKeyKind can give: each kind of the key kind table, and "None".
QStringList KeyKindTexts();
QString GetMakeName(int cardType, const QString &cardNumber);
QString GetHolder(int cardType, const QString &cardNumber);
QString GetExplain(int cardType, const QString &cardNumber);

// The serial a guest card's issue record carries in its Rom (the SystemRoomStr of its room
// followed by the card number); nothing for a Rom of another form.
std::optional<long long> GuestSerialOfRom(const QString &rom, const QString &systemRoomStr);
// The serial of the newest guest-card issue record of the room with this door plate other
// than an extension card's (serial 0); nothing when there is none.
std::optional<long long> LastGuestCardSerial(const QString &room);

// Serial numbers: per room for guest cards, per counter id for every other kind.
void GetRoomCardSn(const QString &room, uint16_t *serialWords);
void IncRoomCardSn(const QString &room);
void GetCardSn(int counterId, uint16_t *serialWords);
void IncCardSn(int counterId);

// Ends the open stays that carry the card's number, after asking the operator; when it ends
// any, sets RoomBoardDirty.
bool CloseStayByRom(const uint16_t *serialWords);
// The same for the open stays of one room (door plate) only. Guest card numbers count per
// room, so the same number is carried by stays of other rooms; a guest card revoked at the
// desk ends only its own room's stays.
bool CloseStayByRomInRoom(const uint16_t *serialWords, const QString &roomStr);
// The same question for every open stay of one room, whatever card number it carries: a
// card of serial 0 (an extension card) carries no stay's number.
bool CloseOpenStaysOfRoom(const QString &roomStr);
