#pragma once
// What the renderer needs from the application that owns it: the main window, the desktop and
// requested window sizes, the screen-mode change, and the input dispatcher's screen area. The
// application lives above the graphics library and implements this; without a host the renderer
// keeps the sizes it was given and never changes the screen mode by itself.
#include "core/FloatRect.h"
#include "core/Types.h"
#include "core/Vector2.h"
#include "platform/WinTypes.h"

namespace lv::graphics {

class CRendererHost
{
public:
    virtual HWND GetWindowHandle() = 0;
    // The main window's client size (the back buffer's size when windowed).
    virtual void GetClientSize(s32& width, s32& height) = 0;
    virtual bool GetDesktopSize(s32& width, s32& height) = 0;
    virtual bool SetScreenMode(bool fullscreen, bool modeFlag, s32 width, s32 height) = 0;
    virtual void GetRequestedWindowSize(s32& width, s32& height) = 0;
    // Forwarded to the input dispatcher, so that mouse positions map back to design coordinates.
    virtual void SetScreenArea(const CFloatRect& viewport, const CVector2& scale) = 0;

protected:
    ~CRendererHost() = default;
};

} // namespace lv::graphics
