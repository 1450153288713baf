// A picture drawn into a render target and drawn from it again, through the OpenGL device layer.
#include "GlRendererTest.h"
#include "graphics/ImageHandle.h"

using lv::graphics::CImageHandle;
using lv::graphics::CTexture;

namespace {

using RenderTargetTest = CGlRendererTest;

TEST_F(RenderTargetTest, PictureKeepsItsTopAtTheTopAndItsLeftAtTheLeft)
{
    CTexture* target = lv::graphics::CTextureManager::Instance().CreateRenderTarget(32, 32);
    ASSERT_NE(target, nullptr);
    CImageHandle image;
    image.BindTexture(target);

    ASSERT_TRUE(m_Renderer->BeginFrame());
    m_Renderer->SetRenderTarget(target);
    m_Renderer->FillQuad(CQuad(0, 0, 32, 16), CColor(0xFFFFFF00u));  // top half yellow
    m_Renderer->FillQuad(CQuad(0, 16, 32, 16), CColor(0xFF0000FFu)); // bottom half blue
    m_Renderer->FillQuad(CQuad(0, 0, 8, 8), CColor(0xFFFF0000u));    // red top-left corner
    m_Renderer->SetRenderTarget(nullptr);
    m_Renderer->FillQuad(CQuad(0, 0, kWidth, kHeight), CColor(0xFF000000u));
    m_Renderer->DrawImage(&image, 64, 16, 0, CColor());
    const std::vector<u32> frame = ReadFrame();
    m_Renderer->EndFrame();

    struct Probe
    {
        const char* Where;
        s32 X, Y;
        u32 Expected;
    };
    const Probe probes[] = {
        {"top-left corner", 66, 18, 0xFFFF0000u},   {"top-right", 92, 18, 0xFFFFFF00u},
        {"top, middle", 80, 28, 0xFFFFFF00u},       {"bottom-left", 66, 44, 0xFF0000FFu},
        {"bottom-right", 92, 44, 0xFF0000FFu},      {"above the picture", 80, 14, 0xFF000000u},
        {"below the picture", 80, 49, 0xFF000000u},
    };
    for (const Probe& p : probes)
        EXPECT_EQ(At(frame, p.X, p.Y), p.Expected) << p.Where << std::hex << ": " << At(frame, p.X, p.Y);
    image.Release();
    target->ReleaseDeviceTexture();
}

} // namespace
