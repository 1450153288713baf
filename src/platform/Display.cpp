#include "platform/Display.h"

#include <cstdlib>
#include <cstring>
#include <strings.h>

namespace lv::platform {

bool HasDisplay()
{
    const char* driver = std::getenv("SDL_VIDEODRIVER");
    if (driver && (::strcasecmp(driver, "offscreen") == 0 || ::strcasecmp(driver, "dummy") == 0))
        return false;
    const char* x11 = std::getenv("DISPLAY");
    const char* wayland = std::getenv("WAYLAND_DISPLAY");
    return (x11 && *x11) || (wayland && *wayland);
}

} // namespace lv::platform
