#include "core/XmlParser.h"

#include <algorithm>
#include <cstring>
#include <limits>
#include <string_view>
#include <vector>

namespace lv::core {
namespace {

// Name characters are ASCII letters, digits and '_'; no byte of 0x80 and above is one.
struct CharTable
{
    bool name[256];
};

constexpr CharTable MakeCharTable()
{
    CharTable t{};
    for (int c = 0; c < 256; ++c)
        t.name[c] = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '_';
    return t;
}

constexpr CharTable kChars = MakeCharTable();

inline bool IsNameChar(char c)
{
    return kChars.name[static_cast<u8>(c)];
}

// Length of the UTF-8 sequence a lead byte announces; stray and invalid leads count as one.
inline size_t Utf8SequenceLength(char c)
{
    const u8 b = static_cast<u8>(c);
    if (b < 0xC2)
        return 1;
    if (b < 0xE0)
        return 2;
    if (b < 0xF0)
        return 3;
    if (b < 0xF5)
        return 4;
    return 1;
}

struct Entity
{
    std::string_view pattern;
    char replacement;
};

// Tried in this order.
constexpr Entity kEntities[] = {
    {"&lt;", '<'}, {"&gt;", '>'}, {"&amp;", '&'}, {"&quot;", '"'}, {"&apos;", '\''},
};

inline int DecimalDigit(char c)
{
    return c >= '0' && c <= '9' ? c - '0' : -1;
}

// Only upper-case hexadecimal digits belong to the dialect.
inline int HexDigit(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

// Reads a reference at p (which holds '&'), never looking past avail bytes. Accepts the five
// named entities and "&#D;", "&#DD;", "&#xH;", "&#xHH;"; anything else is not a reference and
// the '&' stays as it is.
bool MatchReference(const char* p, size_t avail, size_t& consumed, char& value)
{
    const std::string_view rest(p, avail);
    for (const Entity& e : kEntities) {
        if (rest.starts_with(e.pattern)) {
            consumed = e.pattern.size();
            value = e.replacement;
            return true;
        }
    }
    if (avail < 4 || p[1] != '#')
        return false;
    const bool hex = p[2] == 'x';
    const size_t first = hex ? 3 : 2;
    auto digit = [hex](char c) { return hex ? HexDigit(c) : DecimalDigit(c); };
    const int base = hex ? 16 : 10;
    if (first >= avail)
        return false;
    const int d0 = digit(p[first]);
    if (d0 < 0)
        return false;
    if (first + 1 < avail && p[first + 1] == ';') {
        consumed = first + 2;
        value = static_cast<char>(d0);
        return true;
    }
    if (first + 2 < avail) {
        const int d1 = digit(p[first + 1]);
        if (d1 >= 0 && p[first + 2] == ';') {
            consumed = first + 3;
            value = static_cast<char>(d0 * base + d1);
            return true;
        }
    }
    return false;
}

class CXmlWalk
{
public:
    CXmlWalk(const char* text, size_t length, void* user, XmlElementStartFn onElementStart,
             XmlAttributeFn onAttribute, XmlAttributesEndFn onAttributesEnd, XmlElementEndFn onElementEnd,
             XmlTextFn onText)
        : m_Text(text), m_End(length), m_User(user), m_OnElementStart(onElementStart),
          m_OnAttribute(onAttribute), m_OnAttributesEnd(onAttributesEnd), m_OnElementEnd(onElementEnd),
          m_OnText(onText)
    {
    }

    int Run();

private:
    static constexpr size_t npos = std::string_view::npos;

    size_t Find(char c, size_t from) const
    {
        if (from >= m_End)
            return npos;
        const void* hit = std::memchr(m_Text + from, c, m_End - from);
        return hit ? static_cast<size_t>(static_cast<const char*>(hit) - m_Text) : npos;
    }

    size_t Find(std::string_view what, size_t from) const
    {
        return std::string_view(m_Text, m_End).find(what, from);
    }

    char At(size_t pos) const { return m_Text[pos]; }

    XmlToken Token(size_t from, size_t to) const { return {m_Text + from, static_cast<u32>(to - from)}; }

    char* Buffer(size_t need)
    {
        need = std::max<size_t>(need, 128);
        if (m_Decoded.size() < need)
            m_Decoded.resize(need);
        return m_Decoded.data();
    }

    size_t Decode(const char* src, size_t n, bool stepSequences, char* out) const;
    bool HasAmpersand(const char* src, size_t n) const;
    void ReportText(XmlFrame* frames, int depth);

    const char* m_Text;
    size_t m_End;
    void* m_User;
    XmlElementStartFn m_OnElementStart;
    XmlAttributeFn m_OnAttribute;
    XmlAttributesEndFn m_OnAttributesEnd;
    XmlElementEndFn m_OnElementEnd;
    XmlTextFn m_OnText;
    bool m_Utf8 = false;
    std::vector<char> m_Decoded;
};

size_t CXmlWalk::Decode(const char* src, size_t n, bool stepSequences, char* out) const
{
    size_t o = 0;
    size_t i = 0;
    while (i < n) {
        if (src[i] == '&') {
            size_t consumed = 0;
            char value = 0;
            if (MatchReference(src + i, n - i, consumed, value)) {
                out[o++] = value;
                i += consumed;
            } else {
                out[o++] = '&';
                ++i;
            }
            continue;
        }
        const size_t step = stepSequences ? std::min(Utf8SequenceLength(src[i]), n - i) : 1;
        std::memcpy(out + o, src + i, step);
        o += step;
        i += step;
    }
    return o;
}

bool CXmlWalk::HasAmpersand(const char* src, size_t n) const
{
    for (size_t i = 0; i < n; i += m_Utf8 ? Utf8SequenceLength(src[i]) : 1) {
        if (src[i] == '&')
            return true;
    }
    return false;
}

void CXmlWalk::ReportText(XmlFrame* frames, int depth)
{
    XmlFrame& frame = frames[depth];
    if (!HasAmpersand(frame.text.start, frame.text.length)) {
        m_OnText(m_User, frames, depth, m_Utf8);
        return;
    }
    char* out = Buffer(size_t(frame.text.length) + 1);
    const size_t n = Decode(frame.text.start, frame.text.length, m_Utf8, out);
    out[n] = '\0';
    // Callers of decoded texts get the zero counted in the length.
    const XmlToken original = frame.text;
    frame.text = {out, static_cast<u32>(n + 1)};
    m_OnText(m_User, frames, depth, m_Utf8);
    frame.text = original;
}

int CXmlWalk::Run()
{
    // The prolog is the first tag; it must mention "xml" and may switch UTF-8 mode on.
    const size_t prologEnd = Find('>', 0);
    if (prologEnd == npos)
        return 0;
    const std::string_view prolog(m_Text, prologEnd + 1);
    if (prolog.find("xml") == npos)
        return 0;
    m_Utf8 = prolog.find("utf-8") != npos || prolog.find("UTF-8") != npos;

    XmlFrame frames[kXmlMaxDepth] = {};
    int depth = 0;
    size_t pos = prologEnd + 1;

    for (;;) {
        const size_t lt = Find('<', pos);
        if (lt == npos)
            return 1;
        pos = lt + 1;
        if (pos >= m_End)
            return 1;

        if (At(pos) == '/') {
            // Any closing tag closes the innermost open element; its name is not checked.
            if (depth == 0)
                return 0;
            --depth;
            if (!(pos + 1 < m_End && At(pos + 1) == '>')) {
                XmlFrame& frame = frames[depth];
                frame.text.length = frame.text.start ? static_cast<u32>(lt - (frame.text.start - m_Text)) : 0;
                if (m_OnText && frame.text.start)
                    ReportText(frames, depth);
                if (m_OnElementEnd)
                    m_OnElementEnd(m_User, frames, depth);
            }
            const size_t gt = Find('>', pos + 1);
            if (gt == npos)
                return 1;
            pos = gt + 1;
            continue;
        }

        // A child element or a comment means the enclosing element has mixed content: no text.
        if (depth > 0)
            frames[depth - 1].text.start = nullptr;

        if (m_End - pos >= 3 && std::memcmp(m_Text + pos, "!--", 3) == 0) {
            const size_t close = Find("-->", pos + 3);
            if (close == npos)
                return 1;
            pos = close + 3;
            continue;
        }

        // Start tag. Leading non-name bytes ('?', '!', blanks, line breaks) are passed over.
        while (pos < m_End && !IsNameChar(At(pos)))
            ++pos;
        if (pos >= m_End)
            return 1;
        const size_t nameStart = pos;
        while (pos < m_End && IsNameChar(At(pos)))
            ++pos;
        frames[depth].name = Token(nameStart, pos);
        if (m_OnElementStart)
            m_OnElementStart(m_User, frames, depth);

        for (;;) {
            while (pos < m_End && !IsNameChar(At(pos)) && At(pos) != '/' && At(pos) != '>')
                ++pos;
            if (pos >= m_End)
                return 1;
            if (At(pos) == '/' || At(pos) == '>')
                break;
            const size_t attrStart = pos;
            while (pos < m_End && IsNameChar(At(pos)))
                ++pos;
            const XmlToken name = Token(attrStart, pos);
            // Whatever lies between the name and the first quote (normally '=') is not checked.
            while (pos < m_End && At(pos) != '"' && At(pos) != '\'')
                ++pos;
            if (pos >= m_End)
                return 1;
            const char quote = At(pos++);
            const size_t valueStart = pos;
            bool ampersand = false;
            while (pos < m_End && At(pos) != quote) {
                ampersand |= At(pos) == '&';
                pos += m_Utf8 ? Utf8SequenceLength(At(pos)) : 1;
            }
            if (pos >= m_End)
                return 1;
            XmlToken value = Token(valueStart, pos);
            ++pos;
            if (ampersand) {
                char* out = Buffer(value.length);
                value = {out, static_cast<u32>(Decode(value.start, value.length, false, out))};
            }
            if (m_OnAttribute)
                m_OnAttribute(m_User, frames, depth, &name, &value, m_Utf8);
        }

        if (m_OnAttributesEnd)
            m_OnAttributesEnd(m_User, frames, depth);
        if (At(pos) == '/') {
            if (pos + 1 >= m_End || At(pos + 1) != '>')
                return 1; // a stray '/' inside a tag ends the walk quietly
            pos += 2;
            if (m_OnElementEnd)
                m_OnElementEnd(m_User, frames, depth);
            continue;
        }
        // '>': the element is open; the next frame must exist for its children.
        if (depth + 1 >= kXmlMaxDepth)
            return 0;
        ++pos;
        frames[depth].text = {m_Text + pos, 0};
        ++depth;
        frames[depth].text = {nullptr, 0};
    }
}

} // namespace

int ParseXml(const char* text, size_t length, void* user, XmlElementStartFn onElementStart,
             XmlAttributeFn onAttribute, XmlAttributesEndFn onAttributesEnd, XmlElementEndFn onElementEnd,
             XmlTextFn onText)
{
    // Tokens carry 32-bit lengths.
    if (!text || length == 0 || length > std::numeric_limits<u32>::max())
        return 0;
    CXmlWalk walk(text, length, user, onElementStart, onAttribute, onAttributesEnd, onElementEnd, onText);
    return walk.Run();
}

} // namespace lv::core
