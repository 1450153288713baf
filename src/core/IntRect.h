#pragma once
// Integer rectangle: top-left corner plus extent. Every float input is truncated toward zero.
#include "core/FloatRect.h"
#include "core/Types.h"
#include "core/Vector2.h"

#include <algorithm>
#include <utility>

class CIntRect
{
public:
    s32 X = 0;
    s32 Y = 0;
    s32 Width = 0;
    s32 Height = 0;

    CIntRect() = default;
    CIntRect(s32 x, s32 y, s32 width, s32 height) : X(x), Y(y), Width(width), Height(height) {}
    explicit CIntRect(const CFloatRect& r)
        : X(static_cast<s32>(r.X)), Y(static_cast<s32>(r.Y)), Width(static_cast<s32>(r.Width)),
          Height(static_cast<s32>(r.Height))
    {
    }

    CIntRect& FromFloats(float x, float y, float width, float height)
    {
        return *this = CIntRect(CFloatRect(x, y, width, height));
    }
    CIntRect& FromFloats(float x, float y, float width, s32 height)
    {
        *this = CIntRect(static_cast<s32>(x), static_cast<s32>(y), static_cast<s32>(width), height);
        return *this;
    }
    CIntRect& FromFloatPosition(float x, float y, s32 width, s32 height)
    {
        *this = CIntRect(static_cast<s32>(x), static_cast<s32>(y), width, height);
        return *this;
    }
    CIntRect& SetXYWH(float x, float y, s32 width, s32 height) { return FromFloatPosition(x, y, width, height); }

    // The box spanned by two points in any order; the extent is the float difference,
    // truncated afterwards.
    CIntRect& FromPoints(const CVector2& p, const CVector2& q)
    {
        float x0 = p.X, x1 = q.X, y0 = p.Y, y1 = q.Y;
        if (x1 < x0)
            std::swap(x0, x1);
        if (y1 < y0)
            std::swap(y0, y1);
        return FromFloats(x0, y0, x1 - x0, y1 - y0);
    }

    // Rectangles that only touch give an empty (0-wide or 0-high) overlap at the touching
    // edge; disjoint ones give the all-zero rectangle.
    void Intersect(CIntRect& out, const CIntRect& o) const
    {
        const s64 left = std::max(X, o.X), top = std::max(Y, o.Y);
        const s64 right = std::min(s64(X) + Width, s64(o.X) + o.Width);
        const s64 bottom = std::min(s64(Y) + Height, s64(o.Y) + o.Height);
        if (right - left < 0 || bottom - top < 0)
            out = CIntRect();
        else
            out = CIntRect(static_cast<s32>(left), static_cast<s32>(top), static_cast<s32>(right - left),
                           static_cast<s32>(bottom - top));
    }

    // Right and bottom edges excluded.
    bool Contains(s32 px, s32 py) const
    {
        return X <= px && s64(px) < s64(X) + Width && Y <= py && s64(py) < s64(Y) + Height;
    }
    bool operator==(const CIntRect& o) const = default;
};
