#pragma once
// Axis-aligned box given by its two corner points.
#include "core/Vector2.h"

class CBoundingBox
{
public:
    CVector2 Min;
    CVector2 Max;

    CBoundingBox() = default;
    // Stored as given: the caller passes the minimum first.
    CBoundingBox(const CVector2& min, const CVector2& max) : Min(min), Max(max) {}
};
