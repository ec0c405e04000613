// The virtual encoder's folder: the encoder state and the card lying on the encoder, each kept
// in its own checksummed text file. Every access happens under an exclusive lock on the
// folder's lock file, and every write replaces the file atomically (temporary file + rename),
// so the card library in the front-desk program and the virtual-encoder tool can work on the
// same folder at the same time.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace kestrune {

// Word offsets of the fields in the 63-word card record.
inline constexpr int kSerialAt = 0, kSerialLen = 9;
inline constexpr int kReservedAAt = 9, kReservedALen = 5;
inline constexpr int kBuildingAt = 14;
inline constexpr int kRoomAddrAt = 15, kRoomAddrLen = 7;
inline constexpr int kFloorAt = 22, kFloorLen = 9;
inline constexpr int kDistrictAt = 31, kDistrictLen = 5;
inline constexpr int kCardTypeAt = 36, kCardTypeLen = 9;
inline constexpr int kEnOverrideAt = 45;
inline constexpr int kReservedBAt = 46, kReservedBLen = 5;
inline constexpr int kStartAt = 51, kTimeLen = 6;
inline constexpr int kEndAt = 57;
inline constexpr int kCardWords = 63;
static_assert(kEndAt + kTimeLen == kCardWords);

inline constexpr uint16_t kDataCardType = 14;

using SystemCode = std::array<uint16_t, 4>;
using CardWords = std::array<uint16_t, kCardWords>;

struct EncoderState
{
    bool connected = false;
    int port = 1;
    int16_t kind = 3;
    SystemCode code{};
};

// One door opening stored on a data card. Values are kept exactly as the lock gave them,
// even when they do not form a valid date.
struct Opening
{
    uint16_t cardType = 0;
    std::array<uint16_t, 4> serial{};
    std::array<uint16_t, 5> time{}; // year, month, day, hour, minute
};

struct Card
{
    bool blank = true;
    uint64_t id = 0;   // changes whenever the card is written or laid on the encoder
    SystemCode code{}; // the system code the card was written under (0 when blank)
    CardWords words{};
    std::vector<Opening> openings;

    uint16_t cardType() const { return blank ? 0 : words[kCardTypeAt]; }
    bool isDataCard() const { return !blank && words[kCardTypeAt] == kDataCardType; }
};

enum class Load { Missing, Damaged, Ok };

template <class T> struct Loaded
{
    Load status = Load::Missing;
    T value{};
};

// Exclusive lock on DIR/.lock, held for the object's lifetime. ok() is false when the folder
// is missing or the lock cannot be taken.
class FolderLock
{
public:
    explicit FolderLock(const std::string &dir);
    ~FolderLock();
    FolderLock(const FolderLock &) = delete;
    FolderLock &operator=(const FolderLock &) = delete;
    bool ok() const { return fd_ >= 0; }

private:
    int fd_ = -1;
};

// What tells one version of a file from another without reading it. Every write replaces
// the file by a new one (another inode while both exist); an edit in place changes its size or
// its times.
struct FileIdentity
{
    uint64_t device = 0, inode = 0;
    int64_t size = 0, modifiedNs = 0, changedNs = 0;
    bool operator==(const FileIdentity &) const = default;
};

// The identity of the file `name` in the folder: Missing when there is none, Damaged when it
// is no regular file.
Loaded<FileIdentity> fileIdentity(const std::string &dir, const char *name);

Loaded<EncoderState> loadState(const std::string &dir);
bool saveState(const std::string &dir, const EncoderState &state);

Loaded<Card> loadCard(const std::string &dir);
bool saveCard(const std::string &dir, Card card); // gives the card a fresh id
bool removeCard(const std::string &dir);

std::string serializeState(const EncoderState &state);
std::optional<EncoderState> parseState(const std::string &text);
std::string serializeCard(const Card &card);
std::optional<Card> parseCard(const std::string &text);

uint32_t crc32(const std::string &data);
uint64_t randomId();
SystemCode randomSystemCode();
std::string codeToHex(const SystemCode &code);
std::optional<SystemCode> codeFromHex(const std::string &hex);

bool makeDirectories(const std::string &dir);

inline constexpr const char *kStateFile = "encoder.state";
inline constexpr const char *kCardFile = "card.dat";
inline constexpr const char *kLockFile = ".lock";

} // namespace kestrune
