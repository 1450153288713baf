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

    // Without a clock the system's monotonic clock is used.
    explicit CTimeSource(Clock clock = {});

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
