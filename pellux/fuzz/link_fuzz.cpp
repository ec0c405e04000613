// Fuzz target: arbitrary encoder bytes fed to the frame receiver, the bulk receiver and the
// magnetic dialogues. The first input byte picks the command, the second is its argument, the
// rest is what the encoder says. Caller buffers are heap blocks of exactly the documented size,
// so any write past them is caught.
#include "link.h"
#include "pellux.h"

#include <cstring>
#include <vector>

namespace {

class MemoryChannel final : public pellux::Channel
{
public:
    MemoryChannel(const uint8_t *data, size_t size) : data_(data), size_(size) {}
    void purgeInput() override {} // the input is what the encoder sends next
    int write(const uint8_t *, size_t) override { return pellux::kOk; }
    Wait waitReadable(int) override { return pos_ < size_ ? Wait::Ready : Wait::TimedOut; }
    int readByte(uint8_t &out, int) override
    {
        if (pos_ >= size_)
            return pellux::kIoFailed;
        out = data_[pos_++];
        return pellux::kOk;
    }
    void pauseAfterEmptyWait() override {}

private:
    const uint8_t *data_;
    size_t size_;
    size_t pos_ = 0;
};

void checkResult(int r)
{
    // Every result is one of the library's codes or a mapped encoder status.
    if (r > 1 || r < -127)
        __builtin_trap();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    if (size < 2)
        return 0;
    const uint8_t op = data[0];
    const uint8_t arg = data[1];
    pellux::attachChannel(std::make_unique<MemoryChannel>(data + 2, size - 2));
    std::vector<uint8_t> in(64, 0x5A);
    int r = 1;
    switch (op % 14) {
    case 0: {
        std::vector<uint8_t> b(4);
        r = AT88RF256_12_ReadPage(b.data(), arg & 7);
        break;
    }
    case 1: {
        std::vector<uint8_t> b(2049);
        r = AT88RF256_12_ReadDataCard(b.data());
        break;
    }
    case 2: {
        std::vector<uint8_t> b(64);
        r = MG_CardRead(b.data(), 0);
        break;
    }
    case 3: {
        std::vector<uint8_t> d(arg);
        r = MG_CardWrite(d.data(), arg);
        break;
    }
    case 4: {
        std::vector<uint8_t> b(64);
        r = MG_ZT2330_CardRead(b.data(), 0);
        break;
    }
    case 5: {
        std::vector<uint8_t> d(arg);
        r = MG_ZT2330_CardWrite(d.data(), arg);
        break;
    }
    case 6: {
        std::vector<uint8_t> b(10);
        r = TI0034_ReadRom(b.data(), arg & 3);
        break;
    }
    case 7: {
        std::vector<uint8_t> b(10);
        std::vector<uint8_t> type(1);
        r = TI0036_Write(in.data(), type.data());
        r = r == 1 ? TI0036_Read(b.data(), type.data()) : r;
        break;
    }
    case 8: {
        std::vector<uint8_t> b(arg);
        r = AT88RF256_12_ReadData(b.data(), arg >> 5, arg);
        break;
    }
    case 9: {
        std::vector<uint8_t> b(7);
        r = GetRfRwVersion_1(b.data());
        break;
    }
    case 10: {
        std::vector<uint8_t> b(4);
        r = Command57(0, 0, 0, 0, 2 + (arg & 1), arg >> 4, b.data());
        if (r == 0)
            r = 1;
        break;
    }
    case 11: {
        std::vector<uint8_t> c(2);
        r = TI0036_CalCRC16(in.data(), arg, c.data(), c.data() + 1);
        break;
    }
    case 12: {
        std::vector<uint8_t> b(8);
        r = AT88RF256_12_ReadRom(b.data());
        std::vector<uint8_t> e(4);
        if (r == 1)
            r = EM4100_ReadRom(e.data());
        break;
    }
    default: {
        std::vector<uint8_t> v(1);
        r = eeReadByte(arg, arg, v.data());
        r = r == 1 ? AT88RF256_12_WriteData(in.data(), arg >> 5, arg & 31) : r;
        break;
    }
    }
    checkResult(r);
    pellux::closePort();
    return 0;
}
