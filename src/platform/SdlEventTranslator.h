#pragma once
// Turns SDL events into the window messages the framework handles, with the Windows semantics
// the application and the GUI expect: a double click arrives as down, up, double-click, up;
// Alt without Ctrl makes system keys; text arrives as one WM_CHAR per UTF-16 unit; a wheel notch
// is 120. It keeps its own key state, since events pushed by tests never reach SDL's.
#include "core/Types.h"
#include "platform/WindowMessages.h"

#include <vector>

union SDL_Event;

namespace lv::platform {

class CSdlEventTranslator
{
public:
    CSdlEventTranslator();

    // The main window's handle and SDL id; events of other windows get a null window. Events
    // without a window id (pushed ones) belong to the main window.
    void SetMainWindow(HWND window, u32 sdlWindowId);
    // The client size that WM_SIZE reports on a restore, and the desktop mode that
    // WM_DISPLAYCHANGE reports (kept up to date by the window layer).
    void SetClientSize(s32 width, s32 height);
    void SetDesktopMode(s32 width, s32 height, s32 bitsPerPixel);
    // Where the client area's origin lies on the screen, for the screen coordinates of
    // WM_MOUSEWHEEL.
    void SetClientOrigin(s32 x, s32 y);

    // Appends the messages for one event, in the order Windows would deliver them.
    void Translate(const SDL_Event& event, std::vector<CWindowMessage>& out);

    // The mouse position in client coordinates from the last mouse event (or the last Set).
    void GetMousePosition(s32& x, s32& y) const
    {
        x = m_MouseX;
        y = m_MouseY;
    }
    void SetMousePosition(s32 x, s32 y)
    {
        m_MouseX = x;
        m_MouseY = y;
    }

    // 0x8000 (as s16) while the virtual key is down, else 0. Mouse buttons are VK 1, 2 and 4.
    s16 GetAsyncKeyState(s32 virtualKey) const;
    // Forgets all held keys, as when the window loses the keyboard.
    void ReleaseAllKeys();

    // The virtual-key code of an SDL key code; 0 when the framework has none for it.
    static s32 VirtualKeyFromSdl(s32 sdlKey);

private:
    void SetKey(s32 virtualKey, bool down);
    bool IsDown(s32 virtualKey) const;
    WPARAM MouseKeyFlags() const;
    HWND WindowOf(u32 sdlWindowId) const;

    HWND m_Window = nullptr;
    u32 m_WindowId = 0;
    s32 m_Width = 0;
    s32 m_Height = 0;
    s32 m_DesktopWidth = 0;
    s32 m_DesktopHeight = 0;
    s32 m_DesktopBits = 32;
    s32 m_OriginX = 0;
    s32 m_OriginY = 0;
    s32 m_MouseX = 0;
    s32 m_MouseY = 0;
    bool m_Keys[256];
};

} // namespace lv::platform
