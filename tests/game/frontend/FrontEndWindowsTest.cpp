#include "game/frontend/ExtrasWindow.h"
#include "game/frontend/GenericDialog.h"
#include "game/frontend/MainMenuWindow.h"
#include "game/frontend/OptionsWindow.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "core/Settings.h"
#include "gui/GuiServices.h"
#include "gui/LabelWidget.h"
#include "gui/WidgetFactory.h"

using game::CGenericDialog;
using lv::gui::CBaseWidget;

namespace {

const char* const kFrontEndGui = R"(<?xml version="1.0"?>
<root>
<GUI>
  <window id="generic_dialog_without_title" width="400" height="200">
    <label_widget id="message_label" x="10" y="10" width="380" height="40"/>
    <label_widget id="ok_button" x="20" y="150" width="80" height="30"/>
    <label_widget id="cancel_button" x="120" y="150" width="80" height="30"/>
    <label_widget id="yes_button" x="100" y="150" width="90" height="30"/>
    <label_widget id="no_button" x="210" y="150" width="70" height="30"/>
  </window>
  <window id="generic_dialog_with_title" width="400" height="200">
    <label_widget id="title_label" x="10" y="0" width="380" height="20"/>
    <label_widget id="message_label" x="10" y="30" width="380" height="40"/>
    <label_widget id="ok_button" x="20" y="150" width="80" height="30"/>
    <label_widget id="cancel_button" x="120" y="150" width="80" height="30"/>
    <label_widget id="yes_button" x="100" y="150" width="90" height="30"/>
    <label_widget id="no_button" x="210" y="150" width="70" height="30"/>
  </window>
  <window id="options_window"><label_widget id="ok_button" width="10" height="10"/><label_widget id="other" width="10" height="10"/></window>
  <window id="extras_window"><label_widget id="back_btn" width="10" height="10"/><label_widget id="ok_button" width="10" height="10"/></window>
  <window id="main_menu_window"><label_widget id="play_button" width="10" height="10"/><label_widget id="quit_button" width="10" height="10"/></window>
</GUI>
<GUITemplates/>
</root>
)";

class FrontEndWindows : public testing::Test
{
protected:
    void SetUp() override
    {
        lv::gui::CWidgetFactory::RegisterWidgetTypes();
        ASSERT_TRUE(m_Settings.LoadXmlText(kFrontEndGui));
        lv::gui::CGuiServices& gui = lv::gui::CGuiServices::Instance();
        gui.Reset();
        gui.Settings = [this] { return &m_Settings; };
        gui.ScreenSize = [] { return CPoint2i(1366, 768); };
    }
    void TearDown() override { lv::gui::CGuiServices::Instance().Reset(); }

    static CBaseWidget* Child(const CBaseWidget& window, const char* name)
    {
        return window.FindChild(CFixedString(name), false).get();
    }
    static bool IsDropped(const CBaseWidget* widget)
    {
        return (widget->GetFlags() & (CBaseWidget::Hidden | CBaseWidget::Closed)) ==
               (CBaseWidget::Hidden | CBaseWidget::Closed);
    }

    lv::core::CSettings m_Settings;
};

struct SHandlerLog
{
    std::vector<std::string> Calls;
};

void ConfirmHandler(CGenericDialog* dialog, void* user)
{
    static_cast<SHandlerLog*>(user)->Calls.push_back(std::string("confirm ") +
                                                     ((dialog->GetFlags() & CBaseWidget::Closed) ? "closed" : "open"));
}

void DeclineHandler(CGenericDialog*, void* user)
{
    static_cast<SHandlerLog*>(user)->Calls.push_back("decline");
}

} // namespace

TEST_F(FrontEndWindows, DialogModesKeepOnlyTheirButtons)
{
    const struct
    {
        s32 Mode;
        bool Ok, Cancel, Yes, No;
    } cases[] = {
        {CGenericDialog::ModeOk, true, false, false, false},
        {CGenericDialog::ModeOkCancel, true, true, false, false},
        {CGenericDialog::ModeYesNo, false, false, true, true},
    };
    for (const auto& c : cases) {
        CGenericDialog::Ptr dialog = CGenericDialog::Create(c.Mode);
        ASSERT_NE(dialog, nullptr);
        EXPECT_EQ(dialog->GetMode(), c.Mode);
        EXPECT_EQ(!IsDropped(Child(*dialog, "ok_button")), c.Ok) << c.Mode;
        EXPECT_EQ(!IsDropped(Child(*dialog, "cancel_button")), c.Cancel) << c.Mode;
        EXPECT_EQ(!IsDropped(Child(*dialog, "yes_button")), c.Yes) << c.Mode;
        EXPECT_EQ(!IsDropped(Child(*dialog, "no_button")), c.No) << c.Mode;
        EXPECT_NE(dialog->GetMessageLabel(), nullptr);
        EXPECT_EQ(dialog->GetTitleLabel(), nullptr);
    }
    EXPECT_NE(CGenericDialog::CreateWithTitle(0)->GetTitleLabel(), nullptr);
}

TEST_F(FrontEndWindows, DialogButtonsRunTheirHandlerThenClose)
{
    const struct
    {
        const char* Button;
        const char* Expected;
    } cases[] = {
        {"ok_button", "confirm open"},
        {"yes_button", "confirm open"},
        {"cancel_button", "decline"},
        {"no_button", "decline"},
        {"message_label", nullptr},
    };
    for (const auto& c : cases) {
        SHandlerLog log;
        CGenericDialog::Ptr dialog = CGenericDialog::Create(CGenericDialog::ModeYesNo);
        dialog->SetOkHandler(&DeclineHandler)->SetYesHandler(&ConfirmHandler)->SetNoHandler(&DeclineHandler);
        dialog->SetUserData(&log);
        dialog->OnEvent("value_changed", Child(*dialog, c.Button));
        EXPECT_TRUE(log.Calls.empty());
        EXPECT_EQ(dialog->GetFlags() & CBaseWidget::Closed, 0u);
        dialog->OnEvent("pressed", Child(*dialog, c.Button));
        if (c.Expected) {
            ASSERT_EQ(log.Calls.size(), 1u) << c.Button;
            EXPECT_EQ(log.Calls[0], c.Expected) << c.Button;
        } else {
            EXPECT_TRUE(log.Calls.empty()) << c.Button;
        }
        EXPECT_EQ(dialog->GetFlags() & (CBaseWidget::Closed | CBaseWidget::Disabled),
                  CBaseWidget::Closed | CBaseWidget::Disabled)
            << c.Button;
    }
    // Without handlers a press only closes.
    CGenericDialog::Ptr plain = CGenericDialog::Create(CGenericDialog::ModeOk);
    plain->OnEvent("pressed", Child(*plain, "ok_button"));
    EXPECT_NE(plain->GetFlags() & CBaseWidget::Closed, 0u);
}

TEST_F(FrontEndWindows, ShownDialogCentresItsButtonsAndItselfOnTheScreen)
{
    lv::gui::CBaseWindow::Ptr owner(new lv::gui::CBaseWindow(CFixedString("owner")));
    owner->SetPosition(100, 50);

    CGenericDialog::Ptr yesNo = CGenericDialog::Create(CGenericDialog::ModeYesNo);
    yesNo->SetMessageText(u"Sure?");
    EXPECT_EQ(yesNo->GetMessageLabel()->GetText(), u"Sure?");
    owner->ShowModal(yesNo);
    const CVector2 size = yesNo->GetSize();
    ASSERT_GT(size.X, 0.0f);
    // The places the window's layout gave the buttons before the dialog was shown.
    CGenericDialog::Ptr reference = CGenericDialog::Create(CGenericDialog::ModeYesNo);
    const CVector2 yes = Child(*reference, "yes_button")->GetPosition();
    const float gap = Child(*reference, "no_button")->GetPosition().X - (yes.X + 90);
    EXPECT_FLOAT_EQ(Child(*yesNo, "yes_button")->GetPosition().X, size.X / 2 - 90 - gap / 2);
    EXPECT_FLOAT_EQ(Child(*yesNo, "no_button")->GetPosition().X, size.X / 2 + gap / 2);
    EXPECT_FLOAT_EQ(Child(*yesNo, "no_button")->GetPosition().Y, yes.Y);
    EXPECT_FLOAT_EQ(yesNo->GetPosition().X, (1366 - size.X) / 2 - 100);
    EXPECT_FLOAT_EQ(yesNo->GetPosition().Y, (768 - size.Y) / 2 - 50);

    CGenericDialog::Ptr ok = CGenericDialog::Create(CGenericDialog::ModeOk);
    owner->ShowModal(ok);
    EXPECT_FLOAT_EQ(Child(*ok, "ok_button")->GetPosition().X, (ok->GetSize().X - 80) / 2);
    EXPECT_FLOAT_EQ(Child(*ok, "ok_button")->GetPosition().Y, yes.Y - 55);
}

TEST_F(FrontEndWindows, OptionsAndExtrasCloseOnlyFromTheirButtons)
{
    game::COptionsWindow::Ptr options(new game::COptionsWindow());
    EXPECT_EQ(options->GetName().CompareText("options_window"), 0);
    options->OnEvent("pressed", Child(*options, "other"));
    EXPECT_EQ(options->GetFlags() & CBaseWidget::Closed, 0u);
    options->OnEvent("pressed", Child(*options, "ok_button"));
    EXPECT_NE(options->GetFlags() & CBaseWidget::Closed, 0u);

    game::CExtrasWindow::Ptr extras(new game::CExtrasWindow(true, false));
    EXPECT_TRUE(extras->IsOpenedFromGame());
    extras->OnEvent("pressed", Child(*extras, "ok_button"));
    EXPECT_EQ(extras->GetFlags() & CBaseWidget::Closed, 0u);
    extras->OnEvent("pressed", Child(*extras, "back_btn"));
    EXPECT_NE(extras->GetFlags() & CBaseWidget::Closed, 0u);
}

TEST_F(FrontEndWindows, MainMenuKeepsItsFlagsAndOpensTheExtrasWhenAsked)
{
    game::CMainMenuWindow::Ptr menu(new game::CMainMenuWindow(false, true, false, false));
    EXPECT_FALSE(menu->GetProfilesExisted());
    EXPECT_TRUE(menu->GetIntro());
    EXPECT_NE(Child(*menu, "quit_button"), nullptr);
    EXPECT_EQ(menu->GetModalWindow(), nullptr);
    // Without an application quitting has nothing to end.
    menu->OnEvent("pressed", Child(*menu, "quit_button"));

    game::CMainMenuWindow::Ptr fromGame(new game::CMainMenuWindow(true, false, true, true));
    auto* extras = dynamic_cast<game::CExtrasWindow*>(fromGame->GetModalWindow().get());
    ASSERT_NE(extras, nullptr);
    EXPECT_FALSE(extras->IsOpenedFromGame());
    EXPECT_TRUE(extras->GetSkipUpdate());
}
