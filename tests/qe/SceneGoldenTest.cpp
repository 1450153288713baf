// The fixture scene drawn through a scene view on the real OpenGL layer and compared with
// tests/qe/golden/scene_view_fit.png (GAME_UPDATE_GOLDEN=1 writes the reference instead).
#include "../anim/AnimRenderSupport.h"
#include "GoldenImage.h"
#include "QuestFixture.h"
#include "graphics/GraphicsDevice.h"
#include "graphics/ImageHandle.h"
#include "graphics/Renderer.h"
#include "graphics/Texture.h"
#include "graphics/TextureManager.h"
#include "platform/SdlWindow.h"
#include "qe/ImageObject.h"
#include "qe/Quest.h"
#include "qe/QuestData.h"
#include "qe/Scene.h"
#include "qe/SceneView.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <memory>

using namespace lv::graphics;

namespace {

class CSceneWindowHost final : public CRendererHost
{
public:
    HWND GetWindowHandle() override { return m_Window; }
    void GetClientSize(s32& w, s32& h) override
    {
        w = 1024;
        h = 768;
    }
    bool GetDesktopSize(s32& w, s32& h) override
    {
        GetClientSize(w, h);
        return true;
    }
    bool SetScreenMode(bool, bool, s32, s32) override { return true; }
    void GetRequestedWindowSize(s32& w, s32& h) override { GetClientSize(w, h); }
    void SetScreenArea(const CFloatRect&, const CVector2&) override {}

    HWND m_Window = nullptr;
};

template <typename F>
CTexture* MakeSceneTexture(u32 w, u32 h, F pixel)
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

} // namespace

TEST(SceneGolden, FixtureSceneInAWorkAreaView)
{
    DeclareAnimTestImages();
    CSceneWindowHost host;
    host.m_Window = lv::platform::CreateSdlWindow("scene view test", 1024, 768, false);
    ASSERT_NE(host.m_Window, nullptr);
    lv::platform::SetDirect3DFactory(nullptr);
    GetGraphicsDevice().Release(false);
    std::vector<u32> pixels;
    u32 width = 0, height = 0;
    {
        CRenderer renderer;
        renderer.SetHost(&host);
        renderer.SetSourceSize(1024, 768);
        ASSERT_TRUE(renderer.SetMode(false, true, 1024, 768));
        ASSERT_NE(GetGraphicsDevice().GetDevice(), nullptr);

        qe::CQuestData data;
        ASSERT_TRUE(data.BuildFromXmlText(QuestFixtureXml()));
        std::unique_ptr<qe::CQuest> quest(data.CreateQuest("main", nullptr, nullptr));
        ASSERT_TRUE(quest);
        qe::CScene* hall = quest->FindScene("hall");
        // The declared images get textures made here: "pic" an arrow-like pattern that shows
        // turns and mirroring, "spark" a colour ramp stretched over the whole scene.
        CImageHandle* pic = hall->FindImageObject("door")->GetImage();
        CImageHandle* spark = hall->FindImageObject("floor")->GetImage();
        ASSERT_TRUE(pic && spark);
        pic->BindTexture(MakeSceneTexture(40, 20, [](u32 x, u32 y) -> u32 {
            if (y < 4 || x < 4)
                return 0xFFFFFFFFu;
            return x > 30 ? 0xFF202020u : 0xFF40A0E0u;
        }));
        spark->BindTexture(MakeSceneTexture(8, 4, [](u32 x, u32 y) -> u32 {
            return 0xFF000000u | (x * 30) << 16 | (y * 60) << 8 | 0x40;
        }));

        qe::CSceneView view;
        view.SetFitMode(qe::CSceneView::kFitWorkArea);
        view.SetViewSize(1024, 768);
        view.SetScene(hall);
        ASSERT_EQ(view.GetOffsetX(), 171);

        ASSERT_TRUE(renderer.BeginFrame());
        renderer.FillQuad(CQuad(0, 0, 1024, 768), CColor(0xFF000000u));
        view.Update();
        view.Render(renderer);
        renderer.Flush();
        u32* read = nullptr;
        ASSERT_TRUE(renderer.ReadPixels(read, width, height, CIntRect()));
        pixels.assign(read, read + width * height);
        std::free(read);
        renderer.EndFrame();
        view.SetScene(nullptr);
        pic->Release();
        spark->Release();
    }
    CTextureManager::Instance().ReleaseAllDeviceTextures();
    GetGraphicsDevice().Release(false);
    lv::platform::DestroySdlWindow(host.m_Window);
    ASSERT_EQ(width, 1024u);
    ASSERT_EQ(height, 768u);
    qetest::ExpectGoldenImage("scene_view_fit", width, height, pixels);
}
