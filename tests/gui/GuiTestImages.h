#pragma once
// Declared images for the window tests, given to the texture manager once per test program:
// "win_bg" 96 x 96 (a nine-part frame: a dark border, a light centre with a tile pattern of
// 16 x 16 squares), "tip_bg" 24 x 24 (a yellow frame) and "icon" 16 x 16 (a red square with a
// blue dot). The folder holding the PNG files lives as long as the program.
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

inline const std::filesystem::path& GuiTestImageFolder()
{
    static const CTempFolder scratch;
    return scratch.Path();
}

inline void DeclareGuiTestImages()
{
    static lv::graphics::CTextureDeclarations* declarations = [] {
        const std::filesystem::path& folder = GuiTestImageFolder();
        const auto write = [&](const char* name, u32 w, u32 h, const std::function<u32(u32, u32)>& pixel) {
            std::vector<u32> pixels(w * h);
            for (u32 y = 0; y < h; ++y)
                for (u32 x = 0; x < w; ++x)
                    pixels[y * w + x] = pixel(x, y);
            std::vector<u8> png;
            EXPECT_TRUE(lv::content::EncodePngArgb(w, h, pixels, true, png));
            std::filesystem::create_directories(folder / "gfx");
            std::ofstream(folder / name, std::ios::binary)
                .write(reinterpret_cast<const char*>(png.data()), static_cast<std::streamsize>(png.size()));
        };
        write("gfx/win_bg.png", 96, 96, [](u32 x, u32 y) -> u32 {
            if (x < 4 || y < 4 || x >= 92 || y >= 92)
                return 0xFF203050u;
            if (x < 32 || y < 32 || x >= 64 || y >= 64)
                return 0xFF5070A0u;
            return ((x / 8 + y / 8) % 2) ? 0xFFC0D0E0u : 0xFFA0B8D0u;
        });
        write("gfx/tip_bg.png", 24, 24, [](u32 x, u32 y) -> u32 {
            return (x < 2 || y < 2 || x >= 22 || y >= 22) ? 0xFF806000u : 0xFFFFF0A0u;
        });
        write("gfx/icon.png", 16, 16, [](u32 x, u32 y) -> u32 {
            return (x >= 6 && x < 10 && y >= 6 && y < 10) ? 0xFF2040FFu : 0xFFE03020u;
        });
        const CWorkingFolder cwd(folder);
        std::vector<u8> blob;
        EXPECT_TRUE(lv::content::CompileTextureDeclarations(
            "<?xml version=\"1.0\"?>\n<resources><surfaces>"
            "<surface path=\"gfx/win_bg.png\" width=\"96\" height=\"96\"/>"
            "<surface path=\"gfx/tip_bg.png\" width=\"24\" height=\"24\"/>"
            "<surface path=\"gfx/icon.png\" width=\"16\" height=\"16\"/></surfaces>"
            "<group id=\"g\"><image id=\"win_bg\" path=\"gfx/win_bg.png\" cols=\"1\" rows=\"1\"/>"
            "<image id=\"tip_bg\" path=\"gfx/tip_bg.png\" cols=\"1\" rows=\"1\"/>"
            "<image id=\"icon\" path=\"gfx/icon.png\" cols=\"1\" rows=\"1\"/>"
            "</group></resources>",
            blob));
        auto* d = new lv::graphics::CTextureDeclarations();
        EXPECT_TRUE(d->LoadBlob(blob.data(), static_cast<u32>(blob.size())));
        lv::graphics::CTextureManager::Instance().Init(d);
        return d;
    }();
    (void)declarations;
}
