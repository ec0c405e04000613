// The card library's C entries, working on the virtual encoder's folder.
//
// Which port this process opened is the only state kept in memory, besides the data card
// being read; everything about the encoder and its card is read fresh from the folder on every
// call, under the folder lock, so another process (the virtual-encoder tool) may change it
// between calls. The data card is read once by ReadDataCard: the openings delivered after it
// come from memory as long as the card file and the encoder's state file are the ones read.
#include "kestrune/kestrune.h"

#include "encoder_store.h"

#include <algorithm>
#include <atomic>
#include <cstdlib>
#include <dlfcn.h>
#include <mutex>

using namespace kestrune;

namespace {

std::atomic<int> g_openPort{0}; // 0: no port opened

// The data card being read: the card as ReadDataCard found it, the files it came from, and
// the next opening to deliver. Inactive before a successful ReadDataCard and once the card has
// been taken off or changed.
struct DataCardRead
{
    bool active = false;
    Card card;
    FileIdentity cardFile;
    EncoderState state;
    FileIdentity stateFile;
    size_t next = 0;
};
std::mutex g_readMutex;
DataCardRead g_read;

std::string encoderDir()
{
    const char *env = std::getenv("KESTRUNE_ENCODER_DIR");
    if (env && *env)
        return env;
    Dl_info info{};
    if (::dladdr(reinterpret_cast<void *>(&encoderDir), &info) == 0 || !info.dli_fname)
        return {};
    std::string lib = info.dli_fname;
    size_t slash = lib.rfind('/');
    std::string folder = slash == std::string::npos ? "." : lib.substr(0, slash);
    return (folder.empty() ? std::string("/") : folder + "/") + "Encoder";
}

// Runs fn(dir, port) under the folder lock when this process has opened a port; -2 otherwise.
template <class Fn> int16_t withFolder(Fn fn)
{
    try {
        int port = g_openPort.load();
        if (port == 0)
            return KESTRUNE_NO_ENCODER;
        std::string dir = encoderDir();
        FolderLock lock(dir);
        if (!lock.ok())
            return KESTRUNE_NO_ENCODER;
        return fn(dir, port);
    } catch (...) {
        return KESTRUNE_BAD_CARD;
    }
}

// Like withFolder, without the folder's lock: for a call that only compares the files'
// identities with what an earlier call read under the lock (and reads a file again only as a
// whole). Files are replaced by renames, so a change shows in the identity and no file is
// ever seen half written.
template <class Fn> int16_t withFolderUnlocked(Fn fn)
{
    try {
        int port = g_openPort.load();
        if (port == 0)
            return KESTRUNE_NO_ENCODER;
        return fn(encoderDir(), port);
    } catch (...) {
        return KESTRUNE_BAD_CARD;
    }
}

// The encoder is connected on the port this process opened.
bool connectedOn(const Loaded<EncoderState> &state, int port)
{
    return state.status == Load::Ok && state.value.connected && state.value.port == port;
}

// Runs fn(dir, state) when this process has opened the port on which the encoder is connected;
// -2 otherwise. A missing or damaged state folder is no encoder.
template <class Fn> int16_t withEncoder(Fn fn)
{
    return withFolder([&](const std::string &dir, int port) -> int16_t {
        Loaded<EncoderState> state = loadState(dir);
        if (!connectedOn(state, port))
            return KESTRUNE_NO_ENCODER;
        return fn(dir, state.value);
    });
}

// Like withEncoder, and also needs a card on the encoder: -1 without one.
template <class Fn> int16_t withCard(Fn fn)
{
    return withEncoder([&](const std::string &dir, const EncoderState &state) -> int16_t {
        Loaded<Card> card = loadCard(dir);
        if (card.status == Load::Missing)
            return KESTRUNE_NO_CARD;
        return fn(dir, state, card);
    });
}

// A card that this encoder can read: intact and either blank or written under its code.
bool readable(const Loaded<Card> &card, const EncoderState &state)
{
    return card.status == Load::Ok && (card.value.blank || card.value.code == state.code);
}

void copyIn(CardWords &words, int at, int len, const uint16_t *src)
{
    for (int i = 0; i < len; ++i)
        words[at + i] = src ? src[i] : 0;
}

void copyOut(const CardWords &words, int at, int len, uint16_t *dst)
{
    if (dst)
        std::copy_n(words.begin() + at, len, dst);
}

int16_t makeCard(uint16_t cardType, uint16_t *serial, uint16_t *reservedA, uint16_t building,
                 uint16_t *floor, uint16_t *district, uint16_t *roomAddr, uint16_t enOverride,
                 uint16_t *cardTypeBlock, uint16_t *reservedB, uint16_t *start, uint16_t *end)
{
    return withCard(
        [&](const std::string &dir, const EncoderState &state, const Loaded<Card> &) -> int16_t {
            Card card;
            card.blank = false;
            card.code = state.code;
            CardWords &w = card.words;
            copyIn(w, kSerialAt, kSerialLen, serial);
            copyIn(w, kReservedAAt, kReservedALen, reservedA);
            w[kBuildingAt] = building;
            copyIn(w, kRoomAddrAt, kRoomAddrLen, roomAddr);
            copyIn(w, kFloorAt, kFloorLen, floor);
            copyIn(w, kDistrictAt, kDistrictLen, district);
            copyIn(w, kCardTypeAt, kCardTypeLen, cardTypeBlock);
            w[kCardTypeAt] = cardType;
            w[kEnOverrideAt] = enOverride;
            copyIn(w, kReservedBAt, kReservedBLen, reservedB);
            copyIn(w, kStartAt, kTimeLen, start);
            copyIn(w, kEndAt, kTimeLen, end);
            return saveCard(dir, card) ? KESTRUNE_OK : KESTRUNE_BAD_CARD;
        });
}

} // namespace

#define KESTRUNE_MAKE_ENTRY(name, type)                                                            \
    extern "C" int16_t name(uint16_t *SerialWords, uint16_t *ReservedA, uint16_t BuildingNo,       \
                            uint16_t *FloorBlock, uint16_t *DistrictBlock, uint16_t *RoomAddr,     \
                            uint16_t enOverride, uint16_t *CardTypeBlock, uint16_t *ReservedB,     \
                            uint16_t *StartTime, uint16_t *EndTime)                                \
    {                                                                                              \
        return makeCard(type, SerialWords, ReservedA, BuildingNo, FloorBlock, DistrictBlock,       \
                        RoomAddr, enOverride, CardTypeBlock, ReservedB, StartTime, EndTime);       \
    }

KESTRUNE_MAKE_ENTRY(MakeClientCard, 1)
KESTRUNE_MAKE_ENTRY(MakeTimeCard, 2)
KESTRUNE_MAKE_ENTRY(MakeEmergentCard, 3)
KESTRUNE_MAKE_ENTRY(MakeSpecialCard, 3)
KESTRUNE_MAKE_ENTRY(MakeGuestCard, 4)
KESTRUNE_MAKE_ENTRY(MakeFloorCard, 5)
KESTRUNE_MAKE_ENTRY(MakeCleanDistrictCard, 6)
KESTRUNE_MAKE_ENTRY(MakeBuildingCard, 8)
KESTRUNE_MAKE_ENTRY(MakeChiefCard, 10)
KESTRUNE_MAKE_ENTRY(MakeLostCard, 12)
KESTRUNE_MAKE_ENTRY(MakeDataCard, kDataCardType)

extern "C" int16_t ReadCard(uint16_t *SerialWords, uint16_t *ReservedA, uint16_t *BuildingNo,
                            uint16_t *FloorBlock, uint16_t *DistrictBlock, uint16_t *RoomAddr,
                            uint16_t *enOverride, uint16_t *CardTypeBlock, uint16_t *ReservedB,
                            uint16_t *StartTime, uint16_t *EndTime)
{
    return withCard(
        [&](const std::string &, const EncoderState &state, const Loaded<Card> &card) -> int16_t {
            if (!readable(card, state))
                return KESTRUNE_BAD_CARD;
            const CardWords &w = card.value.words; // all zero on a blank card
            copyOut(w, kSerialAt, kSerialLen, SerialWords);
            copyOut(w, kReservedAAt, kReservedALen, ReservedA);
            copyOut(w, kBuildingAt, 1, BuildingNo);
            copyOut(w, kRoomAddrAt, kRoomAddrLen, RoomAddr);
            copyOut(w, kFloorAt, kFloorLen, FloorBlock);
            copyOut(w, kDistrictAt, kDistrictLen, DistrictBlock);
            copyOut(w, kCardTypeAt, kCardTypeLen, CardTypeBlock);
            copyOut(w, kEnOverrideAt, 1, enOverride);
            copyOut(w, kReservedBAt, kReservedBLen, ReservedB);
            copyOut(w, kStartAt, kTimeLen, StartTime);
            copyOut(w, kEndAt, kTimeLen, EndTime);
            return KESTRUNE_OK;
        });
}

extern "C" int16_t ClearCardData(uint16_t *)
{
    // Clearing also recovers a damaged card or one of another system: the card is blanked
    // whatever it holds.
    return withCard(
        [](const std::string &dir, const EncoderState &, const Loaded<Card> &) -> int16_t {
            return saveCard(dir, Card{}) ? KESTRUNE_OK : KESTRUNE_BAD_CARD;
        });
}

extern "C" int16_t GetParameter(uint16_t *Parameters)
{
    int16_t kind = -1;
    int16_t rc = withEncoder([&](const std::string &, const EncoderState &state) -> int16_t {
        kind = state.kind;
        return KESTRUNE_OK;
    });
    if (rc != KESTRUNE_OK)
        kind = -1;
    if (Parameters) {
        std::fill_n(Parameters, KESTRUNE_PARAMETER_WORDS, 0);
        Parameters[0] = static_cast<uint16_t>(kind);
    }
    return rc;
}

extern "C" int16_t MakeCardOpenPort(int16_t Port)
{
    // A failed open closes whatever port was open before, as a real port open would.
    g_openPort = 0;
    if (Port < 1 || Port > 4)
        return KESTRUNE_NO_ENCODER;
    g_openPort = Port;
    int16_t rc = withEncoder(
        [](const std::string &, const EncoderState &) -> int16_t { return KESTRUNE_OK; });
    if (rc != KESTRUNE_OK)
        g_openPort = 0;
    return rc == KESTRUNE_OK ? KESTRUNE_OK : KESTRUNE_NO_ENCODER;
}

extern "C" int16_t SystemInitialization(uint16_t *SystemCode)
{
    return withEncoder([&](const std::string &dir, const EncoderState &state) -> int16_t {
        if (!SystemCode)
            return KESTRUNE_BAD_CARD;
        // The encoder keeps one byte per word; refuse what it could not keep instead of
        // storing a truncated code that would not match the hotel's.
        for (int i = 0; i < KESTRUNE_SYSTEM_CODE_WORDS; ++i)
            if (SystemCode[i] > 0xFF)
                return KESTRUNE_BAD_CARD;
        EncoderState next = state;
        std::copy_n(SystemCode, KESTRUNE_SYSTEM_CODE_WORDS, next.code.begin());
        return saveState(dir, next) ? KESTRUNE_OK : KESTRUNE_BAD_CARD;
    });
}

extern "C" int16_t ReadSystemPas(uint16_t *SystemCode)
{
    return withEncoder([&](const std::string &, const EncoderState &state) -> int16_t {
        if (SystemCode)
            std::copy(state.code.begin(), state.code.end(), SystemCode);
        return KESTRUNE_OK;
    });
}

extern "C" int16_t ReadDataCard(uint16_t *SerialWords)
{
    std::lock_guard<std::mutex> guard(g_readMutex);
    g_read = DataCardRead();
    return withCard([&](const std::string &dir, const EncoderState &state,
                        const Loaded<Card> &card) -> int16_t {
        if (!readable(card, state) || !card.value.isDataCard())
            return KESTRUNE_BAD_CARD;
        // Under the folder lock nothing replaces the files between their reading and this.
        const Loaded<FileIdentity> cardFile = fileIdentity(dir, kCardFile);
        const Loaded<FileIdentity> stateFile = fileIdentity(dir, kStateFile);
        if (cardFile.status != Load::Ok || stateFile.status != Load::Ok)
            return KESTRUNE_BAD_CARD;
        copyOut(card.value.words, kSerialAt, kSerialLen, SerialWords);
        g_read.card = card.value;
        g_read.cardFile = cardFile.value;
        g_read.state = state;
        g_read.stateFile = stateFile.value;
        g_read.active = true;
        return KESTRUNE_OK;
    });
}

extern "C" int16_t ReadOneOpenDoorRecord(uint16_t *Building, uint16_t *Floor, uint16_t *,
                                         uint16_t *, uint16_t *RoomAddress, uint16_t *CardType,
                                         uint16_t *OpenTime, uint16_t *DataCardSerial)
{
    std::lock_guard<std::mutex> guard(g_readMutex);
    return withFolderUnlocked([&](const std::string &dir, int port) -> int16_t {
        DataCardRead &current = g_read;
        // The encoder: its state file as read before, or read again (another process may have
        // rewritten it, connected as it was or not).
        const Loaded<FileIdentity> stateFile = fileIdentity(dir, kStateFile);
        if (!current.active || stateFile.status != Load::Ok ||
            !(stateFile.value == current.stateFile) || current.state.port != port) {
            const Loaded<EncoderState> state = loadState(dir);
            if (!connectedOn(state, port))
                return KESTRUNE_NO_ENCODER;
            current.state = state.value;
            current.stateFile = stateFile.value;
        }
        // The card: the very file ReadDataCard read, or the read is over. A card taken off
        // and laid again, or another card, fails every later call until the next
        // ReadDataCard.
        const Loaded<FileIdentity> cardFile = fileIdentity(dir, kCardFile);
        if (cardFile.status == Load::Missing) {
            current.active = false;
            return KESTRUNE_NO_CARD;
        }
        if (!current.active || cardFile.status != Load::Ok ||
            !(cardFile.value == current.cardFile) || current.card.code != current.state.code) {
            current.active = false;
            return KESTRUNE_BAD_CARD;
        }
        if (current.next >= current.card.openings.size())
            return KESTRUNE_NO_MORE;
        const Opening &o = current.card.openings[current.next++];
        const CardWords &w = current.card.words;
        if (Building)
            *Building = w[kBuildingAt];
        if (Floor)
            *Floor = w[kFloorAt];
        if (RoomAddress) {
            std::fill_n(RoomAddress, KESTRUNE_ROOM_ADDR_WORDS, 0);
            RoomAddress[0] = w[kRoomAddrAt];
            RoomAddress[1] = w[kBuildingAt];
            RoomAddress[2] = w[kFloorAt];
        }
        if (CardType)
            *CardType = o.cardType;
        if (OpenTime) {
            std::copy(o.time.begin(), o.time.end(), OpenTime);
            OpenTime[5] = 0;
        }
        if (DataCardSerial)
            std::copy(o.serial.begin(), o.serial.end(), DataCardSerial);
        return KESTRUNE_OK;
    });
}
