#include "core/ThreadPool.h"
#include "core/Event.h"
#include "core/ThreadUtil.h"

#include <gtest/gtest.h>

#include <array>
#include <atomic>
#include <vector>

using lv::mt::CEvent;
using lv::mt::CThreadPool;
using lv::mt::CWorkerState;

namespace {

// Counts its runs and asks to run again until it has run `runs` times.
class CCountingTask final : public CThreadPool::CTask
{
public:
    explicit CCountingTask(int runs = 1) : m_Runs(runs) {}
    bool Run(CWorkerState&) override { return ++m_Count < m_Runs; }
    int Count() const { return m_Count.load(); }

private:
    int m_Runs;
    std::atomic<int> m_Count{0};
};

// Runs until released by the test (or until a stop is requested), then asks for `again` more runs.
class CGatedTask final : public CThreadPool::CTask
{
public:
    explicit CGatedTask(int again = 0) : m_Again(again) {}
    bool Run(CWorkerState& state) override
    {
        ++m_Count;
        m_Started.Set();
        if (m_Count.load() == 1)
            while (!CThreadPool::IsStopRequested(state) && m_Release.WaitTimeout(1) != 1) {
            }
        return m_Count.load() <= m_Again;
    }
    void WaitStarted() { m_Started.Wait(); }
    void Release() { m_Release.Set(); }
    int Count() const { return m_Count.load(); }

private:
    int m_Again;
    std::atomic<int> m_Count{0};
    CEvent m_Started;
    CEvent m_Release;
};

} // namespace

TEST(ThreadPool, QueueHoldsTenTasksAndGivesIdsInOrder)
{
    CThreadPool pool(2); // not started: everything stays queued
    std::array<CCountingTask, 11> tasks;
    for (s32 i = 0; i < 10; ++i) {
        EXPECT_EQ(pool.Enqueue(&tasks[i]), i);
        EXPECT_EQ(pool.GetTaskStatus(i), CThreadPool::kStatusQueued);
    }
    EXPECT_EQ(pool.Enqueue(&tasks[10]), -1);
    EXPECT_EQ(pool.Push(&tasks[10], 99), -1);
    EXPECT_EQ(pool.GetTaskStatus(99), CThreadPool::kStatusFinished);

    testing::internal::CaptureStdout();
    EXPECT_EQ(pool.Enqueue(nullptr), -1);
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "error can't enqueue empty task\n");
}

TEST(ThreadPool, CancelRemovesQueuedTaskAndAcceptsUnknownIds)
{
    CThreadPool pool(1);
    CCountingTask kept1, cancelled, kept2;
    const s32 a = pool.Enqueue(&kept1);
    const s32 b = pool.Enqueue(&cancelled);
    const s32 c = pool.Enqueue(&kept2);
    EXPECT_TRUE(pool.Cancel(b));
    EXPECT_EQ(pool.GetTaskStatus(b), CThreadPool::kStatusFinished);
    EXPECT_EQ(pool.GetTaskStatus(a), CThreadPool::kStatusQueued);
    EXPECT_TRUE(pool.Cancel(12345));
    EXPECT_EQ(pool.GetTaskStatus(12345), CThreadPool::kStatusFinished);

    ASSERT_TRUE(pool.Start());
    EXPECT_TRUE(pool.Wait(a));
    EXPECT_TRUE(pool.Wait(c));
    EXPECT_EQ(kept1.Count(), 1);
    EXPECT_EQ(kept2.Count(), 1);
    EXPECT_EQ(cancelled.Count(), 0);
}

TEST(ThreadPool, RepeatingTaskRunsUnderOneIdUntilItSaysNo)
{
    CThreadPool pool(2);
    ASSERT_TRUE(pool.Start());
    CCountingTask task(4); // returns true three times
    const s32 id = pool.Enqueue(&task);
    ASSERT_GE(id, 0);
    EXPECT_TRUE(pool.Wait(id));
    EXPECT_EQ(task.Count(), 4);
    EXPECT_EQ(pool.GetTaskStatus(id), CThreadPool::kStatusFinished);
}

TEST(ThreadPool, RunningTaskIsQueuedAgainEvenWhenTheQueueIsFull)
{
    CThreadPool pool(1);
    ASSERT_TRUE(pool.Start());
    CGatedTask repeating(1); // asks for one more run
    const s32 id = pool.Enqueue(&repeating);
    repeating.WaitStarted();
    EXPECT_EQ(pool.GetTaskStatus(id), CThreadPool::kStatusRunning);

    std::array<CCountingTask, 10> fillers;
    for (auto& filler : fillers)
        ASSERT_GE(pool.Enqueue(&filler), 0);
    CCountingTask extra;
    EXPECT_EQ(pool.Enqueue(&extra), -1); // the queue is full for new tasks

    repeating.Release();
    EXPECT_TRUE(pool.Wait(id));
    EXPECT_EQ(repeating.Count(), 2);
}

TEST(ThreadPool, CancelOfRunningTaskStopsItWithoutAnotherRun)
{
    CThreadPool pool(1);
    ASSERT_TRUE(pool.Start());
    CGatedTask task(5); // would ask to run again, but is never released
    const s32 id = pool.Enqueue(&task);
    task.WaitStarted();
    EXPECT_EQ(pool.GetTaskStatus(id), CThreadPool::kStatusRunning);
    EXPECT_TRUE(pool.Cancel(id));
    EXPECT_TRUE(pool.Wait(id));
    EXPECT_EQ(task.Count(), 1);

    // The cancel request ends with that task: the next one runs normally.
    CCountingTask next(2);
    EXPECT_TRUE(pool.Wait(pool.Enqueue(&next)));
    EXPECT_EQ(next.Count(), 2);
}

TEST(ThreadPool, WaitNeverReturnsBeforeTheTaskRan)
{
    // A task taken from the queue must be reported running until it has run, also between runs.
    class CFlagTask final : public CThreadPool::CTask
    {
    public:
        bool Run(CWorkerState&) override { return ++m_Runs < m_Wanted; }
        std::atomic<int> m_Runs{0};
        int m_Wanted = 1;
    };
    CThreadPool pool(4);
    ASSERT_TRUE(pool.Start());
    constexpr int kBatch = 5;
    std::array<CFlagTask, kBatch> tasks;
    std::array<s32, kBatch> ids{};
    int pairs = 0;
    for (int round = 0; pairs < 10000; ++round) {
        // One task right after its enqueue, then a few at once; every fourth round repeats.
        const int count = 1 + round % kBatch;
        for (int i = 0; i < count; ++i) {
            tasks[i].m_Runs = 0;
            tasks[i].m_Wanted = round % 4 == 0 ? 3 : 1;
            ids[i] = pool.Enqueue(&tasks[i]);
            ASSERT_GE(ids[i], 0);
        }
        for (int i = 0; i < count; ++i, ++pairs) {
            ASSERT_TRUE(pool.Wait(ids[i]));
            ASSERT_EQ(tasks[i].m_Runs.load(), tasks[i].m_Wanted) << "round " << round;
        }
    }
}

TEST(ThreadPool, StartStopAndQueuedTasksDroppedOnStop)
{
    CThreadPool pool(2);
    EXPECT_FALSE(pool.Stop()); // not running
    ASSERT_TRUE(pool.Start());
    EXPECT_TRUE(pool.IsRunning());
    EXPECT_FALSE(pool.Start());

    // Keep both workers busy so the third task stays queued.
    CGatedTask busy1, busy2;
    pool.Enqueue(&busy1);
    pool.Enqueue(&busy2);
    busy1.WaitStarted();
    busy2.WaitStarted();
    CCountingTask queued;
    const s32 id = pool.Enqueue(&queued);
    EXPECT_EQ(pool.GetTaskStatus(id), CThreadPool::kStatusQueued);
    EXPECT_TRUE(pool.Stop()); // the busy tasks see the stop request and end
    EXPECT_FALSE(pool.IsRunning());
    EXPECT_EQ(pool.GetTaskStatus(id), CThreadPool::kStatusFinished);
    EXPECT_EQ(queued.Count(), 0);

    ASSERT_TRUE(pool.Start()); // a stopped pool starts again
    CCountingTask after;
    EXPECT_TRUE(pool.Wait(pool.Enqueue(&after)));
    EXPECT_EQ(after.Count(), 1);
}

TEST(ThreadPool, ResizingKeepsAtLeastOneWorkerAndFinishesTasksOfRemovedWorkers)
{
    CThreadPool pool(1);
    EXPECT_FALSE(pool.RemoveWorkers(1));
    EXPECT_FALSE(pool.AddWorkers(0));
    EXPECT_FALSE(pool.RemoveWorkers(0));
    EXPECT_TRUE(pool.AddWorkers(1));
    EXPECT_EQ(pool.GetWorkerCount(), 2);
    ASSERT_TRUE(pool.Start());

    // Occupy both workers, then remove one while its task still runs. Which worker took which
    // task is up to the scheduler.
    CGatedTask first, second;
    const s32 firstId = pool.Enqueue(&first);
    first.WaitStarted();
    const s32 secondId = pool.Enqueue(&second);
    second.WaitStarted();
    EXPECT_TRUE(pool.RemoveWorkers(1));
    EXPECT_EQ(pool.GetWorkerCount(), 1);
    // The removed worker's task sees the stop request and ends; the other one goes on running.
    while (pool.GetTaskStatus(firstId) != CThreadPool::kStatusFinished &&
           pool.GetTaskStatus(secondId) != CThreadPool::kStatusFinished)
        lv::mt::SleepMs(1);
    const bool firstEnded = pool.GetTaskStatus(firstId) == CThreadPool::kStatusFinished;
    const s32 survivorId = firstEnded ? secondId : firstId;
    EXPECT_EQ(pool.GetTaskStatus(survivorId), CThreadPool::kStatusRunning);
    (firstEnded ? second : first).Release();
    EXPECT_TRUE(pool.Wait(survivorId));

    EXPECT_TRUE(pool.AddWorkers(2));
    EXPECT_EQ(pool.GetWorkerCount(), 3);
    std::array<CCountingTask, 6> tasks;
    std::vector<s32> ids;
    for (auto& task : tasks)
        ids.push_back(pool.Enqueue(&task));
    for (s32 id : ids)
        EXPECT_TRUE(pool.Wait(id));
    for (auto& task : tasks)
        EXPECT_EQ(task.Count(), 1);
}

TEST(ThreadPool, ProcessWidePoolIsCreatedOnceAndDestroyed)
{
    EXPECT_EQ(CThreadPool::Instance(), nullptr);
    CThreadPool* pool = CThreadPool::Create();
    ASSERT_NE(pool, nullptr);
    EXPECT_EQ(CThreadPool::Create(), pool);
    EXPECT_EQ(CThreadPool::Instance(), pool);
    EXPECT_GE(pool->GetWorkerCount(), 1);
    EXPECT_TRUE(pool->Start());
    CCountingTask task;
    EXPECT_TRUE(pool->Wait(pool->Enqueue(&task)));
    CThreadPool::Destroy();
    EXPECT_EQ(CThreadPool::Instance(), nullptr);
}
