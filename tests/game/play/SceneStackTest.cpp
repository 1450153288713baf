// The scene stack with its miniscene views: opening and closing, the frame's clicks and hover,
// the skip timer, updates and the drawing order.
#include "SceneStackTestSupport.h"
#include "graphics/LogCapture.h"

#include "anim/Clip.h"
#include "game/hud/Hud.h"
#include "game/play/BackgroundSounds.h"
#include "game/play/MinisceneView.h"
#include "gui/CursorManager.h"
#include "qe/MinigameBase.h"
#include "qe/SceneView.h"

using scenestacktest::StackFixture;

namespace {

class SceneStack : public StackFixture
{
protected:
    game::CMinisceneView& Top() { return *Stack().GetTopMinisceneView(); }
    // A click at a design point (the layout is 1366 wide in these tests).
    bool ClickAt(const CIntRect& rect) { return Click(rect.X + rect.Width / 2, rect.Y + rect.Height / 2); }
};

// With the developer keys, F1 turns the cheat mode on.
class SceneStackDebug : public SceneStack
{
protected:
    bool DebugLevel() const override { return true; }
};

// A skip target counting its skips.
class CSkipCounter : public qe::CMinigameBase
{
public:
    void Load() override {}
    qe::CSceneObject* GetHintObject(const char*) override { return nullptr; }
    void Skip() override { ++Skips; }
    s32 Skips = 0;
};

TEST_F(SceneStack, AMinisceneOpensAtOnceCentredInItsFrame)
{
    Start();
    const s32 sounds = SoundCount();
    Window->OpenScene("closeup", false, true);
    EXPECT_FALSE(Window->IsTransitionRunning());
    EXPECT_EQ(Window->GetFadeLevel(), 0);
    ASSERT_EQ(Stack().GetMinisceneCount(), 1);
    EXPECT_STREQ(TopName(), "closeup");
    EXPECT_EQ(SoundCount(), sounds + 1);
    EXPECT_NE(LastSound().find("open.ogg"), std::string::npos);
    EXPECT_EQ(Window->GetBackgroundSounds().GetMiniscene(), Scene("closeup"));

    const game::CMinisceneView& view = Top();
    EXPECT_EQ(view.GetViewRect(), CIntRect(383, 184, 600, 400));
    EXPECT_EQ(view.GetFrameRect(), CIntRect(366, 166, 658, 451));
    EXPECT_EQ(view.GetCloseRect(), CIntRect(366 + 658 - 30 - 8, 166, 30, 28));
    EXPECT_EQ(view.GetSkipRect(), CIntRect(366 + 17 - 12, 166, 24, 26));
    const CVector2 onScreen = view.SceneToView(CVector2(10.0f, 20.0f));
    EXPECT_FLOAT_EQ(onScreen.X, 393.0f);
    EXPECT_FLOAT_EQ(onScreen.Y, 204.0f);
    const CVector2 inScene = view.ViewToScene(CVector2(393.0f, 204.0f));
    EXPECT_FLOAT_EQ(inScene.X, 10.0f);
    EXPECT_FLOAT_EQ(inScene.Y, 20.0f);
    // The progress clip sits under the scene, centred.
    EXPECT_FLOAT_EQ(view.GetSkipClip().GetPosition().X, 683.0f);
    EXPECT_FLOAT_EQ(view.GetSkipClip().GetPosition().Y, 604.0f);
}

TEST_F(SceneStack, ASixthMinisceneIsNotOpenedAndClosingTheLowerKeepsTheUpperOnTop)
{
    Start();
    CScratchLogCapture log;
    for (const char* name : {"closeup", "mini2", "mini3", "mini4", "mini5", "mini6"})
        Stack().OpenScene(name);
    EXPECT_EQ(Stack().GetMinisceneCount(), 5);
    EXPECT_STREQ(TopName(), "mini5");
    EXPECT_EQ(log.Text().find("Error"), std::string::npos);

    game::CMinisceneView* upper = Stack().GetMinisceneView(4);
    Stack().CloseScene("mini2");
    ASSERT_EQ(Stack().GetMinisceneCount(), 4);
    EXPECT_STREQ(TopName(), "mini5");
    EXPECT_EQ(Stack().GetTopMinisceneView(), upper);
    const char* expected[] = {"closeup", "mini3", "mini4", "mini5"};
    for (s32 i = 0; i < 4; ++i)
        EXPECT_STREQ(Stack().GetMinisceneView(i)->GetScene()->GetName().GetText(), expected[i]);
    // Closing by name tells the ambient sounds.
    EXPECT_EQ(Window->GetBackgroundSounds().GetMiniscene(), nullptr);

    // A main scene empties the stack.
    Stack().OpenScene("HOME_ENTER");
    EXPECT_EQ(Stack().GetMinisceneCount(), 0);
    EXPECT_STREQ(TopName(), "HOME_ENTER");
}

TEST_F(SceneStack, UnknownNamesAndTheMainSceneAreRefusedWithAnError)
{
    Start();
    CScratchLogCapture log;
    Stack().OpenScene("x");
    Stack().CloseScene("x");
    Stack().CloseScene("hall");
    EXPECT_TRUE(log.Contains("Scene not found: 'x'."));
    EXPECT_TRUE(log.Contains("Can't close main scene: 'hall'."));
    EXPECT_TRUE(log.Contains("Error"));
    EXPECT_STREQ(TopName(), "hall");
}

TEST_F(SceneStack, CloseButtonAndOutsideClicksCloseWithTheirSounds)
{
    Start();
    struct SCase
    {
        bool closeButton;
        const char* sound;
    };
    for (const SCase& c : {SCase{true, "press.ogg"}, SCase{false, "open.ogg"}})
    {
        SCOPED_TRACE(c.sound);
        Window->OpenScene("closeup", false, false);
        ASSERT_EQ(Stack().GetMinisceneCount(), 1);
        Window->GetHud().GetInventory().Open(true);
        game::CMinisceneView& view = Top();
        const CIntRect close = view.GetCloseRect();
        // Inside the frame but off the button: the scene has it.
        Click(view.GetViewRect().X + 5, view.GetViewRect().Y + 5);
        EXPECT_EQ(Stack().GetMinisceneCount(), 1);

        const s32 sounds = SoundCount();
        EXPECT_TRUE(c.closeButton ? ClickAt(close) : Click(20, 20));
        EXPECT_EQ(Stack().GetMinisceneCount(), 0);
        EXPECT_EQ(view.GetCloseState(), game::CMinisceneView::kButtonPressed);
        EXPECT_EQ(SoundCount(), sounds + 1);
        EXPECT_NE(LastSound().find(c.sound), std::string::npos);
        EXPECT_NE(Window->GetHud().GetInventory().GetState(), game::CHudInventory::kOpen);
        // The frame's close leaves the ambient sounds alone.
        EXPECT_EQ(Window->GetBackgroundSounds().GetMiniscene(), Scene("closeup"));
        EXPECT_STREQ(TopName(), "hall");
    }
}

TEST_F(SceneStack, InGameModeThreeFrameClicksGoNowhere)
{
    MakeWindow();
    ASSERT_TRUE(Window->StartGame(true, true, false, false));
    ASSERT_EQ(Window->GetGameMode(), 3);
    Frames(40, 16);
    Window->OpenScene("closeup", false, false);
    ASSERT_EQ(Stack().GetMinisceneCount(), 1);
    const CIntRect close = Top().GetCloseRect();
    ClickAt(close);
    Click(20, 20);
    EXPECT_EQ(Stack().GetMinisceneCount(), 1);
    EXPECT_FALSE(Stack().UpdateHover(CPoint2i(close.X + 2, close.Y + 2), ""));
}

TEST_F(SceneStack, DuringTheTutorialOnlyStepEightClosesAndAdvances)
{
    Start();
    Window->OpenScene("closeup", false, false);
    const CIntRect close = Top().GetCloseRect();
    for (s32 step : {0, 5, 7, 9})
    {
        Window->SetTutorialStep(step);
        ASSERT_EQ(Window->GetTutorialStep(), step);
        ClickAt(close);
        EXPECT_EQ(Stack().GetMinisceneCount(), 1) << step;
        EXPECT_EQ(Window->GetTutorialStep(), step);
    }
    Window->SetTutorialStep(8);
    EXPECT_TRUE(ClickAt(close));
    EXPECT_EQ(Stack().GetMinisceneCount(), 0);
    EXPECT_EQ(Window->GetTutorialStep(), 9);
}

TEST_F(SceneStack, WithTheInventoryInModeThreeTheCloseOverImageClosesTheMiniscene)
{
    Start();
    Window->OpenScene("closeup", false, false);
    Window->GetHud().GetInventory().SetModeValue(game::CHudInventory::kModeInteractive);
    // "close_over" lies at (560, 40) in the 600 x 400 close-up, placed at (383, 184).
    const CPoint2i over(383 + 560, 184 + 40);
    lv::gui::CCursorManager::Instance().SetMousePosition(over);
    const s32 sounds = SoundCount();
    EXPECT_TRUE(Click(over.X, over.Y));
    EXPECT_EQ(Stack().GetMinisceneCount(), 0);
    EXPECT_EQ(SoundCount(), sounds + 1);
    EXPECT_NE(LastSound().find("open.ogg"), std::string::npos);
}

TEST_F(SceneStack, WithTheInventoryInModeThreeTheCloseOverImageLightsUnderThePointer)
{
    Start();
    Window->OpenScene("closeup", false, false);
    Window->GetHud().GetInventory().SetModeValue(game::CHudInventory::kModeInteractive);
    qe::CSceneObject* over = Window->GetQuest()->FindScene("closeup")->FindObject("close_over");
    qe::CSceneObject* normal = Window->GetQuest()->FindScene("closeup")->FindObject("close_normal");
    ASSERT_TRUE(over && normal);
    lv::gui::CCursorManager& cursors = lv::gui::CCursorManager::Instance();
    struct
    {
        CPoint2i At;
        bool OverShown;
    } moves[] = {{{383 + 560, 184 + 40}, true}, {{383 + 300, 184 + 300}, false}, {{383 + 570, 184 + 50}, true}};
    for (const auto& m : moves) {
        cursors.SetCursor(100);
        cursors.SetMousePosition(m.At);
        Window->OnMouseMove(m.At, 0, 0);
        EXPECT_EQ(over->HasFlags(qe::CSceneObject::kHidden), !m.OverShown) << m.At.X;
        EXPECT_EQ(normal->HasFlags(qe::CSceneObject::kHidden), m.OverShown) << m.At.X;
        if (m.OverShown) {
            EXPECT_EQ(cursors.GetCursor(), 101) << m.At.X;
        }
    }
}

TEST_F(SceneStack, ClicksInsideReachTheMinisceneAtItsOwnCoordinates)
{
    Start();
    Window->OpenScene("closeup", false, false);
    // "spot" covers (280..320, 180..220) of the close-up.
    EXPECT_TRUE(Click(383 + 300, 184 + 200));
    Frames(2, 16);
    EXPECT_TRUE(LampHidden());
}

TEST_F(SceneStack, FrameHoverLightsTheCloseButtonAndShowsTheHandOutside)
{
    Start();
    Window->OpenScene("closeup", false, false);
    lv::gui::CCursorManager& cursors = lv::gui::CCursorManager::Instance();
    const CIntRect close = Top().GetCloseRect();
    cursors.SetCursor(100);
    EXPECT_TRUE(Stack().UpdateHover(CPoint2i(close.X + 1, close.Y + 1), ""));
    EXPECT_EQ(Top().GetCloseState(), game::CMinisceneView::kButtonHovered);
    EXPECT_EQ(cursors.GetCursor(), 101);
    cursors.SetCursor(100);
    EXPECT_TRUE(Stack().UpdateHover(CPoint2i(10, 10), ""));
    EXPECT_EQ(Top().GetCloseState(), game::CMinisceneView::kButtonNormal);
    EXPECT_EQ(cursors.GetCursor(), 101);
}

TEST_F(SceneStack, TheSkipTimerStretchesTheClipAndGatesItsArea)
{
    Start();
    Window->OpenScene("closeup", false, false);
    game::CMinisceneView& view = Top();
    CSkipCounter target;
    view.SetSkipTimer(true, &target);
    ASSERT_EQ(game::CMinisceneView::GetSkipThreshold(), 45000);
    Frame(900);
    EXPECT_EQ(view.GetSkipElapsed(), 900);
    EXPECT_EQ(view.GetSkipClipTime(), 900 * 30000 / 45000);

    // The clip's area skips only after the threshold; the button at once.
    const CPoint2i clip(683, 604);
    Click(clip.X, clip.Y);
    EXPECT_EQ(target.Skips, 0);
    ClickAt(view.GetSkipRect());
    EXPECT_EQ(target.Skips, 1);
    EXPECT_EQ(view.GetSkipState(), game::CMinisceneView::kButtonPressed);
    Frames(45, 1000);
    EXPECT_GE(view.GetSkipElapsed(), 45000);
    Click(clip.X, clip.Y);
    EXPECT_EQ(target.Skips, 2);
    EXPECT_EQ(Stack().GetMinisceneCount(), 1);

    view.SetSkipTimer(false, nullptr);
    Frame(100);
    EXPECT_EQ(view.GetSkipElapsed(), 45900);
}

TEST_F(SceneStackDebug, InCheatModeTheClipsAreaSkipsBeforeTheThreshold)
{
    Start();
    Window->OpenScene("closeup", false, false);
    CSkipCounter target;
    Top().SetSkipTimer(true, &target);
    Frame(100);
    ASSERT_TRUE(Window->OnKeyDown(10015, 0, 0, 0));
    ASSERT_TRUE(Window->IsCheatMode());
    Click(683, 604);
    EXPECT_EQ(target.Skips, 1);
    EXPECT_EQ(Stack().GetMinisceneCount(), 1);
}

TEST_F(SceneStack, AClosedViewForgetsItsSkipTargetBeforeTheNextMinisceneUsesIt)
{
    Start();
    Window->OpenScene("closeup", false, false);
    game::CMinisceneView* view = &Top();
    {
        CSkipCounter target;
        view->SetSkipTimer(true, &target);
        Stack().CloseScene("closeup");
    }
    Window->OpenScene("mini2", false, false);
    ASSERT_EQ(&Top(), view);
    EXPECT_FALSE(view->IsSkipRunning());
    // A click on the skip button's place reaches no gone target.
    ClickAt(view->GetSkipRect());
    EXPECT_EQ(Stack().GetMinisceneCount(), 1);
}

TEST_F(SceneStack, OnDifficultyTwoTheThresholdDoubles)
{
    game::CProfileManager::Instance()->GetCurrentValues()->Difficulty = 2;
    Start();
    Window->OpenScene("closeup", false, false);
    EXPECT_EQ(game::CMinisceneView::GetSkipThreshold(), 90000);
    CSkipCounter target;
    Top().SetSkipTimer(true, &target);
    Frame(900);
    EXPECT_EQ(Top().GetSkipClipTime(), 900 * 30000 / 90000);
    game::CProfileManager::Instance()->GetCurrentValues()->Difficulty = 1;
    Stack().Layout();
    EXPECT_EQ(game::CMinisceneView::GetSkipThreshold(), 45000);
}

TEST_F(SceneStack, OnlyTheTopMinisceneUpdatesAndNothingWithThePauseMenuOpen)
{
    Start();
    Window->OpenScene("closeup", false, false);
    Window->OpenScene("mini2", false, false);
    CSkipCounter lower, upper;
    Stack().GetMinisceneView(0)->SetSkipTimer(true, &lower);
    Stack().GetMinisceneView(1)->SetSkipTimer(true, &upper);
    Frame(100);
    EXPECT_EQ(Stack().GetMinisceneView(0)->GetSkipElapsed(), 0);
    EXPECT_EQ(Stack().GetMinisceneView(1)->GetSkipElapsed(), 100);
    Press("menu_button");
    ASSERT_TRUE(Window->IsPauseMenuOpen());
    Stack().Update();
    EXPECT_EQ(Stack().GetMinisceneView(1)->GetSkipElapsed(), 100);
}

} // namespace
