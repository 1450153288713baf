#pragma once
// Float 2-D vector: a position, offset, size or texture coordinate. Screen-style axes
// (y grows downwards).
#include "core/Matrix3.h"
#include "core/Point2i.h"

#include <cmath>

class CVector2
{
public:
    float X = 0;
    float Y = 0;

    CVector2() = default;
    CVector2(float x, float y) : X(x), Y(y) {}

    void Assign(const CVector2& o) { *this = o; }
    CVector2& FromPoint2i(const CPoint2i& p)
    {
        X = static_cast<float>(p.X);
        Y = static_cast<float>(p.Y);
        return *this;
    }

    CVector2 operator+(const CVector2& o) const { return CVector2(X + o.X, Y + o.Y); }
    void Subtract(CVector2& out, const CVector2& o) const { out = CVector2(X - o.X, Y - o.Y); }
    CVector2& operator+=(const CVector2& o)
    {
        X += o.X;
        Y += o.Y;
        return *this;
    }
    CVector2& operator-=(const CVector2& o)
    {
        X -= o.X;
        Y -= o.Y;
        return *this;
    }
    CVector2 operator*(float s) const { return CVector2(X * s, Y * s); }
    static void Scaled(CVector2& out, float s, const CVector2& v) { out = v * s; }
    // No zero test.
    void DividedBy(CVector2& out, float s) const { out = CVector2(X / s, Y / s); }
    bool operator==(const CVector2& o) const = default;

    float Length() const { return std::sqrt(X * X + Y * Y); }

    // x' = x*m00 + y*m10 + m20, y' = x*m01 + y*m11 + m21 (no projective divide).
    void Transformed(CVector2& out, const CMatrix3& m) const
    {
        out = CVector2(X * m.M00 + Y * m.M10 + m.M20, X * m.M01 + Y * m.M11 + m.M21);
    }
    void Transform(const CMatrix3& m) { Transformed(*this, m); }
};
