#pragma once
// The window behind an HWND: an SDL window. The application's platform layer creates its main
// window here; tests create hidden ones under SDL's offscreen video driver.
#include "platform/WinTypes.h"

struct SDL_Window;

struct HWND__
{
    SDL_Window* Window = nullptr;
};

namespace lv::platform {

// Creates an OpenGL-capable SDL window (brings up SDL's video subsystem, which the matching
// DestroySdlWindow takes down again). openGl false makes a window that no device can use.
// Null on failure, with a log line.
HWND CreateSdlWindow(const char* title, int width, int height, bool visible, bool openGl = true);
void DestroySdlWindow(HWND window);

inline SDL_Window* GetSdlWindow(HWND window) { return window ? window->Window : nullptr; }

} // namespace lv::platform
