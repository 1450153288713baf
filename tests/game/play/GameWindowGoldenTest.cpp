// The demo's hall in the game window, drawn through the real OpenGL layer by the game
// application on the built demo content, compared with tests/game/play/golden/*.png
// (GAME_UPDATE_GOLDEN=1 writes the references instead).
#include "core/TempFolder.h"

#include "core/Log.h"
#include "core/TimeSystem.h"
#include "game/hud/Hud.h"
#include "game/play/GameApplication.h"
#include "game/play/GameWindow.h"
#include "graphics/Renderer.h"
#include "gui/InputDispatcher.h"
#include "platform/PngImage.h"
#include "platform/SystemInfo.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <memory>

namespace {

class GameWindowGolden : public testing::Test
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
        game::CGameWindow::SetClock(&m_Clock);
        game::CHud::SetClock(&m_Clock);
        m_Application = std::make_unique<game::CGameApplication>();
        ASSERT_TRUE(m_Application->Init());
        m_Clock.Tick();
    }
    void TearDown() override
    {
        m_Window.reset();
        m_Application.reset();
        lv::core::CLog::Instance().Close();
        game::CGameWindow::SetClock(nullptr);
        game::CHud::SetClock(nullptr);
        std::filesystem::current_path(m_SavedDirectory);
    }

    void StartHall()
    {
        m_Window.reset(new game::CGameWindow());
        ASSERT_TRUE(m_Window->StartGame(false, false, false, false));
        m_Application->SetRootWidget(m_Window);
        m_Application->GetInputDispatcher().Update();
        Frame(16);
    }
    void Frame(s32 ms)
    {
        m_Now += ms;
        m_Clock.Tick();
        m_Window->Update();
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
        for (u32& p : pixels)
            p |= 0xFF000000u; // the back buffer has no alpha

        const std::filesystem::path golden =
            std::filesystem::path(__FILE__).parent_path() / "golden" / (std::string(name) + ".png");
        const char* update = std::getenv("GAME_UPDATE_GOLDEN");
        if (update && *update == '1')
        {
            std::filesystem::create_directories(golden.parent_path());
            ASSERT_TRUE(lv::platform::test::WritePng(golden.string(), width, height, pixels));
            GTEST_SKIP() << "reference written to " << golden;
        }
        UINT gw = 0, gh = 0;
        std::vector<DWORD> expected;
        ASSERT_TRUE(lv::platform::test::ReadPng(golden.string(), gw, gh, expected)) << golden;
        ASSERT_EQ(gw, width);
        ASSERT_EQ(gh, height);
        u32 different = 0, first = 0;
        for (u32 i = 0; i < expected.size(); ++i)
            if (expected[i] != pixels[i] && different++ == 0)
                first = i;
        if (different)
        {
            const std::filesystem::path actual = m_Folder.Path() / (std::string(name) + ".actual.png");
            lv::platform::test::WritePng(actual.string(), width, height, pixels);
            ADD_FAILURE() << "see " << actual << ": " << different << " pixels differ, the first at ("
                          << first % width << ", " << first / width << ")";
        }
    }

    CTempFolder m_Folder;
    double m_Now = 0.0;
    lv::core::CTimeSystem m_Clock{[this] { return m_Now; }};
    std::unique_ptr<game::CGameApplication> m_Application;
    game::CGameWindow::Ptr m_Window;

private:
    std::filesystem::path m_SavedDirectory;
};

TEST_F(GameWindowGolden, TheHallOnTheDesignLayout)
{
    StartHall();
    Compare("hall_1366");
}

TEST_F(GameWindowGolden, AFadeOutZoomsAboutTheLastClick)
{
    StartHall();
    m_Window->OnMouseDown(CPoint2i(400, 300), 0, 0, 0);
    m_Window->OpenScene("room2", false, true);
    Frame(100);
    Frame(150);
    ASSERT_EQ(m_Window->GetFadeLevel(), 127);
    Compare("hall_fade_150ms");
}

} // namespace
