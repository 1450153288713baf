#include "game/play/GameOptionsWindow.h"

#include "game/frontend/ExtrasWindow.h"
#include "game/frontend/OptionsWindow.h"
#include "game/hud/Hud.h"
#include "game/play/GameWindow.h"
#include "sound/AudioManager.h"

#include <cstring>

namespace game {

namespace {
const char kPauseMenuTemplate[] = "game_menu_window";
} // namespace

CGameOptionsWindow::CGameOptionsWindow()
{
    LoadWindow(kPauseMenuTemplate);
}

CGameOptionsWindow::~CGameOptionsWindow() = default;

void CGameOptionsWindow::PauseSounds()
{
    CGameWindow::GetAudio().PauseAll(true);
}

void CGameOptionsWindow::OnActivate()
{
    // Centred on the design screen, in the parent window's coordinates.
    const CPoint2i screen = CHud::GetScreenSize();
    CVector2 parent(0.0f, 0.0f);
    if (m_ParentWindow)
        parent = m_ParentWindow->GetPosition(true);
    const CVector2 size = GetSize();
    SetPosition(static_cast<float>(static_cast<s32>((static_cast<float>(screen.X) - size.X) / 2.0f)) - parent.X,
                static_cast<float>(static_cast<s32>((static_cast<float>(screen.Y) - size.Y) / 2.0f)) - parent.Y);
}

void CGameOptionsWindow::Resume()
{
    lv::sound::CAudioManager& audio = CGameWindow::GetAudio();
    audio.StopSoundsByName("main_menu_options", 0.0f);
    audio.PauseAll(false);
    if (CGameWindow* window = CGameWindow::GetInstance())
        window->OnPauseMenuClosed();
    AddFlags(Closed);
}

void CGameOptionsWindow::OnEvent(const char* eventName, lv::gui::CBaseWidget* sender)
{
    if (eventName == nullptr || sender == nullptr || std::strcmp(eventName, "pressed") != 0)
        return;
    const char* name = sender->GetName().GetText();
    if (std::strcmp(name, "resume_btn") == 0)
    {
        Resume();
        if (CGameWindow* window = CGameWindow::GetInstance())
            window->RefreshMenuButtons();
    }
    else if (std::strcmp(name, "options_btn") == 0)
    {
        ShowModal(lv::gui::CBaseWindow::Ptr(new COptionsWindow()));
    }
    else if (std::strcmp(name, "extras_btn") == 0)
    {
        ShowModal(lv::gui::CBaseWindow::Ptr(new CExtrasWindow(true, false)));
    }
    else if (std::strcmp(name, "main_menu_btn") == 0)
    {
        Resume();
        if (CGameWindow* window = CGameWindow::GetInstance())
            window->ReturnToMainMenu();
    }
}

} // namespace game
