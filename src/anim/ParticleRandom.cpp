#include "anim/ParticleRandom.h"

namespace lv::misc::anim {

namespace {

u32 g_State = CParticleRandom::kInitialState; // main thread only

} // namespace

float CParticleRandom::Draw()
{
    g_State *= 16807u;
    return static_cast<float>((g_State >> 16) & 0x7FFF) * (1.0f / 32767.0f);
}

u32 CParticleRandom::GetState()
{
    return g_State;
}

void CParticleRandom::SetState(u32 state)
{
    g_State = state;
}

} // namespace lv::misc::anim
