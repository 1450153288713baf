#include "anim/ClipTransform.h"
#include "anim/Clip.h"

#include <cmath>

namespace {

CVector2 Rotate(const CVector2& v, float angle)
{
    const float c = std::cos(angle);
    const float s = std::sin(angle);
    return CVector2(v.X * c - v.Y * s, v.X * s + v.Y * c);
}

} // namespace

CClipTransform::CClipTransform(const CVector2& scale, const CVector2& translation, const CVector2& origin, float angle)
    : m_Scale(scale), m_Translation(translation), m_Origin(origin), m_Angle(angle), m_Identity(false)
{
}

CVector2 CClipTransform::TransformPoint(const CVector2& point) const
{
    if (m_Identity)
        return point;
    const CVector2 q((point.X + m_Origin.X) * m_Scale.X, (point.Y + m_Origin.Y) * m_Scale.Y);
    return Rotate(q, m_Angle) + m_Translation;
}

CQuad CClipTransform::TransformCorners(const CQuad& corners, float objectAngle) const
{
    if (m_Identity)
        return corners;
    CQuad out;
    for (int i = 0; i < 4; ++i) {
        const CVector2 turned = Rotate(corners.Corners[i], objectAngle);
        out.Corners[i] = Rotate(CVector2(turned.X * m_Scale.X, turned.Y * m_Scale.Y), -objectAngle);
    }
    return out;
}

CClipTransform CClipTransform::FromClip(const CClip& clip, const CFloatRect& rect)
{
    const CVector2 size = clip.GetSize();
    CVector2 scale(rect.Width != 0 ? size.X / rect.Width : 1.0f, rect.Height != 0 ? size.Y / rect.Height : 1.0f);
    if (clip.GetFlags() & 1)
        scale.X = -scale.X;
    if (clip.GetFlags() & 2)
        scale.Y = -scale.Y;
    const CVector2 origin(rect.X - rect.Width / 2, rect.Y - rect.Height / 2);
    return CClipTransform(scale, clip.GetPosition(), origin, clip.GetAngle());
}
