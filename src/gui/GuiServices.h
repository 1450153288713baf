#pragma once
// What the GUI asks of the application it runs in: the frame clock, the window on top of the
// screen, the settings tree, the design size of the screen and the sound player. The
// application installs its own answers at start-up; tests install theirs. Without them the
// clock is the process-wide time system, there is no top window and no settings, the screen
// is 1366 x 768 and sounds go to the process-wide audio manager.
#include "core/Point2i.h"
#include "core/Types.h"

#include <functional>

namespace lv::core {
class CSettings;
}

namespace lv::gui {

class CBaseWindow;

class CGuiServices
{
public:
    static CGuiServices& Instance();

    std::function<s32()> Time;
    // The root's modal window, its modal window and so on: the last one reached.
    std::function<CBaseWindow*()> TopWindow;
    // Holds the groups "GUI", "GUITemplates" and "settings".
    std::function<const lv::core::CSettings*()> Settings;
    std::function<CPoint2i()> ScreenSize;
    std::function<void(const char* soundName)> PlaySound;

    s32 GetTime() const;
    CBaseWindow* GetTopWindow() const;
    const lv::core::CSettings* GetSettings() const;
    CPoint2i GetScreenSize() const;
    // Empty names play nothing.
    void Play(const char* soundName) const;

    // "debug_render" of the group "settings", read on the first call and kept.
    bool IsDebugRender();
    // Lets the next IsDebugRender read the settings again.
    void ForgetDebugRender() { m_DebugRender = -1; }
    // Back to the defaults.
    void Reset();

private:
    CGuiServices() = default;

    s32 m_DebugRender = -1;
};

} // namespace lv::gui
