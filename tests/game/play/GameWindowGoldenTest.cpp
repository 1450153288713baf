// The game window in the game application on the built demo content: the main menu's play
// button, the hall drawn through the real OpenGL layer and the hall's road (key, chest, door)
// played from a recorded input script, compared with
// tests/game/play/golden/*.png (GAME_UPDATE_GOLDEN=1 writes the references instead).
#include "game/play/GameDemoTestSupport.h"

#include "core/Log.h"
#include "core/TimeSystem.h"
#include "game/frontend/MainMenuWindow.h"
#include "game/hud/Hud.h"
#include "game/play/SceneStack.h"
#include "game/play/GameApplication.h"
#include "game/play/BackgroundSounds.h"
#include "game/play/GameWindow.h"
#include "game/play/Hog.h"
#include "game/play/HogItemList.h"
#include "game/play/MinigameManager.h"
#include "game/play/LevelMusic.h"
#include "graphics/Renderer.h"
#include "gui/InputDispatcher.h"
#include "gui/InputReplayer.h"
#include "content/ReplayScript.h"
#include "core/InputRecord.h"
#include "core/TextConvert.h"
#include "platform/SystemInfo.h"
#include "qe/Quest.h"
#include "qe/Scene.h"
#include "qe/SceneObject.h"
#include "qe/SceneView.h"
#include "qe/BlockBase.h"
#include "qe/ScriptSet.h"
#include "support/GoldenImage.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <thread>

namespace {

using GameWindowDemo = gamedemotest::GameDemoFixture;
using gamedemotest::g_Now;

TEST_F(GameWindowDemo, PlayButtonMakesTheGameWindowTheRootAtTheNextFrame)
{
    lv::gui::CInputDispatcher& dispatcher = m_Application->GetInputDispatcher();
    dispatcher.Update();
    const lv::gui::CBaseWindow::Ptr menu = dispatcher.GetRoot();
    ASSERT_NE(dynamic_cast<game::CMainMenuWindow*>(menu.get()), nullptr);
    const lv::gui::CBaseWidget::Ptr play = menu->FindChild(CFixedString("play_button"), true);
    ASSERT_TRUE(play);
    menu->OnEvent("pressed", play.get());
    EXPECT_EQ(dispatcher.GetRoot(), menu);
    dispatcher.Update();
    m_Window = dynamic_cast<game::CGameWindow*>(dispatcher.GetRoot().get());
    ASSERT_TRUE(m_Window);
    EXPECT_EQ(m_Window->GetGameMode(), 0);
    ASSERT_NE(m_Window->GetQuest(), nullptr);
    EXPECT_STREQ(m_Window->GetQuest()->GetName().GetText(), "demo");
    EXPECT_STREQ(m_Window->GetSceneStack().GetMainView()->GetScene()->GetName().GetText(), "hall");
    EXPECT_EQ(m_Window->GetSaveImage().GetCapacity(), m_Window->GetSaveImageSize());
}

TEST_F(GameWindowDemo, TheHallOnTheDesignLayout)
{
    StartHall();
    Compare("hall_1366");
}

TEST_F(GameWindowDemo, TheHallOnANarrowFullScreenLayout)
{
    StartHall();
    // A 1024-wide full screen narrows the design picture: the scene stays centred and the HUD
    // follows the new width.
    m_Application->OnScreenModeChanged(true, false, 1024, 768);
    ASSERT_EQ(m_Application->GetRenderer().GetSourceSize().X, 1024);
    EXPECT_EQ(m_Window->GetHud().GetInventory().GetBasePosition().X, 512.0f);
    Frame(16);
    Compare("hall_1024", true);
}

TEST_F(GameWindowDemo, AFadeOutZoomsAboutTheLastClick)
{
    StartHall();
    m_Window->OnMouseDown(CPoint2i(400, 300), 0, 0, 0);
    m_Window->OpenScene("room2", false, true);
    Frame(100);
    Frame(150);
    ASSERT_EQ(m_Window->GetFadeLevel(), 127);
    Compare("hall_fade_150ms");
}

TEST_F(GameWindowDemo, TheDemoLevelHasItsAmbientSoundAndMusic)
{
    StartHall();
    const game::CBackgroundSounds& ambient = m_Window->GetBackgroundSounds();
    ASSERT_EQ(ambient.GetSoundCount(), 1);
    EXPECT_TRUE(ambient.IsActive("hall_ambience"));
    const game::CLevelMusic& music = m_Window->GetLevelMusic();
    ASSERT_EQ(music.GetTrackCount(), 1);
    EXPECT_STREQ(music.GetTrackName(0).GetText(), "demo_music");
}

TEST_F(GameWindowDemo, ACutscenePartCoversTheScreenWithItsSubtitlesAndTheSkipButton)
{
    StartHall();
    // As "cut_scene" starts it: the menu buttons go with the cutscene.
    m_Window->PlayCutscene("intro");
    m_Window->SetMenuButtonsHidden(true);
    ASSERT_TRUE(m_Window->IsCutscenePlaying());
    Frame(16);
    Compare("cutscene_intro");
    // Drawn, the skip button is hidden again until the next draw of a skippable part.
    const lv::gui::CBaseWidget::Ptr skip = m_Window->FindChild(CFixedString("skip_btn"), true);
    ASSERT_TRUE(skip);
    EXPECT_EQ(skip->GetFlags() & 3u, 3u);
}

// The hall's road played from a recording, as the replayer plays the "replay" file: every record
// goes through the application's input dispatcher while the frames run. The pointer moves to
// each place and rests there (the inventory opens under it at the bottom edge), then clicks.
const char kHallRoadScript[] = R"(# the chest with an empty cursor
at 0 move 350 470
at 960 click 350 470
at 1920 checkpoint chest_untouched
# the key into the inventory
at 1920 move 720 560
at 2880 click 720 560
at 3840 checkpoint key_taken
# the panel opens under the pointer at the bottom edge; its first cell gives the key
at 3840 move 683 760
at 5760 move 483 723
at 6720 click 483 723
at 7680 checkpoint key_on_cursor
# the chest opens with the key
at 7680 move 350 470
at 8640 click 350 470
at 9600 checkpoint chest_open
# the door
at 9600 move 1080 385
at 9700 click 1080 385
at 9740 checkpoint fading
at 11000 checkpoint hog_room
)";

TEST_F(GameWindowDemo, TheHallsRoadFromTheKeyThroughTheChestToTheDoorPlayedFromARecording)
{
    lv::content::SReplayScript script;
    std::string error;
    ASSERT_TRUE(lv::content::CompileReplayScript(kHallRoadScript, script, error)) << error;
    m_Folder.Write("replay", lv::core::WriteInputRecording(script.records));
    lv::gui::CInputReplayer& replayer = lv::gui::CInputReplayer::Instance();
    ASSERT_TRUE(replayer.Load(Utf8ToWide(m_Folder / "replay").c_str()));
    ASSERT_EQ(replayer.GetRecordCount(), script.records.size());

    StartHall();
    qe::CQuest* quest = m_Window->GetQuest();
    qe::CSceneObject* key = quest->FindObjectByPath("hall/key");
    qe::CSceneObject* closed = quest->FindObjectByPath("hall/chest_closed");
    qe::CSceneObject* open = quest->FindObjectByPath("hall/chest_open");
    ASSERT_TRUE(key && closed && open);
    EXPECT_TRUE(open->HasFlags(qe::CSceneObject::kHidden));
    game::CHudInventory& inventory = m_Window->GetHud().GetInventory();
    game::CHudCursorItem& cursor = m_Window->GetHud().GetCursorItem();
    const auto blockFlags = [quest](const char* name) {
        return quest->FindScene("hall")->GetScriptSet()->FindBlock(name)->GetFlags();
    };
    const auto sceneName = [this] {
        return std::string(m_Window->GetSceneStack().GetMainView()->GetScene()->GetName().GetText());
    };
    m_Window->GetHud().GetMap().AddLocation("hog_room", 0);

    // Playback follows the test clock; each frame the replayer hands the due records to the
    // dispatcher before the window updates, as the application's frame does.
    replayer.Start();
    const double start = g_Now;
    const auto playUntil = [&](const char* checkpoint) {
        u32 time = 0;
        for (const lv::content::SReplayCheckpoint& c : script.checkpoints)
            if (c.name == checkpoint)
                time = c.time;
        while (g_Now - start <= time)
            ReplayFrame();
    };

    // The chest with an empty cursor changes nothing.
    playUntil("chest_untouched");
    EXPECT_FALSE(closed->HasFlags(qe::CSceneObject::kHidden));
    EXPECT_TRUE(open->HasFlags(qe::CSceneObject::kHidden));
    EXPECT_EQ(blockFlags("open_chest"), 0);

    playUntil("key_taken");
    EXPECT_TRUE(key->HasFlags(qe::CSceneObject::kHidden));
    ASSERT_EQ(inventory.GetItemCount(), 1u);
    EXPECT_EQ(inventory.GetObjectAt(0), key);
    EXPECT_EQ(blockFlags("take_key"), 1);

    playUntil("key_on_cursor");
    ASSERT_EQ(inventory.GetState(), game::CHudInventory::kOpen);
    // The script's cell is the panel's first one on the design layout.
    EXPECT_EQ(CPoint2i(483, 723), CPoint2i(static_cast<s32>(inventory.GetOrigin().X) - 200,
                                           static_cast<s32>(inventory.GetOrigin().Y) + 20));
    EXPECT_EQ(cursor.GetObject(), key);

    playUntil("chest_open");
    EXPECT_EQ(inventory.GetItemCount(), 0u);
    EXPECT_TRUE(cursor.IsEmpty());
    EXPECT_TRUE(closed->HasFlags(qe::CSceneObject::kHidden));
    EXPECT_FALSE(open->HasFlags(qe::CSceneObject::kHidden));
    EXPECT_EQ(blockFlags("take_key"), 1);
    EXPECT_EQ(blockFlags("open_chest"), 1);
    Compare("hall_chest_open");

    playUntil("fading");
    EXPECT_TRUE(m_Window->IsTransitionRunning());
    EXPECT_EQ(sceneName(), "hall");
    playUntil("hog_room");
    EXPECT_FALSE(replayer.IsPlaying());
    EXPECT_EQ(sceneName(), "hog_room");
    const game::CHudMap::CLocation* location = m_Window->GetHud().GetMap().FindLocation("hog_room");
    ASSERT_NE(location, nullptr);
    EXPECT_TRUE(location->Visited);
}

// The demo's search: the room with its clutter, the panel and its list, the cup taken by a click
// and its row struck through once the flight is over.
TEST_F(GameWindowDemo, TheHiddenObjectRoundWithOneRowStruck)
{
    StartHall();
    m_Window->OpenScene("hog_room", false, true);
    for (int i = 0; i < 60; ++i)
        Frame(16);
    ASSERT_STREQ(m_Window->GetSceneStack().GetMainView()->GetScene()->GetName().GetText(), "hog_room");
    ASSERT_EQ(m_Window->GetHud().GetMode(), game::CHud::kModeHog);
    game::CHog* hog = game::CHog::GetInstance();
    ASSERT_NE(hog, nullptr);
    ASSERT_EQ(hog->GetItemList().GetTotal(), 3);
    EXPECT_TRUE(m_Window->OnMouseDown(CPoint2i(470, 440), 0, 0, 0));
    EXPECT_TRUE(hog->GetItemList().GetEntry(0).Found);
    for (int i = 0; i < 90; ++i)
        Frame(16);
    // Clips run on the process clock: past the strikethrough's fade-in, it holds its line.
    std::this_thread::sleep_for(std::chrono::milliseconds(400));
    lv::core::CTimeSystem::Instance().Tick();
    Frame(16);
    EXPECT_TRUE(m_Window->GetQuest()->FindObjectByPath("hog_room/hog1_cup")->HasFlags(qe::CSceneObject::kRemoved));
    Compare("hog_room_one_struck");
}

} // namespace
