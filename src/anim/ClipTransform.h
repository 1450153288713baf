#pragma once
// The placement of a clip whose definition asks for an absolute transform, carried to its
// objects' key-frame states: their positions, angles and corner offsets go through it instead
// of through the drawing matrix. Every other clip passes the identity.
#include "core/Quad.h"
#include "core/Vector2.h"

class CClip;
class CFloatRect;

class CClipTransform
{
public:
    // The identity.
    CClipTransform() = default;
    // Points are moved by `origin`, scaled (the scale carries the mirror signs), turned by
    // `angle` and moved by `translation`.
    CClipTransform(const CVector2& scale, const CVector2& translation, const CVector2& origin, float angle);

    static CClipTransform Identity() { return CClipTransform(); }
    // The placement of a clip whose own frame is `rect`: the placed size over the rect's size
    // (1 on an axis the rect has no extent on), negated by the mirror flags, turned by the
    // clip's angle about its position.
    static CClipTransform FromClip(const CClip& clip, const CFloatRect& rect);
    bool IsIdentity() const { return m_Identity; }

    CVector2 TransformPoint(const CVector2& point) const;
    float TransformAngle(float angle) const { return m_Identity ? angle : angle + m_Angle; }
    // Corner offsets scaled along the clip's axes while staying relative to the object's own
    // turn `objectAngle`.
    CQuad TransformCorners(const CQuad& corners, float objectAngle) const;

    const CVector2& GetScale() const { return m_Scale; }
    const CVector2& GetTranslation() const { return m_Translation; }
    const CVector2& GetOrigin() const { return m_Origin; }
    float GetAngle() const { return m_Angle; }

private:
    CVector2 m_Scale{1, 1};
    CVector2 m_Translation;
    CVector2 m_Origin;
    float m_Angle = 0;
    bool m_Identity = true;
};
