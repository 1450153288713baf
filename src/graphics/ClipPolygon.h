#pragma once
// A convex clip region in back-buffer pixels and the convex polygon clipper that narrows it and
// cuts primitives against it.
#include "core/Types.h"
#include "core/Vector2.h"

namespace lv::graphics {

class CClipPolygon
{
public:
    static constexpr u32 kMaxPoints = 12;
    // A subject clipped by a convex polygon gains at most one point per clip edge.
    static constexpr u32 kMaxSubjectPoints = 4;
    static constexpr u32 kMaxResultPoints = kMaxSubjectPoints + kMaxPoints;

    CClipPolygon() = default;

    bool IsEmpty() const { return m_Last < 0; }
    u32 GetCount() const { return static_cast<u32>(m_Last + 1); }
    const CVector2& GetPoint(u32 i) const { return m_Points[i]; }
    const CVector2* GetPoints() const { return m_Points; }
    void Clear() { m_Last = -1; }

    // Stores the points. A convex polygon of more than kMaxPoints points is reduced by dropping
    // the points that add the least area, so the region only ever shrinks (logged).
    void Assign(const CVector2* points, u32 count);

    // Sutherland-Hodgman clip of `subject` (at most kMaxSubjectPoints points) by the convex
    // polygon `clip` (either winding); writes at most `capacity` points to `out` and returns
    // their number.
    static u32 ClipConvex(const CVector2* subject, u32 subjectCount, const CVector2* clip, u32 clipCount,
                          CVector2* out, u32 capacity);

private:
    CVector2 m_Points[kMaxPoints];
    s32 m_Last = -1;
};

} // namespace lv::graphics
