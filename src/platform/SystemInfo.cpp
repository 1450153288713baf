#include "platform/SystemInfo.h"

#include <cstdlib>
#include <thread>

namespace lv::platform {

s32 GetProcessorCount()
{
    const unsigned n = std::thread::hardware_concurrency();
    return n == 0 ? 1 : static_cast<s32>(n);
}

std::string GetEnvironmentValue(const char* name)
{
    const char* v = name ? std::getenv(name) : nullptr;
    return v ? std::string(v) : std::string();
}

void SetEnvironmentValue(const char* name, const char* value)
{
    if (!name || !*name)
        return;
    if (value)
        ::setenv(name, value, 1);
    else
        ::unsetenv(name);
}

} // namespace lv::platform
