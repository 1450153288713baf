#include "core/Random.h"

#include <atomic>

namespace {

// Linear congruential generator; the value is bits 16..30 of the state. Seed 1 until seeded.
std::atomic<u32> g_State{1};

u32 Step(u32 state)
{
    return state * 214013u + 2531011u;
}

} // namespace

void SeedRandom(u32 seed)
{
    g_State.store(seed, std::memory_order_relaxed);
}

s32 RandomInt()
{
    u32 state = g_State.load(std::memory_order_relaxed);
    u32 next = Step(state);
    while (!g_State.compare_exchange_weak(state, next, std::memory_order_relaxed))
        next = Step(state);
    return static_cast<s32>((next >> 16) & 0x7FFF);
}
