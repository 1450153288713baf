#include "AnimRenderSupport.h"
#include "anim/Clip.h"
#include "anim/ClipManager.h"
#include "anim/ClipViewObject.h"
#include "anim/ClipsBuilder.h"
#include "graphics/GraphicsDevice.h"
#include "graphics/Renderer.h"
#include "platform/d3d9/RecordingDirect3D.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <memory>
#include <string>

using namespace lv::misc::anim;
using namespace lv::graphics;

namespace {

const char* const kNestingClips[] = {
    R"(<Clip id="inner" w="100" h="40">
  <image id="dot" i_id="pic" vis="true" at="1"><kp t="0" p="50 20" py="-5 -5 5 -5 5 5 -5 5" c="-1"/><kp t="1000" p="60 20" py="-5 -5 5 -5 5 5 -5 5" c="-1"/></image>
</Clip>)",
    R"(<Clip id="outer" w="300" h="200">
  <clip id="nest" clip_id="inner" p="150 100" py="-50 -20 50 -20 50 20 -50 20" vis="true"/>
  <clip id="void" clip_id="nothing" p="10 10" vis="true"/>
</Clip>)",
    R"(<Clip id="selfish" w="10" h="10"><clip id="me" clip_id="selfish" vis="true"/></Clip>)",
    R"(<Clip id="corner" w="100" h="40">
  <image id="spot" i_id="pic" vis="true"><kp t="0" p="10 10" py="-5 -5 5 -5 5 5 -5 5" c="-1"/></image>
</Clip>)",
    R"(<Clip id="flatpic" w="0" h="40">
  <image id="spot" i_id="pic" vis="true"><kp t="0" p="10 10" py="-5 -5 5 -5 5 5 -5 5" c="-1"/></image>
</Clip>)"};

// Nested clips over the recording device, with one frame open.
class ClipViewObjectTest : public testing::Test
{
protected:
    static void SetUpTestSuite()
    {
        DeclareAnimTestImages();
        CClipsBuilder builder;
        for (const char* clip : kNestingClips) {
            const std::string xml = std::string("<?xml version=\"1.0\" encoding=\"utf-8\"?>\n") + clip;
            ASSERT_TRUE(builder.AddXml(xml.data(), xml.size()));
        }
        const std::vector<u8> image = builder.Build();
        ASSERT_TRUE(CClipManager::Instance().LoadImage(image.data(), static_cast<u32>(image.size())));
    }
    static void TearDownTestSuite() { CClipManager::Instance().Release(); }

    void SetUp() override
    {
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

// The smallest and largest x and y of the vertices drawn since the last call, moved back by the
// half pixel the device shifts them by.
CFloatRect DrawnClipBox(CRenderer& renderer, lv::platform::CRecordingLog& log)
{
    renderer.Flush();
    float low[2] = {1e9f, 1e9f}, high[2] = {-1e9f, -1e9f};
    for (const auto& draw : log.Draws)
        for (size_t at = 0; at + draw.Stride <= draw.Vertices.size(); at += draw.Stride)
            for (int axis = 0; axis < 2; ++axis) {
                float v;
                std::memcpy(&v, draw.Vertices.data() + at + 4 * axis, sizeof v);
                low[axis] = std::min(low[axis], v + 0.5f);
                high[axis] = std::max(high[axis], v + 0.5f);
            }
    log.Draws.clear();
    return CFloatRect(low[0], low[1], high[0] - low[0], high[1] - low[1]);
}

CClipViewObject* NestedViewOf(CClip& clip, const char* name)
{
    return dynamic_cast<CClipViewObject*>(clip.FindObject(name));
}

TEST_F(ClipViewObjectTest, NestedClipTakesItsPlacementFromTheItem)
{
    CClip outer;
    ASSERT_TRUE(outer.Load("outer", true));
    CClipViewObject* nest = NestedViewOf(outer, "nest");
    ASSERT_NE(nest, nullptr);
    EXPECT_STREQ(nest->GetTypeName(), "clip");
    EXPECT_STREQ(nest->GetResourceName().GetText(), "inner");
    EXPECT_EQ(nest->GetClip().GetObjectCount(), 1u);
    EXPECT_EQ(nest->GetPosition(), CVector2(150, 100));
    EXPECT_EQ(nest->GetClip().GetSize(), CVector2(100, 40));
    const CQuad corners = nest->GetCorners();
    EXPECT_EQ(corners.Corners[0], CVector2(-50, -20));
    EXPECT_EQ(corners.Corners[2], CVector2(50, 20));
    nest->Draw(*m_Renderer);
    m_Renderer->Flush();
    EXPECT_FALSE(m_Log->Draws.empty());
}

TEST_F(ClipViewObjectTest, UndefinedNameLeavesAnEmptyClipThatDrawsNothing)
{
    CClip outer;
    ASSERT_TRUE(outer.Load("outer", true));
    CClipViewObject* empty = NestedViewOf(outer, "void");
    ASSERT_NE(empty, nullptr);
    EXPECT_STREQ(empty->GetResourceName().GetText(), "nothing");
    EXPECT_EQ(empty->GetClip().GetObjectCount(), 0u);
    empty->Update();
    empty->Draw(*m_Renderer);
    m_Renderer->Flush();
    EXPECT_TRUE(m_Log->Draws.empty());
}

TEST_F(ClipViewObjectTest, CornersGiveTheInnerSizeMirroredOrNot)
{
    const CQuad plain(-50, -20, 100, 40);
    CQuad mirrored;
    for (int i = 0; i < 4; ++i)
        mirrored.Corners[i] = CVector2(-plain.Corners[i].X, -plain.Corners[i].Y);
    for (const CQuad& corners : {plain, mirrored}) {
        CClipViewObject view("inner");
        view.SetCorners(corners);
        EXPECT_EQ(view.GetClip().GetSize(), CVector2(100, 40));
    }
    CClipViewObject view("inner");
    view.SetCorners(CQuad(0, 0, 10, 10));
    view.ResetGeometry();
    EXPECT_EQ(view.GetClip().GetSize(), CVector2(100, 40));
}

TEST_F(ClipViewObjectTest, MutingAndStoppingReachTheInnerClip)
{
    CClip outer;
    ASSERT_TRUE(outer.Load("outer", true));
    CClipViewObject* nest = NestedViewOf(outer, "nest");
    ASSERT_NE(nest, nullptr);
    const CClipObject* dot = nest->GetClip().FindObject("dot");
    ASSERT_NE(dot, nullptr);
    outer.SetSoundMuted(true);
    EXPECT_TRUE(dot->IsSoundMuted());
    EXPECT_TRUE(nest->GetClip().IsSoundMuted());
    outer.SetTime(600);
    EXPECT_EQ(dot->GetCurrentTime(), 600);
    outer.Stop();
    EXPECT_EQ(dot->GetState(), CClipObject::StateStopped);
    EXPECT_EQ(dot->GetCurrentTime(), 0);
    outer.Play();
    EXPECT_EQ(dot->GetState(), CClipObject::StatePlaying);
}

TEST_F(ClipViewObjectTest, CopiesOwnTheirInnerClip)
{
    auto source = std::make_unique<CClip>();
    ASSERT_TRUE(source->Load("outer", true));
    CClip copy(*source);
    source.reset();
    CClipViewObject* nest = NestedViewOf(copy, "nest");
    ASSERT_NE(nest, nullptr);
    EXPECT_EQ(nest->GetClip().GetObjectCount(), 1u);
    EXPECT_EQ(nest->GetClip().GetSize(), CVector2(100, 40));
    copy.Update();
}

// A clip that shows itself would load without end: the inner copy stays empty.
TEST_F(ClipViewObjectTest, ClipShowingItselfStopsAfterOneLevel)
{
    CClip clip;
    ASSERT_TRUE(clip.Load("selfish", true));
    CClipViewObject* me = NestedViewOf(clip, "me");
    ASSERT_NE(me, nullptr);
    ASSERT_EQ(me->GetClip().GetObjectCount(), 1u);
    auto* again = dynamic_cast<CClipViewObject*>(*me->GetClip().GetObjectIterator());
    ASSERT_NE(again, nullptr);
    EXPECT_EQ(again->GetClip().GetObjectCount(), 0u);
    clip.Update();
    clip.Draw(*m_Renderer);
}

// Mirror flags turn the picture about the rectangle's centre: bit 0 across x, bit 1 across y,
// both together half a turn.
TEST_F(ClipViewObjectTest, MirrorFlagsFlipTheDrawingAboutTheRectCentre)
{
    const struct
    {
        s32 flags;
        float x, y;
    } cases[] = {{0, 155, 85}, {1, 235, 85}, {2, 155, 105}, {3, 235, 105}};
    for (const auto& c : cases) {
        CClip clip;
        ASSERT_TRUE(clip.Load("corner", true));
        clip.SetPosition(CVector2(200, 100));
        clip.SetFlags(c.flags);
        clip.Draw(*m_Renderer);
        const CFloatRect box = DrawnClipBox(*m_Renderer, *m_Log);
        EXPECT_NEAR(box.X, c.x, 1e-3) << c.flags;
        EXPECT_NEAR(box.Y, c.y, 1e-3) << c.flags;
        EXPECT_NEAR(box.Width, 10, 1e-3) << c.flags;
    }
}

TEST_F(ClipViewObjectTest, ClipWithoutWidthDrawsNothing)
{
    CClip clip;
    ASSERT_TRUE(clip.Load("flatpic", true));
    ASSERT_EQ(clip.GetObjectCount(), 1u);
    clip.SetPosition(CVector2(200, 100));
    clip.Update();
    clip.Draw(*m_Renderer);
    m_Renderer->Flush();
    EXPECT_TRUE(m_Log->Draws.empty());
}

} // namespace
