#pragma once
// The clip object of type "path": a Bezier curve that other objects of the clip hang on. The
// object's geometry is the path's frame, so moving, turning or resizing the object moves the
// curve; the measured lengths are kept (they stay exact for moves, turns and uniform resizes).
#include "anim/BezierPath.h"
#include "anim/ClipObject.h"

namespace lv::misc::anim {

class CPathObject : public CClipObject
{
public:
    CPathObject() = default;
    CPathObject(const CPathObject& other) = default;

    // Debug drawing in yellow.
    void Draw(graphics::CRenderer& renderer) override;
    CVector2 GetPosition() const override { return m_Path.GetFrame().Position; }
    void SetCorners(const CQuad& corners) override;
    CQuad GetCorners() const override { return m_Path.GetFrame().Corners; }
    void ResetGeometry() override {}
    void SetAngle(float angle) override;
    float GetAngle() const override { return m_Path.GetFrame().Angle; }
    // A path has no look of its own.
    void SetColor(const CColor&) override {}
    CColor GetColor() const override { return CColor(); }
    void SetAdditiveBlend(bool) override {}
    bool IsAdditiveBlend() const override { return false; }
    s32 GetFlipFlags() const override { return 0; }
    void SetFlipFlags(s32) override {}
    s32 GetEmitFlags() const override { return 0; }
    void SetEmitFlags(s32) override {}
    CBoundingQuad GetQuad() const override { return m_Path.GetFrame(); }
    // True within 3 units of the curve (everywhere for a path without segments).
    bool HitTest(const CVector2& point) const override;
    // The frame from the item, then its closed flag and the points inside the frame.
    void LoadFromDefinition(const CClipItem& item, LoadPathHelper* paths) override;
    const char* GetTypeName() const override { return "path"; }
    CClipObject* Clone() const override { return new CPathObject(*this); }
    void DoSetPosition(const CVector2& position) override;

    CBezierPath& GetPath() { return m_Path; }
    const CBezierPath& GetPath() const { return m_Path; }
    bool IsClosed() const { return m_Path.IsClosed(); }
    void SetClosed(bool closed) { m_Path.SetClosed(closed); }

private:
    CBezierPath m_Path;
};

} // namespace lv::misc::anim
