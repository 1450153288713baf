// Font images (".bindump"): the check that admits a block, then every lookup and a text layout
// over an admitted one. Inputs are tried as they are and as bit flips of a real block (compiled
// from a small font XML), which reach the checks behind the magic and the size at once.
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "content/FontImageWriter.h"
#include "graphics/Font.h"
#include "graphics/FontBlock.h"
#include "graphics/TextRender.h"

namespace {

const std::vector<u8>& BaseBlock()
{
    static const std::vector<u8> s_Block = lv::content::CompileFontImage(
        "<?xml version=\"1.0\"?><Font Version=\"2\" Padding=\"1 1 1 1\" PixHeight=\"12\" Space=\"3\" "
        "SymbolGap=\"1\"><Char Code=\"A\" Rect=\"0 0 6 10\" Width=\"5\"/><Char Code=\"V\" Rect=\"6 0 12 10\" "
        "Width=\"5\"/><Char Code=\"a\" Rect=\"12 0 18 10\" Width=\"5\"/><Pair Chars=\"AV\" Value=\"-2\"/>"
        "<Pair Chars=\"VA\" Value=\"-1\"/><Pair Chars=\"aV\" Value=\"-30\"/></Font>",
        32, 16);
    return s_Block;
}

void TryBlock(const u8* data, size_t size)
{
    // Blocks are read in place from 4-byte aligned memory.
    void* block = std::malloc(size ? size : 1);
    std::memcpy(block, data, size);
    if (lv::graphics::IsValidFontBlock(block, static_cast<u32>(size))) {
        lv::graphics::CFont font;
        font.block = static_cast<const lv::graphics::FontHeader*>(block);
        font.CopyMetrics(*font.block);
        WString text;
        for (u32 code = 0; code < 0x80; ++code) {
            const lv::graphics::FontGlyph* g = font.FindGlyph(static_cast<u16>(code));
            font.GetKerning(g, static_cast<u16>(code ^ 1));
            text.push_back(static_cast<WChar>(code ? code : ' '));
        }
        font.GetTextWidth(text);
        static lv::graphics::CTextRender render;
        const CIntRect box(0, 0, 200, 100);
        CPoint2i size2;
        render.MeasureText(&font, text.c_str(), &box, 0x8, 0, &size2);
        CIntRect rect;
        render.GetCharRect(&font, text.c_str(), &box, 0x8 | 0x800, 0, 77, &rect);
        const CVector2 point(50, 30);
        s32 index = 0;
        bool left = false, upper = false;
        render.HitTest(&font, text.c_str(), &box, 0x8 | 0x40 | 0x200, 0, &point, false, &index, &left,
                       &upper);
    }
    std::free(block);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const unsigned char* data, size_t size)
{
    if (size > 1 << 20)
        return 0;
    TryBlock(data, size);
    const std::vector<u8>& base = BaseBlock();
    std::vector<u8> flipped(size > base.size() ? size : base.size(), 0);
    for (size_t i = 0; i < flipped.size(); ++i)
        flipped[i] = static_cast<u8>((i < base.size() ? base[i] : 0) ^ (i < size ? data[i] : 0));
    TryBlock(flipped.data(), flipped.size());
    return 0;
}
