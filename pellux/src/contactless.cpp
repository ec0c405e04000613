// Contactless card commands: one checked frame exchange per command.
#include "link.h"
#include "pellux.h"

#include <algorithm>
#include <cstring>

using namespace pellux;

namespace {

constexpr int16_t kShortSecs = 1;
constexpr int16_t kReadSecs = 2;
constexpr int16_t kLongSecs = 3;
constexpr int kLastWritablePage = 6;
constexpr int kLastReadablePage = 7;
constexpr int kReadPagePairs = 3;

uint8_t *xbuf()
{
    return link().exchange;
}

uint8_t pageByte(int page, uint8_t operation)
{
    return static_cast<uint8_t>(((page * 16) & 0x70) | operation);
}

// Builds the request payload in the exchange buffer and runs the exchange.
int command(std::initializer_list<uint8_t> payload, int16_t seconds, size_t replyData,
            const uint8_t *tail = nullptr, size_t tailLen = 0)
{
    uint8_t *x = xbuf();
    size_t n = 0;
    for (uint8_t b : payload)
        x[n++] = b;
    if (tailLen)
        std::memcpy(x + n, tail, tailLen);
    return exchangeCommand(n + tailLen, seconds, replyData);
}

int writePage(const uint8_t data[4], int page)
{
    if (page > kLastWritablePage)
        return kBadArgument;
    int r = kOk;
    for (int attempt = 0; attempt < 2; ++attempt) {
        r = command({0x01, pageByte(page, 0x08)}, kLongSecs, 0, data, 4);
        if (r == kOk)
            break;
    }
    return r;
}

// Reads the page twice. The caller's buffer receives the first reading at once; when the two
// readings disagree the pair is taken again, and after three disagreeing pairs the read fails
// with -5 instead of handing out a reading that could not be confirmed.
int readPage(uint8_t out[4], int page)
{
    if (page > kLastReadablePage)
        return kBadArgument;
    for (int pair = 0; pair < kReadPagePairs; ++pair) {
        int r = command({0x02, pageByte(page, 0x04)}, kLongSecs, 4);
        if (r != kOk)
            return r;
        uint8_t first[4];
        std::memcpy(first, xbuf() + 1, 4);
        std::memcpy(out, first, 4);
        r = command({0x02, pageByte(page, 0x04)}, kLongSecs, 4);
        if (r != kOk)
            return r;
        if (std::memcmp(first, xbuf() + 1, 4) == 0)
            return kOk;
    }
    return kBadVerify;
}

int ti0036Read(uint8_t data[10], uint8_t *type)
{
    int r = command({0x1F}, kReadSecs, 11);
    if (r != kOk)
        return r;
    *type = xbuf()[1];
    std::memcpy(data, xbuf() + 2, 10);
    return kOk;
}

int calCrc16(const uint8_t *data, uint8_t length, uint8_t *crc0, uint8_t *crc1)
{
    if (length > 16)
        return kBadArgument;
    int r = command({0x20, length}, kShortSecs, 2, data, length);
    if (r != kOk)
        return r;
    *crc0 = xbuf()[1];
    *crc1 = xbuf()[2];
    return kOk;
}

int16_t result(int r)
{
    return static_cast<int16_t>(r);
}

using Guard = std::lock_guard<std::mutex>;

const char kVersionText[] = "V1.01 5/5/2002 (Tirvo.dll)";
const uint8_t kNotConnected[7] = {0xCE, 0xB4, 0xC1, 0xAC, 0xBD, 0xD3, 0x00}; // GB2312

} // namespace

extern "C" {

int16_t AT88RF256_12_WritePage(const uint8_t data[4], uint8_t page)
{
    if (!data)
        return kBadArgument;
    Guard g(linkMutex());
    return result(writePage(data, page));
}

int16_t AT88RF256_12_ReadPage(uint8_t buffer[4], uint8_t page)
{
    if (!buffer)
        return kBadArgument;
    Guard g(linkMutex());
    return result(readPage(buffer, page));
}

int16_t AT88RF256_12_WriteLockByte(uint8_t lock)
{
    Guard g(linkMutex());
    return result(
        command({0x03, 0x0C, static_cast<uint8_t>(lock | 0x80), 0x55, 0x55, 0x55}, kLongSecs, 0));
}

int16_t AT88RF256_12_WriteConfigurationBits(const uint8_t config[3])
{
    if (!config)
        return kBadArgument;
    Guard g(linkMutex());
    return result(command({0x04, 0x4C, 0x55}, kLongSecs, 0, config, 3));
}

int16_t AT88RF256_12_WritePassword(const uint8_t password[4])
{
    if (!password)
        return kBadArgument;
    Guard g(linkMutex());
    int r = kOk;
    for (int attempt = 0; attempt < 2; ++attempt) {
        uint8_t *x = xbuf();
        x[0] = 0x05;
        x[1] = 0x1C;
        std::memcpy(x + 2, password, 4);
        r = sendFrame(6);
        if (r != kOk)
            return result(r); // a failed send is not retried
        r = receiveReply(kLongSecs, 0);
        if (r == kOk)
            break;
    }
    return result(r);
}

int16_t AT88RF256_12_DisableChip(void)
{
    Guard g(linkMutex());
    return result(command({0x06, 0x60}, kLongSecs, 0));
}

int16_t AT88RF256_12_CheckPassword(const uint8_t password[4])
{
    if (!password)
        return kBadArgument;
    Guard g(linkMutex());
    return result(command({0x07, 0x70}, kLongSecs, 0, password, 4));
}

int16_t AT88RF256_12_ReadDataCard(uint8_t buffer[2049])
{
    if (!buffer)
        return kBadArgument;
    Guard g(linkMutex());
    if (!link().channel)
        return kNoPort;
    xbuf()[0] = 0x09;
    int r = sendFrame(1);
    if (r != kOk)
        return result(r);
    return result(receiveBulk(buffer));
}

int16_t GetRfRwVersion_1(uint8_t *buffer)
{
    if (!buffer)
        return kBadArgument;
    Guard g(linkMutex());
    int r = command({0x0A}, kShortSecs, 5);
    if (r == kOk)
        std::memcpy(buffer, xbuf() + 1, 5);
    else
        std::memcpy(buffer, kNotConnected, sizeof kNotConnected);
    return result(r);
}

int16_t AT88RF256_12_Beep(uint8_t parameter)
{
    Guard g(linkMutex());
    return result(command({0x0B, parameter}, kShortSecs, 0));
}

int16_t AT88RF256_12_PowerOn(void)
{
    Guard g(linkMutex());
    return result(command({0x0C}, kShortSecs, 0));
}

int16_t AT88RF256_12_PowerOff(void)
{
    Guard g(linkMutex());
    return result(command({0x0D}, kShortSecs, 0));
}

int16_t eeWriteByte(uint8_t first, uint8_t second, const uint8_t *value)
{
    if (!value)
        return kBadArgument;
    Guard g(linkMutex());
    return result(command({0x14, first, second, *value}, kShortSecs, 0));
}

int16_t eeReadByte(uint8_t first, uint8_t second, uint8_t *value)
{
    if (!value)
        return kBadArgument;
    Guard g(linkMutex());
    int r = command({0x15, first, second}, kShortSecs, 1);
    if (r == kOk)
        *value = xbuf()[1];
    return result(r);
}

int16_t TI0036_Write(const uint8_t data[10], uint8_t *type)
{
    if (!data || !type)
        return kBadArgument;
    Guard g(linkMutex());
    uint8_t *x = xbuf();
    x[0] = 0x1E;
    x[1] = 0xBB;
    x[2] = 0xEB;
    std::memcpy(x + 3, data, 10);
    x[13] = 0x00;
    x[14] = 0x03;
    x[15] = 0x00;
    int r = exchangeCommand(16, kLongSecs, 11);
    if (r != kOk)
        return result(r);
    *type = x[1];
    return std::memcmp(x + 2, data, 10) == 0 ? kOk : kBadVerify;
}

int16_t TI0036_Read(uint8_t data[10], uint8_t *type)
{
    if (!data || !type)
        return kBadArgument;
    Guard g(linkMutex());
    return result(ti0036Read(data, type));
}

int16_t TI0036_CalCRC16(const uint8_t *data, uint8_t length, uint8_t *crc0, uint8_t *crc1)
{
    if ((!data && length) || !crc0 || !crc1)
        return kBadArgument;
    Guard g(linkMutex());
    return result(calCrc16(data, length, crc0, crc1));
}

int16_t EM4100_ReadRom(uint8_t buffer[4])
{
    if (!buffer)
        return kBadArgument;
    Guard g(linkMutex());
    int r = command({0x23}, kLongSecs, 4);
    if (r == kOk)
        std::memcpy(buffer, xbuf() + 1, 4);
    return result(r);
}

int16_t Command57(uint8_t, uint8_t, uint32_t, uint8_t, uint8_t mode, uint8_t block, uint8_t data[4])
{
    if (mode != 2 && mode != 3)
        return kBadMode;
    if (block > 7 || !data)
        return kBadArgument;
    Guard g(linkMutex());
    int r = mode == 2 ? command({0x24, block}, kLongSecs, 0, data, 4)
                      : command({0x28, block}, kLongSecs, 4);
    // Success is 0 here, so an encoder status of 0 or 0x80 (which the status rule turns into 0)
    // must not pass for one.
    if (r == 0)
        return kIoFailed;
    if (r != kOk)
        return result(r);
    if (mode == 3)
        std::memcpy(data, xbuf() + 1, 4);
    return 0;
}

int16_t AT88RF256_12_WriteData(const uint8_t *data, uint8_t startPage, uint8_t length)
{
    if (!data && length)
        return kBadArgument;
    Guard g(linkMutex());
    // Pages are written whole; the bytes of a last, partly filled page beyond the data are 0.
    int page = startPage;
    for (int offset = 0; offset < length; offset += 4, ++page) {
        uint8_t block[4] = {0, 0, 0, 0};
        std::memcpy(block, data + offset, std::min(4, length - offset));
        int r = writePage(block, page);
        if (r != kOk)
            return result(r);
    }
    return kOk;
}

int16_t AT88RF256_12_ReadData(uint8_t *buffer, uint8_t startPage, uint8_t length)
{
    if (!buffer && length)
        return kBadArgument;
    Guard g(linkMutex());
    for (int offset = 0; offset < length; offset += 4) {
        uint8_t page[4];
        int r = readPage(page, startPage + offset / 4);
        if (r != kOk)
            return result(r);
        std::memcpy(buffer + offset, page, std::min(4, length - offset));
    }
    return kOk;
}

int16_t AT88RF256_12_ReadRom(uint8_t buffer[8])
{
    if (!buffer)
        return kBadArgument;
    Guard g(linkMutex());
    uint8_t work[4] = {0, 0, 0, 0};
    int r = readPage(work, kLastReadablePage);
    std::memcpy(buffer, work, 4);
    std::memset(buffer + 4, 0, 4);
    return result(r);
}

int16_t TI0034_ReadRom(uint8_t data[10], uint8_t tries)
{
    if (!data)
        return kBadArgument;
    Guard g(linkMutex());
    for (int i = 0; i < tries; ++i) {
        uint8_t type = 0;
        int r = ti0036Read(data, &type);
        if (r == kNoPort)
            return kNoPort;
        if (r != kOk)
            continue;
        if (type != 0x52)
            return -4;
        uint8_t crc0 = 0, crc1 = 0;
        r = calCrc16(data, 10, &crc0, &crc1);
        if (r != kOk)
            return result(r);
        if (crc0 == 0 && crc1 == 0)
            return kOk;
    }
    return -3;
}

int16_t GetRfDllVersion_0(char *buffer)
{
    if (!buffer)
        return kBadArgument;
    std::memcpy(buffer, kVersionText, sizeof kVersionText);
    return kOk;
}

} // extern "C"
