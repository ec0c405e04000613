#pragma once
// The operations behind the four guest-card forms (check-in, stay extension, copy, hourly
// stay), apart from any window: the card record for a room, the stay lookup, reading a
// guest card back, and the recording of a card that was written.
#include "cards/cardrecord.h"

#include <QDateTime>
#include <QString>
#include <QTime>
#include <QVariant>

#include <optional>

// The end a check-in proposes: `dayCount` days after `now`, at `leaveTime`.
QDateTime ProposedStayEnd(const QDateTime &now, int dayCount, const QTime &leaveTime);

// A date and a time of day of the pickers, with the card time tolerance added.
QDateTime CardMoment(const QDate &date, const QTime &time, int toleranceMinutes);

// Hourly stays. Lengths are whole minutes of real time between two moments of the pickers,
// seconds dropped as on the card, so an hour across a daylight-saving change is an hour.
// A typed length of an hourly stay in minutes: whole hours, or hours with a "." and at
// most two decimals ("1.5" is 90 minutes, "0.33" 20); nothing for any other text.
std::optional<int> TypedStayMinutes(const QString &typed);
// "3" for whole hours, otherwise at most two decimals with a "." ("2.5", "0.33").
QString StayLengthInHours(const QDateTime &start, const QDateTime &end);

struct GuestStay
{
    QString Room; // door plate
    QDateTime Start, End;
    QString GuestName, GuestID;
};

// Where a guest card's serial number comes from.
enum class GuestSerial {
    Next,    // the room's counter + 1: a new card
    Current, // a twin of the last card written for the room: the serial of its newest
             // guest-card issue record other than an extension's, else the room's counter
    Counter, // the room's counter as it stands (an hourly card; the counter still advances)
    None,    // no serial at all (a stay extension)
};

// The record of a guest card for the stay's room and times.
CardRecord GuestCardRecord(const GuestStay &stay, GuestSerial serial);

// The first open stay of the room with this door plate.
struct OpenStay
{
    QVariant ID;
    QString GuestName, GuestID;
    int CardCounts = 0;
};
std::optional<OpenStay> FindOpenStay(const QString &room);

// What a card read back from the encoder tells about a guest card.
struct GuestCardReading
{
    int Result = 0;          // the card library's result
    bool GuestCard = false;  // false for any other kind of card
    QString Room;            // door plate of the card's lock address; empty when unknown
    QString Holder, Explain; // from the card's issue record; "None" when it has none
    QDateTime Start, End;    // as written on the card
};
GuestCardReading ReadGuestCard();

// After MakeGuestCard returned 1 for a new card: advances the room's counter, writes the
// issue record and opens the stay (or counts one more card on the room's open stay), all
// in one transaction. A database error undoes all three and is raised with a text saying
// that the card was written but not recorded.
void RecordIssuedGuestCard(CardRecord &record, const GuestStay &stay);

// After a further card for a room was written: its issue record only, in the same way.
void RecordCopiedGuestCard(CardRecord &record, const QString &holder, const QString &explain);

// After an extension card was written: the open stay's new departure and the operator who
// moved it, and the card's issue record, together.
void RecordExtendedStay(CardRecord &record, const QVariant &stayId, const QDateTime &end,
                        const QString &holder, const QString &explain);
