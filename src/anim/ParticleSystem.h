#pragma once
// One running particle effect: a private copy of a particle definition, its emitter and up to
// 512 live particles, driven by its own timer (so pausing or speeding up the timer's group
// does the same to the effect). Each live particle is drawn as one tinted, optionally rotated quad.
#include "anim/ParticleDefinition.h"
#include "core/TimerHandle.h"
#include "core/Types.h"
#include "core/Vector2.h"

#include <vector>

namespace lv::core {
class CTimer;
class CTimerGroup;
} // namespace lv::core

namespace lv::graphics {
class CImageHandle;
class CRenderer;
} // namespace lv::graphics

namespace lv::misc::anim {

struct Particle
{
    float angle = 0.0f;
    float angle_rate1 = 0.0f;
    float angle_rate2 = 0.0f;
    float size = 0.0f;
    float size_rate1 = 0.0f;
    float size_rate2 = 0.0f;
    float gravity = 0.0f;
    float wind = 0.0f;
    float radial_acc = 0.0f;
    float tangential_acc = 0.0f;
    u16 life = 0;
    u16 age = 0;
    u8 start_color[4] = {};
    u8 mid_color[4] = {};
    u8 end_color[4] = {};
    CVector2 position;
    CVector2 velocity;
    s16 origin[2] = {0, 0};
};

// x / 360 * 6.29, the conversion the degree setters use.
float ParticleDegreesToRadians(float degrees);

class CParticleSystem
{
public:
    static constexpr s32 kMaxParticles = 512;
    static constexpr u16 kMaxLife = 65500;

    // Takes ownership of the timer (may be null for systems stepped by hand).
    explicit CParticleSystem(core::CTimer* timer);
    // Creates the system's own timer in that group (the process-wide root group when null).
    explicit CParticleSystem(core::CTimerGroup* group);
    ~CParticleSystem();
    CParticleSystem(const CParticleSystem&) = default;
    CParticleSystem& operator=(const CParticleSystem&) = default;

    void SetTimer(core::CTimer* timer) { m_Timer.Assign(timer); }
    core::CTimer* GetTimer() const { return m_Timer.Get(); }

    // Copies the named definition; false (logged unless the name is empty) when unknown.
    bool Load(const char* name);
    // Binds a declared image as the particles' texture; false when no image has that name.
    bool BindTexture(const char* name);
    graphics::CImageHandle* GetImage() const { return m_Image; }
    // Queues every visible live particle on the renderer's batch.
    void Draw(graphics::CRenderer& renderer) const;
    // The debug level the application runs at; fill statistics are kept from level 2.
    static void SetDebugLevel(s32 level);
    static s32 GetDebugLevel();

    void Restart();
    void ArmBurst() { m_BurstPending = true; }
    void Update();
    void Step(u32 ms);
    void Advance(u32 total, u32 step);
    bool IsFinished() const;
    void Pause(bool pause);
    bool IsPaused() const;

    u16 GetParticleCount() const { return m_LiveCount; }
    const Particle& GetParticle(u16 index) const { return m_Particles[index]; }
    u32 GetFlags() const { return m_Def.flags; }
    void SetFlags(u32 flags) { m_Def.flags = flags; }

    void SetEmitterPosition(const CVector2& position);
    void SetEmitterPositionXY(float x, float y) { SetEmitterPosition(CVector2(x, y)); }
    CVector2 GetEmitterPosition() const { return CVector2(m_Def.pos[0], m_Def.pos[1]); }
    void ClearPosition() { m_HasPosition = false; }
    void SetEmission(float rate);
    float GetEmission() const { return m_Def.emission; }
    void SetMaxLiveParticles(s32 limit) { m_Def.max_life_particles = limit < 0 ? 0 : limit; }
    s32 GetMaxLiveParticles() const { return m_Def.max_life_particles; }
    void SetEmitterSize(const CVector2& size);
    CVector2 GetEmitterSize() const { return CVector2(m_Def.emiter_size[0], m_Def.emiter_size[1]); }
    void SetEmitterAngle(float radians) { m_Def.emiter_angle = radians; }
    void SetDirectionDegrees(float degrees) { m_Def.direction = ParticleDegreesToRadians(degrees); }
    void SetSpreadDegrees(float degrees) { m_Def.spread = ParticleDegreesToRadians(degrees); }
    void SetLifeTimeMax(float ms) { m_Def.life_time_max = ms > 0 ? ms : 0; }
    void SetLifeTimeMin(float ms) { m_Def.life_time_min = ms > 0 ? ms : 0; }
    void SetSize(float start, float mid, float end, float var, float baseVar);
    void SetColors(const CColor& start, const CColor& mid, const CColor& end);
    void SetWindDirection(float radians);
    void SetMotionAngle(float radians) { m_MotionAngle = radians; }
    float GetMotionAngle() const { return m_MotionAngle; }
    void SetRotation(float radians) { m_Rotation = radians; }
    void SetScale(const CVector2& scale) { m_Scale = scale; }
    CVector2 GetScale() const { return m_Scale; }
    const ParticleDefinition& GetDefinition() const { return m_Def; }

private:
    void MoveParticles(u32 ms);
    void Emit(u32 ms);
    void Spawn(Particle& p, u32 index, u32 count, float ms, const CVector2& move);

    std::vector<Particle> m_Particles;
    ParticleDefinition m_Def;
    core::CTimerHandle m_Timer;
    graphics::CImageHandle* m_Image = nullptr; // not owned
    float m_MotionAngle = 0.0f;
    u32 m_Elapsed = 0;
    CVector2 m_PrevPosition;
    float m_LifeEstimate = -1.0f;
    float m_EmitAccumulator = 0.0f;
    float m_Rotation = 0.0f;
    CVector2 m_Scale{1.0f, 1.0f};
    bool m_BurstPending = true;
    bool m_HasPosition = false;
    u16 m_LiveCount = 0;
};

} // namespace lv::misc::anim
