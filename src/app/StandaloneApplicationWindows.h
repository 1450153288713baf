#pragma once
// The platform layer of the stand-alone game: one main window, the loop that alternates window
// messages with frames, the handling of the messages that concern the window itself before the
// application sees the rest, one running instance per product, the display kept awake in full
// screen, and the taskbar thumbnail. It runs on the window-system calls of platform/Win32Window.h.
#include "app/IconBitmapSetter.h"
#include "core/SystemIntegration.h"
#include "core/WindowMessageStack.h"
#include "platform/SingleInstance.h"
#include "platform/Win32Window.h"

namespace lv::core {

class CStandaloneApplicationWindows : public CSystemIntegration
{
public:
    // The window class's name.
    static constexpr const WChar* kClassName = u"LVMainWindow";
    static constexpr const WChar* kIconName = u"IDI_MAIN_ICON";

    // Publishes the object as the process's platform layer and reads the desktop mode.
    explicit CStandaloneApplicationWindows(bool resizable);
    ~CStandaloneApplicationWindows() override;

    bool Init() override;
    void Run() override;
    void RequestQuit() override;
    void Shutdown() override;
    bool CheckSingleInstance() override;
    void RunNested() override;
    void LeavePump() override;
    bool CreateOrResizeWindow(bool fullscreen, bool flag, s32 width, s32 height) override;
    bool GetDesktopSize(s32& width, s32& height) override;
    CWindowMessage& GetCurrentMessage() override;
    void DefaultProcessMessage() override;
    void GetClientRect(CIntRect& rect) override;
    void AdjustWindowSize(CIntRect& rect) override;
    void GetWorkAreaSize(CIntRect& rect) override;
    void ScreenToClient(CPoint2i& point) override;
    void ClientToScreen(CPoint2i& point) override;
    void SetCursorPos(const CPoint2i& point) override;
    void GetCursorPos(CPoint2i& point) override;
    void SetCursorInfo(const CSystemCursorSpec& cursor, bool apply) override;
    void GetCursorInfo(CSystemCursorSpec& cursor) override;
    void ShowSystemCursor(bool show) override;
    bool IsSystemCursorShown() override;
    HWND GetWindowHandle() override;
    void PostMessage(HWND window, u32 message, WPARAM wParam, LPARAM lParam) override;
    s16 GetAsyncKeyState(s32 virtualKey) override;
    void ClipCursor(const CIntRect* screenRect) override;
    void SetCapture() override;
    void ReleaseCapture() override;
    void GetScreenDpi(s32& dpiX, s32& dpiY) override;
    void Sleep(u32 milliseconds) override;

    // Until the leave flag: at most one message, then (unless quitting) one frame.
    virtual void PumpMessages();

    lv::platform::HINSTANCE GetInstanceHandle() const { return m_Instance; }
    // The id of the "bring to front" message, 0 until the single-instance check made it.
    u32 GetNotifyMessage() const { return m_NotifyMessage; }
    bool IsQuitRequested() const { return m_Quit; }
    // Styles of the main window: full screen, windowed resizable, windowed fixed.
    u32 ComputeStyle(bool fullscreen) const;
    void ReadDesktopMode();

    // The procedure of every window of the class; forwards to the platform object.
    static LRESULT WindowProc(HWND window, u32 message, WPARAM wParam, LPARAM lParam);

private:
    bool RegisterWindowClass();
    LRESULT HandleMessage(HWND window, u32 message, WPARAM wParam, LPARAM lParam);
    void BringToFront();

    HWND m_Window = nullptr;
    lv::platform::HINSTANCE m_Instance = nullptr;
    bool m_Quit = false;
    bool m_Leave = false;
    bool m_ClassRegistered = false;
    u32 m_NotifyMessage = 0;
    // In place of the single-instance mutex.
    lv::platform::CSingleInstance m_SingleInstance;
    lv::platform::DEVMODEW m_DesktopMode;
    CSystemCursorSpec m_CursorSpec;
    bool m_CursorShown = true;
    bool m_Resizable = false;
    CWindowMessageStack m_Messages;
    CIconBitmapSetter m_IconSetter;
    u32 m_LastMessageTime = 0;
};

} // namespace lv::core
