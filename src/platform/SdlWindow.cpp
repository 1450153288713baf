#include "platform/SdlWindow.h"

#include "platform/PlatformLog.h"
#include "platform/d3d9/DriverAllocations.h"

#include <SDL.h>

namespace lv::platform {

HWND CreateSdlWindow(const char* title, int width, int height, bool visible, bool openGl)
{
    if (SDL_InitSubSystem(SDL_INIT_VIDEO) != 0) {
        Log("graphics", 3, "SDL video initialisation failed: %s", SDL_GetError());
        return nullptr;
    }
    Uint32 flags = visible ? SDL_WINDOW_SHOWN : SDL_WINDOW_HIDDEN;
    if (openGl)
        flags |= SDL_WINDOW_OPENGL;
    SDL_Window* sdl = nullptr;
    {
        // An OpenGL window loads the driver, which keeps some allocations for good.
        const CDriverAllocations driver;
        sdl = SDL_CreateWindow(title, SDL_WINDOWPOS_UNDEFINED, SDL_WINDOWPOS_UNDEFINED, width, height, flags);
    }
    if (!sdl) {
        Log("graphics", 3, "SDL_CreateWindow failed: %s", SDL_GetError());
        SDL_QuitSubSystem(SDL_INIT_VIDEO);
        return nullptr;
    }
    return new HWND__{sdl};
}

void DestroySdlWindow(HWND window)
{
    if (!window)
        return;
    SDL_DestroyWindow(window->Window);
    delete window;
    SDL_QuitSubSystem(SDL_INIT_VIDEO);
}

} // namespace lv::platform
