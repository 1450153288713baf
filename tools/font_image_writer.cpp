// font_image_writer: compiles a font XML into the font image the game reads in its place.
//
//   font_image_writer font.xml texture.png [font.xml.bindump]
//   font_image_writer font.xml WIDTHxHEIGHT [font.xml.bindump]
//
// The texture (or its size) gives the glyphs' texture coordinates. The output defaults to the
// XML's name with ".bindump" appended, where the game looks for it.
#include "content/FontImageWriter.h"

#include <cstdio>
#include <string>

int main(int argc, char** argv)
{
    if (argc != 3 && argc != 4) {
        std::fprintf(stderr, "usage: font_image_writer font.xml texture.png|WIDTHxHEIGHT [output]\n");
        return 2;
    }
    u32 width = 0, height = 0;
    const std::string texture = argv[2];
    if (!lv::content::ReadPngSize(texture, width, height) &&
        std::sscanf(texture.c_str(), "%ux%u", &width, &height) != 2) {
        std::fprintf(stderr, "font_image_writer: %s is neither a PNG file nor a size\n", texture.c_str());
        return 1;
    }
    if (width == 0 || height == 0 || width > 65535 || height > 65535) {
        std::fprintf(stderr, "font_image_writer: texture size %ux%u out of range\n", width, height);
        return 1;
    }
    const std::string output = argc == 4 ? argv[3] : std::string(argv[1]) + ".bindump";
    std::string error;
    if (!lv::content::WriteFontImage(argv[1], static_cast<u16>(width), static_cast<u16>(height), output,
                                     &error)) {
        std::fprintf(stderr, "font_image_writer: %s\n", error.c_str());
        return 1;
    }
    return 0;
}
