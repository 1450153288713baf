#include "graphics/RenderState.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
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
    ASSERT_GE(n, 3u);
    ASSERT_EQ(n % 3, 0u);
    float minX = 1e9f, maxX = -1e9f;
    for (u32 i = 0; i < n; ++i) {
        EXPECT_NEAR(v[i].y, 30, 1e-4f);
        EXPECT_EQ(v[i].diffuse, 0xFFFFFFFFu);
        EXPECT_TRUE(std::isfinite(v[i].u) && std::isfinite(v[i].v));
        minX = std::fmin(minX, v[i].x);
        maxX = std::fmax(maxX, v[i].x);
    }
    EXPECT_NEAR(minX, 10, 1e-3f);
    EXPECT_NEAR(maxX, 110, 1e-3f);
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
    CLogCapture log;
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
    CLogCapture log;
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
    struct
    {
        const char* name;
        std::vector<CVector2> subject;
        const CVector2* clip;
        u32 expectedCount;
        float expectedArea;
    } cases[] = {
        {"inside", {{2, 2}, {8, 2}, {5, 8}}, square, 3, 18},
        {"outside", {{20, 2}, {28, 2}, {25, 8}}, square, 0, 0},
        {"corner cut", {{5, 5}, {15, 5}, {5, 15}}, square, 4, 25},
        {"corner cut, other winding", {{5, 5}, {15, 5}, {5, 15}}, squareCcw, 4, 25},
        {"vertex on an edge", {{0, 5}, {5, 2}, {5, 8}}, square, 3, 15},
        {"covering", {{-100, -100}, {100, -100}, {0, 100}}, square, 4, 100},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        CVector2 out[CClipPolygon::kMaxResultPoints];
        const u32 n = CClipPolygon::ClipConvex(c.subject.data(), static_cast<u32>(c.subject.size()), c.clip,
                                               4, out, CClipPolygon::kMaxResultPoints);
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
