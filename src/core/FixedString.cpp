#include "core/FixedString.h"

namespace {

u16 HashStep(u16 h, u16 word)
{
    return static_cast<u16>(static_cast<u16>((h >> 1) | (h << 15)) + word);
}

u16 FinishHash(u16 h)
{
    return h == 0 ? 1 : h;
}

template <typename Ch>
s32 CompareText(const Ch* a, const Ch* b)
{
    using U = std::make_unsigned_t<Ch>;
    for (;; ++a, ++b)
    {
        const U x = static_cast<U>(*a);
        const U y = static_cast<U>(*b);
        if (x != y)
            return x < y ? -1 : 1;
        if (y == 0)
            return 0;
    }
}

template <typename Ch>
s32 Find(const Ch* text, size_t length, const Ch* what, s32 start)
{
    if (start < 0 || static_cast<size_t>(start) > length)
        return -1;
    const size_t n = std::char_traits<Ch>::length(what);
    for (size_t i = static_cast<size_t>(start); i + n <= length; ++i)
    {
        if (std::char_traits<Ch>::compare(text + i, what, n) == 0)
            return static_cast<s32>(i);
    }
    return -1;
}

} // namespace

u16 FixedStringHash(const char* text, size_t length)
{
    const auto* bytes = reinterpret_cast<const u8*>(text);
    u16 h = 0;
    for (size_t i = 0; i < length; i += 2)
    {
        const u16 high = i + 1 < length ? bytes[i + 1] : 0;
        h = HashStep(h, static_cast<u16>(bytes[i] | (high << 8)));
    }
    return FinishHash(h);
}

u16 FixedStringHash(const WChar* text, size_t length)
{
    u16 h = 0;
    for (size_t i = 0; i < length; ++i)
        h = HashStep(h, static_cast<u16>(text[i]));
    return FinishHash(h);
}

s32 FixedStringCompareText(const char* a, const char* b)
{
    return CompareText(a, b);
}

s32 FixedStringCompareText(const WChar* a, const WChar* b)
{
    return CompareText(a, b);
}

s32 FixedStringFind(const char* text, size_t length, const char* what, s32 start)
{
    return Find(text, length, what, start);
}

s32 FixedStringFind(const WChar* text, size_t length, const WChar* what, s32 start)
{
    return Find(text, length, what, start);
}
