#pragma once
// The clip object that shows one declared image (a texture region, possibly an animated frame
// sequence) as a four-cornered shape: position, corner offsets and angle, tinted, optionally
// additive and mirrored. The screen corners are rebuilt only when the geometry really moved,
// so an object whose key frames stand still costs no geometry work per frame.
#include "anim/BoundingQuad.h"
#include "anim/ClipObject.h"
#include "core/Color.h"
#include "core/Quad.h"
#include "core/Types.h"

namespace lv::graphics {
class CImageHandle;
}

namespace lv::misc::anim {

class CImageObject : public CClipObject
{
public:
    // Binds the declared image of that name and centres its frame size on the position; an
    // empty name binds nothing (the clip loader binds the image from the item record).
    explicit CImageObject(const char* imageName = "");
    CImageObject(const CImageObject& other) = default;

    // Rebinds the image by name, keeping the geometry.
    void SetImage(const char* imageName);
    graphics::CImageHandle* GetImage() const { return m_Image; }
    // The clock of the image's own frame animation.
    s32 GetFrameTime() const { return m_FrameTime; }

    void Draw(graphics::CRenderer& renderer) override;
    // The frame animation runs on the global frame clock, also while paused or stopped.
    void Update() override;
    const CFixedString& GetResourceName() const override;
    CVector2 GetPosition() const override { return m_Quad.Position; }
    void SetCorners(const CQuad& corners) override;
    CQuad GetCorners() const override { return m_Quad.Corners; }
    void ResetGeometry() override;
    void SetAngle(float angle) override;
    float GetAngle() const override { return m_Quad.Angle; }
    void SetColor(const CColor& color) override { m_Color = color; }
    CColor GetColor() const override { return m_Color; }
    void SetAdditiveBlend(bool additive) override { m_Additive = additive; }
    bool IsAdditiveBlend() const override { return m_Additive != 0; }
    s32 GetFlipFlags() const override { return m_FlipFlags; }
    void SetFlipFlags(s32 flags) override;
    s32 GetEmitFlags() const override { return 0; }
    void SetEmitFlags(s32) override {}
    CBoundingQuad GetQuad() const override { return m_Quad; }
    void LoadFromDefinition(const CClipItem& item, LoadPathHelper* paths) override;
    const char* GetTypeName() const override { return "image"; }
    CClipObject* Clone() const override { return new CImageObject(*this); }
    // Playing restarts the frame animation too.
    void Play() override;
    void DoSetPosition(const CVector2& position) override;

    // The screen corners of the last draw.
    const CQuad& GetScreenQuad() const { return m_ScreenQuad; }

private:
    graphics::CImageHandle* m_Image = nullptr; // not owned
    CBoundingQuad m_Quad;
    CColor m_Color;
    s32 m_FrameTime = 0;
    CQuad m_ScreenQuad;
    u8 m_FlipFlags = 0;
    u8 m_Additive = 0;
    u8 m_Dirty = 0;
};

} // namespace lv::misc::anim
