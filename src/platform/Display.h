#pragma once
// Whether the program runs where a user can see windows.

namespace lv::platform {

// True when a window system is named in the environment (DISPLAY or WAYLAND_DISPLAY) and SDL
// is not told to draw offscreen (SDL_VIDEODRIVER "offscreen" or "dummy").
bool HasDisplay();

} // namespace lv::platform
