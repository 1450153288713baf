#pragma once
// The display's modes and the desktop's size, for the window layer and the device layer alike.
// SDL's offscreen drivers have no screen and report a small 1024 x 768 display, which would
// squeeze every window; there a common desktop size stands in for the display and is its only
// mode, so that a full-screen request at the desktop size finds its mode.
#include "core/Types.h"

#include <vector>

namespace lv::platform {

struct SDisplayMode
{
    s32 Width = 0;
    s32 Height = 0;
    s32 RefreshRate = 0;
    // As Windows counts them: a 24-bit colour format in 4 bytes is a 32-bit mode.
    u32 BitsPerPixel = 32;
};

// True when SDL's video runs on an offscreen or dummy driver.
bool IsOffscreenVideo();
// The desktop's mode on a display. False while SDL's video is not running.
bool GetDesktopMode(SDisplayMode& mode, s32 display = 0);
// The first display's modes of at least 24 bits, in the system's order; the desktop mode alone
// when the system lists none. Empty while SDL's video is not running.
std::vector<SDisplayMode> GetDisplayModes();
// The desktop's area that windows may use (without panels), in screen coordinates.
bool GetUsableBounds(s32& x, s32& y, s32& width, s32& height);

} // namespace lv::platform
