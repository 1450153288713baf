#include "anim/ParticleSystem.h"

#include "anim/ParticleFlags.h"
#include "anim/ParticleManager.h"
#include "anim/ParticleRandom.h"
#include "core/Log.h"
#include "core/TimeSystem.h"
#include "core/Timer.h"
#include "core/TimerGroup.h"

#include <algorithm>
#include <cmath>

namespace lv::misc::anim {

namespace {

constexpr const char* kParticleChannel = "particle";

float Draw()
{
    return CParticleRandom::Draw();
}

float Between(float a, float b)
{
    return CParticleRandom::Between(a, b);
}

// Unit vector of v, or v itself when it is too short to have a direction.
CVector2 Direction(const CVector2& v)
{
    if (std::fabs(v.X) <= 0.0001f && std::fabs(v.Y) <= 0.0001f)
        return v;
    const float length = v.Length();
    return CVector2(v.X / length, v.Y / length);
}

// Towards zero, held inside the 32-bit range (NaN gives 0), so that huge rates from a
// definition cannot overflow the conversion.
s64 Truncate(float value)
{
    if (!(value == value))
        return 0;
    return static_cast<s64>(std::clamp(value, -2147483647.0f, 2147483647.0f));
}

u8 ColorByte(float value)
{
    return value > 255.0f ? 255 : static_cast<u8>(static_cast<s32>(value));
}

} // namespace

float ParticleDegreesToRadians(float degrees)
{
    return degrees / 360.0f * 6.29f;
}

CParticleSystem::CParticleSystem(core::CTimer* timer)
{
    m_Timer.Assign(timer);
}

CParticleSystem::CParticleSystem(core::CTimerGroup* group)
    : CParticleSystem(group ? group->CreateTimer() : core::CTimeSystem::Instance().CreateTimer(nullptr))
{
}

CParticleSystem::~CParticleSystem() = default;

bool CParticleSystem::Load(const char* name)
{
    if (!name || !*name)
        return false;
    const ParticleDefinition* definition = CParticleManager::Instance().FindParticle(name);
    if (!definition) {
        core::CLog::Instance().Print(kParticleChannel, 3, "cannot load particle: %s", name);
        return false;
    }
    m_Def = *definition;
    m_HasPosition = false;
    SetWindDirection(m_Def.wind_direction);

    float estimate = 1.0f;
    if (!(m_Def.flags & PF_BURST)) {
        const float life = (m_Def.flags & PF_ENDLESS) ? m_Def.life_time_max
                                                      : std::min(m_Def.life_time_max, m_Def.system_life_time);
        estimate = life / 1000.0f * 1.5f;
    }
    s64 limit = Truncate(estimate * m_Def.emission);
    if (m_Def.max_life_particles < limit) {
        limit = m_Def.max_life_particles;
        estimate = -1.0f;
    }
    m_Def.max_life_particles = static_cast<s32>(std::clamp<s64>(limit, 0, kMaxParticles));
    m_LifeEstimate = estimate;
    return true;
}

void CParticleSystem::Restart()
{
    if (m_Timer.Get())
        m_Timer->SetTime(0);
    m_Elapsed = 0;
    m_BurstPending = true;
    m_LiveCount = 0;
}

void CParticleSystem::Update()
{
    if (m_Timer.Get())
        Step(static_cast<u32>(std::max(m_Timer->GetDelta(), 0)));
}

void CParticleSystem::Step(u32 ms)
{
    MoveParticles(ms);
    Emit(ms);
}

void CParticleSystem::Advance(u32 total, u32 step)
{
    if (total == 0)
        return;
    step = std::max<u32>(step, 1);
    const s32 base = m_Timer.Get() ? m_Timer->GetTime() : 0;
    u32 done = 0;
    while (done + step < total) {
        done += step;
        if (m_Timer.Get())
            m_Timer->SetTime(base + static_cast<s32>(done));
        Step(step);
    }
    if (m_Timer.Get())
        m_Timer->SetTime(base + static_cast<s32>(total));
    Step(total - done);
}

bool CParticleSystem::IsFinished() const
{
    if (m_Def.flags & PF_BURST)
        return m_LiveCount == 0;
    if (m_Def.flags & PF_ENDLESS)
        return false;
    return static_cast<float>(m_Elapsed) > m_Def.system_life_time && m_LiveCount == 0;
}

void CParticleSystem::Pause(bool pause)
{
    if (m_Timer.Get())
        m_Timer->Pause(pause);
}

bool CParticleSystem::IsPaused() const
{
    return m_Timer.Get() && m_Timer->IsPaused();
}

void CParticleSystem::SetEmitterPosition(const CVector2& position)
{
    const CVector2 old = GetEmitterPosition();
    const CVector2 move(position.X - old.X, position.Y - old.Y);
    const s16 dx = static_cast<s16>(static_cast<s32>(move.X));
    const s16 dy = static_cast<s16>(static_cast<s32>(move.Y));
    const bool withEmitter = (m_Def.flags & PF_MOVE_WITH_EMITTER) != 0;
    for (Particle& p : m_Particles) {
        p.origin[0] = static_cast<s16>(p.origin[0] + dx);
        p.origin[1] = static_cast<s16>(p.origin[1] + dy);
        if (withEmitter)
            p.position += move;
    }
    m_MotionAngle = 0.0f;
    if ((m_Def.flags & PF_FOLLOW_MOTION) && (std::fabs(move.X) > 0.0001f || std::fabs(move.Y) > 0.0001f)) {
        const float alpha = std::acos(std::clamp(move.Y / move.Length(), -1.0f, 1.0f));
        m_MotionAngle = move.X > 0 ? -alpha : alpha;
    }
    m_PrevPosition = m_HasPosition ? old : position;
    m_HasPosition = true;
    m_Def.pos[0] = position.X;
    m_Def.pos[1] = position.Y;
}

void CParticleSystem::SetEmission(float rate)
{
    if (rate <= 0) {
        m_Def.emission = 0;
        return;
    }
    if (m_LifeEstimate > 0) {
        const s64 wanted = Truncate(m_LifeEstimate * rate);
        if (wanted > m_Def.max_life_particles)
            m_Def.max_life_particles = static_cast<s32>(std::min<s64>(wanted, kMaxParticles));
    }
    m_Def.emission = rate;
}

void CParticleSystem::SetEmitterSize(const CVector2& size)
{
    m_Def.emiter_size[0] = size.X;
    m_Def.emiter_size[1] = size.Y;
}

void CParticleSystem::SetSize(float start, float mid, float end, float var, float baseVar)
{
    m_Def.size = {std::max(start, 0.0f), std::max(mid, 0.0f), std::max(end, 0.0f), std::max(var, 0.0f), baseVar};
}

void CParticleSystem::SetColors(const CColor& start, const CColor& mid, const CColor& end)
{
    m_Def.start_color = start;
    m_Def.mid_color = mid;
    m_Def.end_color = end;
}

void CParticleSystem::SetWindDirection(float radians)
{
    m_Def.wind_direction = radians;
    m_Def.wind_vector[0] = std::cos(radians);
    m_Def.wind_vector[1] = std::sin(radians);
}

void CParticleSystem::MoveParticles(u32 ms)
{
    const u32 flags = m_Def.flags;
    const float seconds = static_cast<float>(ms) / 1000.0f;
    const float dt = static_cast<float>(ms);
    const CVector2 wind(m_Def.wind_vector[0], m_Def.wind_vector[1]);
    u32 i = 0;
    while (i < m_LiveCount) {
        Particle& p = m_Particles[i];
        // Saturated, so a long step cannot wrap the age back into a new life.
        const u32 age = std::min<u32>(static_cast<u32>(p.age) + ms, 0xFFFF);
        p.age = static_cast<u16>(age);
        if (age > p.life) {
            --m_LiveCount;
            p = m_Particles[m_LiveCount];
            continue;
        }
        if (p.age < p.life / 2) {
            p.angle += p.angle_rate1 * dt;
            p.size += p.size_rate1 * dt;
        } else {
            p.angle += p.angle_rate2 * dt;
            p.size += p.size_rate2 * dt;
        }
        const CVector2 centre = (flags & PF_CENTRE_ON_EMITTER)
                                    ? GetEmitterPosition()
                                    : CVector2(static_cast<float>(p.origin[0]), static_cast<float>(p.origin[1]));
        const CVector2 u = Direction(CVector2(p.position.X - centre.X, p.position.Y - centre.Y));
        CVector2 acc = u * p.radial_acc + CVector2(-u.Y, u.X) * p.tangential_acc;
        if (flags & PF_WIND) {
            if (flags & PF_WIND_BY_SIZE) {
                if (p.size > 0.00001f)
                    acc += wind * ((flags & PF_WIND_DIV_SIZE) ? p.wind / p.size : p.size * p.wind);
            } else {
                acc += wind * p.wind;
            }
        }
        p.velocity += acc * seconds;
        if (flags & PF_GRAVITY_BY_SIZE) {
            if (p.size > 0.00001f)
                p.velocity.Y += (flags & PF_GRAVITY_DIV_SIZE) ? p.gravity * seconds / p.size : p.size * p.gravity * seconds;
        } else {
            p.velocity.Y += p.gravity * seconds;
        }
        p.position += p.velocity * seconds;
        ++i;
    }
    m_Elapsed += ms;
    if (m_LiveCount == 0)
        m_Particles.clear();
}

void CParticleSystem::Emit(u32 ms)
{
    const u32 flags = m_Def.flags;
    if (!(flags & PF_FOLLOW_MOTION))
        m_MotionAngle = 0.0f;
    const float elapsed = static_cast<float>(ms);
    u32 count = 0;
    if (flags & PF_BURST) {
        if (m_BurstPending) {
            count = m_Def.emission > 0 ? static_cast<u32>(Truncate(m_Def.emission)) : 0;
            m_BurstPending = false;
        }
    } else if ((flags & PF_ENDLESS) || static_cast<float>(m_Elapsed) < m_Def.system_life_time) {
        m_EmitAccumulator += elapsed;
        if (m_Def.emission > 0 && !(flags & PF_PARKED)) {
            const float period = 1000.0f / m_Def.emission;
            count = static_cast<u32>(std::max<s64>(Truncate(m_EmitAccumulator / period), 0));
            m_EmitAccumulator -= static_cast<float>(count) * period;
        } else {
            m_EmitAccumulator = 0;
        }
    }
    const CVector2 move(m_PrevPosition.X - m_Def.pos[0], m_PrevPosition.Y - m_Def.pos[1]);
    const u32 limit = static_cast<u32>(std::clamp(m_Def.max_life_particles, 0, kMaxParticles));
    if (count > 0 && m_Particles.size() < limit)
        m_Particles.resize(limit);
    for (u32 i = 0; i < count; ++i) {
        const float back = static_cast<float>(i) / static_cast<float>(count) * elapsed;
        if (back > m_Def.life_time_max)
            break; // later ones lie further back, so they would all be dead already
        // >=: a limit lowered below the live count stops emission instead of overrunning.
        if (m_LiveCount >= limit || m_LiveCount >= m_Particles.size())
            break;
        Particle& p = m_Particles[m_LiveCount++];
        p.age = static_cast<u16>(back);
        Spawn(p, i, count, elapsed, move);
    }
}

void CParticleSystem::Spawn(Particle& p, u32 index, u32 count, float, const CVector2& move)
{
    const u32 flags = m_Def.flags;
    const float w = m_Def.emiter_size[0];
    const float h = m_Def.emiter_size[1];
    float x = 0.0f;
    float y = 0.0f;
    if (m_Def.emiter_type == 0 && (flags & PF_EMIT_ON_OUTLINE)) {
        const float r = Draw() * (2 * w + 2 * h);
        x = -w / 2;
        y = -h / 2;
        float a = w;
        if (a > r) {
            x += a - r;
        } else if ((a += h) > r) {
            x += w;
            y += a - r;
        } else if ((a += w) > r) {
            y += h;
            x += w - (a - r);
        } else if ((a += h) > r) {
            y += h - (a - r);
        }
    } else if (m_Def.emiter_type == 0) {
        y = Draw() * h - h / 2;
        x = Draw() * w - w / 2;
    } else if (m_Def.emiter_type == 1 && (flags & PF_EMIT_ON_OUTLINE)) {
        const float a = Draw() * 6.29f;
        x = std::cos(a) * w / 2;
        y = std::sin(a) * h / 2;
    } else if (m_Def.emiter_type == 1) {
        bool inside = false;
        for (int attempt = 0; attempt < 3 && !inside; ++attempt) {
            y = Draw() * h - h / 2;
            x = Draw() * w - w / 2;
            const float rx = w / 2;
            const float ry = h / 2;
            inside = (rx > 0 ? x * x / (rx * rx) : 0) + (ry > 0 ? y * y / (ry * ry) : 0) <= 1.0f;
        }
        if (!inside) {
            const float a = Draw() * 3.145f;
            x = std::cos(a) * w / 2;
            const float top = std::fabs(std::sin(a) * h / 2);
            y = top - Draw() * 2 * top;
        }
    }
    const CVector2 offset(x, y);
    const float radius = offset.Length();
    const CVector2 u = Direction(offset);
    const float phi = m_Def.emiter_angle - m_MotionAngle - m_Rotation;
    const CVector2 d(u.X * std::cos(phi) + u.Y * std::sin(phi), u.Y * std::cos(phi) - u.X * std::sin(phi));
    CVector2 position = GetEmitterPosition() + d * radius;
    if (m_HasPosition)
        position += move * (static_cast<float>(index) / static_cast<float>(count));
    p.position = position;
    p.origin[0] = static_cast<s16>(static_cast<s32>(position.X));
    p.origin[1] = static_cast<s16>(static_cast<s32>(position.Y));

    p.radial_acc = Between(m_Def.rad_acc_min, m_Def.rad_acc_max);
    p.gravity = Between(m_Def.grav_min, m_Def.grav_max);
    p.wind = (flags & PF_WIND) ? Between(m_Def.wind_min, m_Def.wind_max) : 0.0f;
    p.tangential_acc = Between(m_Def.tang_acc_min, m_Def.tang_acc_max);

    const float theta = (m_Def.direction + m_MotionAngle + m_Rotation - m_Def.spread / 2) + Draw() * m_Def.spread;
    const float speed = Between(m_Def.start_speed_min, m_Def.start_speed_max);
    p.velocity = CVector2(std::sin(theta) * speed, -std::cos(theta) * speed);

    const float life = Between(m_Def.life_time_min, m_Def.life_time_max);
    p.life = life >= kMaxLife ? kMaxLife : static_cast<u16>(std::max(life, 0.0f));
    // A life of 0 ms has no halves: its rates stay 0 rather than dividing by zero.
    const float half = static_cast<float>(p.life) / 2;
    const auto rate = [half](float amount) { return half > 0 ? amount / half : 0.0f; };

    const CColor& s = m_Def.start_color;
    const CColor& m = m_Def.mid_color;
    const CColor& e = m_Def.end_color;
    const CColor& v = m_Def.var_color;
    const CColor& bv = m_Def.base_var_color;
    // kParticleChannel order a, r, g, b; stored as r, g, b, a.
    const s16 CColor::*channels[4] = {&CColor::A, &CColor::R, &CColor::G, &CColor::B};
    const int slot[4] = {3, 0, 1, 2};
    float base[4];
    for (int c = 0; c < 4; ++c)
        base[c] = Draw() * static_cast<float>(bv.*channels[c]);
    for (int c = 0; c < 4; ++c) {
        const s32 from = s.*channels[c];
        const s32 spreadTo = from + (m.*channels[c] - from) * v.*channels[c] / 255;
        p.start_color[slot[c]] = ColorByte(Between(static_cast<float>(from), static_cast<float>(spreadTo)) + base[c]);
        p.mid_color[slot[c]] = ColorByte(static_cast<float>(m.*channels[c]) + base[c]);
        p.end_color[slot[c]] = ColorByte(static_cast<float>(e.*channels[c]) + base[c]);
    }

    const ParticleRange& size = m_Def.size;
    float delta = Draw() * size.base_var;
    p.size = Between(size.start, size.start + (size.mid - size.start) * size.var) + delta;
    p.size_rate1 = rate(delta + size.mid - p.size);
    p.size_rate2 = rate(size.end - size.mid);

    const ParticleRange& spin = m_Def.spin;
    const float turn = m_MotionAngle + m_Rotation;
    delta = Draw() * spin.base_var;
    p.angle = Between(spin.start + turn, spin.start + turn + (spin.mid - spin.start) * spin.var) + delta;
    p.angle_rate1 = rate(delta + spin.mid + turn - p.angle);
    p.angle_rate2 = rate(spin.end - spin.mid);
    if ((flags & PF_RANDOM_SPIN) && Draw() > 0.5f) {
        p.angle_rate1 = -p.angle_rate1;
        p.angle_rate2 = -p.angle_rate2;
    }
}

} // namespace lv::misc::anim
