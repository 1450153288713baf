#pragma once
// A platform layer for tests: no window system. It answers from fields the test sets, records
// every call as a line of text, keeps posted messages in a queue and runs the same loop as the
// real layer (at most one message, then one frame) for a bounded number of turns.
#include "core/SystemIntegration.h"
#include "core/WindowMessageStack.h"

#include <cstdarg>
#include <cstdio>
#include <deque>
#include <functional>
#include <set>
#include <string>
#include <vector>

class CRecordingSystemIntegration : public lv::core::CSystemIntegration
{
public:
    struct CQueued
    {
        HWND Window;
        u32 Message;
        WPARAM WParam;
        LPARAM LParam;
    };

    // Answers.
    bool InitResult = true;
    bool SingleInstanceResult = true;
    bool CreateWindowResult = true;
    s32 DesktopWidth = 1920;
    s32 DesktopHeight = 1080;
    CIntRect WorkArea{0, 0, 1920, 1040};
    // Outer window size minus client size, as the window frame adds it.
    s32 FrameWidth = 16;
    s32 FrameHeight = 39;
    s32 DpiX = 96;
    s32 DpiY = 96;
    // Screen position of the client area's top-left corner.
    CPoint2i ClientOrigin{100, 50};
    CIntRect ClientRect{0, 0, 1024, 768};
    CPoint2i CursorPos{0, 0};
    LRESULT DefaultResult = 0;
    // Loop turns Run may make before it gives up (a test that forgets to quit ends anyway).
    s32 MaxTurns = 1000;
    // Called after each frame of Run, with the turn number.
    std::function<void(s32)> AfterTurn;

    // Record.
    std::vector<std::string> Calls;
    std::deque<CQueued> Queue;
    std::set<s32> KeysDown;
    CSystemCursorSpec CursorSpec;
    bool CursorShown = true;
    bool QuitRequested = false;
    bool HasWindow = false;
    bool Fullscreen = false;
    bool HasCapture = false;
    bool HasClip = false;
    CIntRect Clip;
    u32 SleptMs = 0;
    u32 MessageTime = 0;
    s32 Turns = 0;
    lv::core::CWindowMessageStack Messages;

    HWND Window() const { return reinterpret_cast<HWND>(const_cast<CRecordingSystemIntegration*>(this)); }

    // Handles one message at once, as a window procedure would: a record at a new nesting
    // level, the application's handler, then the result.
    LRESULT Send(u32 message, WPARAM wParam = 0, LPARAM lParam = 0)
    {
        lv::core::CWindowMessageScope scope(Messages, Window(), message, wParam, lParam, MessageTime);
        OnWindowMessage();
        return scope.Record().Result;
    }

    // How often a call whose line starts with the prefix was made.
    size_t Count(const std::string& prefix) const
    {
        size_t n = 0;
        for (const auto& c : Calls)
            n += c.compare(0, prefix.size(), prefix) == 0;
        return n;
    }

    bool Init() override { return Log("Init"), InitResult; }

    void Run() override
    {
        Log("Run");
        QuitRequested = false;
        for (Turns = 0; Turns < MaxTurns; ++Turns) {
            if (!QuitRequested && !Queue.empty()) {
                const CQueued m = Queue.front();
                Queue.pop_front();
                ++MessageTime;
                Send(m.Message, m.WParam, m.LParam);
            }
            if (QuitRequested)
                break;
            OnFrame();
            OnRender();
            if (AfterTurn)
                AfterTurn(Turns);
        }
    }

    void RequestQuit() override
    {
        Log("RequestQuit");
        QuitRequested = true;
    }
    void Shutdown() override { Log("Shutdown"); }
    bool CheckSingleInstance() override { return Log("CheckSingleInstance"), SingleInstanceResult; }
    void RunNested() override { Log("RunNested"); }
    void LeavePump() override { Log("LeavePump"); }

    bool CreateOrResizeWindow(bool fullscreen, bool flag, s32 width, s32 height) override
    {
        Log("CreateOrResizeWindow %d %d %d %d", fullscreen, flag, width, height);
        if (!CreateWindowResult)
            return false;
        HasWindow = true;
        Fullscreen = fullscreen;
        ClientRect = CIntRect(0, 0, width, height);
        return true;
    }

    bool GetDesktopSize(s32& width, s32& height) override
    {
        width = DesktopWidth;
        height = DesktopHeight;
        return true;
    }

    CWindowMessage& GetCurrentMessage() override { return Messages.Top(); }

    void DefaultProcessMessage() override
    {
        CWindowMessage& m = Messages.Top();
        Log("Default 0x%x %llu %lld", m.Message, static_cast<unsigned long long>(m.WParam),
            static_cast<long long>(m.LParam));
        m.Result = DefaultResult;
    }

    void GetClientRect(CIntRect& rect) override { rect = ClientRect; }
    void AdjustWindowSize(CIntRect& rect) override
    {
        rect.Width += FrameWidth;
        rect.Height += FrameHeight;
    }
    void GetWorkAreaSize(CIntRect& rect) override { rect = WorkArea; }
    void ScreenToClient(CPoint2i& point) override { point -= ClientOrigin; }
    void ClientToScreen(CPoint2i& point) override { point += ClientOrigin; }
    void SetGestureEnabled(s32 kind, bool enable) override { Log("SetGestureEnabled %d %d", kind, enable); }

    void SetCursorPos(const CPoint2i& point) override
    {
        Log("SetCursorPos %d %d", point.X, point.Y);
        CursorPos = point;
    }
    void GetCursorPos(CPoint2i& point) override { point = CursorPos; }
    void SetCursorInfo(const CSystemCursorSpec& cursor, bool apply) override
    {
        Log("SetCursorInfo %u %d", cursor.CursorId, apply);
        CursorSpec = cursor;
        if (apply)
            ShowSystemCursor(true);
    }
    void GetCursorInfo(CSystemCursorSpec& cursor) override { cursor = CursorSpec; }
    void ShowSystemCursor(bool show) override
    {
        Log("ShowSystemCursor %d", show);
        CursorShown = show;
    }
    bool IsSystemCursorShown() override { return CursorShown; }

    HWND GetWindowHandle() override { return HasWindow ? Window() : nullptr; }
    void PostMessage(HWND window, u32 message, WPARAM wParam, LPARAM lParam) override
    {
        Log("PostMessage 0x%x %llu %lld", message, static_cast<unsigned long long>(wParam),
            static_cast<long long>(lParam));
        Queue.push_back({window, message, wParam, lParam});
    }
    s16 GetAsyncKeyState(s32 virtualKey) override
    {
        return KeysDown.count(virtualKey) ? static_cast<s16>(0x8000) : static_cast<s16>(0);
    }
    void ClipCursor(const CIntRect* rect) override
    {
        HasClip = rect != nullptr;
        if (rect) {
            Clip = *rect;
            Log("ClipCursor %d %d %d %d", rect->X, rect->Y, rect->Width, rect->Height);
        } else {
            Log("ClipCursor null");
        }
    }
    void SetCapture() override
    {
        Log("SetCapture");
        HasCapture = true;
    }
    void ReleaseCapture() override
    {
        Log("ReleaseCapture");
        HasCapture = false;
    }
    void GetScreenDpi(s32& dpiX, s32& dpiY) override
    {
        dpiX = DpiX;
        dpiY = DpiY;
    }
    void Sleep(u32 milliseconds) override
    {
        Log("Sleep %u", milliseconds);
        SleptMs += milliseconds;
    }

    void Log(const char* format, ...) __attribute__((format(printf, 2, 3)))
    {
        char line[256];
        va_list args;
        va_start(args, format);
        std::vsnprintf(line, sizeof(line), format, args);
        va_end(args);
        Calls.emplace_back(line);
    }
};
