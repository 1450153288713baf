#include "qe/AreaPolygon.h"

#include "core/Geometry.h"

#include <algorithm>

namespace qe {

s32 CAreaPolygon::GetPointCount() const
{
    if (!m_Payload)
        return 0;
    const u8* p = m_Payload + 20;
    const s32 count = static_cast<s32>(static_cast<u32>(p[0]) | (static_cast<u32>(p[1]) << 8) |
                                       (static_cast<u32>(p[2]) << 16) | (static_cast<u32>(p[3]) << 24));
    return count > 0 ? count : 0;
}

const CVector2* CAreaPolygon::GetPoints() const
{
    // Pairs of little-endian floats, 4-aligned in the image: read in place.
    return m_Payload ? reinterpret_cast<const CVector2*>(m_Payload + kPayloadHeaderSize) : nullptr;
}

bool CAreaPolygon::Contains(const CVector2& point) const
{
    const s32 count = GetPointCount();
    if (count < 3)
        return false;
    const CVector2* points = GetPoints();
    const CVector2 p(static_cast<float>(static_cast<s32>(point.X)), static_cast<float>(static_cast<s32>(point.Y)));
    const CVector2 from(p.X - 10000.0f, p.Y);
    const CVector2 to(p.X + 10000.0f, p.Y);
    s32 left = 0;
    s32 right = 0;
    CVector2 prev = points[count - 1];
    for (s32 i = 0; i < count; ++i)
    {
        const CVector2 cur = points[i];
        const CVector2 next = points[(i + 1) % count];
        if (cur.Y == p.Y && next.Y == p.Y)
        {
            prev = cur;
            continue;
        }
        CVector2 x(0, 0);
        const bool crosses = SegmentIntersection(from, to, cur, next, x);
        bool counts = crosses && x.Y != next.Y && x.Y != cur.Y;
        // Through a vertex: counts once, only when its neighbours lie on opposite sides.
        if (!counts && x.Y == cur.Y)
            counts = (next.Y - x.Y) * (prev.Y - x.Y) < 0;
        if (counts)
        {
            if (x.X == p.X)
                return true;
            if (x.X < p.X)
                ++left;
            else
                ++right;
        }
        prev = cur;
    }
    return (left & 1) && (right & 1);
}

CVector2 CAreaPolygon::GetCentre() const
{
    const s32 count = GetPointCount();
    if (!count)
        return {};
    const CVector2* points = GetPoints();
    double x = 0, y = 0;
    for (s32 i = 0; i < count; ++i)
    {
        x += points[i].X;
        y += points[i].Y;
    }
    return CVector2(static_cast<float>(x / count), static_cast<float>(y / count));
}

CVector2 CAreaPolygon::GetExtent() const
{
    const s32 count = GetPointCount();
    if (!count)
        return {};
    const CVector2* points = GetPoints();
    float minX = points[0].X, maxX = minX, minY = points[0].Y, maxY = minY;
    for (s32 i = 1; i < count; ++i)
    {
        minX = std::min(minX, points[i].X);
        maxX = std::max(maxX, points[i].X);
        minY = std::min(minY, points[i].Y);
        maxY = std::max(maxY, points[i].Y);
    }
    return CVector2(maxX - minX, maxY - minY);
}

} // namespace qe
