#include "game/play/GameWindowTestSupport.h"
#include "graphics/LogCapture.h"

#include "game/hud/Hud.h"
#include "game/play/GameApplication.h"
#include "game/play/CutscenePlayer.h"
#include "game/play/GameOptionsWindow.h"
#include "game/play/LevelMusic.h"
#include "game/play/MinigameManager.h"
#include "game/play/BackgroundSounds.h"
#include "game/play/SceneStack.h"
#include "gui/CursorManager.h"
#include "qe/Quest.h"
#include "qe/Scene.h"
#include "qe/SceneObject.h"
#include "qe/SceneView.h"

#include <fstream>

using gamewindowtest::GameWindowFixture;

namespace {

class GameWindow : public GameWindowFixture
{
protected:
    const char* MainScene() const
    {
        qe::CScene* scene = Window->GetSceneStack().GetMainView()->GetScene();
        return scene ? scene->GetName().GetText() : "";
    }
    const char* QuestName() const { return Window->GetQuest() ? Window->GetQuest()->GetName().GetText() : ""; }
    void PlaceSave(const char* suffix)
    {
        std::ofstream(SavePathText(suffix), std::ios::binary) << "old save";
    }
    bool SaveExists(const char* suffix) { return std::filesystem::exists(SavePathText(suffix)); }
    qe::CSceneObject* Object(const char* name) { return Window->GetQuest()->FindObjectByPath(name); }
};

class GameWindowDebug : public GameWindow
{
protected:
    bool DebugLevel() const override { return true; }
};

class GameWindowInGame : public GameWindow
{
protected:
    std::unique_ptr<lv::core::CApplication> MakeApplication() override
    {
        return std::make_unique<game::CGameApplication>();
    }
};

class GameWindowBare : public GameWindow
{
protected:
    bool WithChildren() const override { return false; }
};

TEST_F(GameWindow, PlayButtonMakesTheGameWindowTheRootWithANewGame)
{
    game::CMainMenuWindow::Ptr menu(new game::CMainMenuWindow(true, false, false, false));
    SetRoot(menu);
    EXPECT_EQ(game::CGameWindow::GetInstance(), nullptr);
    menu->StartGame();
    auto* window = dynamic_cast<game::CGameWindow*>(Root().get());
    ASSERT_NE(window, nullptr);
    Window = window;
    EXPECT_EQ(game::CGameWindow::GetInstance(), window);
    EXPECT_EQ(window->GetGameMode(), 0);
    EXPECT_TRUE(window->IsStarted());
    EXPECT_STREQ(QuestName(), "q0");
    EXPECT_STREQ(MainScene(), "hall");
    const s32 expected = window->GetQuest()->GetStateSize() + window->GetHud().GetSaveSize() + 13204 + 25504 + 216;
    EXPECT_EQ(window->GetSaveImageSize(), expected);
    EXPECT_EQ(window->GetSaveImage().GetCapacity(), expected);
}

TEST_F(GameWindow, StartGameChoosesTheModeAndItsRecord)
{
    LoadQuests(gamewindowtest::QuestXml(4));
    const struct
    {
        bool other, third, extras;
        s32 mode;
        const char* quest;
    } cases[] = {{false, false, false, 0, "q0"},
                 {true, false, false, 2, "q2"},
                 {true, true, false, 3, "q3"},
                 {false, false, true, 3, "q3"},
                 {true, false, true, 3, "q3"}};
    for (const auto& c : cases)
    {
        MakeWindow();
        EXPECT_EQ(Window->GetGameMode(), -1);
        EXPECT_TRUE(Window->StartGame(c.other, c.third, true, c.extras));
        EXPECT_EQ(Window->GetGameMode(), c.mode);
        EXPECT_STREQ(QuestName(), c.quest);
        EXPECT_STREQ(MainScene(), "hall");
    }
}

TEST_F(GameWindow, ConstructionPlacesAndHidesTheTemplateChildren)
{
    MakeWindow();
    const float width = static_cast<float>(game::CHud::GetScreenSize().X);
    EXPECT_EQ(Child("skip_tutorial")->GetPosition().X, width - 120.0f);
    EXPECT_EQ(Child("skip_tutorial")->GetPosition().Y, 0.0f);
    EXPECT_EQ(Child("skip_btn")->GetPosition().X, width - 100.0f);
    EXPECT_EQ(Child("skip_btn")->GetPosition().Y, 4.0f);
    EXPECT_FALSE(Shown("skip_tutorial"));
    EXPECT_FALSE(Shown("skip_btn"));
    EXPECT_FALSE(Shown("back_button"));
    EXPECT_TRUE(Shown("menu_button"));
}

TEST_F(GameWindow, MenuBackgroundFollowsTheProfileStyleExceptInModeThree)
{
    LoadQuests(gamewindowtest::QuestXml(4));
    for (u16 index = 0; index < 4; ++index)
    {
        game::CProfileManager::Instance()->GetCurrentValues()->Styles = static_cast<u16>(index << 4);
        MakeWindow();
        for (int n = 1; n <= 3; ++n)
        {
            const std::string name = "menu_back_" + std::to_string(n);
            EXPECT_EQ(Shown(name.c_str()), n - 1 == index) << name << " index " << index;
        }
        Window->StartGame(false, false, false, true);
        for (int n = 1; n <= 3; ++n)
            EXPECT_FALSE(Shown(("menu_back_" + std::to_string(n)).c_str()));
    }
}

TEST_F(GameWindow, BackButtonShowsOnlyInModeThreeOutsideTheMinigameMode)
{
    LoadQuests(gamewindowtest::QuestXml(4));
    MakeWindow();
    Window->StartGame(false, false, false, true);
    EXPECT_TRUE(Shown("back_button"));
    const float width = static_cast<float>(game::CHud::GetScreenSize().X);
    EXPECT_EQ(Child("back_button")->GetPosition().X, width - 110.0f + 10.0f);
    EXPECT_EQ(Child("back_button")->GetPosition().Y, 6.0f);
    Window->GetHud().PushMode(game::CHud::kModeMinigame);
    EXPECT_FALSE(Shown("back_button"));
    Window->GetHud().PopMode();
    EXPECT_FALSE(Shown("back_button"));
    Window->RefreshMenuButtons();
    EXPECT_TRUE(Shown("back_button"));
}

TEST_F(GameWindowBare, ATemplateWithoutItsChildrenBuildsAndRunsWithOneLogLineEach)
{
    CScratchLogCapture log;
    MakeWindow();
    Window->StartGame(false, false, false, false);
    Frames(3, 16);
    Window->SetMenuButtonsHidden(true);
    Window->SetMenuButtonsHidden(false);
    Window->SetMenuButtonsDisabled(true);
    Window->RefreshMenuButtons();
    EXPECT_FALSE(Window->OnKeyDown(10015, 0, 0, 0));
    const std::string text = log.Text();
    for (const char* name : {"skip_tutorial", "skip_btn", "menu_button", "menu_back_1", "menu_back_2", "menu_back_3"})
    {
        const std::string line = std::string("[game][2]: game window: the template has no '") + name + "'";
        const size_t first = text.find(line);
        EXPECT_NE(first, std::string::npos) << name;
        EXPECT_EQ(text.find(line, first + 1), std::string::npos) << name;
    }
    EXPECT_EQ(text.find("'back_button'"), std::string::npos);
}

TEST_F(GameWindow, ACompletedLevelIgnoresClicksAndTheNextUpdateStartsTheNextRecord)
{
    MakeWindow();
    Window->StartGame(false, false, false, false);
    Frame(16);
    Window->SetLevelCompleted();
    EXPECT_FALSE(Click(120, 120));
    EXPECT_FALSE(Object("hall/lamp")->HasFlags(qe::CSceneObject::kHidden));
    Frame(16);
    EXPECT_FALSE(Window->IsLevelCompleted());
    EXPECT_STREQ(QuestName(), "q1");
    EXPECT_STREQ(MainScene(), "hall");
}

TEST_F(GameWindow, CompletingTheLastRecordDeletesTheSaveAndReturnsToTheMenu)
{
    MakeWindow();
    Window->StartGame(false, false, false, false);
    PlaceSave("");
    PlaceSave("b");
    Window->SetLevelCompleted();
    Frame(16);
    EXPECT_STREQ(QuestName(), "q1");
    Window->SetLevelCompleted();
    Frame(16);
    EXPECT_FALSE(SaveExists(""));
    EXPECT_TRUE(SaveExists("b"));
    game::CMainMenuWindow* menu = RootMenu();
    ASSERT_NE(menu, nullptr);
    EXPECT_TRUE(menu->GetProfilesExisted());
    EXPECT_FALSE(menu->GetOpenExtras());
}

TEST_F(GameWindow, AFailingNextLevelReportsAndReturnsToTheMenu)
{
    LoadQuests(gamewindowtest::QuestXml(2, 1));
    CScratchLogCapture log;
    MakeWindow();
    Window->StartGame(false, false, false, false);
    Window->SetLevelCompleted();
    Frame(16);
    EXPECT_TRUE(log.Contains("Error while initializing the next level."));
    EXPECT_NE(RootMenu(), nullptr);
}

TEST_F(GameWindow, ModeThreeStartsItsRecordAgain)
{
    LoadQuests(gamewindowtest::QuestXml(4));
    MakeWindow();
    Window->StartGame(false, false, false, true);
    qe::CQuest* first = Window->GetQuest();
    Window->SetLevelCompleted();
    Frame(16);
    EXPECT_FALSE(Window->IsLevelCompleted());
    EXPECT_NE(Window->GetQuest(), first);
    EXPECT_STREQ(QuestName(), "q3");
    EXPECT_EQ(Root().get(), Window.get());
}

TEST_F(GameWindow, AnUnknownQuestOrSceneLeavesTheLevelUnchanged)
{
    MakeWindow();
    Window->StartGame(false, false, false, false);
    qe::CQuest* quest = Window->GetQuest();
    const u8* record = qe::CQuestData::Instance().GetQuestRecord(1);
    EXPECT_FALSE(Window->InitLevel(record, "no_such_scene"));
    u8 unknown[qe::CQuestData::kQuestRecordSize] = {};
    std::memcpy(unknown, "nowhere", 8);
    EXPECT_FALSE(Window->InitLevel(unknown, nullptr));
    EXPECT_EQ(Window->GetQuest(), quest);
    EXPECT_STREQ(MainScene(), "hall");
    EXPECT_TRUE(Window->InitLevel(record, "room2"));
    EXPECT_STREQ(QuestName(), "q1");
    EXPECT_STREQ(MainScene(), "room2");
}

TEST_F(GameWindow, MenuButtonPausesTheGameUntilResume)
{
    MakeWindow();
    Window->StartGame(false, false, false, false);
    Frame(16);
    Press("menu_button");
    EXPECT_TRUE(Window->IsGamePaused());
    EXPECT_TRUE(Window->IsPauseMenuOpen());
    EXPECT_FALSE(lv::gui::CCursorManager::Instance().IsHidden());
    lv::gui::CBaseWindow::Ptr menu = Window->GetModalWindow();
    ASSERT_NE(dynamic_cast<game::CGameOptionsWindow*>(menu.get()), nullptr);
    const s32 countdown = Window->GetAutosaveCountdown();
    Frames(5, 100);
    EXPECT_EQ(Window->GetAutosaveCountdown(), countdown);
    menu->OnEvent("pressed", menu->FindChild(CFixedString("resume_btn"), true).get());
    EXPECT_FALSE(Window->IsGamePaused());
    EXPECT_FALSE(Window->IsPauseMenuOpen());
    Frame(100);
    EXPECT_EQ(Window->GetModalWindow(), nullptr);
    EXPECT_EQ(Window->GetAutosaveCountdown(), countdown - 100);
}

TEST_F(GameWindow, BackButtonLeavesWithoutSavingAndReturnToMenuSaves)
{
    LoadQuests(gamewindowtest::QuestXml(4));
    MakeWindow();
    Window->StartGame(false, false, false, true);
    Press("back_button");
    game::CMainMenuWindow* menu = RootMenu();
    ASSERT_NE(menu, nullptr);
    EXPECT_TRUE(menu->GetOpenExtras());
    EXPECT_EQ(Window->GetSaveRequestCount(), 0);
    EXPECT_EQ(Window->GetSaveWriteCount(), 0);

    MakeWindow();
    Window->StartGame(false, false, false, false);
    Window->ReturnToMainMenu();
    EXPECT_EQ(Window->GetSaveRequestCount(), 1);
    EXPECT_EQ(Window->GetSaveWriteCount(), 1);
    menu = RootMenu();
    ASSERT_NE(menu, nullptr);
    EXPECT_TRUE(menu->GetProfilesExisted());
    EXPECT_FALSE(menu->GetOpenExtras());
}

TEST_F(GameWindow, SkipButtonSetsTheRequestUntilCleared)
{
    MakeWindow();
    EXPECT_FALSE(Window->IsSkipRequested());
    Press("skip_btn");
    EXPECT_TRUE(Window->IsSkipRequested());
    Window->ClearSkipRequest();
    EXPECT_FALSE(Window->IsSkipRequested());
}

TEST_F(GameWindow, DeveloperKeysNeedADebugLevel)
{
    MakeWindow();
    Window->StartGame(false, false, false, false);
    const s32 before = Window->GetHud().GetHint().GetRechargeTime();
    const s32 stops = Window->GetCutscenePlayer().GetStopCount();
    EXPECT_FALSE(Window->OnKeyDown(10015, 0, 0, 0));
    EXPECT_FALSE(Window->IsCheatMode());
    EXPECT_EQ(Window->GetHud().GetHint().GetRechargeTime(), before);
    EXPECT_FALSE(Window->OnKeyDown(10010, 0, 0, 0));
    EXPECT_EQ(Window->GetCutscenePlayer().GetStopCount(), stops);
}

TEST_F(GameWindowDebug, F1TogglesCheatModeAndTheHintRechargeTime)
{
    for (u16 difficulty : {1, 2})
    {
        game::CProfileManager::Instance()->GetCurrentValues()->Difficulty = difficulty;
        MakeWindow();
        Window->StartGame(false, false, false, false);
        game::CHudHint& hint = Window->GetHud().GetHint();
        // The hint keeps the time its own way: compare with what it keeps for the expected values.
        game::CHudHint probe;
        probe.SetRechargeTime(3000);
        const s32 cheat = probe.GetRechargeTime();
        probe.SetRechargeTime(hint.GetDefaultRechargeTime() * (difficulty == 2 ? 2 : 1));
        const s32 normal = probe.GetRechargeTime();
        EXPECT_TRUE(Window->OnKeyDown(10015, 0, 0, 0));
        EXPECT_TRUE(Window->IsCheatMode());
        EXPECT_EQ(hint.GetRechargeTime(), cheat);
        EXPECT_TRUE(Window->OnKeyDown(10015, 0, 0, 0));
        EXPECT_FALSE(Window->IsCheatMode());
        EXPECT_EQ(hint.GetRechargeTime(), normal);
    }
    const s32 stops = Window->GetCutscenePlayer().GetStopCount();
    EXPECT_TRUE(Window->OnKeyDown(10010, 0, 0, 0));
    EXPECT_EQ(Window->GetCutscenePlayer().GetStopCount(), stops + 1);
    EXPECT_FALSE(Window->OnKeyDown(10016, 0, 0, 0));
}

TEST_F(GameWindow, FadedOpenChangesTheSceneAfterFourHundredMsAndEndsThreeHundredLater)
{
    MakeWindow();
    Window->StartGame(false, false, false, false);
    Frame(16);
    Window->OpenScene("room2", false, true);
    EXPECT_TRUE(Window->IsTransitionRunning());
    Frame(50);
    Frame(50); // the 100 ms wait is over: the fade-out starts
    EXPECT_STREQ(MainScene(), "hall");
    Frame(150);
    EXPECT_EQ(Window->GetFadeLevel(), 127);
    EXPECT_FALSE(Click(120, 120));
    EXPECT_FALSE(Window->OnMouseMove(CPoint2i(120, 120), 0, 0));
    EXPECT_FALSE(Window->OnMouseDoubleClick(CPoint2i(120, 120), 0, 0));
    Frame(149);
    EXPECT_STREQ(MainScene(), "hall");
    Frame(1); // 400 ms after the request
    EXPECT_STREQ(MainScene(), "room2");
    EXPECT_TRUE(Window->IsTransitionRunning());
    Frame(150);
    EXPECT_EQ(Window->GetFadeLevel(), 127);
    Frame(149);
    EXPECT_TRUE(Window->IsTransitionRunning());
    Frame(1);
    EXPECT_FALSE(Window->IsTransitionRunning());
    EXPECT_EQ(Window->GetFadeLevel(), 0);
}

TEST_F(GameWindow, WithoutFadeTheSceneOpensAtOnceAndPopHudModePops)
{
    MakeWindow();
    Window->StartGame(false, false, false, false);
    Window->OpenScene("room2", false, false);
    EXPECT_STREQ(MainScene(), "room2");
    EXPECT_FALSE(Window->IsTransitionRunning());

    Window->GetHud().PushMode(game::CHud::kModeMap);
    Window->OpenScene("hall", true, true);
    EXPECT_STREQ(MainScene(), "hall");
    EXPECT_EQ(Window->GetHud().GetMode(), game::CHud::kModeNormal);

    Window->OpenScene("no_such_scene", false, false);
    EXPECT_STREQ(MainScene(), "hall");
}

TEST_F(GameWindow, ClicksOnHudPanelsAreRefusedDuringTheTransition)
{
    MakeWindow();
    Window->StartGame(false, false, false, false);
    Frame(16);
    game::CHudInventory& inventory = Window->GetHud().GetInventory();
    const CVector2 origin = inventory.GetOrigin();
    Window->OpenScene("room2", false, true);
    Frame(16);
    const CPoint2i onPanel(static_cast<s32>(origin.X) + 5, static_cast<s32>(origin.Y) + 5);
    EXPECT_FALSE(Click(onPanel.X, onPanel.Y));
    EXPECT_FALSE(Window->OnMouseUp(onPanel, 0, 0, 0));
}

TEST_F(GameWindow, NothingUpdatesBeforeTheGameStarted)
{
    MakeWindow();
    Frames(10, 100);
    EXPECT_EQ(Window->GetAutosaveCountdown(), game::CGameWindow::kAutosaveInterval);
    EXPECT_FALSE(Window->GetLevelMusic().IsStarted());
}

TEST_F(GameWindow, AutosaveWritesEveryFifteenSecondsOfUnpausedPlay)
{
    MakeWindow();
    Window->StartGame(false, false, false, false);
    Frame(16);
    const s32 start = Window->GetSaveWriteCount();
    Frames(149, 100); // 14916 ms since the start
    EXPECT_EQ(Window->GetSaveWriteCount(), start);
    Frame(100);
    EXPECT_EQ(Window->GetSaveWriteCount(), start + 1);
    Frames(150, 100);
    EXPECT_EQ(Window->GetSaveWriteCount(), start + 2);
}

TEST_F(GameWindow, AutosaveWaitsWhileTheScriptsRunAndWritesOnTheFirstFreeFrame)
{
    MakeWindow();
    Window->StartGame(false, false, false, false);
    Frame(16);
    EXPECT_TRUE(Click(320, 120)); // the chest's block sleeps 20 s
    ASSERT_TRUE(Window->GetQuest()->IsScriptPaused());
    Frames(190, 100);
    EXPECT_TRUE(Window->GetQuest()->IsScriptPaused());
    EXPECT_EQ(Window->GetSaveWriteCount(), 0);
    EXPECT_LE(Window->GetAutosaveCountdown(), 0);
    EXPECT_EQ(lv::gui::CCursorManager::Instance().GetCursor(), 103);
    for (int i = 0; i < 30 && Window->GetQuest()->IsScriptPaused(); ++i)
        Frame(100);
    ASSERT_FALSE(Window->GetQuest()->IsScriptPaused());
    EXPECT_EQ(Window->GetSaveWriteCount(), 1);
    EXPECT_EQ(Window->GetAutosaveCountdown(), game::CGameWindow::kAutosaveInterval);
}

TEST_F(GameWindow, ClickingAnObjectRunsItsBlockAndTheQuestAsksToSave)
{
    MakeWindow();
    Window->StartGame(false, false, false, false);
    Frame(16);
    const s32 requests = Window->GetSaveRequestCount();
    EXPECT_TRUE(Click(120, 120));
    Frame(16);
    Frame(16);
    EXPECT_TRUE(Object("hall/lamp")->HasFlags(qe::CSceneObject::kHidden));
    EXPECT_GT(Window->GetSaveRequestCount(), requests);
}

TEST_F(GameWindow, AClickNobodyTakesDropsTheCursorItemAndOnlyButtonZeroCounts)
{
    MakeWindow();
    Window->StartGame(false, false, false, false);
    Frame(16);
    game::CHudCursorItem& item = Window->GetHud().GetCursorItem();
    item.TakeObject(Object("hall/lamp"), false);
    ASSERT_FALSE(item.IsEmpty());
    EXPECT_FALSE(Click(700, 300, 1));
    EXPECT_FALSE(item.IsEmpty());
    EXPECT_FALSE(Click(700, 300));
    EXPECT_TRUE(item.IsEmpty());
}

TEST_F(GameWindow, WithPausedScriptsAClickGoesStraightToTheRelease)
{
    MakeWindow();
    Window->StartGame(false, false, false, false);
    Frame(16);
    EXPECT_TRUE(Click(320, 120)); // the chest's block sleeps 20 s
    ASSERT_TRUE(Window->GetQuest()->IsScriptPaused());
    game::CHudCursorItem& item = Window->GetHud().GetCursorItem();
    item.TakeObject(Object("hall/lamp"), false);
    EXPECT_FALSE(Click(120, 120));
    EXPECT_TRUE(item.IsEmpty());
    EXPECT_FALSE(Object("hall/lamp")->HasFlags(qe::CSceneObject::kHidden));
}

TEST_F(GameWindow, WithAnOpenItemTheCloseAreaLightsUnderThePointer)
{
    MakeWindow();
    Window->StartGame(false, false, false, false);
    Frame(16);
    Window->GetHud().GetInventory().SetModeValue(3);
    qe::CSceneObject* over = Object("hall/close_over");
    qe::CSceneObject* normal = Object("hall/close_normal");
    // The pair must be images for the close road: these areas stand outside it.
    lv::gui::CCursorManager::Instance().SetMousePosition(CPoint2i(1220, 70));
    Window->OnMouseMove(CPoint2i(1220, 70), 0, 0);
    EXPECT_FALSE(over->HasFlags(qe::CSceneObject::kHidden));
    EXPECT_FALSE(normal->HasFlags(qe::CSceneObject::kHidden));
}

TEST_F(GameWindow, ASyncedAnimationRestartsItsSoundEachPeriodOfUnpausedPlay)
{
    DeclareSounds(R"(<sound id="tick" file="tick.ogg"/>)", {"tick.ogg"});
    MakeWindow();
    Window->StartGame(false, false, false, false);
    Window->AddSyncedAnimation("tick", nullptr, 1000);
    Frames(9, 100);
    EXPECT_EQ(Pool.m_Takes, 0);
    Frame(100);
    EXPECT_EQ(Pool.m_Takes, 1);
    Frames(10, 100);
    EXPECT_EQ(Pool.m_Takes, 2);
    ASSERT_EQ(Pool.m_Voices.size(), 2u);
    EXPECT_TRUE(Pool.m_Voices[0]->IsStopped()); // stopped before the second played
    EXPECT_FALSE(Pool.m_Voices[1]->IsStopped());

    Press("menu_button");
    Frames(20, 100);
    EXPECT_EQ(Pool.m_Takes, 2);
    lv::gui::CBaseWindow::Ptr menu = Window->GetModalWindow();
    menu->OnEvent("pressed", menu->FindChild(CFixedString("resume_btn"), true).get());

    Window->PauseSyncedSounds();
    Frames(20, 100);
    EXPECT_EQ(Pool.m_Takes, 2);
    Window->ResumeSyncedSounds();
    Frames(10, 100);
    EXPECT_EQ(Pool.m_Takes, 3);

    Window->StopSyncedAnimations();
    EXPECT_EQ(Window->GetSyncedAnimationCount(), 0u);
    Audio.Update();
    for (const auto& voice : Pool.m_Voices)
        EXPECT_TRUE(voice->IsStopped());
    Frames(20, 100);
    EXPECT_EQ(Pool.m_Takes, 3);
}

TEST_F(GameWindow, ASyncedAnimationWithoutLengthPlaysItsSoundOnce)
{
    DeclareSounds(R"(<sound id="tick" file="tick.ogg"/>)", {"tick.ogg"});
    MakeWindow();
    Window->StartGame(false, false, false, false);
    Window->AddSyncedAnimation("tick", nullptr, 0);
    Window->AddSyncedAnimation("tick", nullptr, -5);
    Frames(30, 16);
    EXPECT_EQ(Pool.m_Takes, 2);
}

TEST_F(GameWindowInGame, QuittingWritesTheSaveOfTheGameWindowAtTheRoot)
{
    MakeWindow();
    Window->StartGame(false, false, false, false);
    Application->OnQuit();
    EXPECT_EQ(Window->GetSaveWriteCount(), 1);
    // Not at the root: nothing of it is written.
    SetRoot(new game::CMainMenuWindow(true, false, false, false));
    Application->OnQuit();
    EXPECT_EQ(Window->GetSaveWriteCount(), 1);
}

} // namespace
