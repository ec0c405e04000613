// Tests of the library against a scripted encoder on a pseudo-terminal.
#include "fake_encoder.h"
#include "pellux.h"

#include <cstring>
#include <fcntl.h>
#include <functional>
#include <gtest/gtest.h>
#include <sys/file.h>
#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>

namespace {

using Clock = std::chrono::steady_clock;

long msSince(Clock::time_point t)
{
    return std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - t).count();
}

Step ask(const Bytes &requestPayload, const Bytes &replyPayload)
{
    return {frame(requestPayload), {{kTurnaroundMs, frame(replyPayload)}}};
}

Step silent(const Bytes &request)
{
    return {request, {}};
}

class Pellux : public ::testing::Test
{
protected:
    void TearDown() override { AT88RF256_12_CloseCommPort(); }

    // Opens COM1 on a fresh fake that plays the script.
    FakeEncoder &open(std::vector<Step> script, int16_t (*opener)(int16_t) = nullptr)
    {
        fake_ = std::make_unique<FakeEncoder>(1);
        EXPECT_EQ((opener ? opener : AT88RF256_12_OpenCommPort)(1), 1);
        fake_->start(std::move(script));
        return *fake_;
    }

    std::unique_ptr<FakeEncoder> fake_;
};

Bytes requests(const std::vector<Step> &script)
{
    Bytes all;
    for (const Step &s : script)
        all = all + s.request;
    return all;
}

// ---------------------------------------------------------------- opening and closing

TEST_F(Pellux, PortNumbersOutOfRangeOpenNothing)
{
    FakeEncoder fake(1);
    for (int16_t port : {0, 5, -1, INT16_MIN}) {
        EXPECT_EQ(AT88RF256_12_OpenCommPort(port), -8) << port;
        EXPECT_EQ(MG_OpenCommPort(port), -8) << port;
        EXPECT_EQ(MG_ZT2330_OpenCommPort(port), -8) << port;
    }
    EXPECT_EQ(InitCommDev(4), 0);
    EXPECT_EQ(AT88RF256_12_PowerOn(), -6);
    // Only the low byte of the index counts: 0x100 is COM1.
    EXPECT_EQ(InitCommDev(0x100), 0);
    fake.start({ask({0x0C}, {0x01})});
    EXPECT_EQ(AT88RF256_12_PowerOn(), 1);
    EXPECT_EQ(CloseCommDev(123), 0);
    EXPECT_EQ(AT88RF256_12_PowerOn(), -6);
    EXPECT_EQ(fake.finish(), frame({0x0C}));
}

TEST_F(Pellux, NoPortMeansMinusSixAndNothingWritten)
{
    FakeEncoder fake(1);
    uint8_t buf[2049] = {};
    EXPECT_EQ(AT88RF256_12_PowerOn(), -6);
    EXPECT_EQ(AT88RF256_12_ReadDataCard(buf), -6);
    EXPECT_EQ(MG_CardRead(buf, 0), -6);
    EXPECT_EQ(MG_ZT2330_CardRead(buf, 0), -6);
    EXPECT_EQ(MG_CLE(), 1);
    char version[32] = {};
    EXPECT_EQ(GetRfDllVersion_0(version), 1);
    EXPECT_STREQ(version, "V1.01 5/5/2002 (Tirvo.dll)");
    // The reader's version falls back to "not connected" in GB2312, with its zero.
    uint8_t rw[8];
    std::memset(rw, 0xEE, sizeof rw);
    EXPECT_EQ(GetRfRwVersion_1(rw), -6);
    const uint8_t notConnected[8] = {0xCE, 0xB4, 0xC1, 0xAC, 0xBD, 0xD3, 0x00, 0xEE};
    EXPECT_EQ(std::memcmp(rw, notConnected, 8), 0);
    // Closing without a port is harmless.
    EXPECT_EQ(AT88RF256_12_CloseCommPort(), 1);
    EXPECT_EQ(MG_CloseCommPort(), 1);
    EXPECT_EQ(MG_ZT2330_CloseCommPort(), 1);
    EXPECT_TRUE(fake.finish().empty());
}

TEST_F(Pellux, EachFamilyOpensWithItsLineSettings)
{
    struct Case
    {
        int16_t (*open)(int16_t);
        speed_t baud;
        tcflag_t size;
        bool parity;
        bool twoStop;
    };
    const Case cases[] = {{AT88RF256_12_OpenCommPort, B2400, CS8, false, false},
                          {MG_OpenCommPort, B9600, CS8, false, false},
                          {MG_ZT2330_OpenCommPort, B9600, CS7, true, true}};
    FakeEncoder fake(3);
    for (const Case &c : cases) {
        ASSERT_EQ(c.open(3), 1);
        termios tio{};
        ASSERT_EQ(tcgetattr(fake.slaveFd(), &tio), 0);
        EXPECT_EQ(cfgetospeed(&tio), c.baud);
        EXPECT_EQ(cfgetispeed(&tio), c.baud);
        EXPECT_EQ(tio.c_cflag & CSIZE, c.size);
        EXPECT_EQ((tio.c_cflag & PARENB) != 0, c.parity);
        EXPECT_EQ((tio.c_cflag & PARODD) != 0, false);
        EXPECT_EQ((tio.c_cflag & CSTOPB) != 0, c.twoStop);
        EXPECT_EQ(tio.c_lflag & (ICANON | ECHO | ISIG), 0u);
        EXPECT_EQ(tio.c_iflag & (IXON | ICRNL | ISTRIP), 0u);
        EXPECT_EQ(tio.c_oflag & OPOST, 0u);
    }
    EXPECT_EQ(InitCommDev(2), 0);
    termios tio{};
    ASSERT_EQ(tcgetattr(fake.slaveFd(), &tio), 0);
    EXPECT_EQ(cfgetospeed(&tio), B2400);
    EXPECT_EQ(tio.c_cflag & CSIZE, static_cast<tcflag_t>(CS8));
}

TEST_F(Pellux, PortHeldElsewhereOrUnusableFailsTheOpen)
{
    FakeEncoder fake(1);
    int holder = ::open(fake.path().c_str(), O_RDWR | O_NOCTTY);
    ASSERT_GE(holder, 0);
    ASSERT_EQ(flock(holder, LOCK_EX | LOCK_NB), 0);
    EXPECT_EQ(AT88RF256_12_OpenCommPort(1), -11);
    EXPECT_EQ(AT88RF256_12_PowerOn(), -6);
    close(holder);
    EXPECT_EQ(AT88RF256_12_OpenCommPort(1), 1);

    // While the library holds it, nobody else gets the lock.
    holder = ::open(fake.path().c_str(), O_RDWR | O_NOCTTY);
    ASSERT_GE(holder, 0);
    EXPECT_NE(flock(holder, LOCK_EX | LOCK_NB), 0);
    close(holder);

    // A device that opens but is no terminal: the open fails and leaves no port behind.
    setenv("PELLUX_COM2", "/dev/null", 1);
    EXPECT_EQ(MG_OpenCommPort(2), -11);
    EXPECT_EQ(AT88RF256_12_PowerOn(), -6);
    setenv("PELLUX_COM2", "/nonexistent/tty", 1);
    EXPECT_EQ(MG_OpenCommPort(2), -11);
}

TEST_F(Pellux, AFailedOpenLeavesTheHolderAsItWas)
{
    FakeEncoder fake(1);
    int holder = ::open(fake.path().c_str(), O_RDWR | O_NOCTTY);
    ASSERT_GE(holder, 0);
    ASSERT_EQ(flock(holder, LOCK_EX | LOCK_NB), 0);
    ASSERT_EQ(ioctl(holder, TIOCEXCL), 0);
    EXPECT_EQ(AT88RF256_12_OpenCommPort(1), -11);
    int exclusive = 0;
    ASSERT_EQ(ioctl(holder, TIOCGEXCL, &exclusive), 0);
    EXPECT_EQ(exclusive, 1);
    ioctl(holder, TIOCNXCL);
    close(holder);
}

TEST_F(Pellux, APortThatDoesNotTakeTheLineFailsTheOpen)
{
    FakeEncoder fake(1);
    fake.keepFraming(false); // 7 data bits and even parity are not kept
    EXPECT_EQ(MG_ZT2330_OpenCommPort(1), -11);
    uint8_t buf[64];
    EXPECT_EQ(MG_ZT2330_CardRead(buf, 0), -6);
    // The failed open left nothing behind: the port can be had, and 8N1 is taken.
    int probe = ::open(fake.path().c_str(), O_RDWR | O_NOCTTY);
    ASSERT_GE(probe, 0);
    EXPECT_EQ(flock(probe, LOCK_EX | LOCK_NB), 0);
    int exclusive = 1;
    ASSERT_EQ(ioctl(probe, TIOCGEXCL, &exclusive), 0);
    EXPECT_EQ(exclusive, 0);
    close(probe);
    EXPECT_EQ(MG_OpenCommPort(1), 1);
}

TEST_F(Pellux, OpeningAgainReleasesTheEarlierPort)
{
    FakeEncoder first(1);
    FakeEncoder second(2);
    ASSERT_EQ(AT88RF256_12_OpenCommPort(1), 1);
    ASSERT_EQ(MG_OpenCommPort(2), 1);
    int probe = ::open(first.path().c_str(), O_RDWR | O_NOCTTY);
    ASSERT_GE(probe, 0);
    EXPECT_EQ(flock(probe, LOCK_EX | LOCK_NB), 0);
    close(probe);
    // The out-of-range open leaves the open port alone.
    EXPECT_EQ(AT88RF256_12_OpenCommPort(9), -8);
    second.start({ask({0x0C}, {0x01})});
    EXPECT_EQ(AT88RF256_12_PowerOn(), 1);
    EXPECT_EQ(second.finish(), frame({0x0C}));
    EXPECT_TRUE(first.finish().empty());
}

// ---------------------------------------------------------------- contactless commands

TEST_F(Pellux, WorkedExampleFrames)
{
    EXPECT_EQ(frame({0x0C}), (Bytes{0x53, 0x01, 0x0C, 0x0C}));
    EXPECT_EQ(frame({0x02, 0x74}), (Bytes{0x53, 0x02, 0x02, 0x74, 0x76}));
    EXPECT_EQ(textFrame("C20"), (Bytes{0x02, 0x43, 0x32, 0x30, 0x03, 0x42, 0x0D}));
    EXPECT_EQ(textFrame("C10"), (Bytes{0x02, 0x43, 0x31, 0x30, 0x03, 0x41, 0x0D}));
}

// One row per command: what the library must send, what the encoder answers, and what the
// caller gets back.
struct Row
{
    const char *name;
    std::vector<Step> script;
    std::function<int()> call;
    int expected;
    std::function<void()> check = [] {};
};

Bytes page{0x11, 0x22, 0x33, 0x44};
Bytes page2{0x55, 0x66, 0x77, 0x88};
Bytes ti{0, 1, 2, 3, 4, 5, 6, 7, 8, 9};
uint8_t out[64];

std::vector<Row> commandRows()
{
    static uint8_t value = 0x56;
    static uint8_t crc0, crc1, type;
    static const uint8_t cfg[3] = {0xA1, 0xA2, 0xA3};
    static const uint8_t pw[4] = {1, 2, 3, 4};
    static uint8_t blk[4] = {9, 8, 7, 6};
    static const Bytes crcData(16, 0x42);
    static const Bytes eight{1, 2, 3, 4, 5, 6, 7, 8};
    return {
        {"PowerOn", {ask({0x0C}, {1})}, [] { return AT88RF256_12_PowerOn(); }, 1},
        {"PowerOff", {ask({0x0D}, {1})}, [] { return AT88RF256_12_PowerOff(); }, 1},
        {"Beep", {ask({0x0B, 7}, {1})}, [] { return AT88RF256_12_Beep(7); }, 1},
        {"LockByte",
         {ask({0x03, 0x0C, 0x85, 0x55, 0x55, 0x55}, {1})},
         [] { return AT88RF256_12_WriteLockByte(0x05); },
         1},
        {"ConfigBits",
         {ask({0x04, 0x4C, 0x55, 0xA1, 0xA2, 0xA3}, {1})},
         [] { return AT88RF256_12_WriteConfigurationBits(cfg); },
         1},
        {"DisableChip", {ask({0x06, 0x60}, {1})}, [] { return AT88RF256_12_DisableChip(); }, 1},
        {"CheckPassword",
         {ask({0x07, 0x70, 1, 2, 3, 4}, {1})},
         [] { return AT88RF256_12_CheckPassword(pw); },
         1},
        {"WritePage3",
         {ask(Bytes{0x01, 0x38} + page, {1})},
         [] { return AT88RF256_12_WritePage(page.data(), 3); },
         1},
        {"eeWriteByte",
         {ask({0x14, 0x12, 0x34, 0x56}, {1})},
         [] { return eeWriteByte(0x12, 0x34, &value); },
         1},
        {"eeReadByte",
         {ask({0x15, 0x12, 0x34}, {1, 0x9A})},
         [] { return eeReadByte(0x12, 0x34, out); },
         1,
         [] { EXPECT_EQ(out[0], 0x9A); }},
        {"EM4100",
         {ask({0x23}, Bytes{1} + page)},
         [] { return EM4100_ReadRom(out); },
         1,
         [] { EXPECT_EQ(Bytes(out, out + 5), page + Bytes{0xEE}); }},
        {"TI0036_Read",
         {ask({0x1F}, Bytes{1, 'R'} + ti)},
         [] { return TI0036_Read(out, &type); },
         1,
         [] {
             EXPECT_EQ(type, 'R');
             EXPECT_EQ(Bytes(out, out + 10), ti);
         }},
        {"CalCRC16 of 16 bytes: 18-byte payload",
         {ask(Bytes{0x20, 16} + crcData, {1, 0xAB, 0xCD})},
         [] { return TI0036_CalCRC16(crcData.data(), 16, &crc0, &crc1); },
         1,
         [] {
             EXPECT_EQ((Bytes{crc0, crc1}), (Bytes{0xAB, 0xCD}));
         }},
        {"Command57 write block 5",
         {ask({0x24, 5, 9, 8, 7, 6}, {1})},
         [] { return Command57(1, 2, 3, 4, 2, 5, blk); },
         0},
        {"Command57 read block 7",
         {ask({0x28, 7}, Bytes{1} + page)},
         [] { return Command57(0, 0, 0, 0, 3, 7, out); },
         0,
         [] { EXPECT_EQ(Bytes(out, out + 4), page); }},
        {"Version",
         {ask({0x0A}, {1, 'V', '2', '.', '0', '7'})},
         [] { return GetRfRwVersion_1(out); },
         1,
         [] { EXPECT_EQ(Bytes(out, out + 6), text("V2.07") + Bytes{0xEE}); }},
        {"ReadPage reads twice and keeps the reading",
         {ask({0x02, 0x34}, Bytes{1} + page), ask({0x02, 0x34}, Bytes{1} + page)},
         [] { return AT88RF256_12_ReadPage(out, 3); },
         1,
         [] { EXPECT_EQ(Bytes(out, out + 5), page + Bytes{0xEE}); }},
        {"ReadRom is page 7 and four zeros",
         {ask({0x02, 0x74}, Bytes{1} + page), ask({0x02, 0x74}, Bytes{1} + page)},
         [] { return AT88RF256_12_ReadRom(out); },
         1,
         [] {
             EXPECT_EQ(Bytes(out, out + 9), (page + Bytes{0, 0, 0, 0, 0xEE}));
         }},
        {"ReadData of 6 bytes from page 2 stores 6 bytes",
         {ask({0x02, 0x24}, Bytes{1} + page), ask({0x02, 0x24}, Bytes{1} + page),
          ask({0x02, 0x34}, Bytes{1} + page2), ask({0x02, 0x34}, Bytes{1} + page2)},
         [] { return AT88RF256_12_ReadData(out, 2, 6); },
         1,
         [] {
             const Bytes expected{0x11, 0x22, 0x33, 0x44, 0x55, 0x66, 0xEE};
             EXPECT_EQ(Bytes(out, out + 7), expected);
         }},
        {"WriteData of 8 bytes from page 5 writes pages 5 and 6",
         {ask({0x01, 0x58, 1, 2, 3, 4}, {1}), ask({0x01, 0x68, 5, 6, 7, 8}, {1})},
         [] { return AT88RF256_12_WriteData(eight.data(), 5, 8); },
         1},
        {"WriteData of 9 bytes from page 5 stops at page 7",
         {ask({0x01, 0x58, 1, 2, 3, 4}, {1}), ask({0x01, 0x68, 5, 6, 7, 8}, {1})},
         [] {
             static const Bytes nine = eight + Bytes{9};
             return AT88RF256_12_WriteData(nine.data(), 5, 9);
         },
         -8},
        {"WriteData pads the last page with zeros",
         {ask({0x01, 0x08, 1, 2, 3, 4}, {1}), ask({0x01, 0x18, 5, 0, 0, 0}, {1})},
         [] { return AT88RF256_12_WriteData(eight.data(), 0, 5); },
         1},
        {"TI0036_Write echo matches",
         {ask(Bytes{0x1E, 0xBB, 0xEB} + ti + Bytes{0, 3, 0}, Bytes{1, 'R'} + ti)},
         [] { return TI0036_Write(ti.data(), &type); },
         1,
         [] { EXPECT_EQ(type, 'R'); }},
        {"TI0036_Write echo differs",
         {ask(Bytes{0x1E, 0xBB, 0xEB} + ti + Bytes{0, 3, 0},
              Bytes{1, 'Q', 0, 1, 2, 3, 4, 5, 6, 7, 8, 0xFF})},
         [] { return TI0036_Write(ti.data(), &type); },
         -5,
         [] { EXPECT_EQ(type, 'Q'); }},
        {"TI0034 verified on the first try",
         {ask({0x1F}, Bytes{1, 'R'} + ti), ask(Bytes{0x20, 10} + ti, {1, 0, 0})},
         [] { return TI0034_ReadRom(out, 3); },
         1,
         [] { EXPECT_EQ(Bytes(out, out + 10), ti); }},
        {"TI0034 bad CRC then good",
         {ask({0x1F}, Bytes{1, 'R'} + ti), ask(Bytes{0x20, 10} + ti, {1, 0, 1}),
          ask({0x1F}, Bytes{1, 'R'} + ti), ask(Bytes{0x20, 10} + ti, {1, 0, 0})},
         [] { return TI0034_ReadRom(out, 2); },
         1},
        {"TI0034 wrong type stops at once",
         {ask({0x1F}, Bytes{1, 0x51} + ti)},
         [] { return TI0034_ReadRom(out, 3); },
         -4},
        {"TI0034 with no tries", {}, [] { return TI0034_ReadRom(out, 0); }, -3},
        // Encoder status and malformed replies.
        {"status 0x85", {ask({0x0B, 1}, {0x85})}, [] { return AT88RF256_12_Beep(1); }, -5},
        {"status 0x82 looks like a time-out",
         {ask({0x0C}, {0x82})},
         [] { return AT88RF256_12_PowerOn(); },
         -2},
        {"noise ahead of the reply is skipped",
         {{frame({0x0C}), {{kTurnaroundMs, Bytes{0x00, 0xFF, 0x13} + frame({1})}}}},
         [] { return AT88RF256_12_PowerOn(); },
         1},
        {"checksum off by one",
         {{frame({0x0C}), {{kTurnaroundMs, {0x53, 0x01, 0x01, 0x02}}}}},
         [] { return AT88RF256_12_PowerOn(); },
         -12},
        {"empty reply reads its checksum as the status",
         {{frame({0x0C}), {{kTurnaroundMs, {0x53, 0x00, 0x00}}}}},
         [] { return AT88RF256_12_PowerOn(); },
         0},
        {"reply shorter than the data the command needs",
         {ask({0x23}, {1, 0x11, 0x22})},
         [] { return EM4100_ReadRom(out); },
         -12,
         [] { EXPECT_EQ(out[0], 0xEE); }},
        {"LEN 59 still fits",
         {ask({0x0C}, Bytes(59, 0x01))},
         [] { return AT88RF256_12_PowerOn(); },
         1},
        {"LEN 60 is drained and refused",
         {ask({0x0C}, Bytes(60, 0x01))},
         [] { return AT88RF256_12_PowerOn(); },
         -12},
        {"LEN 255 is drained and refused",
         {ask({0x0C}, Bytes(255, 0x01))},
         [] { return AT88RF256_12_PowerOn(); },
         -12},
        {"Command57 status 0x80 is no success",
         {ask({0x28, 1}, Bytes{0x80} + page)},
         [] { return Command57(0, 0, 0, 0, 3, 1, out); },
         -12,
         [] { EXPECT_EQ(out[0], 0xEE); }},
        {"Command57 empty reply is no success",
         {{frame({0x28, 1}), {{kTurnaroundMs, {0x53, 0x00, 0x00}}}}},
         [] { return Command57(0, 0, 0, 0, 3, 1, out); },
         -12},
        {"Command57 status 0x83",
         {ask({0x28, 1}, {0x83})},
         [] { return Command57(0, 0, 0, 0, 3, 1, out); },
         -3},
        // Retries and verification.
        {"WritePage retries once after a failure",
         {ask(Bytes{0x01, 0x08} + page, {0x83}), ask(Bytes{0x01, 0x08} + page, {1})},
         [] { return AT88RF256_12_WritePage(page.data(), 0); },
         1},
        {"WritePage gives up after two failures",
         {ask(Bytes{0x01, 0x08} + page, {0x83}), ask(Bytes{0x01, 0x08} + page, {0x84})},
         [] { return AT88RF256_12_WritePage(page.data(), 0); },
         -4},
        {"WritePassword retries once after a bad status",
         {ask({0x05, 0x1C, 1, 2, 3, 4}, {0x83}), ask({0x05, 0x1C, 1, 2, 3, 4}, {1})},
         [] { return AT88RF256_12_WritePassword(pw); },
         1},
        {"ReadPage takes a new pair when the readings disagree",
         {ask({0x02, 0x04}, Bytes{1} + page), ask({0x02, 0x04}, Bytes{1} + page2),
          ask({0x02, 0x04}, Bytes{1} + page2), ask({0x02, 0x04}, Bytes{1} + page2)},
         [] { return AT88RF256_12_ReadPage(out, 0); },
         1,
         [] { EXPECT_EQ(Bytes(out, out + 4), page2); }},
        {"ReadPage fails verification after three disagreeing pairs",
         {ask({0x02, 0x04}, Bytes{1} + page), ask({0x02, 0x04}, Bytes{1} + page2),
          ask({0x02, 0x04}, Bytes{1} + page), ask({0x02, 0x04}, Bytes{1} + page2),
          ask({0x02, 0x04}, Bytes{1} + page), ask({0x02, 0x04}, Bytes{1} + page2)},
         [] { return AT88RF256_12_ReadPage(out, 0); },
         -5},
        // Arguments refused before anything is sent.
        {"WritePage page 7", {}, [] { return AT88RF256_12_WritePage(page.data(), 7); }, -8},
        {"ReadPage page 8", {}, [] { return AT88RF256_12_ReadPage(out, 8); }, -8},
        {"CalCRC16 length 17", {}, [] { return TI0036_CalCRC16(out, 17, &crc0, &crc1); }, -8},
        {"Command57 mode 4", {}, [] { return Command57(0, 0, 0, 0, 4, 1, out); }, -9},
        {"Command57 block 8", {}, [] { return Command57(0, 0, 0, 0, 3, 8, out); }, -8},
        {"ReadData from page 8", {}, [] { return AT88RF256_12_ReadData(out, 8, 1); }, -8},
        {"WriteData of nothing", {}, [] { return AT88RF256_12_WriteData(out, 9, 0); }, 1},
    };
}

TEST_F(Pellux, CommandTable)
{
    for (Row &row : commandRows()) {
        SCOPED_TRACE(row.name);
        std::memset(out, 0xEE, sizeof out);
        FakeEncoder &fake = open(row.script);
        EXPECT_EQ(row.call(), row.expected);
        row.check();
        EXPECT_EQ(fake.finish(), requests(row.script));
        AT88RF256_12_CloseCommPort();
        fake_.reset();
    }
}

TEST_F(Pellux, HuntForTheFrameStartIsBounded)
{
    for (size_t junk : {size_t{4096}, size_t{4097}}) {
        SCOPED_TRACE(junk);
        open({{frame({0x0C}), {{kTurnaroundMs, Bytes(junk, 0x00) + frame({1})}}}});
        EXPECT_EQ(AT88RF256_12_PowerOn(), junk == 4096 ? 1 : -12);
        fake_->finish();
        AT88RF256_12_CloseCommPort();
    }
}

// ---------------------------------------------------------------- time-outs (each costs seconds)

TEST_F(Pellux, ReplyTimeOuts)
{
    // The second reading of a page never comes: -2, the first reading is in the buffer.
    open({ask({0x02, 0x14}, Bytes{1} + page), silent(frame({0x02, 0x14}))});
    std::memset(out, 0xEE, sizeof out);
    auto t0 = Clock::now();
    EXPECT_EQ(AT88RF256_12_ReadPage(out, 1), -2);
    EXPECT_GE(msSince(t0), 1000);
    EXPECT_EQ(Bytes(out, out + 4), page);
    fake_->finish();

    // A TI 0034 that never answers: one read per try, then -3. Two tries of one second each,
    // well under the three seconds a third try would take.
    open({silent(frame({0x1F})), silent(frame({0x1F}))});
    t0 = Clock::now();
    EXPECT_EQ(TI0034_ReadRom(out, 2), -3);
    EXPECT_LT(msSince(t0), 3000);
    EXPECT_EQ(fake_->finish(), frame({0x1F}) + frame({0x1F}));

    // A reply that stops half-way: the per-byte time-out (1 s for Beep, not the 2 s the call
    // is given) ends it with -12. Counted from the last byte the encoder sent.
    open({{frame({0x0B, 2}), {{kTurnaroundMs, {0x53, 0x01}}}}});
    EXPECT_EQ(AT88RF256_12_Beep(2), -12);
    const auto returned = Clock::now();
    fake_->finish();
    const auto took =
        std::chrono::duration_cast<std::chrono::milliseconds>(returned - fake_->lastReplyAt())
            .count();
    EXPECT_GE(took, 1000);
    EXPECT_LT(took, 2000);
}

// ---------------------------------------------------------------- data card (bulk frame)

Bytes bulkAnswer(uint8_t sumAdjust)
{
    Bytes data(2048);
    uint8_t sum = 0;
    for (size_t i = 0; i < data.size(); ++i) {
        data[i] = static_cast<uint8_t>(i * 7 + 3);
        sum = static_cast<uint8_t>(sum + data[i]);
    }
    return Bytes{0x53} + data + Bytes{static_cast<uint8_t>(sum + sumAdjust)};
}

TEST_F(Pellux, DataCard)
{
    std::vector<uint8_t> buf(2049);
    const Bytes good = bulkAnswer(0);
    open({{frame({0x09}), {{kTurnaroundMs, good}}}});
    EXPECT_EQ(AT88RF256_12_ReadDataCard(buf.data()), 1);
    EXPECT_EQ(Bytes(buf.begin(), buf.end()), Bytes(good.begin() + 1, good.end()));
    EXPECT_EQ(fake_->finish(), frame({0x09}));

    open({{frame({0x09}), {{kTurnaroundMs, bulkAnswer(1)}}}});
    EXPECT_EQ(AT88RF256_12_ReadDataCard(buf.data()), -12);
    fake_->finish();

    // No hunting in the bulk answer: a wrong first byte fails at once, not after the
    // 30-second wait for a byte of the answer.
    open({{frame({0x09}), {{kTurnaroundMs, Bytes{0x00} + good}}}});
    auto t0 = Clock::now();
    EXPECT_EQ(AT88RF256_12_ReadDataCard(buf.data()), -12);
    EXPECT_LT(msSince(t0), 10000);
    fake_->finish();
}

// How long the library takes beyond the encoder's own bytes: from the moment the fake encoder
// starts writing the 2050-byte answer until the call returns. The best of five runs is what
// the library costs; the others also hold the time another process had the cores.
TEST_F(Pellux, DataCardOverhead)
{
    std::vector<uint8_t> buf(2049);
    const Bytes good = bulkAnswer(0);
    std::vector<double> figures;
    for (int i = 0; i < 5; ++i) {
        open({{frame({0x09}), {{kTurnaroundMs, good}}}});
        EXPECT_EQ(AT88RF256_12_ReadDataCard(buf.data()), 1);
        auto returned = Clock::now();
        fake_->finish();
        figures.push_back(
            std::chrono::duration<double, std::milli>(returned - fake_->lastReplyAt()).count());
        AT88RF256_12_CloseCommPort();
    }
    std::sort(figures.begin(), figures.end());
    std::printf("bulk read of 2050 bytes: library time after the answer was written: "
                "min %.3f ms, median %.3f ms, max %.3f ms\n",
                figures.front(), figures[figures.size() / 2], figures.back());
    EXPECT_LT(figures.front(), 50.0);
}

// ---------------------------------------------------------------- writes

TEST_F(Pellux, StalledLineFailsTheWrite)
{
    FakeEncoder fake(1); // never reads: the terminal's queue towards it fills up
    ASSERT_EQ(AT88RF256_12_OpenCommPort(1), 1);
    int flags = fcntl(fake.slaveFd(), F_GETFL);
    fcntl(fake.slaveFd(), F_SETFL, flags | O_NONBLOCK);
    const Bytes filler(4096, 0x00);
    // The terminal moves queued bytes on to the other end in the background, as far as that
    // end's buffer (4095 bytes) takes them, so fill until that buffer is full and the queue
    // still refuses a byte. Should a terminal hold less, a long refusal ends the filling.
    const auto heldAtTheOtherEnd = [&] {
        int n = 0;
        ioctl(fake.masterFd(), FIONREAD, &n);
        return n;
    };
    for (int quietRounds = 0; quietRounds < 50;) {
        bool accepted = false;
        while (write(fake.slaveFd(), filler.data(), filler.size()) > 0 ||
               write(fake.slaveFd(), filler.data(), 1) > 0)
            accepted = true;
        if (!accepted && heldAtTheOtherEnd() >= 4095)
            break;
        quietRounds = accepted ? 0 : quietRounds + 1;
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    // The queue is full: a request that cannot go out whole fails instead of hanging.
    EXPECT_EQ(AT88RF256_12_PowerOn(), -12);
    uint8_t crc0, crc1;
    EXPECT_EQ(TI0036_CalCRC16(filler.data(), 16, &crc0, &crc1), -12);
}

// ---------------------------------------------------------------- magnetic encoders

const Bytes kAckLine{0x06, 0x0D};
const Bytes kEnqCr{0x05, 0x0D};

// One MG dialogue: command frame, ACK, ENQ CR, reply line.
std::vector<Step> mgDialogue(const std::string &command, const Bytes &reply)
{
    return {{textFrame(command), {{kTurnaroundMs, kAckLine}}}, {kEnqCr, {{kTurnaroundMs, reply}}}};
}

Bytes positive(const std::string &data)
{
    return Bytes{0x02, 'P', '0', '0', '0', '0'} + text(data) + Bytes{0x0D};
}

using ::operator+;

std::vector<Step> operator+(std::vector<Step> a, const std::vector<Step> &b)
{
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

std::vector<Step> mgPreamble(const std::string &status = "OK")
{
    return mgDialogue("C0232403000000", positive("")) + mgDialogue("C10", positive(status)) +
           mgDialogue("C20", positive(""));
}

TEST_F(Pellux, MgCardRead)
{
    uint8_t buf[64];
    std::memset(buf, 0xEE, sizeof buf);
    auto script =
        mgPreamble() + mgDialogue("C63", positive("1234")) + mgDialogue("C30", positive(""));
    open(script, MG_OpenCommPort);
    EXPECT_EQ(MG_CardRead(buf, 0), 1);
    EXPECT_EQ(Bytes(buf, buf + 6), text("1234\r") + Bytes{0xEE});
    EXPECT_EQ(fake_->finish(), requests(script));
}

TEST_F(Pellux, MgDialogueFailures)
{
    uint8_t buf[64];
    struct Case
    {
        const char *name;
        std::vector<Step> script;
        int expected;
    };
    const Case cases[] = {
        {"card status R stops after two dialogues",
         mgDialogue("C0232403000000", positive("")) + mgDialogue("C10", positive("xR")), -1},
        {"NAK to the read still closes with C30",
         mgPreamble() + std::vector<Step>{{textFrame("C63"), {{kTurnaroundMs, {0x15, 0x0D}}}}} +
             mgDialogue("C30", positive("")),
         -5},
        {"negative reply to the read still closes with C30",
         mgPreamble() + mgDialogue("C63", Bytes{0x02, 'N', 0x0D}) + mgDialogue("C30", positive("")),
         -5},
        {"NAK in a preparatory step sends no C30",
         std::vector<Step>{{textFrame("C0232403000000"), {{kTurnaroundMs, {0x15, 0x0D}}}}}, -5},
        // A status reply too short to carry the card status is not read as "R".
        {"short status reply",
         mgDialogue("C0232403000000", positive("")) + mgDialogue("C10", {0x02, 'P', 0x0D}) +
             mgDialogue("C20", positive("")) + mgDialogue("C63", positive("9")) +
             mgDialogue("C30", positive("")),
         1},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        open(c.script, MG_OpenCommPort);
        EXPECT_EQ(MG_CardRead(buf, 0), c.expected);
        EXPECT_EQ(fake_->finish(), requests(c.script));
        AT88RF256_12_CloseCommPort();
    }
}

TEST_F(Pellux, MgCardWrite)
{
    const Bytes data = text("GUEST-0815");
    auto script =
        mgPreamble() + mgDialogue("C73GUEST-0815", positive("")) + mgDialogue("C30", positive(""));
    open(script, MG_OpenCommPort);
    EXPECT_EQ(MG_CardWrite(data.data(), static_cast<uint8_t>(data.size())), 1);
    EXPECT_EQ(fake_->finish(), requests(script));

    // Longer than the frame area holds: refused before anything is sent.
    open({}, MG_OpenCommPort);
    const Bytes tooLong(58, 'x');
    EXPECT_EQ(MG_CardWrite(tooLong.data(), 58), -8);
    EXPECT_TRUE(fake_->finish().empty());
}

TEST_F(Pellux, MgEncoderSilent)
{
    open({silent(textFrame("C0232403000000"))}, MG_OpenCommPort);
    uint8_t buf[64];
    auto t0 = Clock::now();
    EXPECT_EQ(MG_CardRead(buf, 0), -1);
    EXPECT_GE(msSince(t0), 3000);
    EXPECT_EQ(fake_->finish(), textFrame("C0232403000000"));
}

const Bytes kZtPrefix{'/', 'W', 'R', '1', '/', 0xFF, 0x03, 0x13, 0x06, 0x0D};

// The ZT2330 answers with bytes spaced like a real line, since every wait drops what came
// before it: each of `waited` once the library waits for it, then `line` read on in one go.
std::vector<Chunk> trickle(const Bytes &waited, const Bytes &line)
{
    std::vector<Chunk> out;
    for (uint8_t b : waited)
        out.push_back({kTurnaroundMs, {b}});
    out.push_back({kTurnaroundMs, line, false});
    return out;
}

TEST_F(Pellux, Zt2330CardRead)
{
    uint8_t buf[64];
    std::memset(buf, 0xEE, sizeof buf);
    std::vector<Step> script = {
        {text("/CL0/"), {{kTurnaroundMs, {'0'}}}},
        {text("/RD1/"), trickle(Bytes{'0', 'x', 'y', 0x02}, text("1234\r"))},
    };
    open(script, MG_ZT2330_OpenCommPort);
    EXPECT_EQ(MG_ZT2330_CardRead(buf, 0), 1);
    EXPECT_EQ(Bytes(buf, buf + 6), text("1234\r") + Bytes{0xEE});
    EXPECT_EQ(fake_->finish(), requests(script));
}

TEST_F(Pellux, Zt2330CardWrite)
{
    const Bytes data = text("ROOM0815");
    const Chunk ack{kTurnaroundMs, kAckLine};
    struct Case
    {
        const char *name;
        std::vector<Chunk> answer;
        bool abandons; // sends "/CL0/" after the answer
        int expected;
    };
    const Case cases[] = {
        {"ACK then EOT", {ack, {30, {0x04}}}, false, 1},
        {"EOT after four other bytes",
         {ack, {20, {'a'}}, {20, {'b'}}, {20, {'c'}}, {20, {'d'}}, {20, {0x04}}},
         false,
         1},
        {"no ACK", {{kTurnaroundMs, {0x15, 0x0D}}}, false, -5},
        {"no EOT within five bytes",
         {ack, {20, {'a'}}, {20, {'b'}}, {20, {'c'}}, {20, {'d'}}, {20, {'e'}}},
         true,
         -5},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        std::vector<Step> script = {{kZtPrefix, {}}, {textFrame("ROOM0815"), c.answer}};
        if (c.abandons)
            script.push_back({text("/CL0/"), {{kTurnaroundMs, {'0'}}}});
        open(script, MG_ZT2330_OpenCommPort);
        EXPECT_EQ(MG_ZT2330_CardWrite(data.data(), static_cast<uint8_t>(data.size())), c.expected);
        EXPECT_EQ(fake_->finish(), requests(script));
        AT88RF256_12_CloseCommPort();
    }

    open({}, MG_ZT2330_OpenCommPort);
    const Bytes tooLong(61, 'x');
    EXPECT_EQ(MG_ZT2330_CardWrite(tooLong.data(), 61), -8);
    EXPECT_TRUE(fake_->finish().empty());
}

// ---------------------------------------------------------------- concurrency

TEST_F(Pellux, ConcurrentCallersAreSerialised)
{
    constexpr int kPerThread = 6;
    std::vector<Step> script;
    for (int i = 0; i < 2 * kPerThread; ++i)
        script.push_back(ask({0x0C}, {1}));
    open(script);
    std::atomic<int> ok{0};
    auto worker = [&] {
        for (int i = 0; i < kPerThread; ++i)
            ok += AT88RF256_12_PowerOn() == 1;
    };
    std::thread a(worker), b(worker);
    a.join();
    b.join();
    EXPECT_EQ(ok, 2 * kPerThread);
    EXPECT_EQ(fake_->finish(), requests(script));
}

} // namespace
