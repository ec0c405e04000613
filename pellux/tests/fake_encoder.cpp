#include "fake_encoder.h"

#include <cerrno>
#include <condition_variable>
#include <cstdlib>
#include <dlfcn.h>
#include <fcntl.h>
#include <map>
#include <poll.h>
#include <pty.h>
#include <stdexcept>
#include <sys/stat.h>
#include <termios.h>
#include <unistd.h>

namespace {

// The framing bits a serial port keeps and a pseudo-terminal drops.
constexpr tcflag_t kFraming = CSIZE | PARENB | PARODD;

bool deviceOf(int fd, dev_t &device)
{
    struct stat st
    {
    };
    if (fstat(fd, &st) != 0 || !S_ISCHR(st.st_mode))
        return false;
    device = st.st_rdev;
    return true;
}

// What the test program knows of a fake's terminal: the framing set on it, and the order of
// the library's last write (numbered as it starts) and last purge of its input, in sequence
// numbers shared with the fakes' own writes.
struct Framing
{
    bool keep = true;
    bool set = false;
    tcflag_t bits = 0;
    uint64_t lastWrite = 0;
    uint64_t lastPurge = 0;
};

std::mutex framingMutex;
std::condition_variable lineEvent;
uint64_t sequence = 0;             // under framingMutex
std::map<dev_t, Framing> framings; // by the terminal's device number

// Records a write or a purge of the library on a fake's terminal.
void recordLineEvent(int fd, uint64_t Framing::*which)
{
    dev_t device;
    if (!deviceOf(fd, device))
        return;
    {
        std::lock_guard lock(framingMutex);
        auto it = framings.find(device);
        if (it == framings.end())
            return;
        it->second.*which = ++sequence;
    }
    lineEvent.notify_all();
}

template <class Fn> Fn realFunction(const char *name)
{
    return reinterpret_cast<Fn>(dlsym(RTLD_NEXT, name));
}

} // namespace

extern "C" int tcsetattr(int fd, int action, const struct termios *t)
{
    static const auto real = realFunction<int (*)(int, int, const termios *)>("tcsetattr");
    const int result = real(fd, action, t);
    dev_t device;
    if (result == 0 && t && deviceOf(fd, device)) {
        std::lock_guard lock(framingMutex);
        auto it = framings.find(device);
        if (it != framings.end()) {
            it->second.set = true;
            it->second.bits = t->c_cflag & kFraming;
        }
    }
    return result;
}

extern "C" int tcgetattr(int fd, struct termios *t)
{
    static const auto real = realFunction<int (*)(int, termios *)>("tcgetattr");
    const int result = real(fd, t);
    dev_t device;
    if (result == 0 && t && deviceOf(fd, device)) {
        std::lock_guard lock(framingMutex);
        auto it = framings.find(device);
        if (it != framings.end() && it->second.keep && it->second.set)
            t->c_cflag = (t->c_cflag & ~kFraming) | it->second.bits;
    }
    return result;
}

extern "C" int tcflush(int fd, int queue)
{
    static const auto real = realFunction<int (*)(int, int)>("tcflush");
    const int result = real(fd, queue);
    if (result == 0 && (queue == TCIFLUSH || queue == TCIOFLUSH))
        recordLineEvent(fd, &Framing::lastPurge);
    return result;
}

extern "C" ssize_t write(int fd, const void *data, size_t n)
{
    static const auto real = realFunction<ssize_t (*)(int, const void *, size_t)>("write");
    recordLineEvent(fd, &Framing::lastWrite);
    return real(fd, data, n);
}

void FakeEncoder::keepFraming(bool keep)
{
    dev_t device;
    if (!deviceOf(slave_, device))
        return;
    std::lock_guard lock(framingMutex);
    framings[device].keep = keep;
}

FakeEncoder::FakeEncoder(int comPort)
{
    char name[128] = {};
    termios raw{};
    cfmakeraw(&raw);
    if (openpty(&master_, &slave_, name, &raw, nullptr) != 0)
        throw std::runtime_error("openpty failed");
    path_ = name;
    dev_t device;
    if (deviceOf(slave_, device)) {
        std::lock_guard lock(framingMutex);
        framings[device] = Framing{};
    }
    setenv(("PELLUX_COM" + std::to_string(comPort)).c_str(), path_.c_str(), 1);
}

FakeEncoder::~FakeEncoder()
{
    stop_ = true;
    if (thread_.joinable())
        thread_.join();
    dev_t device;
    if (deviceOf(slave_, device)) {
        std::lock_guard lock(framingMutex);
        framings.erase(device);
    }
    close(master_);
    close(slave_);
}

void FakeEncoder::start(std::vector<Step> script)
{
    thread_ = std::thread([this, s = std::move(script)]() mutable { play(std::move(s)); });
}

bool FakeEncoder::awaitLibraryWait(uint64_t after)
{
    dev_t device;
    if (!deviceOf(slave_, device))
        return false;
    // Generous: the library starts its wait within microseconds of its write on a quiet
    // machine; on a loaded one the fake waits as long as it takes.
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    std::unique_lock lock(framingMutex);
    for (;;) {
        const Framing &f = framings[device];
        if (f.lastPurge > f.lastWrite && f.lastPurge > after)
            return true;
        if (stop_ || std::chrono::steady_clock::now() > deadline)
            return false;
        lineEvent.wait_for(lock, std::chrono::milliseconds(20));
    }
}

bool FakeEncoder::readExactly(size_t n, Bytes &into)
{
    auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    size_t got = 0;
    while (got < n) {
        if (stop_ || std::chrono::steady_clock::now() > deadline)
            return false;
        pollfd p{master_, POLLIN, 0};
        if (poll(&p, 1, 20) <= 0)
            continue;
        uint8_t b[256];
        ssize_t r = read(master_, b, std::min(sizeof b, n - got));
        if (r <= 0)
            continue;
        std::lock_guard lock(mutex_);
        into.insert(into.end(), b, b + r);
        got += static_cast<size_t>(r);
    }
    return true;
}

void FakeEncoder::play(std::vector<Step> script)
{
    uint64_t lastWrite = 0; // sequence number of the fake's last chunk
    for (const Step &step : script) {
        if (!readExactly(step.request.size(), received_))
            break;
        for (const Chunk &chunk : step.reply) {
            if (chunk.afterWait && !awaitLibraryWait(lastWrite)) {
                done_ = true;
                return;
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(chunk.delayMs));
            {
                // Numbered before the bytes go out: a purge that drops them comes after.
                std::lock_guard lock(framingMutex);
                lastWrite = ++sequence;
            }
            lastReplyAt_ = std::chrono::steady_clock::now();
            size_t off = 0;
            while (off < chunk.bytes.size()) {
                ssize_t w = write(master_, chunk.bytes.data() + off, chunk.bytes.size() - off);
                if (w < 0 && errno != EINTR && errno != EAGAIN)
                    break;
                if (w > 0)
                    off += static_cast<size_t>(w);
            }
        }
    }
    done_ = true;
}

Bytes FakeEncoder::finish()
{
    auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    while (thread_.joinable() && !done_ && std::chrono::steady_clock::now() < deadline)
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    stop_ = true;
    if (thread_.joinable())
        thread_.join();
    // Collect whatever else the library sent, until the line stays quiet.
    for (;;) {
        pollfd p{master_, POLLIN, 0};
        if (poll(&p, 1, 30) <= 0 || !(p.revents & POLLIN))
            break;
        uint8_t b[256];
        ssize_t r = read(master_, b, sizeof b);
        if (r <= 0)
            break;
        received_.insert(received_.end(), b, b + r);
    }
    return received_;
}

Bytes frame(const Bytes &payload)
{
    Bytes out{0x53, static_cast<uint8_t>(payload.size())};
    uint8_t sum = 0;
    for (uint8_t b : payload) {
        out.push_back(b);
        sum = static_cast<uint8_t>(sum + b);
    }
    out.push_back(sum);
    return out;
}

Bytes text(const std::string &s)
{
    return Bytes(s.begin(), s.end());
}

Bytes textFrame(const std::string &s)
{
    Bytes out{0x02};
    uint8_t bcc = 0x03;
    for (char c : s) {
        out.push_back(static_cast<uint8_t>(c));
        bcc ^= static_cast<uint8_t>(c);
    }
    out.push_back(0x03);
    out.push_back(bcc);
    out.push_back(0x0D);
    return out;
}

Bytes operator+(Bytes a, const Bytes &b)
{
    a.insert(a.end(), b.begin(), b.end());
    return a;
}
