#include "core/TimeSource.h"

#include "core/Log.h"
#include "platform/Clock.h"

namespace lv::core {

namespace {

CTimeSource::Clock& ProcessClock()
{
    static CTimeSource::Clock clock;
    return clock;
}

} // namespace

CTimeSource::CTimeSource(Clock clock) : m_Clock(clock ? std::move(clock) : ProcessClock()) {}

void CTimeSource::SetProcessClock(Clock clock)
{
    ProcessClock() = std::move(clock);
}

double CTimeSource::Read() const
{
    return m_Clock ? m_Clock() : lv::platform::MonotonicMs();
}

void CTimeSource::Start()
{
    m_Start = Read();
    // The monotonic clock always has millisecond resolution here; no processor-counter fallback
    // is ever needed.
    CLog::Instance().Print("core", 1, "Time system choose multimedia timer");
}

double CTimeSource::GetElapsedMs() const
{
    return Read() - m_Start;
}

} // namespace lv::core
