#pragma once
// Key requests of the property management system, carried out by the operations the
// guest-card forms use: a new key is a check-in, a duplicate a copy, a key delete a
// check-out, a key read reads the guest card on the encoder.
#include "record.h"

#include <QString>

#include <functional>

namespace pms {

class KeyService
{
public:
    struct Config
    {
        bool enabled = true;  // false: every request is answered "DN"
        QString keyCoder;     // this workstation's key coder number
        QString userId;       // issuing operator when a request names none
        int maxKeyDays = 366; // a key's departure may lie at most this many days ahead
    };
    // Longest guest name a stay keeps.
    static constexpr int kGuestNameLength = 50;

    explicit KeyService(Config config) : m_config(std::move(config)) {}
    void setLog(std::function<void(const QString &)> log) { m_log = std::move(log); }

    // The answer to a data record (KR, KD, KZ, KM).
    Record handle(const Record &request);

private:
    Record keyRequest(const Record &request);
    Record keyDelete(const Record &request);
    Record keyRead(const Record &request);
    bool ourKeyCoder(const Record &request) const;
    void log(const QString &line) const;

    Config m_config;
    std::function<void(const QString &)> m_log;
};

// The answer statuses.
inline constexpr const char *kOk = "OK";
inline constexpr const char *kRefused = "NG";
inline constexpr const char *kBusy = "BY";
inline constexpr const char *kUnprocessable = "UR";
inline constexpr const char *kInterfaceOff = "DN";

} // namespace pms
