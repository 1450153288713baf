// A scene with the developer overlay on, drawn on the real OpenGL layer: white markers for ready
// blocks, red ones for the others (two on one object, 27 apart), black outlines, and the hovered
// marker's block id in a "cheatfont" rasterised from DejaVu Sans, all over the scene's objects.
// Compared with tests/qe/golden/cheat_overlay.png (GAME_UPDATE_GOLDEN=1 writes it instead).
#include "../anim/AnimRenderSupport.h"
#include "GoldenImage.h"
#include "ScriptBlockFixture.h"
#include "content/FontRasterizer.h"
#include "core/FileSystem.h"
#include "graphics/DeclarationSet.h"
#include "graphics/FontManager.h"
#include "graphics/FontTestSupport.h"
#include "graphics/ImageHandle.h"
#include "graphics/Texture.h"
#include "platform/SdlWindow.h"
#include "qe/CheatOverlay.h"
#include "qe/ImageObject.h"

#include <gtest/gtest.h>

#include <cstdlib>

using namespace qetest;

namespace {

constexpr s32 kCheatWidth = 320, kCheatHeight = 200;

class CCheatWindowHost final : public lv::graphics::CRendererHost
{
public:
    HWND GetWindowHandle() override { return m_Window; }
    void GetClientSize(s32& w, s32& h) override
    {
        w = kCheatWidth;
        h = kCheatHeight;
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

lv::graphics::CTexture* MakeCheatTexture(u32 w, u32 h, const std::vector<u32>& pixels)
{
    lv::graphics::CTexture* t = lv::graphics::CTextureManager::Instance().CreateTexture(w, h);
    if (t)
        t->UploadArgb(pixels.data());
    return t;
}

SQuestObject CheatImage(const char* id, u64 guid, const char* image, float x, float y, float w, float h)
{
    SQuestObject o;
    o.kind = EQuestObjectKind::Image;
    o.id = id;
    o.guid = guid;
    o.resource = image;
    o.color = {255, 255, 255, 255};
    o.offset[0] = x;
    o.offset[1] = y;
    o.size[0] = w;
    o.size[1] = h;
    return o;
}

} // namespace

TEST(CheatOverlayGolden, MarkersAndATooltipOverTheScene)
{
    lv::graphics::DeclareAnimTestImages();
    lv::content::CRasterizeOptions options;
    options.pixelSize = 12;
    lv::content::CRasterizedFont raster;
    std::string error;
    ASSERT_TRUE(lv::content::RasterizeFont(lv::content::DefaultFontFile(), options, raster, &error)) << error;

    CCheatWindowHost host;
    host.m_Window = lv::platform::CreateSdlWindow("cheat overlay test", kCheatWidth, kCheatHeight, false);
    ASSERT_NE(host.m_Window, nullptr);
    lv::platform::SetDirect3DFactory(nullptr);
    lv::graphics::GetGraphicsDevice().Release(false);
    std::vector<u32> pixels;
    u32 width = 0, height = 0;
    {
        lv::graphics::CRenderer renderer;
        renderer.SetHost(&host);
        renderer.SetSourceSize(kCheatWidth, kCheatHeight);
        ASSERT_TRUE(renderer.SetMode(false, true, kCheatWidth, kCheatHeight));
        ASSERT_NE(lv::graphics::GetGraphicsDevice().GetDevice(), nullptr);

        // "cheatfont" in a font manager of the test's own, its glyphs on a run-time texture.
        CTempFolder folder;
        CFontWorkingFolder cwd(folder.Path());
        folder.Write("fonts/cheat.xml", raster.xml);
        lv::graphics::CImageHandle glyphs;
        glyphs.BindTexture(MakeCheatTexture(raster.width, raster.height, raster.pixels));
        lv::core::CFileSystem files("");
        lv::core::CFontManager fonts(files, [](void* user, const char*) { return static_cast<lv::graphics::CImageHandle*>(user); },
                                     &glyphs);
        auto set = lv::graphics::CDeclarationSet::Create();
        const std::string fontsXml =
            "<?xml version=\"1.0\"?><fonts><font id=\"cheatfont\" image=\"glyphs\" file=\"fonts\\cheat.xml\"/></fonts>";
        set->LoadXml(fontsXml.data(), fontsXml.size(), nullptr);
        fonts.LoadAll(*set, nullptr);
        ASSERT_NE(fonts.FindFont("cheatfont"), nullptr);
        qe::scripts::CCheatOverlay::SetFontManager(&fonts);

        // A painting with a ready block and a waiting one, a waiting chest, a door, and the floor.
        SScriptBlock key = ScriptAction(2, "use key", "painting", "key");
        key.conditionInputs = {9};
        SScriptBlock chest = ScriptAction(3, "open chest", "chest");
        chest.conditionInputs = {9};
        SQuestObject door;
        door.kind = EQuestObjectKind::Area;
        door.id = "door";
        door.guid = 50;
        door.offset[0] = 270;
        door.offset[1] = 60;
        door.size[0] = door.size[1] = 30;
        door.points = {{255, 45}, {285, 45}, {285, 75}, {255, 75}};
        SBlockScene scene{"s",
                          1,
                          {ScriptAction(1, "take painting", "painting"), key, chest, ScriptDoor(4, "to attic", "door", "attic"),
                           ScriptAction(9, "never", "nothing", "x")},
                          {},
                          false,
                          0,
                          {CheatImage("painting", 51, "pic", 110, 110, 80, 40), CheatImage("chest", 52, "pic", 240, 150, 40, 20),
                           door, CheatImage("floor", 53, "spark", 160, 100, 320, 200)}};
        CBlockQuest quest({scene, {"attic", 2, {}}});
        quest.Quest().UpdateScripts();
        qe::CScene* hall = quest.Set(0).GetScene();
        lv::graphics::CImageHandle* pic = hall->FindImageObject("painting")->GetImage();
        lv::graphics::CImageHandle* spark = hall->FindImageObject("floor")->GetImage();
        ASSERT_TRUE(pic && spark);
        std::vector<u32> picPixels(40 * 20), sparkPixels(8 * 4);
        for (u32 y = 0; y < 20; ++y)
            for (u32 x = 0; x < 40; ++x)
                picPixels[y * 40 + x] = (y < 4 || x < 4) ? 0xFFFFFFFFu : x > 30 ? 0xFF202020u : 0xFF40A0E0u;
        for (u32 y = 0; y < 4; ++y)
            for (u32 x = 0; x < 8; ++x)
                sparkPixels[y * 8 + x] = 0xFF000000u | (x * 30) << 16 | (y * 60) << 8 | 0x40;
        pic->BindTexture(MakeCheatTexture(40, 20, picPixels));
        spark->BindTexture(MakeCheatTexture(8, 4, sparkPixels));

        quest.Quest().SetCheatMode(true);
        const qe::scripts::CCheat* hovered = nullptr;
        for (const auto& marker : quest.Set(0).GetCheatOverlay().GetReadyMarkers())
            if (std::string(marker->GetBlock()->GetId()) == "take painting")
                hovered = marker.get();
        ASSERT_NE(hovered, nullptr);
        EXPECT_TRUE(hall->UpdatePointer({hovered->GetRect().X + 20, hovered->GetRect().Y + 20}, ""));

        ASSERT_TRUE(renderer.BeginFrame());
        renderer.FillQuad(CQuad(0, 0, kCheatWidth, kCheatHeight), CColor(0xFF000000u));
        hall->Update();
        hall->Draw(renderer);
        renderer.Flush();
        u32* read = nullptr;
        ASSERT_TRUE(renderer.ReadPixels(read, width, height, CIntRect()));
        pixels.assign(read, read + width * height);
        std::free(read);
        renderer.EndFrame();
        qe::scripts::CCheatOverlay::SetFontManager(nullptr);
        pic->Release();
        spark->Release();
        glyphs.Release();
    }
    lv::graphics::CTextureManager::Instance().ReleaseAllDeviceTextures();
    lv::graphics::GetGraphicsDevice().Release(false);
    lv::platform::DestroySdlWindow(host.m_Window);
    ASSERT_EQ(width, u32(kCheatWidth));
    ASSERT_EQ(height, u32(kCheatHeight));
    ExpectGoldenImage("cheat_overlay", width, height, pixels);
}
