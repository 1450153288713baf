// The lamp's close-up on the built demo content, played by a recorded input script through the
// input replayer and the application's dispatcher into the game window, drawn through the real
// OpenGL layer and compared with tests/game/play/golden/*.png (GAME_UPDATE_GOLDEN=1 writes the
// references instead).
#include "game/play/GameDemoTestSupport.h"

#include "game/play/MinisceneView.h"
#include "game/play/SceneStack.h"
#include "qe/Scene.h"
#include "qe/SceneView.h"

namespace {

class MinisceneReplay : public gamedemotest::GameDemoFixture
{
protected:
    void SetUp() override
    {
        gamedemotest::GameDemoFixture::SetUp();
        if (!IsSkipped() && !HasFatalFailure())
            StartHall();
    }

    game::CMinisceneView* TopMiniscene() const
    {
        game::CSceneStack& stack = m_Window->GetSceneStack();
        if (stack.GetMinisceneCount() == 0)
            return nullptr;
        return static_cast<game::CMinisceneView*>(stack.GetTopView());
    }
};

// The lamp opens its close-up in the frame (600 x 400 centred: view at (383, 184), close
// button at (986, 166)); the pointer over the close button lights it, and its click closes the
// close-up.
TEST_F(MinisceneReplay, TheLampsCloseUpOpensAndItsCloseButtonClosesIt)
{
    ASSERT_NO_FATAL_FAILURE(StartReplay("at 100 move 520 300\n"
                                        "at 300 click 520 300\n"
                                        "checkpoint opened\n"
                                        "at 500 move 900 300\n"
                                        "at 700 move 1001 180\n"
                                        "checkpoint hovered\n"
                                        "at 900 click 1001 180\n"
                                        "checkpoint closed\n"));
    PlayTo("opened");
    game::CMinisceneView* view = TopMiniscene();
    ASSERT_NE(view, nullptr);
    EXPECT_STREQ(view->GetScene()->GetName().GetText(), "lamp_closeup");
    EXPECT_EQ(view->GetViewRect(), CIntRect(383, 184, 600, 400));
    EXPECT_EQ(view->GetCloseRect(), CIntRect(986, 166, 30, 28));
    EXPECT_EQ(view->GetCloseState(), 0);

    PlayTo("hovered");
    ASSERT_EQ(TopMiniscene(), view);
    EXPECT_EQ(view->GetCloseState(), 1);
    Compare("lamp_closeup_close_hovered");

    PlayTo("closed");
    EXPECT_EQ(m_Window->GetSceneStack().GetMinisceneCount(), 0);
    EXPECT_EQ(m_Window->GetSceneStack().GetTopView(), m_Window->GetSceneStack().GetMainView());
    EXPECT_FALSE(lv::gui::CInputReplayer::Instance().IsPlaying());
}

// The collector's popup over the hall, half-way through its showing.
TEST_F(MinisceneReplay, AnAchievementPopupOverTheHall)
{
    m_Window->AwardAchievement("collector");
    ASSERT_TRUE(m_Window->IsAchievementPopupShown());
    for (int i = 0; i < 10; ++i)
        ReplayFrame();
    ASSERT_TRUE(m_Window->IsAchievementPopupShown());
    Compare("hall_achievement_collector");
}

} // namespace
