#pragma once
// Issuing staff and function cards apart from any window: the ten card kinds of the issue
// card form, the checks before a card is written, the card record and the bookkeeping after.
#include "cards/cardrecord.h"

#include <QDateTime>
#include <QString>

#include <span>

// A card-making call of the card library.
using MakeCardCall = int16_t (*)(uint16_t *SerialWords, uint16_t *ReservedA, uint16_t BuildingNo,
                                 uint16_t *FloorBlock, uint16_t *DistrictBlock, uint16_t *RoomAddr,
                                 uint16_t enOverride, uint16_t *CardTypeBlock, uint16_t *ReservedB,
                                 uint16_t *StartTime, uint16_t *EndTime);

// What a kind takes from the page besides times and holder.
enum class StaffCardInput {
    None,
    Group,         // the group number, which must be chosen
    Building,      // the building number, which must be chosen
    BuildingFloor, // a building and then a floor, both to be chosen
    LostKind,      // the kind of card reported lost, 1 to 10
};

struct StaffCardKind
{
    int page;                   // index of the issue card form's page
    const char *handler;        // the name the kind goes by in the form
    MakeCardCall make;          // the card library's call
    int counter;                // serial counter (AllCardSn.CardType)
    uint16_t cardType;          // MakeCardRecord.CardType
    const char *locationColumn; // the location column of its issue record, or nullptr
    StaffCardInput input;
    // The end may lie at most this many seconds after now (0: no limit), with this message.
    int maxSecondsAhead;
    const char *tooLateText;
    // The card starts the moment it is issued, and no time tolerance is added to its end.
    bool startsNow;
};

// The ten kinds, in page order (index = page).
std::span<const StaffCardKind> StaffCardKinds();
const StaffCardKind &StaffCardKindOfPage(int page);

// What the operator chose for one card.
struct StaffCardRequest
{
    QDateTime Start, End;
    QString Holder;
    // The list texts as shown; an empty text is "not chosen".
    QString Building, Floor, Group;
    int LostKind = 1; // 1 to 10
};

// The card's start or end from a date and a time picker, with the card time tolerance.
QDateTime StaffCardMoment(const QDate &date, const QTime &time, int toleranceMinutes);

// The message that refuses the request, or an empty text when it may be issued.
QString StaffCardRefusal(const StaffCardKind &kind, const StaffCardRequest &request,
                         const QDateTime &now);

// The record to write: times, enOverride, the kind's input and the next serial of its
// counter. A list text that is no number raises a ConvertError.
CardRecord StaffCardRecord(const StaffCardKind &kind, const StaffCardRequest &request);

// Hands the record to the kind's card library call and returns its result.
int MakeStaffCard(const StaffCardKind &kind, CardRecord &record);

// After the card call returned 1: the issue record and the counter advance, in one
// transaction (a database error leaves neither and says the card was not recorded).
void RecordIssuedStaffCard(const StaffCardKind &kind, CardRecord &record, const QString &holder);

// Checks, writes and records one card. A refusal comes back as its message with no card
// call made; otherwise the card call's result.
struct StaffCardOutcome
{
    QString Refusal;
    int Result = 0;
};
StaffCardOutcome IssueStaffCard(const StaffCardKind &kind, const StaffCardRequest &request,
                                const QDateTime &now);
