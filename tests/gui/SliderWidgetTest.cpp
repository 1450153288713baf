#include "WidgetTestSupport.h"

#include "gui/InputDispatcher.h"
#include "gui/SliderWidget.h"
#include "gui/WidgetFactory.h"

#include <gtest/gtest.h>

using lv::gui::CSliderWidget;

namespace {

class SliderWidget : public testing::Test
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

    // The track is 200 x 20, the thumb 20 x 30.
    CSliderWidget::Ptr Load(const std::string& insets, const std::string& nodeAttributes = "")
    {
        const CTemplateXml xml("<slider_template id=\"t\" slider_image=\"track\" thumb_image=\"thumb\" "
                               "sound=\"tick\">" +
                                   insets + "</slider_template>",
                               "<slider_widget id=\"sl\" slider_template=\"t\" x=\"100\" y=\"100\" " +
                                   nodeAttributes + "/>");
        CSliderWidget::Ptr slider(
            static_cast<CSliderWidget*>(lv::gui::CWidgetFactory::Instance().CreateWidget("slider_widget")));
        Root->AddChild(slider);
        slider->LoadFromTemplate(xml.Node(), xml.Templates());
        return slider;
    }

    std::vector<std::string> Events;
    boost::intrusive_ptr<CEventWindow> Root;
    lv::gui::CInputDispatcher Dispatcher;
    CSoundLog Sounds;
};

const char* const kInsets = "<named_object name=\"insets\"><insets left=\"10\" right=\"10\"/></named_object>";

} // namespace

TEST_F(SliderWidget, ThumbFollowsTheValueAndClicks)
{
    auto slider = Load(kInsets, "value=\"0.5\"");
    // Sent while loading, before the node's id names the slider.
    EXPECT_EQ(Events, std::vector<std::string>{"value_changed "});
    EXPECT_EQ(slider->GetSize(), CVector2(200, 30));
    EXPECT_EQ(slider->GetUsableLength(), 160);
    EXPECT_EQ(slider->GetThumb()->GetPosition(), CVector2(90, 0));
    EXPECT_EQ(slider->GetTrack()->GetPosition(), CVector2(0, 5));
    const struct
    {
        s32 x;
        float value;
    } clicks[] = {{15, 0}, {30, 0.0625f}, {190, 1}};
    for (const auto& c : clicks) {
        Sounds.Played.clear();
        Dispatcher.DispatchMouseDown(CPoint2i(100 + c.x, 115), 0, 0, 0);
        EXPECT_FLOAT_EQ(slider->GetValue(), c.value) << c.x;
        EXPECT_FALSE(slider->IsDragging());
        EXPECT_EQ(Sounds.Played, std::vector<std::string>{"tick"});
        Dispatcher.DispatchMouseUp(CPoint2i(100 + c.x, 115), 0, 0, 0);
    }
    // Above the track band and beside the thumb: nothing.
    Dispatcher.DispatchMouseDown(CPoint2i(130, 102), 0, 0, 0);
    EXPECT_FLOAT_EQ(slider->GetValue(), 1);
}

TEST_F(SliderWidget, ThumbAsWideAsTheInnerWidthGivesZero)
{
    auto slider = Load("<named_object name=\"insets\"><insets left=\"90\" right=\"90\"/></named_object>");
    EXPECT_EQ(slider->GetUsableLength(), 0);
    slider->SetValueFromX(150);
    EXPECT_EQ(slider->GetValue(), 0);
}

TEST_F(SliderWidget, HeightStaysNatural)
{
    auto slider = Load(kInsets);
    slider->SetSize(300, 5);
    EXPECT_EQ(slider->GetSize(), CVector2(300, 30));
    EXPECT_EQ(slider->GetTrack()->GetSize(), CVector2(300, 20));
}

TEST_F(SliderWidget, TemplateWithoutValueSetsZeroAndNotifies)
{
    auto slider = Load(kInsets);
    EXPECT_EQ(slider->GetValue(), 0);
    EXPECT_EQ(Events, std::vector<std::string>{"value_changed "});
    EXPECT_EQ(slider->GetThumb()->GetPosition().X, 10);
}

TEST_F(SliderWidget, DragFollowsTheMouseOutsideTheWidget)
{
    auto slider = Load(kInsets);
    Events.clear();
    // Thumb at x 10..30 of the widget.
    Dispatcher.DispatchMouseDown(CPoint2i(120, 110), 0, 0, 0);
    EXPECT_TRUE(slider->IsDragging());
    EXPECT_EQ(slider->GetValue(), 0);
    EXPECT_EQ(Sounds.Played, std::vector<std::string>{"tick"});
    Dispatcher.DispatchMouseMove(CPoint2i(200, 400), 0, 0);
    EXPECT_FLOAT_EQ(slider->GetValue(), 0.5f);
    Dispatcher.DispatchMouseMove(CPoint2i(700, 400), 0, 0);
    EXPECT_FLOAT_EQ(slider->GetValue(), 1);
    Dispatcher.DispatchMouseUp(CPoint2i(140, 400), 0, 0, 0);
    EXPECT_FALSE(slider->IsDragging());
    EXPECT_FLOAT_EQ(slider->GetValue(), 0.125f);
    EXPECT_EQ(Sounds.Played, (std::vector<std::string>{"tick", "tick"}));
    EXPECT_EQ(Events.back(), "value_changed sl");
    // No more drag.
    Dispatcher.DispatchMouseMove(CPoint2i(300, 400), 0, 0);
    EXPECT_FLOAT_EQ(slider->GetValue(), 0.125f);
}
