#pragma once
// The platform layer the application runs on: the main window, the message loop, the quit
// request, the single-instance check, coordinates between screen and window, the system cursor
// and a few window-system services (capture, cursor confinement, key state, posting messages).
// One implementation drives the real window system; tests use a recording one.
//
// The loop alternates window messages with frames. It reaches the application through its
// client, which the application registers: OnFrame and OnRender run the application's frame,
// OnWindowMessage hands it the message being handled.
#include "core/IntRect.h"
#include "core/Point2i.h"
#include "core/SystemCursorSpec.h"
#include "core/Types.h"
#include "platform/WindowMessages.h"

namespace lv::core {

class CSystemIntegration
{
public:
    // The side of the application that the loop drives.
    class CClient
    {
    public:
        virtual void UpdateFrame() = 0;
        virtual void Render() = 0;
        virtual void HandleWindowMessage() = 0;

    protected:
        ~CClient() = default;
    };

    // Publishes the new object as the process's platform layer.
    CSystemIntegration();
    virtual ~CSystemIntegration();
    CSystemIntegration(const CSystemIntegration&) = delete;
    CSystemIntegration& operator=(const CSystemIntegration&) = delete;

    // The platform layer constructed last and still alive; null when none.
    static CSystemIntegration* Current();

    static void SetClient(CClient* client);
    static CClient* GetClient();

    // For implementations: one frame update, one frame drawing, and the application's handling
    // of the current message. Each does nothing without a client.
    void OnFrame();
    void OnRender();
    void OnWindowMessage();

    virtual bool Init() = 0;
    // Runs the loop until a quit request.
    virtual void Run() = 0;
    virtual void RequestQuit() = 0;
    virtual void Shutdown() = 0;
    // False when another instance of the product runs (it is brought to the front).
    virtual bool CheckSingleInstance() = 0;
    virtual void RunNested() = 0;
    virtual void LeavePump() = 0;
    // Creates the main window on the first call, re-styles and resizes it afterwards.
    virtual bool CreateOrResizeWindow(bool fullscreen, bool flag, s32 width, s32 height) = 0;
    virtual bool GetDesktopSize(s32& width, s32& height) = 0;
    // The record of the message being handled at the innermost nesting level.
    virtual CWindowMessage& GetCurrentMessage() = 0;
    // The window system's default handling of the current message; the result goes into its
    // record.
    virtual void DefaultProcessMessage() = 0;
    // (0, 0, width, height) of the main window's client area.
    virtual void GetClientRect(CIntRect& rect) = 0;
    // Grows the rectangle's size from a client size to the outer window size.
    virtual void AdjustWindowSize(CIntRect& rect) = 0;
    // (0, 0, width, height) of the desktop area that windows may use.
    virtual void GetWorkAreaSize(CIntRect& rect) = 0;
    virtual void ScreenToClient(CPoint2i& point) = 0;
    virtual void ClientToScreen(CPoint2i& point) = 0;
    virtual void SetGestureEnabled(s32 kind, bool enable);
    virtual bool ReservedOperation(s32 value);
    // Screen coordinates.
    virtual void SetCursorPos(const CPoint2i& point) = 0;
    virtual void GetCursorPos(CPoint2i& point) = 0;
    // Stores the description; with apply, shows that cursor at once.
    virtual void SetCursorInfo(const CSystemCursorSpec& cursor, bool apply) = 0;
    virtual void GetCursorInfo(CSystemCursorSpec& cursor) = 0;
    virtual void ShowSystemCursor(bool show) = 0;
    virtual bool IsSystemCursorShown() = 0;

    // Window-system services the application and the GUI call directly.
    // The main window, null before it exists.
    virtual HWND GetWindowHandle() = 0;
    // Queues a message for the main loop; it is handled in a later loop turn.
    virtual void PostMessage(HWND window, u32 message, WPARAM wParam, LPARAM lParam) = 0;
    // Bit 0x8000 set while the virtual key is held down.
    virtual s16 GetAsyncKeyState(s32 virtualKey) = 0;
    // Confines the cursor to a rectangle in screen coordinates; null frees it.
    virtual void ClipCursor(const CIntRect* screenRect) = 0;
    // Keeps mouse input coming to the main window while buttons are held outside it.
    virtual void SetCapture() = 0;
    virtual void ReleaseCapture() = 0;
    // Pixels per logical inch of the screen (96 at 100 % scaling).
    virtual void GetScreenDpi(s32& dpiX, s32& dpiY) = 0;
    virtual void Sleep(u32 milliseconds) = 0;
};

} // namespace lv::core
