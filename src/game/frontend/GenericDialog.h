#pragma once
// The game's modal message box: the window "generic_dialog_without_title" (or "..._with_title")
// with a message and one or two buttons. The caller creates it, sets its texts and handlers and
// shows it modally over its own window; any button runs its handler and closes the dialog.
#include "gui/Window.h"

namespace lv::gui {
class CLabelWidget;
}

namespace game {

class CGenericDialog : public lv::gui::CWindow
{
public:
    using Ptr = boost::intrusive_ptr<CGenericDialog>;
    // Runs with the dialog and its user data.
    using Handler = void (*)(CGenericDialog* dialog, void* userData);

    enum EMode : s32
    {
        ModeOk = 0,
        ModeOkCancel = 1,
        ModeYesNo = 2,
    };

    static Ptr Create(s32 mode);
    static Ptr CreateWithTitle(s32 mode);
    ~CGenericDialog() override;

    // The message from the string table.
    CGenericDialog* SetMessage(s32 stringId);
    CGenericDialog* SetMessageText(const WString& text);
    CGenericDialog* SetTitle(s32 stringId);
    // OK and Yes share one handler, Cancel and No the other: the last setter wins.
    CGenericDialog* SetOkHandler(Handler handler) { m_ConfirmHandler = handler; return this; }
    CGenericDialog* SetYesHandler(Handler handler) { m_ConfirmHandler = handler; return this; }
    CGenericDialog* SetCancelHandler(Handler handler) { m_DeclineHandler = handler; return this; }
    CGenericDialog* SetNoHandler(Handler handler) { m_DeclineHandler = handler; return this; }
    CGenericDialog* SetUserData(void* userData) { m_UserData = userData; return this; }

    void OnEvent(const char* eventName, lv::gui::CBaseWidget* sender) override;
    // Places the buttons and centres the dialog on the design screen.
    void OnActivate() override;

    s32 GetMode() const { return m_Mode; }
    lv::gui::CLabelWidget* GetMessageLabel() const { return m_MessageLabel; }
    lv::gui::CLabelWidget* GetTitleLabel() const { return m_TitleLabel; }
    void* GetUserData() const { return m_UserData; }

private:
    CGenericDialog(s32 mode, bool withTitle);

    s32 m_Mode;
    Handler m_ConfirmHandler = nullptr;
    Handler m_DeclineHandler = nullptr;
    lv::gui::CBaseWidget* m_OkButton = nullptr;
    lv::gui::CBaseWidget* m_CancelButton = nullptr;
    lv::gui::CBaseWidget* m_YesButton = nullptr;
    lv::gui::CBaseWidget* m_NoButton = nullptr;
    lv::gui::CLabelWidget* m_TitleLabel = nullptr;
    lv::gui::CLabelWidget* m_MessageLabel = nullptr;
    void* m_UserData = nullptr;
    // The template's places of the yes and no buttons, before the dialog moves them.
    float m_YesX = 0, m_YesY = 0, m_YesWidth = 0, m_NoX = 0;
};

} // namespace game
