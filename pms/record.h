#pragma once
// Records of the property management system's interface: STX, a two-letter record id, "|",
// then fields of a two-character field id, a value and "|", then ETX. Plain code without Qt,
// so the parser can be fuzzed on its own.
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace pms {

constexpr char kStx = 0x02;
constexpr char kEtx = 0x03;
// Longest record taken, STX and ETX not counted.
constexpr std::size_t kMaxRecordLength = 8 * 1024;
// A record whose ETX has not come this long after its STX is dropped.
constexpr std::int64_t kRecordTimeoutMs = 30 * 1000;

struct Record
{
    std::string id; // two letters, e.g. "KR"
    std::vector<std::pair<std::string, std::string>> fields;

    // The value of the first field with this id.
    std::optional<std::string> field(std::string_view fieldId) const;
    // The value, or empty text when the field is missing.
    std::string value(std::string_view fieldId) const;
    Record &add(std::string fieldId, std::string value);
};

// True for a byte that may stand between STX and ETX.
inline bool AllowedByte(unsigned char c)
{
    return c >= 0x1C && c != 0x7F;
}

// The bytes of a record, STX and ETX included. Bytes a value may not carry (control bytes
// and the separator "|") become blanks, so no value can split or end the record.
std::string Encode(const Record &record);

// The record between STX and ETX; nullopt when it is not one (no two-letter id and "|").
// Fields without a two-character id are skipped; a last field without "|" is taken.
std::optional<Record> ParseBody(std::string_view body);

// Collects records from a byte stream that arrives in pieces of any size.
class Reader
{
public:
    struct Output
    {
        std::vector<Record> records;
        std::vector<std::string> problems; // one line for each thing skipped or dropped
    };

    // Takes bytes received at `nowMs` (any steady clock in milliseconds).
    Output feed(std::string_view bytes, std::int64_t nowMs);
    // Drops a record that has been waiting for its ETX too long.
    Output tick(std::int64_t nowMs);
    // Forgets a partial record (the connection was closed).
    void reset();
    bool inRecord() const { return m_inRecord; }

private:
    void dropPartial(Output &out, const std::string &why);

    bool m_inRecord = false;
    bool m_skipping = false; // a record was dropped; bytes up to the next STX are its rest
    std::size_t m_garbage = 0;
    std::string m_body;
    std::int64_t m_startedMs = 0;
};

} // namespace pms
