#include "content/FontImageWriter.h"

#include <cstdlib>
#include <fstream>
#include <iterator>

#include "graphics/FontBuilder.h"

namespace lv::content {

std::vector<u8> CompileFontImage(std::string_view xml, u16 textureWidth, u16 textureHeight)
{
    lv::graphics::CFontBuilder builder;
    builder.Parse(xml.data(), xml.size());
    builder.Finalize(textureWidth, textureHeight);
    u32 size = 0;
    u8* block = builder.Build(size);
    std::vector<u8> out;
    if (block)
        out.assign(block, block + size);
    std::free(block);
    return out;
}

bool WriteFontImage(const std::filesystem::path& xmlFile, u16 textureWidth, u16 textureHeight,
                    const std::filesystem::path& output, std::string* error)
{
    std::ifstream in(xmlFile, std::ios::binary);
    if (!in) {
        if (error)
            *error = "cannot read " + xmlFile.string();
        return false;
    }
    const std::string xml((std::istreambuf_iterator<char>(in)), {});
    const std::vector<u8> image = CompileFontImage(xml, textureWidth, textureHeight);
    std::ofstream out(output, std::ios::binary);
    out.write(reinterpret_cast<const char*>(image.data()), static_cast<std::streamsize>(image.size()));
    if (!out || image.empty()) {
        if (error)
            *error = "cannot write " + output.string();
        return false;
    }
    return true;
}

bool ReadPngSize(const std::filesystem::path& file, u32& width, u32& height)
{
    std::ifstream in(file, std::ios::binary);
    unsigned char header[24] = {};
    if (!in.read(reinterpret_cast<char*>(header), sizeof header))
        return false;
    static const unsigned char kSignature[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
    if (!std::equal(kSignature, kSignature + 8, header) || !std::equal(header + 12, header + 16, "IHDR"))
        return false;
    const auto be32 = [](const unsigned char* p) {
        return u32(p[0]) << 24 | u32(p[1]) << 16 | u32(p[2]) << 8 | p[3];
    };
    width = be32(header + 16);
    height = be32(header + 20);
    return true;
}

} // namespace lv::content
