#include "graphics/Renderer.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <memory>
#include <vector>

#include "LogCapture.h"
#include "graphics/GraphicsDevice.h"
#include "graphics/ImageHandle.h"
#include "graphics/ImageInfo.h"
#include "graphics/RenderBatch.h"
#include "graphics/RendererHost.h"
#include "graphics/Texture.h"
#include "graphics/TextureManager.h"
#include "platform/d3d9/RecordingDirect3D.h"

using namespace lv::graphics;
using Calls = std::vector<std::string>;

namespace {

class CTestHost final : public CRendererHost
{
public:
    s32 m_ClientWidth = 1024, m_ClientHeight = 768;
    s32 m_DesktopWidth = 1920, m_DesktopHeight = 1080;
    s32 m_RequestedWidth = 1366, m_RequestedHeight = 768;
    std::vector<std::string> m_Calls;
    CFloatRect m_Viewport;
    CVector2 m_Scale;

    HWND GetWindowHandle() override { return nullptr; }
    void GetClientSize(s32& w, s32& h) override
    {
        w = m_ClientWidth;
        h = m_ClientHeight;
    }
    bool GetDesktopSize(s32& w, s32& h) override
    {
        w = m_DesktopWidth;
        h = m_DesktopHeight;
        return true;
    }
    bool SetScreenMode(bool fullscreen, bool flag, s32 w, s32 h) override
    {
        m_Calls.push_back("SetScreenMode(" + std::to_string(fullscreen) + ", " + std::to_string(flag) + ", " +
                          std::to_string(w) + ", " + std::to_string(h) + ")");
        return true;
    }
    void GetRequestedWindowSize(s32& w, s32& h) override
    {
        w = m_RequestedWidth;
        h = m_RequestedHeight;
    }
    void SetScreenArea(const CFloatRect& viewport, const CVector2& scale) override
    {
        m_Viewport = viewport;
        m_Scale = scale;
    }
};

// Vertices of the recorded draws, in order.
std::vector<CVertex> DrawnVertices(const lv::platform::CRecordingLog& log)
{
    std::vector<CVertex> out;
    for (const auto& d : log.Draws) {
        const auto* v = reinterpret_cast<const CVertex*>(d.Vertices.data());
        out.insert(out.end(), v, v + d.Vertices.size() / sizeof(CVertex));
    }
    return out;
}

// A renderer over the recording device: 1366 x 768 design in a 1024 x 768 window, one frame open.
class RendererTest : public testing::Test
{
protected:
    void SetUp() override
    {
        m_Log = lv::platform::InstallRecordingDirect3D();
        m_Log->WindowWidth = 1024;
        m_Log->WindowHeight = 768;
        GetGraphicsDevice().Release(false);
        m_Renderer = std::make_unique<CRenderer>();
        m_Renderer->SetHost(&m_Host);
        m_Renderer->SetSourceSize(1366, 768);
        ASSERT_TRUE(m_Renderer->SetMode(false, true, 1024, 768));
        ASSERT_TRUE(m_Renderer->BeginFrame());
        m_Log->Take();
        m_Log->Draws.clear();
    }
    void TearDown() override
    {
        m_Image.Release();
        m_Renderer.reset();
        lv::platform::SetDirect3DFactory(nullptr);
    }

    // A 30 x 30 single-frame image on a fresh texture.
    CImageHandle* Image(u32 w = 30, u32 h = 30)
    {
        m_Image.Release();
        m_Image.BindTexture(CTextureManager::Instance().CreateTexture(w, h));
        return &m_Image;
    }
    std::vector<CVertex> Flushed()
    {
        m_Renderer->Flush();
        std::vector<CVertex> v = DrawnVertices(*m_Log);
        m_Log->Draws.clear();
        return v;
    }

    CTestHost m_Host;
    std::shared_ptr<lv::platform::CRecordingLog> m_Log;
    std::unique_ptr<CRenderer> m_Renderer;
    CImageHandle m_Image;
};

} // namespace

TEST_F(RendererTest, ModeAndAspectReachStateAndHost)
{
    EXPECT_EQ(m_Renderer->GetWidth(), 1024);
    EXPECT_EQ(m_Renderer->GetHeight(), 768);
    const CFloatRect viewport = m_Renderer->GetViewportRect();
    EXPECT_EQ(viewport, CFloatRect(0, 96.5f, 1024, 575));
    EXPECT_EQ(m_Host.m_Viewport, viewport);
    EXPECT_FLOAT_EQ(m_Host.m_Scale.Y, 575.0f / 768);

    // The same mode again touches nothing.
    EXPECT_TRUE(m_Renderer->SetMode(false, true, 1024, 768));
    EXPECT_TRUE(m_Log->Take().empty());

    // Without preservation the design area is stretched over the back buffer.
    m_Renderer->SetPreserveAspectRatio(false);
    EXPECT_EQ(m_Host.m_Viewport, CFloatRect(0, 0, 1024, 768));
}

TEST_F(RendererTest, DeviceLossSkipsFramesUntilTheDeviceCanBeReset)
{
    CScratchLogCapture log;
    m_Renderer->EndFrame();
    ASSERT_TRUE(lv::platform::SimulateDeviceLoss(GetGraphicsDevice().GetDevice()));
    EXPECT_FALSE(m_Renderer->BeginFrame()); // lost
    EXPECT_TRUE(log.Contains("[graphics][0]: Test cooperative level failed, result: 88760868"));
    m_Log->Take();
    EXPECT_TRUE(m_Renderer->BeginFrame()); // not reset yet: reset in the same frame
    EXPECT_FALSE(m_Log->Matching("Reset(").empty());
    EXPECT_FALSE(m_Renderer->IsDeviceLost());
    EXPECT_TRUE(log.Contains("CRenderer::InitGraphics called with m_SourceWidth=1366 m_SourceHeight=768 "
                             "m_Width=1024 m_Height=768 m_IsFullscreen=0"));
    m_Renderer->EndFrame();
}

TEST_F(RendererTest, RefusedResetIsRetriedAtTheNextFrame)
{
    m_Renderer->EndFrame();
    // Something holds a DEFAULT-pool texture, so the device refuses to reset.
    IDirect3DTexture9* held = nullptr;
    ASSERT_EQ(GetGraphicsDevice().GetDevice()->CreateTexture(8, 8, 1, D3DUSAGE_RENDERTARGET, D3DFMT_A8R8G8B8,
                                                             D3DPOOL_DEFAULT, &held, nullptr),
              D3D_OK);
    // The window grows; the renderer takes the new client size and resets the device.
    m_Host.m_ClientWidth = m_Log->WindowWidth = 1366;
    m_Log->Take();
    ASSERT_TRUE(m_Renderer->InitGraphics());
    EXPECT_EQ(m_Log->Matching("Reset(").size(), 1u);
    EXPECT_EQ(m_Renderer->GetWidth(), 1366);
    // Every frame tries again while the texture is held.
    for (int frame = 0; frame < 2; ++frame) {
        m_Log->Take();
        m_Renderer->BeginFrame();
        m_Renderer->EndFrame();
        EXPECT_EQ(m_Log->Matching("TestCooperativeLevel() = 0x88760869").size(), 1u);
        EXPECT_EQ(m_Log->Matching("Reset(").size(), 1u);
    }
    held->Release();
    m_Log->Take();
    ASSERT_TRUE(m_Renderer->BeginFrame());
    EXPECT_EQ(m_Log->Matching("Reset(0x0, windowed 1)"), Calls({"Reset(0x0, windowed 1)"}));
    // The back buffer now has the renderer's size.
    u32* pixels = nullptr;
    u32 w = 0, h = 0;
    ASSERT_TRUE(m_Renderer->ReadPixels(pixels, w, h, CIntRect(0, 0, 0, 0)));
    std::free(pixels);
    EXPECT_EQ(w, 1366u);
    EXPECT_EQ(h, 768u);
    m_Renderer->EndFrame();
    m_Log->Take();
    ASSERT_TRUE(m_Renderer->BeginFrame());
    EXPECT_TRUE(m_Log->Matching("Reset(").empty()) << "reset once, then left alone";
}

TEST_F(RendererTest, PendingModeChangeWindowedAndFullScreen)
{
    m_Renderer->RequestModeChange(true);
    m_Renderer->ApplyPendingModeChange();
    EXPECT_EQ(m_Host.m_Calls, Calls({"SetScreenMode(0, 1, 1366, 768)"}));
    m_Renderer->ApplyPendingModeChange(); // handled once
    EXPECT_EQ(m_Host.m_Calls.size(), 1u);

    // In full screen the request waits for the device loss that the display change brings.
    m_Renderer->EndFrame();
    ASSERT_TRUE(m_Renderer->SetMode(true, true, 1366, 768));
    m_Host.m_Calls.clear();
    m_Renderer->RequestModeChange(false);
    m_Renderer->ApplyPendingModeChange();
    ASSERT_TRUE(m_Renderer->BeginFrame());
    m_Renderer->EndFrame();
    EXPECT_TRUE(m_Host.m_Calls.empty());
    ASSERT_TRUE(lv::platform::SimulateDeviceLoss(GetGraphicsDevice().GetDevice()));
    EXPECT_FALSE(m_Renderer->BeginFrame()); // lost
    EXPECT_FALSE(m_Renderer->BeginFrame()); // resettable: the device is destroyed, the mode rebuilt
    EXPECT_EQ(m_Host.m_Calls, Calls({"SetScreenMode(1, 0, 0, 0)"}));
    EXPECT_EQ(GetGraphicsDevice().GetDevice(), nullptr);
}

TEST_F(RendererTest, EmptyModeListFallsBackToTheDesktopSize)
{
    EXPECT_TRUE(m_Renderer->EnumDisplayModes());
    EXPECT_EQ(m_Renderer->GetDisplayModes().size(), 2u);
    m_Log->Modes.clear();
    EXPECT_TRUE(m_Renderer->EnumDisplayModes());
    const std::vector<CDisplayMode> modes = m_Renderer->GetDisplayModes();
    ASSERT_EQ(modes.size(), 1u);
    EXPECT_EQ(modes[0].width, 1920);
    EXPECT_EQ(modes[0].height, 1080);
}

TEST_F(RendererTest, TransparentColoursDrawNothingAndWhiteTakesTheStackColour)
{
    m_Renderer->FillQuad(CQuad(0, 0, 10, 10), CColor(0x00FFFFFFu));
    CImageHandle* image = Image();
    m_Renderer->DrawImage(image, 0, 0, 0, CColor(0x00FFFFFFu));
    m_Renderer->DrawImage(nullptr, 0, 0, 0, CColor());
    m_Renderer->PushColor();
    m_Renderer->SetColor(CColor(0x00FFFFFFu));
    m_Renderer->FillQuad(CQuad(0, 0, 10, 10), CColor());
    m_Renderer->PopColor();
    EXPECT_TRUE(Flushed().empty());

    m_Renderer->SetColor(CColor(0x80402010u));
    m_Renderer->DrawImage(image, 0, 0, 0, CColor());
    std::vector<CVertex> v = Flushed();
    ASSERT_EQ(v.size(), 6u);
    EXPECT_EQ(v[0].diffuse, 0x80402010u);
    // Any other colour is multiplied with the stack's.
    m_Renderer->DrawImage(image, 0, 0, 0, CColor(0xFF808080u));
    v = Flushed();
    ASSERT_EQ(v.size(), 6u);
    EXPECT_EQ(v[0].diffuse, CColor::CColorArgb(128, 32, 16, 8).ToArgb());
}

TEST_F(RendererTest, FillQuadStaysInsideTheBackBuffer)
{
    m_Renderer->FillQuad(CQuad(-3000, 100, 500, 100), CColor());
    const std::vector<CVertex> v = Flushed();
    ASSERT_EQ(v.size(), 6u);
    for (const CVertex& p : v)
        EXPECT_EQ(p.x, 0.0f);
    // A letterbox bar above the design area ends at the picture's top edge.
    const float b = 96.5f / (575.0f / 768);
    m_Renderer->FillQuad(CQuad(0, -b, 1366, b), CColor(0xFF000000u));
    const std::vector<CVertex> bar = Flushed();
    ASSERT_EQ(bar.size(), 6u);
    EXPECT_NEAR(bar[0].y, 0.0f, 1e-3f);
    EXPECT_NEAR(bar[2].y, 96.0f, 1e-3f);
}

TEST_F(RendererTest, ImageFramesAndTexelRectangles)
{
    CImageHandle* image = Image(64, 32);
    m_Renderer->SetSourceSize(1024, 768);              // 1:1, so positions are easy to read
    m_Renderer->DrawImage(image, 10, 20, 5, CColor()); // frame 5 of 1: frame 0
    std::vector<CVertex> v = Flushed();
    ASSERT_EQ(v.size(), 6u);
    EXPECT_FLOAT_EQ(v[0].x, 9.5f);
    EXPECT_FLOAT_EQ(v[0].y, 19.5f);
    EXPECT_FLOAT_EQ(v[5].x, 73.5f);
    EXPECT_FLOAT_EQ(v[5].y, 51.5f);
    EXPECT_FLOAT_EQ(v[5].u, 1);
    EXPECT_FLOAT_EQ(v[5].v, 1);

    m_Renderer->DrawImagePartAt(image, 0, 0, CShortRect{16, 8, 32, 16}, CColor());
    v = Flushed();
    ASSERT_EQ(v.size(), 6u);
    EXPECT_FLOAT_EQ(v[0].u, 0.25f);
    EXPECT_FLOAT_EQ(v[0].v, 0.25f);
    EXPECT_FLOAT_EQ(v[5].u, 0.75f);
    EXPECT_FLOAT_EQ(v[5].v, 0.75f);
    EXPECT_FLOAT_EQ(v[5].x, 31.5f);

    // A zero-width texel rectangle stands for the whole first frame.
    m_Renderer->DrawImagePart(image, CFloatRect(0, 0, 8, 8), CShortRect{16, 8, 0, 16}, CColor());
    v = Flushed();
    ASSERT_EQ(v.size(), 6u);
    EXPECT_FLOAT_EQ(v[0].u, 0);
    EXPECT_FLOAT_EQ(v[5].u, 1);

    // A quad is cut into four triangles around its centre.
    m_Renderer->DrawImageQuad(image, CQuad(0, 0, 100, 50), CFloatRect(0, 0, 1, 1), CColor());
    v = Flushed();
    ASSERT_EQ(v.size(), 12u);
    EXPECT_FLOAT_EQ(v[0].x, 49.5f);
    EXPECT_FLOAT_EQ(v[0].y, 24.5f);
    EXPECT_FLOAT_EQ(v[0].u, 0.5f);
}

TEST_F(RendererTest, NineSliceCells)
{
    m_Renderer->SetSourceSize(1024, 768);
    CImageHandle* image = Image(30, 30);
    struct
    {
        CFloatRect destination;
        u32 cells;
        float lastCellWidth; // of the partial column, or 0
    } cases[] = {
        {CFloatRect(0, 0, 100, 40), 4 * 10, 0}, // 10 x 10 cells, nx 8, rx 0; ny 2, ry 0
        {CFloatRect(0, 0, 105, 30), 3 * 11, 5}, // nx 8, rx 5: a partial column; ny 1
        {CFloatRect(0, 0, 20, 100), 1, 0},      // narrower than the frame: stretched once
        {CFloatRect(0, 0, 30, 30), 1, 0},       // exactly the frame's size: stretched once
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.destination.Width << "x" << c.destination.Height);
        m_Renderer->DrawTiledFrame(image, c.destination, 0, CColor());
        m_Renderer->Flush();
        // All cells share their states: one draw.
        ASSERT_EQ(m_Log->Draws.size(), 1u);
        const std::vector<CVertex> v = Flushed();
        ASSERT_EQ(v.size(), 6 * c.cells);
        if (c.lastCellWidth > 0) {
            // Row 0: left, 8 middle, partial, right. The partial cell takes half the middle third.
            const CVertex* partial = &v[6 * 9];
            EXPECT_FLOAT_EQ(partial[5].x - partial[0].x, c.lastCellWidth);
            EXPECT_NEAR(partial[5].u - partial[0].u, 1.0f / 6, 1e-6f);
        }
    }
}

TEST_F(RendererTest, ClippedLinesStayWholePairs)
{
    m_Renderer->SetSourceSize(1024, 768);
    m_Renderer->IntersectClip(CQuad(10, 10, 100, 50));
    m_Renderer->DrawLine(CVector2(0, 30), CVector2(200, 30), CColor());
    m_Renderer->DrawLine(CVector2(20, 20), CVector2(30, 20), CColor());
    m_Renderer->Flush();
    ASSERT_EQ(m_Log->Draws.size(), 1u);
    EXPECT_EQ(m_Log->Draws[0].Type, D3DPT_LINELIST);
    EXPECT_EQ(m_Log->Draws[0].Vertices.size() % (2 * sizeof(CVertex)), 0u);
    // The clipped line is one pair from the clip's left to its right edge (each pixel covered
    // once); the unclipped line is the last pair, intact.
    const std::vector<CVertex> v = DrawnVertices(*m_Log);
    ASSERT_EQ(v.size(), 4u);
    EXPECT_FLOAT_EQ(v[0].x, 9.5f);
    EXPECT_FLOAT_EQ(v[1].x, 109.5f);
    EXPECT_FLOAT_EQ(v[0].y, 29.5f);
    EXPECT_FLOAT_EQ(v[1].y, 29.5f);
    EXPECT_FLOAT_EQ(v[2].x, 19.5f);
    EXPECT_FLOAT_EQ(v[3].x, 29.5f);
}

TEST_F(RendererTest, RenderTargetNeedsTheRenderTargetFlag)
{
    CTexture* plain = CTextureManager::Instance().CreateTexture(8, 8);
    CTexture* target = CTextureManager::Instance().CreateRenderTarget(8, 8);
    ASSERT_TRUE(plain && target);
    m_Renderer->SetRenderTarget(plain);
    m_Renderer->FillQuad(CQuad(0, 0, 1, 1), CColor());
    EXPECT_TRUE(m_Log->Matching("SetRenderTarget").empty());
    m_Renderer->SetRenderTarget(target);
    m_Renderer->FillQuad(CQuad(0, 0, 1, 1), CColor());
    m_Renderer->SetRenderTarget(nullptr);
    m_Renderer->FillQuad(CQuad(0, 0, 1, 1), CColor());
    const Calls targets = m_Log->Matching("SetRenderTarget");
    ASSERT_EQ(targets.size(), 2u);
    EXPECT_EQ(targets[1], "SetRenderTarget(0, backbuffer)");
}

TEST_F(RendererTest, ReadPixelsMapsTheDesignArea)
{
    // Back-buffer pixels at known places: (0, 100), (7, 111), (8, 112).
    m_Log->BackBufferPixels.assign(1024 * 768, 0);
    m_Log->BackBufferPixels[100 * 1024 + 0] = 0xFF112233u;
    m_Log->BackBufferPixels[111 * 1024 + 7] = 0xFF445566u;
    m_Log->BackBufferPixels[112 * 1024 + 8] = 0xFF778899u;
    u32* pixels = nullptr;
    u32 w = 0, h = 0;
    ASSERT_TRUE(m_Renderer->ReadPixels(pixels, w, h, CIntRect(0, 0, 0, 0)));
    EXPECT_EQ(w, 1024u);
    EXPECT_EQ(h, 768u);
    EXPECT_EQ(pixels[100 * 1024 + 0], 0xFF112233u);
    std::free(pixels);
    // Design (0, 0, 1366, 768) is the letterboxed picture, from back-buffer row 96 (the offset
    // 96.5 truncated); an area past the design is cut.
    ASSERT_TRUE(m_Renderer->ReadPixels(pixels, w, h, CIntRect(0, 0, 5000, 5000)));
    EXPECT_EQ(w, 1024u);
    EXPECT_EQ(h, 575u);
    EXPECT_EQ(pixels[(100 - 96) * 1024 + 0], 0xFF112233u);
    EXPECT_EQ(pixels[0], 0u);
    std::free(pixels);
    // Design (10, 20) maps to (10 * 1024 / 1366, 20 * 575 / 768 + 96.5) = (7.50, 111.47).
    ASSERT_TRUE(m_Renderer->ReadPixels(pixels, w, h, CIntRect(10, 20, 100, 50)));
    EXPECT_EQ(w, 74u);
    EXPECT_EQ(h, 37u);
    EXPECT_EQ(pixels[0], 0xFF445566u);
    EXPECT_EQ(pixels[w + 1], 0xFF778899u);
    std::free(pixels);
}
