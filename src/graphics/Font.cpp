#include "graphics/Font.h"

#include "core/TextScan.h"

namespace lv::graphics {

void CFont::CopyMetrics(const FontHeader& header)
{
    pixelHeight = header.pixelHeight;
    space = header.space;
    lineGap = header.lineGap;
    symbolGap = header.symbolGap;
    baseline = header.baseline;
    padLeft = header.padLeft;
    padRight = header.padRight;
    padTop = header.padTop;
    padBottom = header.padBottom;
}

const FontGlyph* CFont::GetGlyphOrEmpty(u16 code) const
{
    static const FontGlyph s_Empty{};
    const FontGlyph* glyph = FindGlyph(code);
    return glyph ? glyph : &s_Empty;
}

s32 CFont::GetTextWidth(WStringView text) const
{
    float total = 0;
    u16 previous = 0;
    for (const WChar c : text) {
        const u16 code = static_cast<u16>(c);
        if (const FontGlyph* g = FindGlyph(code))
            total += static_cast<float>(g->advance + symbolGap + GetKerning(g, previous));
        previous = code;
    }
    return lv::core::TruncateToInt(total);
}

} // namespace lv::graphics
