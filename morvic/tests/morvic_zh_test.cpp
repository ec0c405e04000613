// The Simplified Chinese message library: the same numbers and formats as the English one,
// in Chinese, as whole UTF-8 characters.
#include "morvic/morvic.h"

#include <array>
#include <gtest/gtest.h>
#include <string>

namespace {

std::string text(int16_t rc, const std::array<uint8_t, MORVIC_BUFFER_SIZE> &buffer)
{
    EXPECT_EQ(rc, 1);
    return std::string(reinterpret_cast<const char *>(buffer.data() + 1), buffer[0]);
}

std::string unit(int16_t n)
{
    std::array<uint8_t, MORVIC_BUFFER_SIZE> buffer{};
    return text(GetUnitStr(buffer.data(), n), buffer);
}

std::string message(int16_t n)
{
    std::array<uint8_t, MORVIC_BUFFER_SIZE> buffer{};
    return text(GetMsgStr(buffer.data(), n, 1), buffer);
}

// Whole UTF-8 sequences only, with at least one Chinese character (three bytes, lead E4-E9).
bool chineseUtf8(const std::string &s)
{
    bool chinese = false;
    for (size_t i = 0; i < s.size();) {
        const unsigned char c = static_cast<unsigned char>(s[i]);
        const size_t length = c < 0x80         ? 1
                              : (c >> 5) == 6  ? 2
                              : (c >> 4) == 14 ? 3
                              : (c >> 3) == 30 ? 4
                                               : 0;
        if (length == 0 || i + length > s.size())
            return false;
        for (size_t k = 1; k < length; ++k)
            if ((static_cast<unsigned char>(s[i + k]) & 0xC0) != 0x80)
                return false;
        chinese = chinese || (length == 3 && c >= 0xE4 && c <= 0xE9);
        i += length;
    }
    return chinese;
}

TEST(MorvicChinese, EveryTextIsChineseWithTheEnglishPlaceholders)
{
    for (int16_t n : {0, 1, 2})
        EXPECT_TRUE(chineseUtf8(unit(n))) << n;
    EXPECT_NE(unit(0).find("%s"), std::string::npos);
    EXPECT_EQ(unit(1).find('%'), std::string::npos);
    EXPECT_NE(unit(2).find("%s"), std::string::npos);
    EXPECT_EQ(message(1), "成功！");
    for (int16_t code : {0, -1, -2, -15})
        EXPECT_TRUE(chineseUtf8(message(code))) << code;
    const std::string other = message(-7);
    EXPECT_TRUE(chineseUtf8(other));
    EXPECT_NE(other.find("-7"), std::string::npos);
}

} // namespace
