#pragma once
// Integer point or size: mouse positions, cell coordinates, pixel sizes.
#include "core/Types.h"

class CPoint2i
{
public:
    s32 X = 0;
    s32 Y = 0;

    CPoint2i() = default;
    CPoint2i(s32 x, s32 y) : X(x), Y(y) {}

    // From a CVector2 (any type with float X and Y), each coordinate truncated toward zero.
    template <typename TVector>
    CPoint2i& FromVector2(const TVector& v)
    {
        X = static_cast<s32>(v.X);
        Y = static_cast<s32>(v.Y);
        return *this;
    }

    CPoint2i operator+(const CPoint2i& o) const { return CPoint2i(X + o.X, Y + o.Y); }
    void Subtract(CPoint2i& out, const CPoint2i& o) const { out = CPoint2i(X - o.X, Y - o.Y); }
    CPoint2i& operator+=(const CPoint2i& o)
    {
        X += o.X;
        Y += o.Y;
        return *this;
    }
    CPoint2i& operator-=(const CPoint2i& o)
    {
        X -= o.X;
        Y -= o.Y;
        return *this;
    }
    bool operator==(const CPoint2i& o) const = default;
    // Integer division of both coordinates, truncating toward zero (no zero test).
    void DividedBy(CPoint2i& out, s32 n) const { out = CPoint2i(X / n, Y / n); }
};
