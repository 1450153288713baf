#include "core/FrameLimiter.h"

#include "platform/Clock.h"
#include "platform/ThreadPriority.h"

#include <thread>

namespace lv::core {

namespace {

// The thread sleeps until this long before the deadline and then spins (yielding) the rest,
// since a sleep may end late by the scheduler's wake-up latency.
constexpr s64 kSpinUs = 500;

void WaitUntilMonotonic(s64 deadline)
{
    const s64 now = lv::platform::MonotonicUs();
    if (deadline - now > kSpinUs)
        lv::platform::SleepUs(deadline - now - kSpinUs);
    while (lv::platform::MonotonicUs() < deadline)
        std::this_thread::yield();
}

CFrameLimiter s_FrameLimiter;

} // namespace

CFrameLimiter::CFrameLimiter() : CFrameLimiter(&lv::platform::MonotonicUs, &WaitUntilMonotonic) {}

CFrameLimiter::CFrameLimiter(ClockUs clock, WaitUntilUs waitUntil)
    : m_Clock(std::move(clock)), m_WaitUntil(std::move(waitUntil))
{
}

CFrameLimiter& CFrameLimiter::Instance()
{
    return s_FrameLimiter;
}

CFrameLimiter::~CFrameLimiter()
{
    Stop();
}

void CFrameLimiter::SetLimit(u32 framesPerSecond)
{
    const u32 intervalMs = framesPerSecond == 0 ? 0 : 1000 / framesPerSecond;
    if (intervalMs != 0) {
        m_IntervalUs = 1000000 / static_cast<s64>(framesPerSecond);
        m_IntervalMs = intervalMs;
        if (!m_Event)
            m_Event = std::make_unique<lv::mt::CEvent>();
        if (m_Thread.IsValid())
            return; // the thread picks the new interval up at its next turn
        if (!m_Thread.Start(&CFrameLimiter::ThreadProc, this)) {
            // Nothing would ever signal the event: run unlimited rather than hang in Wait.
            m_IntervalMs = 0;
            m_IntervalUs = 0;
            m_Event.reset();
        }
        return;
    }
    m_IntervalMs = 0;
    m_IntervalUs = 0;
    if (m_Thread.IsValid()) {
        m_Thread.Join();
        m_Thread.Close();
    }
    m_Event.reset();
}

void CFrameLimiter::Wait()
{
    if (m_Event)
        m_Event->Wait();
}

u32 CFrameLimiter::ThreadProc(void* userData)
{
    CFrameLimiter& self = *static_cast<CFrameLimiter*>(userData);
    lv::platform::RaiseCurrentThreadPriority(); // a refusal only makes the ticks less regular
    // The deadline advances by whole intervals, so lateness in one frame does not carry over
    // into the rate.
    s64 deadline = self.m_Clock();
    for (;;) {
        const s64 interval = self.m_IntervalUs.load();
        if (interval == 0)
            break;
        deadline += interval;
        const s64 now = self.m_Clock();
        if (now - deadline > interval)
            deadline = now; // far behind (the process was stopped): start afresh, no burst
        self.m_WaitUntil(deadline);
        self.m_Event->Set();
    }
    return 0;
}

} // namespace lv::core
