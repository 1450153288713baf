#pragma once
// The options window ("options_window"), shown modally; "ok_button" closes it.
#include "gui/Window.h"

namespace game {

class COptionsWindow : public lv::gui::CWindow
{
public:
    using Ptr = boost::intrusive_ptr<COptionsWindow>;

    COptionsWindow();
    ~COptionsWindow() override;

    void OnEvent(const char* eventName, lv::gui::CBaseWidget* sender) override;
};

} // namespace game
