#pragma once
// Renders a TrueType font at a pixel size into a bitmap font: the font XML the game compiles and
// the glyph texture (white, coverage in alpha), so that the demo and the tests have real fonts
// without any font file in the repository.
#include "core/Types.h"

#include <string>
#include <vector>

namespace lv::content {

struct CRasterizedFont
{
    std::string xml;
    u32 width = 0, height = 0;
    std::vector<u32> pixels; // 0xAARRGGBB, rows top first
};

struct CRasterizeOptions
{
    u32 pixelSize = 16;
    // UTF-16 units to render; the printable ASCII range when empty.
    WString characters;
    u32 textureWidth = 256;
    s32 padding = 1; // around every glyph image
    s32 lineGap = 2;
    s32 symbolGap = 0;
    bool kerning = true;
};

// False, with a message, when the font cannot be opened or a glyph does not fit the texture.
bool RasterizeFont(const std::string& fontFile, const CRasterizeOptions& options, CRasterizedFont& out,
                   std::string* error = nullptr);

// The DejaVu Sans file of the system's fonts-dejavu-core package.
std::string DefaultFontFile();

} // namespace lv::content
