#include "platform/Clock.h"

#include <cerrno>
#include <time.h>

namespace lv::platform {

namespace {

timespec Now()
{
    timespec ts{};
    clock_gettime(CLOCK_MONOTONIC, &ts);
    return ts;
}

} // namespace

u32 GetTickCountMs()
{
    const timespec ts = Now();
    const u64 ms = static_cast<u64>(ts.tv_sec) * 1000u + static_cast<u64>(ts.tv_nsec) / 1000000u;
    return static_cast<u32>(ms);
}

double MonotonicMs()
{
    const timespec ts = Now();
    return static_cast<double>(ts.tv_sec) * 1000.0 + static_cast<double>(ts.tv_nsec) / 1.0e6;
}

s64 MonotonicUs()
{
    const timespec ts = Now();
    return static_cast<s64>(ts.tv_sec) * 1000000 + static_cast<s64>(ts.tv_nsec) / 1000;
}

void SleepUs(s64 microseconds)
{
    if (microseconds <= 0)
        return;
    timespec request{};
    request.tv_sec = static_cast<time_t>(microseconds / 1000000);
    request.tv_nsec = static_cast<decltype(request.tv_nsec)>((microseconds % 1000000) * 1000);
    timespec remaining{};
    while (nanosleep(&request, &remaining) != 0 && errno == EINTR)
        request = remaining;
}

} // namespace lv::platform
