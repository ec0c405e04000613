#include "link.h"
#include "pellux.h"

#include <cerrno>
#include <chrono>
#include <cstdlib>
#include <fcntl.h>
#include <poll.h>
#include <string>
#include <sys/file.h>
#include <sys/ioctl.h>
#include <thread>
#include <unistd.h>

namespace pellux {

namespace {

constexpr uint8_t kFrameStart = 0x53;
constexpr int kFirstByteWaitMs = 1000;
constexpr int kDataWaitMs = 3000;
constexpr int kBulkByteTimeoutMs = 30000;
constexpr int kMaxHuntSkip = 4096;

using Clock = std::chrono::steady_clock;

int remainingMs(Clock::time_point deadline)
{
    auto left = std::chrono::ceil<std::chrono::milliseconds>(deadline - Clock::now()).count();
    return left > 0 ? static_cast<int>(left) : 0;
}

// A serial device opened exclusively. Reads are served from a small buffer filled with whatever
// the kernel holds, so a long answer costs a few system calls instead of two per byte; a purge
// empties that buffer together with the kernel's input queue, so nothing read ahead survives it.
class TtyChannel final : public Channel
{
public:
    explicit TtyChannel(int fd) : fd_(fd) {}
    ~TtyChannel() override
    {
        ioctl(fd_, TIOCNXCL);
        ::close(fd_); // also releases the advisory lock
    }

    void purgeInput() override
    {
        tcflush(fd_, TCIFLUSH);
        head_ = tail_ = 0;
    }

    // The descriptor is non-blocking. Every write is drained before the next one starts, so the
    // kernel's output queue is empty and a frame (70 bytes at most) goes out whole; a write that
    // cannot is a stalled line, reported as -12 instead of hanging the caller.
    int write(const uint8_t *data, size_t n) override
    {
        ssize_t written;
        do {
            written = ::write(fd_, data, n);
        } while (written < 0 && errno == EINTR);
        if (written < 0 || static_cast<size_t>(written) != n)
            return kIoFailed;
        while (tcdrain(fd_) != 0) {
            if (errno != EINTR)
                return kIoFailed;
        }
        return kOk;
    }

    Wait waitReadable(int ms) override
    {
        if (head_ < tail_)
            return Wait::Ready;
        return pollUntil(Clock::now() + std::chrono::milliseconds(ms));
    }

    int readByte(uint8_t &out, int ms) override
    {
        if (head_ == tail_ && fill(ms) != kOk)
            return kIoFailed;
        out = buffer_[head_++];
        return kOk;
    }

private:
    // Waits until the line has a byte or the deadline passes; `revents` receives what poll saw.
    Wait pollUntil(Clock::time_point deadline, short *revents = nullptr)
    {
        for (;;) {
            pollfd p{fd_, POLLIN, 0};
            int r = ::poll(&p, 1, remainingMs(deadline));
            if (r < 0 && errno == EINTR)
                continue;
            if (r < 0)
                return Wait::Failed;
            if (r == 0)
                return Wait::TimedOut;
            if (revents)
                *revents = p.revents;
            return (p.revents & POLLIN) ? Wait::Ready : Wait::Failed; // hang-up or line error
        }
    }

    int fill(int ms)
    {
        auto deadline = Clock::now() + std::chrono::milliseconds(ms);
        for (;;) {
            short revents = 0;
            if (pollUntil(deadline, &revents) != Wait::Ready)
                return kIoFailed; // error, hang-up, or no byte within the time-out
            ssize_t got = ::read(fd_, buffer_, sizeof buffer_);
            if (got > 0) {
                head_ = 0;
                tail_ = static_cast<size_t>(got);
                return kOk;
            }
            if (got < 0 && (errno == EINTR || errno == EAGAIN))
                continue;
            if (got == 0 && !(revents & POLLHUP) && remainingMs(deadline) > 0)
                continue;
            return kIoFailed;
        }
    }

    int fd_;
    uint8_t buffer_[4096];
    size_t head_ = 0;
    size_t tail_ = 0;
};

std::string devicePath(int portNumber)
{
    std::string name = "PELLUX_COM" + std::to_string(portNumber);
    const char *value = std::getenv(name.c_str());
    if (value && *value)
        return value;
    return "/dev/ttyS" + std::to_string(portNumber - 1);
}

// Whether the line now runs with the settings asked for. A device may accept a change and
// keep only part of it (tcsetattr succeeds when any part was taken).
bool lineTook(int fd, const LineSettings &line)
{
    termios now{};
    if (tcgetattr(fd, &now) != 0)
        return false;
    return cfgetispeed(&now) == line.baud && cfgetospeed(&now) == line.baud &&
           (now.c_cflag & CSIZE) == line.dataBits &&
           ((now.c_cflag & PARENB) != 0) == line.evenParity && ((now.c_cflag & PARODD) == 0) &&
           ((now.c_cflag & CSTOPB) != 0) == line.twoStopBits;
}

// Opens the device for exclusive use and sets the line up: raw bytes, no flow control, no
// modem control, reads that return at once (the waits are done with poll). The advisory lock
// comes first: a device that another holder has locked is left exactly as it was, its
// exclusive mode included.
int openDevice(const std::string &path, const LineSettings &line)
{
    int fd = ::open(path.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0)
        return -1;
    if (flock(fd, LOCK_EX | LOCK_NB) != 0) {
        ::close(fd);
        return -1;
    }
    const bool exclusive = ioctl(fd, TIOCEXCL) == 0;
    termios tio{};
    bool ok = exclusive && tcgetattr(fd, &tio) == 0;
    if (ok) {
        tio.c_iflag &= ~(IGNBRK | BRKINT | PARMRK | ISTRIP | INLCR | IGNCR | ICRNL | IXON | IXOFF |
                         IXANY | INPCK);
        tio.c_oflag &= ~OPOST;
        tio.c_lflag &= ~(ECHO | ECHONL | ICANON | ISIG | IEXTEN);
        tio.c_cflag &= ~(CSIZE | PARENB | PARODD | CSTOPB | CRTSCTS);
        tio.c_cflag |= line.dataBits | CREAD | CLOCAL;
        if (line.evenParity)
            tio.c_cflag |= PARENB;
        if (line.twoStopBits)
            tio.c_cflag |= CSTOPB;
        tio.c_cc[VMIN] = 0;
        tio.c_cc[VTIME] = 0;
        ok = cfsetispeed(&tio, line.baud) == 0 && cfsetospeed(&tio, line.baud) == 0 &&
             tcsetattr(fd, TCSANOW, &tio) == 0 && lineTook(fd, line);
    }
    if (!ok) {
        if (exclusive) // only the mode this open set
            ioctl(fd, TIOCNXCL);
        ::close(fd); // also releases the advisory lock
        return -1;
    }
    return fd;
}

// Waits for the first byte after a purge; ms bounds the wait.
Channel::Wait purgeAndWait(Link &l, int ms)
{
    l.channel->purgeInput();
    return l.channel->waitReadable(ms);
}

} // namespace

void Channel::pauseAfterEmptyWait()
{
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
}

Link &link()
{
    static Link instance;
    return instance;
}

std::mutex &linkMutex()
{
    static std::mutex m;
    return m;
}

void attachChannel(std::unique_ptr<Channel> channel)
{
    Link &l = link();
    l.channel = std::move(channel);
    l.readTimeoutMs = kFirstByteWaitMs;
}

int openPort(int16_t port, const LineSettings &settings)
{
    auto k = static_cast<int16_t>(port - 1);
    if (k < 0 || k > 3)
        return kBadArgument;
    closePort();
    int fd = openDevice(devicePath(k + 1), settings);
    if (fd < 0)
        return kOpenFailed;
    attachChannel(std::make_unique<TtyChannel>(fd));
    return kOk;
}

int closePort()
{
    link().channel.reset();
    return kOk;
}

int writeBytes(const uint8_t *data, size_t n)
{
    Link &l = link();
    if (!l.channel)
        return kNoPort;
    l.channel->purgeInput();
    return l.channel->write(data, n);
}

int sendFrame(size_t n)
{
    Link &l = link();
    if (n > kMaxPayload)
        return kBadArgument;
    uint8_t frame[kExchangeSize];
    frame[0] = kFrameStart;
    frame[1] = static_cast<uint8_t>(n);
    uint8_t sum = 0;
    for (size_t i = 0; i < n; ++i) {
        frame[2 + i] = l.exchange[i];
        sum = static_cast<uint8_t>(sum + l.exchange[i]);
    }
    frame[2 + n] = sum;
    return writeBytes(frame, n + 3);
}

int receiveFrame(int16_t seconds)
{
    Link &l = link();
    if (!l.channel)
        return kNoPort;
    l.readTimeoutMs = seconds > 0 ? seconds * 1000 : 0;
    if (purgeAndWait(l, kFirstByteWaitMs) != Channel::Wait::Ready) {
        l.channel->pauseAfterEmptyWait();
        return kWaitFailed;
    }
    uint8_t byte = 0;
    for (int skipped = 0;; ++skipped) {
        if (skipped > kMaxHuntSkip || readByte(byte) != kOk)
            return kIoFailed;
        if (byte == kFrameStart)
            break;
    }
    uint8_t len = 0;
    if (readByte(len) != kOk)
        return kIoFailed;
    if (len + 1u > kExchangeSize) {
        // No room for it: read the rest of the frame so it does not linger, then refuse it.
        for (unsigned i = 0; i <= len; ++i) {
            if (readByte(byte) != kOk)
                break;
        }
        return kIoFailed;
    }
    uint8_t sum = 0;
    for (unsigned i = 0; i <= len; ++i) {
        if (readByte(l.exchange[i]) != kOk)
            return kIoFailed;
        if (i < len)
            sum = static_cast<uint8_t>(sum + l.exchange[i]);
    }
    l.replyLen = len;
    return sum == l.exchange[len] ? kOk : kIoFailed;
}

int receiveReply(int16_t seconds, size_t replyData)
{
    Link &l = link();
    l.replyLen = 0;
    int r = receiveFrame(seconds);
    if (r != kOk)
        return r;
    // With LEN 0 the checksum byte (0) stands where the status would be, so the result is 0:
    // not a success of any command that succeeds with 1 (Command57 refuses it itself).
    uint8_t status = l.exchange[0];
    if (status != 1)
        return -(status & 0x7F);
    if (static_cast<size_t>(l.replyLen) < 1 + replyData)
        return kIoFailed; // the reply data the command needs are missing
    return kOk;
}

int exchangeCommand(size_t n, int16_t seconds, size_t replyData)
{
    int r = sendFrame(n);
    if (r != kOk)
        return r;
    return receiveReply(seconds, replyData);
}

int receiveBulk(uint8_t *buffer)
{
    Link &l = link();
    if (!l.channel)
        return kNoPort;
    l.readTimeoutMs = kFirstByteWaitMs;
    if (purgeAndWait(l, kFirstByteWaitMs) != Channel::Wait::Ready) {
        l.channel->pauseAfterEmptyWait();
        return kWaitFailed;
    }
    uint8_t first = 0;
    if (readByte(first) != kOk || first != kFrameStart)
        return kIoFailed;
    l.readTimeoutMs = kBulkByteTimeoutMs;
    uint8_t sum = 0;
    for (size_t i = 0; i < kBulkSize; ++i) {
        if (readByte(buffer[i]) != kOk)
            return kIoFailed;
        if (i < kBulkSize - 1)
            sum = static_cast<uint8_t>(sum + buffer[i]);
    }
    return sum == buffer[kBulkSize - 1] ? kOk : kIoFailed;
}

int waitForData()
{
    Link &l = link();
    if (!l.channel)
        return kNoPort;
    l.readTimeoutMs = kDataWaitMs;
    switch (purgeAndWait(l, kDataWaitMs)) {
    case Channel::Wait::Ready:
        return kOk;
    case Channel::Wait::TimedOut:
        l.channel->pauseAfterEmptyWait();
        return kNoByte;
    case Channel::Wait::Failed:
        break;
    }
    l.channel->pauseAfterEmptyWait();
    return kWaitFailed;
}

int readByte(uint8_t &out)
{
    Link &l = link();
    if (!l.channel)
        return kIoFailed;
    return l.channel->readByte(out, l.readTimeoutMs);
}

} // namespace pellux

using pellux::LineSettings;

namespace {

constexpr LineSettings kContactless{B2400, CS8, false, false};
constexpr LineSettings kMagnetic{B9600, CS8, false, false};
constexpr LineSettings kZt2330{B9600, CS7, true, true};

int16_t openLocked(int16_t port, const LineSettings &settings)
{
    std::lock_guard lock(pellux::linkMutex());
    return static_cast<int16_t>(pellux::openPort(port, settings));
}

int16_t closeLocked()
{
    std::lock_guard lock(pellux::linkMutex());
    return static_cast<int16_t>(pellux::closePort());
}

} // namespace

extern "C" {

int16_t AT88RF256_12_OpenCommPort(int16_t port)
{
    return openLocked(port, kContactless);
}

int16_t AT88RF256_12_CloseCommPort(void)
{
    return closeLocked();
}

int16_t InitCommDev(uint32_t portIndex)
{
    auto index = static_cast<uint8_t>(portIndex & 0xFF);
    openLocked(static_cast<int16_t>(index + 1), kContactless);
    return 0;
}

int16_t CloseCommDev(uint32_t)
{
    closeLocked();
    return 0;
}

int16_t MG_OpenCommPort(int16_t port)
{
    return openLocked(port, kMagnetic);
}

int16_t MG_CloseCommPort(void)
{
    return closeLocked();
}

int16_t MG_ZT2330_OpenCommPort(int16_t port)
{
    return openLocked(port, kZt2330);
}

int16_t MG_ZT2330_CloseCommPort(void)
{
    return closeLocked();
}

} // extern "C"
