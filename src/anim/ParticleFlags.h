#pragma once
// Bits of a particle definition's flag word and of a running system's copy of it.
#include "core/Types.h"

namespace lv::misc::anim {

enum EParticleFlags : u32
{
    PF_ADDITIVE = 0x00000200,           // additive blending instead of alpha blending
    PF_ENDLESS = 0x00000800,            // emit without end, system_life_time ignored
    PF_BURST = 0x00001000,              // trunc(emission) at once after construction or restart
    PF_FOLLOW_MOTION = 0x00002000,      // moving the emitter turns the emission to the motion
    PF_PARKED = 0x00008000,             // no new particles; live ones go on (set by game code)
    PF_RANDOM_SPIN = 0x00020000,        // each particle spins the other way with probability 1/2
    PF_GRAVITY_BY_SIZE = 0x00040000,    // gravity times the particle's size
    PF_GRAVITY_DIV_SIZE = 0x00080000,   // with PF_GRAVITY_BY_SIZE: divided by the size instead
    PF_WIND = 0x00100000,               // particles are pushed along the wind vector
    PF_WIND_BY_SIZE = 0x00200000,       // with PF_WIND: wind times the size
    PF_WIND_DIV_SIZE = 0x00400000,      // with PF_WIND_BY_SIZE: divided by the size instead
    PF_MOVE_WITH_EMITTER = 0x00800000,  // moving the emitter moves every particle along
    PF_EMIT_ON_OUTLINE = 0x01000000,    // spawn on the outline of the emitter shape
    PF_CENTRE_ON_EMITTER = 0x02000000,  // radial/tangential acceleration around the emitter
};

} // namespace lv::misc::anim
