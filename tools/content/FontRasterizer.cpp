#include "content/FontRasterizer.h"

#include <ft2build.h>
#include FT_FREETYPE_H

#include <algorithm>
#include <cstdio>
#include <map>

#include "core/TextConvert.h"

namespace lv::content {

namespace {

struct CGlyphImage
{
    u16 code;
    s32 advance;
    s32 left, top; // bitmap offsets from the pen and the baseline
    u32 width, rows;
    std::vector<u8> coverage;
    s32 x = 0, y = 0, cellWidth = 0, cellHeight = 0, topOffset = 0;
};

std::string XmlCode(u16 code)
{
    switch (code) {
    case '"':
        return "&quot;";
    case '&':
        return "&amp;";
    case '<':
        return "&lt;";
    case '>':
        return "&gt;";
    default:
        return WideToUtf8(WString(1, static_cast<WChar>(code)));
    }
}

class CFreeType
{
public:
    ~CFreeType()
    {
        if (m_Face)
            FT_Done_Face(m_Face);
        if (m_Library)
            FT_Done_FreeType(m_Library);
    }
    FT_Library m_Library = nullptr;
    FT_Face m_Face = nullptr;
};

} // namespace

std::string DefaultFontFile()
{
    return "/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf";
}

bool RasterizeFont(const std::string& fontFile, const CRasterizeOptions& options, CRasterizedFont& out,
                   std::string* error)
{
    const auto fail = [error](const std::string& message) {
        if (error)
            *error = message;
        return false;
    };
    CFreeType ft;
    if (FT_Init_FreeType(&ft.m_Library) != 0)
        return fail("cannot start FreeType");
    if (FT_New_Face(ft.m_Library, fontFile.c_str(), 0, &ft.m_Face) != 0)
        return fail("cannot open font " + fontFile);
    if (FT_Set_Pixel_Sizes(ft.m_Face, 0, options.pixelSize) != 0)
        return fail("cannot use the pixel size");

    WString characters = options.characters;
    if (characters.empty())
        for (WChar c = 0x21; c < 0x7F; ++c)
            characters.push_back(c);

    std::vector<CGlyphImage> glyphs;
    s32 ascent = 0, descent = 0;
    for (const WChar c : characters) {
        if (FT_Load_Char(ft.m_Face, c, FT_LOAD_RENDER | FT_LOAD_TARGET_NORMAL) != 0)
            continue;
        const FT_GlyphSlot slot = ft.m_Face->glyph;
        CGlyphImage g;
        g.code = static_cast<u16>(c);
        g.advance = static_cast<s32>((slot->advance.x + 32) >> 6);
        g.left = slot->bitmap_left;
        g.top = slot->bitmap_top;
        g.width = slot->bitmap.width;
        g.rows = slot->bitmap.rows;
        for (u32 r = 0; r < g.rows; ++r)
            for (u32 x = 0; x < g.width; ++x)
                g.coverage.push_back(slot->bitmap.buffer[r * slot->bitmap.pitch + x]);
        ascent = std::max(ascent, g.top);
        descent = std::max(descent, static_cast<s32>(g.rows) - g.top);
        glyphs.push_back(std::move(g));
    }
    const s32 pad = options.padding;
    const s32 space = static_cast<s32>((FT_Load_Char(ft.m_Face, ' ', FT_LOAD_DEFAULT) == 0
                                            ? ft.m_Face->glyph->advance.x + 32
                                            : options.pixelSize * 64 / 3) >>
                                       6);

    // Each image starts `pad` pixels left of the pen (the font's left padding) and `pad` above
    // the ink; shelves of the line height fill the texture row by row.
    const s32 lineHeight = ascent + descent + 2 * pad;
    s32 penX = 0, penY = 0;
    for (CGlyphImage& g : glyphs) {
        const s32 inkLeft = std::min(g.left, 0);
        g.cellWidth = std::max(g.left + static_cast<s32>(g.width), g.advance) - inkLeft + 2 * pad;
        g.cellHeight = static_cast<s32>(g.rows) + 2 * pad;
        g.topOffset = ascent - g.top; // from the top of the line (below the top padding)
        if (penX + g.cellWidth > static_cast<s32>(options.textureWidth)) {
            penX = 0;
            penY += lineHeight;
        }
        g.x = penX;
        g.y = penY;
        penX += g.cellWidth;
        if (g.cellWidth > static_cast<s32>(options.textureWidth))
            return fail("a glyph is wider than the texture");
    }
    u32 height = 1;
    while (height < static_cast<u32>(penY + lineHeight))
        height *= 2;
    out.width = options.textureWidth;
    out.height = height;
    out.pixels.assign(size_t(out.width) * height, 0x00FFFFFFu);
    for (const CGlyphImage& g : glyphs) {
        const s32 originX = g.x + pad - std::min(g.left, 0) + g.left;
        for (u32 r = 0; r < g.rows; ++r)
            for (u32 c = 0; c < g.width; ++c) {
                const s32 px = originX + static_cast<s32>(c), py = g.y + pad + static_cast<s32>(r);
                out.pixels[size_t(py) * out.width + static_cast<size_t>(px)] =
                    (u32(g.coverage[r * g.width + c]) << 24) | 0x00FFFFFFu;
            }
    }

    std::string xml = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n";
    char line[512];
    std::snprintf(line, sizeof line,
                  "<Font Version=\"2\" Padding=\"%d %d %d %d\" PixHeight=\"%d\" Baseline=\"%d\" Space=\"%d\" "
                  "SymbolGap=\"%d\" LineGap=\"%d\">\n",
                  pad, pad, pad, pad, lineHeight, descent, space, options.symbolGap, options.lineGap);
    xml += line;
    for (const CGlyphImage& g : glyphs) {
        // A glyph with a negative left bearing starts its image further left: the pen moves back
        // by that much through the left padding only, so the image is shifted instead.
        std::snprintf(
            line, sizeof line, "  <Char Code=\"%s\" Rect=\"%d %d %d %d\" Width=\"%d\" TopOffset=\"%d\"/>\n",
            XmlCode(g.code).c_str(), g.x, g.y, g.x + g.cellWidth, g.y + g.cellHeight, g.advance, g.topOffset);
        xml += line;
    }
    if (options.kerning && FT_HAS_KERNING(ft.m_Face)) {
        for (const CGlyphImage& a : glyphs)
            for (const CGlyphImage& b : glyphs) {
                FT_Vector k{0, 0};
                const FT_UInt ia = FT_Get_Char_Index(ft.m_Face, a.code),
                              ib = FT_Get_Char_Index(ft.m_Face, b.code);
                if (FT_Get_Kerning(ft.m_Face, ia, ib, FT_KERNING_DEFAULT, &k) != 0)
                    continue;
                const s32 amount = static_cast<s32>(k.x >= 0 ? (k.x + 32) >> 6 : -((-k.x + 32) >> 6));
                if (amount == 0)
                    continue;
                std::snprintf(line, sizeof line, "  <Pair Chars=\"%s%s\" Value=\"%d\"/>\n",
                              XmlCode(a.code).c_str(), XmlCode(b.code).c_str(), amount);
                xml += line;
            }
    }
    xml += "</Font>\n";
    out.xml = std::move(xml);
    return true;
}

} // namespace lv::content
