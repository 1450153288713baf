// font_builder: renders a TrueType font at a pixel size into a bitmap font for the game: the
// font XML and its glyph texture as a PNG.
//
//   font_builder [--font file.ttf] [--chars "text"] [--width 256] SIZE out/name
//
// writes out/name.xml and out/name.png. The font defaults to DejaVu Sans; the characters to
// printable ASCII.
#include "content/FontRasterizer.h"
#include "core/TextConvert.h"

#include <png.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>

namespace {

bool WritePng(const std::string& path, const lv::content::CRasterizedFont& font)
{
    FILE* file = std::fopen(path.c_str(), "wb");
    if (!file)
        return false;
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png ? png_create_info_struct(png) : nullptr;
    if (!info || setjmp(png_jmpbuf(png))) {
        png_destroy_write_struct(&png, info ? &info : nullptr);
        std::fclose(file);
        return false;
    }
    png_init_io(png, file);
    png_set_IHDR(png, info, font.width, font.height, 8, PNG_COLOR_TYPE_RGB_ALPHA, PNG_INTERLACE_NONE,
                 PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    png_write_info(png, info);
    std::vector<png_byte> row(size_t(font.width) * 4);
    for (u32 y = 0; y < font.height; ++y) {
        for (u32 x = 0; x < font.width; ++x) {
            const u32 p = font.pixels[size_t(y) * font.width + x];
            row[x * 4 + 0] = static_cast<png_byte>(p >> 16);
            row[x * 4 + 1] = static_cast<png_byte>(p >> 8);
            row[x * 4 + 2] = static_cast<png_byte>(p);
            row[x * 4 + 3] = static_cast<png_byte>(p >> 24);
        }
        png_write_row(png, row.data());
    }
    png_write_end(png, nullptr);
    png_destroy_write_struct(&png, &info);
    return std::fclose(file) == 0;
}

} // namespace

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
    if (!WritePng(base + ".png", font)) {
        std::fprintf(stderr, "font_builder: cannot write %s.png\n", base.c_str());
        return 1;
    }
    return 0;
}
