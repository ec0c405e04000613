// Magnetic card dialogues: text frames (STX text ETX BCC CR) with ACK/ENQ handshakes for the MG
// encoder, plain commands and a framed write for the ZT2330 encoder.
#include "link.h"
#include "pellux.h"

#include <cstring>
#include <string_view>

using namespace pellux;

namespace {

constexpr uint8_t kStx = 0x02;
constexpr uint8_t kEtx = 0x03;
constexpr uint8_t kEot = 0x04;
constexpr uint8_t kEnq = 0x05;
constexpr uint8_t kAck = 0x06;
constexpr uint8_t kCr = 0x0D;
constexpr size_t kArea = 64;
constexpr size_t kMaxText = kArea - 4;
constexpr size_t kMaxMgWriteData = kMaxText - 3;
constexpr size_t kReplyDataOffset = 6;

// Bytes received from the encoder, up to and including a CR.
struct Area
{
    uint8_t bytes[kArea];
    size_t count = 0;
};

// Reads into the area until a CR has been read or the area is full: 1, or -12.
int readLine(Area &area)
{
    area.count = 0;
    while (area.count < kArea) {
        uint8_t b = 0;
        if (readByte(b) != kOk)
            return kIoFailed;
        area.bytes[area.count++] = b;
        if (b == kCr)
            break;
    }
    return kOk;
}

// Copies the received bytes from offset on, up to and including the first CR. Only bytes that
// actually arrived are copied, never what an earlier dialogue left in the area.
size_t copyLine(const Area &area, size_t offset, uint8_t *out)
{
    size_t n = 0;
    for (size_t i = offset; i < area.count; ++i) {
        out[n++] = area.bytes[i];
        if (area.bytes[i] == kCr)
            break;
    }
    return n;
}

void sendTextFrame(const uint8_t *text, size_t n)
{
    uint8_t frame[kArea];
    frame[0] = kStx;
    uint8_t bcc = kEtx;
    for (size_t i = 0; i < n; ++i) {
        frame[1 + i] = text[i];
        bcc ^= text[i];
    }
    frame[1 + n] = kEtx;
    frame[2 + n] = bcc;
    frame[3 + n] = kCr;
    writeBytes(frame, n + 4); // a failed write shows up as a missing answer
}

int mgCommand(const uint8_t *text, size_t n, Area &reply)
{
    sendTextFrame(text, n);
    int r = waitForData();
    if (r != kOk)
        return r;
    Area ack;
    if (readLine(ack) != kOk)
        return kIoFailed;
    if (ack.bytes[0] != kAck)
        return kBadVerify;
    const uint8_t enquiry[2] = {kEnq, kCr};
    writeBytes(enquiry, 2);
    r = waitForData();
    if (r != kOk)
        return r;
    if (readLine(reply) != kOk)
        return kIoFailed;
    if (reply.count < 2 || reply.bytes[0] != kStx || reply.bytes[1] != 'P')
        return kBadVerify;
    return kOk;
}

int mgCommand(std::string_view text, Area &reply)
{
    return mgCommand(reinterpret_cast<const uint8_t *>(text.data()), text.size(), reply);
}

int mgQueryStatus()
{
    Area reply;
    int r = mgCommand("C10", reply);
    if (r != kOk)
        return r;
    uint8_t status[kArea];
    size_t n = copyLine(reply, kReplyDataOffset, status);
    return n >= 2 && status[1] == 'R' ? kNoByte : kOk;
}

// The three steps that open every MG read and write.
int mgPrepare()
{
    Area reply;
    int r = mgCommand("C0232403000000", reply);
    if (r != kOk)
        return r;
    r = mgQueryStatus();
    if (r != kOk)
        return r;
    return mgCommand("C20", reply);
}

void mgFinish()
{
    Area reply;
    mgCommand("C30", reply);
}

int ztSendRaw(std::string_view text)
{
    writeBytes(reinterpret_cast<const uint8_t *>(text.data()), text.size());
    return waitForData();
}

int ztSendFramed(const uint8_t *data, size_t n)
{
    sendTextFrame(data, n);
    int r = waitForData();
    if (r != kOk)
        return r;
    uint8_t first = 0;
    if (readByte(first) != kOk)
        return kIoFailed;
    if (first != kCr) {
        uint8_t second = 0;
        if (readByte(second) != kOk)
            return kIoFailed;
    }
    if (first != kAck)
        return kBadVerify;
    for (int i = 0; i < 5; ++i) {
        r = waitForData();
        if (r != kOk)
            return r;
        uint8_t b = 0;
        if (readByte(b) != kOk)
            return kIoFailed;
        if (b == kEot)
            return kOk;
    }
    ztSendRaw("/CL0/");
    return kBadVerify;
}

using Guard = std::lock_guard<std::mutex>;

} // namespace

extern "C" {

int16_t MG_CardRead(uint8_t *buffer, uint32_t)
{
    if (!buffer)
        return kBadArgument;
    Guard g(linkMutex());
    int r = mgPrepare();
    if (r != kOk)
        return static_cast<int16_t>(r);
    Area reply;
    r = mgCommand("C63", reply);
    if (r == kOk)
        copyLine(reply, kReplyDataOffset, buffer);
    mgFinish();
    return static_cast<int16_t>(r);
}

int16_t MG_CardWrite(const uint8_t *data, uint8_t length)
{
    if (length > kMaxMgWriteData || (!data && length))
        return kBadArgument;
    Guard g(linkMutex());
    int r = mgPrepare();
    if (r != kOk)
        return static_cast<int16_t>(r);
    uint8_t text[kMaxText] = {'C', '7', '3'};
    if (length)
        std::memcpy(text + 3, data, length);
    Area reply;
    r = mgCommand(text, 3u + length, reply);
    mgFinish();
    return static_cast<int16_t>(r);
}

int16_t MG_CLE(void)
{
    return kOk;
}

int16_t MG_ZT2330_CardRead(uint8_t *buffer, uint32_t)
{
    if (!buffer)
        return kBadArgument;
    Guard g(linkMutex());
    int r = ztSendRaw("/CL0/");
    if (r != kOk)
        return static_cast<int16_t>(r);
    r = ztSendRaw("/RD1/");
    if (r != kOk)
        return static_cast<int16_t>(r);
    r = waitForData(); // the card data must begin within the wait
    if (r != kOk)
        return static_cast<int16_t>(r);
    for (int i = 0; i < 8; ++i) {
        r = waitForData();
        if (r != kOk)
            return static_cast<int16_t>(r);
        uint8_t b = 0;
        if (readByte(b) != kOk)
            return kIoFailed;
        if (b == kStx)
            break;
    }
    Area data;
    if (readLine(data) != kOk)
        return kIoFailed;
    copyLine(data, 0, buffer);
    return kOk;
}

int16_t MG_ZT2330_CardWrite(const uint8_t *data, uint8_t length)
{
    if (length > kMaxText || (!data && length))
        return kBadArgument;
    Guard g(linkMutex());
    static const uint8_t prefix[10] = {'/', 'W', 'R', '1', '/', 0xFF, 0x03, 0x13, 0x06, 0x0D};
    writeBytes(prefix, sizeof prefix);
    return static_cast<int16_t>(ztSendFramed(data, length));
}

} // extern "C"
