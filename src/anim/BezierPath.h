#pragma once
// A chain of cubic Bezier segments through control points, open or closed, stored relative to a
// frame (a bounding quad) so that moving, turning or resizing the frame moves the curve. Each
// segment keeps samples and arc lengths, measured when the shape changes: they turn a fraction
// of the length into a point and a point into the nearest fraction.
#include "anim/BoundingQuad.h"
#include "anim/PathPoint.h"
#include "anim/PathSegment.h"
#include "core/Color.h"
#include "core/FloatRect.h"
#include "core/Types.h"
#include <vector>

namespace lv::graphics {
class CRenderer;
}

class CBezierPath
{
public:
    CBezierPath();
    // Takes the closed flag, length and frame, then adds the points again so the segments are
    // measured in the copied frame.
    CBezierPath(const CBezierPath& other);
    CBezierPath& operator=(const CBezierPath& other);

    // Appends a point whose position lies in the unit square; others are ignored.
    s32 AddPoint(const CPathPoint& point);
    bool IsClosed() const { return m_Closed; }
    void SetClosed(bool closed);
    float GetLength() const { return m_Length; }
    // The point at that fraction of the length (clamped to 0..1); (-1, -1) without segments.
    CVector2 PointAtFraction(float fraction) const;
    // The fraction at which the path comes nearest to `point`, with the vector from the point
    // to there in `offset`; 0 (offset untouched) without segments.
    float NearestFraction(const CVector2& point, CVector2& offset) const;
    const CPathSegment* SegmentAtFraction(float fraction) const;
    // The segment nearest to `point` (null without segments), `offset` as NearestFraction's.
    const CPathSegment* NearestSegment(const CVector2& point, CVector2& offset) const;
    // Of the nearest segment's two ends the one nearer to `point` (the end on a tie), with
    // `offset` = point - that end; without segments the first point (or null).
    const CPathPoint* NearestPoint(const CVector2& point, CVector2& offset) const;
    CFloatRect GetBounds() const;
    // Re-bases the points on the curve's bounding rectangle, which becomes the frame.
    void FitFrame();
    const CBoundingQuad& GetFrame() const { return m_Frame; }
    void SetFrame(const CBoundingQuad& frame) { m_Frame = frame; }
    // Debug drawing: the curve as lines, every control point as a small square.
    void Draw(lv::graphics::CRenderer& renderer, const CColor& color) const;

    // Editing. Appends a point given in clip space (anywhere: the frame is refitted to the
    // curve once there is a segment); returns it.
    CPathPoint* AddPointAt(const CVector2& position, const CVector2& outHandle, const CVector2& inHandle);
    // Splits the segment that holds the fraction with a new point there; returns it (the first
    // point when no segment holds the fraction, null without points).
    CPathPoint* InsertPoint(float fraction);
    // Removes the point and its segments, joining its neighbours; false when it is not on the path.
    bool RemovePoint(const CPathPoint* point);
    void RemoveAllPoints();
    // Gives the point the handles and position of `replacement` (frame coordinates).
    bool ReplacePoint(const CPathPoint* point, const CPathPoint& replacement);

    u32 GetPointCount() const { return static_cast<u32>(m_Points.size()); }
    const CPathPoint* GetPoint(s32 index) const;
    u32 GetSegmentCount() const { return static_cast<u32>(m_Segments.size()); }
    const CPathSegment* GetSegment(s32 index) const;
    // -1 when not on this path.
    s32 IndexOfPoint(const CPathPoint* point) const;
    s32 IndexOfSegment(const CPathSegment* segment) const;

private:
    CVector2 FromUV(const CVector2& uv) const;
    void Rebuild(CPathSegment& segment) const;
    void AppendSegment();
    void AddSegment(u32 start, u32 end);
    void UpdateLength();
    // The segments again from the point list (each point to the next, closing when closed),
    // the length and the frame refitted: what every edit ends with.
    void RebuildAfterEdit();
    // A clip-space point in frame coordinates, not clamped to the frame.
    CVector2 ToFrame(const CVector2& point) const;

    std::vector<CPathPoint> m_Points;
    std::vector<CPathSegment> m_Segments;
    bool m_Closed = true;
    float m_Length = 0;
    CBoundingQuad m_Frame;
};
