#pragma once
// The process-wide pseudo-random generator. Values lie in 0..32767, whatever the platform's
// own rand() would give; the application seeds it once at start-up with the current time.
#include "core/Types.h"

inline constexpr s32 kRandomMax = 32767;

void SeedRandom(u32 seed);
// The next value, 0..kRandomMax.
s32 RandomInt();
