#pragma once
// The one random generator every particle system draws from, so an effect replays the same
// way on every run: state 7 at start, state = state * 16807 mod 2^32, a draw is
// ((state >> 16) & 0x7FFF) / 32767 in [0, 1].
#include "core/Types.h"

namespace lv::misc::anim {

class CParticleRandom
{
public:
    static constexpr u32 kInitialState = 7;

    static float Draw();
    // a + draw * (b - a)
    static float Between(float a, float b) { return a + Draw() * (b - a); }

    // Tests replay effects from the initial state.
    static u32 GetState();
    static void SetState(u32 state);
};

} // namespace lv::misc::anim
