// Achieved frame rate of the frame limiter: 120 waits at 60 frames per second should take
// 1.9 to 2.1 seconds on an idle machine. The "fps" counter gives the rate seen by the waiting
// loop; "worst_frame_ms" the longest single wait after the first.
#include "core/FrameLimiter.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>

namespace {

void BM_FrameLimiter(benchmark::State& state)
{
    const auto rate = static_cast<u32>(state.range(0));
    constexpr int kFrames = 120;
    lv::core::CFrameLimiter limiter;
    limiter.SetLimit(rate);
    limiter.Wait(); // the first tick only lines the loop up with the limiter
    double seconds = 0;
    double worst = 0;
    for (auto _ : state) {
        const auto start = std::chrono::steady_clock::now();
        auto last = start;
        for (int i = 0; i < kFrames; ++i) {
            limiter.Wait();
            const auto now = std::chrono::steady_clock::now();
            worst = std::max(worst, std::chrono::duration<double, std::milli>(now - last).count());
            last = now;
        }
        seconds += std::chrono::duration<double>(last - start).count();
    }
    limiter.Stop();
    state.counters["fps"] = static_cast<double>(kFrames) * static_cast<double>(state.iterations()) / seconds;
    state.counters["seconds_per_120"] = seconds / static_cast<double>(state.iterations());
    state.counters["worst_frame_ms"] = worst;
}

} // namespace

BENCHMARK(BM_FrameLimiter)->Arg(60)->Arg(30)->Iterations(2)->Unit(benchmark::kMillisecond)->UseRealTime();
