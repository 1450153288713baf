#pragma once
// The clip object that shows another clip inside a clip. It keeps no geometry of its own: its
// position, angle, size (from its corners), colour, mirror flags and blending are the inner
// clip's placement, so the outer clip's key frames place the inner one, and playback, time
// changes and muting pass through to it.
#include "anim/Clip.h"
#include "anim/ClipObject.h"
#include "core/FixedString.h"

namespace lv::misc::anim {

class CClipViewObject : public CClipObject
{
public:
    CClipViewObject();
    // Loads the clip of that name at its own size, playing from 0.
    explicit CClipViewObject(const char* clipName);
    CClipViewObject(const CClipViewObject& other);

    // An undefined name leaves the inner clip empty (it draws nothing); the name stays.
    void LoadClip(const char* clipName);
    CClip& GetClip() { return m_Clip; }
    const CClip& GetClip() const { return m_Clip; }

    void Draw(graphics::CRenderer& renderer) override;
    void Update() override { m_Clip.Update(); }
    const CFixedString& GetResourceName() const override { return m_ClipName; }
    CVector2 GetPosition() const override { return m_Clip.GetPosition(); }
    void DoSetPosition(const CVector2& position) override { m_Clip.SetPosition(position); }
    // The inner clip's size centred on the position.
    CQuad GetCorners() const override;
    // The extent between the first and the third corner becomes the inner clip's size.
    void SetCorners(const CQuad& corners) override;
    // The inner clip takes its definition's own size.
    void ResetGeometry() override;
    float GetAngle() const override { return m_Clip.GetAngle(); }
    void SetAngle(float angle) override { m_Clip.SetAngle(angle); }
    CColor GetColor() const override { return m_Clip.GetColor(); }
    void SetColor(const CColor& color) override { m_Clip.SetColor(color); }
    bool IsAdditiveBlend() const override { return m_Clip.IsAdditiveBlend(); }
    void SetAdditiveBlend(bool additive) override { m_Clip.SetAdditiveBlend(additive); }
    s32 GetFlipFlags() const override { return m_Clip.GetFlags(); }
    void SetFlipFlags(s32 flags) override { m_Clip.SetFlags(flags); }
    void AddFlipFlags(s32 bits) override { m_Clip.AddFlags(bits); }
    void RemoveFlipFlags(s32 bits) override { m_Clip.RemoveFlags(bits); }
    s32 GetEmitFlags() const override { return 0; }
    void SetEmitFlags(s32) override {}
    void ResolveTextures() override { m_Clip.ResolveTextures(); }
    // The inner clip named by the item first, then the item's placement and key points.
    void LoadFromDefinition(const CClipItem& item, LoadPathHelper* paths) override;
    const char* GetTypeName() const override { return "clip"; }
    CClipObject* Clone() const override { return new CClipViewObject(*this); }
    void SetSoundMuted(bool muted) override;
    void StopSounds() override;
    void SetTime(s32 ms, bool apply, const CClipTransform& transform) override;
    void SetTimeKeepEvents(s32 ms, bool apply, const CClipTransform& transform) override;
    void Play() override;
    void Pause() override;
    void Stop() override;

private:
    CFixedString m_ClipName;
    CClip m_Clip;
};

} // namespace lv::misc::anim
