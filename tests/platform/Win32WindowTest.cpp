#include "platform/Win32Window.h"

#include "platform/SyntheticInput.h"
#include "platform/Utf16.h"

#include <gtest/gtest.h>

#include <vector>

using namespace lv::platform;

namespace {

struct SReceived
{
    HWND Window;
    u32 Message;
    WPARAM WParam;
    LPARAM LParam;
};
std::vector<SReceived> g_Received;

LRESULT RecordingProc(HWND window, u32 message, WPARAM wParam, LPARAM lParam)
{
    g_Received.push_back(SReceived{window, message, wParam, lParam});
    return DefWindowProcW(window, message, wParam, lParam);
}

constexpr u32 kWindowed = WS_POPUP | WS_VISIBLE | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX;
constexpr u32 kFullscreen = WS_POPUP | WS_VISIBLE | WS_SYSMENU;

// One class and one window per test, under SDL's offscreen driver.
class Win32Window : public testing::Test
{
protected:
    void SetUp() override
    {
        g_Received.clear();
        WNDCLASSW windowClass;
        windowClass.style = CS_DBLCLKS;
        windowClass.lpfnWndProc = &RecordingProc;
        windowClass.hInstance = GetModuleHandleW(nullptr);
        windowClass.lpszClassName = u"TestWindow";
        ASSERT_NE(RegisterClassW(&windowClass), 0);
        m_Window = CreateWindowExW(0, u"TestWindow", u"Caf\u00e9 \U0001F600", kWindowed, 100, 50, 640, 480, nullptr,
                                   nullptr, GetModuleHandleW(nullptr), nullptr);
        ASSERT_NE(m_Window, nullptr);
        Drain();
    }
    void TearDown() override
    {
        if (m_Window) {
            EXPECT_TRUE(DestroyWindow(m_Window));
        }
        EXPECT_TRUE(UnregisterClassW(u"TestWindow", GetModuleHandleW(nullptr)));
    }

    // Dispatches everything waiting, including the window system's own events.
    void Drain()
    {
        MSG msg;
        for (int i = 0; i < 1000 && PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE); ++i) {
            TranslateMessage(&msg);
            DispatchMessageW(&msg);
        }
    }
    // The input and command messages, without the window system's own state reports (paint,
    // move, size, activation), which come as it pleases.
    std::vector<u32> Codes() const
    {
        std::vector<u32> codes;
        for (const SReceived& r : g_Received)
            if (r.Message != WM_PAINT && r.Message != WM_MOVE && r.Message != WM_SIZE && r.Message != WM_ACTIVATEAPP)
                codes.push_back(r.Message);
        return codes;
    }
    // The received message at an index of Codes().
    const SReceived& Nth(size_t index) const
    {
        size_t n = 0;
        for (const SReceived& r : g_Received) {
            if (r.Message == WM_PAINT || r.Message == WM_MOVE || r.Message == WM_SIZE || r.Message == WM_ACTIVATEAPP)
                continue;
            if (n++ == index)
                return r;
        }
        static SReceived none{};
        return none;
    }
    void Push(SSyntheticEvent event) { ASSERT_TRUE(PushSyntheticEvent(event, GetSdlWindowId(m_Window))); }
    static SSyntheticEvent Key(ESyntheticEvent type, const char* name)
    {
        SSyntheticEvent e;
        e.Type = type;
        e.Key = name;
        return e;
    }

    HWND m_Window = nullptr;
};

} // namespace

TEST_F(Win32Window, CreatesTheWindowWithItsClientSizeAndTitle)
{
    RECT client;
    ASSERT_TRUE(GetClientRect(m_Window, &client));
    EXPECT_EQ(client.right - client.left, 640);
    EXPECT_EQ(client.bottom - client.top, 480);
    WChar title[64];
    EXPECT_EQ(GetWindowTextW(m_Window, title, 64), 7);
    EXPECT_EQ(WString(title), WString(u"Caf\u00e9 \U0001F600"));
    WChar small[4];
    EXPECT_EQ(GetWindowTextW(m_Window, small, 4), 3);
    EXPECT_EQ(WString(small), u"Caf");
    // A cut never splits a surrogate pair.
    WChar six[6];
    EXPECT_EQ(GetWindowTextW(m_Window, six, 6), 5);
    EXPECT_EQ(WString(six), u"Caf\u00e9 ");
    EXPECT_TRUE(IsWindow(m_Window));
    EXPECT_EQ(GetWindowLongW(m_Window, GWL_STYLE), static_cast<s32>(kWindowed));

    // A class name is registered once.
    WNDCLASSW again;
    again.lpfnWndProc = &RecordingProc;
    again.lpszClassName = u"TestWindow";
    EXPECT_EQ(RegisterClassW(&again), 0);
    EXPECT_EQ(GetLastError(), ERROR_CLASS_ALREADY_EXISTS);
    EXPECT_EQ(CreateWindowExW(0, u"NoSuchClass", u"", kWindowed, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr),
              nullptr);
}

TEST_F(Win32Window, TitlesFromTheSystemAreDecodedByTheOneCodec)
{
    // Whatever bytes the window system holds, the title reads back as the codec decodes them:
    // broken sequences become U+FFFD, never zero characters or stray units.
    for (const char* title : {"plain", "A\x80" "B", "\xC3" "a\xE2\x82", "\xC0\x80" "x", "\xED\xA0\x80",
                              "\xF4\x90\x80\x80", "\xF0\x9F\x98\x80\xFF"}) {
        SCOPED_TRACE(title);
        ASSERT_TRUE(SetSystemWindowTitle(m_Window, title));
        WChar text[64];
        const WString expected = Utf8ToUtf16(title);
        EXPECT_EQ(GetWindowTextW(m_Window, text, 64), static_cast<s32>(expected.size()));
        EXPECT_EQ(WString(text), expected);
    }
    EXPECT_EQ(Utf8ToUtf16("A\x80" "B"), u"A\uFFFDB");
}

TEST_F(Win32Window, PostedMessagesArriveInOrderThroughTheWindowProcedure)
{
    const u32 notify = RegisterWindowMessageW(u"NotifyGame");
    EXPECT_EQ(notify, RegisterWindowMessageW(u"NotifyGame"));
    EXPECT_GE(notify, 0xC000u);
    EXPECT_LE(notify, 0xFFFFu);
    EXPECT_NE(notify, RegisterWindowMessageW(u"NotifyOther"));

    ASSERT_TRUE(PostMessageW(m_Window, WM_SYSCOMMAND, SC_RESTORE, 0));
    ASSERT_TRUE(PostMessageW(HWND_BROADCAST, notify, 0, 0));
    Drain();
    ASSERT_EQ(Codes(), (std::vector<u32>{WM_SYSCOMMAND, notify}));
    EXPECT_EQ(Nth(0).Window, m_Window);
    EXPECT_EQ(Nth(0).WParam, SC_RESTORE);

    // Messages for a window that is gone are dropped with it.
    EXPECT_FALSE(PostMessageW(reinterpret_cast<HWND>(0x10), WM_CLOSE, 0, 0));
    EXPECT_EQ(GetLastError(), ERROR_INVALID_WINDOW_HANDLE);
}

TEST_F(Win32Window, PushedKeysBecomeMessagesAndKeyStateWithoutTheSystemsState)
{
    Push(Key(ESyntheticEvent::KeyDown, "Left Ctrl"));
    Push(Key(ESyntheticEvent::KeyDown, "Left Alt"));
    Push(Key(ESyntheticEvent::KeyDown, "P"));
    Drain();
    ASSERT_EQ(Codes(), (std::vector<u32>{WM_KEYDOWN, WM_KEYDOWN, WM_KEYDOWN}));
    EXPECT_EQ(Nth(2).WParam, static_cast<WPARAM>('P'));
    EXPECT_EQ(Nth(2).Window, m_Window);
    EXPECT_NE(GetAsyncKeyState(VK_CONTROL) & 0x8000, 0);
    EXPECT_NE(GetAsyncKeyState(VK_MENU) & 0x8000, 0);
    Push(Key(ESyntheticEvent::KeyUp, "P"));
    Push(Key(ESyntheticEvent::KeyUp, "Left Alt"));
    Push(Key(ESyntheticEvent::KeyUp, "Left Ctrl"));
    Drain();
    EXPECT_EQ(GetAsyncKeyState(VK_MENU), 0);
    EXPECT_EQ(GetAsyncKeyState(VK_CONTROL), 0);
}

TEST_F(Win32Window, DefaultHandlingOfAltF4AndAltEnter)
{
    Push(Key(ESyntheticEvent::KeyDown, "Left Alt"));
    Push(Key(ESyntheticEvent::KeyDown, "F4"));
    Push(Key(ESyntheticEvent::KeyUp, "F4"));
    Push(Key(ESyntheticEvent::KeyDown, "Return"));
    Push(Key(ESyntheticEvent::KeyUp, "Return"));
    Push(Key(ESyntheticEvent::KeyUp, "Left Alt"));
    Drain();
    EXPECT_EQ(Codes(), (std::vector<u32>{WM_SYSKEYDOWN, WM_SYSKEYDOWN, WM_SYSCOMMAND, WM_CLOSE, WM_SYSKEYUP,
                                         WM_SYSKEYDOWN, WM_SYSCOMMAND, WM_SYSKEYUP, WM_SYSKEYUP}));
    EXPECT_EQ(Nth(2).WParam, SC_CLOSE);
    EXPECT_EQ(Nth(6).WParam, SC_KEYMENU);
    EXPECT_EQ(Nth(6).LParam, 13);
    // Closing only asks: the window is still there.
    EXPECT_TRUE(IsWindow(m_Window));
}

TEST_F(Win32Window, FastMouseMotionIsMergedIntoTheLastPosition)
{
    for (int i = 0; i < 50; ++i) {
        SSyntheticEvent move;
        move.Type = ESyntheticEvent::MouseMove;
        move.X = i;
        move.Y = 2 * i;
        Push(move);
    }
    Push(Key(ESyntheticEvent::KeyDown, "A"));
    Drain();
    ASSERT_EQ(Codes(), (std::vector<u32>{WM_MOUSEMOVE, WM_KEYDOWN}));
    EXPECT_EQ(GET_X_LPARAM(Nth(0).LParam), 49);
    EXPECT_EQ(GET_Y_LPARAM(Nth(0).LParam), 98);

    // The cursor position follows the events, in screen coordinates.
    POINT cursor;
    ASSERT_TRUE(GetCursorPos(&cursor));
    POINT client = cursor;
    ASSERT_TRUE(ScreenToClient(m_Window, &client));
    EXPECT_EQ(client.x, 49);
    EXPECT_EQ(client.y, 98);
    ASSERT_TRUE(ClientToScreen(m_Window, &client));
    EXPECT_EQ(client.x, cursor.x);
    EXPECT_EQ(client.y, cursor.y);
    Push(Key(ESyntheticEvent::KeyUp, "A"));
    Drain();
}

TEST_F(Win32Window, PopupCoveringTheDesktopIsFullScreenAndBack)
{
    DEVMODEW desktop;
    ASSERT_TRUE(EnumDisplaySettingsExW(nullptr, ENUM_CURRENT_SETTINGS, &desktop, 0));
    EXPECT_EQ(desktop.dmBitsPerPel, 32u);
    EXPECT_GE(desktop.dmPelsWidth, 1366u);
    EXPECT_EQ(GetSystemMetrics(SM_CXSCREEN), static_cast<s32>(desktop.dmPelsWidth));
    RECT work;
    ASSERT_TRUE(SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0));
    EXPECT_EQ(GetSystemMetrics(SM_CXFULLSCREEN), work.right - work.left);
    EXPECT_EQ(GetScreenDeviceCaps(LOGPIXELSX), 96);

    SetLastError(0);
    EXPECT_EQ(SetWindowLongW(m_Window, GWL_STYLE, static_cast<s32>(kFullscreen)), static_cast<s32>(kWindowed));
    EXPECT_EQ(GetLastError(), 0u);
    ASSERT_TRUE(SetWindowPos(m_Window, HWND_TOPMOST, 0, 0, static_cast<s32>(desktop.dmPelsWidth),
                             static_cast<s32>(desktop.dmPelsHeight), SWP_NOMOVE));
    RECT client;
    ASSERT_TRUE(GetClientRect(m_Window, &client));
    EXPECT_EQ(client.right, static_cast<s32>(desktop.dmPelsWidth));
    EXPECT_EQ(client.bottom, static_cast<s32>(desktop.dmPelsHeight));

    RECT outer = {0, 0, 800, 600};
    ASSERT_TRUE(AdjustWindowRect(&outer, kWindowed, false));
    EXPECT_GE(outer.right - outer.left, 800);
    SetWindowLongW(m_Window, GWL_STYLE, static_cast<s32>(kWindowed));
    ASSERT_TRUE(SetWindowPos(m_Window, HWND_NOTOPMOST, 10, 20, outer.right - outer.left, outer.bottom - outer.top, 0));
    ASSERT_TRUE(GetClientRect(m_Window, &client));
    EXPECT_EQ(client.right, 800);
    EXPECT_EQ(client.bottom, 600);
    Drain();
}

TEST_F(Win32Window, SystemCursorsAreSharedAndCanBeHidden)
{
    HCURSOR hand = LoadCursorW(nullptr, IDC_HAND);
    ASSERT_NE(hand, nullptr);
    EXPECT_EQ(LoadCursorW(nullptr, IDC_HAND), hand);
    EXPECT_EQ(LoadCursorW(nullptr, u"IDC_HAND"), hand);
    EXPECT_NE(LoadCursorW(nullptr, IDC_ARROW), hand);
    EXPECT_EQ(LoadCursorW(nullptr, u"no such cursor"), LoadCursorW(nullptr, IDC_ARROW));
    SetCursor(hand);
    EXPECT_EQ(SetCursor(nullptr), hand);
    EXPECT_EQ(SetCursor(hand), nullptr);
    EXPECT_EQ(SetThreadExecutionState(ES_CONTINUOUS | ES_DISPLAY_REQUIRED) & ES_CONTINUOUS, ES_CONTINUOUS);
    EXPECT_EQ(SetThreadExecutionState(ES_CONTINUOUS), ES_CONTINUOUS | ES_DISPLAY_REQUIRED);
}

TEST_F(Win32Window, DestroyedWindowTakesItsMessagesAlong)
{
    PostMessageW(m_Window, WM_CLOSE, 0, 0);
    ASSERT_TRUE(DestroyWindow(m_Window));
    HWND gone = m_Window;
    m_Window = nullptr;
    Drain();
    EXPECT_TRUE(g_Received.empty());
    EXPECT_FALSE(IsWindow(gone));
    EXPECT_FALSE(DestroyWindow(gone));
}
