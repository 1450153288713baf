#pragma once
// Background tasks on a fixed set of worker threads. The pool never owns or deletes a task; a
// task that returns true from Run is queued again under the same id, so one id follows a task
// through all its runs until it returns false or is cancelled.
#include "core/CriticalSection.h"
#include "core/Event.h"
#include "core/Thread.h"
#include "core/Types.h"
#include "core/WorkerState.h"

#include <atomic>
#include <deque>
#include <memory>
#include <set>
#include <vector>

namespace lv::mt {

class CThreadPool
{
public:
    class CTask
    {
    public:
        // Runs once on a worker. Long work polls CThreadPool::IsStopRequested(state) and gives up
        // early. Returning true asks for another run under the same id.
        virtual bool Run(CWorkerState& state) = 0;

    protected:
        ~CTask() = default;
    };

    // Results of GetTaskStatus.
    static constexpr s32 kStatusFinished = 0; // finished, cancelled or never known
    static constexpr s32 kStatusRunning = 1;
    static constexpr s32 kStatusQueued = 2;
    static constexpr s32 kStatusLockFailed = 3;

    static constexpr s32 kMaxQueued = 10;

    // The process-wide pool: Create makes it (one worker per processor) when there is none,
    // Destroy stops and deletes it.
    static CThreadPool* Create();
    static CThreadPool* Instance();
    static void Destroy();

    // A pool of its own; the application uses the process-wide one.
    explicit CThreadPool(s32 workerCount);
    ~CThreadPool();
    CThreadPool(const CThreadPool&) = delete;
    CThreadPool& operator=(const CThreadPool&) = delete;

    // Starts the workers; false when already running or a thread does not start (the workers
    // started so far are stopped again).
    bool Start();
    // Stops every worker, waiting for its current task, and drops the queued tasks. False when
    // not running or a worker cannot be joined.
    bool Stop();
    bool IsRunning() const { return m_Running.load(); }
    s32 GetWorkerCount() const { return m_WorkerCount.load(); }

    // Queues a task under a new id; -1 for a null task or a full queue (the caller keeps it).
    s32 Enqueue(CTask* task);
    // Queues a task under the given id; the id, or -1 when the queue is full.
    s32 Push(CTask* task, s32 id);
    // kStatusQueued, kStatusRunning, kStatusFinished, or kStatusLockFailed.
    s32 GetTaskStatus(s32 id);
    // Removes a queued task, or asks the worker that runs it to stop (the task is then not run
    // again). True also when the id is unknown; false only when a lock fails.
    bool Cancel(s32 id);
    // Polls the status every millisecond until the task has finished (true) or a lock failed.
    bool Wait(s32 id);

    // The stop or the cancel request of the worker is set.
    static bool IsStopRequested(const CWorkerState& state);

    // Resize the pool; removed workers are the last ones and end after their current task.
    // False for a count below 1 or when fewer than one worker would remain.
    bool AddWorkers(s32 count);
    bool RemoveWorkers(s32 count);

private:
    struct CEntry
    {
        CTask* m_Task = nullptr;
        s32 m_Id = -1;
    };
    struct CWorker
    {
        std::unique_ptr<CWorkerState> m_State;
        std::unique_ptr<CThread> m_Thread;
    };

    static u32 WorkerProc(void* userData);
    bool CreateWorker(s32 index);
    bool TakeTask(CWorkerState& state, CEntry& entry);
    void FinishTask(CWorkerState& state, const CEntry& entry, bool runAgain);
    bool JoinAll();
    bool IsRunByWorker(s32 id);

    // Lock A: the queue, and every change of a worker's task id, so that a task is always either
    // queued or recorded as running until it is finished. The queue is short and its storage is
    // reserved once, so queueing a task (every video frame) allocates nothing.
    CCriticalSection m_QueueLock;
    std::vector<CEntry> m_Queue;

    // Lock B: the worker lists. Taken after lock A when both are needed, never the other way.
    CCriticalSection m_WorkerLock;
    std::vector<CWorker> m_Workers;
    // Removed workers that may still be finishing a task; joined when the pool stops.
    std::vector<CWorker> m_Retired;

    CEvent m_Wake;
    std::atomic<s32> m_LastId{-1};
    std::atomic<s32> m_WorkerCount;
    std::atomic<bool> m_Running{false};
};

} // namespace lv::mt
