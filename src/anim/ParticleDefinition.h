#pragma once
// One particle definition as stored in the particle definitions image: a fixed 384-byte
// record, read in place from "properties/particles.bindump". Field names follow the XML keys.
#include "core/Color.h"
#include "core/FixedString.h"
#include "core/Types.h"

namespace lv::misc::anim {

// A value over a particle's life: it starts between start and start + (mid - start) * var,
// passes mid at half life and ends at end, all plus a random 0..base_var kept for the life.
struct ParticleRange
{
    float start = 0.0f;
    float mid = 0.0f;
    float end = 0.0f;
    float var = 0.0f;
    float base_var = 0.0f;
};

struct ParticleDefinition
{
    static constexpr u32 kRecordSize = 384;

    CFixedString id;
    float pos[2] = {0.0f, 0.0f};
    float direction = 0.0f; // radians, 0 up the screen, clockwise
    float spread = 0.0f;
    float start_speed_max = 0.0f;
    float start_speed_min = 0.0f;
    float rad_acc_max = 0.0f;
    float rad_acc_min = 0.0f;
    float tang_acc_max = 0.0f;
    float tang_acc_min = 0.0f;
    float grav_max = 0.0f;
    float grav_min = 0.0f;
    float wind_max = 0.0f;
    float wind_min = 0.0f;
    float life_time_max = 0.0f; // ms
    float life_time_min = 0.0f;
    s32 max_life_particles = 0;
    float emission = 0.0f; // per second, or the particles of one burst
    float reserved = 0.0001f;
    float system_life_time = 0.0f; // ms
    u32 flags = 0;
    float wind_direction = 0.0f;
    s32 emiter_type = 0; // 0 rectangle, 1 ellipse, else a point
    float emiter_size[2] = {0.0f, 0.0f};
    float emiter_angle = 0.0f;
    ParticleRange spin;
    ParticleRange size;
    CColor start_color;
    CColor mid_color;
    CColor end_color;
    CColor var_color;
    CColor base_var_color;
    float wind_vector[2] = {0.0f, 0.0f}; // recomputed by systems from wind_direction
    CFixedString tex_id;
};

static_assert(sizeof(CFixedString) == 96);
static_assert(sizeof(ParticleDefinition) == ParticleDefinition::kRecordSize);
static_assert(offsetof(ParticleDefinition, max_life_particles) == 160);
static_assert(offsetof(ParticleDefinition, spin) == 200);
static_assert(offsetof(ParticleDefinition, start_color) == 240);
static_assert(offsetof(ParticleDefinition, wind_vector) == 280);
static_assert(offsetof(ParticleDefinition, tex_id) == 288);

} // namespace lv::misc::anim
