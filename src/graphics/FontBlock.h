#pragma once
// The compiled form of a bitmap font ("FNT" block): a 48-byte header, the glyph table sorted by
// character code, then the kerning area where every glyph owns a run of pairs sorted by the code
// of the character before it. The same bytes are the in-memory form and the ".bindump" file, so
// the records are read in place (little-endian, 4-byte aligned).
#include <bit>

#include "core/Types.h"

namespace lv::graphics {

static_assert(std::endian::native == std::endian::little, "font blocks are read in place");

inline constexpr u32 kFontMagic = 0x02544E46; // 'F' 'N' 'T' 2

struct FontHeader
{
    u32 magic;
    u32 size; // of the whole block
    s32 pixelHeight;
    s32 space;
    s32 lineGap;
    s32 symbolGap;
    s32 baseline;
    s32 padLeft;
    s32 padRight;
    s32 padTop;
    s32 padBottom;
    u32 glyphCount;
};

struct FontGlyph
{
    u16 code;
    u8 advance;
    u8 topOffset;
    s16 x, y, width, height; // in the font texture, pixels
    float uLeft, vTop, uRight, vBottom;
    u32 pairCount;
    u32 pairOffset; // from the start of the block
};

// Kerning is stored on the second character of a pair.
struct FontKerningPair
{
    u16 previous;
    s16 amount;
};

static_assert(sizeof(FontHeader) == 48 && sizeof(FontGlyph) == 36 && sizeof(FontKerningPair) == 4);

// True when the block can be read in place: the magic, a size field equal to `size`, a glyph
// table and every glyph's pair run inside the block, 4-byte aligned.
bool IsValidFontBlock(const void* block, u32 size);

// Binary search of the glyph table; null when the code has no glyph.
const FontGlyph* FindFontGlyph(const FontHeader* block, u16 code);
// Binary search of the glyph's pair run; the amount, or 0.
s32 FindFontKerning(const FontHeader* block, const FontGlyph* glyph, u16 previous);

} // namespace lv::graphics
