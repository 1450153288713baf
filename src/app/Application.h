#pragma once
// The one application object of the process. It owns the settings tree read from "game.xml",
// the renderer, the input dispatcher and the declaration set, holds the platform layer, and
// drives the life cycle: construction, Init, the message-and-frame loop, window messages,
// screen-mode changes, Shutdown and destruction. The game derives its application from it and
// overrides the hooks.
//
// The entry point constructs it, calls Init, calls Run only when Init returned true, calls
// Shutdown in any case and destroys it.
#include "core/IntRect.h"
#include "core/SystemIntegration.h"
#include "core/Types.h"
#include "graphics/RendererHost.h"
#include "gui/BaseWindow.h"

#include <memory>

namespace lv::graphics {
class CDeclarationSet;
class CRenderer;
} // namespace lv::graphics

namespace lv::gui {
class CInputDispatcher;
}

namespace lv::core {

class CSettings;
class CTimeSystem;

class CApplication : public CSystemIntegration::CClient, public lv::graphics::CRendererHost
{
public:
    // Values of the state.
    enum EState : s32
    {
        StateCreated = 0,
        StateLoading = 1,
        StateLoadingInactive = 2, // loading while the full-screen window is inactive
        StateLoaded = 3,
        StateShuttingDown = 4,
    };

    // Creates the owned objects, loads the string table and "game.xml", makes the user folder
    // and opens the log there. Publishes itself as the process's application.
    CApplication();
    virtual ~CApplication();
    CApplication(const CApplication&) = delete;
    CApplication& operator=(const CApplication&) = delete;

    // The application of the process, null when none exists.
    static CApplication* Instance();

    // Framework start-up; false ends the program (after Shutdown).
    virtual bool Init();
    // Framework shutdown, once; later calls do nothing.
    virtual void Shutdown();
    // First step of Quit, before the loop is told to end.
    virtual void OnQuit();
    virtual void ReservedHook();
    // The message table, for every message of the main window.
    void HandleWindowMessage() override;
    // After a screen-mode change that changed the renderer's mode.
    virtual void OnScreenModeChanged(bool fullscreen, bool flag, s32 width, s32 height);
    // First step of every screen-mode change, with the requested values.
    virtual void OnScreenModeChanging(bool fullscreen, bool flag, s32 width, s32 height);
    virtual void OnRunningChanged(bool running);
    // Draws the GUI tree; in every rendered frame.
    virtual void Draw(lv::graphics::CRenderer& renderer);
    // The derived application's per-frame work, after the texture manager's update.
    virtual void Update();
    virtual void DoLoad();

    // Runs the platform layer's loop until the program quits.
    void Run();
    // OnQuit, then the platform layer's quit request.
    void Quit();
    // The platform layer; the derived application sets it first in its Init. Not owned.
    void SetSystemIntegration(CSystemIntegration* systemIntegration)
    {
        m_SystemIntegration = systemIntegration;
    }
    void SetFrameRateLimit(u32 framesPerSecond);
    // Stores the size as the requested window size and changes the screen mode. The first call
    // creates the window.
    bool SetScreenMode(bool fullscreen, bool flag, s32 width, s32 height) override;
    void GetRequestedWindowSize(s32& width, s32& height) override;
    // Active and not minimised; the session lock does not count.
    bool IsActive() const { return m_Active && !m_Minimized; }
    bool IsRunning() const { return m_Running; }
    bool IsSoundPausedByApplication() const { return m_SoundPaused; }
    s32 GetState() const { return m_State; }

    // The window becomes the root at the dispatcher's next update.
    void SetRootWidget(const lv::gui::CBaseWindow::Ptr& window);
    lv::gui::CBaseWindow::Ptr GetRootWidget() const;
    // The root's modal window, its modal window and so on: the last one reached.
    lv::gui::CBaseWindow::Ptr GetTopWindow() const;
    void SetGestureEnabled(s32 kind, bool enable);
    // The input dispatcher reports a gesture recogniser's kind this way; same as above.
    void NotifySystemIntegration(u32 kind, bool enable) { SetGestureEnabled(static_cast<s32>(kind), enable); }

    // Confines the cursor to a rectangle in design coordinates while enabled.
    void SetCursorClip(bool enable, const CIntRect& rect);

    CSettings& GetSettings() { return *m_Settings; }
    s32 IsDebug() const { return m_Debug; }
    CSystemIntegration* GetSystemIntegration() const { return m_SystemIntegration; }
    const WString& GetUserDataFolder() const { return m_UserDataFolder; }
    lv::gui::CInputDispatcher& GetInputDispatcher() { return *m_InputDispatcher; }
    lv::graphics::CRenderer& GetRenderer() { return *m_Renderer; }
    CTimeSystem& GetTimeSystem();
    const WString& GetProduct() const { return m_Product; }
    const WString& GetCompany() const { return m_Company; }
    s32 GetVersion() const { return m_Version; }
    // The main window's caption.
    const WString& GetWindowTitle() const { return m_WindowTitle; }
    lv::graphics::CDeclarationSet& GetDeclarations() { return *m_Declarations; }

    // The frame: the update, then the drawing. The platform layer's loop runs both every turn.
    void UpdateFrame() override;
    void Render() override;

    // The optional loading phase: state 1 while DoLoad runs.
    void Load();

    // Changes the window and the renderer to the mode; true when the renderer's mode changed.
    bool ChangeScreenMode(bool fullscreen, bool flag, s32 width, s32 height);
    // The client size a window of that size gets: scaled by the screen's DPI and, when the outer
    // window would not fit the work area, shrunk to fit with a margin in the design aspect.
    void FitWindowToWorkArea(s32& width, s32& height);
    // Black bars over the letterbox margins.
    void DrawLetterboxBars();

    // lv::graphics::CRendererHost.
    HWND GetWindowHandle() override;
    void GetClientSize(s32& width, s32& height) override;
    bool GetDesktopSize(s32& width, s32& height) override;
    void SetScreenArea(const CFloatRect& viewport, const CVector2& scale) override;

protected:
    // Running = active, not minimised and not locked; pauses or resumes time, sound and Flash
    // when that changes.
    void UpdateRunningState();
    void ClipCursorToViewport();
    void PauseSoundAndFlash(bool pause);

    s32 m_State = StateCreated;
    WString m_Company;
    WString m_Product;
    s32 m_Version = 0;
    WString m_FullVersion;
    WString m_WindowTitle;
    std::unique_ptr<CSettings> m_Settings;
    std::unique_ptr<lv::graphics::CDeclarationSet> m_Declarations;
    CSystemIntegration* m_SystemIntegration = nullptr;
    std::unique_ptr<lv::graphics::CRenderer> m_Renderer;
    std::unique_ptr<lv::gui::CInputDispatcher> m_InputDispatcher;
    bool m_Minimized = false;
    bool m_Active = true;
    bool m_Locked = false;
    bool m_Running = true;
    bool m_SoundPaused = false;
    // The root timer group is paused because the application stopped running.
    bool m_TimePaused = false;
    s32 m_Debug = 0;
    CIntRect m_CursorClip;
    bool m_CursorClipEnabled = false;
    bool m_ShutDown = false;
    WString m_UserDataFolder;
    s32 m_RequestedWidth = 1024;
    s32 m_RequestedHeight = 768;
};

} // namespace lv::core
