// A scripted encoder on a pseudo-terminal. The library opens the terminal's device as COM n; the
// fake reads each expected request from the other end and answers with the scripted bytes.
//
// A Linux pseudo-terminal keeps 8 data bits and no parity whatever it is set to, where a serial
// port keeps the framing it is given. The fake's terminal behaves as a serial port: reading its
// settings gives back the data size and parity last set on it (the test program provides
// tcsetattr and tcgetattr for that, in front of the C library's). keepFraming(false) makes it a
// plain pseudo-terminal again: a port that does not take every setting it is given.
#pragma once

#include <atomic>
#include <chrono>
#include <cstdint>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

using Bytes = std::vector<uint8_t>;

// Bytes the fake sends. Every wait of the library for a byte begins by dropping what came
// before it, so a chunk the library waits for (afterWait) is sent only once the library has
// done that since its own last write and the fake's previous chunk, then after delayMs more.
// A chunk the library reads on without waiting (the rest of a line) follows the previous one
// after delayMs.
struct Chunk
{
    int delayMs;
    Bytes bytes;
    bool afterWait = true;
};

// One request the fake waits for (its length is what is read; its content is checked by the
// test through received()) and the answer it gives.
struct Step
{
    Bytes request;
    std::vector<Chunk> reply;
};

// The encoder's turnaround, from the moment the library waits for the answer.
constexpr int kTurnaroundMs = 12;

class FakeEncoder
{
public:
    explicit FakeEncoder(int comPort = 1);
    ~FakeEncoder();
    FakeEncoder(const FakeEncoder &) = delete;
    FakeEncoder &operator=(const FakeEncoder &) = delete;

    void start(std::vector<Step> script);
    // Waits for the script to be played out, then returns every byte the library sent.
    Bytes finish();
    // When the last reply chunk was written (for timing).
    std::chrono::steady_clock::time_point lastReplyAt() const { return lastReplyAt_; }

    const std::string &path() const { return path_; }
    void keepFraming(bool keep);
    int slaveFd() const { return slave_; }
    int masterFd() const { return master_; }

private:
    void play(std::vector<Step> script);
    bool readExactly(size_t n, Bytes &into);
    // Waits until the library has dropped its input since it began its last write and since
    // `after` (the sequence number of the fake's last chunk);
    // false when the fake is stopped or the library never does.
    bool awaitLibraryWait(uint64_t after);

    int master_ = -1;
    int slave_ = -1;
    std::string path_;
    std::thread thread_;
    std::atomic<bool> stop_{false};
    std::atomic<bool> done_{false};
    std::mutex mutex_;
    Bytes received_;
    std::chrono::steady_clock::time_point lastReplyAt_{};
};

// 0x53 LEN payload SUM
Bytes frame(const Bytes &payload);
// STX text ETX BCC CR
Bytes textFrame(const std::string &text);
Bytes text(const std::string &s);
Bytes operator+(Bytes a, const Bytes &b);
