#include "graphics/RenderState.h"

#include <cmath>
#include <cstring>

#include "core/Log.h"

namespace lv::graphics {

namespace {

constexpr s32 kBlendNormal = 2;
// Chunks of unchanged input hold whole lines and whole triangles alike.
constexpr u32 kPassThroughChunk = 60;

void ShiftHalfPixel(CVertex* v, u32 count)
{
    for (u32 i = 0; i < count; ++i) {
        v[i].x -= 0.5f;
        v[i].y -= 0.5f;
    }
}

void EmitChunked(CVertex* v, u32 count, CVertexSink& sink, bool shift)
{
    if (shift)
        ShiftHalfPixel(v, count);
    for (u32 start = 0; start < count; start += kPassThroughChunk) {
        const u32 n = count - start < kPassThroughChunk ? count - start : kPassThroughChunk;
        sink.Emit(v + start, n);
    }
}

float Clamp01(float value)
{
    if (!(value > 0.0f))
        return 0.0f; // also maps NaN to 0
    return value > 1.0f ? 1.0f : value;
}

// u and v as affine functions of (x, y) through a triangle's three vertices.
struct CUvPlanes
{
    float au = 0, bu = 0, cu = 0, av = 0, bv = 0, cv = 0;

    explicit CUvPlanes(const CVertex* t)
    {
        const float dx1 = t[1].x - t[0].x, dy1 = t[1].y - t[0].y;
        const float dx2 = t[2].x - t[0].x, dy2 = t[2].y - t[0].y;
        const float det = dx1 * dy2 - dx2 * dy1;
        if (std::fabs(det) < 1e-12f) {
            // A degenerate triangle (a line) has no plane: keep its first coordinates.
            cu = t[0].u;
            cv = t[0].v;
            return;
        }
        const float du1 = t[1].u - t[0].u, du2 = t[2].u - t[0].u;
        const float dv1 = t[1].v - t[0].v, dv2 = t[2].v - t[0].v;
        au = (du1 * dy2 - du2 * dy1) / det;
        bu = (dx1 * du2 - dx2 * du1) / det;
        cu = t[0].u - au * t[0].x - bu * t[0].y;
        av = (dv1 * dy2 - dv2 * dy1) / det;
        bv = (dx1 * dv2 - dx2 * dv1) / det;
        cv = t[0].v - av * t[0].x - bv * t[0].y;
    }
};

// Collects the output of an in-place clip; what does not fit is dropped and logged.
class CArraySink final : public CVertexSink
{
public:
    CVertex m_Out[kMaxDrawVertices];
    u32 m_Count = 0;
    bool m_Overflow = false;

    void Emit(const CVertex* vertices, u32 count) override
    {
        const u32 room = kMaxDrawVertices - m_Count;
        if (count > room) {
            // Only whole primitives: a multiple of 6 is one of lines and of triangles alike.
            m_Overflow = true;
            count = room - room % 6;
        }
        std::memcpy(m_Out + m_Count, vertices, count * sizeof(CVertex));
        m_Count += count;
    }
};

} // namespace

CRenderState::CRenderState()
{
    m_ScreenTransform.SetIdentity();
    Reset();
}

void CRenderState::Reset()
{
    m_Clips.Clear();
    CMatrix3 identity;
    identity.SetIdentity();
    m_Transforms.Reset(identity);
    m_Colors.Reset(CColor());
    m_BlendModes.Reset(kBlendNormal);
    m_PixelShaders.Reset(nullptr);
}

void CRenderState::SetScreenTransform(const CVector2& scale, const CVector2& offset)
{
    CMatrix3 s;
    CMatrix3 t;
    CMatrix3::MakeScale(s, scale.X, scale.Y);
    CMatrix3::MakeTranslation(t, offset.X, offset.Y);
    s.Multiply(m_ScreenTransform, t);
}

void CRenderState::MultiplyTransform(const CMatrix3& m)
{
    CMatrix3 result;
    m.Multiply(result, m_Transforms.Top());
    m_Transforms.Top() = result;
}

void CRenderState::LogStackFault(const char* stack, bool push)
{
    if (push)
        core::CLog::Instance().Print("renderer", 2, "%s stack full (%d entries): push ignored", stack,
                                     kStackDepth);
    else
        core::CLog::Instance().Print("renderer", 2, "%s stack at its base: pop ignored", stack);
}

void CRenderState::PushTransform()
{
    if (!m_Transforms.Push())
        LogStackFault("transform", true);
}
void CRenderState::PopTransform()
{
    if (!m_Transforms.Pop(0))
        LogStackFault("transform", false);
}
void CRenderState::PushColor()
{
    if (!m_Colors.Push())
        LogStackFault("colour", true);
}
void CRenderState::PopColor()
{
    if (!m_Colors.Pop(0))
        LogStackFault("colour", false);
}
void CRenderState::PushBlendMode()
{
    if (!m_BlendModes.Push())
        LogStackFault("blend", true);
}
void CRenderState::PopBlendMode()
{
    if (!m_BlendModes.Pop(0))
        LogStackFault("blend", false);
}

void CRenderState::PushAll()
{
    PushTransform();
    PushColor();
    PushBlendMode();
    if (HasClip() && !m_Clips.Push())
        LogStackFault("clip", true);
    if (!m_PixelShaders.Push())
        LogStackFault("pixel shader", true);
}

void CRenderState::PopAll()
{
    PopTransform();
    PopColor();
    PopBlendMode();
    if (HasClip())
        m_Clips.Pop(-1);
    if (!m_PixelShaders.Pop(0))
        LogStackFault("pixel shader", false);
}

void CRenderState::IntersectClip(const CQuad& quad)
{
    CVector2 corners[4];
    for (u32 i = 0; i < 4; ++i) {
        corners[i] = quad.GetCorner(i);
        corners[i].Transform(m_Transforms.Top());
        corners[i].Transform(m_ScreenTransform);
    }
    if (!HasClip()) {
        CClipPolygon polygon;
        polygon.Assign(corners, 4);
        if (!m_Clips.PushValue(polygon))
            LogStackFault("clip", true);
        return;
    }
    CClipPolygon& current = m_Clips.Top();
    if (current.IsEmpty())
        return;
    if (current.GetCount() == 4) {
        bool same = true;
        for (u32 i = 0; i < 4 && same; ++i)
            same = std::fabs(current.GetPoint(i).X - corners[i].X) <= 0.5f &&
                   std::fabs(current.GetPoint(i).Y - corners[i].Y) <= 0.5f;
        if (same) {
            current.Assign(corners, 4);
            return;
        }
    }
    CVector2 result[CClipPolygon::kMaxResultPoints];
    const u32 n = CClipPolygon::ClipConvex(corners, 4, current.GetPoints(), current.GetCount(), result,
                                           CClipPolygon::kMaxResultPoints);
    if (n < 3)
        current.Clear();
    else
        current.Assign(result, n);
}

void CRenderState::TransformAndClip(CVertex* vertices, u32& count, bool skipClipping)
{
    if (count > kMaxDrawVertices)
        count = kMaxDrawVertices;
    CArraySink sink;
    TransformAndClip(vertices, count, skipClipping, sink);
    if (sink.m_Overflow)
        core::CLog::Instance().Print("renderer", 2, "clipped draw exceeds %u vertices: the rest is dropped",
                                     kMaxDrawVertices);
    std::memcpy(vertices, sink.m_Out, sink.m_Count * sizeof(CVertex));
    count = sink.m_Count;
}

void CRenderState::TransformAndClip(CVertex* vertices, u32 count, bool skipClipping, CVertexSink& sink)
{
    CMatrix3 m;
    m_Transforms.Top().Multiply(m, m_ScreenTransform);
    for (u32 i = 0; i < count; ++i) {
        CVector2 p(vertices[i].x, vertices[i].y);
        p.Transform(m);
        vertices[i].x = p.X;
        vertices[i].y = p.Y;
    }
    if (skipClipping)
        EmitChunked(vertices, count, sink, true);
    else
        ClipToSink(vertices, count, sink, true);
}

void CRenderState::ClipPolygon(CVertex* vertices, u32& count)
{
    if (count > kMaxDrawVertices)
        count = kMaxDrawVertices;
    CArraySink sink;
    ClipToSink(vertices, count, sink, false);
    if (sink.m_Overflow)
        core::CLog::Instance().Print("renderer", 2, "clipped draw exceeds %u vertices: the rest is dropped",
                                     kMaxDrawVertices);
    std::memcpy(vertices, sink.m_Out, sink.m_Count * sizeof(CVertex));
    count = sink.m_Count;
}

void CRenderState::ClipToSink(CVertex* v, u32 count, CVertexSink& sink, bool shift)
{
    if (!HasClip()) {
        EmitChunked(v, count, sink, shift);
        return;
    }
    const CClipPolygon& clip = m_Clips.Top();
    if (clip.GetCount() < 3)
        return;
    if (count < 2) {
        EmitChunked(v, count, sink, shift);
        return;
    }

    if (clip.GetCount() == 4) {
        const CVector2* p = clip.GetPoints();
        if (std::fabs(p[0].Y - p[1].Y) < 0.5f && std::fabs(p[2].Y - p[3].Y) < 0.5f &&
            std::fabs(p[0].X - p[3].X) < 0.5f && std::fabs(p[1].X - p[2].X) < 0.5f) {
            const float left = std::fmin(p[0].X, p[1].X), right = std::fmax(p[0].X, p[1].X);
            const float top = std::fmin(p[0].Y, p[2].Y), bottom = std::fmax(p[0].Y, p[2].Y);
            if (std::fabs(left - right) < 0.5f || std::fabs(top - bottom) < 0.5f)
                return;
            bool allInside = true, allLeft = true, allRight = true, allAbove = true, allBelow = true;
            for (u32 i = 0; i < count; ++i) {
                const float x = v[i].x, y = v[i].y;
                allInside = allInside && left <= x && x <= right && top <= y && y <= bottom;
                allLeft = allLeft && x <= left;
                allRight = allRight && x >= right;
                allAbove = allAbove && y <= top;
                allBelow = allBelow && y >= bottom;
            }
            if (allInside) {
                EmitChunked(v, count, sink, shift);
                return;
            }
            if (allLeft || allRight || allAbove || allBelow)
                return;
        }
    }

    // General path: every triangle is cut by the clip polygon and re-fanned.
    CVertex line[3];
    const CVertex* in = v;
    u32 triangles = count / 3;
    if (count == 2) {
        line[0] = v[0];
        line[1] = v[1];
        line[2] = v[1];
        in = line;
        triangles = 1;
    }
    const CVertex templ = in[0];
    CVertex out[kMaxDrawVertices - kMaxDrawVertices % 3];
    constexpr u32 kOutCapacity = kMaxDrawVertices - kMaxDrawVertices % 3;
    u32 n = 0;
    auto flush = [&] {
        if (n == 0)
            return;
        if (shift)
            ShiftHalfPixel(out, n);
        sink.Emit(out, n);
        n = 0;
    };
    for (u32 t = 0; t < triangles; ++t) {
        const CVertex* tri = in + 3 * t;
        const CVector2 subject[3] = {CVector2(tri[0].x, tri[0].y), CVector2(tri[1].x, tri[1].y),
                                     CVector2(tri[2].x, tri[2].y)};
        CVector2 r[CClipPolygon::kMaxResultPoints];
        const u32 m = CClipPolygon::ClipConvex(subject, 3, clip.GetPoints(), clip.GetCount(), r,
                                               CClipPolygon::kMaxResultPoints);
        const CUvPlanes planes(tri);
        auto make = [&](const CVector2& p) {
            CVertex o = templ;
            o.x = p.X;
            o.y = p.Y;
            o.u = Clamp01(planes.au * p.X + planes.bu * p.Y + planes.cu);
            o.v = Clamp01(planes.av * p.X + planes.bv * p.Y + planes.cv);
            return o;
        };
        if (count == 2) {
            // A line: its clipped polygon lies on the line, and a fan of it drawn as line pairs
            // would cover parts twice or three times. Its two outermost points are the clipped
            // line, in the line's own direction.
            if (m < 2)
                continue;
            const float dx = tri[1].x - tri[0].x, dy = tri[1].y - tri[0].y;
            u32 first = 0, last = 0;
            float lo = 0, hi = 0;
            for (u32 k = 0; k < m; ++k) {
                const float along = (r[k].X - tri[0].x) * dx + (r[k].Y - tri[0].y) * dy;
                if (k == 0 || along < lo) {
                    lo = along;
                    first = k;
                }
                if (k == 0 || along > hi) {
                    hi = along;
                    last = k;
                }
            }
            out[n++] = make(r[first]);
            out[n++] = make(r[last]);
            continue;
        }
        if (m < 3)
            continue;
        for (u32 k = 1; k + 1 < m; ++k) {
            if (n + 3 > kOutCapacity)
                flush();
            out[n++] = make(r[0]);
            out[n++] = make(r[k]);
            out[n++] = make(r[k + 1]);
        }
    }
    flush();
}

} // namespace lv::graphics
