#pragma once
// Caps the frame rate: a high-priority thread signals an auto-reset event once per frame
// interval and the main loop waits for it at the start of every frame. At most one signal is
// stored, so a slow frame lets the next one start at once but no more than one frame is caught
// up.
#include "core/Event.h"
#include "core/Thread.h"
#include "core/Types.h"

#include <atomic>
#include <functional>
#include <memory>

namespace lv::core {

class CFrameLimiter
{
public:
    // The one limiter of the process.
    static CFrameLimiter& Instance();

    // Microseconds of a clock; only differences matter.
    using ClockUs = std::function<s64()>;
    // Returns once the clock has reached the given reading.
    using WaitUntilUs = std::function<void(s64 deadline)>;

    // On the system's monotonic clock.
    CFrameLimiter();
    // On a given clock and wait (tests drive the limiter's thread with a clock they move by hand).
    CFrameLimiter(ClockUs clock, WaitUntilUs waitUntil);
    ~CFrameLimiter();
    CFrameLimiter(const CFrameLimiter&) = delete;
    CFrameLimiter& operator=(const CFrameLimiter&) = delete;

    // Frames per second; 0, or more than 1000, switches the limit off. A running limiter takes a
    // new rate at its next frame. Switching off waits for the thread to end (up to one frame).
    void SetLimit(u32 framesPerSecond);
    // Blocks until the next frame is due; returns at once when no limit is set.
    void Wait();
    void Stop() { SetLimit(0); }

    // The whole-millisecond interval, 1000 / rate (16 for 60); 0 = no limit.
    u32 GetIntervalMs() const { return m_IntervalMs.load(); }
    bool IsRunning() const { return m_Thread.IsValid(); }

private:
    static u32 ThreadProc(void* userData);

    ClockUs m_Clock;
    WaitUntilUs m_WaitUntil;
    std::atomic<u32> m_IntervalMs{0};
    // The pacing uses the exact interval, so the rate does not drift by the rounding of 1000 / rate.
    std::atomic<s64> m_IntervalUs{0};
    std::unique_ptr<lv::mt::CEvent> m_Event;
    lv::mt::CThread m_Thread;
};

} // namespace lv::core
