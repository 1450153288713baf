#pragma once
// The oriented outline of a clip object: corner offsets around a position, turned by an angle.
// Images, texts and paths keep their geometry in one.
#include "core/Quad.h"
#include "core/Vector2.h"

class CBoundingQuad
{
public:
    CVector2 Position;
    CQuad Corners; // offsets from the position, before the turn
    float Angle = 0;

    CBoundingQuad() = default;
    CBoundingQuad(const CVector2& position, const CQuad& corners, float angle)
        : Position(position), Corners(corners), Angle(angle)
    {
    }

    // The four corners on screen: each turned by the angle, then moved by the position.
    void GetCorners(CQuad& out) const;
    CQuad GetCorners() const
    {
        CQuad out;
        GetCorners(out);
        return out;
    }
    bool ContainsPoint(const CVector2& point) const;
    // A screen point as (u, v) inside the unturned corners, each clamped to 0..1.
    void ToUV(CVector2& out, const CVector2& point) const;
    // (u, v) as a screen point inside the turned corners.
    void FromUV(CVector2& out, const CVector2& uv) const;
};
