#include "game/frontend/ExtrasWindow.h"

#include <cstring>

namespace game {

CExtrasWindow::CExtrasWindow(bool openedFromGame, bool skipUpdate)
    : m_OpenedFromGame(openedFromGame), m_SkipUpdate(skipUpdate)
{
    LoadWindow("extras_window");
}

CExtrasWindow::~CExtrasWindow() = default;

void CExtrasWindow::OnEvent(const char* eventName, lv::gui::CBaseWidget* sender)
{
    if (eventName && sender && std::strcmp(eventName, "pressed") == 0 &&
        sender->GetName().CompareText("back_btn") == 0)
        AddFlags(Closed);
}

} // namespace game
