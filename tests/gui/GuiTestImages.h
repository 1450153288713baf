#pragma once
// Declared images for the widget, window and cursor tests, given to the texture manager once per
// test program. Most are one frame of solid colour; the button strips have one colour per state.
// "win_bg" 96 x 96 is a nine-part frame (a dark border, a light centre with a tile pattern of
// 16 x 16 squares), "tip_bg" 24 x 24 a yellow frame and "icon" 16 x 16 a red square with a blue dot.
// The surface files lie in a scratch folder of the process; ImagesFolder() names it (textures
// load their pixels from there on first draw, relative to the working folder).
#include "content/ImageWriter.h"
#include "content/TextureDeclarationWriter.h"
#include "core/ContentTestSupport.h"
#include "core/TempFolder.h"
#include "graphics/DeclarationSet.h"
#include "graphics/FontManager.h"
#include "graphics/TextureDeclarations.h"
#include "graphics/TextureManager.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <functional>
#include <string>
#include <vector>

namespace guitest {

struct SImage
{
    const char* name;
    u32 width, height;
    std::function<u32(u32 x, u32 y)> pixel;
};

// Button strip colours by state: normal, over, pressed, disabled.
constexpr u32 kStripColors[4] = {0xFF808080u, 0xFF4080FFu, 0xFF2040A0u, 0xFF404040u};

inline const std::vector<SImage>& GuiImages()
{
    static const std::vector<SImage> images = {
        {"strip4", 400, 30, [](u32 x, u32) { return kStripColors[x / 100]; }},
        {"strip3", 300, 30, [](u32 x, u32) { return kStripColors[x / 100]; }},
        {"strip_tile", 120, 30, [](u32, u32) { return kStripColors[0]; }},
        // Left half of each 40-pixel state transparent.
        {"strip_alpha", 160, 20, [](u32 x, u32) { return x % 40 < 20 ? 0x00000000u : 0xFF808080u; }},
        {"box", 32, 32, [](u32, u32) { return 0xFFF0F0F0u; }},
        {"check", 20, 20, [](u32, u32) { return 0xFF20C020u; }},
        {"gray_box", 32, 32, [](u32, u32) { return 0xFFA0A0A0u; }},
        {"gray_check", 20, 20, [](u32, u32) { return 0xFF606060u; }},
        {"track", 200, 20, [](u32, u32) { return 0xFF804020u; }},
        {"thumb", 20, 30, [](u32, u32) { return 0xFFFFD000u; }},
        // Scroll bar parts: a track tile, and thumb and arrow strips of four 16-wide states.
        {"sb_back", 16, 16, [](u32, u32) { return 0xFF303848u; }},
        {"sb_thumb", 64, 20, [](u32 x, u32) { return kStripColors[x / 16]; }},
        {"sb_arrow", 64, 16, [](u32 x, u32 y) { return y > 4 && y < 12 ? 0xFFFFFFFFu : kStripColors[x / 16]; }},
        // Glyph sheet of the font "gui_font" (see DeclareGuiTestFont).
        {"gui_font_image", 512, 16, [](u32, u32) { return 0xFFFFFFFFu; }},
        {"gui_cursors_pointer", 16, 16, [](u32, u32) { return 0xFFFF0000u; }},
        {"gui_cursors_hand", 20, 24, [](u32, u32) { return 0xFFFF00FFu; }},
        {"cursor_icon", 8, 8, [](u32, u32) { return 0xFF00FFFFu; }},
        {"win_bg", 96, 96,
         [](u32 x, u32 y) -> u32 {
             if (x < 4 || y < 4 || x >= 92 || y >= 92)
                 return 0xFF203050u;
             if (x < 32 || y < 32 || x >= 64 || y >= 64)
                 return 0xFF5070A0u;
             return ((x / 8 + y / 8) % 2) ? 0xFFC0D0E0u : 0xFFA0B8D0u;
         }},
        {"tip_bg", 24, 24,
         [](u32 x, u32 y) -> u32 { return (x < 2 || y < 2 || x >= 22 || y >= 22) ? 0xFF806000u : 0xFFFFF0A0u; }},
        {"icon", 16, 16,
         [](u32 x, u32 y) -> u32 { return (x >= 6 && x < 10 && y >= 6 && y < 10) ? 0xFF2040FFu : 0xFFE03020u; }},
        // Composite widgets: a combo button strip (four 20-wide states with a light arrow), tab
        // button strips of four 80, 60 and 90-wide states, a framed background, a grid line strip
        // of 15 pieces 4 wide, cell backgrounds, a progress frame and a green ramp to reveal.
        {"combo_btn", 80, 20,
         [](u32 x, u32 y) {
             return (y > 6 && y < 12 && x % 20 > 5 && x % 20 < 15) ? 0xFFF0F0F0u : kStripColors[x / 20];
         }},
        {"tab80", 320, 20, [](u32 x, u32 y) { return y < 2 ? 0xFF203050u : kStripColors[x / 80]; }},
        {"tab60", 240, 20, [](u32 x, u32) { return kStripColors[x / 60]; }},
        {"tab90", 360, 20, [](u32 x, u32) { return kStripColors[x / 90]; }},
        {"frame24", 24, 24,
         [](u32 x, u32 y) -> u32 {
             return (x < 3 || y < 3 || x >= 21 || y >= 21) ? 0xFF203050u : 0xFFD8E0E8u;
         }},
        {"table_lines", 60, 2, [](u32 x, u32) { return x / 4 < 4 ? 0xFF802020u : 0xFF203050u; }},
        {"cell_bg", 16, 16, [](u32, u32) { return 0xFFE8E8D0u; }},
        {"cell_title", 16, 16, [](u32, u32) { return 0xFFC0A060u; }},
        {"cell_sel", 16, 16, [](u32, u32) { return 0xFF6090F0u; }},
        {"pb_frame", 32, 16,
         [](u32 x, u32 y) -> u32 { return (x < 2 || y < 2 || x >= 30 || y >= 14) ? 0xFF202020u : 0xFF505050u; }},
        {"pb_fill", 200, 12, [](u32 x, u32) { return 0xFF000000u | ((40 + x) << 8) | (x / 2); }},
    };
    return images;
}

inline const std::filesystem::path& ImagesFolder()
{
    static const CTempFolder scratch;
    return scratch.Path();
}

// Safe to call from every test; the first call declares the images.
inline void DeclareGuiTestImages()
{
    static const bool declared = [] {
        const std::filesystem::path& folder = ImagesFolder();
        std::filesystem::create_directories(folder / "gfx");
        std::string surfaces, group;
        for (const SImage& image : GuiImages()) {
            std::vector<u32> pixels(image.width * image.height);
            for (u32 y = 0; y < image.height; ++y)
                for (u32 x = 0; x < image.width; ++x)
                    pixels[y * image.width + x] = image.pixel(x, y);
            std::vector<u8> png;
            EXPECT_TRUE(lv::content::EncodePngArgb(image.width, image.height, pixels, true, png));
            const std::string path = std::string("gfx/") + image.name + ".png";
            std::ofstream(folder / path, std::ios::binary)
                .write(reinterpret_cast<const char*>(png.data()), static_cast<std::streamsize>(png.size()));
            surfaces += "<surface path=\"" + path + "\" width=\"" + std::to_string(image.width) +
                        "\" height=\"" + std::to_string(image.height) + "\"/>";
            group +=
                std::string("<image id=\"") + image.name + "\" path=\"" + path + "\" cols=\"1\" rows=\"1\"/>";
        }
        const CWorkingFolder cwd(folder);
        std::vector<u8> blob;
        EXPECT_TRUE(lv::content::CompileTextureDeclarations("<?xml version=\"1.0\"?>\n<resources><surfaces>" +
                                                                surfaces + "</surfaces><group id=\"gui\">" +
                                                                group + "</group></resources>",
                                                            blob));
        auto* declarations = new lv::graphics::CTextureDeclarations();
        EXPECT_TRUE(declarations->LoadBlob(blob.data(), static_cast<u32>(blob.size())));
        lv::graphics::CTextureManager::Instance().Init(declarations);
        return true;
    }();
    (void)declared;
}

// The font "gui_font" (10 pixels high, glyphs a..z and A..Z 5 wide, space 4, symbol gap 1) in
// the process-wide font manager, so templates can name it. Declares the images first.
inline const lv::graphics::CFont* DeclareGuiTestFont()
{
    DeclareGuiTestImages();
    static const lv::graphics::CFont* font = [] {
        std::string xml = "<?xml version=\"1.0\"?>\n<Font Version=\"2\" Padding=\"0 0 0 0\" PixHeight=\"10\" "
                          "Baseline=\"2\" Space=\"4\" SymbolGap=\"1\" LineGap=\"2\">\n";
        int i = 0;
        for (const char* range : {"az", "AZ", "09"})
            for (char c = range[0]; c <= range[1]; ++c, ++i)
                xml += "<Char Code=\"" + std::string(1, c) + "\" Rect=\"" + std::to_string(i * 8) + " 0 " +
                       std::to_string(i * 8 + 6) + " 10\" Width=\"5\" TopOffset=\"0\"/>\n";
        xml += "</Font>\n";
        const std::filesystem::path& folder = ImagesFolder();
        std::filesystem::create_directories(folder / "fonts");
        std::ofstream(folder / "fonts" / "gui_font.xml", std::ios::binary) << xml;
        const CWorkingFolder cwd(folder);
        const std::string declarations = "<?xml version=\"1.0\"?><fonts><font id=\"gui_font\" "
                                         "image=\"gui_font_image\" file=\"fonts\\gui_font.xml\"/></fonts>";
        auto set = lv::graphics::CDeclarationSet::Create();
        set->LoadXml(declarations.data(), declarations.size(), nullptr);
        int counter = 0;
        lv::core::CFontManager::Instance()->LoadAll(*set, &counter);
        return lv::core::CFontManager::Instance()->FindFont("gui_font");
    }();
    return font;
}

} // namespace guitest
