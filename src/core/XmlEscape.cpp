#include "core/XmlEscape.h"

#include "core/TextConvert.h"

namespace lv::core {

std::string XmlEscape(std::string_view text)
{
    static constexpr char kHex[] = "0123456789ABCDEF";
    std::string out;
    out.reserve(text.size());
    for (const char c : text) {
        const u8 b = static_cast<u8>(c);
        switch (c) {
        case '&':
            out += "&amp;";
            break;
        case '<':
            out += "&lt;";
            break;
        case '>':
            out += "&gt;";
            break;
        case '"':
            out += "&quot;";
            break;
        case '\'':
            out += "&apos;";
            break;
        default:
            if (b < 0x20) {
                out += "&#x";
                out += kHex[b >> 4];
                out += kHex[b & 0xF];
                out += ';';
            } else {
                out += c;
            }
        }
    }
    return out;
}

std::string XmlEscapeWide(WStringView text)
{
    return XmlEscape(WideToUtf8(text));
}

std::string XmlEscapeAnsi(std::string_view text)
{
    return XmlEscapeWide(ToWide(text));
}

} // namespace lv::core
