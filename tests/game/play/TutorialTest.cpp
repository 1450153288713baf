// The game window's tutorial (steps, tips, the end fade, the skip question and the click filter)
// and its achievements (awards kept in the profile, the popup).
#include "SceneStackTestSupport.h"

#include "anim/Clip.h"
#include "game/frontend/GenericDialog.h"
#include "game/frontend/ProfileManager.h"
#include "game/hud/Hud.h"

#include <filesystem>

using scenestacktest::StackFixture;

namespace {

class Tutorial : public StackFixture
{
protected:
    void TearDown() override
    {
        game::CHud::SetFallbackScreenSize(1366, 768);
        StackFixture::TearDown();
    }
    game::SProfileValues& Values() { return *game::CProfileManager::Instance()->GetCurrentValues(); }
    const char* TipName() { return Window->GetTutorialClip()->GetName().GetText(); }
    const char* PopupName() { return Window->GetAchievementClip()->GetName().GetText(); }
    // Empties the profile folder, so that a save is seen by the files it writes.
    void ClearProfileFiles()
    {
        for (const auto& entry : std::filesystem::directory_iterator(Folder.Path() / "saves"))
            std::filesystem::remove_all(entry.path());
    }
    bool ProfilesSaved() { return !std::filesystem::is_empty(Folder.Path() / "saves"); }
};

TEST_F(Tutorial, SetTutorialStepShowsItsTipAndTheSkipButton)
{
    for (s32 width : {1366, 1200})
    {
        game::CHud::SetFallbackScreenSize(width, 768);
        Start();
        for (s32 step = 0; step < 14; ++step)
        {
            SCOPED_TRACE(testing::Message() << "width " << width << " step " << step);
            Window->SetTutorialStep(step);
            EXPECT_EQ(Window->GetTutorialStep(), step);
            EXPECT_EQ(Shown("skip_tutorial"), step != 1 && step != 3);
            EXPECT_EQ(std::string(TipName()), "tutorial_" + std::to_string(step + 1));
            const bool shifted = step == 0 || step == 2 || step == 4;
            const float x = static_cast<float>(width) * 0.5f + (shifted ? static_cast<float>((1366 - width) / 2) : 0.0f);
            EXPECT_FLOAT_EQ(Window->GetTutorialClip()->GetPosition().X, x);
            EXPECT_FLOAT_EQ(Window->GetTutorialClip()->GetPosition().Y, 384.0f);
        }
    }
}

TEST_F(Tutorial, OnDifficultyTwoAdvancingEndsTheTutorialExceptAtStepFourteen)
{
    Values().Difficulty = 2;
    Start();
    const s32 saves = Window->GetSaveRequestCount();
    Window->SetTutorialStep(5);
    EXPECT_EQ(Window->GetTutorialStep(), -1);
    EXPECT_FALSE(Shown("skip_tutorial"));
    EXPECT_EQ(Window->GetTutorialEndDelay(), 0);
    EXPECT_EQ(Window->GetSaveRequestCount(), saves + 1);
    Window->SetTutorialStep(14);
    EXPECT_EQ(Window->GetTutorialStep(), -1);
    EXPECT_EQ(Window->GetTutorialEndDelay(), 5000);
}

TEST_F(Tutorial, StepFourteenFadesOverFiveSecondsAndAQuickEndOverOne)
{
    Start();
    Window->SetTutorialStep(13);
    const s32 saves = Window->GetSaveRequestCount();
    Window->AdvanceTutorial();
    EXPECT_EQ(Window->GetTutorialStep(), -1);
    EXPECT_EQ(Window->GetTutorialEndDelay(), 5000);
    EXPECT_FALSE(Shown("skip_tutorial"));
    EXPECT_EQ(Window->GetSaveRequestCount(), saves + 1);
    EXPECT_EQ(Window->GetTutorialTipAlpha(), 255);

    // A second end during the delay changes nothing.
    Frame(100);
    Window->EndTutorial(true);
    EXPECT_EQ(Window->GetTutorialEndDelay(), 4900);
    EXPECT_EQ(Window->GetSaveRequestCount(), saves + 1);

    // The tip fades over the last 1250 ms.
    Frames(41, 100);
    EXPECT_EQ(Window->GetTutorialEndDelay(), 800);
    EXPECT_EQ(Window->GetTutorialTipAlpha(), static_cast<s32>((1.0f - 450.0f / 1250.0f) * 255.0f));
    Frames(10, 100);
    EXPECT_EQ(Window->GetTutorialEndDelay(), 0);
    EXPECT_EQ(Window->GetTutorialTipAlpha(), 0);

    Window->SetTutorialStep(6);
    Window->EndTutorial(true);
    EXPECT_EQ(Window->GetTutorialEndDelay(), 1000);
}

TEST_F(Tutorial, OpeningASceneAfterTheTutorialCutsTheTipsFade)
{
    Start();
    Window->SetTutorialStep(6);
    Window->OpenScene("closeup", false, false);
    EXPECT_EQ(Window->GetTutorialStep(), 6);
    Window->EndTutorial(false);
    ASSERT_EQ(Window->GetTutorialEndDelay(), 5000);
    Window->OpenScene("mini2", false, false);
    EXPECT_EQ(Window->GetTutorialStep(), -1);
    EXPECT_EQ(Window->GetTutorialEndDelay(), 0);
}

TEST_F(Tutorial, TheSkipQuestionAsksAndItsYesEndsTheTutorialAtOnce)
{
    Start();
    Window->SetTutorialStep(5);
    Press("skip_tutorial");
    EXPECT_TRUE(Window->IsSkipTutorialQuestionShown());
    auto* dialog = dynamic_cast<game::CGenericDialog*>(Window->GetModalWindow().get());
    ASSERT_NE(dialog, nullptr);
    EXPECT_EQ(dialog->GetMode(), game::CGenericDialog::ModeYesNo);

    Window->AnswerSkipTutorial(false);
    EXPECT_FALSE(Window->IsSkipTutorialQuestionShown());
    EXPECT_EQ(Window->GetTutorialStep(), 5);

    const s32 saves = Window->GetSaveRequestCount();
    Window->AnswerSkipTutorial(true);
    EXPECT_EQ(Window->GetTutorialStep(), -1);
    EXPECT_EQ(Window->GetTutorialEndDelay(), 0);
    EXPECT_FALSE(Shown("skip_tutorial"));
    EXPECT_EQ(Window->GetSaveRequestCount(), saves + 1);
}

TEST_F(Tutorial, TheClickFilterLetsThroughOnlyTheStepsObject)
{
    struct SCase
    {
        s32 step;
        const char* scene;
        s32 x; // the object clicked, at y 200
        bool taken;
    };
    const SCase cases[] = {
        {0, "HOME_ENTER", 200, false},          {4, "HOME_ENTER", 200, false},
        {5, "HOME_ENTER", 200, true},           {5, "HOME_ENTER", 600, false},
        {6, "HOME_ENTER", 200, true},           {6, "HOME_ENTER", 400, false},
        {9, "HOME_ENTER", 400, true},           {9, "HOME_ENTER", 200, false},
        {10, "home_enter_hidden", 200, true},   {10, "home_enter_hidden", 400, false},
        {11, "home_enter_hidden", 400, true},   {11, "home_enter_hidden", 200, false},
        {7, "HOME_ENTER", 600, true},           {12, "HOME_ENTER", 600, true},
        {-1, "HOME_ENTER", 600, true},
    };
    for (const SCase& c : cases)
    {
        SCOPED_TRACE(testing::Message() << "step " << c.step << " x " << c.x);
        Start();
        Window->OpenScene(c.scene, false, false);
        if (c.step >= 0)
            Window->SetTutorialStep(c.step);
        Click(c.x, 200);
        Frames(2, 16);
        EXPECT_EQ(LampHidden(), c.taken);
    }
}

TEST_F(Tutorial, AnAwardIsKeptInTheProfileAndShowsItsPopupForFiveSeconds)
{
    Start();
    ClearProfileFiles();
    Window->AwardAchievement("collector");
    EXPECT_EQ(Values().Achievements[0], 1001);
    EXPECT_TRUE(ProfilesSaved());
    ASSERT_TRUE(Window->IsAchievementPopupShown());
    EXPECT_STREQ(PopupName(), "achive_collector");
    EXPECT_FLOAT_EQ(Window->GetAchievementClip()->GetPosition().X, 683.0f);
    EXPECT_FLOAT_EQ(Window->GetAchievementClip()->GetPosition().Y, 384.0f);
    // Long frames count 100 ms each.
    Frames(49, 400);
    EXPECT_EQ(Window->GetAchievementPopupElapsed(), 4900);
    EXPECT_TRUE(Window->IsAchievementPopupShown());
    Frame(40);
    Frame(60);
    EXPECT_FALSE(Window->IsAchievementPopupShown());
    EXPECT_EQ(Window->GetAchievementClip(), nullptr);

    // Again: no popup, but the profiles are saved.
    ClearProfileFiles();
    Window->AwardAchievement("collector");
    EXPECT_FALSE(Window->IsAchievementPopupShown());
    EXPECT_TRUE(ProfilesSaved());
}

TEST_F(Tutorial, AwardsOutsideTheFifteenOrWithoutAClip)
{
    Start();
    ClearProfileFiles();
    Window->AwardAchievement("unlisted");
    EXPECT_FALSE(Window->IsAchievementPopupShown());
    EXPECT_TRUE(ProfilesSaved());
    ClearProfileFiles();
    Window->AwardAchievement("no_such_award");
    EXPECT_FALSE(Window->IsAchievementPopupShown());
    EXPECT_FALSE(ProfilesSaved());
    for (u16 value : Values().Achievements)
        EXPECT_EQ(value, 0);
}

TEST_F(Tutorial, GameModeThreeAwardsNothing)
{
    MakeWindow();
    ASSERT_TRUE(Window->StartGame(true, true, false, false));
    ASSERT_EQ(Window->GetGameMode(), 3);
    ClearProfileFiles();
    Window->AwardAchievement("engineer");
    EXPECT_EQ(Values().Achievements[14], 0);
    EXPECT_FALSE(Window->IsAchievementPopupShown());
    EXPECT_FALSE(ProfilesSaved());
}

TEST_F(Tutorial, TheDetectivePopupFollowsEagleEyeAndDetective)
{
    struct SCase
    {
        u16 eagleEye, detective;
        const char* clip;
        u16 eagleEyeAfter, detectiveAfter;
    };
    const SCase cases[] = {
        {1001, 1001, "achive_detective_sniper", 1002, 1002},
        {1001, 7, "achive_sniper", 1002, 7},
        {0, 1001, "achive_detective", 0, 1002},
        {3, 0, "achive_detective", 3, 1},
    };
    Start();
    for (const SCase& c : cases)
    {
        SCOPED_TRACE(c.clip);
        Values().Achievements[1] = c.eagleEye;
        Values().Achievements[2] = c.detective;
        Window->ShowDetectiveAchievement();
        EXPECT_TRUE(Window->IsAchievementPopupShown());
        EXPECT_STREQ(PopupName(), c.clip);
        EXPECT_EQ(Values().Achievements[1], c.eagleEyeAfter);
        EXPECT_EQ(Values().Achievements[2], c.detectiveAfter);
        EXPECT_FLOAT_EQ(Window->GetAchievementClip()->GetPosition().X, 683.0f);
    }
}

TEST_F(Tutorial, AMinisceneComingOnTopHidesThePopup)
{
    Start();
    Window->AwardAchievement("explorer");
    ASSERT_TRUE(Window->IsAchievementPopupShown());
    Window->OpenScene("closeup", false, false);
    EXPECT_FALSE(Window->IsAchievementPopupShown());
}

} // namespace
