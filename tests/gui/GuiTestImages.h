#pragma once
// Declared images for the widget and cursor tests, given to the texture manager once per test
// program. Each is one frame of solid colour; the button strips have one colour per state.
// The surface files lie in a scratch folder of the process; ImagesFolder() names it (textures
// load their pixels from there on first draw, relative to the working folder).
#include "content/ImageWriter.h"
#include "content/TextureDeclarationWriter.h"
#include "core/ContentTestSupport.h"
#include "core/TempFolder.h"
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
        {"gui_cursors_pointer", 16, 16, [](u32, u32) { return 0xFFFF0000u; }},
        {"gui_cursors_hand", 20, 24, [](u32, u32) { return 0xFFFF00FFu; }},
        {"cursor_icon", 8, 8, [](u32, u32) { return 0xFF00FFFFu; }},
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

} // namespace guitest
