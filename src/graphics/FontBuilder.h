#pragma once
// Compiles a font description (the font XML) into an FNT block.
//
// The font XML: a "Font" element with "Padding" ("left top right bottom", each like %i),
// "Space", "PixHeight" (reduced by the vertical padding read so far), "Baseline" (measured from
// the bottom of the pixel height read so far), "SymbolGap", "LineGap" and "Version"; "Char"
// elements with "Code" (its first UTF-16 unit), "Rect" ("x1 y1 x2 y2", each like %hi; one row
// taller before version 2), "Width" (a real number: its integer part is the advance) and
// "TopOffset"; "Pair" elements with "Chars" and "Value", kerning on the second character.
// Names compare without regard to case; attributes apply in document order, and a "Char"
// keeps what the previous one set for the attributes it omits.
#include <map>
#include <string>
#include <vector>

#include "core/Types.h"
#include "graphics/FontBlock.h"

namespace lv::graphics {

class CFontBuilder
{
public:
    // Font XML of the given length.
    void Parse(const char* text, size_t length);

    // Kerning from the pairs read, texture coordinates for a texture of that size, and the
    // space and newline glyphs, which are always synthetic.
    void Finalize(u16 textureWidth, u16 textureHeight);

    // The block (malloc'd, the caller frees it) and its size.
    u8* Build(u32& size) const;

    // Metrics in header order (pixelHeight .. padBottom).
    const FontHeader& GetMetrics() const { return m_Metrics; }
    size_t GetGlyphCount() const { return m_Glyphs.size(); }

private:
    struct CGlyph
    {
        FontGlyph record{};
        std::map<u16, s32> pairs; // previous code -> amount
    };

    void Attribute(std::string_view element, std::string_view name, std::string_view value);
    void AttributesEnd(std::string_view element);

    friend struct CFontXmlCallbacks;

    FontHeader m_Metrics{};
    std::map<u16, CGlyph> m_Glyphs;
    // Parse state.
    FontGlyph m_Current{};
    s32 m_Version = 0;
    WString m_PairChars;
    std::map<WString, WString> m_Kerning; // first entry of a pair of characters wins
    u32 m_CountedPairs = 0;
};

} // namespace lv::graphics
