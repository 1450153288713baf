#include "core/XmlColor.h"

#include <limits>
#include <optional>

namespace {

bool IsSpace(char c)
{
    return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

void SkipSpace(std::string_view text, size_t& i)
{
    while (i < text.size() && IsSpace(text[i]))
        ++i;
}

int DigitValue(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return 99;
}

// One "%hi" field: leading space, optional sign, base from the prefix. The value is kept
// modulo 2^16 (what a 16-bit store of the full value gives), so any digit count is safe.
std::optional<s16> ReadShort(std::string_view text, size_t& i)
{
    SkipSpace(text, i);
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-'))
        negative = text[i++] == '-';
    int base = 10;
    bool any = false;
    if (i < text.size() && text[i] == '0')
    {
        base = 8;
        any = true;
        ++i;
        if (i + 1 < text.size() && (text[i] == 'x' || text[i] == 'X') && DigitValue(text[i + 1]) < 16)
        {
            base = 16;
            ++i;
        }
    }
    u16 value = 0;
    for (; i < text.size() && DigitValue(text[i]) < base; ++i, any = true)
        value = static_cast<u16>(value * base + DigitValue(text[i]));
    if (!any)
        return std::nullopt;
    if (negative)
        value = static_cast<u16>(0u - value);
    return static_cast<s16>(value);
}

// strtol in base 10 with explicit 32-bit saturation, independent of the width of long.
s32 ReadSaturatedDecimal(std::string_view text)
{
    size_t i = 0;
    SkipSpace(text, i);
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-'))
        negative = text[i++] == '-';
    const s64 limit = negative ? -s64(std::numeric_limits<s32>::min()) : std::numeric_limits<s32>::max();
    s64 value = 0;
    for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i)
    {
        value = value * 10 + (text[i] - '0');
        if (value > limit)
            value = limit;
    }
    return static_cast<s32>(negative ? -value : value);
}

} // namespace

void ParseXmlColor(CColor& out, std::string_view text)
{
    if (text.empty())
    {
        out = CColor(0u);
        return;
    }
    if (text[0] == '#')
    {
        CColor color; // white, so that missing trailing values stay 255
        s16* channels[] = {&color.A, &color.R, &color.G, &color.B};
        size_t i = 1;
        for (s16* channel : channels)
        {
            const std::optional<s16> value = ReadShort(text, i);
            if (!value)
                break;
            *channel = *value;
        }
        out = color;
        return;
    }
    out = CColor(static_cast<u32>(ReadSaturatedDecimal(text)));
}
