#pragma once
// Fixtures of the HUD tests: the HUD's declared images (solid colours, sizes chosen so layouts
// are easy to check), the font "font_16", and a quest whose scene "hall" holds inventory items:
// images "key", "coin", "1001".."1020" and groups "box" (with "__inv") , "bag" (with "__cursor"
// and "__inv"), "empty" (no children) and the composite parts "Part_1".."Part_4", plus
// "heart/Details". Quiet message boxes (they are only logged).
#include "content/ImageWriter.h"
#include "content/TextureDeclarationWriter.h"
#include "core/ContentTestSupport.h"
#include "core/MessageBox.h"
#include "core/TempFolder.h"
#include "graphics/DeclarationSet.h"
#include "graphics/FontManager.h"
#include "graphics/TextureDeclarations.h"
#include "graphics/TextureManager.h"
#include "qe/Quest.h"
#include "qe/QuestData.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

namespace hudtest {

struct SHudImage
{
    const char* name;
    u32 width, height;
    u32 colour;
    // Above 0: only a border this wide is painted, the inside is clear (a frame).
    u32 border = 0;
};

inline const std::vector<SHudImage>& HudImages()
{
    static const std::vector<SHudImage> images = {
        {"windows_window_standart", 400, 300, 0xFF806040u},
        // Four frames of 120 x 40.
        {"windows_button", 480, 40, 0xFF4080FFu},
        {"gui_cursors_pointer_item_ring", 100, 100, 0xFFFFFFFFu},
        {"windows_bubblehelp", 60, 50, 0xFFF0F0C0u},
        {"windows_bubblehelp_arrow", 20, 30, 0xFFF0F0C0u},
        {"windows_window_replica", 200, 120, 0xFF303030u},
        {"gui_park_inventory_inventory_interact", 16, 16, 0xFF00FF00u},
        {"item_small", 40, 30, 0xFFFF0000u},
        {"item_large", 200, 100, 0xFF0000FFu},
        {"font_16_image", 512, 16, 0xFFFFFFFFu},
        // The hidden-object panel, stretched over the screen's bottom.
        {"gui_park_inventory_hog_inv_1", 64, 120, 0xFF504030u},
        // The hidden-object popup's frame and close button.
        {"windows_miniframe_miniframe", 96, 96, 0xFF40A060u, 20},
        {"windows_miniframe_button_closed_normal", 30, 28, 0xFFC00000u},
        {"windows_miniframe_button_closed_on", 30, 28, 0xFFFF4040u},
    };
    return images;
}

inline const std::filesystem::path& HudFolder()
{
    static const CTempFolder scratch;
    return scratch.Path();
}

// Safe to call from every test; the first call declares the images and the font.
inline void DeclareHudContent()
{
    static const bool declared = [] {
        lv::core::SetQuietMessageBoxes(true);
        const std::filesystem::path& folder = HudFolder();
        std::filesystem::create_directories(folder / "gfx");
        std::string surfaces, group;
        for (const SHudImage& image : HudImages()) {
            std::vector<u32> pixels(image.width * image.height, image.colour);
            if (image.border > 0)
                for (u32 y = image.border; y + image.border < image.height; ++y)
                    for (u32 x = image.border; x + image.border < image.width; ++x)
                        pixels[y * image.width + x] = 0;
            std::vector<u8> png;
            EXPECT_TRUE(lv::content::EncodePngArgb(image.width, image.height, pixels, true, png));
            const std::string path = std::string("gfx/") + image.name + ".png";
            std::ofstream(folder / path, std::ios::binary)
                .write(reinterpret_cast<const char*>(png.data()), static_cast<std::streamsize>(png.size()));
            surfaces += "<surface path=\"" + path + "\" width=\"" + std::to_string(image.width) + "\" height=\"" +
                        std::to_string(image.height) + "\"/>";
            group += std::string("<image id=\"") + image.name + "\" path=\"" + path + "\" cols=\"1\" rows=\"1\"/>";
        }
        const CWorkingFolder cwd(folder);
        std::vector<u8> blob;
        EXPECT_TRUE(lv::content::CompileTextureDeclarations("<?xml version=\"1.0\"?>\n<resources><surfaces>" +
                                                                surfaces + "</surfaces><group id=\"hud\">" + group +
                                                                "</group></resources>",
                                                            blob));
        auto* declarations = new lv::graphics::CTextureDeclarations();
        EXPECT_TRUE(declarations->LoadBlob(blob.data(), static_cast<u32>(blob.size())));
        lv::graphics::CTextureManager::Instance().Init(declarations);

        // "font_16": 10 pixels high, every printable ASCII glyph 5 wide, space 4.
        std::string xml = "<?xml version=\"1.0\"?>\n<Font Version=\"2\" Padding=\"0 0 0 0\" PixHeight=\"10\" "
                          "Baseline=\"2\" Space=\"4\" SymbolGap=\"1\" LineGap=\"2\">\n";
        int i = 0;
        for (char c = '!'; c <= '~'; ++c, ++i) {
            if (c == '"' || c == '&' || c == '<' || c == '>' || c == '\'')
                continue;
            xml += "<Char Code=\"" + std::string(1, c) + "\" Rect=\"" + std::to_string(i * 5) + " 0 " +
                   std::to_string(i * 5 + 4) + " 10\" Width=\"5\" TopOffset=\"0\"/>\n";
        }
        xml += "</Font>\n";
        std::filesystem::create_directories(folder / "fonts");
        std::ofstream(folder / "fonts" / "font_16.xml", std::ios::binary) << xml;
        const std::string fonts = "<?xml version=\"1.0\"?><fonts><font id=\"font_16\" "
                                  "image=\"font_16_image\" file=\"fonts\\font_16.xml\"/></fonts>";
        auto set = lv::graphics::CDeclarationSet::Create();
        set->LoadXml(fonts.data(), fonts.size(), nullptr);
        int counter = 0;
        lv::core::CFontManager::Instance()->LoadAll(*set, &counter);
        EXPECT_NE(lv::core::CFontManager::Instance()->FindFont("font_16"), nullptr);
        return true;
    }();
    (void)declared;
}

inline std::string HudQuestXml()
{
    std::string objects;
    const auto image = [](const std::string& id, const std::string& guid, const char* picture, s32 x, s32 y) {
        return "<image id=\"" + id + "\" guid=\"" + guid + "\" image_id=\"" + picture + "\" offset=\"" +
               std::to_string(x) + " " + std::to_string(y) + "\" size=\"40 30\"/>";
    };
    objects += image("key", "a1", "item_small", 100, 100);
    objects += image("coin", "a2", "item_large", 300, 200);
    for (int i = 1; i <= 20; ++i)
        objects += image(std::to_string(1000 + i), "b" + std::to_string(i), "item_small", 10 * i, 10);
    objects += "<group id=\"box\" guid=\"c1\">" + image("__inv", "c2", "item_small", 500, 400) + "</group>";
    objects += "<group id=\"bag\" guid=\"c3\">" + image("__cursor", "c4", "item_large", 0, 0) +
               image("__inv", "c5", "item_small", 0, 0) + "</group>";
    objects += "<group id=\"empty\" guid=\"c6\"></group>";
    for (int i = 1; i <= 4; ++i)
        objects += "<group id=\"Part_" + std::to_string(i) + "\" guid=\"d" + std::to_string(i) + "\">" +
                   image("__inv", "e" + std::to_string(i), "item_small", 50 * i, 60) + "</group>";
    return R"(<?xml version="1.0"?>
<quest_data>
  <Structure>
    <quest id="main">
      <scene id="hall" guid="1" flags="1" size="1366 768" work_area="0 0 1366 768"/>
      <scene id="heart" guid="2" flags="1" size="1366 768" work_area="0 0 1366 768"/>
    </quest>
  </Structure>
  <scene_content guid="1"><objects>)" +
           objects + R"(</objects></scene_content>
  <scene_content guid="2"><objects><image id="Details" guid="f1" image_id="item_large"/></objects></scene_content>
</quest_data>
)";
}

// The quest "main" of the fixture, built from XML; its data lives for the whole program.
inline std::unique_ptr<qe::CQuest> CreateHudQuest()
{
    DeclareHudContent();
    static qe::CQuestData* data = [] {
        auto* built = new qe::CQuestData();
        EXPECT_TRUE(built->BuildFromXmlText(HudQuestXml()));
        return built;
    }();
    return std::unique_ptr<qe::CQuest>(data->CreateQuest("main", nullptr, nullptr));
}

} // namespace hudtest
