#pragma once
// The extras window ("extras_window"), shown modally; "back_btn" closes it.
#include "gui/Window.h"

namespace game {

class CExtrasWindow : public lv::gui::CWindow
{
public:
    using Ptr = boost::intrusive_ptr<CExtrasWindow>;

    // openedFromGame: shown over the pause menu rather than the main menu; skipUpdate: the
    // window's refresh of its pages is left out.
    CExtrasWindow(bool openedFromGame, bool skipUpdate);
    ~CExtrasWindow() override;

    void OnEvent(const char* eventName, lv::gui::CBaseWidget* sender) override;

    bool IsOpenedFromGame() const { return m_OpenedFromGame; }
    bool GetSkipUpdate() const { return m_SkipUpdate; }

private:
    bool m_OpenedFromGame;
    bool m_SkipUpdate;
};

} // namespace game
