// The demo played end to end, as a player would: the built program's content in a program folder
// of its own, the game application on the real OpenGL layer (offscreen) and the null sound
// device, Ctrl+Alt+P sent through the window system so the application plays the compiled
// "replay" beside the program (demo/e2e/play.txt), and every frame updated and drawn at a fixed
// 16 ms on a test clock. At each of the script's checkpoints the frame is compared with
// tests/game/play/golden/e2e_*.png (GAME_UPDATE_GOLDEN=1 writes them) and the game's state is
// checked. Then the game is quit and a new application in the same folders continues the save.
#include "core/TempFolder.h"

#include "content/ReplayScript.h"
#include "core/FrameLimiter.h"
#include "core/InputRecord.h"
#include "core/Log.h"
#include "core/Random.h"
#include "core/TextConvert.h"
#include "qe/ByteBuffer.h"
#include "core/TimeSource.h"
#include "core/TimeSystem.h"
#include "game/frontend/MainMenuWindow.h"
#include "game/frontend/ProfileManager.h"
#include "game/hud/Hud.h"
#include "game/hud/HudCursorItem.h"
#include "game/hud/HudInventory.h"
#include "game/play/GameApplication.h"
#include "game/play/GameWindow.h"
#include "game/play/Hog.h"
#include "game/play/HogItemList.h"
#include "game/hud/HudMessagePopup.h"
#include "game/play/SceneStack.h"
#include "graphics/Renderer.h"
#include "gui/CursorManager.h"
#include "gui/InputDispatcher.h"
#include "gui/InputReplayer.h"
#include "platform/SyntheticInput.h"
#include "platform/SystemInfo.h"
#include "platform/Win32Window.h"
#include "qe/BlockBase.h"
#include "qe/Quest.h"
#include "qe/Scene.h"
#include "qe/SceneObject.h"
#include "qe/SceneView.h"
#include "qe/ScriptSet.h"
#include "support/GoldenImage.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

namespace {

constexpr u32 kSeed = 20260;
constexpr s32 kFrameMs = 16;

// The test clock every clock of the process reads: the time system's, the replayer's.
double g_Now = 1000.0;

std::string ReadFile(const std::filesystem::path& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// What a checkpoint checks besides the frame: HUD mode, the top view's scene, inventory and
// cursor, the flags of every object that has any and every block's flags byte.
std::string DescribeGame(game::CGameWindow& window)
{
    std::ostringstream out;
    game::CHud& hud = window.GetHud();
    qe::CSceneView* top = window.GetSceneStack().GetTopView();
    out << "hud " << hud.GetMode() << " top " << (top && top->GetScene() ? top->GetScene()->GetName().GetText() : "-");
    out << " inventory [";
    game::CHudInventory& inventory = hud.GetInventory();
    for (u32 i = 0; i < inventory.GetItemCount(); ++i)
        out << (i ? " " : "") << inventory.GetObjectAt(i)->GetNameCStr();
    out << "] cursor " << (hud.GetCursorItem().IsEmpty() ? "-" : hud.GetCursorItem().GetObject()->GetNameCStr());
    qe::CQuest* quest = window.GetQuest();
    for (s32 s = 0; quest && s < quest->GetSceneCount(); ++s) {
        qe::CScene* scene = quest->GetScene(s);
        out << "\n" << scene->GetName().GetText() << ":";
        for (qe::CSceneObject* object : scene->GetObjects())
            if (object->GetFlags() != 0)
                out << " " << object->GetNameCStr() << "=" << object->GetFlags();
        out << " |";
        if (qe::scripts::CScriptSet* set = scene->GetScriptSet())
            for (u32 b = 0; b < set->GetBlockCount(); ++b)
                out << " " << set->GetBlock(b)->GetId() << "=" << static_cast<s32>(set->GetBlock(b)->GetFlags());
    }
    return out.str();
}

class DemoEndToEnd : public testing::Test
{
protected:
    void SetUp() override
    {
        m_SavedDirectory = std::filesystem::current_path();
        const std::filesystem::path built = GAME_PROGRAM_FOLDER;
        if (!std::filesystem::exists(built / "game.pack") || !std::filesystem::exists(built / "replay"))
            GTEST_SKIP() << "no built demo content and replay in " << built;
        // The program folder: a copy of the built program's content.
        std::filesystem::create_directories(m_Folder.Path() / "program");
        for (const char* name : {"game.pack", "game.xml", "replay"})
            std::filesystem::copy_file(built / name, m_Folder.Path() / "program" / name);
        lv::platform::SetEnvironmentValue("XDG_DATA_HOME", (m_Folder.Path() / "data").c_str());
        std::filesystem::create_directories(m_Folder.Path() / "runtime");
        lv::platform::SetEnvironmentValue("XDG_RUNTIME_DIR", (m_Folder.Path() / "runtime").c_str());
        std::filesystem::current_path(m_Folder.Path() / "program");

        // Every clock on the test clock: the process's time system must be made now.
        lv::core::CTimeSource::SetProcessClock([] { return g_Now; });
        lv::core::CTimeSystem& time = lv::core::CTimeSystem::Instance();
        const double before = time.GetRawTimeMs();
        g_Now += 5.0;
        if (time.GetRawTimeMs() - before != 5.0)
            GTEST_SKIP() << "the process's time system runs on another clock: run this test in a process of its own";
        lv::gui::CInputReplayer::Instance().SetClock([] { return static_cast<float>(g_Now); });

        // The script's checkpoints, and the compiled file beside the program is this script.
        const std::string text = ReadFile(std::filesystem::path(GAME_SOURCE_FOLDER) / "demo/e2e/play.txt");
        std::string error;
        ASSERT_TRUE(lv::content::CompileReplayScript(text, m_Script, error)) << error;
        ASSERT_EQ(ReadFile("replay"), lv::core::WriteInputRecording(m_Script.records))
            << "the built replay is not the compiled demo/e2e/play.txt";
    }
    void TearDown() override
    {
        m_Application.reset();
        game::CProfileManager::DestroyInstance();
        lv::core::CLog::Instance().Close();
        lv::gui::CInputReplayer::Instance().Stop();
        lv::gui::CInputReplayer::Instance().SetClock(nullptr);
        lv::core::CTimeSource::SetProcessClock({});
        std::filesystem::current_path(m_SavedDirectory);
    }

    void StartApplication()
    {
        m_Application = std::make_unique<game::CGameApplication>();
        ASSERT_TRUE(m_Application->Init());
        SeedRandom(kSeed);
        std::srand(kSeed);
        // Frames follow the test clock, not the wall clock.
        lv::core::CFrameLimiter::Instance().SetLimit(0);
        Frame();
    }
    // Shuts the application down as the window system's quit does: the quit saves, then the
    // framework shuts down.
    void QuitApplication()
    {
        lv::platform::SSyntheticEvent quit;
        quit.Type = lv::platform::ESyntheticEvent::Quit;
        ASSERT_TRUE(lv::platform::PushSyntheticEvent(quit));
        PumpMessages();
        m_Application->Shutdown();
        m_Application.reset();
        game::CProfileManager::DestroyInstance();
    }

    void Send(lv::platform::ESyntheticEvent type, const char* key)
    {
        lv::platform::SSyntheticEvent event;
        event.Type = type;
        event.Key = key;
        HWND window = m_Application->GetSystemIntegration()->GetWindowHandle();
        ASSERT_TRUE(lv::platform::PushSyntheticEvent(event, lv::platform::GetSdlWindowId(window)));
    }
    // Ctrl+Alt+P as the keyboard sends it: the application loads "replay" and plays it from the
    // next frame.
    void PressCtrlAltP()
    {
        using lv::platform::ESyntheticEvent;
        Send(ESyntheticEvent::KeyDown, "Left Ctrl");
        Send(ESyntheticEvent::KeyDown, "Left Alt");
        Send(ESyntheticEvent::KeyDown, "P");
        Send(ESyntheticEvent::KeyUp, "P");
        Send(ESyntheticEvent::KeyUp, "Left Alt");
        Send(ESyntheticEvent::KeyUp, "Left Ctrl");
        m_PlaybackStart = g_Now + kFrameMs;
        Frame();
    }
    void PumpMessages()
    {
        lv::platform::MSG msg;
        while (lv::platform::PeekMessageW(&msg, nullptr, 0, 0, 1)) {
            lv::platform::TranslateMessage(&msg);
            lv::platform::DispatchMessageW(&msg);
        }
    }

    // One frame: the window system's messages, the update, the drawing; the picture is read
    // back when asked.
    void Frame(std::vector<u32>* picture = nullptr)
    {
        g_Now += kFrameMs;
        PumpMessages();
        m_Application->UpdateFrame();
        lv::graphics::CRenderer& renderer = m_Application->GetRenderer();
        ASSERT_TRUE(renderer.BeginFrame());
        renderer.Clear(CColor(0xFF000000u));
        // As the application's own frame draws, without the replay's play indicator.
        m_Application->Draw(renderer);
        if (m_Application->IsActive())
            lv::gui::CCursorManager::Instance().Draw(renderer);
        m_Application->DrawLetterboxBars();
        renderer.Flush();
        if (picture) {
            u32* read = nullptr;
            ASSERT_TRUE(renderer.ReadPixels(read, m_Width, m_Height, CIntRect()));
            picture->assign(read, read + m_Width * m_Height);
            std::free(read);
        }
        renderer.EndFrame();
    }
    void Frames(s32 count)
    {
        for (s32 i = 0; i < count; ++i)
            Frame();
    }
    // Runs frames until the checkpoint's time has passed on the playback clock, drawing its
    // frame into picture.
    void PlayUntil(const std::string& checkpoint, std::vector<u32>& picture)
    {
        const lv::content::SReplayCheckpoint* found = nullptr;
        for (const auto& c : m_Script.checkpoints)
            if (c.name == checkpoint)
                found = &c;
        ASSERT_NE(found, nullptr) << checkpoint;
        while (g_Now + kFrameMs - m_PlaybackStart <= found->time)
            Frame();
        Frame(&picture);
    }

    game::CGameWindow* GameWindow()
    {
        return dynamic_cast<game::CGameWindow*>(m_Application->GetRootWidget().get());
    }
    std::string Describe()
    {
        if (game::CGameWindow* window = GameWindow())
            return DescribeGame(*window);
        if (dynamic_cast<game::CMainMenuWindow*>(m_Application->GetRootWidget().get()))
            return "main menu";
        return "other";
    }
    void ExpectFrame(const std::string& name, const std::vector<u32>& picture)
    {
        testsupport::ExpectGoldenImage(testsupport::GoldenFolder(__FILE__), "e2e_" + name, m_Width, m_Height, picture);
    }

    CTempFolder m_Folder;
    lv::content::SReplayScript m_Script;
    std::string m_Error;
    std::unique_ptr<game::CGameApplication> m_Application;
    double m_PlaybackStart = 0.0;
    u32 m_Width = 0;
    u32 m_Height = 0;

private:
    std::filesystem::path m_SavedDirectory;
};

// The state each checkpoint expects (see DescribeGame).
std::string Expected(const std::string& hud, const std::string& hall, const std::string& hog)
{
    return hud + "\nhall:" + hall + "\nroom2: |\nhog_room:" + hog + "\nlamp_closeup: |";
}

const std::map<std::string, std::string>& ExpectedStates()
{
    const std::string start = " chest_open=2 | take_key=0 open_chest=0 door_to_hog_room=4 look_at_lamp=4";
    const std::string taken = " key=2 chest_open=2 | take_key=1 open_chest=0 door_to_hog_room=4 look_at_lamp=4";
    const std::string opened = " key=2 chest_closed=2 | take_key=1 open_chest=1 door_to_hog_room=4 look_at_lamp=4";
    const std::string searching = " | hog_room_search=0";
    const std::string found = " hog1_cup=4 hog1_book=4 hog1_lamp=4 | hog_room_search=0";
    const std::string done = " hog1_cup=4 hog1_book=4 hog1_lamp=4 | hog_room_search=5";
    const std::string hall = "hud 1 top hall inventory [] cursor -";
    const std::string search = "hud 3 top hog_room inventory [] cursor -";
    static const std::map<std::string, std::string> states = {
        {"main_menu", "main menu"},
        {"hall", Expected(hall, start, searching)},
        {"key_taken", Expected("hud 1 top hall inventory [key] cursor -", taken, searching)},
        {"key_on_cursor", Expected("hud 1 top hall inventory [key] cursor key", taken, searching)},
        {"chest_open", Expected(hall, opened, searching)},
        {"hog_room", Expected(search, opened, searching)},
        {"items_found", Expected(search, opened, found)},
        {"completion_hover", Expected(search, opened, found)},
        {"back_in_hall", Expected(hall, opened, done)},
        {"hall_before_menu", Expected(hall, opened, done)},
        {"pause_menu", Expected(hall, opened, done)},
        {"main_menu_again", "main menu"},
        {"hall_reloaded", Expected(hall, opened, done)},
    };
    return states;
}

// The quest section of a save image: Q bytes after the 212-byte header, Q at offset 192.
std::string QuestSection(const std::string& image)
{
    if (image.size() < 216)
        return {};
    s32 q = 0;
    for (int i = 3; i >= 0; --i)
        q = (q << 8) | static_cast<u8>(image[192 + i]);
    if (q < 0 || image.size() < 216 + static_cast<size_t>(q))
        return {};
    return image.substr(212, static_cast<size_t>(q));
}

std::string SaveFilePath()
{
    game::CProfileManager* profiles = game::CProfileManager::Instance();
    WChar buffer[game::CProfileManager::kPathCapacity];
    if (!profiles || !profiles->GetSaveFilePath(profiles->GetCurrentProfile(), buffer, game::CProfileManager::kPathCapacity))
        return {};
    return WideToUtf8(buffer);
}

TEST_F(DemoEndToEnd, TheReplayPlaysTheDemoFromTheMenuThroughTheSearchAndTheSaveContinuesIt)
{
    StartApplication();
    ASSERT_NE(dynamic_cast<game::CMainMenuWindow*>(m_Application->GetRootWidget().get()), nullptr);
    PressCtrlAltP();
    lv::gui::CInputReplayer& replayer = lv::gui::CInputReplayer::Instance();
    ASSERT_TRUE(replayer.IsPlaying());
    ASSERT_EQ(replayer.GetRecordCount(), m_Script.records.size());

    std::vector<u32> picture, beforeMenu;
    std::string savedQuest;
    for (const lv::content::SReplayCheckpoint& checkpoint : m_Script.checkpoints) {
        SCOPED_TRACE(checkpoint.name);
        PlayUntil(checkpoint.name, picture);
        const auto expected = ExpectedStates().find(checkpoint.name);
        ASSERT_NE(expected, ExpectedStates().end()) << "a checkpoint the test does not know";
        EXPECT_EQ(Describe(), expected->second);
        // The reloaded hall is the hall before leaving: one reference for both.
        ExpectFrame(checkpoint.name == "hall_reloaded" ? "hall_before_menu" : checkpoint.name, picture);
        if (checkpoint.name == "back_in_hall") {
            // The round without a miss: the achievement popup shows over the hall here (it is in
            // this frame) and is gone by the next checkpoint.
            EXPECT_TRUE(GameWindow()->IsAchievementPopupShown());
        } else if (checkpoint.name == "hall_before_menu") {
            EXPECT_FALSE(GameWindow()->IsAchievementPopupShown());
            beforeMenu = picture;
        } else if (checkpoint.name == "main_menu_again") {
            // Leaving for the main menu wrote the game.
            savedQuest = QuestSection(ReadFile(SaveFilePath()));
            EXPECT_FALSE(savedQuest.empty());
        } else if (checkpoint.name == "hall_reloaded") {
            // The saved game goes on as it was left: the same picture, a quest section that saves
            // to the file's bytes, and nothing runs again.
            EXPECT_TRUE(picture == beforeMenu) << "the reloaded hall differs from the hall before leaving";
            game::CGameWindow* window = GameWindow();
            ASSERT_NE(window, nullptr);
            EXPECT_STREQ(window->GetSavedSceneName().GetText(), "hall");
            ASSERT_TRUE(window->SaveState());
            const qe::CByteBuffer& image = window->GetSaveImage();
            EXPECT_TRUE(QuestSection(std::string(reinterpret_cast<const char*>(image.GetData()),
                                                 static_cast<size_t>(image.GetCapacity()))) == savedQuest);
        }
    }
    EXPECT_FALSE(replayer.IsPlaying());
    // Time goes on and no block runs again.
    Frames(120);
    EXPECT_EQ(Describe(), ExpectedStates().at("hall_reloaded"));

    // The quit writes the save, then the profiles; a new application in the same folders plays
    // the saved game on from the main menu's play button, pressed by a recording of its own.
    const std::filesystem::path save = SaveFilePath();
    const std::filesystem::path settings = save.parent_path() / "settings.xml";
    std::filesystem::remove(save);
    std::filesystem::remove(settings);
    QuitApplication();
    ASSERT_TRUE(std::filesystem::exists(save));
    ASSERT_TRUE(std::filesystem::exists(settings));
    EXPECT_LE(std::filesystem::last_write_time(save), std::filesystem::last_write_time(settings));
    EXPECT_TRUE(QuestSection(ReadFile(save)) == savedQuest);

    StartApplication();
    ASSERT_NE(dynamic_cast<game::CMainMenuWindow*>(m_Application->GetRootWidget().get()), nullptr);
    ASSERT_TRUE(lv::content::CompileReplayScript("at 100 move 683 340\nat 500 click 683 340\nat 1000 move 200 640\n"
                                                 "at 3000 checkpoint hall_restarted\n",
                                                 m_Script, m_Error))
        << m_Error;
    std::ofstream("replay", std::ios::binary | std::ios::trunc) << lv::core::WriteInputRecording(m_Script.records);
    PressCtrlAltP();
    PlayUntil("hall_restarted", picture);
    EXPECT_EQ(Describe(), ExpectedStates().at("hall_reloaded"));
    EXPECT_TRUE(picture == beforeMenu) << "the restarted game's hall differs from the hall before leaving";
    ExpectFrame("hall_before_menu", picture);
}

} // namespace
