// texture_tool: builds the texture files of the game's content.
//
//   texture_tool tex resources.xml resources.bindump [content-root]
//       compiles the texture declarations; surface files are probed below content-root
//       (default: the folder holding resources.xml's "properties" folder, else the working one)
//   texture_tool aph texturesalpha.bindump name=image.png ...
//       one opacity mask per declared image name from a PNG or JPEG (alpha > 0 is opaque)
//   texture_tool pvr image.png out.pvr [pixel-type]
//   texture_tool pvrlzo image.png out.pvrlzo [pixel-type]
//       a PVR texture (pixel type 5 ARGB 8888 by default, 0 ARGB 4444, 1 ARGB 1555, 2 RGB 565),
//       LZO-compressed for ".pvrlzo"
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

#include "content/ImageWriter.h"
#include "content/PackWriter.h"
#include "content/PvrWriter.h"
#include "content/TextureDeclarationWriter.h"
#include "content/TexturesAlphaWriter.h"

namespace {

int Usage()
{
    std::fprintf(stderr,
                 "usage: texture_tool tex resources.xml resources.bindump [content-root]\n"
                 "       texture_tool aph texturesalpha.bindump name=image.png ...\n"
                 "       texture_tool pvr|pvrlzo image.png out [pixel-type]\n");
    return 2;
}

int Fail(const std::string& what)
{
    std::fprintf(stderr, "texture_tool: %s\n", what.c_str());
    return 1;
}

int CompileTex(int argc, char** argv)
{
    if (argc < 4 || argc > 5)
        return Usage();
    const std::filesystem::path xml = std::filesystem::absolute(argv[2]);
    const std::filesystem::path target = std::filesystem::absolute(argv[3]);
    std::vector<u8> text;
    if (!lv::content::ReadDiskFile(xml, text))
        return Fail("cannot read " + xml.string());
    std::filesystem::path root = std::filesystem::current_path();
    if (argc == 5)
        root = argv[4];
    else if (xml.parent_path().filename() == "properties")
        root = xml.parent_path().parent_path();
    std::error_code ec;
    std::filesystem::current_path(root, ec);
    if (ec)
        return Fail("cannot enter " + root.string());
    std::vector<u8> blob;
    lv::content::CompileTextureDeclarations(std::string(text.begin(), text.end()), blob);
    if (!lv::content::WriteDiskFile(target, blob))
        return Fail("cannot write " + target.string());
    std::printf("%s: %zu bytes\n", target.string().c_str(), blob.size());
    return 0;
}

int BuildAlpha(int argc, char** argv)
{
    if (argc < 3)
        return Usage();
    lv::content::CTexturesAlphaWriter writer;
    for (int i = 3; i < argc; ++i) {
        const std::string argument = argv[i];
        const size_t equals = argument.find('=');
        if (equals == std::string::npos || equals == 0)
            return Usage();
        u32 width = 0, height = 0;
        std::vector<u32> pixels;
        const std::string path = argument.substr(equals + 1);
        if (!lv::content::DecodeImageDiskFile(path, width, height, pixels))
            return Fail("cannot decode " + path);
        writer.AddPixels(argument.substr(0, equals), width, height, pixels);
    }
    if (!lv::content::WriteDiskFile(argv[2], writer.Build()))
        return Fail(std::string("cannot write ") + argv[2]);
    std::printf("%s: %zu masks\n", argv[2], writer.GetCount());
    return 0;
}

int BuildPvr(int argc, char** argv, bool compress)
{
    if (argc < 4 || argc > 5)
        return Usage();
    const u32 type = argc == 5 ? static_cast<u32>(std::atoi(argv[4])) : 5;
    u32 width = 0, height = 0;
    std::vector<u32> pixels;
    if (!lv::content::DecodeImageDiskFile(argv[2], width, height, pixels))
        return Fail(std::string("cannot decode ") + argv[2]);
    std::vector<u8> data;
    if (!lv::content::ConvertArgbToPvr(pixels, type, data))
        return Fail("unsupported pixel type " + std::to_string(type));
    std::vector<u8> file = lv::content::BuildPvr(width, height, type, 0, data);
    if (compress)
        file = lv::content::CompressPvrLzo(file);
    if (!lv::content::WriteDiskFile(argv[3], file))
        return Fail(std::string("cannot write ") + argv[3]);
    std::printf("%s: %ux%u, %zu bytes\n", argv[3], width, height, file.size());
    return 0;
}

} // namespace

int main(int argc, char** argv)
{
    if (argc < 2)
        return Usage();
    const std::string command = argv[1];
    if (command == "tex")
        return CompileTex(argc, argv);
    if (command == "aph")
        return BuildAlpha(argc, argv);
    if (command == "pvr" || command == "pvrlzo")
        return BuildPvr(argc, argv, command == "pvrlzo");
    return Usage();
}
