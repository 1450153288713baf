#include "core/Color.h"
#include "core/Geometry.h"
#include "core/IntRect.h"

#include <gtest/gtest.h>

#include <numbers>

namespace {

void ExpectNear(const CVector2& actual, const CVector2& expected, float tolerance = 1e-4f)
{
    EXPECT_NEAR(actual.X, expected.X, tolerance);
    EXPECT_NEAR(actual.Y, expected.Y, tolerance);
}

void ExpectNear(const CMatrix3& actual, const CMatrix3& expected)
{
    for (int i = 0; i < 9; ++i)
        EXPECT_NEAR(actual.Element(i), expected.Element(i), 1e-5f) << "element " << i;
}

CMatrix3 Identity()
{
    CMatrix3 m;
    m.SetIdentity();
    return m;
}

} // namespace

TEST(Geometry, FloatToIntegerTruncates)
{
    EXPECT_EQ(CIntRect(CFloatRect(-0.5f, 1.9f, 10.99f, 3.5f)), CIntRect(0, 1, 10, 3));
    EXPECT_EQ(CIntRect().FromFloats(-2.9f, 2.9f, 3.5f, 7), CIntRect(-2, 2, 3, 7));
    EXPECT_EQ(CIntRect().SetXYWH(4.99f, -0.99f, 5, 6), CIntRect(4, 0, 5, 6));
    EXPECT_EQ(CIntRect().FromPoints(CVector2(5.5f, 2), CVector2(1.2f, 7.9f)), CIntRect(1, 2, 4, 5));
    EXPECT_EQ(CPoint2i().FromVector2(CVector2(2.9f, -2.9f)), CPoint2i(2, -2));
    EXPECT_EQ(CFloatRect().FromCorners(CVector2(5, 1), CVector2(2, 4)), CFloatRect(2, 1, 3, 3));
    EXPECT_EQ(CFloatRect().AssignIntRect(CIntRect(1, 2, 3, 4)), CFloatRect(1, 2, 3, 4));
    CPoint2i half;
    CPoint2i(7, -7).DividedBy(half, 2);
    EXPECT_EQ(half, CPoint2i(3, -3));
}

TEST(Geometry, RectIntersectionAndContainment)
{
    const struct
    {
        CIntRect a, b, expected;
    } cases[] = {
        {{0, 0, 10, 10}, {10, 0, 5, 5}, {10, 0, 0, 5}}, // touching: empty overlap at the edge
        {{0, 0, 10, 10}, {11, 0, 5, 5}, {0, 0, 0, 0}},  // disjoint
        {{0, 0, 10, 10}, {5, -5, 10, 10}, {5, 0, 5, 5}},
        {{2, 2, 3, 3}, {0, 0, 10, 10}, {2, 2, 3, 3}},
    };
    for (const auto& c : cases)
    {
        CIntRect out(9, 9, 9, 9);
        c.a.Intersect(out, c.b);
        EXPECT_EQ(out, c.expected);
    }

    const CIntRect r(0, 0, 10, 10);
    EXPECT_TRUE(r.Contains(0, 0));
    EXPECT_TRUE(r.Contains(9, 9));
    EXPECT_FALSE(r.Contains(10, 0));
    EXPECT_FALSE(r.Contains(0, 10));
    EXPECT_FALSE(CIntRect(0, 0, 0, 10).Contains(0, 0));
}

TEST(Geometry, QuadContainsPointWithTolerance)
{
    const CQuad square(0, 0, 10, 10);
    const struct
    {
        float x, y;
        bool inside;
    } cases[] = {{5, 5, true},   {1, 1, true},   {0.001f, 5, true}, {0, 5, false},
                 {10, 5, false}, {5, 0, false},  {5, 10, false},    {11, 5, false}};
    for (const auto& c : cases)
        EXPECT_EQ(square.ContainsPoint(c.x, c.y), c.inside) << c.x << ", " << c.y;

    // The other winding works as well.
    CQuad reversed;
    reversed.Corners[0] = square.Corners[3];
    reversed.Corners[1] = square.Corners[2];
    reversed.Corners[2] = square.Corners[1];
    reversed.Corners[3] = square.Corners[0];
    EXPECT_TRUE(reversed.ContainsPoint(5, 5));
    EXPECT_FALSE(reversed.ContainsPoint(-1, 5));
}

TEST(Geometry, MatrixTransforms)
{
    CMatrix3 rotation;
    CMatrix3::MakeRotation(rotation, std::numbers::pi_v<float> / 2);
    CVector2 p(1, 0);
    p.Transform(rotation);
    ExpectNear(p, CVector2(0, 1));

    // Translate then scale: the product applies its left factor first.
    CMatrix3 translate, scale, chain;
    CMatrix3::MakeTranslation(translate, 3, 4);
    CMatrix3::MakeScale(scale, 2, 3);
    translate.Multiply(chain, scale);
    CVector2 q;
    CVector2(1, 1).Transformed(q, chain);
    ExpectNear(q, CVector2(8, 15));

    CMatrix3 inverse;
    CMatrix3::Inverse(inverse, translate);
    CMatrix3 back;
    CMatrix3::MakeTranslation(back, -3, -4);
    ExpectNear(inverse, back);

    CMatrix3 m = chain;
    m.MultiplyAssign(rotation);
    CMatrix3 product;
    CMatrix3::Inverse(inverse, m);
    m.Multiply(product, inverse);
    ExpectNear(product, Identity());

    CQuad quad(0, 0, 2, 2);
    quad.Transform(translate);
    ExpectNear(quad.Corners[2], CVector2(5, 6));
}

TEST(Geometry, LinesSegmentsAndMapping)
{
    CVector2 out(7, 7);
    EXPECT_FALSE(LineIntersection({0, 0}, {1, 1}, {0, 1}, {1, 2}, out));
    ExpectNear(out, CVector2(7, 7)); // unchanged when parallel

    EXPECT_TRUE(SegmentIntersection({0, 0}, {10, 10}, {0, 10}, {10, 0}, out));
    ExpectNear(out, CVector2(5, 5));
    EXPECT_FALSE(SegmentIntersection({0, 0}, {10, 0}, {10, -5}, {10, 5}, out)); // meets at an end point
    ExpectNear(out, CVector2(10, 0));

    ClosestPointOnLine(out, {0, 0}, {10, 10}, {10, 0});
    ExpectNear(out, CVector2(5, 5));
    ClosestPointOnLine(out, {3, 0}, {3, 10}, {8, 4});
    ExpectNear(out, CVector2(3, 4));
    ClosestPointOnSegment(out, {0, 0}, {10, 10}, {30, 20});
    ExpectNear(out, CVector2(10, 10));

    BezierPoint(out, {0, 0}, {10, 0}, {0, 10}, {10, 10}, 0.5f);
    ExpectNear(out, CVector2(5, 7.5f));

    const CQuad quad(0, 0, 100, 50);
    MapUVToQuad(out, quad, {0.5f, 0.5f});
    ExpectNear(out, CVector2(50, 25));
    MapUVToQuad(out, quad, {0, 0});
    ExpectNear(out, CVector2(0, 0));

    const CQuad centred(-50, -25, 100, 50);
    QuadPointToUV(out, centred, {25, -25});
    ExpectNear(out, CVector2(0.75f, 0));
    QuadPointToUV(out, centred, {500, 500});
    ExpectNear(out, CVector2(1, 1));
}

// Objects are not always placed at their centre: a quad from (-10, -10) to (90, 10) holds the
// origin at a tenth of its width and half its height.
TEST(Geometry, QuadPointToUVOfAQuadNotCentredOnTheOrigin)
{
    const struct
    {
        CQuad quad;
        CVector2 point, expected;
    } cases[] = {{CQuad(-10, -10, 100, 20), {0, 0}, {0.1f, 0.5f}},
                 {CQuad(0, 0, 100, 20), {50, 5}, {0.5f, 0.25f}},
                 {CQuad(0, 0, 100, 20), {100, 20}, {1, 1}},
                 {CQuad(-100, -20, 100, 20), {-50, -5}, {0.5f, 0.75f}}};
    for (const auto& c : cases) {
        CVector2 out;
        QuadPointToUV(out, c.quad, c.point);
        ExpectNear(out, c.expected);
        CVector2 back;
        MapUVToQuad(back, c.quad, out);
        ExpectNear(back, c.point);
    }
    CVector2 out(7, 7);
    QuadPointToUV(out, CQuad(5, 5, 0, 0), {5, 5});
    ExpectNear(out, CVector2(0, 0));
}

TEST(Geometry, ClampsAndAngles)
{
    const struct
    {
        float value, a, b, expected;
    } cases[] = {{5, 10, 0, 5}, {-1, 10, 0, 0}, {11, 10, 0, 10}, {3, 0, 10, 3}};
    for (const auto& c : cases)
        EXPECT_EQ(ClampFloat(c.value, c.a, c.b), c.expected);
    EXPECT_EQ(ClampUnsigned(0xFFFFFFFFu, 10, 0), 10u);

    std::pair<bool, float> angle;
    // Negative when turning AB by +angle (clockwise on screen) reaches AC.
    AngleBetween(angle, {0, 0}, {1, 0}, {0, 1});
    EXPECT_TRUE(angle.first);
    EXPECT_NEAR(angle.second, -std::numbers::pi_v<float> / 2, 1e-5f);
    AngleBetween(angle, {0, 0}, {1, 0}, {0, -1});
    EXPECT_NEAR(angle.second, std::numbers::pi_v<float> / 2, 1e-5f);
    AngleBetween(angle, {0, 0}, {0, 0}, {0, 1});
    EXPECT_FALSE(angle.first);
}

TEST(Color, PackingClampingAndModulation)
{
    const CColor red(0x80FF0000u);
    EXPECT_EQ(red, CColor::CColorArgb(128, 255, 0, 0));
    EXPECT_EQ(red.ToArgb(), 0x80FF0000u);
    EXPECT_TRUE(CColor().IsOpaqueWhite());
    EXPECT_FALSE(red.IsOpaqueWhite());

    CColor c = CColor::CColorArgb(256, 300, -5, 255);
    c.Clamp();
    EXPECT_EQ(c, CColor::CColorArgb(255, 255, 0, 255));
    CColor clamped;
    clamped.AssignClamped(CColor::CColorArgb(-1, 1000, 7, 255));
    EXPECT_EQ(clamped, CColor::CColorArgb(0, 255, 7, 255));

    const struct
    {
        CColor a, b, expected;
    } cases[] = {
        {CColor(), red, red},
        {CColor::CColorArgb(255, 255, 128, 0), CColor::CColorArgb(128, 128, 128, 128),
         CColor::CColorArgb(128, 128, 64, 0)},
        // Out-of-range products clamp without wrapping through 16 bits (1000 * 10200 / 255 = 40000).
        {CColor::CColorArgb(255, 1000, 1000, 0), CColor::CColorArgb(255, 10200, -1000, 0),
         CColor::CColorArgb(255, 255, 0, 0)},
    };
    for (const auto& m : cases)
    {
        CColor out;
        m.a.Modulated(out, m.b);
        EXPECT_EQ(out, m.expected);
    }
}
