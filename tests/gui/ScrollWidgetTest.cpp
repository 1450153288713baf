#include "WidgetTestSupport.h"

#include "gui/InputDispatcher.h"
#include "gui/ScrollWidget.h"
#include "gui/WidgetFactory.h"

#include <gtest/gtest.h>

using lv::gui::CScrollWidget;

namespace {

const char* const kScrollTemplate =
    "<scroll_template id=\"sb\" back_image=\"sb_back\" thumb_image=\"sb_thumb\" top_image=\"sb_arrow\" "
    "bottom_image=\"sb_arrow\" sound_on_drag_and_drop=\"drag\" sound_on_button_press=\"step\" "
    "sound_on_set_value=\"page\"/>";

class ScrollWidget : public testing::Test
{
protected:
    void SetUp() override
    {
        guitest::DeclareGuiTestImages();
        lv::gui::CWidgetFactory::RegisterWidgetTypes();
        Root.reset(new CEventWindow(Events));
        Dispatcher.SetRoot(Root);
        Dispatcher.Update();
    }

    // At (100, 100), 16 wide; arrows 16 long, so a height of 132 leaves a track of 100 from y 16.
    CScrollWidget::Ptr Load(const std::string& nodeAttributes)
    {
        const CTemplateXml xml(kScrollTemplate, "<scroll_widget id=\"bar\" scroll_template=\"sb\" x=\"100\" "
                                                "y=\"100\" " + nodeAttributes + "/>");
        CScrollWidget::Ptr bar(
            static_cast<CScrollWidget*>(lv::gui::CWidgetFactory::Instance().CreateWidget("scroll_widget")));
        Root->AddChild(bar);
        bar->LoadFromTemplate(xml.Node(), xml.Templates());
        bar->SetSize(16, 132);
        Events.clear();
        return bar;
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

TEST_F(ScrollWidget, ValueIsClampedAndAlwaysReported)
{
    auto bar = Load("max_value=\"10\" page_size=\"4\"");
    bar->SetValue(9);
    EXPECT_EQ(bar->GetValue(), 6);
    bar->SetValue(-2);
    EXPECT_EQ(bar->GetValue(), 0);
    bar->SetValue(0);
    EXPECT_EQ(Events, (std::vector<std::string>{"value_changed bar", "value_changed bar", "value_changed bar"}));
}

TEST_F(ScrollWidget, MaximumAndPageKeepTheirBounds)
{
    auto bar = Load("max_value=\"10\" page_size=\"4\" value=\"3\"");
    bar->SetMaxValue(20);
    EXPECT_EQ(bar->GetValue(), 6);
    EXPECT_TRUE(Events.empty());
    bar->SetMaxValue(0);
    EXPECT_EQ(bar->GetMaxValue(), 1);
    EXPECT_EQ(bar->GetPageSize(), 1);
    bar->SetPageSize(0);
    EXPECT_EQ(bar->GetPageSize(), 1);
    // Nothing in the node: maximum 1, page 1, value 0.
    auto plain = Load("");
    EXPECT_EQ(plain->GetMaxValue(), 1);
    EXPECT_EQ(plain->GetPageSize(), 1);
    EXPECT_EQ(plain->GetValue(), 0);
}

TEST_F(ScrollWidget, ThumbSizeAndPositionFollowTheRange)
{
    auto bar = Load("max_value=\"10\" page_size=\"4\" value=\"3\"");
    EXPECT_EQ(bar->GetTrackStart(), 16);
    EXPECT_EQ(bar->GetTrackLength(), 100);
    EXPECT_EQ(bar->GetThumbLength(), 40);
    EXPECT_EQ(bar->GetThumbStart(), 16 + 30);
    EXPECT_EQ(bar->GetBottomArrow()->GetPosition(), CVector2(0, 116));
    // A vertical bar keeps its width.
    bar->SetSize(30, 200);
    EXPECT_EQ(bar->GetSize(), CVector2(16, 200));
    EXPECT_EQ(bar->GetTrackLength(), 168);
    EXPECT_EQ(bar->GetThumbLength(), 68);
}

TEST_F(ScrollWidget, WheelArrowsAndPaging)
{
    auto bar = Load("max_value=\"10\" page_size=\"4\" value=\"3\"");
    Dispatcher.DispatchMouseWheel(CPoint2i(108, 170), 1, 0);
    EXPECT_EQ(bar->GetValue(), 2);
    // The bottom arrow steps on release only, once.
    Dispatcher.DispatchMouseDown(CPoint2i(108, 224), 0, 0, 0);
    EXPECT_EQ(bar->GetValue(), 2);
    Dispatcher.DispatchMouseUp(CPoint2i(108, 224), 0, 0, 0);
    EXPECT_EQ(bar->GetValue(), 3);
    EXPECT_EQ(Sounds.Played, std::vector<std::string>{"step"});
    Click(108, 108);
    EXPECT_EQ(bar->GetValue(), 2);
    // Thumb now at 16 + 20 .. 76: after it a page up, before it a page down.
    Sounds.Played.clear();
    Click(108, 100 + 90);
    EXPECT_EQ(bar->GetValue(), 6);
    Click(108, 100 + 20);
    EXPECT_EQ(bar->GetValue(), 2);
    EXPECT_EQ(Sounds.Played, (std::vector<std::string>{"page", "page"}));
}

TEST_F(ScrollWidget, DraggingTheThumb)
{
    auto bar = Load("max_value=\"10\" page_size=\"4\"");
    // Grabbed 5 below its start; 60 pixels of travel for 6 units.
    Dispatcher.DispatchMouseDown(CPoint2i(108, 121), 0, 0, 0);
    EXPECT_EQ(Sounds.Played, std::vector<std::string>{"drag"});
    Events.clear();
    Dispatcher.DispatchMouseMove(CPoint2i(108, 151), 0, 0);
    EXPECT_FLOAT_EQ(bar->GetValue(), 3);
    EXPECT_EQ(Events, std::vector<std::string>{"value_changed bar"});
    // Far outside the bar still drags, clamped.
    Dispatcher.DispatchMouseMove(CPoint2i(300, 500), 0, 0);
    EXPECT_FLOAT_EQ(bar->GetValue(), 6);
    Dispatcher.DispatchMouseUp(CPoint2i(300, 500), 0, 0, 0);
    Dispatcher.DispatchMouseMove(CPoint2i(108, 121), 0, 0);
    EXPECT_FLOAT_EQ(bar->GetValue(), 6);
}

TEST_F(ScrollWidget, TrackNoLongerThanTheThumbMakesDraggingDoNothing)
{
    auto bar = Load("max_value=\"4\" page_size=\"4\"");
    EXPECT_EQ(bar->GetThumbLength(), bar->GetTrackLength());
    Dispatcher.DispatchMouseDown(CPoint2i(108, 150), 0, 0, 0);
    Events.clear();
    Dispatcher.DispatchMouseMove(CPoint2i(108, 180), 0, 0);
    EXPECT_EQ(bar->GetValue(), 0);
    EXPECT_TRUE(Events.empty());
}

TEST_F(ScrollWidget, HorizontalBarKeepsItsHeight)
{
    const CTemplateXml xml("<scroll_template id=\"h\" vertical=\"false\" back_image=\"sb_back\" "
                           "thumb_image=\"sb_thumb\" top_image=\"sb_arrow\" bottom_image=\"sb_arrow\"/>",
                           "<scroll_widget scroll_template=\"h\" max_value=\"10\" page_size=\"5\"/>");
    CScrollWidget::Ptr bar(new CScrollWidget());
    bar->LoadFromTemplate(xml.Node(), xml.Templates());
    EXPECT_FALSE(bar->IsVertical());
    bar->SetSize(232, 40);
    EXPECT_EQ(bar->GetSize(), CVector2(232, 16));
    EXPECT_EQ(bar->GetTrackLength(), 200);
    EXPECT_EQ(bar->GetThumbLength(), 100);
    EXPECT_EQ(bar->GetBottomArrow()->GetPosition().X, 216);
}
