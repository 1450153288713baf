#include "game/frontend/GenericDialog.h"

#include "core/StringTable.h"
#include "gui/GuiServices.h"
#include "gui/LabelWidget.h"

#include <cstring>

namespace game {

namespace {

lv::gui::CBaseWidget* FindDialogChild(const lv::gui::CBaseWidget& dialog, const char* name)
{
    return dialog.FindChild(CFixedString(name), false).get();
}

void DropDialogButton(lv::gui::CBaseWidget* button)
{
    if (button)
        button->AddFlags(lv::gui::CBaseWidget::Hidden | lv::gui::CBaseWidget::Closed);
}

} // namespace

CGenericDialog::Ptr CGenericDialog::Create(s32 mode)
{
    return Ptr(new CGenericDialog(mode, false));
}

CGenericDialog::Ptr CGenericDialog::CreateWithTitle(s32 mode)
{
    return Ptr(new CGenericDialog(mode, true));
}

CGenericDialog::CGenericDialog(s32 mode, bool withTitle) : m_Mode(mode)
{
    LoadWindow(withTitle ? "generic_dialog_with_title" : "generic_dialog_without_title");
    m_OkButton = FindDialogChild(*this, "ok_button");
    m_CancelButton = FindDialogChild(*this, "cancel_button");
    m_YesButton = FindDialogChild(*this, "yes_button");
    m_NoButton = FindDialogChild(*this, "no_button");
    if (withTitle)
        m_TitleLabel = dynamic_cast<lv::gui::CLabelWidget*>(FindDialogChild(*this, "title_label"));
    m_MessageLabel = dynamic_cast<lv::gui::CLabelWidget*>(FindDialogChild(*this, "message_label"));
    if (m_YesButton) {
        m_YesX = m_YesButton->GetPosition().X;
        m_YesY = m_YesButton->GetPosition().Y;
        m_YesWidth = m_YesButton->GetSize().X;
    }
    if (m_NoButton)
        m_NoX = m_NoButton->GetPosition().X;
    switch (mode) {
    case ModeYesNo:
        DropDialogButton(m_OkButton);
        DropDialogButton(m_CancelButton);
        break;
    case ModeOk:
        DropDialogButton(m_CancelButton);
        DropDialogButton(m_YesButton);
        DropDialogButton(m_NoButton);
        break;
    case ModeOkCancel:
        DropDialogButton(m_YesButton);
        DropDialogButton(m_NoButton);
        break;
    default:
        break;
    }
}

CGenericDialog::~CGenericDialog() = default;

CGenericDialog* CGenericDialog::SetMessage(s32 stringId)
{
    if (m_MessageLabel) {
        const WChar* text = lv::core::CStringTable::Instance().GetString(stringId);
        m_MessageLabel->SetText(text ? text : u"");
    }
    return this;
}

CGenericDialog* CGenericDialog::SetMessageText(const WString& text)
{
    if (m_MessageLabel)
        m_MessageLabel->SetText(text);
    return this;
}

CGenericDialog* CGenericDialog::SetTitle(s32 stringId)
{
    if (m_TitleLabel) {
        const WChar* text = lv::core::CStringTable::Instance().GetString(stringId);
        m_TitleLabel->SetText(text ? text : u"");
    }
    return this;
}

void CGenericDialog::OnEvent(const char* eventName, lv::gui::CBaseWidget* sender)
{
    if (!eventName || std::strcmp(eventName, "pressed") != 0)
        return;
    // Held: a handler may drop the last other reference by replacing the caller's windows.
    const Ptr self(this);
    Handler handler = nullptr;
    if (sender) {
        const CFixedString& name = sender->GetName();
        if (name.CompareText("ok_button") == 0 || name.CompareText("yes_button") == 0)
            handler = m_ConfirmHandler;
        else if (name.CompareText("cancel_button") == 0 || name.CompareText("no_button") == 0)
            handler = m_DeclineHandler;
    }
    if (handler)
        handler(this, m_UserData);
    AddFlags(Disabled | Closed);
}

void CGenericDialog::OnActivate()
{
    ApplyLayout();
    const CVector2 size = GetSize();
    if (m_Mode == ModeOk) {
        if (m_OkButton)
            m_OkButton->SetPosition((size.X - m_OkButton->GetSize().X) / 2, m_YesY - 55);
    } else {
        lv::gui::CBaseWidget* left = m_Mode == ModeOkCancel ? m_OkButton : m_YesButton;
        lv::gui::CBaseWidget* right = m_Mode == ModeOkCancel ? m_CancelButton : m_NoButton;
        const float gap = m_NoX - (m_YesX + m_YesWidth);
        if (left)
            left->SetPosition(size.X / 2 - left->GetSize().X - gap / 2, m_YesY);
        if (right)
            right->SetPosition(size.X / 2 + gap / 2, m_YesY);
    }
    const CPoint2i screen = lv::gui::CGuiServices::Instance().GetScreenSize();
    const float width = static_cast<float>(screen.X);
    const float height = static_cast<float>(screen.Y);
    CVector2 parent;
    if (lv::gui::CBaseWidget* listener = GetListener())
        parent = listener->GetPosition(true);
    SetPosition((width - size.X) / 2 - parent.X, (height - size.Y) / 2 - parent.Y);
}

} // namespace game
