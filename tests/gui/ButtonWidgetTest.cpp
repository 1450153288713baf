#include "RecordingRenderer.h"
#include "WidgetTestSupport.h"
#include "support/RecordingSystemIntegration.h"

#include "core/Timer.h"
#include "graphics/ImageHandle.h"
#include "gui/ButtonWidget.h"
#include "gui/CursorManager.h"
#include "gui/InputDispatcher.h"
#include "gui/WidgetFactory.h"

#include <gtest/gtest.h>

using lv::gui::CButtonWidget;

namespace {

class ButtonWidget : public testing::Test
{
protected:
    void SetUp() override
    {
        guitest::DeclareGuiTestImages();
        Root.reset(new CEventWindow(Events));
        Dispatcher.SetRoot(Root);
        Dispatcher.Update();
    }

    // A button from a template at (100, 100) in the root window.
    CButtonWidget::Ptr Load(const std::string& templateAttributes, const std::string& nodeAttributes = "")
    {
        const CTemplateXml xml("<button_template id=\"t\" " + templateAttributes + "/>",
                               "<button_widget id=\"btn\" button_template=\"t\" x=\"100\" y=\"100\" " +
                                   nodeAttributes + "/>");
        CButtonWidget::Ptr button(
            static_cast<CButtonWidget*>(lv::gui::CWidgetFactory::Instance().CreateWidget("button_widget")));
        EXPECT_NE(button, nullptr);
        button->LoadFromTemplate(xml.Node(), xml.Templates());
        Root->AddChild(button);
        return button;
    }
    void Move(s32 x, s32 y) { Dispatcher.DispatchMouseMove(CPoint2i(x, y), 0, 0); }
    void Down(s32 x, s32 y, s32 button = 0) { Dispatcher.DispatchMouseDown(CPoint2i(x, y), button, 0, 0); }
    void Up(s32 x, s32 y, s32 button = 0) { Dispatcher.DispatchMouseUp(CPoint2i(x, y), button, 0, 0); }
    static s32 Alpha(const CButtonWidget& b, s32 state) { return b.GetStateImage(state)->GetColor().A; }
    static bool Visible(const CButtonWidget& b, s32 state)
    {
        return !(b.GetStateImage(state)->GetFlags() & lv::gui::CBaseWidget::Hidden);
    }

    CRecordingSystemIntegration Platform;
    std::vector<std::string> Events;
    boost::intrusive_ptr<CEventWindow> Root;
    lv::gui::CInputDispatcher Dispatcher;
    CSoundLog Sounds;
};

} // namespace

TEST_F(ButtonWidget, StripFramesFollowTheStatesMask)
{
    lv::gui::CWidgetFactory::RegisterWidgetTypes();
    struct Case
    {
        const char* image;
        const char* mask;
        s32 frameX[4];
    } cases[] = {{"strip4", "", {0, 100, 200, 300}}, {"strip3", "states_mask=\"nop\"", {0, 100, 200, 0}}};
    for (const Case& c : cases) {
        auto button = Load(std::string("image=\"") + c.image + "\" " + c.mask);
        EXPECT_EQ(button->GetSize(), CVector2(100, 30)) << c.image;
        EXPECT_EQ(button->GetPreferredSize(), CVector2(100, 30)) << c.image;
        for (s32 state = 0; state < 4; ++state) {
            const auto& source = button->GetStateImage(state)->GetImage().GetSourceRect();
            EXPECT_EQ(source.x, c.frameX[state]) << c.image << " state " << state;
            EXPECT_EQ(source.width, 100) << c.image;
        }
        // The disabled state shows its own frame (or the first when the strip has none).
        button->SetDisabled(true);
        EXPECT_TRUE(Visible(*button, CButtonWidget::StateDisabled));
        EXPECT_FALSE(Visible(*button, CButtonWidget::StateNormal));
    }
}

TEST_F(ButtonWidget, PressedOnlyWhenReleasedOnTheButton)
{
    lv::gui::CWidgetFactory::RegisterWidgetTypes();
    auto button = Load("image=\"strip4\" sound_on_press=\"press\" sound_on_over=\"over\"");
    Move(110, 110);
    Down(110, 110);
    EXPECT_EQ(button->GetState(), CButtonWidget::StatePressed);
    Move(500, 500);
    EXPECT_EQ(button->GetState(), CButtonWidget::StatePressed);
    Up(500, 500);
    EXPECT_EQ(button->GetState(), CButtonWidget::StateNormal);
    EXPECT_EQ(Events, (std::vector<std::string>{"overed btn"}));
    EXPECT_EQ(Sounds.Played, std::vector<std::string>{"over"});

    Events.clear();
    Sounds.Played.clear();
    Move(110, 110);
    Down(110, 110);
    Move(500, 500);
    Move(120, 120);
    Up(120, 120);
    EXPECT_EQ(button->GetState(), CButtonWidget::StateOver);
    EXPECT_EQ(Events, (std::vector<std::string>{"overed btn", "pressed btn"}));
    EXPECT_EQ(Sounds.Played, (std::vector<std::string>{"over", "press"}));

    // Any button presses; leaving sends "lost_over".
    Events.clear();
    Down(120, 120, 1);
    Up(120, 120, 1);
    Move(99, 120);
    EXPECT_EQ(Events, (std::vector<std::string>{"pressed btn", "lost_over btn"}));
    EXPECT_EQ(button->GetState(), CButtonWidget::StateNormal);
}

TEST_F(ButtonWidget, HoverAsksForTheHandCursor)
{
    lv::gui::CWidgetFactory::RegisterWidgetTypes();
    Load("image=\"strip4\"");
    auto& cursors = lv::gui::CCursorManager::Instance();
    cursors.SetHidden(false);
    cursors.SetCursor(lv::gui::CCursorManager::kPointer);
    Move(110, 110);
    EXPECT_EQ(cursors.GetCursor(), lv::gui::CCursorManager::kHand);
    cursors.SetCursor(lv::gui::CCursorManager::kPointer);
}

TEST_F(ButtonWidget, CustomCursorTurnsToTheHandOverTheButton)
{
    lv::gui::CWidgetFactory::RegisterWidgetTypes();
    Load("image=\"strip4\"");
    auto& cursors = lv::gui::CCursorManager::Instance();
    cursors.SetCustomCursors(true);
    cursors.SetCursor(lv::gui::CCursorManager::kText);
    Dispatcher.SetScreenArea(CFloatRect(0, 0, 800, 600), CVector2(1, 1));
    // Off the button the move resets the cursor to the pointer; over it the button asks for the
    // hand within the same message, and the update takes it.
    Dispatcher.HandleMessage(nullptr, WM_MOUSEMOVE, 0, MAKELPARAM(50, 50));
    EXPECT_EQ(cursors.GetCursor(), lv::gui::CCursorManager::kPointer);
    EXPECT_EQ(cursors.GetSoftwareCursor(),
              &cursors.FindCursor(lv::gui::CCursorManager::kPointer)->PointerSprite);
    Dispatcher.HandleMessage(nullptr, WM_MOUSEMOVE, 0, MAKELPARAM(150, 110));
    EXPECT_EQ(cursors.GetCursor(), lv::gui::CCursorManager::kHand);
    EXPECT_EQ(cursors.GetSoftwareCursor(),
              &cursors.FindCursor(lv::gui::CCursorManager::kHand)->PointerSprite);
    EXPECT_NE(cursors.GetSoftwareCursor()->GetImage(), nullptr);
    EXPECT_EQ(cursors.GetMousePosition(), CPoint2i(150, 110));
    cursors.SetCustomCursors(false);
    cursors.SetCursor(lv::gui::CCursorManager::kPointer);
}

TEST_F(ButtonWidget, FadeBetweenStateImages)
{
    lv::gui::CWidgetFactory::RegisterWidgetTypes();
    // Without fade time the images switch at once.
    auto instant = Load("image=\"strip4\"");
    instant->Update();
    EXPECT_EQ(Alpha(*instant, 0), 255);
    EXPECT_EQ(Alpha(*instant, 1), 0);
    Move(110, 110);
    instant->Update();
    EXPECT_EQ(Alpha(*instant, 0), 0);
    EXPECT_EQ(Alpha(*instant, 1), 255);
    Move(500, 500);
    Root->CloseChild(instant.get());
    Root->RemoveClosedChildren();

    auto fading = Load("image=\"strip4\" image_fade_time=\"200\"");
    lv::core::CTimer& timer = *fading->GetFadeTimer();
    timer.SetTime(400);
    fading->Update();
    EXPECT_EQ(timer.GetTime(), 200);
    EXPECT_EQ(Alpha(*fading, 0), 255);
    EXPECT_EQ(Alpha(*fading, 1), 0);
    Move(110, 110);
    EXPECT_LT(timer.GetSpeed(), 0);
    // The timer runs down: half way the normal image is half transparent over the over image.
    timer.SetTime(100);
    fading->Update();
    EXPECT_EQ(Alpha(*fading, 0), 127);
    EXPECT_EQ(Alpha(*fading, 1), 255);
    timer.SetTime(-50);
    fading->Update();
    EXPECT_EQ(Alpha(*fading, 0), 0);
    EXPECT_EQ(Alpha(*fading, 1), 255);
    // Fade completed: a press shows the pressed image at once.
    Down(110, 110);
    fading->Update();
    EXPECT_TRUE(Visible(*fading, 2));
    EXPECT_EQ(Alpha(*fading, 1), 0);
    EXPECT_EQ(Alpha(*fading, 2), 255);
}

TEST_F(ButtonWidget, TileStepRoundsTheInnerSizeUp)
{
    lv::gui::CWidgetFactory::RegisterWidgetTypes();
    auto button = Load("image=\"strip_tile\" tile_step_x=\"16\"");
    button->SetSize(105, 30);
    EXPECT_EQ(button->GetSize(), CVector2(112, 30));
    button->SetSize(112, 30);
    EXPECT_EQ(button->GetSize(), CVector2(112, 30));
}

TEST_F(ButtonWidget, DisabledButtonPlaysItsSoundOnceAndSendsNothing)
{
    lv::gui::CWidgetFactory::RegisterWidgetTypes();
    auto button = Load("image=\"strip4\" sound_on_press=\"press\" sound_on_disabled_press=\"denied\"",
                       "disabled=\"true\"");
    EXPECT_EQ(button->GetState(), CButtonWidget::StateDisabled);
    Move(110, 110);
    Down(110, 110);
    Up(110, 110);
    EXPECT_TRUE(Events.empty());
    EXPECT_EQ(Sounds.Played, std::vector<std::string>{"denied"});
    Up(500, 500);
    EXPECT_EQ(Sounds.Played, std::vector<std::string>{"denied"});
    button->SetDisabled(false);
    EXPECT_EQ(button->GetState(), CButtonWidget::StateNormal);
    Move(110, 110);
    EXPECT_EQ(Events, std::vector<std::string>{"overed btn"});
}

TEST_F(ButtonWidget, UseAlphaRefusesTransparentPixels)
{
    lv::gui::CWidgetFactory::RegisterWidgetTypes();
    CRecordingRenderer renderer;
    auto button = Load("image=\"strip_alpha\"", "use_alpha=\"true\"");
    EXPECT_EQ(button->GetSize(), CVector2(40, 20));
    // The pixel copy as read back from the loaded texture.
    lv::graphics::CImageHandle* image = button->GetStateImage(0)->GetImage().GetImage();
    image->EnsurePixelCopy();
    for (u32 y = 0; y < 20; ++y)
        for (u32 x = 0; x < 160; ++x)
            *image->GetPixelAddress(x, y, -1) = x % 40 < 20 ? 0u : 0xFF808080u;
    EXPECT_FALSE(button->HitTest(CPoint2i(5, 5)));
    EXPECT_TRUE(button->HitTest(CPoint2i(25, 5)));
    Down(105, 105);
    EXPECT_EQ(button->GetState(), CButtonWidget::StateNormal);
    Down(125, 105);
    EXPECT_EQ(button->GetState(), CButtonWidget::StatePressed);
}
