// Renders a scene through the OpenGL device layer into a hidden window and compares it with a
// reference image. GAME_UPDATE_GOLDEN=1 writes the reference instead (check it by eye).
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <vector>

#include "graphics/GraphicsDevice.h"
#include "graphics/ImageHandle.h"
#include "graphics/Renderer.h"
#include "graphics/RendererHost.h"
#include "graphics/Texture.h"
#include "graphics/TextureManager.h"
#include "platform/SdlWindow.h"
#include "support/GoldenImage.h"

using namespace lv::graphics;

namespace {

class CWindowHost final : public CRendererHost
{
public:
    HWND m_Window = nullptr;
    HWND GetWindowHandle() override { return m_Window; }
    void GetClientSize(s32& w, s32& h) override
    {
        w = 1024;
        h = 768;
    }
    bool GetDesktopSize(s32& w, s32& h) override
    {
        w = 1024;
        h = 768;
        return true;
    }
    bool SetScreenMode(bool, bool, s32, s32) override { return true; }
    void GetRequestedWindowSize(s32& w, s32& h) override { GetClientSize(w, h); }
    void SetScreenArea(const CFloatRect&, const CVector2&) override {}
};

CTexture* MakeTexture(u32 w, u32 h, u32 (*pixel)(u32 x, u32 y))
{
    CTexture* t = CTextureManager::Instance().CreateTexture(w, h);
    if (!t)
        return nullptr;
    std::vector<u32> pixels(w * h);
    for (u32 y = 0; y < h; ++y)
        for (u32 x = 0; x < w; ++x)
            pixels[y * w + x] = pixel(x, y);
    t->UploadArgb(pixels.data());
    return t;
}

// Draws like the application's letterbox bars: black quads outside the design area.
void DrawLetterboxBars(CRenderer& r)
{
    const CFloatRect viewport = r.GetViewportRect();
    const CVector2& k = *r.GetAspectScale();
    const float w = static_cast<float>(r.GetSourceSize().X), h = static_cast<float>(r.GetSourceSize().Y);
    const CColor black(0xFF000000u);
    if (viewport.X > 0) {
        const float b = viewport.X / k.X;
        r.FillQuad(CQuad(-b, 0, b, h), black);
        r.FillQuad(CQuad(w, 0, b, h), black);
    } else if (viewport.Y > 0) {
        const float b = viewport.Y / k.Y;
        r.FillQuad(CQuad(0, -b, w, b), black);
        r.FillQuad(CQuad(0, h, w, b), black);
    }
}

} // namespace

TEST(GoldenImage, LetterboxedSceneThroughOpenGl)
{
    CWindowHost host;
    host.m_Window = lv::platform::CreateSdlWindow("renderer test", 1024, 768, false);
    ASSERT_NE(host.m_Window, nullptr);
    lv::platform::SetDirect3DFactory(nullptr);
    GetGraphicsDevice().Release(false);
    std::vector<u32> pixels;
    u32 width = 0, height = 0;
    {
        CRenderer renderer;
        renderer.SetHost(&host);
        renderer.SetPreserveAspectRatio(true);
        renderer.SetSourceSize(1366, 768);
        ASSERT_TRUE(renderer.SetMode(false, true, 1024, 768));
        ASSERT_NE(GetGraphicsDevice().GetDevice(), nullptr);

        // A 16 x 16 checker with a colour ramp, and a 30 x 30 frame: red corners, green edges,
        // a blue centre with a lighter dot so that repeats show.
        CImageHandle checker, frame;
        checker.BindTexture(MakeTexture(16, 16, [](u32 x, u32 y) -> u32 {
            return ((x / 4 + y / 4) % 2) ? 0xFFFFFFFFu
                                         : (0xFF000000u | (x * 16) << 16 | (y * 16) << 8 | 0x80);
        }));
        frame.BindTexture(MakeTexture(30, 30, [](u32 x, u32 y) -> u32 {
            const bool edgeX = x < 10 || x >= 20, edgeY = y < 10 || y >= 20;
            if (edgeX && edgeY)
                return 0xFFE02020u;
            if (edgeX || edgeY)
                return 0xFF20C040u;
            return (x == 15 && y == 15) ? 0xFFA0A0FFu : 0xFF2040E0u;
        }));
        ASSERT_NE(checker.GetTexture(), nullptr);
        ASSERT_NE(frame.GetTexture(), nullptr);

        ASSERT_TRUE(renderer.BeginFrame());
        renderer.FillQuad(CQuad(0, 0, 1366, 768), CColor(0xFF304050u));
        // Reaches into the bars, which must cover it again.
        renderer.FillQuad(CQuad(1250, -300, 60, 1400), CColor(0xFFFF00FFu));
        renderer.FillQuad(CQuad(60, 60, 300, 200), CColor(0xFFFF8000u));
        renderer.FillQuad(CQuad(200, 160, 300, 200), CColor(0x80FFFFFFu));
        renderer.DrawImageUv(&checker, CFloatRect(600, 60, 256, 256), CFloatRect(0.25f, 0.25f, 0.75f, 0.75f),
                             CColor());
        renderer.DrawImageUv(&checker, CFloatRect(900, 60, 128, 128), CFloatRect(0, 0, 1, 1),
                             CColor(0xFFFF8080u));
        renderer.DrawTiledFrame(&frame, CFloatRect(60, 420, 300, 120), 0, CColor());
        renderer.DrawTiledFrame(&frame, CFloatRect(420, 420, 105, 60), 0, CColor());
        DrawLetterboxBars(renderer);
        renderer.Flush();
        u32* read = nullptr;
        ASSERT_TRUE(renderer.ReadPixels(read, width, height, CIntRect()));
        pixels.assign(read, read + width * height);
        std::free(read);
        renderer.EndFrame();
    }
    lv::platform::DestroySdlWindow(host.m_Window);
    ASSERT_EQ(width, 1024u);
    ASSERT_EQ(height, 768u);
    testsupport::ExpectGoldenImage(testsupport::GoldenFolder(__FILE__), "renderer_letterbox",
                                   width, height, pixels);
}
