#pragma once
// Small helpers for code that shares counters between threads or waits.
#include "core/Types.h"

#include <atomic>

namespace lv::mt {

// Adds 1 and returns the new value, as one indivisible step.
inline s32 AtomicIncrement(std::atomic<s32>& value)
{
    // Unsigned arithmetic so the step past the largest value wraps instead of overflowing.
    return static_cast<s32>(static_cast<u32>(value.fetch_add(1)) + 1u);
}

// Gives the processor away for at least the given time.
void SleepMs(u32 ms);

} // namespace lv::mt
