#include "graphics/FontBuilder.h"

#include <cstdlib>
#include <cstring>

#include "core/TextConvert.h"
#include "core/TextScan.h"
#include "core/XmlParser.h"

namespace lv::graphics {

namespace {

using lv::core::XmlFrame;
using lv::core::XmlToken;

bool Is(std::string_view name, const char* keyword)
{
    const size_t n = std::strlen(keyword);
    if (name.size() != n)
        return false;
    for (size_t i = 0; i < n; ++i) {
        char a = name[i], b = keyword[i];
        if (a >= 'A' && a <= 'Z')
            a = static_cast<char>(a - 'A' + 'a');
        if (b >= 'A' && b <= 'Z')
            b = static_cast<char>(b - 'A' + 'a');
        if (a != b)
            return false;
    }
    return true;
}

// Up to `count` "%i" conversions separated by blanks, stopping at the first that fails; returns
// how many succeeded.
size_t ScanInts(std::string_view text, s32* values, size_t count)
{
    size_t pos = 0, n = 0;
    while (n < count && lv::core::ScanIntAnyBase(text, pos, values[n]))
        ++n;
    return n;
}

} // namespace

struct CFontXmlCallbacks
{
    static void Attribute(void* user, XmlFrame* frames, int depth, const XmlToken* name,
                          const XmlToken* value, bool)
    {
        static_cast<CFontBuilder*>(user)->Attribute(
            std::string_view(frames[depth].name.start, frames[depth].name.length),
            std::string_view(name->start, name->length), std::string_view(value->start, value->length));
    }
    static void AttributesEnd(void* user, XmlFrame* frames, int depth)
    {
        static_cast<CFontBuilder*>(user)->AttributesEnd(
            std::string_view(frames[depth].name.start, frames[depth].name.length));
    }
};

void CFontBuilder::Parse(const char* text, size_t length)
{
    lv::core::ParseXml(text, length, this, nullptr, CFontXmlCallbacks::Attribute,
                       CFontXmlCallbacks::AttributesEnd, nullptr, nullptr);
}

void CFontBuilder::Attribute(std::string_view element, std::string_view name, std::string_view value)
{
    using lv::core::ScanInt;
    if (Is(element, "Font")) {
        if (Is(name, "Padding")) {
            s32 v[4] = {m_Metrics.padLeft, m_Metrics.padTop, m_Metrics.padRight, m_Metrics.padBottom};
            ScanInts(value, v, 4);
            m_Metrics.padLeft = v[0];
            m_Metrics.padTop = v[1];
            m_Metrics.padRight = v[2];
            m_Metrics.padBottom = v[3];
        } else if (Is(name, "Space")) {
            m_Metrics.space = ScanInt(value);
        } else if (Is(name, "PixHeight")) {
            m_Metrics.pixelHeight =
                static_cast<s32>(static_cast<u32>(ScanInt(value)) - static_cast<u32>(m_Metrics.padTop) -
                                 static_cast<u32>(m_Metrics.padBottom));
        } else if (Is(name, "Baseline")) {
            m_Metrics.baseline =
                static_cast<s32>(static_cast<u32>(m_Metrics.pixelHeight) - static_cast<u32>(ScanInt(value)));
        } else if (Is(name, "SymbolGap")) {
            m_Metrics.symbolGap = ScanInt(value);
        } else if (Is(name, "LineGap")) {
            m_Metrics.lineGap = ScanInt(value);
        } else if (Is(name, "Version")) {
            m_Version = ScanInt(value);
        }
    } else if (Is(element, "Char")) {
        if (Is(name, "Rect")) {
            s32 v[4] = {m_Current.x, m_Current.y, 0, 0};
            ScanInts(value, v, 4);
            const s16 x1 = static_cast<s16>(v[0]), y1 = static_cast<s16>(v[1]);
            const s16 x2 = static_cast<s16>(v[2]), y2 = static_cast<s16>(v[3]);
            m_Current.x = x1;
            m_Current.y = y1;
            m_Current.width = static_cast<s16>(x2 - x1);
            m_Current.height = static_cast<s16>(y2 - y1 + (m_Version < 2 ? 1 : 0));
        } else if (Is(name, "Width")) {
            m_Current.advance = static_cast<u8>(lv::core::TruncateToInt(lv::core::ScanReal(value)));
        } else if (Is(name, "Code")) {
            const WString code = Utf8ToWide(value);
            m_Current.code = code.empty() ? 0 : static_cast<u16>(code[0]);
        } else if (Is(name, "TopOffset")) {
            m_Current.topOffset = static_cast<u8>(ScanInt(value));
        }
    } else if (Is(element, "Pair")) {
        if (Is(name, "Chars"))
            m_PairChars = Utf8ToWide(value);
        else if (Is(name, "Value"))
            m_Kerning.emplace(m_PairChars, Utf8ToWide(value));
    }
}

void CFontBuilder::AttributesEnd(std::string_view element)
{
    if (Is(element, "Char"))
        m_Glyphs[m_Current.code].record = m_Current;
}

void CFontBuilder::Finalize(u16 textureWidth, u16 textureHeight)
{
    std::map<u16, std::map<u16, s32>> table;
    m_CountedPairs = 0;
    for (const auto& [chars, value] : m_Kerning) {
        if (chars.size() < 2)
            continue;
        table[static_cast<u16>(chars[1])][static_cast<u16>(chars[0])] = lv::core::ScanInt(WStringView(value));
        ++m_CountedPairs;
    }
    const float w = textureWidth, h = textureHeight;
    for (auto& [code, glyph] : m_Glyphs) {
        const auto found = table.find(code);
        glyph.pairs = found != table.end() ? found->second : std::map<u16, s32>();
        FontGlyph& g = glyph.record;
        g.uLeft = static_cast<float>(g.x) / w;
        g.vTop = static_cast<float>(g.y) / h;
        g.uRight = static_cast<float>(g.x + g.width) / w;
        g.vBottom = static_cast<float>(g.y + g.height) / h;
    }
    CGlyph space;
    space.record.code = 32;
    space.record.advance = static_cast<u8>(m_Metrics.space);
    m_Glyphs[32] = space;
    CGlyph newline;
    newline.record.code = 10;
    m_Glyphs[10] = newline;
}

u8* CFontBuilder::Build(u32& size) const
{
    const u32 kerningStart = static_cast<u32>(sizeof(FontHeader) + sizeof(FontGlyph) * m_Glyphs.size());
    size = kerningStart + static_cast<u32>(sizeof(FontKerningPair)) * m_CountedPairs;
    u8* block = static_cast<u8*>(std::calloc(size, 1));
    if (!block)
        return nullptr;
    FontHeader header = m_Metrics;
    header.magic = kFontMagic;
    header.size = size;
    header.glyphCount = static_cast<u32>(m_Glyphs.size());
    std::memcpy(block, &header, sizeof header);
    u8* out = block + sizeof(FontHeader);
    u32 offset = kerningStart;
    for (const auto& [code, glyph] : m_Glyphs) {
        FontGlyph record = glyph.record;
        record.code = code;
        record.pairCount = static_cast<u32>(glyph.pairs.size());
        record.pairOffset = offset;
        std::memcpy(out, &record, sizeof record);
        out += sizeof record;
        for (const auto& [previous, amount] : glyph.pairs) {
            const FontKerningPair pair{previous, static_cast<s16>(amount)};
            std::memcpy(block + offset, &pair, sizeof pair);
            offset += sizeof pair;
        }
    }
    return block;
}

} // namespace lv::graphics
