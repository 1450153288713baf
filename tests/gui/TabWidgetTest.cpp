#include "WidgetTestSupport.h"

#include "gui/InputDispatcher.h"
#include "gui/TabWidget.h"
#include "gui/WidgetFactory.h"

#include <gtest/gtest.h>

using lv::gui::CBaseWidget;
using lv::gui::CTabWidget;

namespace {

// Buttons 80 x 20, overlapping by 4, the first 10 from the left; the tab buttons take the
// template's name. The left strip's buttons are 60 wide unless their caption is wider.
const char* const kTabTemplates =
    "<button_template id=\"tb80\" image=\"tab80\"/>"
    "<label_template id=\"tlabel\" font=\"gui_font\"/>"
    "<button_template id=\"tb60\" image=\"tab60\" label_template=\"tlabel\"/>"
    "<tab_template id=\"tt\" button_template=\"tb80\" tab_offset_left=\"10\" tab_space=\"4\" "
    "back_image=\"frame24\">"
    "<named_object name=\"tab_insets\"><insets left=\"2\" top=\"3\" right=\"2\" bottom=\"3\"/></named_object>"
    "</tab_template>"
    "<tab_template id=\"left\" button_template=\"tb60\" alignment_left=\"true\" back_image=\"frame24\"/>";

const char* const kThreeTabs =
    "<named_object name=\"tabs\"><tabs>"
    "<tab id=\"first\" caption=\"One\"><button_widget id=\"inner\" button_template=\"tb80\"/></tab>"
    "<tab id=\"second\" caption=\"Two\"/>"
    "<tab id=\"third\" caption=\"Three\"><image_widget image=\"icon\" width=\"150\" height=\"60\"/></tab>"
    "</tabs></named_object>";

class TabWidget : public testing::Test
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
    CTabWidget::Ptr Load(const std::string& attributes, const std::string& tabs = kThreeTabs)
    {
        const CTemplateXml xml(kTabTemplates, "<tab_widget id=\"tabs\" x=\"100\" y=\"100\" " + attributes +
                                                  ">" + tabs + "</tab_widget>");
        CTabWidget::Ptr tab(
            static_cast<CTabWidget*>(lv::gui::CWidgetFactory::Instance().CreateWidget("tab_widget")));
        Root->AddChild(tab);
        tab->LoadFromTemplate(xml.Node(), xml.Templates());
        Root->UpdateAll();
        Events.clear();
        return tab;
    }

    void Click(s32 x, s32 y)
    {
        Dispatcher.DispatchMouseDown(CPoint2i(x, y), 0, 0, 0);
        Dispatcher.DispatchMouseUp(CPoint2i(x, y), 0, 0, 0);
    }

    static bool Shown(const CBaseWidget* w)
    {
        return !(w->GetFlags() & (CBaseWidget::Hidden | CBaseWidget::Disabled));
    }

    std::vector<std::string> Events;
    boost::intrusive_ptr<CEventWindow> Root;
    lv::gui::CInputDispatcher Dispatcher;
};

} // namespace

TEST_F(TabWidget, ButtonsOverlapAlongTheTopWithFallingLayers)
{
    auto tabs = Load("tab_template=\"tt\"");
    ASSERT_EQ(tabs->GetPanelCount(), 3);
    const float xs[3] = {10, 86, 162};
    const u32 layers[3] = {0xFFFFFFFFu, 4, 3};
    for (s32 i = 0; i < 3; ++i) {
        EXPECT_EQ(tabs->GetTabButton(i)->GetPosition(), CVector2(xs[i], 0)) << i;
        EXPECT_EQ(tabs->GetTabButton(i)->GetLayer(), layers[i]) << i;
        EXPECT_EQ(tabs->GetPanel(i)->GetPosition(), CVector2(0, 20)) << i;
        EXPECT_EQ(tabs->GetPanel(i)->GetLayer(), 2u);
    }
    EXPECT_EQ(tabs->GetSelectedPanel(), 0);
    EXPECT_EQ(tabs->GetTabButton(0)->GetState(), lv::gui::CButtonWidget::StateDisabled);
    EXPECT_TRUE(Shown(tabs->GetPanel(0)));
    EXPECT_FALSE(Shown(tabs->GetPanel(1)));
    EXPECT_EQ(tabs->FindPanelIndex(CFixedString("third")), 2);
    EXPECT_EQ(tabs->FindPanel(CFixedString("nope")), nullptr);
    EXPECT_EQ(tabs->GetPanel(3), nullptr);
    EXPECT_EQ(tabs->GetTabButton(3), nullptr);
    // One panel size for all: wide enough for the strip (162 + 80), high enough for the
    // laid-out 150 x 60 picture inside its insets.
    for (s32 i = 0; i < 3; ++i)
        EXPECT_EQ(tabs->GetPanel(i)->GetSize(), CVector2(242, 66)) << i;
    EXPECT_EQ(tabs->GetSize(), CVector2(242, 86));
    EXPECT_EQ(tabs->GetBackground()->GetPosition(), CVector2(0, 20));
    EXPECT_EQ(tabs->GetBackground()->GetSize(), CVector2(242, 66));
}

TEST_F(TabWidget, PressingAnotherTabSwapsPanelsAndLayersOnce)
{
    auto tabs = Load("tab_template=\"tt\"");
    // The selected tab's button is disabled: its press does nothing.
    Click(130, 110);
    EXPECT_TRUE(Events.empty());
    Click(100 + 162 + 60, 110);
    EXPECT_EQ(tabs->GetSelectedPanel(), 2);
    EXPECT_EQ(Events, (std::vector<std::string>{"pressed tt", "panel_selected tabs"}));
    EXPECT_FALSE(Shown(tabs->GetPanel(0)));
    EXPECT_TRUE(Shown(tabs->GetPanel(2)));
    EXPECT_EQ(tabs->GetTabButton(0)->GetState(), lv::gui::CButtonWidget::StateNormal);
    EXPECT_EQ(tabs->GetTabButton(0)->GetLayer(), 5u);
    EXPECT_EQ(tabs->GetTabButton(2)->GetLayer(), 0xFFFFFFFFu);
    Events.clear();
    tabs->SelectPanel(2);
    tabs->SelectPanel(3);
    tabs->SelectPanel(-1);
    EXPECT_TRUE(Events.empty());
}

TEST_F(TabWidget, PressesInsideAPanelReachTheWindowAndKeepTheTab)
{
    auto tabs = Load("tab_template=\"tt\"");
    // The inner button at the panel's inset corner: (100 + 2, 100 + 20 + 3).
    Click(110, 130);
    EXPECT_EQ(Events, (std::vector<std::string>{"pressed inner"}));
    EXPECT_EQ(tabs->GetSelectedPanel(), 0);
}

TEST_F(TabWidget, LeftStripTakesTheWidestButton)
{
    auto tabs = Load("tab_template=\"left\"", "<named_object name=\"tabs\"><tabs><tab caption=\"a\"/>"
                                              "<tab caption=\"aaaaaaaaaaaaaaa\"/></tabs></named_object>");
    const float wide = tabs->GetTabButton(1)->GetSize().X;
    EXPECT_GT(wide, 60);
    EXPECT_EQ(tabs->GetTabButton(0)->GetSize().X, wide);
    EXPECT_EQ(tabs->GetTabButton(1)->GetPosition(), CVector2(0, 20));
    for (s32 i = 0; i < 2; ++i)
        EXPECT_EQ(tabs->GetPanel(i)->GetPosition(), CVector2(wide, 0));
    EXPECT_EQ(tabs->GetBackground()->GetPosition(), CVector2(wide, 0));
}

TEST_F(TabWidget, NoTabsOrASelectionPastTheLastLeaveNothingSelected)
{
    auto empty = Load("tab_template=\"tt\"", "");
    EXPECT_EQ(empty->GetPanelCount(), 0);
    EXPECT_EQ(empty->GetPreferredSize(), CVector2());
    EXPECT_EQ(empty->GetBackground(), nullptr);
    auto beyond = Load("tab_template=\"tt\" selected=\"7\"");
    EXPECT_EQ(beyond->GetSelectedPanel(), -1);
    for (s32 i = 0; i < 3; ++i)
        EXPECT_FALSE(Shown(beyond->GetPanel(i)));
}
