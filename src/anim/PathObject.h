#pragma once
// The clip object of type "path": a curve that other objects of the clip hang on. This first
// cut carries the path's frame (position, corners, angle) and its look; the curve itself is
// added on top of the frame.
#include "anim/BoundingQuad.h"
#include "anim/ClipObject.h"
#include "core/Color.h"
#include "core/Quad.h"
#include "core/Types.h"

namespace lv::misc::anim {

class CPathObject : public CClipObject
{
public:
    CPathObject() = default;
    CPathObject(const CPathObject& other) = default;

    // Paths are guides: they draw nothing.
    void Draw(graphics::CRenderer&) override {}
    CVector2 GetPosition() const override { return m_Frame.Position; }
    void SetCorners(const CQuad& corners) override { m_Frame.Corners = corners; }
    CQuad GetCorners() const override { return m_Frame.Corners; }
    void ResetGeometry() override {}
    void SetAngle(float angle) override { m_Frame.Angle = angle; }
    float GetAngle() const override { return m_Frame.Angle; }
    void SetColor(const CColor& color) override { m_Color = color; }
    CColor GetColor() const override { return m_Color; }
    void SetAdditiveBlend(bool additive) override { m_Additive = additive; }
    bool IsAdditiveBlend() const override { return m_Additive != 0; }
    s32 GetFlipFlags() const override { return m_FlipFlags; }
    void SetFlipFlags(s32 flags) override { m_FlipFlags = flags; }
    s32 GetEmitFlags() const override { return 0; }
    void SetEmitFlags(s32) override {}
    CBoundingQuad GetQuad() const override { return m_Frame; }
    const char* GetTypeName() const override { return "path"; }
    CClipObject* Clone() const override { return new CPathObject(*this); }
    void DoSetPosition(const CVector2& position) override { m_Frame.Position = position; }

private:
    CBoundingQuad m_Frame;
    CColor m_Color;
    s32 m_FlipFlags = 0;
    u8 m_Additive = 0;
};

} // namespace lv::misc::anim
