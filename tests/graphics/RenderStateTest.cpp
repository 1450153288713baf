#include "graphics/RenderState.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <random>
#include <vector>

#include "LogCapture.h"

using lv::graphics::CClipPolygon;
using lv::graphics::CRenderState;
using lv::graphics::CVertex;
using lv::graphics::CVertexSink;
using lv::graphics::kMaxDrawVertices;

namespace {

constexpr float kPi = 3.14159265358979f;

// Two triangles c0 c1 c2, c0 c2 c3 with a colour and a uv per corner.
u32 MakeQuad(CVertex* v, float x, float y, float w, float h)
{
    const CVertex c[4] = {{x, y, 0, 1, 0xFF0000FF, 0, 0, 0},
                          {x + w, y, 0, 1, 0xFF00FF00, 0, 1, 0},
                          {x + w, y + h, 0, 1, 0xFFFF0000, 0, 1, 1},
                          {x, y + h, 0, 1, 0x80FFFFFF, 0, 0, 1}};
    const int order[6] = {0, 1, 2, 0, 2, 3};
    for (int i = 0; i < 6; ++i)
        v[i] = c[order[i]];
    return 6;
}

// Screen area of a triangle list.
float Area(const CVertex* v, u32 count)
{
    float a = 0;
    for (u32 i = 0; i + 2 < count; i += 3)
        a += std::fabs((v[i + 1].x - v[i].x) * (v[i + 2].y - v[i].y) -
                       (v[i + 2].x - v[i].x) * (v[i + 1].y - v[i].y)) /
             2;
    return a;
}

float PolygonArea(const CClipPolygon& p)
{
    float a = 0;
    for (u32 i = 0; i < p.GetCount(); ++i) {
        const CVector2& s = p.GetPoint(i);
        const CVector2& e = p.GetPoint((i + 1) % p.GetCount());
        a += s.X * e.Y - e.X * s.Y;
    }
    return std::fabs(a) / 2;
}

class CCollectSink final : public CVertexSink
{
public:
    std::vector<CVertex> m_Vertices;
    std::vector<u32> m_Chunks;
    void Emit(const CVertex* v, u32 count) override
    {
        m_Chunks.push_back(count);
        m_Vertices.insert(m_Vertices.end(), v, v + count);
    }
};

CMatrix3 RotationAbout(float angle, float cx, float cy)
{
    CMatrix3 to, rot, back, a, b;
    CMatrix3::MakeTranslation(to, -cx, -cy);
    CMatrix3::MakeRotation(rot, angle);
    CMatrix3::MakeTranslation(back, cx, cy);
    to.Multiply(a, rot);
    a.Multiply(b, back);
    return b;
}

// Area of a convex polygon clipped by another, both of any winding, computed independently in
// double precision (the clip's winding from its signed area).
double ReferenceIntersectionArea(const std::vector<CVector2>& subject, const std::vector<CVector2>& clip)
{
    struct P
    {
        double x, y;
    };
    const auto signedArea = [](const std::vector<P>& p) {
        double a = 0;
        for (size_t i = 0; i < p.size(); ++i)
            a += p[i].x * p[(i + 1) % p.size()].y - p[(i + 1) % p.size()].x * p[i].y;
        return a / 2;
    };
    std::vector<P> poly, k;
    for (const CVector2& v : subject)
        poly.push_back({v.X, v.Y});
    for (const CVector2& v : clip)
        k.push_back({v.X, v.Y});
    const double sign = signedArea(k) > 0 ? 1 : -1;
    for (size_t e = 0; e < k.size() && !poly.empty(); ++e) {
        const P a = k[e], b = k[(e + 1) % k.size()];
        const auto side = [&](const P& p) { return sign * ((b.x - a.x) * (p.y - a.y) - (b.y - a.y) * (p.x - a.x)); };
        std::vector<P> next;
        for (size_t i = 0; i < poly.size(); ++i) {
            const P p = poly[i], q = poly[(i + 1) % poly.size()];
            const double sp = side(p), sq = side(q);
            if (sp >= 0)
                next.push_back(p);
            if ((sp >= 0) != (sq >= 0)) {
                const double t = sp / (sp - sq);
                next.push_back({p.x + t * (q.x - p.x), p.y + t * (q.y - p.y)});
            }
        }
        poly = next;
    }
    return poly.size() < 3 ? 0 : std::fabs(signedArea(poly));
}

std::vector<CVector2> Corners(const CQuad& q, const CMatrix3& m)
{
    std::vector<CVector2> out;
    for (u32 i = 0; i < 4; ++i) {
        CVector2 p = q.GetCorner(i);
        p.Transform(m);
        out.push_back(p);
    }
    return out;
}

// Area a huge quad keeps under the state's clip.
float DrawnArea(CRenderState& state)
{
    CVertex v[kMaxDrawVertices];
    u32 n = MakeQuad(v, -5000, -5000, 20000, 20000);
    state.ClipPolygon(v, n);
    return Area(v, n);
}

} // namespace

TEST(RenderState, NoClipTransformsAndShiftsHalfAPixel)
{
    CRenderState state;
    state.SetScreenTransform(CVector2(2, 3), CVector2(10, 20));
    CMatrix3 move;
    CMatrix3::MakeTranslation(move, 1, 1);
    state.MultiplyTransform(move);
    CVertex v[kMaxDrawVertices];
    u32 n = MakeQuad(v, 0, 0, 4, 4);
    state.TransformAndClip(v, n, false);
    ASSERT_EQ(n, 6u);
    // (0, 0) moves to (1, 1) locally, then (1 * 2 + 10, 1 * 3 + 20), then half a pixel up-left.
    EXPECT_FLOAT_EQ(v[0].x, 11.5f);
    EXPECT_FLOAT_EQ(v[0].y, 22.5f);
    EXPECT_FLOAT_EQ(v[2].x, 19.5f);
    EXPECT_FLOAT_EQ(v[2].y, 34.5f);
    EXPECT_EQ(v[1].diffuse, 0xFF00FF00u);
}

TEST(RenderState, RectangularClipTable)
{
    struct
    {
        const char* name;
        CQuad clip;
        float x, y, w, h;
        s32 expectedCount; // -1: cut into new triangles
        float expectedArea;
    } cases[] = {
        {"inside", CQuad(10, 10, 100, 50), 20, 20, 10, 10, 6, 100},
        {"left", CQuad(10, 10, 100, 50), -50, 20, 10, 10, 0, 0},
        {"right", CQuad(10, 10, 100, 50), 110, 20, 10, 10, 0, 0},
        {"above", CQuad(10, 10, 100, 50), 20, -20, 10, 30, 0, 0},
        {"below", CQuad(10, 10, 100, 50), 20, 60, 10, 10, 0, 0},
        {"half inside", CQuad(10, 10, 100, 50), 90, 20, 40, 20, -1, 400},
        {"covering", CQuad(10, 10, 100, 50), 0, 0, 200, 200, -1, 5000},
        {"narrower than half a pixel", CQuad(10, 10, 0.3f, 50), 0, 0, 200, 200, 0, 0},
        {"flatter than half a pixel", CQuad(10, 10, 100, 0.4f), 0, 0, 200, 200, 0, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        CRenderState state;
        state.IntersectClip(c.clip);
        CVertex v[kMaxDrawVertices];
        CVertex in[6];
        u32 n = MakeQuad(v, c.x, c.y, c.w, c.h);
        MakeQuad(in, c.x, c.y, c.w, c.h);
        state.ClipPolygon(v, n);
        if (c.expectedCount >= 0) {
            ASSERT_EQ(n, static_cast<u32>(c.expectedCount));
        }
        EXPECT_NEAR(Area(v, n), c.expectedArea, 0.05f);
        if (c.expectedCount == 6) {
            for (u32 i = 0; i < 6; ++i) // untouched, per-vertex colours kept
                EXPECT_EQ(std::memcmp(&v[i], &in[i], sizeof(CVertex)), 0);
        }
        if (c.expectedCount < 0) {
            ASSERT_EQ(n % 3, 0u);
            const CVector2& lo = c.clip.GetCorner(0);
            const CVector2& hi = c.clip.GetCorner(2);
            for (u32 i = 0; i < n; ++i) {
                EXPECT_EQ(v[i].diffuse, in[0].diffuse); // every output vertex: the first input's colour
                EXPECT_GE(v[i].x, lo.X - 0.01f);
                EXPECT_LE(v[i].x, hi.X + 0.01f);
                EXPECT_GE(v[i].y, lo.Y - 0.01f);
                EXPECT_LE(v[i].y, hi.Y + 0.01f);
                // u runs 0..1 across the quad's width: the planes follow the position.
                EXPECT_NEAR(v[i].u, (v[i].x - c.x) / c.w, 1e-4f);
                EXPECT_NEAR(v[i].v, (v[i].y - c.y) / c.h, 1e-4f);
            }
        }
    }
}

TEST(RenderState, LineCrossingAClipKeepsOnlyTheInsidePart)
{
    CRenderState state;
    state.IntersectClip(CQuad(10, 10, 100, 50));
    CVertex v[kMaxDrawVertices] = {{0, 30, 0, 1, 0xFFFFFFFF, 0, 0, 0}, {200, 30, 0, 1, 0xFF000000, 0, 0, 0}};
    u32 n = 2;
    state.ClipPolygon(v, n);
    // One line, in the line's direction: a translucent line covers each of its pixels once.
    ASSERT_EQ(n, 2u);
    for (u32 i = 0; i < n; ++i) {
        EXPECT_NEAR(v[i].y, 30, 1e-4f);
        EXPECT_EQ(v[i].diffuse, 0xFFFFFFFFu);
        EXPECT_TRUE(std::isfinite(v[i].u) && std::isfinite(v[i].v));
    }
    EXPECT_NEAR(v[0].x, 10, 1e-3f);
    EXPECT_NEAR(v[1].x, 110, 1e-3f);

    // Through a rotated clip, and starting inside it: from the start to the clip's edge.
    const float r = 50 * std::sqrt(2.0f);
    CQuad diamond;
    const CVector2 corners[4] = {{100, 100 - r}, {100 + r, 100}, {100, 100 + r}, {100 - r, 100}};
    for (int i = 0; i < 4; ++i)
        diamond.GetCorner(i) = corners[i];
    CRenderState rotated;
    rotated.IntersectClip(diamond);
    const struct
    {
        CVector2 from, to, clippedFrom, clippedTo;
    } lines[] = {
        {{100, 100}, {300, 100}, {100, 100}, {100 + r, 100}},
        {{300, 100}, {-100, 100}, {100 + r, 100}, {100 - r, 100}},
        {{100, 0}, {100, 300}, {100, 100 - r}, {100, 100 + r}},
    };
    for (const auto& l : lines) {
        v[0] = {l.from.X, l.from.Y, 0, 1, 0x80FFFFFF, 0, 0, 0};
        v[1] = {l.to.X, l.to.Y, 0, 1, 0x80FFFFFF, 0, 0, 0};
        n = 2;
        rotated.ClipPolygon(v, n);
        ASSERT_EQ(n, 2u);
        EXPECT_NEAR(v[0].x, l.clippedFrom.X, 1e-2f);
        EXPECT_NEAR(v[0].y, l.clippedFrom.Y, 1e-2f);
        EXPECT_NEAR(v[1].x, l.clippedTo.X, 1e-2f);
        EXPECT_NEAR(v[1].y, l.clippedTo.Y, 1e-2f);
    }
    // A line outside the clip is dropped.
    v[0] = {0, 0, 0, 1, 0x80FFFFFF, 0, 0, 0};
    v[1] = {20, 0, 0, 1, 0x80FFFFFF, 0, 0, 0};
    n = 2;
    rotated.ClipPolygon(v, n);
    EXPECT_EQ(n, 0u);
}

TEST(RenderState, IntersectClipNarrowsKeepsAndEmpties)
{
    CRenderState state;
    state.IntersectClip(CQuad(10, 10, 100, 50));
    state.IntersectClip(CQuad(10.2f, 10, 100, 50)); // within half a pixel: replaced, not cut
    ASSERT_EQ(state.GetClipDepth(), 1);
    EXPECT_EQ(state.GetClip().GetCount(), 4u);
    EXPECT_FLOAT_EQ(state.GetClip().GetPoint(0).X, 10.2f);
    EXPECT_NEAR(PolygonArea(state.GetClip()), 5000, 1e-3f);

    state.PushAll();
    state.IntersectClip(CQuad(60, 0, 100, 100));
    EXPECT_NEAR(PolygonArea(state.GetClip()), 50.2f * 50, 1e-2f); // the replaced clip starts at 10.2
    state.IntersectClip(CQuad(500, 500, 10, 10));                 // disjoint: everything is clipped away
    EXPECT_TRUE(state.GetClip().IsEmpty());
    CVertex v[kMaxDrawVertices];
    u32 n = MakeQuad(v, 0, 0, 1000, 1000);
    state.TransformAndClip(v, n, false);
    EXPECT_EQ(n, 0u);
    state.IntersectClip(CQuad(0, 0, 1000, 1000)); // an empty clip stays empty
    EXPECT_TRUE(state.GetClip().IsEmpty());
    state.PopAll();

    // The clip from before the bracket is back.
    EXPECT_NEAR(PolygonArea(state.GetClip()), 5000, 1e-3f);
    n = MakeQuad(v, 20, 20, 10, 10);
    state.TransformAndClip(v, n, false);
    EXPECT_EQ(n, 6u);
    // Skipping the clip draws even outside it.
    n = MakeQuad(v, 500, 500, 10, 10);
    state.TransformAndClip(v, n, true);
    EXPECT_EQ(n, 6u);
}

TEST(RenderState, ClipCreatedInsideABracketIsRemovedByItsPop)
{
    CRenderState state;
    state.PushAll();
    state.IntersectClip(CQuad(0, 0, 10, 10));
    EXPECT_TRUE(state.HasClip());
    state.PopAll();
    EXPECT_FALSE(state.HasClip());
    EXPECT_EQ(state.GetTransformDepth(), 1);
}

TEST(RenderState, RotatedClipEitherWindingClipsTheSame)
{
    // A 40 x 40 square around (100, 100) turned by 45 degrees.
    const float r = 20 * std::sqrt(2.0f);
    const CVector2 diamond[4] = {{100, 100 - r}, {100 + r, 100}, {100, 100 + r}, {100 - r, 100}};
    for (bool clockwise : {true, false}) {
        SCOPED_TRACE(clockwise ? "clockwise" : "counter-clockwise");
        CRenderState state;
        CQuad q;
        for (int i = 0; i < 4; ++i)
            q.GetCorner(i) = diamond[clockwise ? i : 3 - i];
        state.IntersectClip(q);
        CVertex v[kMaxDrawVertices];
        u32 n = MakeQuad(v, 0, 0, 200, 200);
        state.ClipPolygon(v, n);
        EXPECT_NEAR(Area(v, n), 1600, 0.5f);
        // Only the half left of x = 100.
        n = MakeQuad(v, 0, 0, 100, 200);
        state.ClipPolygon(v, n);
        EXPECT_NEAR(Area(v, n), 800, 0.5f);
    }
    // The same clip made by a rotated transform.
    CRenderState state;
    state.MultiplyTransform(RotationAbout(kPi / 4, 100, 100));
    state.IntersectClip(CQuad(80, 80, 40, 40));
    CMatrix3 identity;
    identity.SetIdentity();
    state.PushTransform();
    CVertex v[kMaxDrawVertices];
    u32 n = MakeQuad(v, -200, -200, 600, 600);
    state.ClipPolygon(v, n);
    EXPECT_NEAR(Area(v, n), 1600, 0.5f);
}

TEST(RenderState, StackBoundsAreKeptAndLogged)
{
    CScratchLogCapture log;
    CRenderState state;
    for (int i = 0; i < 40; ++i) {
        state.PushTransform();
        state.PushColor();
        state.PushBlendMode();
        state.PushAll();
    }
    EXPECT_EQ(state.GetTransformDepth(), CRenderState::kStackDepth);
    EXPECT_EQ(state.GetColorDepth(), CRenderState::kStackDepth);
    EXPECT_EQ(state.GetBlendDepth(), CRenderState::kStackDepth);
    EXPECT_EQ(state.GetPixelShaderDepth(), CRenderState::kStackDepth);
    EXPECT_TRUE(log.Contains("[renderer][2]: transform stack full (32 entries): push ignored"));

    state.SetColor(CColor(0x80102030u));
    for (int i = 0; i < 100; ++i) {
        state.PopTransform();
        state.PopColor();
        state.PopBlendMode();
        state.PopAll();
    }
    // The frame's base entry survives any number of pops.
    EXPECT_EQ(state.GetTransformDepth(), 1);
    EXPECT_EQ(state.GetColorDepth(), 1);
    EXPECT_EQ(state.GetBlendDepth(), 1);
    EXPECT_EQ(state.GetPixelShaderDepth(), 1);
    EXPECT_TRUE(log.Contains("[renderer][2]: colour stack at its base: pop ignored"));
    EXPECT_EQ(state.GetBlendMode(), 2);

    // The clip stack stops at 32 too.
    state.IntersectClip(CQuad(0, 0, 10, 10));
    for (int i = 0; i < 40; ++i)
        state.PushAll();
    EXPECT_EQ(state.GetClipDepth(), CRenderState::kStackDepth);
    EXPECT_TRUE(log.Contains("clip stack full"));

    state.Reset();
    EXPECT_EQ(state.GetClipDepth(), 0);
    EXPECT_EQ(state.GetColor(), CColor());
}

TEST(RenderState, NestedRotatedClipsAndLongOutputStayInBounds)
{
    CScratchLogCapture log;
    CRenderState state;
    // Four squares of half-size 50 around (200, 200), turned by 0, 45, 22.5 and 67.5 degrees:
    // their intersection has 16 corners, more than a clip polygon holds.
    const float angles[4] = {0, kPi / 4, kPi / 8, 3 * kPi / 8};
    for (float a : angles) {
        state.PushTransform();
        state.MultiplyTransform(RotationAbout(a, 200, 200));
        state.IntersectClip(CQuad(150, 150, 100, 100));
        state.PopTransform();
    }
    const CClipPolygon& clip = state.GetClip();
    ASSERT_LE(clip.GetCount(), CClipPolygon::kMaxPoints);
    EXPECT_GE(clip.GetCount(), 3u);
    EXPECT_TRUE(log.Contains("clip polygon of 16 points reduced to 12"));
    // Reduced by dropping corners: never larger than the true region, nearly as large.
    const float trueArea = 16 * 50 * 50 * std::tan(kPi / 16);
    EXPECT_LE(PolygonArea(clip), trueArea + 1);
    EXPECT_GE(PolygonArea(clip), 0.9f * trueArea);
    for (u32 i = 0; i < clip.GetCount(); ++i) {
        for (float a : angles) { // inside every square
            const float dx = clip.GetPoint(i).X - 200, dy = clip.GetPoint(i).Y - 200;
            EXPECT_LE(std::fabs(dx * std::cos(a) + dy * std::sin(a)), 50.2f);
            EXPECT_LE(std::fabs(-dx * std::sin(a) + dy * std::cos(a)), 50.2f);
        }
    }

    // 21 large triangles each cut into a 12-corner fan: far more than one draw's 64 vertices.
    CVertex v[kMaxDrawVertices];
    for (u32 t = 0; t < 21; ++t) {
        v[3 * t] = {0, 0, 0, 1, 0xFFFFFFFF, 0, 0, 0};
        v[3 * t + 1] = {1000, 0, 0, 1, 0xFFFFFFFF, 0, 1, 0};
        v[3 * t + 2] = {0, 1000, 0, 1, 0xFFFFFFFF, 0, 0, 1};
    }
    CVertex copy[kMaxDrawVertices];
    std::memcpy(copy, v, sizeof(v));
    CCollectSink sink;
    state.TransformAndClip(v, 63, false, sink);
    const u32 perTriangle = 3 * (clip.GetCount() - 2);
    EXPECT_EQ(sink.m_Vertices.size(), 21u * perTriangle);
    for (u32 chunk : sink.m_Chunks) {
        EXPECT_LE(chunk, kMaxDrawVertices);
        EXPECT_EQ(chunk % 3, 0u);
    }
    EXPECT_NEAR(Area(sink.m_Vertices.data(), static_cast<u32>(sink.m_Vertices.size())),
                21 * PolygonArea(clip), 1.0f);

    // In place the output is cut at the array's size, and that is logged.
    u32 n = 63;
    state.TransformAndClip(copy, n, false);
    EXPECT_LE(n, kMaxDrawVertices);
    EXPECT_EQ(n % 3, 0u);
    EXPECT_TRUE(log.Contains("clipped draw exceeds 64 vertices"));
}

TEST(RenderState, ConvexClipperTable)
{
    const CVector2 square[4] = {{0, 0}, {10, 0}, {10, 10}, {0, 10}};
    const CVector2 squareCcw[4] = {{0, 0}, {0, 10}, {10, 10}, {10, 0}};
    // A narrowed clip whose first three points lie almost in a line: their turn reads the wrong
    // way round, the whole polygon's area does not.
    const CVector2 nearlyStraightStart[5] = {{0, 0}, {5, 0.00001f}, {10, 0}, {10, 10}, {0, 10}};
    const CVector2 nearlyStraightStartCcw[5] = {{10, 0}, {5, 0.00001f}, {0, 0}, {0, 10}, {10, 10}};
    struct
    {
        const char* name;
        std::vector<CVector2> subject;
        const CVector2* clip;
        u32 expectedCount;
        float expectedArea;
        u32 clipCount = 4;
    } cases[] = {
        {"inside", {{2, 2}, {8, 2}, {5, 8}}, square, 3, 18},
        {"outside", {{20, 2}, {28, 2}, {25, 8}}, square, 0, 0},
        {"corner cut", {{5, 5}, {15, 5}, {5, 15}}, square, 4, 25},
        {"corner cut, other winding", {{5, 5}, {15, 5}, {5, 15}}, squareCcw, 4, 25},
        {"vertex on an edge", {{0, 5}, {5, 2}, {5, 8}}, square, 3, 15},
        {"covering", {{-100, -100}, {100, -100}, {0, 100}}, square, 4, 100},
        {"nearly straight start", {{2, 2}, {8, 2}, {5, 8}}, nearlyStraightStart, 3, 18, 5},
        {"nearly straight start, other winding", {{2, 2}, {8, 2}, {5, 8}}, nearlyStraightStartCcw, 3, 18, 5},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        CVector2 out[CClipPolygon::kMaxResultPoints];
        const u32 n = CClipPolygon::ClipConvex(c.subject.data(), static_cast<u32>(c.subject.size()), c.clip,
                                               c.clipCount, out, CClipPolygon::kMaxResultPoints);
        EXPECT_EQ(n, c.expectedCount);
        CClipPolygon p;
        p.Assign(out, n);
        EXPECT_NEAR(PolygonArea(p), c.expectedArea, 1e-3f);
    }
    // A result larger than the caller's buffer is cut, never written past it.
    CVector2 small[2];
    const CVector2 tri[3] = {{-100, -100}, {100, -100}, {0, 100}};
    EXPECT_EQ(CClipPolygon::ClipConvex(tri, 3, square, 4, small, 2), 2u);
}

TEST(RenderState, RefusedPushesArePairedWithTheirPops)
{
    CScratchLogCapture log;
    CRenderState state;
    const auto colourAt = [](s32 depth) { return CColor(0xFF000000u | static_cast<u32>(depth)); };
    state.IntersectClip(CQuad(0, 0, 100, 100));
    state.SetColor(colourAt(1));
    for (s32 depth = 2; depth <= CRenderState::kStackDepth; ++depth) {
        state.PushAll();
        state.SetColor(colourAt(depth));
    }
    state.SetBlendMode(3);
    state.IntersectClip(CQuad(0, 0, 50, 50)); // the innermost caller narrows its own clip
    ASSERT_EQ(state.GetClipDepth(), CRenderState::kStackDepth);

    // Three brackets too many: refused and logged...
    for (int i = 0; i < 3; ++i) {
        state.PushAll();
        state.PushColor();
        state.PushBlendMode();
        state.PushTransform();
    }
    EXPECT_TRUE(log.Contains("colour stack full"));
    EXPECT_TRUE(log.Contains("clip stack full"));
    for (int i = 0; i < 3; ++i) {
        state.PopTransform();
        state.PopBlendMode();
        state.PopColor();
        state.PopAll();
    }
    // ...and their pops leave the caller's entries alone.
    EXPECT_EQ(state.GetColorDepth(), CRenderState::kStackDepth);
    EXPECT_EQ(state.GetColor(), colourAt(CRenderState::kStackDepth));
    EXPECT_EQ(state.GetBlendMode(), 3);
    EXPECT_EQ(state.GetClipDepth(), CRenderState::kStackDepth);
    EXPECT_NEAR(PolygonArea(state.GetClip()), 2500, 1e-2f);
    EXPECT_EQ(state.GetTransformDepth(), CRenderState::kStackDepth);
    EXPECT_EQ(state.GetPixelShaderDepth(), CRenderState::kStackDepth);

    // Each caller below gets its own entries back, down to the frame's base.
    for (s32 depth = CRenderState::kStackDepth - 1; depth >= 1; --depth) {
        state.PopAll();
        ASSERT_EQ(state.GetColor(), colourAt(depth));
        EXPECT_EQ(state.GetBlendMode(), 2);
        EXPECT_NEAR(PolygonArea(state.GetClip()), 10000, 1e-2f);
    }
    EXPECT_EQ(state.GetClipDepth(), 1);
    EXPECT_EQ(state.GetTransformDepth(), 1);

    // Reset forgets refused pushes along with everything else.
    for (int i = 0; i < 40; ++i)
        state.PushColor();
    state.Reset();
    state.PushColor();
    state.SetColor(colourAt(7));
    state.PopColor();
    EXPECT_EQ(state.GetColor(), CColor());
}

TEST(RenderState, NearlyCoincidingRotatedClipsKeepTheirSharedArea)
{
    // A child clipped to its rotated parent's rectangle: the same 377-pixel square, turned a
    // little further and one pixel off. The narrowed polygon starts with points almost in a line,
    // and the clip must still keep the shared area.
    const struct
    {
        float angleDegrees, childAngle, dx, dy;
    } cases[] = {{225, 0.0002f, -1, 0}, {230, 0.0005f, 0, 1}, {285, 0.0002f, 0, 1}, {300, 0.0002f, 1, 0},
                 {345, 0.0002f, 1, 0}, {30, 0, 1, 0},          {45, 0, 1, 1},          {60, -0.001f, 0.5f, -0.5f}};
    const float size = 377;
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.angleDegrees << " degrees, child turned by " << c.childAngle << " at ("
                                        << c.dx << ", " << c.dy << ")");
        const CMatrix3 parentTransform = RotationAbout(c.angleDegrees * kPi / 180, 400, 300);
        CMatrix3 childTransform;
        RotationAbout(c.childAngle, 400, 300).Multiply(childTransform, parentTransform);
        const CQuad parent(400 - size / 2, 300 - size / 2, size, size);
        const CQuad child(400 - size / 2 + c.dx, 300 - size / 2 + c.dy, size, size);
        CRenderState state;
        state.MultiplyTransform(parentTransform);
        state.IntersectClip(parent);
        state.MultiplyTransform(RotationAbout(c.childAngle, 400, 300));
        state.IntersectClip(child);
        const double shared =
            ReferenceIntersectionArea(Corners(child, childTransform), Corners(parent, parentTransform));
        EXPECT_GT(shared, 140000);
        EXPECT_NEAR(PolygonArea(state.GetClip()), shared, 2.0);
        EXPECT_NEAR(DrawnArea(state), shared, 2.0);
    }
}

TEST(RenderState, RandomNestedRotatedClipsKeepTheIntersection)
{
    std::mt19937 random(14);
    std::uniform_real_distribution<float> unit(0, 1);
    u32 lost = 0;
    for (int i = 0; i < 20000; ++i) {
        const float angle = unit(random) * 2 * kPi;
        const float w = 20 + unit(random) * 500, h = 20 + unit(random) * 500;
        const float x = unit(random) * 800, y = unit(random) * 600;
        const CQuad parent(x, y, w, h);
        // Half the children nearly coincide with the parent, the rest lie anywhere around it.
        CQuad child;
        float childAngle = 0;
        if (i % 2 == 0) {
            child = CQuad(x + (unit(random) - 0.5f) * 2, y + (unit(random) - 0.5f) * 2, w, h);
            childAngle = (unit(random) - 0.5f) * 0.002f;
        } else {
            child = CQuad(x + (unit(random) - 0.3f) * w, y + (unit(random) - 0.3f) * h, unit(random) * w,
                          unit(random) * h);
            childAngle = unit(random) * 2 * kPi;
        }
        const CMatrix3 parentTransform = RotationAbout(angle, x + w / 2, y + h / 2);
        CMatrix3 childTransform;
        RotationAbout(childAngle, x + w / 2, y + h / 2).Multiply(childTransform, parentTransform);

        CRenderState state;
        state.PushTransform();
        state.MultiplyTransform(parentTransform);
        state.IntersectClip(parent);
        state.PopTransform();
        state.PushTransform();
        state.MultiplyTransform(childTransform);
        state.IntersectClip(child);
        state.PopTransform();

        const std::vector<CVector2> outer = Corners(parent, parentTransform), inner = Corners(child, childTransform);
        // A child within half a pixel of its parent at every corner replaces it.
        bool same = true;
        for (u32 k = 0; k < 4; ++k)
            same = same && std::fabs(outer[k].X - inner[k].X) <= 0.5f && std::fabs(outer[k].Y - inner[k].Y) <= 0.5f;
        const double expected = same ? ReferenceIntersectionArea(inner, inner) : ReferenceIntersectionArea(inner, outer);
        const double drawn = DrawnArea(state);
        // An upright sliver thinner than half a pixel clips everything away (the rectangle rule).
        const CClipPolygon& clip = state.GetClip();
        const auto near = [](float a, float b) { return std::fabs(a - b) < 0.5f; };
        const CVector2* p = clip.GetPoints();
        if (clip.GetCount() == 4 && near(p[0].Y, p[1].Y) && near(p[2].Y, p[3].Y) && near(p[0].X, p[3].X) &&
            near(p[1].X, p[2].X) && (near(p[0].X, p[1].X) || near(p[0].Y, p[2].Y))) {
            EXPECT_EQ(drawn, 0) << "case " << i;
            continue;
        }
        if (expected > 10 && drawn < 0.5 * expected)
            ++lost;
        EXPECT_NEAR(drawn, expected, 2 + expected * 1e-3) << "case " << i;
        if (HasFailure())
            break;
    }
    EXPECT_EQ(lost, 0u);
}
