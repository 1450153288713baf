#pragma once
// Input and window events made up by tests and tools, in the form the system delivers them: they
// go through the same translation as real ones, or into the real event queue.
#include "core/Types.h"
#include "platform/SdlEventTranslator.h"

#include <vector>

namespace lv::platform {

enum class ESyntheticEvent
{
    KeyDown,
    KeyUp,
    Text,
    MouseMove,
    ButtonDown,
    ButtonUp,
    Wheel,
    Minimized,
    Maximized,
    Restored,
    FocusGained,
    FocusLost,
    Moved,
    Close,
    Quit,
    DisplayChanged,
};

struct SSyntheticEvent
{
    ESyntheticEvent Type = ESyntheticEvent::KeyDown;
    // The key by its name on the keyboard ("Left Alt", "Left Ctrl", "F4", "P", "Return") for key
    // events; the UTF-8 text for Text.
    const char* Key = nullptr;
    bool Repeat = false;
    // Client position for mouse events, window position for Moved.
    s32 X = 0;
    s32 Y = 0;
    // 1 left, 2 middle, 3 right; Clicks counts the presses of a series (2 for a double click).
    s32 Button = 1;
    s32 Clicks = 1;
    // Notches, positive away from the user.
    float Wheel = 0.0f;
    u32 Time = 0;
};

void TranslateSyntheticEvent(CSdlEventTranslator& translator, const SSyntheticEvent& event,
                             std::vector<CWindowMessage>& out);

// Puts the event into the event queue of the running window system (the main window's). False
// when no queue runs or the event cannot be made.
bool PushSyntheticEvent(const SSyntheticEvent& event, u32 sdlWindowId = 0);

// Renames the window in the window system with UTF-8 bytes as given, unchecked, as another
// program could. False without a window.
bool SetSystemWindowTitle(HWND window, const char* utf8);

} // namespace lv::platform
