#include "app/StandaloneApplicationWindows.h"

#include "app/Application.h"
#include "core/Log.h"
#include "core/TextConvert.h"
#include "graphics/Renderer.h"
#include "platform/Clock.h"

namespace lv::core {

using namespace lv::platform;

namespace {

CStandaloneApplicationWindows* g_Platform = nullptr;

constexpr u32 kStyleFullscreen = WS_POPUP | WS_VISIBLE | WS_SYSMENU;
constexpr u32 kStyleWindowedResizable =
    WS_POPUP | WS_VISIBLE | WS_CAPTION | WS_SYSMENU | WS_THICKFRAME | WS_MINIMIZEBOX | WS_MAXIMIZEBOX;
constexpr u32 kStyleWindowedFixed = WS_POPUP | WS_VISIBLE | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX;
static_assert(kStyleFullscreen == 0x90080000u);
static_assert(kStyleWindowedResizable == 0x90CF0000u);
static_assert(kStyleWindowedFixed == 0x90CA0000u);

lv::graphics::CRenderer* Renderer()
{
    CApplication* app = CApplication::Instance();
    return app ? &app->GetRenderer() : nullptr;
}

} // namespace

CStandaloneApplicationWindows::CStandaloneApplicationWindows(bool resizable)
    : m_Instance(GetModuleHandleW(nullptr)), m_Resizable(resizable)
{
    g_Platform = this;
    ReadDesktopMode();
}

CStandaloneApplicationWindows::~CStandaloneApplicationWindows()
{
    if (m_Window) {
        DestroyWindow(m_Window);
        m_Window = nullptr;
    }
    if (m_ClassRegistered)
        UnregisterClassW(kClassName, m_Instance);
    if (g_Platform == this)
        g_Platform = nullptr;
}

void CStandaloneApplicationWindows::ReadDesktopMode()
{
    DEVMODEW mode;
    if (EnumDisplaySettingsExW(nullptr, ENUM_CURRENT_SETTINGS, &mode, 0))
        m_DesktopMode = mode;
}

u32 CStandaloneApplicationWindows::ComputeStyle(bool fullscreen) const
{
    if (fullscreen)
        return kStyleFullscreen;
    return m_Resizable ? kStyleWindowedResizable : kStyleWindowedFixed;
}

bool CStandaloneApplicationWindows::RegisterWindowClass()
{
    WNDCLASSW windowClass;
    windowClass.style = CS_DBLCLKS;
    windowClass.lpfnWndProc = &CStandaloneApplicationWindows::WindowProc;
    windowClass.hInstance = m_Instance;
    windowClass.lpszClassName = kClassName;
    if (RegisterClassW(&windowClass) == 0) {
        CLog::Instance().Print("app", 3, "no window system: %s", GetWindowSystemError());
        return false;
    }
    m_ClassRegistered = true;
    return true;
}

bool CStandaloneApplicationWindows::Init()
{
    if (!RegisterWindowClass())
        return false;
    // The window system runs only from here on; the desktop read at construction was a guess.
    ReadDesktopMode();
    if (CApplication* app = CApplication::Instance()) {
        for (s32 kind = 1; kind <= 7; ++kind)
            app->SetGestureEnabled(kind, false);
    }
    return true;
}

void CStandaloneApplicationWindows::Run()
{
    PumpMessages();
}

void CStandaloneApplicationWindows::PumpMessages()
{
    while (!m_Leave) {
        if (!m_Quit) {
            // A second instance asked for this one: the request travels as the registered
            // message, like every other message of the window.
            if (m_SingleInstance.TakeNotification() && m_Window && m_NotifyMessage != 0)
                PostMessageW(m_Window, m_NotifyMessage, 0, 0);
            MSG msg;
            if (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
                m_LastMessageTime = msg.time;
                TranslateMessage(&msg);
                DispatchMessageW(&msg);
            }
        }
        if (m_Quit)
            break;
        OnFrame();
        OnRender();
    }
    m_Leave = false;
}

void CStandaloneApplicationWindows::RequestQuit()
{
    m_Quit = true;
}

void CStandaloneApplicationWindows::RunNested()
{
    PumpMessages();
}

void CStandaloneApplicationWindows::LeavePump()
{
    m_Leave = true;
}

void CStandaloneApplicationWindows::Shutdown()
{
    if (!m_Window)
        return;
    DestroyWindow(m_Window);
    m_Window = nullptr;
    UnregisterClassW(kClassName, m_Instance);
    m_ClassRegistered = false;
    m_SingleInstance.Release();
}

bool CStandaloneApplicationWindows::CheckSingleInstance()
{
    CApplication* app = CApplication::Instance();
    const WString product = app ? app->GetProduct() : WString();
    if (product.empty())
        return true;
    m_NotifyMessage = RegisterWindowMessageW((u"Notify" + product).c_str());
    // Taken: the running instance has been told to come to the front.
    return m_SingleInstance.Acquire(WideToUtf8(product).c_str());
}

void CStandaloneApplicationWindows::BringToFront()
{
    CLog& log = CLog::Instance();
    log.Print("app", 1, "another instance was started: bringing the window to the front");
    log.Flush();
    WINDOWPLACEMENT placement;
    if (GetWindowPlacement(m_Window, &placement) && placement.showCmd == static_cast<u32>(SW_SHOWMINIMIZED))
        ShowWindow(m_Window, SW_RESTORE);
    SetForegroundWindow(m_Window);
    BringWindowToTop(m_Window);
}

bool CStandaloneApplicationWindows::CreateOrResizeWindow(bool fullscreen, bool, s32 width, s32 height)
{
    const u32 style = ComputeStyle(fullscreen);
    s32 x = 0;
    s32 y = 0;
    s32 outerWidth = width;
    s32 outerHeight = height;
    if (!fullscreen) {
        RECT outer = {0, 0, width, height};
        AdjustWindowRect(&outer, style, false);
        outerWidth = outer.right - outer.left;
        outerHeight = outer.bottom - outer.top;
        RECT work = {0, 0, 0, 0};
        SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
        x = (work.right - work.left) / 2 + work.left - outerWidth / 2;
        y = (work.bottom - work.top) / 2 + work.top - outerHeight / 2;
    }

    if (m_Window) {
        SetLastError(0);
        if (SetWindowLongW(m_Window, GWL_STYLE, static_cast<s32>(style)) == 0 || GetLastError() != 0)
            return false;
        lv::graphics::CRenderer* renderer = Renderer();
        const u32 flags = renderer && renderer->IsFullscreen() && !fullscreen ? 0 : SWP_NOMOVE;
        if (!SetWindowPos(m_Window, fullscreen ? HWND_TOPMOST : HWND_NOTOPMOST, x, y, outerWidth, outerHeight, flags))
            return false;
    } else {
        // Created at its outer size, so that the client area gets the size asked for.
        HWND window = CreateWindowExW(0, kClassName, u"", style, x, y, outerWidth, outerHeight, nullptr, nullptr,
                                      m_Instance, nullptr);
        if (!window)
            return false;
        m_IconSetter.Attach(m_Instance, window, kIconName);
        // Session lock notifications have no source here.
        if (fullscreen)
            SetWindowPos(window, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOSIZE | SWP_NOMOVE | SWP_NOACTIVATE);
        CApplication* app = CApplication::Instance();
        SetWindowTextW(window, app ? app->GetWindowTitle().c_str() : u"");
        ShowWindow(window, SW_SHOW);
        m_Window = window;
    }
    m_IconSetter.EnableIconicRepresentation(fullscreen);
    SetThreadExecutionState(fullscreen ? ES_CONTINUOUS | ES_DISPLAY_REQUIRED : ES_CONTINUOUS);
    return true;
}

bool CStandaloneApplicationWindows::GetDesktopSize(s32& width, s32& height)
{
    width = static_cast<s32>(m_DesktopMode.dmPelsWidth);
    height = static_cast<s32>(m_DesktopMode.dmPelsHeight);
    return true;
}

CWindowMessage& CStandaloneApplicationWindows::GetCurrentMessage()
{
    return m_Messages.Top();
}

void CStandaloneApplicationWindows::DefaultProcessMessage()
{
    CWindowMessage& record = m_Messages.Top();
    record.Result = DefWindowProcW(record.Window, record.Message, record.WParam, record.LParam);
}

LRESULT CStandaloneApplicationWindows::WindowProc(HWND window, u32 message, WPARAM wParam, LPARAM lParam)
{
    if (!g_Platform)
        return DefWindowProcW(window, message, wParam, lParam);
    return g_Platform->HandleMessage(window, message, wParam, lParam);
}

LRESULT CStandaloneApplicationWindows::HandleMessage(HWND window, u32 message, WPARAM wParam, LPARAM lParam)
{
    // Each nesting level has its own record, so a message sent while this one is handled
    // cannot change what the outer handler reads.
    CWindowMessageScope scope(m_Messages, window, message, wParam, lParam, m_LastMessageTime);
    CWindowMessage& record = scope.Record();
    if (!window || window != m_Window) {
        DefaultProcessMessage();
        return record.Result;
    }

    lv::graphics::CRenderer* renderer = Renderer();
    switch (message) {
    case WM_PAINT:
        OnRender();
        return 0;
    case WM_ERASEBKGND: return 1;
    case WM_SETTINGCHANGE:
    case WM_DWMNCRENDERINGCHANGED:
        if (renderer && !renderer->IsFullscreen()) {
            // The windowed size is fitted to the work area again at the next render.
            renderer->RequestModeChange(renderer->GetModeFlag());
            return 1;
        }
        break;
    case WM_DISPLAYCHANGE: {
        const s32 width = LOWORD(static_cast<u64>(lParam));
        const s32 height = HIWORD(static_cast<u64>(lParam));
        const bool flag = wParam == 32;
        if (renderer && width == renderer->GetWidth() && height == renderer->GetHeight() &&
            flag == renderer->GetModeFlag())
            return 1;
        ReadDesktopMode();
        if (renderer)
            renderer->RequestModeChange(flag);
        return 1;
    }
    case WM_DWMSENDICONICTHUMBNAIL:
        m_IconSetter.OnSendIconicThumbnail(HIWORD(static_cast<u64>(lParam)), LOWORD(static_cast<u64>(lParam)));
        break;
    default: break;
    }

    if (m_NotifyMessage != 0 && message == m_NotifyMessage)
        BringToFront();
    OnWindowMessage();
    return record.Result;
}

void CStandaloneApplicationWindows::GetClientRect(CIntRect& rect)
{
    RECT client = {0, 0, 0, 0};
    if (m_Window)
        lv::platform::GetClientRect(m_Window, &client);
    rect = CIntRect(0, 0, client.right - client.left, client.bottom - client.top);
}

void CStandaloneApplicationWindows::AdjustWindowSize(CIntRect& rect)
{
    RECT outer = {rect.X, rect.Y, rect.X + rect.Width, rect.Y + rect.Height};
    AdjustWindowRect(&outer, ComputeStyle(false), false);
    rect.Width = outer.right - outer.left;
    rect.Height = outer.bottom - outer.top;
}

void CStandaloneApplicationWindows::GetWorkAreaSize(CIntRect& rect)
{
    RECT work = {0, 0, 0, 0};
    SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
    rect = CIntRect(0, 0, work.right - work.left, work.bottom - work.top);
}

void CStandaloneApplicationWindows::ScreenToClient(CPoint2i& point)
{
    POINT p = {point.X, point.Y};
    if (m_Window && lv::platform::ScreenToClient(m_Window, &p))
        point = CPoint2i(p.x, p.y);
}

void CStandaloneApplicationWindows::ClientToScreen(CPoint2i& point)
{
    POINT p = {point.X, point.Y};
    if (m_Window && lv::platform::ClientToScreen(m_Window, &p))
        point = CPoint2i(p.x, p.y);
}

void CStandaloneApplicationWindows::SetCursorPos(const CPoint2i& point)
{
    lv::platform::SetCursorPos(point.X, point.Y);
}

void CStandaloneApplicationWindows::GetCursorPos(CPoint2i& point)
{
    POINT p = {0, 0};
    lv::platform::GetCursorPos(&p);
    point = CPoint2i(p.x, p.y);
}

void CStandaloneApplicationWindows::SetCursorInfo(const CSystemCursorSpec& cursor, bool apply)
{
    m_CursorSpec = cursor;
    if (apply)
        ShowSystemCursor(true);
}

void CStandaloneApplicationWindows::GetCursorInfo(CSystemCursorSpec& cursor)
{
    cursor = m_CursorSpec;
}

void CStandaloneApplicationWindows::ShowSystemCursor(bool show)
{
    if (show) {
        const bool named = m_CursorSpec.CursorName.GetLength() > 0;
        SetCursor(named ? LoadCursorW(nullptr, m_CursorSpec.CursorName.GetText())
                        : LoadCursorW(nullptr, m_CursorSpec.CursorId));
    } else {
        SetCursor(nullptr);
    }
    m_CursorShown = show;
}

bool CStandaloneApplicationWindows::IsSystemCursorShown()
{
    return m_CursorShown;
}

HWND CStandaloneApplicationWindows::GetWindowHandle()
{
    return m_Window;
}

void CStandaloneApplicationWindows::PostMessage(HWND window, u32 message, WPARAM wParam, LPARAM lParam)
{
    PostMessageW(window, message, wParam, lParam);
}

s16 CStandaloneApplicationWindows::GetAsyncKeyState(s32 virtualKey)
{
    return lv::platform::GetAsyncKeyState(virtualKey);
}

void CStandaloneApplicationWindows::ClipCursor(const CIntRect* screenRect)
{
    if (!screenRect) {
        lv::platform::ClipCursor(nullptr);
        return;
    }
    const RECT rect = {screenRect->X, screenRect->Y, screenRect->X + screenRect->Width,
                       screenRect->Y + screenRect->Height};
    lv::platform::ClipCursor(&rect);
}

void CStandaloneApplicationWindows::SetCapture()
{
    if (m_Window)
        lv::platform::SetCapture(m_Window);
}

void CStandaloneApplicationWindows::ReleaseCapture()
{
    lv::platform::ReleaseCapture();
}

void CStandaloneApplicationWindows::GetScreenDpi(s32& dpiX, s32& dpiY)
{
    dpiX = GetScreenDeviceCaps(LOGPIXELSX);
    dpiY = GetScreenDeviceCaps(LOGPIXELSY);
}

void CStandaloneApplicationWindows::Sleep(u32 milliseconds)
{
    SleepUs(static_cast<s64>(milliseconds) * 1000);
}

} // namespace lv::core
