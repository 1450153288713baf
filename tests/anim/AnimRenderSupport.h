#pragma once
// A renderer host and a few declared images for the tests that draw through the recording device.
#include "content/ImageWriter.h"
#include "content/TextureDeclarationWriter.h"
#include "core/ContentTestSupport.h"
#include "core/TempFolder.h"
#include "graphics/GraphicsDevice.h"
#include "graphics/Renderer.h"
#include "graphics/RendererHost.h"
#include "graphics/TextureDeclarations.h"
#include "graphics/TextureManager.h"
#include "platform/d3d9/RecordingDirect3D.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <fstream>
#include <memory>
#include <tuple>
#include <vector>

namespace lv::graphics {
class CAnimTestHost final : public CRendererHost
{
public:
    HWND GetWindowHandle() override { return nullptr; }
    void GetClientSize(s32& w, s32& h) override
    {
        w = 1366;
        h = 768;
    }
    bool GetDesktopSize(s32& w, s32& h) override
    {
        w = 1366;
        h = 768;
        return true;
    }
    bool SetScreenMode(bool, bool, s32, s32) override { return true; }
    void GetRequestedWindowSize(s32& w, s32& h) override
    {
        w = 1366;
        h = 768;
    }
    void SetScreenArea(const CFloatRect&, const CVector2&) override {}
};

// The folder of the declared images' files: the texture manager reads them from there when the
// working folder is set to it. Each test process gets its own folder: CTest runs them side by
// side, and one rewriting a file another has mapped kills the reader with SIGBUS.
inline const std::filesystem::path& AnimTestImageFolder()
{
    static const CTempFolder scratch;
    return scratch.Path();
}

// Declared images, given to the texture manager once for the whole test program: "pic", one
// 40 x 20 frame, "walk", four 16 x 16 frames of 100 ms each, "spark", one 8 x 4 frame (all
// opaque grey), and "glow", a 16 x 16 white disc fading out towards its edge.
inline void DeclareAnimTestImages()
{
    static CTextureDeclarations* declarations = [] {
        // Grid images take their frame size from the surface files, which the compiler probes
        // in the working folder.
        const std::filesystem::path& folder = AnimTestImageFolder();
        std::filesystem::create_directories(folder / "gfx");
        for (const auto& [name, w, h] : {std::tuple{"gfx/pic.png", 40u, 20u}, std::tuple{"gfx/walk.png", 64u, 16u},
                                                   std::tuple{"gfx/spark.png", 8u, 4u}, std::tuple{"gfx/glow.png", 16u, 16u}}) {
            std::vector<u32> pixels(w * h, 0xFF808080u);
            const bool glow = w == 16 && h == 16;
            if (glow) {
                for (u32 y = 0; y < h; ++y)
                    for (u32 x = 0; x < w; ++x) {
                        const float dx = float(x) - 7.5f, dy = float(y) - 7.5f;
                        const float d = std::sqrt(dx * dx + dy * dy) / 8.0f;
                        pixels[y * w + x] = (u32(255 * std::max(0.0f, 1.0f - d)) << 24) | 0xFFFFFFu;
                    }
            }
            std::vector<u8> png;
            EXPECT_TRUE(lv::content::EncodePngArgb(w, h, pixels, glow, png));
            std::ofstream(folder / name, std::ios::binary).write(reinterpret_cast<const char*>(png.data()),
                                                                 static_cast<std::streamsize>(png.size()));
        }
        const CWorkingFolder cwd(folder);
        std::vector<u8> blob;
        lv::content::CompileTextureDeclarations(
            "<?xml version=\"1.0\"?>\n<resources><surfaces>"
            "<surface path=\"gfx/pic.png\" width=\"40\" height=\"20\"/>"
            "<surface path=\"gfx/walk.png\" width=\"64\" height=\"16\"/>"
            "<surface path=\"gfx/spark.png\" width=\"8\" height=\"4\"/>"
            "<surface path=\"gfx/glow.png\" width=\"16\" height=\"16\"/></surfaces>"
            "<group id=\"g\"><image id=\"pic\" path=\"gfx/pic.png\" cols=\"1\" rows=\"1\"/>"
            "<image id=\"walk\" path=\"gfx/walk.png\" cols=\"4\" rows=\"1\" anim_type=\"loop\" frame_delay=\"100\"/>"
            "<image id=\"spark\" path=\"gfx/spark.png\" cols=\"1\" rows=\"1\"/>"
            "<image id=\"glow\" path=\"gfx/glow.png\" cols=\"1\" rows=\"1\"/>"
            "</group></resources>",
            blob);
        auto* d = new CTextureDeclarations();
        EXPECT_TRUE(d->LoadBlob(blob.data(), static_cast<u32>(blob.size())));
        CTextureManager::Instance().Init(d);
        return d;
    }();
    (void)declarations;
}

// A renderer over the recording device with one frame open, the test images declared.
class CRecordingFrameTest : public testing::Test
{
protected:
    void SetUp() override
    {
        DeclareAnimTestImages();
        m_Log = lv::platform::InstallRecordingDirect3D();
        m_Log->WindowWidth = 1366;
        m_Log->WindowHeight = 768;
        GetGraphicsDevice().Release(false);
        m_Renderer = std::make_unique<CRenderer>();
        m_Renderer->SetHost(&m_Host);
        m_Renderer->SetSourceSize(1366, 768);
        ASSERT_TRUE(m_Renderer->SetMode(false, true, 1366, 768));
        ASSERT_TRUE(m_Renderer->BeginFrame());
        m_Log->Take();
        m_Log->Draws.clear();
    }
    void TearDown() override
    {
        m_Renderer.reset();
        CTextureManager::Instance().ReleaseAllDeviceTextures();
        lv::platform::SetDirect3DFactory(nullptr);
    }

    CAnimTestHost m_Host;
    std::shared_ptr<lv::platform::CRecordingLog> m_Log;
    std::unique_ptr<CRenderer> m_Renderer;
};

} // namespace lv::graphics
