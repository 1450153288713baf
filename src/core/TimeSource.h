#pragma once
// The clock under the time system: milliseconds elapsed since the time system started, with
// sub-millisecond resolution, from the monotonic clock or from a clock given by a test.
#include "core/Types.h"

#include <functional>

namespace lv::core {

class CTimeSource
{
public:
    // Reads a clock in milliseconds; only differences between readings matter.
    using Clock = std::function<double()>;

    // Without a clock the process clock is used: the system's monotonic clock unless one was set.
    explicit CTimeSource(Clock clock = {});

    // The clock that sources made from now on without one read in place of the monotonic clock
    // (a test that drives the whole program frame by frame sets it before the process's time
    // system is first used); empty restores the monotonic clock. Sources made earlier keep theirs.
    static void SetProcessClock(Clock clock);

    // Takes the start reading and writes which clock was chosen to the log.
    void Start();
    // Milliseconds since Start.
    double GetElapsedMs() const;

private:
    double Read() const;

    Clock m_Clock;
    double m_Start = 0.0;
};

} // namespace lv::core
