#pragma once
// Free geometric helpers over the value types. Every tolerance is 0.001.
#include "core/Quad.h"
#include "core/Types.h"
#include "core/Vector2.h"

#include <utility>

inline constexpr float kGeometryEpsilon = 0.001f;

// The bounds may come in either order.
float ClampFloat(float value, float a, float b);
u32 ClampUnsigned(u32 value, u32 a, u32 b);

// Foot of the perpendicular from a onto the infinite line p0-p1.
void ClosestPointOnLine(CVector2& out, const CVector2& p0, const CVector2& p1, const CVector2& a);
// The foot when it lies on the segment, else the nearer end point.
void ClosestPointOnSegment(CVector2& out, const CVector2& p0, const CVector2& p1, const CVector2& a);
// Intersection of the infinite lines p0p1 and p2p3; false (out unchanged) when parallel.
bool LineIntersection(const CVector2& p0, const CVector2& p1, const CVector2& p2, const CVector2& p3,
                      CVector2& out);
// For a point on the line ab: strictly between a and b.
bool IsWithinSegment(const CVector2& q, const CVector2& a, const CVector2& b);
// True when the lines meet strictly inside both segments; out holds the line intersection
// whenever the lines are not parallel.
bool SegmentIntersection(const CVector2& p0, const CVector2& p1, const CVector2& p2, const CVector2& p3,
                         CVector2& out);
// Cubic Bezier point from p0 to p1 with control points c1 and c2.
void BezierPoint(CVector2& out, const CVector2& p0, const CVector2& p1, const CVector2& c1, const CVector2& c2,
                 float t);
// (u, v) in 0..1 mapped into the quad.
void MapUVToQuad(CVector2& out, const CQuad& quad, const CVector2& uv);
// The inverse for axis-aligned quads (corners as offsets in the point's frame), clamped to 0..1.
void QuadPointToUV(CVector2& out, const CQuad& quad, const CVector2& p);
// The signed angle at a between b and c: out = (ok, angle); ok is false when a point
// coincides with a.
void AngleBetween(std::pair<bool, float>& out, const CVector2& a, const CVector2& b, const CVector2& c);
