#pragma once
// The game's application: the framework's application with the game's start-up (content,
// profiles, script commands, minigames, quest, main menu), the quit hook that saves the profiles,
// Alt+Enter between window and full screen, the reaction to a changed display mode, the survey
// link at shutdown and the developer overlay.
#include "app/Application.h"
#include "app/StandaloneApplicationWindows.h"
#include "game/play/FpsOverlay.h"

#include <memory>

namespace game {

class CGameApplication : public lv::core::CApplication
{
public:
    static constexpr s32 kDesignWidth = 1366;
    static constexpr s32 kDesignHeight = 768;
    static constexpr u32 kFrameRate = 60;
    // The narrowest screen the game runs on.
    static constexpr s32 kMinimumScreenWidth = 1024;
    // The string naming the profile made on a first start.
    static constexpr s32 kDefaultProfileNameId = 11;
    // From this debug level of game.xml the developer overlay shows its text and bar.
    static constexpr s32 kOverlayDebugLevel = 2;

    CGameApplication();
    ~CGameApplication() override;

    bool Init() override;
    void Shutdown() override;
    // Saves the profiles before the loop ends.
    void OnQuit() override;
    // Alt+Enter switches between window and full screen, except over the options window.
    void HandleWindowMessage() override;
    // A full screen narrower than the design width narrows the design size to the screen.
    void OnScreenModeChanged(bool fullscreen, bool flag, s32 width, s32 height) override;
    void Draw(lv::graphics::CRenderer& renderer) override;
    void Update() override;

    // Turns on the overlay's particle fill-rate bar.
    void ShowFillRateBar() { m_Overlay.SetBarShown(true); }
    CFpsOverlay& GetFpsOverlay() { return m_Overlay; }
    // Whether a profile existed before this start (false when the start made the first one).
    bool GetProfilesExisted() const { return m_ProfilesExisted; }

protected:
    // Places the root's widgets (the game window's, or the root's own) for the design size.
    void LayoutRoot();

private:
    std::unique_ptr<lv::core::CStandaloneApplicationWindows> m_Platform;
    CFpsOverlay m_Overlay;
    bool m_ProfilesExisted = false;
    bool m_GameShutDown = false;
};

} // namespace game
