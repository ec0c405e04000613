// The texts of the Morvic message library in one language, chosen when the library is built:
// English (US, language 1033) by default, Simplified Chinese (2052) with MORVIC_LANGUAGE=2052.
#include "morvic/morvic.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <string_view>

namespace {

struct Text
{
    int number;
    std::string_view text;
};

#if !defined(MORVIC_LANGUAGE) || MORVIC_LANGUAGE == 1033
constexpr Text kUnits[] = {
    {0, "Message %s"},
    {1, "End stays"},
    {2, "This card still opens the stay of room(s) %s. End these stays now?"},
};

// One text per card library result code.
constexpr Text kMessages[] = {
    {1, "Success!"},
    {0, "No more records on the data card."},
    {-1, "No card on the encoder! Lay a card on the encoder and try again."},
    {-2, "No encoder! Check that the card encoder is connected and switched on."},
    {-15, "Card failure! The card is damaged, of another hotel system, or of the wrong kind."},
};

constexpr const char *kOtherFailure = "Card operation failed (code %d).";
#elif MORVIC_LANGUAGE == 2052
constexpr Text kUnits[] = {
    {0, "信息 %s"},
    {1, "结束入住"},
    {2, "此卡仍能打开房间 %s 的门，这些入住现在结束吗？"},
};

constexpr Text kMessages[] = {
    {1, "成功！"},
    {0, "数据卡上没有更多记录。"},
    {-1, "发卡器上没有卡！请把卡放在发卡器上再试。"},
    {-2, "没有发卡器！请检查发卡器是否已连接并已打开电源。"},
    {-15, "卡错误！此卡已损坏、属于其他酒店系统，或卡的类型不对。"},
};

constexpr const char *kOtherFailure = "卡操作失败（代码 %d）。";
#else
#error "MORVIC_LANGUAGE names a language the library has no texts for"
#endif

// Writes the length-prefixed text; texts longer than the buffer allows are cut at 255 bytes,
// before a character whose UTF-8 bytes would not all fit.
void fill(uint8_t *buffer, std::string_view text)
{
    size_t n = std::min<size_t>(text.size(), MORVIC_BUFFER_SIZE - 1);
    while (n < text.size() && n > 0 && (static_cast<unsigned char>(text[n]) & 0xC0) == 0x80)
        --n;
    buffer[0] = static_cast<uint8_t>(n);
    if (n > 0)
        std::memcpy(buffer + 1, text.data(), n);
}

template <size_t N> const Text *find(const Text (&table)[N], int number)
{
    for (const Text &t : table)
        if (t.number == number)
            return &t;
    return nullptr;
}

} // namespace

extern "C" int16_t GetUnitStr(uint8_t *Buffer, int16_t Number)
{
    if (!Buffer)
        return 0;
    const Text *t = find(kUnits, Number);
    fill(Buffer, t ? t->text : std::string_view{});
    return t ? 1 : 0;
}

extern "C" int16_t GetMsgStr(uint8_t *Buffer, int16_t Number, int16_t)
{
    if (!Buffer)
        return 0;
    if (const Text *t = find(kMessages, Number)) {
        fill(Buffer, t->text);
        return 1;
    }
    char text[96];
    int n = std::snprintf(text, sizeof text, kOtherFailure, Number);
    fill(Buffer, std::string_view(text, static_cast<size_t>(std::max(n, 0))));
    return 1;
}
