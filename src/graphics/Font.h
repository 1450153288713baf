#pragma once
// One loaded bitmap font: its compiled block (shared by every font declared on the same file),
// name, colour, glyph image and the metrics copied from the block's header.
#include "core/Color.h"
#include "core/FixedString.h"
#include "core/Types.h"
#include "graphics/FontBlock.h"

namespace lv::graphics {

class CImageHandle;

class CFont
{
public:
    const FontHeader* block = nullptr;
    CFixedString name;
    CColor colour;                 // opaque white until built
    CImageHandle* image = nullptr; // not owned
    s32 pixelHeight = 0;
    s32 space = 0;
    s32 lineGap = 0;
    s32 symbolGap = 0;
    s32 baseline = 0;
    s32 padLeft = 0, padRight = 0, padTop = 0, padBottom = 0;

    // Copies the nine metric words of the block's header.
    void CopyMetrics(const FontHeader& header);

    const FontGlyph* GetGlyphTable() const { return reinterpret_cast<const FontGlyph*>(block + 1); }
    const FontGlyph* FindGlyph(u16 code) const { return FindFontGlyph(block, code); }
    s32 GetKerning(const FontGlyph* glyph, u16 previous) const
    {
        return FindFontKerning(block, glyph, previous);
    }
    // The glyph, or a shared all-zero record when the code has none.
    const FontGlyph* GetGlyphOrEmpty(u16 code) const;

    // Width in pixels of one line of text: advances, symbol gaps and kerning of every unit that
    // has a glyph; nothing is special about line breaks.
    s32 GetTextWidth(WStringView text) const;
};

} // namespace lv::graphics
