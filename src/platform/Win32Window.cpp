#include "platform/Win32Window.h"

#include "platform/DisplayModes.h"
#include "platform/SdlEventTranslator.h"
#include "platform/SdlWindow.h"
#include "platform/Utf16.h"

#include <SDL.h>

#include <algorithm>
#include <cstring>
#include <deque>
#include <map>
#include <string>
#include <vector>

namespace lv::platform {
namespace {

struct SWindowClass
{
    WString Name;
    WNDCLASSW Class;
};

// The frame a captioned window adds around its client area, as far as the window system has
// told us (nothing until a framed window exists).
struct SFrame
{
    s32 Left = 0;
    s32 Top = 0;
    s32 Right = 0;
    s32 Bottom = 0;
};

struct SWindow
{
    HWND Handle = nullptr;
    WNDPROC Proc = nullptr;
    u32 Style = 0;
};

// A system cursor; the SDL cursor is null where the driver has none (offscreen).
struct SCursor
{
    SDL_SystemCursor Kind = SDL_SYSTEM_CURSOR_ARROW;
    SDL_Cursor* Sdl = nullptr;
};

struct SState
{
    std::vector<SWindowClass> Classes;
    std::vector<SWindow> Windows;
    std::deque<MSG> Queue;
    CSdlEventTranslator Translator;
    SFrame Frame;
    u32 LastTime = 0;
    HWND Capture = nullptr;
    std::map<u32, SCursor> Cursors;
    HCURSOR Cursor = nullptr;
    u32 ExecutionState = ES_CONTINUOUS;
};

SState& State()
{
    static SState* const s_State = new SState;
    return *s_State;
}

thread_local u32 t_LastError = 0;

std::string Narrow(const WChar* text)
{
    return text ? Utf16ToUtf8(WStringView(text)) : std::string();
}

bool SameName(const WString& a, const WChar* b)
{
    return b && a == WStringView(b);
}

SWindow* Find(HWND window)
{
    if (!window)
        return nullptr;
    for (SWindow& w : State().Windows)
        if (w.Handle == window)
            return &w;
    return nullptr;
}

SWindow* FindOrFail(HWND window)
{
    SWindow* w = Find(window);
    if (!w)
        t_LastError = ERROR_INVALID_WINDOW_HANDLE;
    return w;
}

HWND MainWindow()
{
    return State().Windows.empty() ? nullptr : State().Windows.front().Handle;
}

bool HasFrame(u32 style)
{
    return (style & WS_CAPTION) == WS_CAPTION;
}

SFrame FrameOf(u32 style)
{
    return HasFrame(style) ? State().Frame : SFrame();
}

void RefreshTranslatorScreen()
{
    SDisplayMode mode;
    if (GetDesktopMode(mode))
        State().Translator.SetDesktopMode(mode.Width, mode.Height, static_cast<s32>(mode.BitsPerPixel));
}

bool CoversDesktop(u32 style, s32 width, s32 height)
{
    SDisplayMode desktop;
    return !HasFrame(style) && GetDesktopMode(desktop) && width == desktop.Width && height == desktop.Height;
}

// The offscreen drivers' full screen would be their small stand-in display: there the window
// just keeps the desktop size it was given.
bool EnterFullscreen(SDL_Window* sdl)
{
    if (IsOffscreenVideo())
        return false;
    return SDL_SetWindowFullscreen(sdl, SDL_WINDOW_FULLSCREEN_DESKTOP) == 0;
}

void ReadFrame(SDL_Window* sdl)
{
    int top = 0, left = 0, bottom = 0, right = 0;
    if (SDL_GetWindowBordersSize(sdl, &top, &left, &bottom, &right) == 0)
        State().Frame = SFrame{left, top, right, bottom};
}

void ApplyStyle(SDL_Window* sdl, u32 style)
{
    SDL_SetWindowBordered(sdl, HasFrame(style) ? SDL_TRUE : SDL_FALSE);
    SDL_SetWindowResizable(sdl, (style & WS_THICKFRAME) ? SDL_TRUE : SDL_FALSE);
}

void Enqueue(const CWindowMessage& m)
{
    MSG msg;
    msg.hwnd = m.Window;
    msg.message = m.Message;
    msg.wParam = m.WParam;
    msg.lParam = m.LParam;
    msg.time = m.Time;
    POINT cursor = {0, 0};
    GetCursorPos(&cursor);
    msg.pt = cursor;
    State().Queue.push_back(msg);
}

// Takes one system event and queues its messages; false when no event was waiting.
bool TranslateNextEvent()
{
    if (SDL_WasInit(SDL_INIT_EVENTS) == 0)
        return false;
    SDL_Event event;
    if (SDL_PollEvent(&event) != 1)
        return false;
    if (event.type == SDL_MOUSEMOTION) {
        SDL_Event next;
        while (SDL_PeepEvents(&next, 1, SDL_PEEKEVENT, SDL_FIRSTEVENT, SDL_LASTEVENT) == 1 &&
               next.type == SDL_MOUSEMOTION && next.motion.windowID == event.motion.windowID &&
               next.motion.which == event.motion.which) {
            SDL_PeepEvents(&event, 1, SDL_GETEVENT, SDL_MOUSEMOTION, SDL_MOUSEMOTION);
        }
    }
    if (event.type == SDL_DISPLAYEVENT)
        RefreshTranslatorScreen();
    std::vector<CWindowMessage> messages;
    State().Translator.Translate(event, messages);
    for (const CWindowMessage& m : messages)
        Enqueue(m);
    return true;
}

SDL_SystemCursor SystemCursorOf(u32 id)
{
    switch (id) {
    case IDC_HAND: return SDL_SYSTEM_CURSOR_HAND;
    case IDC_IBEAM: return SDL_SYSTEM_CURSOR_IBEAM;
    case IDC_WAIT: return SDL_SYSTEM_CURSOR_WAIT;
    default: return SDL_SYSTEM_CURSOR_ARROW;
    }
}

} // namespace

u32 GetLastError()
{
    return t_LastError;
}

void SetLastError(u32 error)
{
    t_LastError = error;
}

HINSTANCE GetModuleHandleW(const WChar*)
{
    static char s_Module;
    return &s_Module;
}

const char* GetWindowSystemError()
{
    return SDL_GetError();
}

u16 RegisterClassW(const WNDCLASSW* windowClass)
{
    if (!windowClass || !windowClass->lpszClassName || !windowClass->lpfnWndProc)
        return 0;
    SState& state = State();
    for (const SWindowClass& c : state.Classes) {
        if (SameName(c.Name, windowClass->lpszClassName)) {
            t_LastError = ERROR_CLASS_ALREADY_EXISTS;
            return 0;
        }
    }
    // Windows of the class need the window system; without one the class is of no use.
    if (SDL_InitSubSystem(SDL_INIT_VIDEO) != 0)
        return 0;
    state.Classes.push_back(SWindowClass{WString(windowClass->lpszClassName), *windowClass});
    state.Classes.back().Class.lpszClassName = nullptr;
    return static_cast<u16>(0xC000 + state.Classes.size());
}

bool UnregisterClassW(const WChar* className, HINSTANCE)
{
    SState& state = State();
    for (auto it = state.Classes.begin(); it != state.Classes.end(); ++it) {
        if (SameName(it->Name, className)) {
            state.Classes.erase(it);
            SDL_QuitSubSystem(SDL_INIT_VIDEO);
            return true;
        }
    }
    t_LastError = ERROR_CANNOT_FIND_WND_CLASS;
    return false;
}

HWND CreateWindowExW(u32, const WChar* className, const WChar* title, u32 style, s32 x, s32 y, s32 width,
                     s32 height, HWND, HMENU, HINSTANCE, void*)
{
    SState& state = State();
    const WNDCLASSW* windowClass = nullptr;
    for (const SWindowClass& c : state.Classes)
        if (SameName(c.Name, className))
            windowClass = &c.Class;
    if (!windowClass) {
        t_LastError = ERROR_CANNOT_FIND_WND_CLASS;
        return nullptr;
    }
    const SFrame frame = FrameOf(style);
    const s32 clientWidth = std::max(1, width - frame.Left - frame.Right);
    const s32 clientHeight = std::max(1, height - frame.Top - frame.Bottom);
    HWND window = CreateSdlWindow(Narrow(title).c_str(), clientWidth, clientHeight, false);
    if (!window)
        return nullptr;
    SDL_Window* sdl = GetSdlWindow(window);
    ApplyStyle(sdl, style);
    SDL_SetWindowPosition(sdl, x + frame.Left, y + frame.Top);
    state.Windows.push_back(SWindow{window, windowClass->lpfnWndProc, style});
    if (state.Windows.size() == 1) {
        state.Translator.SetMainWindow(window, SDL_GetWindowID(sdl));
        state.Translator.SetClientSize(clientWidth, clientHeight);
        state.Translator.SetClientOrigin(x + frame.Left, y + frame.Top);
        RefreshTranslatorScreen();
    }
    if (CoversDesktop(style, width, height))
        EnterFullscreen(sdl);
    if (style & WS_VISIBLE) {
        SDL_ShowWindow(sdl);
        if (HasFrame(style))
            ReadFrame(sdl);
    }
    return window;
}

bool DestroyWindow(HWND window)
{
    SState& state = State();
    auto it = std::find_if(state.Windows.begin(), state.Windows.end(), [&](const SWindow& w) { return w.Handle == window; });
    if (it == state.Windows.end()) {
        t_LastError = ERROR_INVALID_WINDOW_HANDLE;
        return false;
    }
    const bool wasMain = it == state.Windows.begin();
    state.Windows.erase(it);
    // Messages for the window die with it.
    state.Queue.erase(std::remove_if(state.Queue.begin(), state.Queue.end(), [&](const MSG& m) { return m.hwnd == window; }),
                      state.Queue.end());
    if (state.Capture == window)
        ReleaseCapture();
    DestroySdlWindow(window);
    if (wasMain) {
        HWND next = MainWindow();
        state.Translator.SetMainWindow(next, next ? SDL_GetWindowID(GetSdlWindow(next)) : 0);
    }
    return true;
}

bool IsWindow(HWND window)
{
    return Find(window) != nullptr;
}

s32 SetWindowLongW(HWND window, s32 index, s32 value)
{
    SWindow* w = FindOrFail(window);
    if (!w || index != GWL_STYLE)
        return 0;
    const u32 previous = w->Style;
    w->Style = static_cast<u32>(value);
    ApplyStyle(GetSdlWindow(window), w->Style);
    return static_cast<s32>(previous);
}

s32 GetWindowLongW(HWND window, s32 index)
{
    SWindow* w = FindOrFail(window);
    return w && index == GWL_STYLE ? static_cast<s32>(w->Style) : 0;
}

bool SetWindowPos(HWND window, HWND insertAfter, s32 x, s32 y, s32 width, s32 height, u32 flags)
{
    SWindow* w = FindOrFail(window);
    if (!w)
        return false;
    SDL_Window* sdl = GetSdlWindow(window);
    if (insertAfter == HWND_TOPMOST)
        SDL_SetWindowAlwaysOnTop(sdl, SDL_TRUE);
    else if (insertAfter == HWND_NOTOPMOST)
        SDL_SetWindowAlwaysOnTop(sdl, SDL_FALSE);

    const SFrame frame = FrameOf(w->Style);
    bool fullscreen = (SDL_GetWindowFlags(sdl) & SDL_WINDOW_FULLSCREEN) != 0;
    if (!(flags & SWP_NOSIZE)) {
        const bool coversDesktop = CoversDesktop(w->Style, width, height);
        if (coversDesktop && !fullscreen) {
            SDL_SetWindowSize(sdl, width, height);
            fullscreen = EnterFullscreen(sdl);
        } else if (!coversDesktop) {
            if (fullscreen) {
                SDL_SetWindowFullscreen(sdl, 0);
                fullscreen = false;
            }
            SDL_SetWindowSize(sdl, std::max(1, width - frame.Left - frame.Right),
                              std::max(1, height - frame.Top - frame.Bottom));
        }
        int cw = 0, ch = 0;
        SDL_GetWindowSize(sdl, &cw, &ch);
        if (window == MainWindow())
            State().Translator.SetClientSize(cw, ch);
    }
    if (!(flags & SWP_NOMOVE) && !fullscreen) {
        SDL_SetWindowPosition(sdl, x + frame.Left, y + frame.Top);
        if (window == MainWindow())
            State().Translator.SetClientOrigin(x + frame.Left, y + frame.Top);
    }
    return true;
}

bool ShowWindow(HWND window, s32 command)
{
    SWindow* w = FindOrFail(window);
    if (!w)
        return false;
    SDL_Window* sdl = GetSdlWindow(window);
    const bool wasVisible = (SDL_GetWindowFlags(sdl) & SDL_WINDOW_SHOWN) != 0;
    switch (command) {
    case SW_HIDE: SDL_HideWindow(sdl); break;
    case SW_MINIMIZE:
    case SW_SHOWMINIMIZED: SDL_MinimizeWindow(sdl); break;
    case SW_RESTORE: SDL_RestoreWindow(sdl); break;
    default:
        SDL_ShowWindow(sdl);
        if (HasFrame(w->Style))
            ReadFrame(sdl);
        break;
    }
    return wasVisible;
}

bool SetWindowTextW(HWND window, const WChar* text)
{
    if (!FindOrFail(window))
        return false;
    SDL_SetWindowTitle(GetSdlWindow(window), Narrow(text).c_str());
    return true;
}

s32 GetWindowTextW(HWND window, WChar* buffer, s32 capacity)
{
    if (!buffer || capacity <= 0)
        return 0;
    buffer[0] = 0;
    if (!FindOrFail(window))
        return 0;
    const char* title = SDL_GetWindowTitle(GetSdlWindow(window));
    const WString text = Utf8ToUtf16(title ? title : "");
    // Cut to the buffer, never between the two halves of a surrogate pair.
    s32 n = static_cast<s32>(std::min<size_t>(text.size(), static_cast<size_t>(capacity - 1)));
    if (n > 0 && static_cast<size_t>(n) < text.size() && text[n - 1] >= 0xD800 && text[n - 1] <= 0xDBFF)
        --n;
    std::copy(text.begin(), text.begin() + n, buffer);
    buffer[n] = 0;
    return n;
}

bool GetWindowPlacement(HWND window, WINDOWPLACEMENT* placement)
{
    if (!FindOrFail(window) || !placement)
        return false;
    const u32 flags = SDL_GetWindowFlags(GetSdlWindow(window));
    placement->flags = 0;
    placement->showCmd = (flags & SDL_WINDOW_MINIMIZED) ? SW_SHOWMINIMIZED : SW_SHOWNORMAL;
    return true;
}

bool SetForegroundWindow(HWND window)
{
    if (!FindOrFail(window))
        return false;
    SDL_RaiseWindow(GetSdlWindow(window));
    return true;
}

bool BringWindowToTop(HWND window)
{
    return SetForegroundWindow(window);
}

HWND GetForegroundWindow()
{
    for (const SWindow& w : State().Windows)
        if (SDL_GetWindowFlags(GetSdlWindow(w.Handle)) & SDL_WINDOW_INPUT_FOCUS)
            return w.Handle;
    return nullptr;
}

bool GetClientRect(HWND window, RECT* rect)
{
    if (!FindOrFail(window) || !rect)
        return false;
    int w = 0, h = 0;
    SDL_GetWindowSize(GetSdlWindow(window), &w, &h);
    *rect = RECT{0, 0, w, h};
    return true;
}

bool GetWindowRect(HWND window, RECT* rect)
{
    SWindow* w = FindOrFail(window);
    if (!w || !rect)
        return false;
    SDL_Window* sdl = GetSdlWindow(window);
    int x = 0, y = 0, cw = 0, ch = 0;
    SDL_GetWindowPosition(sdl, &x, &y);
    SDL_GetWindowSize(sdl, &cw, &ch);
    const SFrame frame = FrameOf(w->Style);
    *rect = RECT{x - frame.Left, y - frame.Top, x + cw + frame.Right, y + ch + frame.Bottom};
    return true;
}

bool AdjustWindowRect(RECT* rect, u32 style, bool)
{
    if (!rect)
        return false;
    const SFrame frame = FrameOf(style);
    rect->left -= frame.Left;
    rect->top -= frame.Top;
    rect->right += frame.Right;
    rect->bottom += frame.Bottom;
    return true;
}

bool ScreenToClient(HWND window, POINT* point)
{
    if (!FindOrFail(window) || !point)
        return false;
    int x = 0, y = 0;
    SDL_GetWindowPosition(GetSdlWindow(window), &x, &y);
    point->x -= x;
    point->y -= y;
    return true;
}

bool ClientToScreen(HWND window, POINT* point)
{
    if (!FindOrFail(window) || !point)
        return false;
    int x = 0, y = 0;
    SDL_GetWindowPosition(GetSdlWindow(window), &x, &y);
    point->x += x;
    point->y += y;
    return true;
}

bool PeekMessageW(MSG* msg, HWND, u32, u32, u32 remove)
{
    SState& state = State();
    // Events that make no message (a window event nobody handles) do not end the search.
    while (state.Queue.empty() && TranslateNextEvent()) {
    }
    if (state.Queue.empty() || !msg)
        return false;
    *msg = state.Queue.front();
    if (remove & PM_REMOVE) {
        state.Queue.pop_front();
        state.LastTime = msg->time;
    }
    return true;
}

bool TranslateMessage(const MSG* msg)
{
    // The characters of a key were queued with it when its event was translated.
    return msg && (msg->message == WM_KEYDOWN || msg->message == WM_SYSKEYDOWN);
}

LRESULT DispatchMessageW(const MSG* msg)
{
    if (!msg)
        return 0;
    SWindow* w = Find(msg->hwnd);
    if (!w)
        return 0;
    return w->Proc(msg->hwnd, msg->message, msg->wParam, msg->lParam);
}

LRESULT SendMessageW(HWND window, u32 message, WPARAM wParam, LPARAM lParam)
{
    SWindow* w = FindOrFail(window);
    return w ? w->Proc(window, message, wParam, lParam) : 0;
}

bool PostMessageW(HWND window, u32 message, WPARAM wParam, LPARAM lParam)
{
    SState& state = State();
    std::vector<HWND> targets;
    if (window == HWND_BROADCAST) {
        for (const SWindow& w : state.Windows)
            targets.push_back(w.Handle);
    } else if (!window || Find(window)) {
        targets.push_back(window);
    } else {
        t_LastError = ERROR_INVALID_WINDOW_HANDLE;
        return false;
    }
    const u32 time = SDL_GetTicks();
    for (HWND target : targets) {
        MSG msg;
        msg.hwnd = target;
        msg.message = message;
        msg.wParam = wParam;
        msg.lParam = lParam;
        msg.time = time;
        state.Queue.push_back(msg);
    }
    return true;
}

LRESULT DefWindowProcW(HWND window, u32 message, WPARAM wParam, LPARAM lParam)
{
    SWindow* w = Find(window);
    if (!w)
        return 0;
    const bool alt = (static_cast<u64>(lParam) & (1u << 29)) != 0;
    switch (message) {
    case WM_SYSKEYDOWN:
        if (alt && wParam == static_cast<WPARAM>(VK_F4))
            return SendMessageW(window, WM_SYSCOMMAND, SC_CLOSE, 0);
        if (alt && wParam == static_cast<WPARAM>(VK_RETURN))
            return SendMessageW(window, WM_SYSCOMMAND, SC_KEYMENU, VK_RETURN);
        return 0;
    case WM_SYSCOMMAND:
        switch (wParam & 0xFFF0) {
        case SC_CLOSE: return SendMessageW(window, WM_CLOSE, 0, 0);
        case SC_MINIMIZE: SDL_MinimizeWindow(GetSdlWindow(window)); return 0;
        case SC_RESTORE: SDL_RestoreWindow(GetSdlWindow(window)); return 0;
        default: return 0;
        }
    // The owner destroys its window in its own time; closing only asks for it.
    case WM_CLOSE:
    default: return 0;
    }
}

u32 RegisterWindowMessageW(const WChar* name)
{
    // The same name gives the same id in every process: a hash into the range Windows uses.
    u32 hash = 2166136261u;
    for (const WChar* p = name; p && *p; ++p)
        hash = (hash ^ *p) * 16777619u;
    return 0xC000u + hash % 0x4000u;
}

s16 GetAsyncKeyState(s32 virtualKey)
{
    return State().Translator.GetAsyncKeyState(virtualKey);
}

bool GetCursorPos(POINT* point)
{
    if (!point)
        return false;
    s32 x = 0, y = 0;
    State().Translator.GetMousePosition(x, y);
    *point = POINT{x, y};
    if (HWND main = MainWindow())
        ClientToScreen(main, point);
    return true;
}

bool SetCursorPos(s32 x, s32 y)
{
    HWND main = MainWindow();
    if (!main)
        return false;
    POINT client = {x, y};
    ScreenToClient(main, &client);
    SDL_WarpMouseInWindow(GetSdlWindow(main), client.x, client.y);
    State().Translator.SetMousePosition(client.x, client.y);
    return true;
}

HCURSOR LoadCursorW(HINSTANCE instance, u32 id)
{
    if (instance)
        return nullptr;
    const SDL_SystemCursor kind = SystemCursorOf(id);
    SCursor& cursor = State().Cursors[static_cast<u32>(kind)];
    cursor.Kind = kind;
    if (!cursor.Sdl && SDL_WasInit(SDL_INIT_VIDEO))
        cursor.Sdl = SDL_CreateSystemCursor(kind);
    return &cursor;
}

HCURSOR LoadCursorW(HINSTANCE instance, const WChar* name)
{
    std::string n = Narrow(name);
    for (char& c : n)
        c = static_cast<char>(c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c);
    if (n.rfind("idc_", 0) == 0)
        n = n.substr(4);
    const u32 id = n == "hand" ? IDC_HAND : n == "ibeam" ? IDC_IBEAM : n == "wait" ? IDC_WAIT : IDC_ARROW;
    return LoadCursorW(instance, id);
}

HCURSOR SetCursor(HCURSOR cursor)
{
    SState& state = State();
    HCURSOR previous = state.Cursor;
    state.Cursor = cursor;
    if (SDL_WasInit(SDL_INIT_VIDEO) == 0)
        return previous;
    if (cursor) {
        if (SDL_Cursor* sdl = static_cast<SCursor*>(cursor)->Sdl)
            SDL_SetCursor(sdl);
        SDL_ShowCursor(SDL_ENABLE);
    } else {
        SDL_ShowCursor(SDL_DISABLE);
    }
    return previous;
}

bool ClipCursor(const RECT* rect)
{
    HWND main = MainWindow();
    if (!main)
        return rect == nullptr;
    SDL_Window* sdl = GetSdlWindow(main);
    if (!rect)
        return SDL_SetWindowMouseRect(sdl, nullptr) == 0;
    POINT topLeft = {rect->left, rect->top};
    ScreenToClient(main, &topLeft);
    const SDL_Rect area = {topLeft.x, topLeft.y, rect->right - rect->left, rect->bottom - rect->top};
    return SDL_SetWindowMouseRect(sdl, &area) == 0;
}

HWND SetCapture(HWND window)
{
    SState& state = State();
    HWND previous = state.Capture;
    if (Find(window)) {
        state.Capture = window;
        if (SDL_WasInit(SDL_INIT_VIDEO))
            SDL_CaptureMouse(SDL_TRUE);
    }
    return previous;
}

bool ReleaseCapture()
{
    SState& state = State();
    if (state.Capture && SDL_WasInit(SDL_INIT_VIDEO))
        SDL_CaptureMouse(SDL_FALSE);
    state.Capture = nullptr;
    return true;
}

bool EnumDisplaySettingsExW(const WChar*, u32 modeNumber, DEVMODEW* mode, u32)
{
    if (!mode)
        return false;
    SDisplayMode display;
    if (modeNumber == ENUM_CURRENT_SETTINGS) {
        if (!GetDesktopMode(display))
            return false;
    } else {
        // The same list the device layer offers for full screen.
        const std::vector<SDisplayMode> modes = GetDisplayModes();
        if (modeNumber >= modes.size())
            return false;
        display = modes[modeNumber];
    }
    mode->dmBitsPerPel = display.BitsPerPixel;
    mode->dmPelsWidth = static_cast<u32>(display.Width);
    mode->dmPelsHeight = static_cast<u32>(display.Height);
    mode->dmDisplayFrequency = static_cast<u32>(display.RefreshRate);
    return true;
}

bool SystemParametersInfoW(u32 action, u32, void* data, u32)
{
    s32 x = 0, y = 0, w = 0, h = 0;
    if (action != SPI_GETWORKAREA || !data || !GetUsableBounds(x, y, w, h))
        return false;
    *static_cast<RECT*>(data) = RECT{x, y, x + w, y + h};
    return true;
}

s32 GetSystemMetrics(s32 index)
{
    SDisplayMode mode;
    s32 x = 0, y = 0, w = 0, h = 0;
    switch (index) {
    case SM_CXSCREEN: return GetDesktopMode(mode) ? mode.Width : 0;
    case SM_CYSCREEN: return GetDesktopMode(mode) ? mode.Height : 0;
    case SM_CXFULLSCREEN: return GetUsableBounds(x, y, w, h) ? w : 0;
    case SM_CYFULLSCREEN: return GetUsableBounds(x, y, w, h) ? h : 0;
    default: return 0;
    }
}

s32 GetScreenDeviceCaps(s32 index)
{
    // Desktops here do their own scaling; the program sees the standard 96 pixels per inch.
    return index == LOGPIXELSX || index == LOGPIXELSY ? 96 : 0;
}

u32 SetThreadExecutionState(u32 flags)
{
    SState& state = State();
    const u32 previous = state.ExecutionState;
    state.ExecutionState = flags;
    if (SDL_WasInit(SDL_INIT_VIDEO)) {
        if (flags & ES_DISPLAY_REQUIRED)
            SDL_DisableScreenSaver();
        else
            SDL_EnableScreenSaver();
    }
    return previous;
}

u32 GetMessageTime()
{
    return State().LastTime;
}

u32 GetSdlWindowId(HWND window)
{
    return Find(window) ? SDL_GetWindowID(GetSdlWindow(window)) : 0;
}

} // namespace lv::platform
