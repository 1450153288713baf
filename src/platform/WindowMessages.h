#pragma once
// The window-event vocabulary of the framework. Input and window events travel as Windows-style
// messages with the Windows numbers, so that the application, the GUI and the input recordings
// all speak one language; the platform layer turns the native events into these. Only the
// codes the framework handles are listed.
#include "core/Types.h"

// Opaque handle of a platform window; null means "no window". Declared the same way wherever
// the platform's window types are, so both headers can meet in one file.
struct HWND__;
using HWND = HWND__*;
using WPARAM = u64;
using LPARAM = s64;
using LRESULT = s64;

// Message codes.
constexpr u32 WM_NULL = 0x0000;
constexpr u32 WM_MOVE = 0x0003;
constexpr u32 WM_SIZE = 0x0005;
constexpr u32 WM_PAINT = 0x000F;
constexpr u32 WM_CLOSE = 0x0010;
constexpr u32 WM_QUIT = 0x0012;
constexpr u32 WM_ERASEBKGND = 0x0014;
constexpr u32 WM_ENDSESSION = 0x0016;
constexpr u32 WM_SETTINGCHANGE = 0x001A;
constexpr u32 WM_ACTIVATEAPP = 0x001C;
constexpr u32 WM_SETCURSOR = 0x0020;
constexpr u32 WM_GETMINMAXINFO = 0x0024;
constexpr u32 WM_DISPLAYCHANGE = 0x007E;
constexpr u32 WM_KEYDOWN = 0x0100;
constexpr u32 WM_KEYUP = 0x0101;
constexpr u32 WM_CHAR = 0x0102;
constexpr u32 WM_DEADCHAR = 0x0103;
constexpr u32 WM_SYSKEYDOWN = 0x0104;
constexpr u32 WM_SYSKEYUP = 0x0105;
constexpr u32 WM_SYSCOMMAND = 0x0112;
constexpr u32 WM_MOUSEMOVE = 0x0200;
constexpr u32 WM_LBUTTONDOWN = 0x0201;
constexpr u32 WM_LBUTTONUP = 0x0202;
constexpr u32 WM_LBUTTONDBLCLK = 0x0203;
constexpr u32 WM_RBUTTONDOWN = 0x0204;
constexpr u32 WM_RBUTTONUP = 0x0205;
constexpr u32 WM_RBUTTONDBLCLK = 0x0206;
constexpr u32 WM_MBUTTONDOWN = 0x0207;
constexpr u32 WM_MBUTTONUP = 0x0208;
constexpr u32 WM_MBUTTONDBLCLK = 0x0209;
constexpr u32 WM_MOUSEWHEEL = 0x020A;
constexpr u32 WM_WTSSESSION_CHANGE = 0x02B1;
constexpr u32 WM_DWMNCRENDERINGCHANGED = 0x031F;
constexpr u32 WM_DWMSENDICONICTHUMBNAIL = 0x0323;

// WM_SIZE kinds (wParam).
constexpr WPARAM SIZE_RESTORED = 0;
constexpr WPARAM SIZE_MINIMIZED = 1;
constexpr WPARAM SIZE_MAXIMIZED = 2;

// WM_SYSCOMMAND commands (wParam).
constexpr WPARAM SC_KEYMENU = 0xF100;
constexpr WPARAM SC_RESTORE = 0xF120;
constexpr WPARAM SC_MINIMIZE = 0xF020;
constexpr WPARAM SC_CLOSE = 0xF060;

// WM_WTSSESSION_CHANGE codes (wParam).
constexpr WPARAM WTS_SESSION_LOCK = 7;
constexpr WPARAM WTS_SESSION_UNLOCK = 8;

// Mouse-message key-state bits (wParam).
constexpr WPARAM MK_LBUTTON = 0x0001;
constexpr WPARAM MK_RBUTTON = 0x0002;
constexpr WPARAM MK_SHIFT = 0x0004;
constexpr WPARAM MK_CONTROL = 0x0008;
constexpr WPARAM MK_MBUTTON = 0x0010;

// One notch of the mouse wheel.
constexpr s32 WHEEL_DELTA = 120;

// Virtual-key codes. Letters and digits are their upper-case ASCII codes ('A' = 0x41).
constexpr s32 VK_BACK = 0x08;
constexpr s32 VK_TAB = 0x09;
constexpr s32 VK_RETURN = 0x0D;
constexpr s32 VK_SHIFT = 0x10;
constexpr s32 VK_CONTROL = 0x11;
constexpr s32 VK_MENU = 0x12;
constexpr s32 VK_ESCAPE = 0x1B;
constexpr s32 VK_SPACE = 0x20;
constexpr s32 VK_PRIOR = 0x21;
constexpr s32 VK_NEXT = 0x22;
constexpr s32 VK_END = 0x23;
constexpr s32 VK_HOME = 0x24;
constexpr s32 VK_LEFT = 0x25;
constexpr s32 VK_UP = 0x26;
constexpr s32 VK_RIGHT = 0x27;
constexpr s32 VK_DOWN = 0x28;
constexpr s32 VK_INSERT = 0x2D;
constexpr s32 VK_DELETE = 0x2E;
constexpr s32 VK_F1 = 0x70;
constexpr s32 VK_F2 = 0x71;
constexpr s32 VK_F3 = 0x72;
constexpr s32 VK_F4 = 0x73;
constexpr s32 VK_F5 = 0x74;
constexpr s32 VK_F6 = 0x75;
constexpr s32 VK_F7 = 0x76;
constexpr s32 VK_F8 = 0x77;
constexpr s32 VK_F9 = 0x78;
constexpr s32 VK_F10 = 0x79;
constexpr s32 VK_F11 = 0x7A;
constexpr s32 VK_F12 = 0x7B;
constexpr s32 VK_OEM_PLUS = 0xBB;
constexpr s32 VK_OEM_MINUS = 0xBD;
constexpr s32 VK_OEM_2 = 0xBF;

// System cursor ids.
constexpr u32 IDC_ARROW = 32512;
constexpr u32 IDC_IBEAM = 32513;
constexpr u32 IDC_WAIT = 32514;
constexpr u32 IDC_HAND = 32649;

// Word and coordinate extraction from message parameters.
constexpr u16 LOWORD(u64 value)
{
    return static_cast<u16>(value & 0xFFFF);
}
constexpr u16 HIWORD(u64 value)
{
    return static_cast<u16>((value >> 16) & 0xFFFF);
}
// Signed client coordinates packed into lParam by mouse messages.
constexpr s32 GET_X_LPARAM(LPARAM lParam)
{
    return static_cast<s16>(LOWORD(static_cast<u64>(lParam)));
}
constexpr s32 GET_Y_LPARAM(LPARAM lParam)
{
    return static_cast<s16>(HIWORD(static_cast<u64>(lParam)));
}
// Signed wheel delta in the high word of wParam.
constexpr s32 GET_WHEEL_DELTA_WPARAM(WPARAM wParam)
{
    return static_cast<s16>(HIWORD(wParam));
}
constexpr LPARAM MAKELPARAM(s32 low, s32 high)
{
    return static_cast<LPARAM>(static_cast<u32>(static_cast<u16>(low)) |
                               (static_cast<u32>(static_cast<u16>(high)) << 16));
}
constexpr WPARAM MAKEWPARAM(s32 low, s32 high)
{
    return static_cast<WPARAM>(static_cast<u32>(MAKELPARAM(low, high)));
}

// The message being handled: its window, code and parameters, the result its handler sets,
// and the time (ms of the platform's tick clock) at which the message pump took the last message
// from the queue.
struct CWindowMessage
{
    HWND Window = nullptr;
    u32 Message = WM_NULL;
    WPARAM WParam = 0;
    LPARAM LParam = 0;
    LRESULT Result = 0;
    u32 Time = 0;
};
