#include "morvic/morvic.h"

#include <array>
#include <gtest/gtest.h>
#include <string>

namespace {

struct Filled
{
    int16_t rc;
    std::string text;
    bool restUntouched; // no byte written past the text
};

template <class Fn> Filled call(Fn fn)
{
    std::array<uint8_t, MORVIC_BUFFER_SIZE> buffer;
    buffer.fill(0xAA);
    Filled f;
    f.rc = fn(buffer.data());
    f.text.assign(reinterpret_cast<const char *>(buffer.data() + 1), buffer[0]);
    f.restUntouched = true;
    for (size_t i = 1 + buffer[0]; i < buffer.size(); ++i)
        f.restUntouched = f.restUntouched && buffer[i] == 0xAA;
    return f;
}

Filled unit(int16_t n)
{
    return call([n](uint8_t *b) { return GetUnitStr(b, n); });
}

Filled message(int16_t n)
{
    return call([n](uint8_t *b) { return GetMsgStr(b, n, 1); });
}

bool plainAscii(const std::string &s)
{
    for (unsigned char c : s)
        if (c < 0x20 || c > 0x7E)
            return false;
    return true;
}

TEST(Morvic, UnitsAreCaptionAndQuestionFormats)
{
    for (int16_t n : {0, 1, 2}) {
        SCOPED_TRACE(n);
        Filled f = unit(n);
        EXPECT_EQ(f.rc, 1);
        EXPECT_FALSE(f.text.empty());
        EXPECT_TRUE(plainAscii(f.text));
        EXPECT_TRUE(f.restUntouched);
    }
    // Units 0 and 2 take exactly one text argument; the caption takes none.
    auto placeholders = [](const std::string &s) {
        size_t count = 0;
        for (size_t at = s.find('%'); at != std::string::npos; at = s.find('%', at + 1))
            ++count;
        return std::make_pair(count, s.find("%s") != std::string::npos);
    };
    EXPECT_EQ(placeholders(unit(0).text), std::make_pair(size_t{1}, true));
    EXPECT_EQ(placeholders(unit(1).text), std::make_pair(size_t{0}, false));
    EXPECT_EQ(placeholders(unit(2).text), std::make_pair(size_t{1}, true));

    Filled none = unit(3);
    EXPECT_EQ(none.rc, 0);
    EXPECT_EQ(none.text, "");
}

TEST(Morvic, EveryCardResultCodeHasAMessage)
{
    EXPECT_EQ(message(1).text, "Success!");
    for (int16_t code : {0, -1, -2, -15}) {
        SCOPED_TRACE(code);
        Filled f = message(code);
        EXPECT_EQ(f.rc, 1);
        EXPECT_GT(f.text.size(), 5u);
        EXPECT_TRUE(plainAscii(f.text));
        EXPECT_TRUE(f.restUntouched);
    }
    EXPECT_NE(message(-1).text, message(-2).text);
    for (int16_t other : {-3, 2, INT16_MIN, INT16_MAX}) {
        Filled f = message(other);
        EXPECT_NE(f.text.find(std::to_string(other)), std::string::npos) << f.text;
        EXPECT_TRUE(f.restUntouched);
    }
}

TEST(Morvic, NullBufferIsIgnored)
{
    EXPECT_EQ(GetUnitStr(nullptr, 0), 0);
    EXPECT_EQ(GetMsgStr(nullptr, 1, 1), 0);
}

} // namespace
