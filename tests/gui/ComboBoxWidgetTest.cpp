#include "WidgetTestSupport.h"

#include "gui/ComboBoxWidget.h"
#include "gui/ImageBoxWidget.h"
#include "gui/InputDispatcher.h"
#include "gui/WidgetFactory.h"

#include <gtest/gtest.h>

using lv::gui::CComboBoxWidget;

namespace {

// Button 20 x 20 at the right; lines 10 high, three shown; the parts take the template's name.
const char* const kComboTemplates =
    "<button_template id=\"cbtn\" image=\"combo_btn\"/>"
    "<label_template id=\"clabel\" font=\"gui_font\"/>"
    "<list_template id=\"clist\" font=\"gui_font\" color_text_normal=\"-16777216\" "
    "color_text_selected=\"-1\"/>"
    "<combobox_template id=\"ct\" button_template=\"cbtn\" label_template=\"clabel\" list_template=\"clist\" "
    "back_image=\"frame24\" sound_on_open=\"open\" sound_on_select=\"pick\">"
    "<named_object name=\"label_insets\"><insets left=\"4\"/></named_object></combobox_template>";

std::string ComboStrings(int count)
{
    std::string out = "<named_object name=\"strings\"><strings>";
    for (int i = 0; i < count; ++i)
        out += "<string text=\"line" + std::to_string(i) + "\"/>";
    return out + "</strings></named_object>";
}

class ComboBoxWidget : public testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_NE(guitest::DeclareGuiTestFont(), nullptr);
        lv::gui::CWidgetFactory::RegisterWidgetTypes();
        Root.reset(new CEventWindow(Events));
        Dispatcher.SetRoot(Root);
        Dispatcher.Update();
    }

    // At (100, 100).
    CComboBoxWidget::Ptr Load(const std::string& attributes, int lines = 4)
    {
        const CTemplateXml xml(kComboTemplates,
                               "<combobox_widget id=\"combo\" combobox_template=\"ct\" x=\"100\" "
                               "y=\"100\" list_height=\"3\" " +
                                   attributes + ">" + ComboStrings(lines) + "</combobox_widget>");
        CComboBoxWidget::Ptr combo(static_cast<CComboBoxWidget*>(
            lv::gui::CWidgetFactory::Instance().CreateWidget("combobox_widget")));
        Root->AddChild(combo);
        combo->LoadFromTemplate(xml.Node(), xml.Templates());
        Events.clear();
        Sounds.Played.clear();
        return combo;
    }

    void Click(s32 x, s32 y)
    {
        Dispatcher.DispatchMouseDown(CPoint2i(x, y), 0, 0, 0);
        Dispatcher.DispatchMouseUp(CPoint2i(x, y), 0, 0, 0);
    }

    std::vector<std::string> Events;
    boost::intrusive_ptr<CEventWindow> Root;
    lv::gui::CInputDispatcher Dispatcher;
    CSoundLog Sounds;
};

} // namespace

TEST_F(ComboBoxWidget, LoadsClosedShowingLineZeroWithTheListBelowWhenOpen)
{
    auto combo = Load("");
    EXPECT_FALSE(combo->IsListShown());
    EXPECT_EQ(combo->GetSelectedIndex(), 0);
    EXPECT_EQ(combo->GetLabel()->GetText(), u"line0");
    // The widest line (30) beats the background (24); plus the 20-wide button.
    EXPECT_EQ(combo->GetSize(), CVector2(30 + 20, 20));
    EXPECT_EQ(combo->GetButton()->GetPosition(), CVector2(30, 0));
    EXPECT_EQ(combo->GetBackground()->GetSize(), CVector2(30, 20));
    EXPECT_EQ(combo->GetList()->GetSize(), CVector2(30, 30));
    EXPECT_EQ(combo->GetLabel()->GetColor().ToArgb(), 0xFF000000u);
    combo->ShowList(true);
    EXPECT_EQ(combo->GetSize().Y, 20 + 30);
    EXPECT_EQ(combo->GetList()->GetPosition(), CVector2(0, 20));
    combo->SetSize(70, 5);
    EXPECT_EQ(combo->GetSize(), CVector2(70, 50));
    combo->ShowList(false);
    EXPECT_EQ(combo->GetSize(), CVector2(70, 20));
    // Parts follow the width through their anchors.
    EXPECT_EQ(combo->GetButton()->GetPosition(), CVector2(50, 0));
    EXPECT_EQ(Load("selected=\"2\"")->GetLabel()->GetText(), u"line2");
    EXPECT_EQ(Load("", 0)->GetLabel()->GetText(), u"");
}

TEST_F(ComboBoxWidget, ButtonOpensAndClosesForwardingItsPress)
{
    auto combo = Load("");
    Click(134, 110);
    EXPECT_TRUE(combo->IsListShown());
    EXPECT_EQ(Events, (std::vector<std::string>{"pressed ct", "list_showed combo"}));
    Events.clear();
    Click(134, 110);
    EXPECT_FALSE(combo->IsListShown());
    EXPECT_EQ(Events, (std::vector<std::string>{"pressed ct"}));
    // The label toggles too, with the open sound.
    Click(105, 110);
    EXPECT_TRUE(combo->IsListShown());
    Click(105, 110);
    EXPECT_FALSE(combo->IsListShown());
    EXPECT_EQ(Sounds.Played, (std::vector<std::string>{"open"}));
}

TEST_F(ComboBoxWidget, ChoosingALineClosesShowsItAndNotifiesTwice)
{
    auto combo = Load("");
    Click(105, 110);
    Events.clear();
    // Line 2 from y 140 to 150.
    Click(105, 145);
    EXPECT_FALSE(combo->IsListShown());
    EXPECT_EQ(combo->GetSelectedIndex(), 2);
    EXPECT_EQ(combo->GetLabel()->GetText(), u"line2");
    EXPECT_EQ(Events, (std::vector<std::string>{"line_selected ct", "line_selected combo"}));
    EXPECT_EQ(Sounds.Played, (std::vector<std::string>{"open", "pick"}));
    EXPECT_EQ(combo->GetSize().Y, 20);
}

TEST_F(ComboBoxWidget, SilentSelectionClearAndRemoval)
{
    auto combo = Load("");
    combo->ShowList(true);
    Events.clear();
    combo->SetSelectedIndex(2, false);
    EXPECT_FALSE(combo->IsListShown());
    EXPECT_EQ(combo->GetLabel()->GetText(), u"line2");
    EXPECT_TRUE(Events.empty());
    // An index the list ignores keeps the selection; the list still closes.
    combo->ShowList(true);
    combo->SetSelectedIndex(9, false);
    EXPECT_FALSE(combo->IsListShown());
    EXPECT_EQ(combo->GetLabel()->GetText(), u"line2");
    // The list's notification of a removed selection reaches the combo box like a choice.
    Events.clear();
    combo->RemoveString(2);
    EXPECT_EQ(combo->GetSelectedIndex(), -1);
    EXPECT_EQ(combo->GetLabel()->GetText(), u"");
    EXPECT_EQ(Events, (std::vector<std::string>{"line_selected ct", "line_selected combo"}));
    Events.clear();
    combo->Clear();
    EXPECT_EQ(combo->GetLineCount(), 0u);
    EXPECT_EQ(combo->GetLabel()->GetText(), u"");
    EXPECT_EQ(Events, (std::vector<std::string>{"line_selected combo"}));
    EXPECT_EQ(combo->FindString(u"line0"), -1);
}

TEST_F(ComboBoxWidget, APressInAnotherWidgetClosesTheList)
{
    auto combo = Load("");
    lv::gui::CImageBoxWidget::Ptr other(
        new lv::gui::CImageBoxWidget(CFixedString("frame24"), CFixedString("other"), 0, 0));
    other->SetPosition(400, 400);
    Root->AddChild(other);
    combo->ShowList(true);
    Events.clear();
    Click(405, 405);
    EXPECT_FALSE(combo->IsListShown());
    EXPECT_EQ(Events, (std::vector<std::string>{"on_mouse_down other"}));
    // A press below the closed box, where the list would open, changes nothing.
    Click(105, 135);
    EXPECT_FALSE(combo->IsListShown());
}
