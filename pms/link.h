#pragma once
// The link control of the property management system's interface, as plain code: what to
// send when the connection is made, when link records arrive and as time passes, and
// which data records may be processed. The connection itself lives elsewhere.
#include "record.h"

#include <functional>

namespace pms {

class Link
{
public:
    enum class State {
        Down,     // no connection
        Starting, // connected, link start not yet done
        Alive,    // data records are processed
    };

    struct Config
    {
        std::string version = "1";
        // DA and TI of this moment ("yymmdd", "hhmmss").
        std::function<std::pair<std::string, std::string>()> stamp;
        // Empty: no authentication. Otherwise turns the stamp text of the last link record
        // received into the CG value of the link description.
        std::function<std::string(const std::string &stampText)> authenticate;
    };

    // After this long without a record from the other side, the link start is ours.
    static constexpr std::int64_t kStartDelayMs = 3000;

    struct Step
    {
        std::vector<Record> send;
        std::optional<Record> data; // a data record to process
        std::string problem;        // a line for the interface log; empty when none
    };

    explicit Link(Config config);

    State state() const { return m_state; }
    void connected(std::int64_t nowMs);
    void disconnected();
    std::vector<Record> tick(std::int64_t nowMs);
    Step received(const Record &record);

    // The link description, the record descriptions and the link alive that answer a
    // link start.
    std::vector<Record> startAnswer() const;
    // The record types exchanged, with their field ids.
    static const std::vector<std::pair<std::string, std::string>> &recordTypes();

private:
    Record stamped(const char *id) const;

    Config m_config;
    State m_state = State::Down;
    std::int64_t m_connectedMs = 0;
    bool m_heard = false;     // a record came since the connection was made
    bool m_sentStart = false; // our own link start went out
    std::string m_lastStamp;  // "LS|DAyymmdd|TIhhmmss|" of the last link record with a stamp
    std::string m_lastStampId;
};

} // namespace pms
