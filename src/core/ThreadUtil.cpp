#include "core/ThreadUtil.h"

#include "platform/Clock.h"

namespace lv::mt {

void SleepMs(u32 ms)
{
    lv::platform::SleepUs(static_cast<s64>(ms) * 1000);
}

} // namespace lv::mt
