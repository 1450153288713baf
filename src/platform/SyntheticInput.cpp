#include "platform/SyntheticInput.h"

#include "platform/SdlWindow.h"

#include <SDL.h>

#include <cstring>

namespace lv::platform {
namespace {

bool MakeEvent(const SSyntheticEvent& in, u32 windowId, SDL_Event& event)
{
    std::memset(&event, 0, sizeof(event));
    event.common.timestamp = in.Time;
    auto window = [&](Uint8 kind, s32 data1 = 0, s32 data2 = 0) {
        event.type = SDL_WINDOWEVENT;
        event.window.windowID = windowId;
        event.window.event = kind;
        event.window.data1 = data1;
        event.window.data2 = data2;
        return true;
    };
    switch (in.Type) {
    case ESyntheticEvent::KeyDown:
    case ESyntheticEvent::KeyUp: {
        const SDL_Keycode key = in.Key ? SDL_GetKeyFromName(in.Key) : SDLK_UNKNOWN;
        if (key == SDLK_UNKNOWN)
            return false;
        const bool down = in.Type == ESyntheticEvent::KeyDown;
        event.type = down ? SDL_KEYDOWN : SDL_KEYUP;
        event.key.windowID = windowId;
        event.key.state = down ? SDL_PRESSED : SDL_RELEASED;
        event.key.repeat = in.Repeat ? 1 : 0;
        event.key.keysym.sym = key;
        event.key.keysym.scancode = SDL_GetScancodeFromKey(key);
        return true;
    }
    case ESyntheticEvent::Text:
        if (!in.Key || std::strlen(in.Key) >= sizeof(event.text.text))
            return false;
        event.type = SDL_TEXTINPUT;
        event.text.windowID = windowId;
        std::memcpy(event.text.text, in.Key, std::strlen(in.Key) + 1);
        return true;
    case ESyntheticEvent::MouseMove:
        event.type = SDL_MOUSEMOTION;
        event.motion.windowID = windowId;
        event.motion.x = in.X;
        event.motion.y = in.Y;
        return true;
    case ESyntheticEvent::ButtonDown:
    case ESyntheticEvent::ButtonUp: {
        const bool down = in.Type == ESyntheticEvent::ButtonDown;
        event.type = down ? SDL_MOUSEBUTTONDOWN : SDL_MOUSEBUTTONUP;
        event.button.windowID = windowId;
        event.button.button = static_cast<Uint8>(in.Button);
        event.button.state = down ? SDL_PRESSED : SDL_RELEASED;
        event.button.clicks = static_cast<Uint8>(in.Clicks);
        event.button.x = in.X;
        event.button.y = in.Y;
        return true;
    }
    case ESyntheticEvent::Wheel:
        event.type = SDL_MOUSEWHEEL;
        event.wheel.windowID = windowId;
        event.wheel.y = static_cast<Sint32>(in.Wheel);
        event.wheel.preciseY = in.Wheel;
        event.wheel.direction = SDL_MOUSEWHEEL_NORMAL;
        event.wheel.mouseX = in.X;
        event.wheel.mouseY = in.Y;
        return true;
    case ESyntheticEvent::Minimized: return window(SDL_WINDOWEVENT_MINIMIZED);
    case ESyntheticEvent::Maximized: return window(SDL_WINDOWEVENT_MAXIMIZED);
    case ESyntheticEvent::Restored: return window(SDL_WINDOWEVENT_RESTORED);
    case ESyntheticEvent::FocusGained: return window(SDL_WINDOWEVENT_FOCUS_GAINED);
    case ESyntheticEvent::FocusLost: return window(SDL_WINDOWEVENT_FOCUS_LOST);
    case ESyntheticEvent::Moved: return window(SDL_WINDOWEVENT_MOVED, in.X, in.Y);
    case ESyntheticEvent::Close: return window(SDL_WINDOWEVENT_CLOSE);
    case ESyntheticEvent::Quit: event.type = SDL_QUIT; return true;
    case ESyntheticEvent::DisplayChanged:
        event.type = SDL_DISPLAYEVENT;
        event.display.display = 0;
        event.display.event = SDL_DISPLAYEVENT_CONNECTED;
        return true;
    }
    return false;
}

} // namespace

void TranslateSyntheticEvent(CSdlEventTranslator& translator, const SSyntheticEvent& in, std::vector<CWindowMessage>& out)
{
    SDL_Event event;
    if (MakeEvent(in, 0, event))
        translator.Translate(event, out);
}

bool PushSyntheticEvent(const SSyntheticEvent& in, u32 sdlWindowId)
{
    if (SDL_WasInit(SDL_INIT_EVENTS) == 0)
        return false;
    SDL_Event event;
    if (!MakeEvent(in, sdlWindowId, event))
        return false;
    if (event.common.timestamp == 0)
        event.common.timestamp = SDL_GetTicks();
    return SDL_PushEvent(&event) == 1;
}

bool SetSystemWindowTitle(HWND window, const char* utf8)
{
    SDL_Window* sdl = GetSdlWindow(window);
    if (!sdl || !utf8)
        return false;
    SDL_SetWindowTitle(sdl, utf8);
    return true;
}

} // namespace lv::platform
