#include "platform/DisplayModes.h"

#include <SDL.h>

#include <cstring>

namespace lv::platform {
namespace {

constexpr SDisplayMode kOffscreenDesktop{1920, 1080, 60, 32};

SDisplayMode FromSdl(const SDL_DisplayMode& mode)
{
    return SDisplayMode{mode.w, mode.h, mode.refresh_rate, static_cast<u32>(SDL_BYTESPERPIXEL(mode.format) * 8)};
}

} // namespace

bool IsOffscreenVideo()
{
    const char* driver = SDL_GetCurrentVideoDriver();
    return driver && (std::strcmp(driver, "offscreen") == 0 || std::strcmp(driver, "dummy") == 0);
}

bool GetDesktopMode(SDisplayMode& mode, s32 display)
{
    if (SDL_WasInit(SDL_INIT_VIDEO) == 0)
        return false;
    if (IsOffscreenVideo()) {
        mode = kOffscreenDesktop;
        return true;
    }
    SDL_DisplayMode sdl{};
    if (SDL_GetDesktopDisplayMode(display < 0 ? 0 : display, &sdl) != 0 || sdl.w <= 0 || sdl.h <= 0)
        return false;
    mode = FromSdl(sdl);
    return true;
}

std::vector<SDisplayMode> GetDisplayModes()
{
    std::vector<SDisplayMode> modes;
    if (SDL_WasInit(SDL_INIT_VIDEO) == 0)
        return modes;
    if (IsOffscreenVideo()) {
        modes.push_back(kOffscreenDesktop);
        return modes;
    }
    const int count = SDL_GetNumDisplayModes(0);
    for (int i = 0; i < count; ++i) {
        SDL_DisplayMode mode{};
        if (SDL_GetDisplayMode(0, i, &mode) != 0 || mode.w <= 0 || mode.h <= 0)
            continue;
        if (mode.format != SDL_PIXELFORMAT_UNKNOWN && SDL_BITSPERPIXEL(mode.format) < 24)
            continue;
        modes.push_back(FromSdl(mode));
        if (mode.format == SDL_PIXELFORMAT_UNKNOWN)
            modes.back().BitsPerPixel = 32;
    }
    SDisplayMode desktop;
    if (modes.empty() && GetDesktopMode(desktop))
        modes.push_back(desktop);
    return modes;
}

bool GetUsableBounds(s32& x, s32& y, s32& width, s32& height)
{
    if (SDL_WasInit(SDL_INIT_VIDEO) == 0)
        return false;
    SDL_Rect rect{0, 0, kOffscreenDesktop.Width, kOffscreenDesktop.Height};
    if (!IsOffscreenVideo() && SDL_GetDisplayUsableBounds(0, &rect) != 0)
        return false;
    x = rect.x;
    y = rect.y;
    width = rect.w;
    height = rect.h;
    return true;
}

} // namespace lv::platform
