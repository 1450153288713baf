// The lamp's close-up on the built demo content, played by a recorded input script through the
// input replayer and the application's dispatcher into the game window, drawn through the real
// OpenGL layer and compared with tests/game/play/golden/*.png (GAME_UPDATE_GOLDEN=1 writes the
// references instead).
#include "core/TempFolder.h"

#include "content/ReplayScript.h"
#include "core/InputRecord.h"
#include "core/Log.h"
#include "core/TextConvert.h"
#include "core/TimeSystem.h"
#include "game/hud/Hud.h"
#include "game/play/GameApplication.h"
#include "game/play/GameWindow.h"
#include "game/play/MinisceneView.h"
#include "game/play/SceneStack.h"
#include "graphics/Renderer.h"
#include "gui/InputDispatcher.h"
#include "gui/InputReplayer.h"
#include "platform/SystemInfo.h"
#include "qe/Scene.h"
#include "qe/SceneView.h"
#include "support/GoldenImage.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>

namespace {

// The one clock of the game window, the HUD and the replayer (milliseconds).
double g_Now = 0.0;
float ReplayNow()
{
    return static_cast<float>(g_Now);
}

class MinisceneReplay : public testing::Test
{
protected:
    void SetUp() override
    {
        m_SavedDirectory = std::filesystem::current_path();
        const std::filesystem::path program = GAME_PROGRAM_FOLDER;
        if (!std::filesystem::exists(program / "game.pack"))
            GTEST_SKIP() << "no built demo content in " << program;
        // A user folder and a single-instance lock of its own, so tests may run side by side.
        lv::platform::SetEnvironmentValue("XDG_DATA_HOME", (m_Folder.Path() / "data").c_str());
        std::filesystem::create_directories(m_Folder.Path() / "runtime");
        lv::platform::SetEnvironmentValue("XDG_RUNTIME_DIR", (m_Folder.Path() / "runtime").c_str());
        std::filesystem::current_path(program);
        g_Now = 0.0;
        game::CGameWindow::SetClock(&m_Clock);
        game::CHud::SetClock(&m_Clock);
        lv::gui::CInputReplayer::Instance().SetClock(&ReplayNow);
        m_Application = std::make_unique<game::CGameApplication>();
        ASSERT_TRUE(m_Application->Init());
        m_Clock.Tick();

        m_Window.reset(new game::CGameWindow());
        ASSERT_TRUE(m_Window->StartGame(false, false, false, false));
        m_Application->SetRootWidget(m_Window);
        m_Application->GetInputDispatcher().Update();
        Frame();
    }
    void TearDown() override
    {
        lv::gui::CInputReplayer::Instance().Stop();
        lv::gui::CInputReplayer::Instance().SetClock(nullptr);
        m_Window.reset();
        m_Application.reset();
        lv::core::CLog::Instance().Close();
        game::CGameWindow::SetClock(nullptr);
        game::CHud::SetClock(nullptr);
        std::filesystem::current_path(m_SavedDirectory);
    }

    // One frame as the application runs it: the replayer, the dispatcher, then the game.
    void Frame()
    {
        g_Now += 16;
        lv::gui::CInputDispatcher& dispatcher = m_Application->GetInputDispatcher();
        lv::gui::CInputReplayer::Instance().Step(dispatcher);
        dispatcher.Update();
        m_Clock.Tick();
        m_Window->Update();
    }

    // Compiles the script into a recording file and starts playing it.
    void StartReplay(const std::string& script)
    {
        lv::content::SReplayScript compiled;
        std::string error;
        ASSERT_TRUE(lv::content::CompileReplayScript(script, compiled, error)) << error;
        m_Checkpoints = compiled.checkpoints;
        m_Folder.Write("replay", lv::core::WriteInputRecording(compiled.records));
        auto& replayer = lv::gui::CInputReplayer::Instance();
        ASSERT_TRUE(replayer.Load(Utf8ToWide(m_Folder / "replay").c_str()));
        replayer.Start();
        m_ReplayStart = g_Now;
    }
    // Plays frames until every event up to the checkpoint has been dispatched and handled.
    void PlayTo(const char* checkpoint)
    {
        u32 time = 0;
        bool found = false;
        for (const auto& c : m_Checkpoints)
            if (c.name == checkpoint)
            {
                time = c.time;
                found = true;
            }
        ASSERT_TRUE(found) << checkpoint;
        while (g_Now - m_ReplayStart <= time + 16)
            Frame();
    }

    game::CMinisceneView* TopMiniscene() const
    {
        game::CSceneStack& stack = m_Window->GetSceneStack();
        if (stack.GetMinisceneCount() == 0)
            return nullptr;
        return static_cast<game::CMinisceneView*>(stack.GetTopView());
    }

    // Draws the window alone and compares the back buffer with the reference.
    void Compare(const char* name)
    {
        lv::graphics::CRenderer& renderer = m_Application->GetRenderer();
        ASSERT_TRUE(renderer.BeginFrame());
        renderer.Clear(CColor(0xFF000000u));
        m_Window->Draw(renderer);
        renderer.Flush();
        u32* read = nullptr;
        u32 width = 0, height = 0;
        ASSERT_TRUE(renderer.ReadPixels(read, width, height, CIntRect()));
        std::vector<u32> pixels(read, read + width * height);
        std::free(read);
        renderer.EndFrame();
        testsupport::ExpectGoldenImage(testsupport::GoldenFolder(__FILE__), name, width, height, pixels);
    }

    CTempFolder m_Folder;
    lv::core::CTimeSystem m_Clock{[] { return g_Now; }};
    std::unique_ptr<game::CGameApplication> m_Application;
    game::CGameWindow::Ptr m_Window;
    std::vector<lv::content::SReplayCheckpoint> m_Checkpoints;
    double m_ReplayStart = 0.0;

private:
    std::filesystem::path m_SavedDirectory;
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
        Frame();
    ASSERT_TRUE(m_Window->IsAchievementPopupShown());
    Compare("hall_achievement_collector");
}

} // namespace
