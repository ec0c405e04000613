// English (US, language 1033) texts of the Morvic message library.
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

// Writes the length-prefixed text; texts longer than the buffer allows are cut at 255 bytes.
void fill(uint8_t *buffer, std::string_view text)
{
    size_t n = std::min<size_t>(text.size(), MORVIC_BUFFER_SIZE - 1);
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
    char text[64];
    int n = std::snprintf(text, sizeof text, "Card operation failed (code %d).", Number);
    fill(Buffer, std::string_view(text, static_cast<size_t>(std::max(n, 0))));
    return 1;
}
