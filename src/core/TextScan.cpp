#include "core/TextScan.h"

#include <charconv>
#include <cmath>

namespace lv::core {

namespace {

bool IsBlank(u32 c)
{
    return c == ' ' || (c >= 0x09 && c <= 0x0D);
}

template <typename Ch> s32 ScanDecimal(std::basic_string_view<Ch> text)
{
    size_t i = 0;
    while (i < text.size() && IsBlank(static_cast<u32>(text[i])))
        ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == Ch('+') || text[i] == Ch('-')))
        negative = text[i++] == Ch('-');
    u32 value = 0;
    for (; i < text.size() && text[i] >= Ch('0') && text[i] <= Ch('9'); ++i)
        value = value * 10u + static_cast<u32>(text[i] - Ch('0'));
    return static_cast<s32>(negative ? 0u - value : value);
}

u32 DigitValue(char c)
{
    if (c >= '0' && c <= '9')
        return static_cast<u32>(c - '0');
    if (c >= 'a' && c <= 'f')
        return static_cast<u32>(c - 'a' + 10);
    if (c >= 'A' && c <= 'F')
        return static_cast<u32>(c - 'A' + 10);
    return 99;
}

} // namespace

bool IsWideSpace(WChar c)
{
    switch (c) {
    case 0x20:
    case 0x85:
    case 0x1680:
    case 0x2028:
    case 0x2029:
    case 0x205F:
    case 0x3000:
        return true;
    default:
        return (c >= 0x09 && c <= 0x0D) || (c >= 0x2000 && c <= 0x200A && c != 0x2007);
    }
}

s32 ScanInt(std::string_view text)
{
    return ScanDecimal(text);
}

s32 ScanInt(WStringView text)
{
    return ScanDecimal(text);
}

bool ScanIntAnyBase(std::string_view text, size_t& pos, s32& value)
{
    size_t i = pos;
    while (i < text.size() && IsBlank(static_cast<u8>(text[i])))
        ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-'))
        negative = text[i++] == '-';
    u32 base = 10;
    if (i < text.size() && text[i] == '0') {
        base = 8;
        if (i + 2 < text.size() && (text[i + 1] == 'x' || text[i + 1] == 'X') &&
            DigitValue(text[i + 2]) < 16) {
            base = 16;
            i += 2;
        }
    }
    const size_t first = i;
    u32 v = 0;
    for (; i < text.size() && DigitValue(text[i]) < base; ++i)
        v = v * base + DigitValue(text[i]);
    if (i == first)
        return false;
    value = static_cast<s32>(negative ? 0u - v : v);
    pos = i;
    return true;
}

double ScanReal(std::string_view text)
{
    size_t i = 0;
    while (i < text.size() && IsBlank(static_cast<u8>(text[i])))
        ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-'))
        negative = text[i++] == '-';
    std::chars_format format = std::chars_format::general;
    if (i + 1 < text.size() && text[i] == '0' && (text[i + 1] == 'x' || text[i + 1] == 'X')) {
        format = std::chars_format::hex;
        i += 2;
    }
    double value = 0;
    const char* begin = text.data() + i;
    const std::from_chars_result r = std::from_chars(begin, text.data() + text.size(), value, format);
    if (r.ec == std::errc::result_out_of_range) {
        // Too large or too small: what strtod gives, infinity or zero with the sign.
        bool tiny = false;
        for (const char* p = begin; p < r.ptr; ++p)
            if (*p == 'e' || *p == 'E' || *p == 'p' || *p == 'P') {
                tiny = p + 1 < r.ptr && p[1] == '-';
                break;
            }
        value = tiny ? 0.0 : HUGE_VAL;
    } else if (r.ec != std::errc()) {
        value = 0;
    }
    return negative ? -value : value;
}

s32 TruncateToInt(double value)
{
    if (std::isnan(value))
        return 0;
    if (value >= 2147483647.0)
        return 2147483647;
    if (value <= -2147483648.0)
        return -2147483647 - 1;
    return static_cast<s32>(value);
}

} // namespace lv::core
