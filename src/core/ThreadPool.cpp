#include "core/ThreadPool.h"

#include "core/ThreadUtil.h"
#include "platform/SystemInfo.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>

namespace lv::mt {

namespace {

CThreadPool* s_Instance = nullptr;

// How long an idle worker waits for the wake event before it looks at the queue again.
constexpr u32 kIdleWaitMs = 50;

} // namespace

CThreadPool* CThreadPool::Create()
{
    if (s_Instance == nullptr)
        s_Instance = new CThreadPool(lv::platform::GetProcessorCount());
    return s_Instance;
}

CThreadPool* CThreadPool::Instance()
{
    return s_Instance;
}

void CThreadPool::Destroy()
{
    delete s_Instance;
    s_Instance = nullptr;
}

CThreadPool::CThreadPool(s32 workerCount) : m_WorkerCount(std::max(workerCount, 1))
{
    // Re-queued running tasks may exceed the limit by one per worker.
    m_Queue.reserve(static_cast<size_t>(kMaxQueued + m_WorkerCount.load() + 4));
}

CThreadPool::~CThreadPool()
{
    Stop();
}

bool CThreadPool::CreateWorker(s32 index)
{
    CWorker worker;
    worker.m_State = std::make_unique<CWorkerState>();
    worker.m_State->m_Index = index;
    worker.m_State->m_Pool = this;
    worker.m_Thread = std::make_unique<CThread>();
    if (!worker.m_Thread->Start(&CThreadPool::WorkerProc, worker.m_State.get()))
        return false;
    m_Workers.push_back(std::move(worker));
    return true;
}

bool CThreadPool::Start()
{
    if (m_Running.load())
        return false;
    if (!m_WorkerLock.Enter())
        return false;
    bool started = true;
    const s32 count = m_WorkerCount.load();
    for (s32 i = 0; i < count && started; ++i)
        started = CreateWorker(i);
    m_WorkerLock.Leave();
    if (!started) {
        // Workers left running here would outlive the pool.
        JoinAll();
        return false;
    }
    m_Running = true;
    return true;
}

bool CThreadPool::JoinAll()
{
    // The joins happen outside lock B: a worker may be waiting for lock A, held by a status query
    // that waits for lock B.
    if (!m_WorkerLock.Enter())
        return false;
    std::vector<CWorker> workers = std::move(m_Workers);
    m_Workers.clear();
    for (auto& worker : m_Retired)
        workers.push_back(std::move(worker));
    m_Retired.clear();
    // All stop requests first, so the workers wind down together rather than one by one.
    for (auto& worker : workers)
        worker.m_State->m_Stop = true;
    m_WorkerLock.Leave();
    m_Wake.Set();

    size_t joined = 0;
    while (joined < workers.size() && workers[joined].m_Thread->Join())
        ++joined;
    if (joined == workers.size())
        return true;
    // Stop was called from a worker itself. The workers not joined keep their states; a later
    // Stop from another thread joins them.
    if (m_WorkerLock.Enter()) {
        for (size_t i = joined; i < workers.size(); ++i)
            m_Retired.push_back(std::move(workers[i]));
        m_WorkerLock.Leave();
    } else {
        for (size_t i = joined; i < workers.size(); ++i)
            (void)workers[i].m_State.release(); // leaked rather than freed under a running thread
    }
    return false;
}

bool CThreadPool::Stop()
{
    if (!m_Running.load())
        return false;
    if (!JoinAll())
        return false;
    if (m_QueueLock.Enter()) {
        m_Queue.clear();
        m_QueueLock.Leave();
    }
    m_Running = false;
    return true;
}

s32 CThreadPool::Enqueue(CTask* task)
{
    if (task == nullptr) {
        std::fputs("error can't enqueue empty task\n", stdout);
        return -1;
    }
    return Push(task, AtomicIncrement(m_LastId));
}

s32 CThreadPool::Push(CTask* task, s32 id)
{
    if (task == nullptr)
        return -1;
    if (!m_QueueLock.Enter())
        return -1;
    if (static_cast<s32>(m_Queue.size()) >= kMaxQueued) {
        m_QueueLock.Leave();
        return -1;
    }
    m_Queue.push_back({task, id});
    const bool left = m_QueueLock.Leave();
    if (!m_Wake.Set() || !left)
        return -1;
    return id;
}

bool CThreadPool::IsRunByWorker(s32 id)
{
    for (const auto* list : {&m_Workers, &m_Retired})
        for (const auto& worker : *list)
            if (worker.m_State->m_TaskId.load() == id)
                return true;
    return false;
}

s32 CThreadPool::GetTaskStatus(s32 id)
{
    // Both looks happen under lock A, where every move of a task between the queue and a worker
    // happens, so a task between queue and worker is never seen as finished.
    if (!m_QueueLock.Enter())
        return kStatusLockFailed;
    s32 status = kStatusFinished;
    if (std::any_of(m_Queue.begin(), m_Queue.end(), [id](const CEntry& e) { return e.m_Id == id; })) {
        status = kStatusQueued;
    } else {
        if (!m_WorkerLock.Enter()) {
            m_QueueLock.Leave();
            return kStatusLockFailed;
        }
        if (IsRunByWorker(id))
            status = kStatusRunning;
        if (!m_WorkerLock.Leave())
            status = kStatusLockFailed;
    }
    if (!m_QueueLock.Leave())
        return kStatusLockFailed;
    return status;
}

bool CThreadPool::Cancel(s32 id)
{
    if (!m_QueueLock.Enter())
        return false;
    bool ok = true;
    auto it = std::find_if(m_Queue.begin(), m_Queue.end(), [id](const CEntry& e) { return e.m_Id == id; });
    if (it != m_Queue.end()) {
        m_Queue.erase(it);
    } else if (m_WorkerLock.Enter()) {
        for (auto* list : {&m_Workers, &m_Retired})
            for (auto& worker : *list)
                if (worker.m_State->m_TaskId.load() == id)
                    worker.m_State->m_Cancel = true;
        ok = m_WorkerLock.Leave();
    } else {
        ok = false;
    }
    return m_QueueLock.Leave() && ok;
}

bool CThreadPool::Wait(s32 id)
{
    for (;;) {
        const s32 status = GetTaskStatus(id);
        if (status == kStatusFinished)
            return true;
        if (status == kStatusLockFailed)
            return false;
        SleepMs(1);
    }
}

bool CThreadPool::IsStopRequested(const CWorkerState& state)
{
    return state.m_Stop.load() || state.m_Cancel.load();
}

bool CThreadPool::AddWorkers(s32 count)
{
    if (count < 1)
        return false;
    if (!m_WorkerLock.Enter())
        return false;
    bool ok = true;
    if (m_Running.load()) {
        const s32 first = m_WorkerCount.load();
        for (s32 i = 0; i < count && ok; ++i) {
            ok = CreateWorker(first + i);
            if (ok)
                ++m_WorkerCount;
        }
    } else {
        m_WorkerCount += count;
    }
    return m_WorkerLock.Leave() && ok;
}

bool CThreadPool::RemoveWorkers(s32 count)
{
    if (count < 1)
        return false;
    if (!m_WorkerLock.Enter())
        return false;
    if (count >= m_WorkerCount.load()) {
        m_WorkerLock.Leave();
        return false;
    }
    if (m_Running.load()) {
        for (s32 i = 0; i < count; ++i) {
            CWorker worker = std::move(m_Workers.back());
            m_Workers.pop_back();
            worker.m_State->m_Stop = true;
            m_Retired.push_back(std::move(worker));
        }
        m_Wake.Set();
    }
    m_WorkerCount -= count;
    return m_WorkerLock.Leave();
}

bool CThreadPool::TakeTask(CWorkerState& state, CEntry& entry)
{
    if (!m_QueueLock.Enter())
        std::abort();
    const bool taken = !m_Queue.empty();
    bool more = false;
    if (taken) {
        entry = m_Queue.front();
        m_Queue.erase(m_Queue.begin());
        // Recorded before the lock goes, so the task never looks finished in between.
        state.m_Cancel = false;
        state.m_TaskId = entry.m_Id;
        more = !m_Queue.empty();
    }
    if (!m_QueueLock.Leave())
        std::abort();
    // The event stores one signal however many tasks were queued; pass it on to the next worker.
    if (more && !m_Wake.Set())
        std::abort();
    return taken;
}

void CThreadPool::FinishTask(CWorkerState& state, const CEntry& entry, bool runAgain)
{
    if (!m_QueueLock.Enter())
        std::abort();
    // A cancelled task is not run again. The re-queue of a running task does not count against
    // the queue's limit: dropping it would end the task's runs while Wait reported success.
    const bool requeue = runAgain && !state.m_Cancel.load();
    if (requeue) {
        m_Queue.push_back(entry);
    }
    state.m_TaskId = -1;
    if (!m_QueueLock.Leave())
        std::abort();
    if (requeue && !m_Wake.Set())
        std::abort();
}

u32 CThreadPool::WorkerProc(void* userData)
{
    CWorkerState& state = *static_cast<CWorkerState*>(userData);
    CThreadPool& pool = *state.m_Pool;
    while (!state.m_Stop.load()) {
        CEntry entry;
        if (!pool.TakeTask(state, entry)) {
            if (pool.m_Wake.WaitTimeout(kIdleWaitMs) == 0)
                std::abort();
            continue;
        }
        if (state.m_Stop.load()) {
            // Stopping: the task taken meanwhile is dropped, neither run nor queued again.
            pool.FinishTask(state, entry, false);
            break;
        }
        const bool runAgain = entry.m_Task->Run(state);
        pool.FinishTask(state, entry, runAgain);
    }
    // A stop wakes one idle worker; pass the signal on so the others need not wait out their idle
    // wait.
    pool.m_Wake.Set();
    return 0;
}

} // namespace lv::mt
