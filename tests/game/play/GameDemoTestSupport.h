#pragma once
// The game application started on the built demo content (a user folder and a single-instance
// lock of its own, so tests may run side by side), with the game window, the HUD and the input
// replayer on one test clock; frames are run as the application runs them and drawn through the
// real OpenGL layer for golden-image comparison.
#include "core/TempFolder.h"

#include "content/ReplayScript.h"
#include "core/InputRecord.h"
#include "core/Log.h"
#include "core/TextConvert.h"
#include "core/TimeSystem.h"
#include "game/hud/Hud.h"
#include "game/play/GameApplication.h"
#include "game/play/GameWindow.h"
#include "graphics/Renderer.h"
#include "gui/InputDispatcher.h"
#include "gui/InputReplayer.h"
#include "platform/SystemInfo.h"
#include "support/GoldenImage.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

namespace gamedemotest {

// The test clock (milliseconds); a plain variable, since the replayer's clock is a function.
inline double g_Now = 0.0;
inline float ReplayNow()
{
    return static_cast<float>(g_Now);
}

class GameDemoFixture : public testing::Test
{
protected:
    void SetUp() override
    {
        m_SavedDirectory = std::filesystem::current_path();
        const std::filesystem::path program = GAME_PROGRAM_FOLDER;
        if (!std::filesystem::exists(program / "game.pack"))
            GTEST_SKIP() << "no built demo content in " << program;
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
        if (!m_SavedDirectory.empty())
            std::filesystem::current_path(m_SavedDirectory);
    }

    // A new game window in the demo's hall as the application's root.
    void StartHall()
    {
        m_Window.reset(new game::CGameWindow());
        ASSERT_TRUE(m_Window->StartGame(false, false, false, false));
        m_Application->SetRootWidget(m_Window);
        m_Application->GetInputDispatcher().Update();
        Frame(16);
    }
    // The game window's update after the clock moved on by ms.
    void Frame(s32 ms)
    {
        g_Now += ms;
        m_Clock.Tick();
        m_Window->Update();
    }
    // One 16 ms frame as the application runs it: the replayer, the dispatcher, then the game.
    void ReplayFrame()
    {
        g_Now += 16;
        lv::gui::CInputDispatcher& dispatcher = m_Application->GetInputDispatcher();
        lv::gui::CInputReplayer::Instance().Step(dispatcher);
        dispatcher.Update();
        Frame(0);
    }

    // Compiles the script into a recording file and starts playing it.
    void StartReplay(const std::string& script)
    {
        lv::content::SReplayScript compiled;
        std::string error;
        ASSERT_TRUE(lv::content::CompileReplayScript(script, compiled, error)) << error;
        m_Checkpoints = compiled.checkpoints;
        m_Folder.Write("replay", lv::core::WriteInputRecording(compiled.records));
        lv::gui::CInputReplayer& replayer = lv::gui::CInputReplayer::Instance();
        ASSERT_TRUE(replayer.Load(Utf8ToWide(m_Folder / "replay").c_str()));
        ASSERT_EQ(replayer.GetRecordCount(), compiled.records.size());
        replayer.Start();
        m_ReplayStart = g_Now;
    }
    // Plays frames until every event up to the checkpoint has been dispatched and handled.
    void PlayTo(const char* checkpoint)
    {
        u32 time = 0;
        bool found = false;
        for (const lv::content::SReplayCheckpoint& c : m_Checkpoints)
            if (c.name == checkpoint)
            {
                time = c.time;
                found = true;
            }
        ASSERT_TRUE(found) << checkpoint;
        while (g_Now - m_ReplayStart <= time + 16)
            ReplayFrame();
    }

    // Draws the window alone (with the application's letterbox bars when asked) and compares the
    // back buffer with the reference in tests/game/play/golden.
    void Compare(const char* name, bool withBars = false)
    {
        lv::graphics::CRenderer& renderer = m_Application->GetRenderer();
        ASSERT_TRUE(renderer.BeginFrame());
        renderer.Clear(CColor(0xFF000000u));
        m_Window->Draw(renderer);
        if (withBars)
            m_Application->DrawLetterboxBars();
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

} // namespace gamedemotest
