#pragma once
// Issuing guest cards and opening stays: the steps of check-in and of its further copies,
// apart from any window.
#include "cards/cardrecord.h"

#include <QDateTime>
#include <QString>
#include <QTime>

// The end a check-in proposes: `dayCount` days after `now`, at `leaveTime`.
QDateTime ProposedStayEnd(const QDateTime &now, int dayCount, const QTime &leaveTime);

// A date and a time of day of the pickers, with the card time tolerance added.
QDateTime CardMoment(const QDate &date, const QTime &time, int toleranceMinutes);

struct GuestStay
{
    QString Room; // door plate
    QDateTime Start, End;
    QString GuestName, GuestID;
};

// The record of a guest card for the stay's room and times. `increment` is added to the
// room's card counter for the serial (1 for a new card, 0 for a copy of the last one).
CardRecord GuestCardRecord(const GuestStay &stay, uint16_t increment);

// After MakeGuestCard returned 1: advances the room's counter, writes the issue record and
// opens the stay (or counts one more card on the room's open stay), all in one
// transaction. A database error undoes all three and is raised with a text saying that the
// card was written but not recorded.
void RecordIssuedGuestCard(CardRecord &record, const GuestStay &stay);

// After a copy was written: the issue record only.
void RecordCopiedGuestCard(CardRecord &record, const GuestStay &stay);
