#pragma once
// The system's monotonic clock and sleeping. The clock never jumps with the wall-clock time.
#include "core/Types.h"

namespace lv::platform {

// Milliseconds of a monotonic clock, wrapping at 2^32 like the Windows tick count; differences
// taken with unsigned subtraction stay right across the wrap.
u32 GetTickCountMs();

// Milliseconds on the same clock with sub-millisecond resolution, not wrapping. The zero point
// is arbitrary; only differences mean anything.
double MonotonicMs();

// Microseconds on the same clock.
s64 MonotonicUs();

// Sleeps at least the given time (restarted after a signal interrupts it).
void SleepUs(s64 microseconds);

} // namespace lv::platform
