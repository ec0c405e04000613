/*
 * Kestrune card library: the calls a front-desk program makes to write, read and clear key
 * cards on the card encoder, and to read the door openings a lock stored on a data card.
 *
 * Every entry returns a signed 16-bit result:
 *    1  success
 *    0  ReadOneOpenDoorRecord only: no opening left
 *   -1  no card on the encoder
 *   -2  no encoder (port not opened, encoder disconnected or not answering)
 *  -15  the card cannot be used: written under another system code, damaged, or not of the
 *       kind the call needs; also a failure to store a card.
 *
 * All buffers are arrays of 16-bit words owned by the caller. A card record is 63 words
 * (126 bytes) split into eleven fields; the make entries and ReadCard take the fields one by
 * one, in this order, with the word counts given here:
 *
 *   SerialWords 9, ReservedA 5, BuildingNo 1, RoomAddr 7, FloorBlock 9, DistrictBlock 5,
 *   CardTypeBlock 9, enOverride 1, ReservedB 5, StartTime 6, EndTime 6.
 *
 * Note that the argument order of the calls differs from the record layout (FloorBlock and
 * DistrictBlock come before RoomAddr). A time is six words: year, month, day, hour, minute,
 * second. A room address is seven words: room number, building, floor, then four zero words.
 *
 * A null pointer given for an input field counts as a field of zeros; a null pointer given
 * for an output is skipped.
 *
 * This build is the virtual encoder: the encoder and the card lying on it live in a folder,
 * $KESTRUNE_ENCODER_DIR when set, else "Encoder" beside this library file; the command-line
 * tool virtual-encoder connects it and lays cards on it.
 */
#ifndef KESTRUNE_KESTRUNE_H
#define KESTRUNE_KESTRUNE_H

#include <stdint.h>

#if defined(KESTRUNE_BUILDING)
#define KESTRUNE_API __attribute__((visibility("default")))
#else
#define KESTRUNE_API
#endif

#ifdef __cplusplus
extern "C" {
#endif

/* Word counts of the card record fields. */
enum {
    KESTRUNE_SERIAL_WORDS = 9,
    KESTRUNE_RESERVED_A_WORDS = 5,
    KESTRUNE_ROOM_ADDR_WORDS = 7,
    KESTRUNE_FLOOR_WORDS = 9,
    KESTRUNE_DISTRICT_WORDS = 5,
    KESTRUNE_CARD_TYPE_WORDS = 9,
    KESTRUNE_RESERVED_B_WORDS = 5,
    KESTRUNE_TIME_WORDS = 6,
    KESTRUNE_PARAMETER_WORDS = 9,
    KESTRUNE_SYSTEM_CODE_WORDS = 4
};

/* Result codes. */
enum {
    KESTRUNE_OK = 1,
    KESTRUNE_NO_MORE = 0,
    KESTRUNE_NO_CARD = -1,
    KESTRUNE_NO_ENCODER = -2,
    KESTRUNE_BAD_CARD = -15
};

/*
 * The make entries write all eleven fields onto the card lying on the encoder and stamp it
 * with the encoder's system code. Each entry sets word 0 of the card type block on the card
 * to its own card type (the caller's buffer is not changed):
 *   MakeClientCard 1, MakeTimeCard 2, MakeEmergentCard 3, MakeSpecialCard 3,
 *   MakeGuestCard 4, MakeFloorCard 5, MakeCleanDistrictCard 6, MakeBuildingCard 8,
 *   MakeChiefCard 10, MakeLostCard 12, MakeDataCard 14.
 */
#define KESTRUNE_MAKE_ARGS                                                                         \
    uint16_t *SerialWords, uint16_t *ReservedA, uint16_t BuildingNo, uint16_t *FloorBlock,         \
        uint16_t *DistrictBlock, uint16_t *RoomAddr, uint16_t enOverride, uint16_t *CardTypeBlock, \
        uint16_t *ReservedB, uint16_t *StartTime, uint16_t *EndTime

KESTRUNE_API int16_t MakeGuestCard(KESTRUNE_MAKE_ARGS);
KESTRUNE_API int16_t MakeTimeCard(KESTRUNE_MAKE_ARGS);
KESTRUNE_API int16_t MakeSpecialCard(KESTRUNE_MAKE_ARGS);
KESTRUNE_API int16_t MakeDataCard(KESTRUNE_MAKE_ARGS);
KESTRUNE_API int16_t MakeChiefCard(KESTRUNE_MAKE_ARGS);
KESTRUNE_API int16_t MakeClientCard(KESTRUNE_MAKE_ARGS);
KESTRUNE_API int16_t MakeEmergentCard(KESTRUNE_MAKE_ARGS);
KESTRUNE_API int16_t MakeLostCard(KESTRUNE_MAKE_ARGS);
KESTRUNE_API int16_t MakeBuildingCard(KESTRUNE_MAKE_ARGS);
KESTRUNE_API int16_t MakeCleanDistrictCard(KESTRUNE_MAKE_ARGS);
KESTRUNE_API int16_t MakeFloorCard(KESTRUNE_MAKE_ARGS);

#undef KESTRUNE_MAKE_ARGS

/* Reads the card's eleven fields. A blank card reads as 1 with every field 0. */
KESTRUNE_API int16_t ReadCard(uint16_t *SerialWords, uint16_t *ReservedA, uint16_t *BuildingNo,
                              uint16_t *FloorBlock, uint16_t *DistrictBlock, uint16_t *RoomAddr,
                              uint16_t *enOverride, uint16_t *CardTypeBlock, uint16_t *ReservedB,
                              uint16_t *StartTime, uint16_t *EndTime);

/* Blanks the card lying on the encoder, whatever it holds. */
KESTRUNE_API int16_t ClearCardData(uint16_t *SerialWords);

/* Word 0: the encoder kind, or -1 (0xFFFF) when no encoder answers; words 1 to 8: 0. */
KESTRUNE_API int16_t GetParameter(uint16_t *Parameters);

/* Opens serial port Port (1 to 4): 1 when an encoder answers there, else -2. */
KESTRUNE_API int16_t MakeCardOpenPort(int16_t Port);

/* Stores the four-word system code (each word 0 to 255) in the encoder. */
KESTRUNE_API int16_t SystemInitialization(uint16_t *SystemCode);

/* Fills four words with the encoder's system code. */
KESTRUNE_API int16_t ReadSystemPas(uint16_t *SystemCode);

/* 1 when a data card lies on the encoder: fills its nine serial words and starts delivering
 * its stored door openings from the first. */
KESTRUNE_API int16_t ReadDataCard(uint16_t *SerialWords);

/*
 * Delivers the next door opening stored on the data card: the lock's building and floor, the
 * lock's room address (7 words), the opening card's type and the opening time (6 words);
 * words 0 to 3 of DataCardSerial (the buffer given to ReadDataCard) receive the opening card's
 * serial words. Returns 1 for a delivered opening, 0 when none is left. Unused1 and Unused2
 * are not touched.
 */
KESTRUNE_API int16_t ReadOneOpenDoorRecord(uint16_t *Building, uint16_t *Floor, uint16_t *Unused1,
                                           uint16_t *Unused2, uint16_t *RoomAddress,
                                           uint16_t *CardType, uint16_t *OpenTime,
                                           uint16_t *DataCardSerial);

#ifdef __cplusplus
}
#endif

#endif
