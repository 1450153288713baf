#pragma once
// The clip object of type "particle": one particle effect placed, turned, resized, tinted,
// mirrored, started and stopped by its clip's key frames. Two switches decide how the object's
// geometry reaches the effect: "fix_emit" moves only the emitter (particles already born stay
// where they are), otherwise the whole effect is drawn through the object's transform; "scale"
// grows the particle quads, otherwise a larger object widens the emitter and raises the emission
// in proportion to its area. The advance time pre-runs the effect so that it starts in full flow.
#include "anim/ClipObject.h"
#include "anim/ParticleSystem.h"
#include "core/Color.h"
#include "core/Types.h"
#include "core/Vector2.h"

namespace lv::misc::anim {

class CParticleObject : public CClipObject
{
public:
    // Emit flag values of key points.
    static constexpr s32 kEmitResume = 1;  // resume a paused effect, pre-run
    static constexpr s32 kEmitRestart = 2; // restart a running effect, pre-run
    static constexpr s32 kEmitFreeze = 4;  // restart a running effect and hold it empty
    // Step of the pre-run.
    static constexpr u32 kAdvanceStep = 20;
    // The smallest base size, so an emitter of no size still has an extent to scale.
    static constexpr float kMinBaseSize = 50.0f;

    // An empty name loads nothing (the clip loader loads the definition from the item record).
    explicit CParticleObject(const char* definition = "");
    CParticleObject(const CParticleObject& other) = default;
    ~CParticleObject() override;

    void LoadParticle(const char* definition);
    void SetFixEmit(bool fix);
    bool IsFixEmit() const { return m_FixEmit; }
    void SetScaleMode(bool scale);
    bool IsScaleMode() const { return m_ScaleMode; }
    void SetAdvanceTime(u32 ms) { m_AdvanceTime = ms; }
    u32 GetAdvanceTime() const { return m_AdvanceTime; }
    // Copies another effect into the object and shows the object's current animation time again.
    void AssignSystem(const CParticleSystem& system);
    const CParticleSystem& GetSystem() const { return m_System; }
    CParticleSystem& GetSystem() { return m_System; }
    // Object size relative to the base size.
    CVector2 GetScale() const { return m_Scale; }

    void Draw(graphics::CRenderer& renderer) override;
    void Update() override { m_System.Update(); }
    const CFixedString& GetResourceName() const override { return m_System.GetDefinition().id; }
    CVector2 GetPosition() const override { return m_Position; }
    void SetCorners(const CQuad& corners) override;
    CQuad GetCorners() const override;
    void ResetGeometry() override;
    void SetAngle(float angle) override;
    float GetAngle() const override { return m_Angle; }
    void SetColor(const CColor& color) override { m_Color = color; }
    CColor GetColor() const override { return m_Color; }
    void SetAdditiveBlend(bool additive) override;
    bool IsAdditiveBlend() const override;
    s32 GetFlipFlags() const override { return static_cast<s32>(m_FlipFlags); }
    void SetFlipFlags(s32 flags) override { m_FlipFlags = static_cast<u32>(flags); }
    s32 GetEmitFlags() const override { return static_cast<s32>(m_EmitFlags); }
    void SetEmitFlags(s32 flags) override;
    void ResolveTextures() override;
    void LoadFromDefinition(const CClipItem& item, LoadPathHelper* paths) override;
    const char* GetTypeName() const override { return "particle"; }
    CClipObject* Clone() const override { return new CParticleObject(*this); }
    // From the stopped state the effect restarts, waiting for a key point that resumes it when
    // there is one, else already pre-run.
    void Play() override;
    void DoSetPosition(const CVector2& position) override;

private:
    CVector2 GetBaseSize() const;

    CParticleSystem m_System;
    float m_Angle = 0.0f;
    CColor m_Color;
    u32 m_AdvanceTime = 0;
    CVector2 m_Scale{1.0f, 1.0f};
    CVector2 m_BaseEmitterSize;
    float m_BaseEmission = 0.0f;
    u32 m_FlipFlags = 0;
    u32 m_EmitFlags = 0;
    CVector2 m_Position;
    bool m_ScaleMode = false;
    bool m_FixEmit = true;
};

} // namespace lv::misc::anim
