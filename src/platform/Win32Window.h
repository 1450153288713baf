#pragma once
// The window-system calls the application's platform layer makes, shaped like their Windows
// namesakes (same names, constants and meanings, only the subset used) and carried out on SDL:
// one SDL window per HWND, SDL's event queue translated into window messages, SDL's cursors and
// display modes. Sizes and positions follow the Windows conventions: a window's outer rectangle
// includes its frame, and screen coordinates have the desktop's top-left corner at (0, 0).
#include "core/Types.h"
#include "platform/WinTypes.h"
#include "platform/WindowMessages.h"

namespace lv::platform {

using HINSTANCE = void*;
using HICON = void*;
using HBRUSH = void*;
using HMENU = void*;
using HCURSOR = void*;
using WNDPROC = LRESULT (*)(HWND window, u32 message, WPARAM wParam, LPARAM lParam);

struct POINT
{
    LONG x;
    LONG y;
};

struct WNDCLASSW
{
    u32 style = 0;
    WNDPROC lpfnWndProc = nullptr;
    HINSTANCE hInstance = nullptr;
    HICON hIcon = nullptr;
    HCURSOR hCursor = nullptr;
    HBRUSH hbrBackground = nullptr;
    const WChar* lpszMenuName = nullptr;
    const WChar* lpszClassName = nullptr;
};

struct MSG
{
    HWND hwnd = nullptr;
    u32 message = 0;
    WPARAM wParam = 0;
    LPARAM lParam = 0;
    u32 time = 0;
    POINT pt = {0, 0};
};

struct DEVMODEW
{
    u32 dmSize = sizeof(DEVMODEW);
    u32 dmBitsPerPel = 0;
    u32 dmPelsWidth = 0;
    u32 dmPelsHeight = 0;
    u32 dmDisplayFrequency = 0;
};

struct WINDOWPLACEMENT
{
    u32 length = sizeof(WINDOWPLACEMENT);
    u32 flags = 0;
    u32 showCmd = 0;
};

// Class and window styles.
constexpr u32 CS_DBLCLKS = 0x0008;
constexpr u32 WS_POPUP = 0x80000000u;
constexpr u32 WS_VISIBLE = 0x10000000u;
constexpr u32 WS_CAPTION = 0x00C00000u;
constexpr u32 WS_SYSMENU = 0x00080000u;
constexpr u32 WS_THICKFRAME = 0x00040000u;
constexpr u32 WS_MINIMIZEBOX = 0x00020000u;
constexpr u32 WS_MAXIMIZEBOX = 0x00010000u;
constexpr s32 GWL_STYLE = -16;

// SetWindowPos.
inline HWND const HWND_TOPMOST = reinterpret_cast<HWND>(static_cast<intptr_t>(-1));
inline HWND const HWND_NOTOPMOST = reinterpret_cast<HWND>(static_cast<intptr_t>(-2));
inline HWND const HWND_BROADCAST = reinterpret_cast<HWND>(static_cast<intptr_t>(0xFFFF));
constexpr u32 SWP_NOSIZE = 0x0001;
constexpr u32 SWP_NOMOVE = 0x0002;
constexpr u32 SWP_NOACTIVATE = 0x0010;

// ShowWindow and WINDOWPLACEMENT.
constexpr s32 SW_HIDE = 0;
constexpr s32 SW_SHOWNORMAL = 1;
constexpr s32 SW_SHOWMINIMIZED = 2;
constexpr s32 SW_MINIMIZE = 6;
constexpr s32 SW_SHOW = 5;
constexpr s32 SW_RESTORE = 9;

constexpr u32 PM_REMOVE = 0x0001;
constexpr u32 SPI_GETWORKAREA = 0x0030;
constexpr u32 ENUM_CURRENT_SETTINGS = 0xFFFFFFFFu;
constexpr s32 SM_CXSCREEN = 0;
constexpr s32 SM_CYSCREEN = 1;
constexpr s32 SM_CXFULLSCREEN = 16;
constexpr s32 SM_CYFULLSCREEN = 17;
constexpr s32 LOGPIXELSX = 88;
constexpr s32 LOGPIXELSY = 90;
constexpr u32 ES_CONTINUOUS = 0x80000000u;
constexpr u32 ES_DISPLAY_REQUIRED = 0x00000002u;
constexpr u32 ERROR_ALREADY_EXISTS = 183;
constexpr u32 ERROR_INVALID_WINDOW_HANDLE = 1400;
constexpr u32 ERROR_CLASS_ALREADY_EXISTS = 1410;
constexpr u32 ERROR_CANNOT_FIND_WND_CLASS = 1407;

// Thread error code of the last failing call, as GetLastError reports it.
u32 GetLastError();
void SetLastError(u32 error);

HINSTANCE GetModuleHandleW(const WChar* name);

// Why the window system could not be started (RegisterClassW failed for lack of one).
const char* GetWindowSystemError();

// Classes: the window procedure and style of every window made from them.
u16 RegisterClassW(const WNDCLASSW* windowClass);
bool UnregisterClassW(const WChar* className, HINSTANCE instance);

// Creates a window of a registered class (an OpenGL-capable SDL window); x, y, width and height
// are its outer rectangle. WS_VISIBLE shows it at once. Null on failure.
HWND CreateWindowExW(u32 exStyle, const WChar* className, const WChar* title, u32 style, s32 x, s32 y, s32 width,
                     s32 height, HWND parent, HMENU menu, HINSTANCE instance, void* param);
bool DestroyWindow(HWND window);
bool IsWindow(HWND window);
// GWL_STYLE only: re-styles the window (frame, resizable edge); returns the previous style, 0
// on failure.
s32 SetWindowLongW(HWND window, s32 index, s32 value);
s32 GetWindowLongW(HWND window, s32 index);
// A popup window that covers the whole desktop becomes SDL's desktop full screen.
bool SetWindowPos(HWND window, HWND insertAfter, s32 x, s32 y, s32 width, s32 height, u32 flags);
bool ShowWindow(HWND window, s32 command);
bool SetWindowTextW(HWND window, const WChar* text);
// Copies the title (cut to the buffer, always terminated); returns its length.
s32 GetWindowTextW(HWND window, WChar* buffer, s32 capacity);
bool GetWindowPlacement(HWND window, WINDOWPLACEMENT* placement);
bool SetForegroundWindow(HWND window);
bool BringWindowToTop(HWND window);
HWND GetForegroundWindow();

bool GetClientRect(HWND window, RECT* rect);
bool GetWindowRect(HWND window, RECT* rect);
// Grows a client rectangle to the outer rectangle of a window with the style.
bool AdjustWindowRect(RECT* rect, u32 style, bool menu);
bool ScreenToClient(HWND window, POINT* point);
bool ClientToScreen(HWND window, POINT* point);

// Messages. PeekMessageW takes a posted message first, else translates the next system event
// (several messages of one event wait in the queue); consecutive mouse motions are merged into
// the last one, as Windows does, so a fast mouse never builds a backlog.
bool PeekMessageW(MSG* msg, HWND window, u32 filterMin, u32 filterMax, u32 remove);
bool TranslateMessage(const MSG* msg);
LRESULT DispatchMessageW(const MSG* msg);
// Runs the window's procedure at once.
LRESULT SendMessageW(HWND window, u32 message, WPARAM wParam, LPARAM lParam);
bool PostMessageW(HWND window, u32 message, WPARAM wParam, LPARAM lParam);
// The default handling: Alt+F4 closes, Alt+Enter becomes the menu-key command for Return,
// the close, minimise and restore commands act on the window; everything else returns 0.
LRESULT DefWindowProcW(HWND window, u32 message, WPARAM wParam, LPARAM lParam);
// A message id that every process asking for the same name gets.
u32 RegisterWindowMessageW(const WChar* name);

// Keyboard and mouse.
s16 GetAsyncKeyState(s32 virtualKey);
bool GetCursorPos(POINT* point);
bool SetCursorPos(s32 x, s32 y);
// Only the system cursors (instance null): IDC_ARROW, IDC_HAND, IDC_IBEAM, IDC_WAIT, or a name
// of one of them ("IDC_HAND", "hand"); an unknown one is the arrow.
HCURSOR LoadCursorW(HINSTANCE instance, const WChar* name);
HCURSOR LoadCursorW(HINSTANCE instance, u32 id);
// Null hides the cursor over the window; returns the previous one.
HCURSOR SetCursor(HCURSOR cursor);
// Screen rectangle; null frees the cursor.
bool ClipCursor(const RECT* rect);
HWND SetCapture(HWND window);
bool ReleaseCapture();

// Screen.
bool EnumDisplaySettingsExW(const WChar* device, u32 modeNumber, DEVMODEW* mode, u32 flags);
bool SystemParametersInfoW(u32 action, u32 param, void* data, u32 winIni);
s32 GetSystemMetrics(s32 index);
s32 GetScreenDeviceCaps(s32 index);
u32 SetThreadExecutionState(u32 flags);

// Time stamp of the last message PeekMessageW took.
u32 GetMessageTime();

// Tests and tools: the SDL window id behind a window, for events aimed at it.
u32 GetSdlWindowId(HWND window);

} // namespace lv::platform
