#include "anim/BezierPath.h"
#include "core/Geometry.h"
#include "core/Matrix3.h"
#include "graphics/Renderer.h"
#include <algorithm>
#include <cmath>

namespace {

float Distance(const CVector2& a, const CVector2& b)
{
    return CVector2(a.X - b.X, a.Y - b.Y).Length();
}

bool InUnitSquare(const CVector2& uv)
{
    return uv.X >= 0 && uv.X <= 1 && uv.Y >= 0 && uv.Y <= 1;
}

} // namespace

CBezierPath::CBezierPath()
{
    m_Frame.Corners.Corners[0] = CVector2(0, 0);
    m_Frame.Corners.Corners[1] = CVector2(1, 0);
    m_Frame.Corners.Corners[2] = CVector2(1, 1);
    m_Frame.Corners.Corners[3] = CVector2(0, 1);
}

CBezierPath::CBezierPath(const CBezierPath& other)
    : m_Closed(other.m_Closed), m_Length(other.m_Length), m_Frame(other.m_Frame)
{
    for (const CPathPoint& point : other.m_Points)
        AddPoint(point);
}

CBezierPath& CBezierPath::operator=(const CBezierPath& other)
{
    if (this != &other) {
        m_Points.clear();
        m_Segments.clear();
        m_Closed = other.m_Closed;
        m_Length = other.m_Length;
        m_Frame = other.m_Frame;
        for (const CPathPoint& point : other.m_Points)
            AddPoint(point);
    }
    return *this;
}

CVector2 CBezierPath::FromUV(const CVector2& uv) const
{
    CVector2 out;
    m_Frame.FromUV(out, uv);
    return out;
}

void CBezierPath::Rebuild(CPathSegment& segment) const
{
    const CPathPoint& start = m_Points[segment.Start];
    const CPathPoint& end = m_Points[segment.End];
    const CVector2 a = FromUV(start.Position);
    const CVector2 b = FromUV(end.Position);
    const CVector2 c1 = FromUV(start.OutHandle);
    const CVector2 c2 = FromUV(end.InHandle);
    float length = 0;
    CVector2 previous = a;
    segment.Lengths[0] = 0;
    for (int j = 1; j <= CPathSegment::kSamples; ++j) {
        CVector2 p;
        BezierPoint(p, a, b, c1, c2, j / 16.0f);
        length += Distance(p, previous);
        // Not clamped to the frame: handles may lie outside it, and so may the curve.
        segment.Samples[j] = ToFrame(p);
        segment.Lengths[j] = length;
        // The next chord starts where the stored sample lands, as the lookups see it.
        previous = FromUV(segment.Samples[j]);
    }
    segment.Length = length + Distance(b, previous);
}

void CBezierPath::UpdateLength()
{
    m_Length = 0;
    for (const CPathSegment& segment : m_Segments)
        m_Length += segment.Length;
}

void CBezierPath::AddSegment(u32 start, u32 end)
{
    CPathSegment segment;
    segment.Start = start;
    segment.End = end;
    Rebuild(segment);
    m_Segments.push_back(segment);
}

void CBezierPath::AppendSegment()
{
    if (m_Closed && !m_Segments.empty())
        m_Segments.pop_back();
    const u32 last = static_cast<u32>(m_Points.size() - 1);
    AddSegment(last - 1, last);
    if (m_Closed)
        AddSegment(last, 0);
}

s32 CBezierPath::AddPoint(const CPathPoint& point)
{
    if (!InUnitSquare(point.Position))
        return 0;
    m_Points.push_back(point);
    if (m_Points.size() >= 2) {
        AppendSegment();
        UpdateLength();
    }
    return 0;
}

void CBezierPath::SetClosed(bool closed)
{
    if (m_Closed && !closed && !m_Segments.empty()) {
        m_Segments.pop_back();
        UpdateLength();
        FitFrame();
    } else if (!m_Closed && closed && m_Points.size() >= 2) {
        AddSegment(static_cast<u32>(m_Points.size() - 1), 0);
        UpdateLength();
        FitFrame();
    }
    m_Closed = closed;
}

CVector2 CBezierPath::PointAtFraction(float fraction) const
{
    float d = std::clamp(fraction, 0.0f, 1.0f) * m_Length;
    float passed = 0;
    for (const CPathSegment& segment : m_Segments) {
        if (d > passed + segment.Length) {
            passed += segment.Length;
            continue;
        }
        d -= passed;
        const CPathPoint& start = m_Points[segment.Start];
        const CPathPoint& end = m_Points[segment.End];
        for (int j = 0; j <= CPathSegment::kSamples; ++j) {
            const float next = j == CPathSegment::kSamples ? segment.Length : segment.Lengths[j + 1];
            if (d > next + 0.001f)
                continue;
            const float previous = j == 0 ? 0 : segment.Lengths[j];
            // A chord without length (coincident samples) is taken at its start.
            const float within = next > previous ? (d - previous) / (next - previous) : 0.0f;
            const float u = std::clamp((within + j) / 16.0f, 0.0f, 1.0f);
            CVector2 out;
            BezierPoint(out, FromUV(start.Position), FromUV(end.Position), FromUV(start.OutHandle),
                        FromUV(end.InHandle), u);
            return out;
        }
        break;
    }
    return CVector2(-1, -1);
}

float CBezierPath::NearestFraction(const CVector2& point, CVector2& offset) const
{
    if (m_Segments.empty())
        return 0;
    const CVector2 first = FromUV(m_Points[m_Segments.front().Start].Position);
    offset = CVector2(first.X - point.X, first.Y - point.Y);
    float best = offset.Length();
    float fraction = 0;
    float passed = 0;
    for (const CPathSegment& segment : m_Segments) {
        for (int j = 0; j <= CPathSegment::kSamples; ++j) {
            const CVector2 a = FromUV(j == 0 ? m_Points[segment.Start].Position : segment.Samples[j]);
            const CVector2 b =
                FromUV(j == CPathSegment::kSamples ? m_Points[segment.End].Position : segment.Samples[j + 1]);
            CVector2 q;
            ClosestPointOnSegment(q, a, b, point);
            const float d = Distance(q, point);
            if (d < best) {
                best = d;
                offset = CVector2(q.X - point.X, q.Y - point.Y);
                const float along = passed + (j == 0 ? 0 : segment.Lengths[j]) + Distance(q, a);
                fraction = m_Length > 0 ? along / m_Length : 0;
            }
        }
        passed += segment.Length;
    }
    return fraction;
}

const CPathSegment* CBezierPath::SegmentAtFraction(float fraction) const
{
    const float d = fraction * m_Length;
    float passed = 0;
    for (const CPathSegment& segment : m_Segments) {
        passed += segment.Length;
        if (passed >= d)
            return &segment;
    }
    return nullptr;
}

CFloatRect CBezierPath::GetBounds() const
{
    if (m_Points.empty())
        return CFloatRect();
    CVector2 low = FromUV(m_Points.front().Position);
    CVector2 high = low;
    auto take = [&](const CVector2& uv) {
        const CVector2 p = FromUV(uv);
        low = CVector2(std::min(low.X, p.X), std::min(low.Y, p.Y));
        high = CVector2(std::max(high.X, p.X), std::max(high.Y, p.Y));
    };
    for (const CPathSegment& segment : m_Segments) {
        take(m_Points[segment.Start].Position);
        take(m_Points[segment.End].Position);
        for (int j = 1; j <= CPathSegment::kSamples; ++j)
            take(segment.Samples[j]);
    }
    CFloatRect bounds;
    bounds.FromCorners(low, high);
    return bounds;
}

void CBezierPath::FitFrame()
{
    const CFloatRect r = GetBounds();
    const float w = r.Width;
    const float h = r.Height;
    if (std::fabs(w) < 0.001f || std::fabs(h) < 0.001f)
        return;
    auto rebase = [&](CVector2& uv) {
        const CVector2 p = FromUV(uv);
        uv = CVector2((p.X - r.X) / w, (p.Y - r.Y) / h);
    };
    for (CPathPoint& point : m_Points) {
        rebase(point.Position);
        rebase(point.OutHandle);
        rebase(point.InHandle);
    }
    const CVector2 c(r.X + w / 2, r.Y + h / 2);
    m_Frame.Position = c;
    m_Frame.Corners.Corners[0] = CVector2(r.X - c.X, r.Y - c.Y);
    m_Frame.Corners.Corners[1] = CVector2(r.X + w - c.X, r.Y - c.Y);
    m_Frame.Corners.Corners[2] = CVector2(r.X + w - c.X, r.Y + h - c.Y);
    m_Frame.Corners.Corners[3] = CVector2(r.X - c.X, r.Y + h - c.Y);
    m_Frame.Angle = 0;
    for (CPathSegment& segment : m_Segments)
        Rebuild(segment);
    UpdateLength();
}

void CBezierPath::Draw(lv::graphics::CRenderer& renderer, const CColor& color) const
{
    for (const CPathSegment& segment : m_Segments) {
        CVector2 previous = FromUV(m_Points[segment.Start].Position);
        for (int j = 1; j <= CPathSegment::kSamples + 1; ++j) {
            const CVector2 p =
                FromUV(j == CPathSegment::kSamples + 1 ? m_Points[segment.End].Position : segment.Samples[j]);
            renderer.DrawLine(previous, p, color);
            previous = p;
        }
    }
    for (const CPathPoint& point : m_Points) {
        const CVector2 p = FromUV(point.Position);
        CFloatRect square;
        square.X = p.X - 2;
        square.Y = p.Y - 2;
        square.Width = 4;
        square.Height = 4;
        renderer.DrawRectOutline(square, color);
    }
}

const CPathSegment* CBezierPath::NearestSegment(const CVector2& point, CVector2& offset) const
{
    return SegmentAtFraction(NearestFraction(point, offset));
}

const CPathPoint* CBezierPath::NearestPoint(const CVector2& point, CVector2& offset) const
{
    const CPathSegment* segment = NearestSegment(point, offset);
    if (!segment)
        return m_Points.empty() ? nullptr : &m_Points.front();
    const CPathPoint& start = m_Points[segment->Start];
    const CPathPoint& end = m_Points[segment->End];
    const CVector2 a = FromUV(start.Position);
    const CVector2 b = FromUV(end.Position);
    const bool takeStart = Distance(a, point) < Distance(b, point);
    const CVector2 nearest = takeStart ? a : b;
    offset = CVector2(point.X - nearest.X, point.Y - nearest.Y);
    return takeStart ? &start : &end;
}

CVector2 CBezierPath::ToFrame(const CVector2& point) const
{
    CMatrix3 back;
    CMatrix3::MakeRotation(back, -m_Frame.Angle);
    CVector2 local(point.X - m_Frame.Position.X, point.Y - m_Frame.Position.Y);
    local.Transform(back);
    const CVector2* c = m_Frame.Corners.Corners;
    const float width = c[1].X - c[0].X;
    const float height = c[2].Y - c[1].Y;
    return CVector2(width != 0 ? (local.X - c[0].X) / width : 0.0f, height != 0 ? (local.Y - c[1].Y) / height : 0.0f);
}

void CBezierPath::RebuildAfterEdit()
{
    m_Segments.clear();
    const u32 count = static_cast<u32>(m_Points.size());
    for (u32 i = 1; i < count; ++i)
        AddSegment(i - 1, i);
    if (m_Closed && count >= 2)
        AddSegment(count - 1, 0);
    UpdateLength();
    FitFrame();
}

CPathPoint* CBezierPath::AddPointAt(const CVector2& position, const CVector2& outHandle, const CVector2& inHandle)
{
    // Unclamped, so that an editor can draw the curve beyond the frame it has so far.
    CPathPoint point;
    point.Position = ToFrame(position);
    point.OutHandle = ToFrame(outHandle);
    point.InHandle = ToFrame(inHandle);
    m_Points.push_back(point);
    if (m_Points.size() >= 2) {
        AppendSegment();
        UpdateLength();
        FitFrame();
    }
    return &m_Points.back();
}

CPathPoint* CBezierPath::InsertPoint(float fraction)
{
    if (m_Points.empty())
        return nullptr;
    const CVector2 p = PointAtFraction(fraction);
    const float d = fraction * m_Length;
    float passed = 0;
    for (const CPathSegment& segment : m_Segments) {
        if (d > passed + segment.Length) {
            passed += segment.Length;
            continue;
        }
        const float k = segment.Length > 0 ? (d - passed) / segment.Length : 0.0f;
        const u32 startIndex = segment.Start;
        const u32 endIndex = segment.End;
        CPathPoint& start = m_Points[startIndex];
        CPathPoint& end = m_Points[endIndex];
        const CVector2 ps = FromUV(start.Position);
        const CVector2 hs = FromUV(start.OutHandle);
        const CVector2 pe = FromUV(end.Position);
        const CVector2 he = FromUV(end.InHandle);
        start.OutHandle = ToFrame(CVector2(ps.X + k * (hs.X - ps.X), ps.Y + k * (hs.Y - ps.Y)));
        end.InHandle = ToFrame(CVector2(pe.X + (1 - k) * (he.X - pe.X), pe.Y + (1 - k) * (he.Y - pe.Y)));
        CPathPoint point;
        point.Position = point.OutHandle = point.InHandle = ToFrame(p);
        // The closing segment ends at the first point: the new one goes after the last.
        const size_t at = endIndex == 0 ? m_Points.size() : endIndex;
        m_Points.insert(m_Points.begin() + static_cast<std::ptrdiff_t>(at), point);
        RebuildAfterEdit();
        return &m_Points[at];
    }
    return &m_Points.front();
}

bool CBezierPath::RemovePoint(const CPathPoint* point)
{
    const s32 index = IndexOfPoint(point);
    if (index < 0)
        return false;
    m_Points.erase(m_Points.begin() + index);
    RebuildAfterEdit();
    return true;
}

void CBezierPath::RemoveAllPoints()
{
    while (!m_Points.empty())
        RemovePoint(&m_Points.back());
}

bool CBezierPath::ReplacePoint(const CPathPoint* point, const CPathPoint& replacement)
{
    const s32 index = IndexOfPoint(point);
    if (index < 0)
        return false;
    m_Points[index] = replacement;
    RebuildAfterEdit();
    return true;
}

s32 CBezierPath::IndexOfPoint(const CPathPoint* point) const
{
    for (size_t i = 0; i < m_Points.size(); ++i)
        if (&m_Points[i] == point)
            return static_cast<s32>(i);
    return -1;
}

s32 CBezierPath::IndexOfSegment(const CPathSegment* segment) const
{
    for (size_t i = 0; i < m_Segments.size(); ++i)
        if (&m_Segments[i] == segment)
            return static_cast<s32>(i);
    return -1;
}

const CPathPoint* CBezierPath::GetPoint(s32 index) const
{
    return index >= 0 && static_cast<size_t>(index) < m_Points.size() ? &m_Points[index] : nullptr;
}

const CPathSegment* CBezierPath::GetSegment(s32 index) const
{
    return index >= 0 && static_cast<size_t>(index) < m_Segments.size() ? &m_Segments[index] : nullptr;
}
