#pragma once
// The record every card call takes: 63 little-endian 16-bit words, no gaps.
#include <cstddef>
#include <cstdint>

struct CardRecord
{
    uint16_t SerialWords[9]; // words 0,1: serial number; words 0..3: the card number
    uint16_t ReservedA[5];
    uint16_t BuildingNo;
    uint16_t RoomAddr[7];      // a RoomAddress
    uint16_t FloorBlock[9];    // word 0: floor number
    uint16_t DistrictBlock[5]; // word 0: district number
    uint16_t CardTypeBlock[9]; // word 0: card type; word 1: lost-card kind
    uint16_t enOverride;       // 1 on every card; 0 marks a card issued with "Report loss"
    uint16_t ReservedB[5];
    uint16_t StartTime[6]; // a CardTime
    uint16_t EndTime[6];   // a CardTime
};

static_assert(sizeof(CardRecord) == 126);
static_assert(offsetof(CardRecord, SerialWords) == 0);
static_assert(offsetof(CardRecord, ReservedA) == 18);
static_assert(offsetof(CardRecord, BuildingNo) == 28);
static_assert(offsetof(CardRecord, RoomAddr) == 30);
static_assert(offsetof(CardRecord, FloorBlock) == 44);
static_assert(offsetof(CardRecord, DistrictBlock) == 62);
static_assert(offsetof(CardRecord, CardTypeBlock) == 72);
static_assert(offsetof(CardRecord, enOverride) == 90);
static_assert(offsetof(CardRecord, ReservedB) == 92);
static_assert(offsetof(CardRecord, StartTime) == 102);
static_assert(offsetof(CardRecord, EndTime) == 114);

// Six words: year, month, day, hour, minute, second (always 0).
using CardTime = uint16_t[6];
// Seven words: room number, building, floor, then four zero words.
using RoomAddress = uint16_t[7];

// Card type ids written into the issue records.
enum CardKind : uint16_t {
    kDataClearCard = 1,
    kTimeCard = 2,
    kEmergencyCard = 3,
    kGuestCard = 4,
    kFloorCard = 5,
    kGroupCard = 6,
    kBuildingCard = 8,
    kMasterCard = 10,
    kLossReportCard = 12,
    kDataStartupCard = 14,
};
