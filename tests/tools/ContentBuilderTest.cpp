#include "content/ContentBuilder.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <string>
#include <thread>
#include <vector>

#include "core/ResourcePack.h"
#include "content/ImageWriter.h"
#include "core/StringBlock.h"
#include "core/TempFolder.h"
#include "graphics/TextureDeclarations.h"

namespace fs = std::filesystem;
using lv::content::CContentBuilder;
using lv::content::CContentBuildOptions;

namespace {

// A small content source: two drawn images (one with a mask), a tone, strings with a German
// copy, texture declarations and sounds.
class CSource
{
public:
    CSource()
    {
        Recipe("FF102030");
        m_Tmp.Write("src/properties/strings.xml", Strings("Play"));
        m_Tmp.Write("src/!langs/de/properties/strings.xml", Strings("Spielen"));
        m_Tmp.Write("src/properties/resources.xml",
                    "<?xml version=\"1.0\"?><resources><surfaces>"
                    "<surface path=\"textures/back.png\" width=\"0\" height=\"0\"/>"
                    "<surface path=\"textures/dot.png\" width=\"0\" height=\"0\"/></surfaces>"
                    "<group id=\"g\"><image id=\"back\" path=\"textures/back.png\" cols=\"1\" rows=\"1\"/>"
                    "<image id=\"dot\" path=\"textures/dot.png\" cols=\"1\" rows=\"1\"/></group></resources>");
        m_Tmp.Write("src/properties/sounds.xml",
                    "<?xml version=\"1.0\"?><sounds><sound id=\"beep\" file=\"sounds/beep.ogg\"/></sounds>");
        m_Tmp.Write("src/properties/fonts.xml", "<?xml version=\"1.0\"?><fonts/>");
    }

    void Recipe(const std::string& backColour)
    {
        m_Tmp.Write("src/content.xml",
                    "<?xml version=\"1.0\"?><content>"
                    "<image file=\"textures/back.png\" width=\"32\" height=\"16\" pattern=\"gradient\" color=\"" +
                        backColour + "\" color2=\"FF000000\"/>"
                    "<image file=\"textures/dot.png\" width=\"8\" height=\"8\" pattern=\"disc\" color=\"FFFFFFFF\" "
                    "mask=\"dot\"/>"
                    "<tone file=\"sounds/beep.ogg\" seconds=\"0.2\" frequency=\"880\" channels=\"1\"/></content>");
    }
    static std::string Strings(const std::string& play)
    {
        return "<?xml version=\"1.0\" encoding=\"utf-8\"?><strings><s id=\"1\">" + play + "</s></strings>";
    }

    std::vector<std::string> Build(std::string* error = nullptr)
    {
        CContentBuildOptions options;
        options.source = m_Tmp.Path() / "src";
        options.output = m_Tmp.Path() / "out";
        options.pack = m_Tmp.Path() / "bin/game.pack";
        CContentBuilder builder(options);
        std::string message;
        m_Ok = builder.Build(&message);
        if (error)
            *error = message;
        EXPECT_TRUE(m_Ok || error) << message;
        std::vector<std::string> made = builder.GetRebuilt();
        std::sort(made.begin(), made.end());
        return made;
    }
    // File times have a coarse grain on some file systems: a rewrite must look newer.
    // Rewrites a source so that it is newer than every output: file times come from a coarse
    // clock, so a write right after a build may carry the build's own time.
    void Touch(const std::string& name, const std::string& bytes)
    {
        const fs::path file = m_Tmp.Path() / name;
        fs::file_time_type newest = fs::last_write_time(file);
        for (const fs::directory_entry& entry : fs::recursive_directory_iterator(m_Tmp.Path() / "out"))
            if (entry.is_regular_file())
                newest = std::max(newest, entry.last_write_time());
        m_Tmp.Write(name, bytes);
        while (fs::last_write_time(file) <= newest) {
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
            m_Tmp.Write(name, bytes);
        }
    }

    CTempFolder m_Tmp;
    bool m_Ok = false;
};

std::vector<std::string> Sorted(std::vector<std::string> names)
{
    std::sort(names.begin(), names.end());
    return names;
}

} // namespace

TEST(ContentBuilder, MakesEveryOutputAndPacksItWithTheLanguageCopies)
{
    CSource source;
    EXPECT_EQ(source.Build(), Sorted({"game.pack", "textures/back.png", "textures/dot.png", "sounds/beep.ogg",
                                      "properties/strings.bindump", "!langs/de/properties/strings.bindump",
                                      "properties/resources.bindump", "properties/sounds.bindump",
                                      "properties/texturesalpha.bindump", "properties/fonts.xml"}));
    const std::string pack = source.m_Tmp / "bin/game.pack";
    lv::core::CResourcePack german(pack.c_str(), "de", true);
    for (const char* name : {"textures/back.png", "sounds/beep.ogg", "properties/strings.bindump",
                             "properties/resources.bindump", "properties/texturesalpha.bindump", "properties/fonts.xml"})
        EXPECT_TRUE(german.Contains(name)) << name;
    EXPECT_TRUE(german.ContainsLocalized("properties/strings.bindump"));
    // Neither the recipe, nor the product description, nor the compiled XML is packed.
    for (const char* name : {"content.xml", "properties/strings.xml", "properties/resources.xml", ".recipes/game.pack.txt"})
        EXPECT_FALSE(german.Contains(name)) << name;

    // The texture declarations were compiled with the made images' sizes.
    u32 size = 0;
    const u8* blob = german.GetData("properties/resources.bindump", &size);
    ASSERT_NE(blob, nullptr);
    lv::graphics::CTextureDeclarations declarations;
    ASSERT_TRUE(declarations.LoadBlob(blob, size));
    EXPECT_EQ(declarations.GetImageCount(), 2u);
    ASSERT_EQ(declarations.GetSurfaceCount(), 2u);
    EXPECT_EQ(declarations.GetSurfaces()[0].width, 32);
    EXPECT_EQ(declarations.GetSurfaces()[0].height, 16);
}

TEST(ContentBuilder, RemakesOnlyWhatAChangedSourceAffects)
{
    CSource source;
    source.Build();
    EXPECT_TRUE(source.Build().empty()) << "nothing changed";

    source.Touch("src/properties/strings.xml", CSource::Strings("Start"));
    EXPECT_EQ(source.Build(), Sorted({"game.pack", "properties/strings.bindump"}));

    source.Touch("src/!langs/de/properties/strings.xml", CSource::Strings("Los"));
    EXPECT_EQ(source.Build(), Sorted({"game.pack", "!langs/de/properties/strings.bindump"}));

    // One recipe entry changed: only its image and what is made from the images.
    source.Recipe("FF405060");
    EXPECT_EQ(source.Build(), Sorted({"game.pack", "textures/back.png", "properties/resources.bindump"}));

    // A lost output is made again.
    fs::remove(source.m_Tmp.Path() / "out/sounds/beep.ogg");
    EXPECT_EQ(source.Build(), Sorted({"game.pack", "sounds/beep.ogg"}));
}

TEST(ContentBuilder, BadSourcesFailWithAMessage)
{
    struct CCase
    {
        const char* file;
        std::string text;
        const char* message;
    };
    const std::string kProlog = "<?xml version=\"1.0\"?>";
    const CCase cases[] = {
        {"src/content.xml", kProlog + "<content><image file=\"a.png\" pattern=\"swirl\"/></content>",
         "unknown image pattern"},
        {"src/content.xml", kProlog + "<content><sprite file=\"a.png\"/></content>", "unknown element <sprite>"},
        {"src/content.xml", kProlog + "<content><image file=\"../a.png\"/></content>", "inside the content folder"},
        {"src/content.xml", "<content><image file=\"a.png\"", "not a well-formed XML document"},
        {"src/properties/strings.xml", "<strings><s id=\"1\">", "strings.xml"},
    };
    for (const CCase& c : cases) {
        CSource source;
        source.m_Tmp.Write(c.file, c.text);
        std::string error;
        source.Build(&error);
        EXPECT_FALSE(source.m_Ok) << c.text;
        EXPECT_NE(error.find(c.message), std::string::npos) << error;
    }
}

TEST(ContentBuilder, TheQuestIsPackedAsItStandsOrCompiledByTheHook)
{
    CSource source;
    source.m_Tmp.Write("src/properties/quest.xml", "<quest/>");
    source.Build();
    EXPECT_EQ(source.m_Tmp.Read("out/properties/quest.xml"), "<quest/>");

    CContentBuildOptions options;
    options.source = source.m_Tmp.Path() / "src";
    options.output = source.m_Tmp.Path() / "compiled";
    CContentBuilder builder(options);
    builder.SetQuestCompiler([](const fs::path& xml, const fs::path& image, std::string*) {
        fs::copy_file(xml, image);
        return true;
    });
    std::string error;
    ASSERT_TRUE(builder.Build(&error)) << error;
    EXPECT_EQ(source.m_Tmp.Read("compiled/properties/quest.bindump"), "<quest/>");
    EXPECT_FALSE(fs::exists(source.m_Tmp.Path() / "compiled/properties/quest.xml"));
}

TEST(ContentBuilder, PaintsImagesFromTheirDescriptionsAndPacksOnlyTheImages)
{
    CSource source;
    const std::string kPainting = "canvas 6 4 2\ncolor FF204060\nfill\n";
    source.m_Tmp.Write("src/paintings/tile.paint", kPainting);
    source.m_Tmp.Write("src/content.xml", "<?xml version=\"1.0\"?><content>"
                                          "<painting file=\"textures/tile.png\" source=\"paintings/tile.paint\" "
                                          "mask=\"tile\"/></content>");
    const std::vector<std::string> made = source.Build();
    EXPECT_NE(std::find(made.begin(), made.end(), "textures/tile.png"), made.end());
    EXPECT_NE(std::find(made.begin(), made.end(), "properties/texturesalpha.bindump"), made.end());
    u32 width = 0, height = 0;
    std::vector<u32> pixels;
    ASSERT_TRUE(lv::content::DecodeImageDiskFile((source.m_Tmp.Path() / "out/textures/tile.png").string(), width,
                                                 height, pixels));
    EXPECT_EQ(width, 12u);
    EXPECT_EQ(height, 4u);
    EXPECT_EQ(pixels[0], 0xFF204060u);
    // The description is a source, not content.
    EXPECT_FALSE(fs::exists(source.m_Tmp.Path() / "out/paintings/tile.paint"));
    lv::core::CResourcePack pack((source.m_Tmp / "bin/game.pack").c_str(), "", true);
    EXPECT_TRUE(pack.Contains("textures/tile.png"));
    EXPECT_FALSE(pack.Contains("paintings/tile.paint"));

    EXPECT_TRUE(source.Build().empty()) << "nothing changed";
    source.Touch("src/paintings/tile.paint", kPainting + "color FF000000\nrect 0 0 1 1\n");
    EXPECT_EQ(source.Build(), Sorted({"game.pack", "textures/tile.png", "properties/resources.bindump",
                                      "properties/texturesalpha.bindump"}));

    // A bad description or a missing one stops the build with its message.
    source.Touch("src/paintings/tile.paint", "canvas 6 4\nsplash\n");
    std::string error;
    source.Build(&error);
    EXPECT_FALSE(source.m_Ok);
    EXPECT_NE(error.find("tile.paint: line 2: unknown command"), std::string::npos) << error;
    source.m_Tmp.Write("src/content.xml", "<?xml version=\"1.0\"?><content>"
                                          "<painting file=\"textures/tile.png\" source=\"../tile.paint\"/></content>");
    source.Build(&error);
    EXPECT_NE(error.find("inside the content folder"), std::string::npos) << error;
}
