// font_builder: renders a TrueType font at a pixel size into a bitmap font for the game: the
// font XML and its glyph texture as a PNG.
//
//   font_builder [--font file.ttf] [--chars "text"] [--width 256] SIZE out/name
//
// writes out/name.xml and out/name.png. The font defaults to DejaVu Sans; the characters to
// printable ASCII.
#include "content/FontRasterizer.h"
#include "content/ImageWriter.h"
#include "core/TextConvert.h"

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>
#include <vector>

int main(int argc, char** argv)
{
    lv::content::CRasterizeOptions options;
    std::string fontFile = lv::content::DefaultFontFile();
    int i = 1;
    for (; i + 1 < argc && argv[i][0] == '-' && argv[i][1] == '-'; i += 2) {
        const std::string option = argv[i];
        if (option == "--font")
            fontFile = argv[i + 1];
        else if (option == "--chars")
            options.characters = Utf8ToWide(argv[i + 1]);
        else if (option == "--width")
            options.textureWidth = static_cast<u32>(std::atoi(argv[i + 1]));
        else
            break;
    }
    if (argc - i != 2 || std::atoi(argv[i]) <= 0) {
        std::fprintf(stderr,
                     "usage: font_builder [--font file.ttf] [--chars text] [--width N] SIZE out/name\n");
        return 2;
    }
    options.pixelSize = static_cast<u32>(std::atoi(argv[i]));
    const std::string base = argv[i + 1];
    lv::content::CRasterizedFont font;
    std::string error;
    if (!lv::content::RasterizeFont(fontFile, options, font, &error)) {
        std::fprintf(stderr, "font_builder: %s\n", error.c_str());
        return 1;
    }
    std::ofstream(base + ".xml", std::ios::binary) << font.xml;
    std::vector<u8> png;
    if (!lv::content::EncodePngArgb(font.width, font.height, font.pixels, true, png) ||
        !std::ofstream(base + ".png", std::ios::binary)
             .write(reinterpret_cast<const char*>(png.data()), static_cast<std::streamsize>(png.size()))) {
        std::fprintf(stderr, "font_builder: cannot write %s.png\n", base.c_str());
        return 1;
    }
    return 0;
}
