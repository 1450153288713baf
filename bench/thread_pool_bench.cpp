// Round trip of one small task through the thread pool: Enqueue, then Wait until it has run.
#include "core/ThreadPool.h"

#include <benchmark/benchmark.h>

namespace {

class CNopTask final : public lv::mt::CThreadPool::CTask
{
public:
    bool Run(lv::mt::CWorkerState&) override { return false; }
};

void BM_EnqueueWait(benchmark::State& state)
{
    lv::mt::CThreadPool pool(static_cast<s32>(state.range(0)));
    pool.Start();
    CNopTask task;
    for (auto _ : state)
        pool.Wait(pool.Enqueue(&task));
    pool.Stop();
}

} // namespace

BENCHMARK(BM_EnqueueWait)->Arg(1)->Arg(4)->UseRealTime();
