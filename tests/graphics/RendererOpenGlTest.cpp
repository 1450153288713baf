// Clipping through the whole path: renderer, render state, batch and the OpenGL device, read back
// from the back buffer under SDL's offscreen driver.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <memory>
#include <vector>

#include "graphics/GraphicsDevice.h"
#include "graphics/Renderer.h"
#include "graphics/RendererHost.h"
#include "platform/SdlWindow.h"

using namespace lv::graphics;

namespace {

// One degree in radians.
constexpr float kDegree = 3.14159265358979f / 180;

class CFixedHost final : public CRendererHost
{
public:
    HWND m_Window = nullptr;
    HWND GetWindowHandle() override { return m_Window; }
    void GetClientSize(s32& w, s32& h) override
    {
        w = 800;
        h = 600;
    }
    bool GetDesktopSize(s32& w, s32& h) override
    {
        GetClientSize(w, h);
        return true;
    }
    bool SetScreenMode(bool, bool, s32, s32) override { return true; }
    void GetRequestedWindowSize(s32& w, s32& h) override { GetClientSize(w, h); }
    void SetScreenArea(const CFloatRect&, const CVector2&) override {}
};

// Turns by an angle (radians) about a point.
CMatrix3 TurnAbout(float angle, float cx, float cy)
{
    CMatrix3 to, rot, back, a, b;
    CMatrix3::MakeTranslation(to, -cx, -cy);
    CMatrix3::MakeRotation(rot, angle);
    CMatrix3::MakeTranslation(back, cx, cy);
    to.Multiply(a, rot);
    a.Multiply(b, back);
    return b;
}

// An 800 x 600 design drawn 1:1 on an 800 x 600 back buffer, one frame open, cleared to black.
class RendererOpenGl : public testing::Test
{
protected:
    void SetUp() override
    {
        m_Host.m_Window = lv::platform::CreateSdlWindow("renderer test", 800, 600, false);
        ASSERT_NE(m_Host.m_Window, nullptr);
        lv::platform::SetDirect3DFactory(nullptr);
        GetGraphicsDevice().Release(false);
        m_Renderer = std::make_unique<CRenderer>();
        m_Renderer->SetHost(&m_Host);
        m_Renderer->SetSourceSize(800, 600);
        ASSERT_TRUE(m_Renderer->SetMode(false, true, 800, 600));
        ASSERT_NE(GetGraphicsDevice().GetDevice(), nullptr);
        ASSERT_TRUE(m_Renderer->BeginFrame());
    }
    void TearDown() override
    {
        if (m_Renderer)
            m_Renderer->EndFrame();
        m_Renderer.reset();
        lv::platform::DestroySdlWindow(m_Host.m_Window);
    }
    // Red channel of every back-buffer pixel, rows top first.
    std::vector<u32> RedChannel()
    {
        m_Renderer->Flush();
        u32* pixels = nullptr;
        u32 w = 0, h = 0;
        EXPECT_TRUE(m_Renderer->ReadPixels(pixels, w, h, CIntRect()));
        std::vector<u32> red;
        for (u32 i = 0; pixels && i < w * h; ++i)
            red.push_back((pixels[i] >> 16) & 0xFF);
        std::free(pixels);
        return red;
    }

    CFixedHost m_Host;
    std::unique_ptr<CRenderer> m_Renderer;
};

} // namespace

TEST_F(RendererOpenGl, NearlyCoincidingRotatedClipsDrawTheirSharedArea)
{
    // A 377-pixel square turned by 225 degrees, and a child clipped to it: the same square turned
    // a little further and one pixel to the side in its turned frame.
    m_Renderer->PushTransform();
    m_Renderer->MultiplyTransform(TurnAbout(225 * kDegree, 400, 300));
    m_Renderer->IntersectClip(CQuad(400 - 188.5f, 300 - 188.5f, 377, 377));
    m_Renderer->MultiplyTransform(TurnAbout(0.0002f, 400, 300));
    m_Renderer->IntersectClip(CQuad(400 - 189.5f, 300 - 188.5f, 377, 377));
    m_Renderer->PopTransform();
    m_Renderer->FillQuad(CQuad(-100, -100, 1000, 800), CColor(0xFFFFFFFFu));
    u32 covered = 0;
    for (u32 red : RedChannel())
        covered += red > 127 ? 1 : 0;
    const float shared = 376.0f * 377.0f;
    EXPECT_NEAR(static_cast<float>(covered), shared, 0.01f * shared);
}

TEST_F(RendererOpenGl, ClippedTranslucentLinesCoverEachPixelOnce)
{
    // An axis-aligned clip and a rotated one; lines crossing their edges, half transparent.
    const struct
    {
        float angleDegrees;
        CVector2 from, to;
    } cases[] = {
        {0, {0, 250.25f}, {799, 250.25f}},
        {0, {150.25f, 0}, {500.25f, 599}},
        {20, {0, 300.25f}, {799, 300.25f}},
        {20, {400.25f, 0}, {400.25f, 599}},
        {45, {0, 0}, {799, 599}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.angleDegrees << " degrees, line from " << c.from.X << ", " << c.from.Y);
        m_Renderer->Clear(CColor(0xFF000000u));
        m_Renderer->PushState();
        m_Renderer->PushTransform();
        m_Renderer->MultiplyTransform(TurnAbout(c.angleDegrees * kDegree, 400, 300));
        m_Renderer->IntersectClip(CQuad(250, 200, 300, 200));
        m_Renderer->PopTransform();
        m_Renderer->DrawLine(c.from, c.to, CColor(0x80FFFFFFu));
        m_Renderer->PopState();
        u32 drawn = 0, over = 0;
        for (u32 red : RedChannel()) {
            drawn += red > 0 ? 1 : 0;
            over += red > 0x82 ? 1 : 0;
        }
        EXPECT_GT(drawn, 100u);
        EXPECT_EQ(over, 0u) << "pixels blended more than once";
    }
}
