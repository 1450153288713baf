// A clip drawn through the OpenGL device layer at 500 ms and compared with a reference image:
// an image riding a Bezier arc, a nested clip turning inside it and a text object that grew to
// its text over a nine-slice background. GAME_UPDATE_GOLDEN=1 writes the reference instead.
#include "AnimRenderSupport.h"
#include "anim/Clip.h"
#include "anim/ClipManager.h"
#include "anim/ClipViewObject.h"
#include "anim/ClipsBuilder.h"
#include "anim/TextObject.h"
#include "graphics/FontTestSupport.h"
#include "graphics/GlRendererTest.h"

#include <memory>
#include <string>

using namespace lv::misc::anim;

namespace {

// The whole 128 x 64 frame is the clip's rectangle, placed one to one.
const char* const kGoldenClips = R"(<?xml version="1.0" encoding="utf-8"?>
<Clip id="badge" w="20" h="20">
  <image id="square" i_id="spark" vis="true">
    <kp t="0" p="10 10" py="-6 -6 6 -6 6 6 -6 6" a="0" c="-2080704" itpl="true"/>
    <kp t="1000" p="10 10" py="-6 -6 6 -6 6 6 -6 6" a="1.5707963" c="-2080704"/>
  </image>
</Clip>
<Clip id="scene" w="128" h="64">
  <path id="arc" closed="0" p="64 34" py="-54 -20 54 -20 54 20 -54 20" vis="false">
    <p p1="0.25 -0.3" p2="0 1" a="0 1"/>
    <p p1="1 1" p2="0.75 -0.3" a="1 1"/>
  </path>
  <image id="rider" i_id="pic" path="arc" snap="true" vis="true">
    <kp t="0" k="0" py="-8 -4 8 -4 8 4 -8 4" c="-12533696" itpl="true"/>
    <kp t="1000" k="1" py="-8 -4 8 -4 8 4 -8 4" c="-12533696"/>
  </image>
  <clip id="nest" clip_id="badge" p="108 16" py="-10 -10 10 -10 10 10 -10 10" vis="true"/>
  <text id="label" tx_fl="585" bnd="0 0 20 10" bk="pic" bk_c="-13606720" ins="2 2 2 2" p="6 48" vis="true">
    <kp t="0" p="6 48" py="0 0 20 10 20 10 0 10" c="-1"/>
  </text>
</Clip>
)";

class ClipGoldenImageTest : public CGlRendererTest
{
protected:
    void SetUp() override
    {
        lv::graphics::DeclareAnimTestImages();
        CGlRendererTest::SetUp();
        lv::misc::anim::CClipsBuilder builder;
        ASSERT_TRUE(builder.AddXml(kGoldenClips, std::strlen(kGoldenClips)));
        m_Image = builder.Build();
        ASSERT_TRUE(CClipManager::Instance().LoadImage(m_Image.data(), static_cast<u32>(m_Image.size())));
    }
    void TearDown() override
    {
        CClipManager::Instance().Release();
        CGlRendererTest::TearDown();
    }

    std::vector<u8> m_Image;
};

// Gives the declared images "pic" (a two-tone ramp) and "spark" (white) run-time textures of
// their declared sizes while it lives.
class CDeclaredImagePictures
{
public:
    CDeclaredImagePictures()
    {
        auto& textures = lv::graphics::CTextureManager::Instance();
        m_Pic = textures.GetImage("pic");
        m_Spark = textures.GetImage("spark");
        EXPECT_TRUE(m_Pic && m_Spark);
        if (!m_Pic || !m_Spark)
            return;
        m_OldPic = m_Pic->GetTexture();
        m_OldSpark = m_Spark->GetTexture();
        m_Pic->SetTexture(Make(40, 20, [](u32 x, u32 y) {
            return 0xFF000000u | ((x * 6) << 16) | ((y < 10 ? 0xC0u : 0x60u) << 8) | 0xFFu;
        }));
        m_Spark->SetTexture(Make(8, 4, [](u32, u32) { return 0xFFFFFFFFu; }));
    }
    ~CDeclaredImagePictures()
    {
        if (m_Pic)
            m_Pic->SetTexture(m_OldPic);
        if (m_Spark)
            m_Spark->SetTexture(m_OldSpark);
    }

private:
    static lv::graphics::CTexture* Make(u32 w, u32 h, u32 (*pixel)(u32, u32))
    {
        lv::graphics::CTexture* t = lv::graphics::CTextureManager::Instance().CreateTexture(w, h);
        if (!t)
            return nullptr;
        std::vector<u32> pixels(w * h);
        for (u32 y = 0; y < h; ++y)
            for (u32 x = 0; x < w; ++x)
                pixels[y * w + x] = pixel(x, y);
        t->UploadArgb(pixels.data());
        return t;
    }

    lv::graphics::CImageHandle* m_Pic = nullptr;
    lv::graphics::CImageHandle* m_Spark = nullptr;
    lv::graphics::CTexture* m_OldPic = nullptr;
    lv::graphics::CTexture* m_OldSpark = nullptr;
};

TEST_F(ClipGoldenImageTest, ImageOnAPathNestedClipAndTextAt500Ms)
{
    // The declared images drawn from pictures of this test's own.
    CDeclaredImagePictures pictures;
    // A font whose glyphs are solid blocks: the layout shows without any rasteriser in the way.
    lv::graphics::CTexture* glyphs = MakeTexture(512, 16, [](u32, u32) { return 0xFFFFFFFFu; });
    ASSERT_NE(glyphs, nullptr);
    {
        CFontFixture fonts("", glyphs);
        lv::graphics::CFont* font = fonts.LoadOne(TestFontXml());
        ASSERT_NE(font, nullptr);

        CClip clip;
        ASSERT_TRUE(clip.Load("scene", true));
        clip.SetPosition(CVector2(64, 32));
        auto* label = dynamic_cast<CTextObject*>(clip.FindObject("label"));
        ASSERT_NE(label, nullptr);
        label->SetFont(font);
        label->SetTextKey("Clip text");
        EXPECT_GT(label->GetBounds().Width, 20);
        ASSERT_NE(dynamic_cast<CClipViewObject*>(clip.FindObject("nest")), nullptr);
        clip.SetTime(500);
        clip.Update();

        ASSERT_TRUE(m_Renderer->BeginFrame());
        m_Renderer->FillQuad(CQuad(0, 0, kWidth, kHeight), CColor(0xFF202830u));
        clip.Draw(*m_Renderer);
        const std::vector<u32> frame = ReadFrame();
        m_Renderer->EndFrame();
        ExpectGolden("clip_path_nested_text", frame);
        // The rider sits on top of the arc at half time.
        const CVector2 top = clip.FindPath("arc")->GetPath().PointAtFraction(0.5f);
        EXPECT_NEAR(clip.FindObject("rider")->GetPosition().X, top.X, 1e-2);
    }
}

} // namespace
