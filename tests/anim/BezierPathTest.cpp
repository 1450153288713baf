#include "anim/BezierPath.h"
#include "anim/PathObject.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {

// A frame 160 wide and 10 high from the origin: (u, v) lands on (160 u, 10 v).
CBoundingQuad WideFrame()
{
    CBoundingQuad frame;
    frame.Position = CVector2(80, 5);
    frame.Corners.Corners[0] = CVector2(-80, -5);
    frame.Corners.Corners[1] = CVector2(80, -5);
    frame.Corners.Corners[2] = CVector2(80, 5);
    frame.Corners.Corners[3] = CVector2(-80, 5);
    return frame;
}

CPathPoint Point(float u, float v, float outU, float inU)
{
    CPathPoint point;
    point.Position = CVector2(u, v);
    point.OutHandle = CVector2(outU, v);
    point.InHandle = CVector2(inU, v);
    return point;
}

// An open straight path from (0, 5) to (160, 5), handles at one and two thirds.
void MakeStraight(CBezierPath& path)
{
    path.SetClosed(false);
    path.SetFrame(WideFrame());
    path.AddPoint(Point(0, 0.5f, 1 / 3.0f, 0));
    path.AddPoint(Point(1, 0.5f, 1, 2 / 3.0f));
}

float DistanceBetween(const CVector2& a, const CVector2& b)
{
    return std::hypot(a.X - b.X, a.Y - b.Y);
}

TEST(BezierPathTest, StraightSegmentMeasuresEvenSixteenths)
{
    CBezierPath path;
    MakeStraight(path);
    ASSERT_EQ(path.GetSegmentCount(), 1u);
    const CPathSegment& segment = *path.GetSegment(0);
    for (int j = 1; j <= 15; ++j)
        EXPECT_NEAR(segment.Lengths[j], 10.0f * j, 1e-3) << j;
    EXPECT_NEAR(segment.Length, 160, 1e-3);
    EXPECT_NEAR(path.GetLength(), 160, 1e-3);
    EXPECT_NEAR(DistanceBetween(path.PointAtFraction(0.25f), CVector2(0, 5)), 40, 1e-3);
}

TEST(BezierPathTest, FractionsClampToTheEnds)
{
    CBezierPath path;
    MakeStraight(path);
    const struct
    {
        float fraction;
        CVector2 expected;
    } cases[] = {{-0.5f, {0, 5}}, {0, {0, 5}}, {1, {160, 5}}, {1.5f, {160, 5}}};
    for (const auto& c : cases) {
        const CVector2 p = path.PointAtFraction(c.fraction);
        EXPECT_NEAR(p.X, c.expected.X, 1e-3) << c.fraction;
        EXPECT_NEAR(p.Y, c.expected.Y, 1e-3) << c.fraction;
    }
}

TEST(BezierPathTest, PathWithoutSegmentHasNoPoint)
{
    CBezierPath path;
    path.AddPoint(Point(0.5f, 0.5f, 0.5f, 0.5f));
    EXPECT_EQ(path.GetSegmentCount(), 0u);
    EXPECT_EQ(path.PointAtFraction(0.5f), CVector2(-1, -1));
    CVector2 offset(7, 7);
    EXPECT_EQ(path.NearestFraction(CVector2(1, 1), offset), 0.0f);
    EXPECT_EQ(offset, CVector2(7, 7));
}

TEST(BezierPathTest, OpeningClosedPathDropsClosingSegmentAndRefitsFrame)
{
    CBezierPath path;
    path.SetFrame(WideFrame());
    ASSERT_TRUE(path.IsClosed());
    path.AddPoint(Point(0.25f, 0.25f, 0.25f, 0.25f));
    path.AddPoint(Point(0.75f, 0.25f, 0.75f, 0.75f));
    path.AddPoint(Point(0.5f, 0.75f, 0.5f, 0.5f));
    EXPECT_EQ(path.GetSegmentCount(), 3u);
    const float closedLength = path.GetLength();
    path.SetClosed(false);
    EXPECT_FALSE(path.IsClosed());
    EXPECT_EQ(path.GetSegmentCount(), 2u);
    EXPECT_LT(path.GetLength(), closedLength);
    // The frame now spans the curve: from (40, 2.5) to (120, 7.5).
    const CBoundingQuad& frame = path.GetFrame();
    EXPECT_NEAR(frame.Position.X, 80, 1e-2);
    EXPECT_NEAR(frame.Position.Y, 5, 1e-2);
    EXPECT_NEAR(frame.Corners.Corners[2].X - frame.Corners.Corners[0].X, 80, 1e-2);
    const CVector2 start = path.PointAtFraction(0);
    EXPECT_NEAR(start.X, 40, 1e-2);
    EXPECT_NEAR(start.Y, 2.5f, 1e-2);
}

TEST(BezierPathTest, PointsOutsideTheFrameAreDropped)
{
    const struct
    {
        float u;
        u32 count;
    } cases[] = {{1.2f, 1}, {1.0f, 2}, {-0.1f, 1}, {0.0f, 2}};
    for (const auto& c : cases) {
        CBezierPath path;
        path.AddPoint(Point(0.5f, 0.5f, 0.5f, 0.5f));
        path.AddPoint(Point(c.u, 0.5f, 0.5f, 0.5f));
        EXPECT_EQ(path.GetPointCount(), c.count) << c.u;
    }
}

TEST(BezierPathTest, NearestFractionFindsTheClosestPlace)
{
    CBezierPath path;
    MakeStraight(path);
    CVector2 offset;
    EXPECT_NEAR(path.NearestFraction(CVector2(120, 9), offset), 0.75f, 1e-3);
    EXPECT_NEAR(offset.X, 0, 1e-3);
    EXPECT_NEAR(offset.Y, -4, 1e-3);
}

TEST(BezierPathTest, PathObjectHitsNearTheCurveOnly)
{
    lv::misc::anim::CPathObject object;
    MakeStraight(object.GetPath());
    EXPECT_TRUE(object.HitTest(CVector2(80, 5 + 2.9f)));
    EXPECT_FALSE(object.HitTest(CVector2(80, 5 + 3.1f)));
    EXPECT_FALSE(object.HitTest(CVector2(80, 5 - 3.1f)));
    EXPECT_TRUE(lv::misc::anim::CPathObject().HitTest(CVector2(1000, 1000)));
}

TEST(BezierPathTest, CopyIsRebuiltInItsOwnFrame)
{
    lv::misc::anim::CPathObject object;
    MakeStraight(object.GetPath());
    auto* copy = static_cast<lv::misc::anim::CPathObject*>(object.Clone());
    object.GetPath().SetClosed(true);
    EXPECT_FALSE(copy->IsClosed());
    EXPECT_EQ(copy->GetPath().GetSegmentCount(), 1u);
    EXPECT_NEAR(copy->GetPath().GetLength(), 160, 1e-3);
    copy->SetPosition(CVector2(0, 100));
    // The frame's centre moved from (80, 5) to (0, 100): the curve follows it.
    EXPECT_NEAR(copy->GetPath().PointAtFraction(0.5f).X, 0, 1e-3);
    EXPECT_NEAR(copy->GetPath().PointAtFraction(0.5f).Y, 100, 1e-3);
    delete copy;
}

TEST(BezierPathTest, NearestPointAndSegment)
{
    CBezierPath path;
    MakeStraight(path);
    CVector2 offset;
    const struct
    {
        CVector2 at;
        s32 point;
        CVector2 offset;
    } cases[] = {{{150, 9}, 1, {-10, 4}}, {{30, 1}, 0, {30, -4}}, {{80, 9}, 1, {-80, 4}}};
    for (const auto& c : cases) {
        EXPECT_EQ(path.IndexOfSegment(path.NearestSegment(c.at, offset)), 0) << c.at.X;
        EXPECT_EQ(path.IndexOfPoint(path.NearestPoint(c.at, offset)), c.point) << c.at.X;
        EXPECT_NEAR(offset.X, c.offset.X, 1e-3) << c.at.X;
        EXPECT_NEAR(offset.Y, c.offset.Y, 1e-3) << c.at.X;
    }
    CBezierPath lonely;
    EXPECT_EQ(lonely.NearestPoint(CVector2(1, 1), offset), nullptr);
    lonely.AddPoint(Point(0.5f, 0.5f, 0.5f, 0.5f));
    EXPECT_EQ(lonely.NearestPoint(CVector2(1, 1), offset), lonely.GetPoint(0));
    EXPECT_EQ(lonely.NearestSegment(CVector2(1, 1), offset), nullptr);
    EXPECT_EQ(path.IndexOfPoint(lonely.GetPoint(0)), -1);
    EXPECT_EQ(path.IndexOfSegment(nullptr), -1);
}

TEST(BezierPathTest, PointsAddedInClipSpaceRefitTheFrame)
{
    CBezierPath path;
    path.SetClosed(false);
    path.AddPointAt(CVector2(100, 50), CVector2(100, 50), CVector2(100, 50));
    EXPECT_EQ(path.GetSegmentCount(), 0u);
    // Far outside the frame so far: kept, and the frame grows to the curve.
    const CPathPoint* last = path.AddPointAt(CVector2(200, 90), CVector2(200, 90), CVector2(200, 90));
    EXPECT_EQ(path.IndexOfPoint(last), 1);
    EXPECT_EQ(path.GetSegmentCount(), 1u);
    EXPECT_NEAR(path.GetFrame().Position.X, 150, 1e-2);
    EXPECT_NEAR(path.GetFrame().Position.Y, 70, 1e-2);
    EXPECT_NEAR(path.PointAtFraction(1).X, 200, 1e-2);
    EXPECT_NEAR(path.PointAtFraction(1).Y, 90, 1e-2);
    EXPECT_NEAR(path.GetLength(), std::hypot(100.0f, 40.0f), 1e-2);
    EXPECT_NEAR(last->Position.X, 1, 1e-4);
}

TEST(BezierPathTest, InsertingSplitsTheSegmentAndRemovingJoinsIt)
{
    CBezierPath path;
    MakeStraight(path);
    CPathPoint* middle = path.InsertPoint(0.5f);
    ASSERT_NE(middle, nullptr);
    EXPECT_EQ(path.IndexOfPoint(middle), 1);
    EXPECT_EQ(path.GetPointCount(), 3u);
    EXPECT_EQ(path.GetSegmentCount(), 2u);
    EXPECT_NEAR(middle->Position.X, 0.5f, 1e-3);
    // The outer handles moved half-way towards their points: the curve stays on the line.
    EXPECT_NEAR(path.GetPoint(0)->OutHandle.X, 1 / 6.0f, 1e-3);
    EXPECT_NEAR(path.GetPoint(2)->InHandle.X, 5 / 6.0f, 1e-3);
    EXPECT_NEAR(path.GetLength(), 160, 1e-2);
    EXPECT_NEAR(path.PointAtFraction(0.5f).X, 80, 1e-2);
    EXPECT_NEAR(path.PointAtFraction(0.75f).Y, 5, 1e-3);

    EXPECT_TRUE(path.RemovePoint(middle));
    EXPECT_FALSE(path.RemovePoint(nullptr));
    EXPECT_EQ(path.GetPointCount(), 2u);
    ASSERT_EQ(path.GetSegmentCount(), 1u);
    EXPECT_EQ(path.GetSegment(0)->End, 1u);
    EXPECT_NEAR(path.GetLength(), 160, 1e-2);

    CPathPoint end = *path.GetPoint(1);
    end.Position.X = end.InHandle.X = end.OutHandle.X = 0.5f;
    EXPECT_TRUE(path.ReplacePoint(path.GetPoint(1), end));
    EXPECT_NEAR(path.GetLength(), 80, 1e-2);
    EXPECT_NEAR(path.PointAtFraction(1).X, 80, 1e-2);

    path.RemoveAllPoints();
    EXPECT_EQ(path.GetPointCount(), 0u);
    EXPECT_EQ(path.GetSegmentCount(), 0u);
    EXPECT_EQ(path.GetLength(), 0.0f);
    EXPECT_EQ(path.InsertPoint(0.5f), nullptr);
}

TEST(BezierPathTest, InsertingIntoTheClosingSegmentAppendsThePoint)
{
    CBezierPath path;
    path.SetFrame(WideFrame());
    path.AddPoint(Point(0, 0, 0, 0));
    path.AddPoint(Point(1, 0, 1, 1));
    path.AddPoint(Point(1, 1, 1, 1));
    ASSERT_EQ(path.GetSegmentCount(), 3u);
    const float length = path.GetLength();
    // The closing segment runs from (160, 10) back to (0, 0): the last part of the length.
    const CPathPoint* added = path.InsertPoint(0.95f);
    EXPECT_EQ(path.IndexOfPoint(added), 3);
    EXPECT_EQ(path.GetSegmentCount(), 4u);
    EXPECT_EQ(path.GetSegment(3)->End, 0u);
    EXPECT_NEAR(path.GetLength(), length, 0.5f);
    // Without a segment the first point answers.
    CBezierPath single;
    single.AddPoint(Point(0.5f, 0.5f, 0.5f, 0.5f));
    EXPECT_EQ(single.InsertPoint(0.5f), single.GetPoint(0));
}

// Handles may lie outside the frame and pull the curve out of it: the samples follow the curve
// there instead of being held at the frame's edge, so bounds and lengths stay true.
TEST(BezierPathTest, CurveLeavingItsFrameIsMeasuredWhereItRuns)
{
    CBezierPath path;
    path.SetClosed(false);
    path.SetFrame(WideFrame());
    CPathPoint start = Point(0, 0.5f, 0, 0);
    start.OutHandle = CVector2(0, -2);
    CPathPoint end = Point(1, 0.5f, 1, 1);
    end.InHandle = CVector2(1, -2);
    path.AddPoint(start);
    path.AddPoint(end);
    // Control points at y = -20: the middle of the curve is at 5 / 4 - 15 = -13.75.
    EXPECT_NEAR(path.GetBounds().Y, -13.75f, 0.05f);
    EXPECT_NEAR(path.PointAtFraction(0.5f).Y, -13.75f, 0.05f);
    EXPECT_GT(path.GetLength(), 2 * std::hypot(80.0f, 18.75f));
}

} // namespace
