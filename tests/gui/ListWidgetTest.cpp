#include "RecordingRenderer.h"
#include "WidgetTestSupport.h"

#include "gui/InputDispatcher.h"
#include "gui/ListWidget.h"
#include "gui/WidgetFactory.h"

#include <gtest/gtest.h>

using lv::gui::CListWidget;

namespace {

// Line height 10 + 5 + 5 = 20; content from y 10, five lines high in a list 120 high.
const char* const kListTemplates =
    "<scroll_template id=\"sb\" back_image=\"sb_back\" thumb_image=\"sb_thumb\" top_image=\"sb_arrow\" "
    "bottom_image=\"sb_arrow\"/>"
    "<list_template id=\"lt\" font=\"gui_font\" background=\"box\" scroll_template=\"sb\" "
    "sound_on_select=\"click\" color_text_normal=\"-16777216\" color_text_selected=\"-1\" "
    "color_text_over=\"-65536\" color_selection=\"-16776961\">"
    "<named_object name=\"insets\"><insets left=\"4\" top=\"10\" right=\"4\" bottom=\"10\"/></named_object>"
    "<named_object name=\"label_insets\"><insets top=\"5\" bottom=\"5\"/></named_object></list_template>"
    "<list_template id=\"plain\" font=\"gui_font\"/>";

constexpr u32 kNormal = 0xFF000000u, kSelected = 0xFFFFFFFFu, kOver = 0xFFFF0000u;

std::string Strings(int count)
{
    std::string out = "<named_object name=\"strings\"><strings>";
    for (int i = 0; i < count; ++i)
        out += "<string text=\"line" + std::to_string(i) + "\"/>";
    return out + "</strings></named_object>";
}

class ListWidget : public testing::Test
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
    CListWidget::Ptr Load(const std::string& attributes, const std::string& children = "",
                          const char* templateId = "lt")
    {
        const CTemplateXml xml(kListTemplates, std::string("<list_widget id=\"list\" list_template=\"") +
                                                   templateId + "\" x=\"100\" y=\"100\" " + attributes + ">" +
                                                   children + "</list_widget>");
        CListWidget::Ptr list(
            static_cast<CListWidget*>(lv::gui::CWidgetFactory::Instance().CreateWidget("list_widget")));
        Root->AddChild(list);
        list->LoadFromTemplate(xml.Node(), xml.Templates());
        Events.clear();
        Sounds.Played.clear();
        return list;
    }

    std::vector<u32> LineColors(const CListWidget& list)
    {
        std::vector<u32> out;
        for (u32 i = 0; i < list.GetLineCount(); ++i)
            out.push_back(list.GetLine(i)->GetColor().ToArgb());
        return out;
    }

    std::vector<std::string> Events;
    boost::intrusive_ptr<CEventWindow> Root;
    lv::gui::CInputDispatcher Dispatcher;
    CSoundLog Sounds;
};

} // namespace

TEST_F(ListWidget, ScrollBarShownOnlyWhenTheLinesFill)
{
    auto list = Load("", Strings(5));
    EXPECT_EQ(list->GetSize().Y, 120);
    EXPECT_EQ(list->GetLineHeight(), 20);
    ASSERT_NE(list->GetScrollBar(), nullptr);
    EXPECT_FALSE(list->GetScrollBar()->GetFlags() & lv::gui::CBaseWidget::Hidden);
    EXPECT_EQ(list->GetScrollBar()->GetMaxValue(), 5);
    EXPECT_EQ(list->GetScrollBar()->GetPageSize(), 5);
    EXPECT_EQ(list->GetBackground()->GetSize().X, list->GetSize().X - 16);
    list->RemoveString(4);
    EXPECT_TRUE(list->GetScrollBar()->GetFlags() & lv::gui::CBaseWidget::Hidden);
    EXPECT_EQ(list->GetBackground()->GetSize().X, list->GetSize().X);
    // A node without "selected" selected line 0.
    EXPECT_EQ(list->GetSelectedIndex(), 0);
    EXPECT_EQ(Load("")->GetSelectedIndex(), -1);
}

TEST_F(ListWidget, ScrollingMovesTheLinesAndTheWheelReachesTheBar)
{
    auto list = Load("", Strings(10));
    list->GetScrollBar()->SetValue(2.5f);
    EXPECT_EQ(list->GetLine(0)->GetPosition().Y, 10 - 2.5f * 20);
    EXPECT_EQ(list->GetLine(3)->GetPosition().Y, 10 + 0.5f * 20);
    Dispatcher.DispatchMouseWheel(CPoint2i(130, 150), -2, 0);
    EXPECT_EQ(list->GetScrollBar()->GetValue(), 4.5f);
    EXPECT_EQ(list->GetScrollPosition(), 4);
    // The scroll bar's events reach the window too; it takes its name from the list's template.
    EXPECT_EQ(Events.back(), "value_changed lt");
}

TEST_F(ListWidget, ClicksSelectByTheShiftedBands)
{
    auto list = Load("selected=\"1\"", Strings(3));
    EXPECT_EQ(list->GetSelectedIndex(), 1);
    // Line 0 from y 10 to 30 and the hit test moved by the top inset: y 35 is line 0, y 15 none.
    Dispatcher.DispatchMouseDown(CPoint2i(120, 115), 0, 0, 0);
    EXPECT_EQ(list->GetSelectedIndex(), 1);
    EXPECT_TRUE(Events.empty());
    EXPECT_TRUE(Sounds.Played.empty());
    Dispatcher.DispatchMouseDown(CPoint2i(120, 135), 0, 0, 0);
    EXPECT_EQ(list->GetSelectedIndex(), 0);
    // The same line again: sound and event again.
    Dispatcher.DispatchMouseDown(CPoint2i(120, 135), 0, 0, 0);
    EXPECT_EQ(Events, (std::vector<std::string>{"line_selected list", "line_selected list"}));
    EXPECT_EQ(Sounds.Played, (std::vector<std::string>{"click", "click"}));
}

TEST_F(ListWidget, HoverWinsOverSelection)
{
    auto list = Load("selected=\"1\"", Strings(3));
    Dispatcher.DispatchMouseMove(CPoint2i(120, 155), 0, 0);
    EXPECT_EQ(list->GetHoveredIndex(), 1);
    EXPECT_EQ(LineColors(*list), (std::vector<u32>{kNormal, kOver, kNormal}));
    Dispatcher.DispatchMouseMove(CPoint2i(120, 175), 0, 0);
    EXPECT_EQ(LineColors(*list), (std::vector<u32>{kNormal, kSelected, kOver}));
    Dispatcher.DispatchMouseMove(CPoint2i(500, 500), 0, 0);
    EXPECT_EQ(list->GetHoveredIndex(), -1);
    EXPECT_EQ(LineColors(*list), (std::vector<u32>{kNormal, kSelected, kNormal}));
}

TEST_F(ListWidget, RemovingLinesMovesTheSelection)
{
    auto list = Load("selected=\"2\"", Strings(4));
    list->RemoveString(0);
    EXPECT_EQ(list->GetSelectedIndex(), 1);
    list->RemoveString(1);
    EXPECT_EQ(list->GetSelectedIndex(), -1);
    EXPECT_EQ(Events, (std::vector<std::string>{"line_selected list", "line_selected list"}));
    list->RemoveString(7);
    EXPECT_EQ(list->GetLineCount(), 2u);
    list->SetSelectedIndex(3, false);
    list->SetSelectedIndex(2, false);
    EXPECT_EQ(list->GetSelectedIndex(), -1);
    EXPECT_EQ(list->GetString(1), u"line3");
    EXPECT_EQ(list->GetString(5), u"");
    EXPECT_EQ(list->FindString(u"line3"), 1);
    EXPECT_EQ(list->FindString(u"LINE3"), -1);
}

// Removing lines at and above the hovered one must never leave the hover past the last line.
TEST_F(ListWidget, RemovingLinesClearsAStaleHover)
{
    for (u32 removed : {0u, 2u, 3u}) {
        auto list = Load("", Strings(4));
        Dispatcher.DispatchMouseMove(CPoint2i(120, 195), 0, 0);
        ASSERT_EQ(list->GetHoveredIndex(), 3);
        list->RemoveString(removed);
        EXPECT_EQ(list->GetHoveredIndex(), -1) << removed;
        list->SetSelectedIndex(0, false);
        list->Clear();
        EXPECT_EQ(list->GetLineCount(), 0u);
        Root->RemoveAllChildren();
    }
}

TEST_F(ListWidget, DrawsSelectionClippedAndTransparentWithoutColours)
{
    CRecordingRenderer renderer;
    auto list = Load("selected=\"0\"", Strings(2));
    list->Draw(*renderer.Renderer);
    renderer.Renderer->Flush();
    ASSERT_FALSE(renderer.Log->Draws.empty());
    auto plain = Load("", Strings(2), "plain");
    EXPECT_EQ(plain->GetSelectedIndex(), 0);
    for (s32 key = 0; key < 4; ++key)
        EXPECT_EQ(plain->GetLineColor(key).ToArgb(), 0u);
    plain->SetJustification(-1, 1);
    EXPECT_EQ(plain->GetHeightForLines(3), 30);
}
