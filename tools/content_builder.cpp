// content_builder: turns a content source folder into the content folder the game reads.
//
//   content_builder [--pack OUT.pack] [--font file.ttf] [-v] SOURCE OUTPUT
//
// SOURCE holds "content.xml" (the recipe of the media made at build time: drawn images, images
// painted from text descriptions, fonts rendered from a TrueType font, tones, videos),
// "properties/" with the property XML files and "!langs/<code>/properties/" with their language
// copies. OUTPUT receives the media, the binary
// image of every property file and, unless --pack names another place, "game.pack" with all of
// it. Only outputs whose inputs changed are made again; -v lists them.
#include "QuestCompile.h"
#include "content/ContentBuilder.h"

#include <cstdio>
#include <string>
#include <system_error>

namespace {

int Usage()
{
    std::fprintf(stderr, "usage: content_builder [--pack OUT.pack] [--font file.ttf] [-v] SOURCE OUTPUT\n");
    return 2;
}

// quest.xml becomes the quest data and script images, the script image beside the data image.
void AddQuestCompiler(lv::content::CContentBuilder& builder)
{
    builder.SetQuestCompiler([](const std::filesystem::path& xml, const std::filesystem::path& image,
                                std::string* error) {
        return questcompile::CompileQuestXml(xml, image, image.parent_path() / "quest_script.bindump", nullptr,
                                             error);
    });
}

} // namespace

int main(int argc, char** argv)
{
    lv::content::CContentBuildOptions options;
    bool verbose = false;
    std::vector<std::string> folders;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg == "--pack" && i + 1 < argc)
            options.pack = argv[++i];
        else if (arg == "--font" && i + 1 < argc)
            options.fontFile = argv[++i];
        else if (arg == "-v")
            verbose = true;
        else if (!arg.empty() && arg[0] != '-')
            folders.push_back(arg);
        else
            return Usage();
    }
    if (folders.size() != 2)
        return Usage();
    options.source = folders[0];
    options.output = folders[1];
    // A rebuilt builder remakes everything: its writers may write other bytes now.
    std::error_code ec;
    const auto self = std::filesystem::read_symlink("/proc/self/exe", ec);
    if (!ec)
        options.toolTime = std::filesystem::last_write_time(self, ec);
    lv::content::CContentBuilder builder(options);
    AddQuestCompiler(builder);
    std::string error;
    if (!builder.Build(&error)) {
        std::fprintf(stderr, "content_builder: %s\n", error.c_str());
        return 1;
    }
    if (verbose)
        for (const std::string& made : builder.GetRebuilt())
            std::printf("made %s\n", made.c_str());
    std::printf("content_builder: %zu outputs made\n", builder.GetRebuilt().size());
    return 0;
}
