#include "ClipTestSupport.h"
#include "anim/BoundingQuad.h"
#include "anim/ClipTransform.h"

#include <gtest/gtest.h>

#include <cmath>
#include <memory>
#include <numbers>

using namespace lv::misc::anim;

namespace {

const CClipTransform Identity;

// Key points at 0, 500 and 1000 at x = 0, 100 and 200; `mode` and `reverse` as the item gives.
std::string ThreeKeys(int mode, int reverse, bool interpolate = true)
{
    const std::string itpl = interpolate ? " itpl=\"true\"" : "";
    return "<Clip id=\"c\"><image vis=\"true\" at=\"" + std::to_string(mode) + "\" ad=\"" + std::to_string(reverse) +
           "\"><kp t=\"0\" p=\"0 0\" c=\"-1\"" + itpl + "/><kp t=\"500\" p=\"100 0\" c=\"-1\"" + itpl +
           "/><kp t=\"1000\" p=\"200 0\" c=\"-1\"" + itpl + "/></image></Clip>";
}

// As a clip starts its objects: stopped at time 0 showing the first state, then playing.
void Start(CRecordingObject& object, const CClipItem& item)
{
    object.LoadFromDefinition(item, nullptr);
    object.SetTimeKeepEvents(0, true, Identity);
    object.Play();
    object.Positions.clear();
}

// Moves the object's clock to `ms` and lets it catch up, as a frame does.
std::vector<float> RunTo(CRecordingObject& object, s32 ms)
{
    object.Positions.clear();
    object.SetTimeKeepEvents(ms, false, Identity);
    object.ApplyKeyFrame(Identity);
    return object.Positions;
}

using Xs = std::vector<float>;

} // namespace

TEST(ClipObjectTest, LoopAppliesLastAndFirstKeyAtTheSeamAndInterpolatesAfterIt)
{
    const CTestClips clips(ThreeKeys(CClipObject::AnimLoop, 0));
    CRecordingObject object;
    Start(object, clips.Item("c"));
    EXPECT_EQ(object.GetDuration(), 1000);
    EXPECT_EQ(RunTo(object, 0), Xs({0}));
    EXPECT_EQ(RunTo(object, 750), Xs({100, 150}));
    EXPECT_EQ(RunTo(object, 1000), Xs({200, 0})) << "the last key point, then the first of the next pass";
    EXPECT_EQ(RunTo(object, 1250), Xs({50})) << "halfway between the first two key points";
    EXPECT_EQ(object.GetAnimationTime(), 250);
    EXPECT_EQ(RunTo(object, 3100), Xs({100, 200, 0, 100, 200, 0, 20}));
    EXPECT_EQ(RunTo(object, 3100), Xs()) << "an unchanged clock evaluates nothing";
}

TEST(ClipObjectTest, PingPongRunsForwardThenBackward)
{
    const CTestClips clips(ThreeKeys(CClipObject::AnimPingPong, 0));
    CRecordingObject object;
    Start(object, clips.Item("c"));
    EXPECT_EQ(object.GetDuration(), 2000);
    EXPECT_EQ(RunTo(object, 1250), Xs({0, 100, 200, 150}));
    EXPECT_EQ(RunTo(object, 1500), Xs({100}));
    EXPECT_EQ(object.GetAnimationTime(), 500);
    EXPECT_EQ(RunTo(object, 1750), Xs({50}));
    EXPECT_EQ(RunTo(object, 2250), Xs({0, 50})) << "the second round trip starts forward again";
}

TEST(ClipObjectTest, ReverseOnceStartsAtTheLastKeyAndEndsAtTheFirst)
{
    const CTestClips clips(ThreeKeys(CClipObject::AnimOnce, 1));
    CRecordingObject object;
    Start(object, clips.Item("c"));
    EXPECT_EQ(RunTo(object, 0), Xs({200}));
    EXPECT_EQ(object.GetAnimationTime(), 1000);
    EXPECT_EQ(RunTo(object, 250), Xs({150}));
    EXPECT_EQ(RunTo(object, 1000), Xs({100, 0}));
    EXPECT_EQ(RunTo(object, 5000), Xs()) << "a once animation stays at its end";
    EXPECT_EQ(object.GetAnimationTime(), 0);
}

TEST(ClipObjectTest, KeyWithoutInterpolationHoldsUntilTheNext)
{
    const CTestClips clips(ThreeKeys(CClipObject::AnimOnce, 0, false));
    CRecordingObject object;
    Start(object, clips.Item("c"));
    EXPECT_EQ(RunTo(object, 0), Xs({0}));
    EXPECT_EQ(RunTo(object, 499), Xs());
    EXPECT_EQ(object.GetPosition().X, 0);
    EXPECT_EQ(RunTo(object, 500), Xs({100}));
}

TEST(ClipObjectTest, EmitFlagsApplyOnlyAroundTheirKeyPoints)
{
    const CTestClips clips(R"(<Clip id="c"><particle vis="true">
        <kp t="0" cf="1" fl="1" itpl="true"/><kp t="10000" cf="2" fl="2"/></particle></Clip>)");
    CRecordingObject object;
    object.LoadFromDefinition(clips.Item("c"), nullptr);
    object.Stop();
    const struct
    {
        s32 time;
        s32 emit;
        s32 mirror;
    } table[] = {{0, 1, 1}, {5, 1, 1}, {11, 0, 1}, {5000, 0, 1}, {9989, 0, 1}, {9995, 2, 2}, {10000, 2, 2}};
    for (const auto& row : table) {
        object.SetTime(row.time, true, Identity);
        EXPECT_EQ(object.GetEmitFlags(), row.emit) << row.time;
        EXPECT_EQ(object.GetFlipFlags(), row.mirror) << row.time;
    }
}

TEST(ClipObjectTest, StoppedObjectShowsTheStateAtItsClockAndNothingBeforeItsFirstKey)
{
    const CTestClips clips(R"(<Clip id="c"><image vis="true" p="-7 0">
        <kp t="500" p="10 0" itpl="true"/><kp t="1000" p="20 0"/></image></Clip>)");
    CRecordingObject object;
    object.LoadFromDefinition(clips.Item("c"), nullptr);
    object.Stop();
    object.Positions.clear();
    object.SetTime(100, true, Identity);
    EXPECT_EQ(object.Positions, Xs()) << "before the first key point nothing changes";
    EXPECT_EQ(object.GetPosition().X, -7);
    object.SetTime(750, true, Identity);
    EXPECT_EQ(object.Positions, Xs({15}));
    object.SetTime(3000, true, Identity);
    EXPECT_EQ(object.Positions, Xs({15, 20}));
    EXPECT_EQ(object.GetState(), CClipObject::StateStopped);
    EXPECT_EQ(object.GetCurrentTime(), 3000);
}

// The state of a clip object: Play, Pause and Stop move the clock only as they should.
TEST(ClipObjectTest, PlaybackStates)
{
    const CTestClips clips(ThreeKeys(CClipObject::AnimOnce, 0));
    CRecordingObject object;
    EXPECT_EQ(object.GetState(), CClipObject::StateStopped);
    Start(object, clips.Item("c"));
    RunTo(object, 300);
    object.Pause();
    EXPECT_EQ(object.GetState(), CClipObject::StatePaused);
    EXPECT_EQ(object.GetCurrentTime(), 300);
    object.Play();
    EXPECT_EQ(object.GetState(), CClipObject::StatePlaying);
    EXPECT_EQ(object.GetLastEventTime(), 299);
    object.Stop();
    EXPECT_EQ(object.GetState(), CClipObject::StateStopped);
    EXPECT_EQ(object.GetCurrentTime(), 0);
    EXPECT_EQ(object.GetLastEventTime(), -1);

    // Without key points the clock and state stay as they are.
    const CTestClips empty(R"(<Clip id="e"><image vis="true" p="3 4"/></Clip>)");
    CRecordingObject still;
    still.LoadFromDefinition(empty.Item("e"), nullptr);
    still.Pause();
    still.SetTime(50, true, Identity);
    EXPECT_EQ(still.GetState(), CClipObject::StateStopped);
    EXPECT_EQ(still.GetPosition(), CVector2(3, 4));
    EXPECT_EQ(still.GetDuration(), 0);
    EXPECT_EQ(still.GetAnimationTime(), 0);
}

// A loop or ping-pong animation whose last key point lies at time 0 has passes of no length:
// it is shown as a single key point instead of dividing by zero or never finishing a pass.
TEST(ClipObjectTest, LoopWithoutLengthActsAsASingleKeyPoint)
{
    // (The last set runs its passes backwards, which could never be counted either.)
    for (const char* keys : {R"(<kp t="0" p="1 0"/><kp t="0" p="2 0"/>)", R"(<kp t="900" p="1 0"/><kp t="0" p="2 0"/>)",
                             R"(<kp t="-5" p="1 0"/><kp t="0" p="2 0"/>)", R"(<kp t="1000" p="1 0"/><kp t="500" p="2 0"/>)"}) {
        for (int mode : {CClipObject::AnimLoop, CClipObject::AnimPingPong}) {
            SCOPED_TRACE(std::string(keys) + " mode " + std::to_string(mode));
            const CTestClips clips("<Clip id=\"c\"><image at=\"" + std::to_string(mode) + "\">" + keys +
                                   "</image></Clip>");
            CRecordingObject object;
            Start(object, clips.Item("c"));
            EXPECT_EQ(RunTo(object, 10), Xs({1}));
            EXPECT_EQ(RunTo(object, 5000), Xs());
            if (object.GetKeyPoints()[1].Time == 0) {
                EXPECT_EQ(object.GetAnimationTime(), 0);
            }
        }
    }
}

TEST(ClipObjectTest, LoadTakesTheItemsPlacementAndModes)
{
    const CTestClips clips(R"(<Clip id="c"><image id="pic" p="5 6" py="-1 -2 3 -2 3 4 -1 4" a="0.25" c="-256"
        flip="3" uflags="9" at="2" ad="1" add_b="true" path="missing"/></Clip>)");
    CRecordingObject object;
    object.LoadFromDefinition(clips.Item("c"), nullptr);
    EXPECT_STREQ(object.GetName().GetText(), "pic");
    EXPECT_EQ(object.GetPosition(), CVector2(5, 6));
    EXPECT_EQ(object.GetSize(), CVector2(4, 6));
    EXPECT_FLOAT_EQ(object.GetAngle(), 0.25f);
    EXPECT_EQ(object.GetColor(), CColor(0xFFFFFF00u));
    EXPECT_EQ(object.GetFlipFlags(), 3);
    EXPECT_EQ(object.GetUserFlags(), 9);
    EXPECT_EQ(object.GetAnimMode(), CClipObject::AnimPingPong);
    EXPECT_TRUE(object.IsReverse());
    EXPECT_TRUE(object.IsAdditiveBlend());
    EXPECT_FALSE(object.IsVisible());
    EXPECT_EQ(object.GetParent(), nullptr);
    object.SetAnimMode(-1);
    object.SetAnimMode(3);
    object.SetReverse(2);
    EXPECT_EQ(object.GetAnimMode(), CClipObject::AnimPingPong);
    EXPECT_TRUE(object.IsReverse());
    object.RemoveFlipFlags(1);
    EXPECT_EQ(object.GetFlipFlags(), 2);
    object.SetActive(true);
    EXPECT_TRUE(object.IsVisible());
    EXPECT_TRUE(object.HitTest(CVector2(6, 7)));
    EXPECT_FALSE(object.HitTest(CVector2(0, 0)));
}

TEST(ClipObjectTest, CopiesKeepTheirOwnKeyPointsAndClock)
{
    const CTestClips clips(ThreeKeys(CClipObject::AnimOnce, 0));
    CRecordingObject object;
    Start(object, clips.Item("c"));
    object.MakeKeyPointsOwned();
    object.Pause();
    std::unique_ptr<CClipObject> copy(object.Clone());
    EXPECT_NE(copy->GetKeyPoints(), object.GetKeyPoints());
    EXPECT_EQ(copy->GetKeyPoints()[2].Position, CVector2(200, 0));
    object.ReleaseKeyPoints();
    EXPECT_EQ(copy->GetKeyPointCount(), 3u);
    copy->SetTime(700, false, Identity);
    EXPECT_EQ(copy->GetCurrentTime(), 700);
    EXPECT_NE(object.GetCurrentTime(), 700);
}

TEST(ClipObjectTest, ClipTransformPlacesPointsAnglesAndCorners)
{
    EXPECT_EQ(Identity.TransformPoint(CVector2(3, 4)), CVector2(3, 4));
    const float half = std::numbers::pi_v<float> / 2;
    const CClipTransform placed(CVector2(2, -1), CVector2(100, 50), CVector2(1, 1), half);
    const CVector2 p = placed.TransformPoint(CVector2(2, 3)); // (3, 4) -> (6, -4) -> turned (4, 6)
    EXPECT_NEAR(p.X, 104, 1e-4);
    EXPECT_NEAR(p.Y, 56, 1e-4);
    EXPECT_FLOAT_EQ(placed.TransformAngle(0.5f), 0.5f + half);
    const CQuad corners = placed.TransformCorners(CQuad(-1, -1, 2, 2), 0);
    EXPECT_NEAR(corners.Corners[2].X, 2, 1e-5);
    EXPECT_NEAR(corners.Corners[2].Y, -1, 1e-5);

    // Key-frame states go through the transform.
    const CTestClips clips(ThreeKeys(CClipObject::AnimOnce, 0));
    CRecordingObject object;
    object.LoadFromDefinition(clips.Item("c"), nullptr);
    object.Stop();
    object.SetTime(500, true, CClipTransform(CVector2(1, 1), CVector2(10, 0), CVector2(), 0));
    EXPECT_EQ(object.GetPosition(), CVector2(110, 0));
}

TEST(ClipObjectTest, BoundingQuadTurnsAboutItsPosition)
{
    const CBoundingQuad quad(CVector2(10, 20), CQuad(-2, -1, 4, 2), std::numbers::pi_v<float>);
    const CQuad corners = quad.GetCorners();
    EXPECT_NEAR(corners.Corners[0].X, 12, 1e-5);
    EXPECT_NEAR(corners.Corners[0].Y, 21, 1e-5);
    EXPECT_TRUE(quad.ContainsPoint(CVector2(11.5f, 20.5f)));
    EXPECT_FALSE(quad.ContainsPoint(CVector2(13, 20)));
    CVector2 uv;
    quad.ToUV(uv, CVector2(11, 20.5f)); // turned back: (-1, -0.5) inside (-2, -1, 4, 2)
    EXPECT_NEAR(uv.X, 0.25f, 1e-5);
    EXPECT_NEAR(uv.Y, 0.25f, 1e-5);
    CVector2 back;
    quad.FromUV(back, uv);
    EXPECT_NEAR(back.X, 11, 1e-4);
    EXPECT_NEAR(back.Y, 20.5f, 1e-4);
}
