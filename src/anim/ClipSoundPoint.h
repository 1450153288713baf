#pragma once
// A sound started when the key point at its key time is passed (100 bytes as stored).
#include "core/FixedString.h"
#include "core/Types.h"

namespace lv::misc::anim {

struct CClipSoundPoint
{
    s32 KeyTime = 0;   // `k`
    CFixedString Name; // `id`: the sound's declared name
};

static_assert(sizeof(CClipSoundPoint) == 100);

} // namespace lv::misc::anim
