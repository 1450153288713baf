#pragma once
// The arithmetic shared by timers and timer groups: counted pauses, whole-number speeds and
// millisecond steps.
#include "core/Types.h"

#include <cmath>

namespace lv::core::timer_math {

// A counted pause: true adds one (stopping at the counter's limit, so a long run of pauses can
// never wrap round to "running"), false takes one away while above 0.
inline u8 CountPause(u8 counter, bool pause)
{
    if (pause)
        return counter == 0xFF ? counter : static_cast<u8>(counter + 1);
    return counter == 0 ? counter : static_cast<u8>(counter - 1);
}

// Speeds are whole numbers: the value is cut towards zero and held to the signed byte's range
// (a NaN stops the timer).
inline s8 SpeedFromFloat(float speed)
{
    if (std::isnan(speed))
        return 0;
    const float whole = std::trunc(speed);
    if (whole >= 127.0f)
        return 127;
    if (whole <= -128.0f)
        return -128;
    return static_cast<s8>(whole);
}

// delta × speed, held to the s32 range.
inline s32 ScaleDelta(s32 delta, s8 speed)
{
    const s64 scaled = static_cast<s64>(delta) * speed;
    if (scaled > 0x7FFFFFFF)
        return 0x7FFFFFFF;
    if (scaled < -0x7FFFFFFF - 1)
        return -0x7FFFFFFF - 1;
    return static_cast<s32>(scaled);
}

// Accumulated time wraps like a 32-bit counter after about 24 days instead of overflowing.
inline s32 AddTime(s32 time, s32 delta)
{
    return static_cast<s32>(static_cast<u32>(time) + static_cast<u32>(delta));
}

} // namespace lv::core::timer_math
