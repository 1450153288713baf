#include "anim/BoundingQuad.h"

#include "core/Geometry.h"
#include "core/Matrix3.h"

void CBoundingQuad::GetCorners(CQuad& out) const
{
    CMatrix3 rotation;
    CMatrix3::MakeRotation(rotation, Angle);
    Corners.Transformed(out, rotation);
    out.Translate(Position);
}

bool CBoundingQuad::ContainsPoint(const CVector2& point) const
{
    return GetCorners().ContainsPoint(point.X, point.Y);
}

void CBoundingQuad::ToUV(CVector2& out, const CVector2& point) const
{
    CMatrix3 back;
    CMatrix3::MakeRotation(back, -Angle);
    CVector2 local(point.X - Position.X, point.Y - Position.Y);
    local.Transform(back);
    QuadPointToUV(out, Corners, local);
}

void CBoundingQuad::FromUV(CVector2& out, const CVector2& uv) const
{
    MapUVToQuad(out, GetCorners(), uv);
}
