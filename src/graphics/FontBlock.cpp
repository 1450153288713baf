#include "graphics/FontBlock.h"

#include <cstdint>
#include <cstring>

namespace lv::graphics {

bool IsValidFontBlock(const void* block, u32 size)
{
    if (!block || size < sizeof(FontHeader) || reinterpret_cast<uintptr_t>(block) % 4 != 0)
        return false;
    FontHeader header;
    std::memcpy(&header, block, sizeof header);
    if (header.magic != kFontMagic || header.size != size)
        return false;
    const u64 kerningStart = sizeof(FontHeader) + u64(header.glyphCount) * sizeof(FontGlyph);
    if (kerningStart > size)
        return false;
    const auto* glyphs =
        reinterpret_cast<const FontGlyph*>(static_cast<const u8*>(block) + sizeof(FontHeader));
    for (u32 i = 0; i < header.glyphCount; ++i) {
        const FontGlyph& g = glyphs[i];
        if (g.pairCount == 0)
            continue;
        if (g.pairOffset < kerningStart || g.pairOffset % 4 != 0 ||
            u64(g.pairOffset) + u64(g.pairCount) * sizeof(FontKerningPair) > size)
            return false;
    }
    return true;
}

const FontGlyph* FindFontGlyph(const FontHeader* block, u16 code)
{
    const auto* glyphs = reinterpret_cast<const FontGlyph*>(block + 1);
    s64 lo = 0, hi = s64(block->glyphCount) - 1;
    while (lo <= hi) {
        const s64 mid = (lo + hi) / 2;
        if (glyphs[mid].code > code)
            hi = mid - 1;
        else if (glyphs[mid].code < code)
            lo = mid + 1;
        else
            return &glyphs[mid];
    }
    return nullptr;
}

s32 FindFontKerning(const FontHeader* block, const FontGlyph* glyph, u16 previous)
{
    if (!glyph || glyph->pairCount == 0)
        return 0;
    const auto* pairs =
        reinterpret_cast<const FontKerningPair*>(reinterpret_cast<const u8*>(block) + glyph->pairOffset);
    s64 lo = 0, hi = s64(glyph->pairCount) - 1;
    while (lo <= hi) {
        const s64 mid = (lo + hi) / 2;
        if (pairs[mid].previous > previous)
            hi = mid - 1;
        else if (pairs[mid].previous < previous)
            lo = mid + 1;
        else
            return pairs[mid].amount;
    }
    return 0;
}

} // namespace lv::graphics
