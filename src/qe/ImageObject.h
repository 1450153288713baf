#pragma once
// One declared image placed by its centre, stretched, turned, mirrored and tinted, animated
// through its frame map on its quest's clock; hit only where its pixels are not transparent.
#include "qe/SceneObject.h"

namespace lv::graphics {
class CImageHandle;
}

namespace qe {

class CImageObject : public CSceneObject
{
public:
    enum EFlip : u8
    {
        kFlipH = 1,
        kFlipV = 2,
    };
    static constexpr size_t kPayloadSize = 128;

    explicit CImageObject(CScene* scene) : CSceneObject(scene) {}

    void InitFromRecord(const u8* record);

    void Update() override;
    bool HitTest(const CVector2& point) override;
    s32 GetType() const override { return kTypeImage; }
    CSceneObject* Clone() const override { return new CImageObject(*this); }
    void SetPosition(const CVector2& position) override { m_Position = position; }
    CVector2 GetPosition() const override { return m_Position; }
    CVector2 GetSize() const override { return m_Size; }
    void SetSize(const CVector2& size) override { m_Size = size; }
    float GetAngle() const override { return m_Angle; }
    void SetAngle(float angle) override { m_Angle = angle; }
    void Draw(lv::graphics::CRenderer& renderer) override;

    lv::graphics::CImageHandle* GetImage() const { return m_Image; }
    void SetImageByName(const char* name);
    void SetColor(const CColor& color) { m_Color = color; }
    const CColor& GetColor() const { return m_Color; }
    u8 GetFlipFlags() const { return m_FlipFlags; }
    void AddFlipFlags(u8 flags) { m_FlipFlags = static_cast<u8>(m_FlipFlags | flags); }
    void RemoveFlipFlags(u8 flags) { m_FlipFlags = static_cast<u8>(m_FlipFlags & ~flags); }

    // The frame map's total time at the current speed; 0 without an image.
    s32 GetAnimationLength() const;
    void RestartAnimation() { m_AnimationTime = 0; }
    s32 GetAnimationTime() const { return m_AnimationTime; }
    void SetSpeed(float speed) { m_Speed = speed; }
    void SetPaused(bool paused) { m_Paused = paused; }
    void SeekToFramePosition(u32 n);
    s32 GetCurrentFrame() const;

    // Whether pixel (x, y) of a frame of the image is visible: through the loaded alpha masks,
    // else through the image's CPU copy of its texture, made on demand.
    static bool HitTestImagePixel(lv::graphics::CImageHandle* image, s32 x, s32 y, s32 frame);

protected:
    CImageObject(const CImageObject&) = default;

private:
    lv::graphics::CImageHandle* m_Image = nullptr;
    CVector2 m_Position;
    CVector2 m_Size;
    float m_Angle = 0.0f;
    CColor m_Color;
    u8 m_FlipFlags = 0;
    s32 m_AnimationTime = 0;
    float m_Speed = 1.0f;
    bool m_Paused = false;
};

} // namespace qe
