#include "platform/Clock.h"

#include <time.h>

namespace lv::platform {

u32 GetTickCountMs()
{
    timespec ts{};
    clock_gettime(CLOCK_MONOTONIC, &ts);
    const u64 ms = static_cast<u64>(ts.tv_sec) * 1000u + static_cast<u64>(ts.tv_nsec) / 1000000u;
    return static_cast<u32>(ms);
}

} // namespace lv::platform
