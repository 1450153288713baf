#include "graphics/Font.h"

#include "core/TextScan.h"

namespace lv::graphics {

namespace {

// No real font comes near this; a damaged image's metrics are held to it so that the layout's
// sums of metrics, advances and lines stay far inside 32 bits.
s32 SaneMetric(s32 v)
{
    return v < -32767 ? -32767 : (v > 32767 ? 32767 : v);
}

} // namespace

void CFont::CopyMetrics(const FontHeader& header)
{
    pixelHeight = SaneMetric(header.pixelHeight);
    space = SaneMetric(header.space);
    lineGap = SaneMetric(header.lineGap);
    symbolGap = SaneMetric(header.symbolGap);
    baseline = SaneMetric(header.baseline);
    padLeft = SaneMetric(header.padLeft);
    padRight = SaneMetric(header.padRight);
    padTop = SaneMetric(header.padTop);
    padBottom = SaneMetric(header.padBottom);
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
