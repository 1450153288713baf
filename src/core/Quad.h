#pragma once
// Arbitrary four-point polygon. Built from a rectangle the corners are top-left, top-right,
// bottom-right, bottom-left (clockwise on screen).
#include "core/FloatRect.h"
#include "core/Matrix3.h"
#include "core/Vector2.h"

class CQuad
{
public:
    CVector2 Corners[4];

    CQuad() = default;
    CQuad(float x, float y, float w, float h)
    {
        Corners[0] = CVector2(x, y);
        Corners[1] = CVector2(x + w, y);
        Corners[2] = CVector2(x + w, y + h);
        Corners[3] = CVector2(x, y + h);
    }

    CQuad& FromRect(const CFloatRect& r) { return *this = CQuad(r.X, r.Y, r.Width, r.Height); }
    CVector2& GetCorner(int i) { return Corners[i]; }
    const CVector2& GetCorner(int i) const { return Corners[i]; }
    void Assign(const CQuad& o) { *this = o; }

    void Translate(const CVector2& offset)
    {
        for (CVector2& c : Corners)
            c += offset;
    }
    void Translated(CQuad& out, const CVector2& offset) const
    {
        out = *this;
        out.Translate(offset);
    }
    void Transform(const CMatrix3& m)
    {
        for (CVector2& c : Corners)
            c.Transform(m);
    }
    void Transformed(CQuad& out, const CMatrix3& m) const
    {
        out = *this;
        out.Transform(m);
    }

    // Inside a convex quad of either winding. Each edge's cross product with the point,
    // multiplied by the reference product of edge c2->c3, must reach 0.001: points on an edge or
    // within a hair of it are outside.
    bool ContainsPoint(float x, float y) const
    {
        const auto cross = [x, y](const CVector2& s, const CVector2& e) {
            return (x - s.X) * (e.Y - s.Y) - (y - s.Y) * (e.X - s.X);
        };
        const float reference = cross(Corners[2], Corners[3]);
        const int edges[3][2] = {{3, 0}, {0, 1}, {1, 2}};
        for (const auto& edge : edges)
        {
            if (reference * cross(Corners[edge[0]], Corners[edge[1]]) < 0.001f)
                return false;
        }
        return true;
    }
};
