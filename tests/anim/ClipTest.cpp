#include "anim/Clip.h"
#include "anim/ClipManager.h"
#include "anim/ClipsBuilder.h"
#include "anim/ImageObject.h"

#include <gtest/gtest.h>

#include <cmath>
#include <memory>
#include <string>

using namespace lv::misc::anim;

namespace {

const char* const kClips[] = {R"(<Clip id="plain" x="0" y="0" w="200" h="100">
  <path id="track" vis="true"><p p1="0 0" p2="0 0" a="0 0"/><p p1="0 0" p2="0 0" a="1 0"/></path>
  <image id="a" p="10 20" py="-5 -5 5 -5 5 5 -5 5" c="-16711936" path="track" vis="true"/>
  <image id="b" p="30 40" vis="true"/>
  <image id="hidden" p="1 1" vis="false"/>
</Clip>)",
                              R"(<Clip id="ghosts" w="10" h="10">
  <path id="p1" vis="false"/>
  <path id="p2" vis="true"/>
  <image id="g" vis="false"/>
</Clip>)",
                              R"(<Clip id="abs" x="0" y="0" w="200" h="100" absolute_transform="true">
  <image id="a" p="10 20" vis="true"><kp t="0" p="10 20"/><kp t="1000" p="10 20"/></image>
</Clip>)",
                              R"(<Clip id="ride" w="200" h="100">
  <path id="track" closed="0" p="80 5" py="-80 -5 80 -5 80 5 -80 5" vis="false">
    <p p1="0.3333333 0.5" p2="0 0.5" a="0 0.5"/>
    <p p1="1 0.5" p2="0.5 0.5" a="1.2 0.5"/>
    <p p1="1 0.5" p2="0.6666667 0.5" a="1 0.5"/>
  </path>
  <image id="rider" path="track" snap="true" vis="true"><kp t="0" k="0.25"/></image>
</Clip>)",
                              R"(<Clip id="loop" w="200" h="100">
  <path id="ring" closed="1" p="50 50" py="-50 -50 50 -50 50 50 -50 50" vis="false">
    <p p1="0 0" p2="0 0" a="0 0"/><p p1="1 0" p2="1 0" a="1 0"/>
    <p p1="1 1" p2="1 1" a="1 1"/><p p1="0 1" p2="0 1" a="0 1"/>
  </path>
  <image id="runner" path="ring" snap="true" vis="true">
    <kp t="0" k="0.9" itpl="true"/><kp t="1000" k="0.1" itpl="true"/>
  </image>
</Clip>)",
                              R"(<Clip id="flat" x="0" y="0" w="0" h="50" absolute_transform="true"/>)"};

class ClipTest : public testing::Test
{
protected:
    static void SetUpTestSuite()
    {
        CClipsBuilder builder;
        for (const char* clip : kClips) {
            const std::string xml = std::string("<?xml version=\"1.0\" encoding=\"utf-8\"?>\n") + clip;
            ASSERT_TRUE(builder.AddXml(xml.data(), xml.size()));
        }
        const std::vector<u8> image = builder.Build();
        ASSERT_TRUE(CClipManager::Instance().LoadImage(image.data(), static_cast<u32>(image.size())));
    }
    static void TearDownTestSuite() { CClipManager::Instance().Release(); }
};

size_t CountObjects(const CClip& clip)
{
    size_t n = 0;
    for (CClipObjectIterator it = clip.GetObjectIterator(); !it.IsAtEnd(); it++)
        ++n;
    return n;
}

TEST_F(ClipTest, LoadBuildsPathsAndVisibleObjectsInOrder)
{
    CClip clip;
    ASSERT_TRUE(clip.Load("plain", true));
    EXPECT_STREQ(clip.GetName().GetText(), "plain");
    EXPECT_EQ(clip.GetPathCount(), 1u);
    ASSERT_EQ(CountObjects(clip), 2u);
    CClipObjectIterator it = clip.GetObjectIterator();
    EXPECT_STREQ((*it++)->GetName().GetText(), "a");
    EXPECT_STREQ((*it)->GetName().GetText(), "b");
    EXPECT_EQ(clip.FindObject("hidden"), nullptr);
    ASSERT_NE(clip.FindObject("a"), nullptr);
    EXPECT_EQ(clip.FindObject("a")->GetParent(), clip.FindPath("track"));
    EXPECT_EQ(clip.FindObject("a")->GetState(), CClipObject::StatePlaying);
    EXPECT_EQ(clip.FindPath("nope"), nullptr);
    EXPECT_EQ(clip.GetSize(), CVector2(200, 100));
}

TEST_F(ClipTest, UnknownNameLeavesClipEmptyAndPlacementUnchanged)
{
    CClip clip;
    ASSERT_TRUE(clip.Load("plain", true));
    clip.SetPosition(CVector2(5, 6));
    EXPECT_FALSE(clip.Load("missing", true));
    EXPECT_EQ(clip.GetObjectCount(), 0u);
    EXPECT_EQ(clip.GetPathCount(), 0u);
    EXPECT_EQ(clip.GetPosition(), CVector2(5, 6));
}

TEST_F(ClipTest, OnlyInvisibleItemsGivePathsAndNoObjects)
{
    CClip clip;
    ASSERT_TRUE(clip.Load("ghosts", true));
    EXPECT_EQ(clip.GetPathCount(), 2u);
    EXPECT_TRUE(clip.GetObjectIterator().IsAtEnd());
    clip.Update();
}

TEST_F(ClipTest, IteratorWithoutObjectsIsAtEnd)
{
    EXPECT_TRUE(CClipObjectIterator().IsAtEnd());
    CClip clip;
    EXPECT_TRUE(clip.GetObjectIterator().IsAtEnd());
}

TEST_F(ClipTest, ReloadKeepsOrResetsPlacement)
{
    for (bool reset : {false, true}) {
        CClip clip;
        ASSERT_TRUE(clip.Load("plain", true));
        clip.SetPosition(CVector2(7, 8));
        clip.SetSize(CVector2(50, 60));
        clip.SetAngle(0.5f);
        clip.SetColor(CColor(0x80102030));
        clip.SetFlags(3);
        clip.SetAdditiveBlend(true);
        ASSERT_TRUE(clip.Load("plain", reset));
        EXPECT_EQ(clip.GetPosition(), reset ? CVector2() : CVector2(7, 8)) << reset;
        EXPECT_EQ(clip.GetSize(), reset ? CVector2(200, 100) : CVector2(50, 60)) << reset;
        EXPECT_FLOAT_EQ(clip.GetAngle(), reset ? 0.0f : 0.5f) << reset;
        EXPECT_EQ(clip.GetColor().A, reset ? 255 : 0x80) << reset;
        EXPECT_EQ(clip.GetFlags(), reset ? 0 : 3) << reset;
        EXPECT_EQ(clip.IsAdditiveBlend(), !reset) << reset;
    }
}

TEST_F(ClipTest, FlagSettersCombineBits)
{
    CClip clip;
    clip.AddFlags(1);
    clip.AddFlags(2);
    EXPECT_EQ(clip.GetFlags(), 3);
    clip.RemoveFlags(1);
    EXPECT_EQ(clip.GetFlags(), 2);
}

TEST_F(ClipTest, CopyOwnsItsPaths)
{
    auto source = std::make_unique<CClip>();
    ASSERT_TRUE(source->Load("plain", true));
    source->SetPosition(CVector2(3, 4));
    CClip copy(*source);
    source.reset();
    // Fill the freed memory so that a copy still pointing into it would show.
    auto filler = std::make_unique<CClip>();
    ASSERT_TRUE(filler->Load("ghosts", true));
    EXPECT_EQ(copy.GetPosition(), CVector2(3, 4));
    ASSERT_EQ(copy.GetObjectCount(), 2u);
    const CClipObject* a = copy.FindObject("a");
    ASSERT_NE(a, nullptr);
    ASSERT_NE(copy.FindPath("track"), nullptr);
    EXPECT_EQ(a->GetParent(), copy.FindPath("track"));
    EXPECT_STREQ(a->GetParent()->GetName().GetText(), "track");
    copy.Update();
}

TEST_F(ClipTest, MovingTransformEnabledClipMovesObjectsAndUpdateKeepsThem)
{
    CClip clip;
    ASSERT_TRUE(clip.Load("abs", true));
    CClipObject* a = clip.FindObject("a");
    ASSERT_NE(a, nullptr);
    const CVector2 before = a->GetPosition();
    clip.SetPosition(CVector2(100, 50));
    EXPECT_FLOAT_EQ(a->GetPosition().X, before.X + 100);
    EXPECT_FLOAT_EQ(a->GetPosition().Y, before.Y + 50);
    clip.SetTime(500);
    clip.Update();
    EXPECT_FLOAT_EQ(a->GetPosition().X, before.X + 100);
    EXPECT_FLOAT_EQ(a->GetPosition().Y, before.Y + 50);
}

TEST_F(ClipTest, ColorTintsOnlyThroughDraw)
{
    CClip clip;
    ASSERT_TRUE(clip.Load("abs", true));
    const CColor own = clip.FindObject("a")->GetColor();
    clip.SetColor(CColor(0xFF000000));
    clip.Update();
    EXPECT_EQ(clip.FindObject("a")->GetColor().R, own.R);
}

TEST_F(ClipTest, TransformFromClipCarriesPlacementAndMirror)
{
    CClip clip;
    ASSERT_TRUE(clip.Load("plain", true));
    clip.SetSize(CVector2(400, 50));
    clip.SetPosition(CVector2(9, 8));
    clip.SetFlags(1);
    const CClipTransform t = CClipTransform::FromClip(clip, clip.GetRect());
    EXPECT_FALSE(t.IsIdentity());
    EXPECT_FLOAT_EQ(t.GetScale().X, -2.0f);
    EXPECT_FLOAT_EQ(t.GetScale().Y, 0.5f);
    EXPECT_EQ(t.GetTranslation(), CVector2(9, 8));
    EXPECT_EQ(t.GetOrigin(), CVector2(-100, -50));
}

TEST_F(ClipTest, SnappedObjectsRideTheirPath)
{
    CClip clip;
    ASSERT_TRUE(clip.Load("ride", true));
    const CPathObject* track = clip.FindPath("track");
    ASSERT_NE(track, nullptr);
    // The point outside the frame is dropped, the one on its edge kept.
    EXPECT_EQ(track->GetPath().GetPointCount(), 2u);
    EXPECT_FALSE(track->IsClosed());
    CClipObject* rider = clip.FindObject("rider");
    ASSERT_NE(rider, nullptr);
    EXPECT_NEAR(rider->GetPosition().X, 40, 1e-2);
    EXPECT_NEAR(rider->GetPosition().Y, 5, 1e-2);
    rider->SetPosition(CVector2(120, 30));
    EXPECT_NEAR(rider->GetPosition().X, 120, 1e-2);
    EXPECT_NEAR(rider->GetPosition().Y, 5, 1e-2);
}

TEST_F(ClipTest, ZeroWidthFrameGivesUnitScale)
{
    CClip clip;
    ASSERT_TRUE(clip.Load("flat", true));
    clip.SetSize(CVector2(30, 100));
    const CClipTransform t = CClipTransform::FromClip(clip, clip.GetRect());
    EXPECT_FLOAT_EQ(t.GetScale().X, 1.0f);
    EXPECT_FLOAT_EQ(t.GetScale().Y, 2.0f);
    EXPECT_TRUE(std::isfinite(t.TransformPoint(CVector2(1, 1)).X));
}

// From 0.9 to 0.1 on a closed path is the short way across the start, not back over 0.5.
TEST_F(ClipTest, PathPositionsWrapAcrossTheStartOfClosedPaths)
{
    CClip clip;
    ASSERT_TRUE(clip.Load("loop", true));
    const CPathObject* ring = clip.FindPath("ring");
    ASSERT_NE(ring, nullptr);
    ASSERT_TRUE(ring->IsClosed());
    CClipObject* runner = clip.FindObject("runner");
    ASSERT_NE(runner, nullptr);
    const struct
    {
        s32 time;
        float fraction;
    } cases[] = {{0, 0.9f}, {250, 0.95f}, {500, 0.0f}, {750, 0.05f}};
    for (const auto& c : cases) {
        clip.SetTime(c.time);
        const CVector2 expected = ring->GetPath().PointAtFraction(c.fraction);
        EXPECT_NEAR(runner->GetPosition().X, expected.X, 1e-2) << c.time;
        EXPECT_NEAR(runner->GetPosition().Y, expected.Y, 1e-2) << c.time;
    }
}

} // namespace
