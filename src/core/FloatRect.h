#pragma once
// Float rectangle (top-left corner plus extent); the same record serves texture-coordinate
// rectangles and insets.
#include "core/Types.h"
#include "core/Vector2.h"

#include <algorithm>

class CFloatRect
{
public:
    float X = 0;
    float Y = 0;
    float Width = 0;
    float Height = 0;

    CFloatRect() = default;
    CFloatRect(float x, float y, float width, float height) : X(x), Y(y), Width(width), Height(height) {}

    CFloatRect& FromInts(s32 x, s32 y, s32 width, s32 height)
    {
        *this = CFloatRect(static_cast<float>(x), static_cast<float>(y), static_cast<float>(width),
                           static_cast<float>(height));
        return *this;
    }
    CFloatRect& FromPositionSize(float x, float y, s32 width, s32 height)
    {
        *this = CFloatRect(x, y, static_cast<float>(width), static_cast<float>(height));
        return *this;
    }
    // From a CIntRect (any type with integer X, Y, Width and Height).
    template <typename TIntRect>
    CFloatRect& AssignIntRect(const TIntRect& r)
    {
        return FromInts(r.X, r.Y, r.Width, r.Height);
    }
    // Spans two points given in any order.
    CFloatRect& FromCorners(const CVector2& p, const CVector2& q)
    {
        const float x0 = std::min(p.X, q.X), y0 = std::min(p.Y, q.Y);
        *this = CFloatRect(x0, y0, std::max(p.X, q.X) - x0, std::max(p.Y, q.Y) - y0);
        return *this;
    }
    bool operator==(const CFloatRect& o) const = default;
};
