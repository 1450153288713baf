#include "platform/MessageBox.h"

#include "platform/Display.h"

#include <SDL.h>

#include <cstdio>

namespace lv::platform {

int ShowSystemMessageBox(const char* caption, const char* text)
{
    const char* c = caption ? caption : "";
    const char* t = text ? text : "";
    // SDL shows a box without its video subsystem running; it fails when no window system
    // answers, and the text then goes where a terminal user sees it.
    if (HasDisplay() && SDL_ShowSimpleMessageBox(SDL_MESSAGEBOX_INFORMATION, c, t, nullptr) == 0)
        return kIdOk;
    std::fprintf(stderr, "%s: %s\n", c, t);
    std::fflush(stderr);
    return kIdOk;
}

} // namespace lv::platform
