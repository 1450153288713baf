#include "game/frontend/OptionsWindow.h"

#include <cstring>

namespace game {

COptionsWindow::COptionsWindow()
{
    LoadWindow("options_window");
}

COptionsWindow::~COptionsWindow() = default;

void COptionsWindow::OnEvent(const char* eventName, lv::gui::CBaseWidget* sender)
{
    if (eventName && sender && std::strcmp(eventName, "pressed") == 0 &&
        sender->GetName().CompareText("ok_button") == 0)
        AddFlags(Closed);
}

} // namespace game
