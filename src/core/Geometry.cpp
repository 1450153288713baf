#include "core/Geometry.h"

#include <cmath>

namespace {

CVector2 Minus(const CVector2& a, const CVector2& b)
{
    CVector2 d;
    a.Subtract(d, b);
    return d;
}

float LengthSquared(const CVector2& v)
{
    return v.X * v.X + v.Y * v.Y;
}

} // namespace

float ClampFloat(float value, float a, float b)
{
    if (a > b)
        std::swap(a, b);
    if (a > value)
        return a;
    if (value > b)
        return b;
    return value;
}

u32 ClampUnsigned(u32 value, u32 a, u32 b)
{
    if (a > b)
        std::swap(a, b);
    if (a > value)
        return a;
    if (value > b)
        return b;
    return value;
}

void ClosestPointOnLine(CVector2& out, const CVector2& p0, const CVector2& p1, const CVector2& a)
{
    if (std::fabs(p1.X - p0.X) < kGeometryEpsilon)
    {
        out = CVector2(p0.X, a.Y);
        return;
    }
    if (std::fabs(p1.Y - p0.Y) < kGeometryEpsilon)
    {
        out = CVector2(a.X, p0.Y);
        return;
    }
    const float k = (p1.Y - p0.Y) / (p1.X - p0.X);
    const float b = p0.Y - p0.X * k;
    const float x = ((a.X / k + a.Y) - b) / (k + 1 / k);
    out = CVector2(x, b + k * x);
}

void ClosestPointOnSegment(CVector2& out, const CVector2& p0, const CVector2& p1, const CVector2& a)
{
    CVector2 foot;
    ClosestPointOnLine(foot, p0, p1, a);
    const float length = Minus(p1, p0).Length();
    const float d0 = Minus(p0, foot).Length();
    const float d1 = Minus(p1, foot).Length();
    if (d0 < length && d1 < length)
        out = foot;
    else
        out = d0 < d1 ? p0 : p1;
}

bool LineIntersection(const CVector2& p0, const CVector2& p1, const CVector2& p2, const CVector2& p3,
                      CVector2& out)
{
    const float d = (p3.Y - p2.Y) * (p1.X - p0.X) - (p3.X - p2.X) * (p1.Y - p0.Y);
    if (std::fabs(d) < kGeometryEpsilon)
        return false;
    const float u = ((p3.X - p2.X) * (p0.Y - p2.Y) - (p3.Y - p2.Y) * (p0.X - p2.X)) / d;
    out = p0 + Minus(p1, p0) * u;
    return true;
}

bool IsWithinSegment(const CVector2& q, const CVector2& a, const CVector2& b)
{
    const float lengthSquared = LengthSquared(Minus(b, a));
    return LengthSquared(Minus(a, q)) < lengthSquared && LengthSquared(Minus(b, q)) < lengthSquared;
}

bool SegmentIntersection(const CVector2& p0, const CVector2& p1, const CVector2& p2, const CVector2& p3,
                         CVector2& out)
{
    return LineIntersection(p0, p1, p2, p3, out) && IsWithinSegment(out, p0, p1) && IsWithinSegment(out, p2, p3);
}

void BezierPoint(CVector2& out, const CVector2& p0, const CVector2& p1, const CVector2& c1, const CVector2& c2,
                 float t)
{
    const float s = 1 - t;
    out = p0 * (s * s * s);
    out += c1 * (3 * t * s * s);
    out += c2 * (3 * t * t * s);
    out += p1 * (t * t * t);
}

void MapUVToQuad(CVector2& out, const CQuad& quad, const CVector2& uv)
{
    const CVector2* c = quad.Corners;
    const CVector2 top = c[0] + Minus(c[1], c[0]) * uv.X;
    const CVector2 bottom = c[3] + Minus(c[2], c[3]) * uv.X;
    const CVector2 left = c[0] + Minus(c[3], c[0]) * uv.Y;
    const CVector2 right = c[1] + Minus(c[2], c[1]) * uv.Y;
    if (!LineIntersection(top, bottom, left, right, out))
        out = top;
}

void QuadPointToUV(CVector2& out, const CQuad& quad, const CVector2& p)
{
    // The corners are offsets in the point's own frame, so the point is measured from the first
    // corner as it stands. Taking the diagonals' crossing off first only agrees for quads centred
    // on the origin: an object whose position is not its centre (a text anchored at its top-left
    // corner, a path frame as loaded) would map every point to the wrong place.
    const CVector2* c = quad.Corners;
    const float width = c[1].X - c[0].X;
    const float height = c[2].Y - c[1].Y;
    const float u = width != 0 ? (p.X - c[0].X) / width : 0.0f;
    const float v = height != 0 ? (p.Y - c[1].Y) / height : 0.0f;
    out = CVector2(ClampFloat(u, 0, 1), ClampFloat(v, 0, 1));
}

void AngleBetween(std::pair<bool, float>& out, const CVector2& a, const CVector2& b, const CVector2& c)
{
    out = {false, 0.0f};
    const CVector2 ab = Minus(b, a);
    const CVector2 ac = Minus(c, a);
    const CVector2 bc = Minus(c, b);
    const float lab = ab.Length();
    const float lac = ac.Length();
    if (lab < kGeometryEpsilon || lac < kGeometryEpsilon)
        return;
    const float lbc = bc.Length();
    float angle = std::acos(ClampFloat((lab * lab + lac * lac - lbc * lbc) / (2 * lab * lac), -1, 1));
    CMatrix3 minus, plus;
    CMatrix3::MakeRotation(minus, -angle);
    CMatrix3::MakeRotation(plus, angle);
    CVector2 turnedBack, turned;
    ab.Transformed(turnedBack, minus);
    ab.Transformed(turned, plus);
    if (Minus(turnedBack, ac).Length() > Minus(turned, ac).Length())
        angle = -angle;
    out = {true, angle};
}
