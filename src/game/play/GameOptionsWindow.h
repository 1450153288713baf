#pragma once
// The pause menu that the game's "menu_button" opens over the game window: resume, options,
// extras, or back to the main menu.
#include "gui/Window.h"

namespace game {

class CGameOptionsWindow : public lv::gui::CWindow
{
public:
    CGameOptionsWindow();
    ~CGameOptionsWindow() override;

    void OnEvent(const char* eventName, lv::gui::CBaseWidget* sender) override;
    // Centres the window on the design size in its parent's coordinates.
    void OnActivate() override;
    virtual void PauseSounds();

private:
    // What "resume_btn" and "main_menu_btn" share: sounds back, game unpaused, window closed.
    void Resume();
};

} // namespace game
