#pragma once
// One key frame of a clip object, as stored in the clip definitions (72 bytes, little-endian):
// the object's whole placement and look at one time, and whether it blends towards the next one.
#include "core/Color.h"
#include "core/Quad.h"
#include "core/Types.h"
#include "core/Vector2.h"

#include <cstddef>
#include <type_traits>

namespace lv::misc::anim {

struct CClipKeyPoint
{
    s32 Time = 0;              // ms
    CVector2 Position;         // `p`
    float PathPosition = 0;    // `k`: 0..1 along the parent path
    CQuad Corners;             // `py`: corner offsets in the object's own rotated frame
    float Angle = 0;           // `a`, radians
    CColor Color = CColor(0u); // `c`: unlike an item, a key point without colour is (0, 0, 0, 0)
    s32 MirrorFlags = 0;       // `fl`
    s32 EmitFlags = 0;         // `cf`
    u8 Interpolate = 0;        // `itpl`: blend towards the next key point, else hold this state
    u8 Padding[3] = {};
};

static_assert(sizeof(CClipKeyPoint) == 72);
static_assert(offsetof(CClipKeyPoint, Corners) == 16 && offsetof(CClipKeyPoint, Color) == 52);
static_assert(offsetof(CClipKeyPoint, Interpolate) == 68);
static_assert(std::is_trivially_copyable_v<CClipKeyPoint>);

} // namespace lv::misc::anim
