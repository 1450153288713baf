#include "platform/SystemInfo.h"

#include <cstdlib>
#include <unistd.h>
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

std::string GetExecutablePath()
{
    char buffer[4096];
    const ssize_t n = ::readlink("/proc/self/exe", buffer, sizeof(buffer));
    // A path that fills the buffer may have been cut.
    if (n <= 0 || static_cast<size_t>(n) >= sizeof(buffer))
        return std::string();
    return std::string(buffer, static_cast<size_t>(n));
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
