#pragma once
// A named time of a clip object (100 bytes as stored). Kept with the object's record for the
// code that looks for it; the animation itself does not act on markers.
#include "core/FixedString.h"
#include "core/Types.h"

namespace lv::misc::anim {

struct CClipMarker
{
    s32 KeyTime = 0;   // `k`
    CFixedString Name; // `id`
};

static_assert(sizeof(CClipMarker) == 100);

} // namespace lv::misc::anim
