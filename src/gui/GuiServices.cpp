#include "gui/GuiServices.h"

#include "core/Settings.h"
#include "core/TimeSystem.h"
#include "sound/AudioManager.h"

namespace lv::gui {

CGuiServices& CGuiServices::Instance()
{
    // Never destroyed: widgets may still ask while the process ends.
    static CGuiServices* instance = new CGuiServices();
    return *instance;
}

s32 CGuiServices::GetTime() const
{
    return Time ? Time() : lv::core::CTimeSystem::Instance().GetTime();
}

CBaseWindow* CGuiServices::GetTopWindow() const
{
    return TopWindow ? TopWindow() : nullptr;
}

const lv::core::CSettings* CGuiServices::GetSettings() const
{
    return Settings ? Settings() : nullptr;
}

CPoint2i CGuiServices::GetScreenSize() const
{
    return ScreenSize ? ScreenSize() : CPoint2i(1366, 768);
}

void CGuiServices::Play(const char* soundName) const
{
    if (!soundName || !*soundName)
        return;
    if (PlaySound)
        PlaySound(soundName);
    else
        lv::sound::GetAudioManager().Play(soundName);
}

bool CGuiServices::IsDebugRender()
{
    if (m_DebugRender < 0) {
        const lv::core::CSettings* settings = GetSettings();
        m_DebugRender = settings && settings->GetChild("settings").GetBool("debug_render") ? 1 : 0;
    }
    return m_DebugRender != 0;
}

void CGuiServices::Reset()
{
    Time = nullptr;
    TopWindow = nullptr;
    Settings = nullptr;
    ScreenSize = nullptr;
    PlaySound = nullptr;
    m_DebugRender = -1;
}

} // namespace lv::gui
