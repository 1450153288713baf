#include "graphics/ClipPolygon.h"

#include <cmath>

#include "core/Log.h"

namespace lv::graphics {

namespace {

constexpr float kEdgeTolerance = 0.1f;
// Working buffers of the clipper: a subject gains at most one point per edge.
constexpr u32 kWorkPoints = CClipPolygon::kMaxResultPoints;

struct CEdge
{
    float a, b, c;
    float Eval(const CVector2& p) const { return a * p.X + b * p.Y + c; }
};

CEdge MakeEdge(const CVector2& p, const CVector2& q)
{
    CEdge e;
    e.a = q.Y - p.Y;
    e.b = p.X - q.X;
    e.c = -e.a * p.X - e.b * p.Y;
    return e;
}

CVector2 Intersect(const CEdge& e, const CVector2& p, const CVector2& s)
{
    // In double: the products of Cramer's rule cancel badly in float for long subject edges and
    // would move corners of the result by pixels.
    const double a1 = e.a, b1 = e.b, c1 = e.c;
    const double a2 = static_cast<double>(s.Y) - p.Y;
    const double b2 = static_cast<double>(p.X) - s.X;
    const double c2 = -a2 * p.X - b2 * p.Y;
    const double det = a1 * b2 - a2 * b1;
    if (det == 0.0)
        return s;
    return CVector2(static_cast<float>((b1 * c2 - b2 * c1) / det), static_cast<float>((a2 * c1 - a1 * c2) / det));
}

u32 ClipByEdge(const CEdge& edge, const CVector2* in, u32 n, CVector2* out, u32 capacity)
{
    if (n < 2)
        return 0;
    u32 m = 0;
    auto emit = [&](const CVector2& v) {
        if (m < capacity)
            out[m++] = v;
    };
    CVector2 p = in[n - 1];
    float ep = edge.Eval(p);
    for (u32 i = 0; i < n; ++i) {
        const CVector2& s = in[i];
        const float es = edge.Eval(s);
        const bool sOn = std::fabs(es) < kEdgeTolerance;
        const bool pOn = std::fabs(ep) < kEdgeTolerance;
        const bool sIn = es > -kEdgeTolerance;
        const bool pIn = ep > -kEdgeTolerance;
        if (sOn) {
            emit(s);
        } else if (!pOn || sIn) {
            if (sIn && pIn) {
                emit(s);
            } else if (!sIn && pIn) {
                emit(Intersect(edge, p, s));
            } else if (sIn && !pIn) {
                emit(Intersect(edge, p, s));
                emit(s);
            }
        }
        p = s;
        ep = es;
    }
    return m;
}

float Cross(const CVector2& o, const CVector2& a, const CVector2& b)
{
    return (a.X - o.X) * (b.Y - o.Y) - (b.X - o.X) * (a.Y - o.Y);
}

} // namespace

void CClipPolygon::Assign(const CVector2* points, u32 count)
{
    if (count <= kMaxPoints) {
        for (u32 i = 0; i < count; ++i)
            m_Points[i] = points[i];
        m_Last = static_cast<s32>(count) - 1;
        return;
    }
    // Nested rotated clips can narrow a region into more corners than a polygon holds.
    CVector2 work[kWorkPoints];
    u32 n = count < kWorkPoints ? count : kWorkPoints;
    for (u32 i = 0; i < n; ++i)
        work[i] = points[i];
    core::CLog::Instance().Print("renderer", 2, "clip polygon of %u points reduced to %u", count, kMaxPoints);
    while (n > kMaxPoints) {
        u32 best = 0;
        float bestArea = 0.0f;
        for (u32 i = 0; i < n; ++i) {
            const float area = std::fabs(Cross(work[(i + n - 1) % n], work[i], work[(i + 1) % n]));
            if (i == 0 || area < bestArea) {
                best = i;
                bestArea = area;
            }
        }
        for (u32 i = best; i + 1 < n; ++i)
            work[i] = work[i + 1];
        --n;
    }
    for (u32 i = 0; i < n; ++i)
        m_Points[i] = work[i];
    m_Last = static_cast<s32>(n) - 1;
}

u32 CClipPolygon::ClipConvex(const CVector2* subject, u32 subjectCount, const CVector2* clip, u32 clipCount,
                             CVector2* out, u32 capacity)
{
    if (clipCount > kMaxPoints)
        clipCount = kMaxPoints;
    if (subjectCount > kMaxSubjectPoints)
        subjectCount = kMaxSubjectPoints;
    if (clipCount < 3 || subjectCount == 0)
        return 0;

    CVector2 bufA[kWorkPoints];
    CVector2 bufB[kWorkPoints];
    for (u32 i = 0; i < subjectCount; ++i)
        bufA[i] = subject[i];
    CVector2* cur = bufA;
    CVector2* next = bufB;
    u32 n = subjectCount;

    // The winding comes from the signed area of the whole polygon: the first three points of a
    // narrowed clip can lie almost in a line, and their turn then says nothing reliable.
    double twiceArea = 0;
    for (u32 i = 0; i < clipCount; ++i) {
        const CVector2& a = clip[i];
        const CVector2& b = clip[(i + 1) % clipCount];
        twiceArea += static_cast<double>(a.X) * b.Y - static_cast<double>(b.X) * a.Y;
    }
    const bool backwards = twiceArea > 0;
    for (u32 i = 0; i < clipCount; ++i) {
        CEdge edge;
        if (backwards) {
            // k0 -> k(n-1), k(n-1) -> k(n-2), ..., k1 -> k0
            const u32 from = (clipCount - i) % clipCount;
            edge = MakeEdge(clip[from], clip[clipCount - 1 - i]);
        } else {
            // k(n-1) -> k0, k0 -> k1, ..., k(n-2) -> k(n-1)
            edge = MakeEdge(clip[(i + clipCount - 1) % clipCount], clip[i]);
        }
        n = ClipByEdge(edge, cur, n, next, kWorkPoints);
        CVector2* t = cur;
        cur = next;
        next = t;
    }
    if (n > capacity)
        n = capacity;
    for (u32 i = 0; i < n; ++i)
        out[i] = cur[i];
    return n;
}

} // namespace lv::graphics
