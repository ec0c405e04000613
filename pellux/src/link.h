// Link layer shared by the contactless and magnetic command sets: one port per process, the
// 60-byte exchange buffer, the checked command frame and the byte-level waits and reads.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <mutex>
#include <termios.h>

namespace pellux {

enum Result : int16_t {
    kOk = 1,
    kNoByte = -1,
    kWaitFailed = -2,
    kBadVerify = -5,
    kNoPort = -6,
    kBadArgument = -8,
    kBadMode = -9,
    kOpenFailed = -11,
    kIoFailed = -12,
};

// The byte stream to the encoder. The serial port is one implementation; the fuzz target
// supplies another that serves bytes from memory.
class Channel
{
public:
    enum class Wait { Ready, TimedOut, Failed };
    virtual ~Channel() = default;
    // Drops every byte received and not yet read.
    virtual void purgeInput() = 0;
    // Writes all bytes and waits until they have left: 1, or -12 for an error or a short write.
    virtual int write(const uint8_t *data, size_t n) = 0;
    // Waits up to ms for a byte to be readable, without reading it.
    virtual Wait waitReadable(int ms) = 0;
    // Reads one byte, waiting at most ms for it: 1, or -12 (failure or nothing in time).
    virtual int readByte(uint8_t &out, int ms) = 0;
    // The short pause taken after a wait that came back empty.
    virtual void pauseAfterEmptyWait();
};

constexpr size_t kExchangeSize = 60;
constexpr size_t kMaxPayload = kExchangeSize - 3;
constexpr size_t kBulkSize = 2049;

struct Link
{
    std::unique_ptr<Channel> channel;
    int readTimeoutMs = 1000;
    uint8_t exchange[kExchangeSize] = {};
    int replyLen = 0; // LEN of the last frame received
};

// The one link of the process and the lock every export holds while it runs.
Link &link();
std::mutex &linkMutex();

// Installs a channel as if a port had been opened (used by the fuzz target).
void attachChannel(std::unique_ptr<Channel> channel);

struct LineSettings
{
    speed_t baud;
    tcflag_t dataBits; // CS7 or CS8
    bool evenParity;
    bool twoStopBits;
};

int openPort(int16_t port, const LineSettings &settings);
int closePort();
int writeBytes(const uint8_t *data, size_t n);
int sendFrame(size_t n);
int receiveFrame(int16_t seconds);
// Sends the first n exchange bytes, receives the reply and applies the status rule. A reply too
// short to hold the status byte and replyData data bytes is refused with -12.
int exchangeCommand(size_t n, int16_t seconds, size_t replyData);
// The receiving half of exchangeCommand.
int receiveReply(int16_t seconds, size_t replyData);
int receiveBulk(uint8_t *buffer);
int waitForData();
int readByte(uint8_t &out);

} // namespace pellux
