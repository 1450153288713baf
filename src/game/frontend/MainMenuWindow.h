#pragma once
// The front end's root window: the menu of the window "main_menu_window". The game application
// makes it the root at the end of its start-up; the game window makes a new one when the player
// leaves a game. Until its animated background comes, the window template's background image
// stands in for it.
#include "gui/Window.h"

namespace game {

class CMainMenuWindow : public lv::gui::CWindow
{
public:
    using Ptr = boost::intrusive_ptr<CMainMenuWindow>;

    // profilesExisted: a profile was there before this start; intro: the first menu of a run
    // (logo splash and intro); openExtras: opens the extras window over the menu; the fourth
    // flag is handed to that extras window.
    CMainMenuWindow(bool profilesExisted, bool intro, bool openExtras, bool extrasArgument);
    ~CMainMenuWindow() override;

    void OnEvent(const char* eventName, lv::gui::CBaseWidget* sender) override;
    // Places the menu's widgets for the current design size.
    virtual void Layout();

    bool GetProfilesExisted() const { return m_ProfilesExisted; }
    bool GetIntro() const { return m_Intro; }
    bool GetOpenExtras() const { return m_OpenExtras; }
    bool GetExtrasArgument() const { return m_ExtrasArgument; }

    // "play_button": a game window continues or starts the main story and becomes the root.
    void StartGame();

protected:
    // "play_button": StartGame.
    virtual void OnPlay();

private:
    bool m_ProfilesExisted;
    bool m_Intro;
    bool m_OpenExtras;
    bool m_ExtrasArgument;
};

} // namespace game
