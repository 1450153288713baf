#include "platform/Utf16.h"

namespace lv::platform {

namespace {

constexpr char32_t kReplacement = 0xFFFD;

std::string_view UpToZero(std::string_view s)
{
    auto z = s.find('\0');
    return z == std::string_view::npos ? s : s.substr(0, z);
}

WStringView UpToZero(WStringView s)
{
    auto z = s.find(u'\0');
    return z == WStringView::npos ? s : s.substr(0, z);
}

void AppendUtf16(WString& out, char32_t c)
{
    if (c >= 0x10000) {
        c -= 0x10000;
        out.push_back(static_cast<WChar>(0xD800 + (c >> 10)));
        out.push_back(static_cast<WChar>(0xDC00 + (c & 0x3FF)));
    } else {
        out.push_back(static_cast<WChar>(c));
    }
}

void AppendUtf8(std::string& out, char32_t c)
{
    if (c < 0x80) {
        out.push_back(static_cast<char>(c));
    } else if (c < 0x800) {
        out.push_back(static_cast<char>(0xC0 | (c >> 6)));
        out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
    } else if (c < 0x10000) {
        out.push_back(static_cast<char>(0xE0 | (c >> 12)));
        out.push_back(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
    } else {
        out.push_back(static_cast<char>(0xF0 | (c >> 18)));
        out.push_back(static_cast<char>(0x80 | ((c >> 12) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
    }
}

} // namespace

WString Utf8ToUtf16(std::string_view text)
{
    text = UpToZero(text);
    WString out;
    out.reserve(text.size());
    size_t i = 0;
    const size_t n = text.size();
    while (i < n) {
        const u8 b = static_cast<u8>(text[i]);
        if (b < 0x80) {
            out.push_back(b);
            ++i;
            continue;
        }
        int extra = 0;
        char32_t c = 0;
        char32_t min = 0;
        if ((b & 0xE0) == 0xC0) { extra = 1; c = b & 0x1F; min = 0x80; }
        else if ((b & 0xF0) == 0xE0) { extra = 2; c = b & 0x0F; min = 0x800; }
        else if ((b & 0xF8) == 0xF0) { extra = 3; c = b & 0x07; min = 0x10000; }
        else { AppendUtf16(out, kReplacement); ++i; continue; }
        size_t j = i + 1;
        int got = 0;
        while (got < extra && j < n && (static_cast<u8>(text[j]) & 0xC0) == 0x80) {
            c = (c << 6) | (static_cast<u8>(text[j]) & 0x3F);
            ++j;
            ++got;
        }
        if (got < extra || c < min || c > 0x10FFFF || (c >= 0xD800 && c <= 0xDFFF)) {
            // A broken sequence is one replacement; its valid continuation bytes go with it.
            AppendUtf16(out, kReplacement);
            i = j;
            continue;
        }
        AppendUtf16(out, c);
        i = j;
    }
    return out;
}

std::string Utf16ToUtf8(WStringView text)
{
    text = UpToZero(text);
    std::string out;
    out.reserve(text.size());
    for (size_t i = 0; i < text.size(); ++i) {
        char32_t c = text[i];
        if (c >= 0xD800 && c <= 0xDBFF) {
            if (i + 1 < text.size() && text[i + 1] >= 0xDC00 && text[i + 1] <= 0xDFFF) {
                c = 0x10000 + ((c - 0xD800) << 10) + (text[i + 1] - 0xDC00);
                ++i;
            } else {
                c = kReplacement;
            }
        } else if (c >= 0xDC00 && c <= 0xDFFF) {
            c = kReplacement;
        }
        AppendUtf8(out, c);
    }
    return out;
}

size_t WideLength(const WChar* text)
{
    size_t n = 0;
    while (text[n] != 0)
        ++n;
    return n;
}

} // namespace lv::platform
