#include "game/frontend/MainMenuWindow.h"

#include "app/Application.h"
#include "core/Log.h"
#include "game/frontend/ExtrasWindow.h"
#include "game/play/GameWindow.h"

#include <cstring>

namespace game {

CMainMenuWindow::CMainMenuWindow(bool profilesExisted, bool intro, bool openExtras, bool extrasArgument)
    : m_ProfilesExisted(profilesExisted), m_Intro(intro),
      m_OpenExtras(openExtras), m_ExtrasArgument(extrasArgument)
{
    LoadWindow("main_menu_window");
    Layout();
    if (openExtras)
        ShowModal(new CExtrasWindow(false, extrasArgument));
}

CMainMenuWindow::~CMainMenuWindow() = default;

void CMainMenuWindow::Layout() {}

void CMainMenuWindow::OnPlay()
{
    lv::core::CLog::Instance().Print("game", 1, "main menu: play");
    StartGame();
}

void CMainMenuWindow::StartGame()
{
    const CGameWindow::Ptr window(new CGameWindow());
    if (!window->StartGame(false, false, false, false)) {
        lv::core::CLog::Instance().Print("game", 2, "main menu: the saved game could not be loaded");
        return;
    }
    if (lv::core::CApplication* application = lv::core::CApplication::Instance())
        application->SetRootWidget(window);
}

void CMainMenuWindow::OnEvent(const char* eventName, lv::gui::CBaseWidget* sender)
{
    if (!eventName || !sender || std::strcmp(eventName, "pressed") != 0)
        return;
    const CFixedString& name = sender->GetName();
    if (name.CompareText("quit_button") == 0) {
        if (lv::core::CApplication* application = lv::core::CApplication::Instance())
            application->Quit();
    } else if (name.CompareText("play_button") == 0) {
        OnPlay();
    }
}

} // namespace game
