#pragma once
// Reading and revoking the card on the encoder apart from any window: what a card carries,
// in the texts the read card form shows, and the steps of a revoke.
#include "cards/cardrecord.h"

#include <QDateTime>
#include <QString>

// Reads the card on the encoder into a zero-filled record; the card library's result.
int ReadCardRecord(CardRecord &record);

// A card whose type word lies outside 1..15 is blank.
bool IsBlankCard(const CardRecord &record);

// The card number under which the card's issue record is kept: for a guest card the room's
// SystemRoomStr and serial words 3..0, for any other card its type and serial words 2..0.
// A guest card's building and floor are first copied into its lock address.
QString CardLookupRom(CardRecord &record);

// What the read card form shows of a card that is not blank.
struct CardDescription
{
    bool Guest = false;
    QString TypeTitle, Start, End;
    QString Holder;                    // "None" without an issue record
    QString GuestID;                   // guest cards
    QString Room;                      // guest cards: door plate
    QString District, Building, Floor; // other cards: only 1..99, else empty
};
CardDescription DescribeCard(const CardRecord &record);

// The text a card time is shown in.
QString CardTimeText(const QDateTime &value);

// Revoking a card that was read: a guest card offers to end the open stays of its own room
// that carry its number (a card of serial 0, an extension card, every open stay of its
// room); any other card offers none. Then the card is cleared; returns the
// card library's result.
int RevokeCard(const CardRecord &record);
