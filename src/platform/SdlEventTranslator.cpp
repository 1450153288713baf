#include "platform/SdlEventTranslator.h"

#include "platform/Utf16.h"

#include <SDL.h>

#include <algorithm>
#include <cmath>

namespace lv::platform {
namespace {

// Mouse buttons share the key table, as with GetAsyncKeyState on Windows.
constexpr s32 VK_LBUTTON = 0x01;
constexpr s32 VK_RBUTTON = 0x02;
constexpr s32 VK_MBUTTON = 0x04;
constexpr s32 VK_PAUSE = 0x13;
constexpr s32 VK_CAPITAL = 0x14;
constexpr s32 VK_NUMPAD0 = 0x60;
constexpr s32 VK_MULTIPLY = 0x6A;
constexpr s32 VK_ADD = 0x6B;
constexpr s32 VK_SUBTRACT = 0x6D;
constexpr s32 VK_DECIMAL = 0x6E;
constexpr s32 VK_DIVIDE = 0x6F;
constexpr s32 VK_OEM_1 = 0xBA;
constexpr s32 VK_OEM_COMMA = 0xBC;
constexpr s32 VK_OEM_PERIOD = 0xBE;
constexpr s32 VK_OEM_3 = 0xC0;
constexpr s32 VK_OEM_4 = 0xDB;
constexpr s32 VK_OEM_5 = 0xDC;
constexpr s32 VK_OEM_6 = 0xDD;
constexpr s32 VK_OEM_7 = 0xDE;

// Key-message lParam bits.
constexpr u32 kContextAlt = 1u << 29;
constexpr u32 kPreviousDown = 1u << 30;
constexpr u32 kTransitionUp = 1u << 31;

CWindowMessage Make(HWND window, u32 message, WPARAM wParam, LPARAM lParam, u32 time)
{
    CWindowMessage m;
    m.Window = window;
    m.Message = message;
    m.WParam = wParam;
    m.LParam = lParam;
    m.Time = time;
    return m;
}

s32 ButtonKey(u8 button)
{
    switch (button) {
    case SDL_BUTTON_LEFT: return VK_LBUTTON;
    case SDL_BUTTON_RIGHT: return VK_RBUTTON;
    case SDL_BUTTON_MIDDLE: return VK_MBUTTON;
    default: return 0;
    }
}

} // namespace

CSdlEventTranslator::CSdlEventTranslator()
{
    ReleaseAllKeys();
}

void CSdlEventTranslator::SetMainWindow(HWND window, u32 sdlWindowId)
{
    m_Window = window;
    m_WindowId = sdlWindowId;
}

void CSdlEventTranslator::SetClientSize(s32 width, s32 height)
{
    m_Width = width;
    m_Height = height;
}

void CSdlEventTranslator::SetDesktopMode(s32 width, s32 height, s32 bitsPerPixel)
{
    m_DesktopWidth = width;
    m_DesktopHeight = height;
    m_DesktopBits = bitsPerPixel;
}

void CSdlEventTranslator::SetClientOrigin(s32 x, s32 y)
{
    m_OriginX = x;
    m_OriginY = y;
}

s16 CSdlEventTranslator::GetAsyncKeyState(s32 virtualKey) const
{
    return IsDown(virtualKey) ? static_cast<s16>(0x8000) : 0;
}

void CSdlEventTranslator::ReleaseAllKeys()
{
    std::fill(std::begin(m_Keys), std::end(m_Keys), false);
}

void CSdlEventTranslator::SetKey(s32 virtualKey, bool down)
{
    if (virtualKey > 0 && virtualKey < 256)
        m_Keys[virtualKey] = down;
}

bool CSdlEventTranslator::IsDown(s32 virtualKey) const
{
    return virtualKey > 0 && virtualKey < 256 && m_Keys[virtualKey];
}

WPARAM CSdlEventTranslator::MouseKeyFlags() const
{
    WPARAM flags = 0;
    if (IsDown(VK_LBUTTON))
        flags |= MK_LBUTTON;
    if (IsDown(VK_RBUTTON))
        flags |= MK_RBUTTON;
    if (IsDown(VK_MBUTTON))
        flags |= MK_MBUTTON;
    if (IsDown(VK_SHIFT))
        flags |= MK_SHIFT;
    if (IsDown(VK_CONTROL))
        flags |= MK_CONTROL;
    return flags;
}

HWND CSdlEventTranslator::WindowOf(u32 sdlWindowId) const
{
    return sdlWindowId == 0 || m_WindowId == 0 || sdlWindowId == m_WindowId ? m_Window : nullptr;
}

s32 CSdlEventTranslator::VirtualKeyFromSdl(s32 key)
{
    if (key >= SDLK_a && key <= SDLK_z)
        return 'A' + (key - SDLK_a);
    if (key >= SDLK_0 && key <= SDLK_9)
        return '0' + (key - SDLK_0);
    if (key >= SDLK_F1 && key <= SDLK_F12)
        return VK_F1 + (key - SDLK_F1);
    if (key >= SDLK_KP_1 && key <= SDLK_KP_9)
        return VK_NUMPAD0 + 1 + (key - SDLK_KP_1);
    switch (key) {
    case SDLK_BACKSPACE: return VK_BACK;
    case SDLK_TAB: return VK_TAB;
    case SDLK_RETURN:
    case SDLK_KP_ENTER: return VK_RETURN;
    case SDLK_LSHIFT:
    case SDLK_RSHIFT: return VK_SHIFT;
    case SDLK_LCTRL:
    case SDLK_RCTRL: return VK_CONTROL;
    case SDLK_LALT:
    case SDLK_RALT: return VK_MENU;
    case SDLK_PAUSE: return VK_PAUSE;
    case SDLK_CAPSLOCK: return VK_CAPITAL;
    case SDLK_ESCAPE: return VK_ESCAPE;
    case SDLK_SPACE: return VK_SPACE;
    case SDLK_PAGEUP: return VK_PRIOR;
    case SDLK_PAGEDOWN: return VK_NEXT;
    case SDLK_END: return VK_END;
    case SDLK_HOME: return VK_HOME;
    case SDLK_LEFT: return VK_LEFT;
    case SDLK_UP: return VK_UP;
    case SDLK_RIGHT: return VK_RIGHT;
    case SDLK_DOWN: return VK_DOWN;
    case SDLK_INSERT: return VK_INSERT;
    case SDLK_DELETE: return VK_DELETE;
    case SDLK_KP_0: return VK_NUMPAD0;
    case SDLK_KP_MULTIPLY: return VK_MULTIPLY;
    case SDLK_KP_PLUS: return VK_ADD;
    case SDLK_KP_MINUS: return VK_SUBTRACT;
    case SDLK_KP_PERIOD: return VK_DECIMAL;
    case SDLK_KP_DIVIDE: return VK_DIVIDE;
    case SDLK_SEMICOLON: return VK_OEM_1;
    case SDLK_EQUALS:
    case SDLK_PLUS: return VK_OEM_PLUS;
    case SDLK_COMMA: return VK_OEM_COMMA;
    case SDLK_MINUS: return VK_OEM_MINUS;
    case SDLK_PERIOD: return VK_OEM_PERIOD;
    case SDLK_SLASH: return VK_OEM_2;
    case SDLK_BACKQUOTE: return VK_OEM_3;
    case SDLK_LEFTBRACKET: return VK_OEM_4;
    case SDLK_BACKSLASH: return VK_OEM_5;
    case SDLK_RIGHTBRACKET: return VK_OEM_6;
    case SDLK_QUOTE: return VK_OEM_7;
    default: return 0;
    }
}

void CSdlEventTranslator::Translate(const SDL_Event& event, std::vector<CWindowMessage>& out)
{
    const u32 time = event.common.timestamp;
    switch (event.type) {
    case SDL_KEYDOWN:
    case SDL_KEYUP: {
        const s32 vk = VirtualKeyFromSdl(event.key.keysym.sym);
        if (vk == 0)
            return;
        const bool down = event.type == SDL_KEYDOWN;
        const bool wasDown = IsDown(vk) || (down && event.key.repeat != 0);
        SetKey(vk, down);
        const bool alt = IsDown(VK_MENU);
        const bool ctrl = IsDown(VK_CONTROL);
        // Windows makes system keys of anything pressed with Alt but without Ctrl (AltGr is
        // Ctrl+Alt), of the Alt key itself and of F10.
        const bool system = !ctrl && (alt || vk == VK_MENU || vk == VK_F10);
        u32 lParam = 1u | (static_cast<u32>(event.key.keysym.scancode & 0xFF) << 16);
        if (alt)
            lParam |= kContextAlt;
        if (down) {
            if (wasDown)
                lParam |= kPreviousDown;
        } else {
            lParam |= kPreviousDown | kTransitionUp;
        }
        const u32 message = down ? (system ? WM_SYSKEYDOWN : WM_KEYDOWN) : (system ? WM_SYSKEYUP : WM_KEYUP);
        HWND window = WindowOf(event.key.windowID);
        out.push_back(Make(window, message, static_cast<WPARAM>(vk), static_cast<LPARAM>(lParam), time));
        // The control characters that keys produce without text input.
        if (down && !alt && !ctrl && (vk == VK_BACK || vk == VK_TAB || vk == VK_RETURN || vk == VK_ESCAPE))
            out.push_back(Make(window, WM_CHAR, static_cast<WPARAM>(vk), static_cast<LPARAM>(lParam), time));
        return;
    }
    case SDL_TEXTINPUT: {
        for (WChar unit : Utf8ToUtf16(event.text.text))
            out.push_back(Make(WindowOf(event.text.windowID), WM_CHAR, unit, 1, time));
        return;
    }
    case SDL_MOUSEMOTION: {
        if (event.motion.which == SDL_TOUCH_MOUSEID)
            return;
        m_MouseX = event.motion.x;
        m_MouseY = event.motion.y;
        out.push_back(
            Make(WindowOf(event.motion.windowID), WM_MOUSEMOVE, MouseKeyFlags(), MAKELPARAM(m_MouseX, m_MouseY), time));
        return;
    }
    case SDL_MOUSEBUTTONDOWN:
    case SDL_MOUSEBUTTONUP: {
        const s32 vk = ButtonKey(event.button.button);
        if (vk == 0 || event.button.which == SDL_TOUCH_MOUSEID)
            return;
        const bool down = event.type == SDL_MOUSEBUTTONDOWN;
        SetKey(vk, down);
        m_MouseX = event.button.x;
        m_MouseY = event.button.y;
        const u32 base = vk == VK_LBUTTON ? WM_LBUTTONDOWN : vk == VK_RBUTTON ? WM_RBUTTONDOWN : WM_MBUTTONDOWN;
        // Every second press of a series is the double click, as with a window class that
        // asks for double clicks.
        const u32 message = !down ? base + 1 : (event.button.clicks >= 2 && event.button.clicks % 2 == 0 ? base + 2 : base);
        out.push_back(
            Make(WindowOf(event.button.windowID), message, MouseKeyFlags(), MAKELPARAM(m_MouseX, m_MouseY), time));
        return;
    }
    case SDL_MOUSEWHEEL: {
        if (event.wheel.which == SDL_TOUCH_MOUSEID)
            return;
        double notches = event.wheel.preciseY != 0.0f ? event.wheel.preciseY : static_cast<double>(event.wheel.y);
        if (event.wheel.direction == SDL_MOUSEWHEEL_FLIPPED)
            notches = -notches;
        const s32 delta = static_cast<s32>(std::lround(std::clamp(notches * WHEEL_DELTA, -32768.0, 32767.0)));
        if (delta == 0)
            return;
        m_MouseX = event.wheel.mouseX;
        m_MouseY = event.wheel.mouseY;
        // The wheel message carries screen coordinates.
        out.push_back(Make(WindowOf(event.wheel.windowID), WM_MOUSEWHEEL,
                           MAKEWPARAM(static_cast<s32>(MouseKeyFlags()), delta),
                           MAKELPARAM(m_OriginX + m_MouseX, m_OriginY + m_MouseY), time));
        return;
    }
    case SDL_WINDOWEVENT: {
        HWND window = WindowOf(event.window.windowID);
        switch (event.window.event) {
        case SDL_WINDOWEVENT_MINIMIZED:
            out.push_back(Make(window, WM_SIZE, SIZE_MINIMIZED, 0, time));
            return;
        case SDL_WINDOWEVENT_MAXIMIZED:
            out.push_back(Make(window, WM_SIZE, SIZE_MAXIMIZED, MAKELPARAM(m_Width, m_Height), time));
            return;
        case SDL_WINDOWEVENT_RESTORED:
            out.push_back(Make(window, WM_SIZE, SIZE_RESTORED, MAKELPARAM(m_Width, m_Height), time));
            return;
        case SDL_WINDOWEVENT_SIZE_CHANGED:
            if (window == m_Window)
                SetClientSize(event.window.data1, event.window.data2);
            return;
        case SDL_WINDOWEVENT_FOCUS_GAINED:
            out.push_back(Make(window, WM_ACTIVATEAPP, 1, 0, time));
            return;
        case SDL_WINDOWEVENT_FOCUS_LOST:
            // Keys released while another window has the keyboard never arrive here: without
            // this, Alt+Tab would leave Alt held for good.
            ReleaseAllKeys();
            out.push_back(Make(window, WM_ACTIVATEAPP, 0, 0, time));
            return;
        case SDL_WINDOWEVENT_MOVED:
            if (window == m_Window)
                SetClientOrigin(event.window.data1, event.window.data2);
            out.push_back(Make(window, WM_MOVE, 0, MAKELPARAM(event.window.data1, event.window.data2), time));
            return;
        case SDL_WINDOWEVENT_EXPOSED:
            out.push_back(Make(window, WM_PAINT, 0, 0, time));
            return;
        case SDL_WINDOWEVENT_CLOSE:
            out.push_back(Make(window, WM_CLOSE, 0, 0, time));
            return;
        default: return;
        }
    }
    case SDL_QUIT:
        // A quit request (the session ending, an interrupt) closes the main window.
        out.push_back(Make(m_Window, WM_CLOSE, 0, 0, time));
        return;
    case SDL_DISPLAYEVENT:
        out.push_back(Make(m_Window, WM_DISPLAYCHANGE, static_cast<WPARAM>(m_DesktopBits),
                           MAKELPARAM(m_DesktopWidth, m_DesktopHeight), time));
        return;
    default: return;
    }
}

} // namespace lv::platform
