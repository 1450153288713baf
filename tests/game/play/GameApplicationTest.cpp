#include "core/TempFolder.h"

#include "anim/ParticleFillStats.h"
#include "anim/ParticleManager.h"
#include "anim/ParticleSystem.h"
#include "app/StandaloneApplicationWindows.h"
#include "core/CrashReport.h"
#include "core/Log.h"
#include "game/frontend/ProfileManager.h"
#include "game/play/GameApplication.h"
#include "platform/ChildProcess.h"
#include "platform/Clock.h"
#include "platform/SyntheticInput.h"
#include "platform/SystemInfo.h"
#include "platform/Win32Window.h"

#include <gtest/gtest.h>

#include <atomic>
#include <csignal>
#include <filesystem>
#include <numeric>
#include <string>
#include <thread>

using game::CGameApplication;

namespace {

// Counts the frames it runs.
class CCountingGame : public CGameApplication
{
public:
    void Update() override
    {
        ++Frames;
        CGameApplication::Update();
    }
    s32 Frames = 0;
};

// A program folder with game.xml, the user data under it, and the lock folder of its own.
class GameApplication : public testing::Test
{
protected:
    void SetUp() override
    {
        m_SavedDirectory = std::filesystem::current_path();
        std::filesystem::create_directories(Folder.Path() / "program");
        std::filesystem::create_directories(Folder.Path() / "runtime");
        Folder.Write("program/game.xml", R"(<?xml version="1.0" encoding="utf-8"?>
<settings company="Lumivane" product="Lock Test" version="105" window_title="Caption From Game Xml"/>)");
        std::filesystem::current_path(Folder.Path() / "program");
        // The player's settings keep the game in a window of its design size.
        Folder.Write("data/Lumivane/Lock Test/saves/settings.xml",
                     "<?xml version=\"1.0\"?>\n<GameSettings screen_mode=\"0\"/>\n");
        UseDataFolder("data");
        lv::platform::SetEnvironmentValue("XDG_RUNTIME_DIR", (Folder.Path() / "runtime").c_str());
    }
    void TearDown() override
    {
        game::CProfileManager::DestroyInstance();
        lv::core::CLog::Instance().Close();
        std::filesystem::current_path(m_SavedDirectory);
    }

    void UseDataFolder(const std::string& name)
    {
        lv::platform::SetEnvironmentValue("XDG_DATA_HOME", (Folder.Path() / name).c_str());
    }
    std::string Log(const std::string& dataFolder)
    {
        return Folder.Read(dataFolder + "/Lumivane/Lock Test/log.lvlog");
    }
    bool WaitForLog(const std::string& dataFolder, const std::string& text)
    {
        for (int i = 0; i < 2000; ++i) {
            if (Log(dataFolder).find(text) != std::string::npos)
                return true;
            lv::platform::SleepUs(5000);
        }
        return false;
    }

    CTempFolder Folder;
    std::filesystem::path m_SavedDirectory;
};

// Pushes a quit event after the delay, as the window system does when the session ends.
class CQuitLater
{
public:
    explicit CQuitLater(u32 delayMs)
        : m_Thread([this, delayMs] {
              lv::platform::SleepUs(static_cast<s64>(delayMs) * 1000);
              lv::platform::SSyntheticEvent quit;
              quit.Type = lv::platform::ESyntheticEvent::Quit;
              m_Pushed = lv::platform::PushSyntheticEvent(quit);
          })
    {
    }
    ~CQuitLater() { Join(); }
    void Join()
    {
        if (m_Thread.joinable())
            m_Thread.join();
    }
    bool Pushed() const { return m_Pushed; }

private:
    std::atomic<bool> m_Pushed{false};
    std::thread m_Thread;
};

} // namespace

TEST_F(GameApplication, OpensItsDesignSizedWindowTitledFromGameXmlAndQuitsOnAQuitEvent)
{
    {
        CCountingGame application;
        ASSERT_TRUE(application.Init());
        HWND window = application.GetSystemIntegration()->GetWindowHandle();
        ASSERT_NE(window, nullptr);
        RECT client;
        ASSERT_TRUE(lv::platform::GetClientRect(window, &client));
        EXPECT_EQ(client.right, 1366);
        EXPECT_EQ(client.bottom, 768);
        WChar title[64];
        lv::platform::GetWindowTextW(window, title, 64);
        EXPECT_EQ(WString(title), u"Caption From Game Xml");

        const double start = lv::platform::MonotonicMs();
        CQuitLater quit(1000);
        application.Run();
        const double end = lv::platform::MonotonicMs();
        quit.Join();
        // Run returning at all shows the quit event ended the loop; how soon depends on the
        // machine's load, so it is not measured here.
        ASSERT_TRUE(quit.Pushed());
        // The frame limiter holds the loop at 60 frames per second at most.
        const double seconds = (end - start) / 1000.0;
        EXPECT_GT(application.Frames, 0);
        EXPECT_LE(application.Frames, static_cast<s32>(seconds * 60 * 1.2) + 5);
        application.Shutdown();
    }
    const std::string log = Log("data");
    EXPECT_NE(log.find("[game][1]: OnQuit"), std::string::npos) << log;
    EXPECT_LT(log.find("OnQuit"), log.find("shutdown..."));
}

// Start-up takes the debug level for the particles, loads the particle definitions and lets
// every frame open a new sample of the particle fill statistics.
TEST_F(GameApplication, StartUpLoadsParticlesAndFramesShiftTheirFillStatistics)
{
    using namespace lv::misc::anim;
    Folder.Write("program/game.xml", R"(<?xml version="1.0" encoding="utf-8"?>
<settings company="Lumivane" product="Lock Test" version="105" debug="2"/>)");
    Folder.Write("program/properties/particle.xml", R"(<?xml version="1.0"?>
<effects><particle id="smoke"/></effects>)");
    {
        CCountingGame application;
        ASSERT_TRUE(application.Init());
        EXPECT_EQ(CParticleSystem::GetDebugLevel(), 2);
        EXPECT_NE(CParticleManager::Instance().FindParticle("smoke"), nullptr);
        CParticleFillStats* stats = GetParticleFillStats();
        stats->AddFill("smoke", 5, 1);
        CQuitLater quit(300);
        application.Run();
        quit.Join();
        ASSERT_GT(application.Frames, 0);
        const CParticleFillStats::History& history = stats->GetFillHistory();
        EXPECT_EQ(history[0], 0.0f) << "frames moved the sample into the past";
        EXPECT_FLOAT_EQ(std::accumulate(history.begin(), history.end(), 0.0f), 5.0f);
        application.Shutdown();
    }
    CParticleSystem::SetDebugLevel(0);
    lv::misc::anim::CParticleManager::Instance().Release();
}

namespace {

struct SFirstInstance
{
    // Runs until killed (or a long time).
    static s32 Run(void*)
    {
        CGameApplication application;
        if (!application.Init())
            return 2;
        // Lets the test see that the start is complete.
        lv::core::CLog::Instance().Flush();
        CQuitLater quit(20000);
        application.Run();
        application.Shutdown();
        return 0;
    }
};

} // namespace

TEST_F(GameApplication, SecondInstanceIsRefusedAndTheFirstComesToTheFront)
{
    lv::platform::CChildProcess first;
    ASSERT_TRUE(first.Start(&SFirstInstance::Run, nullptr));
    ASSERT_TRUE(WaitForLog("data", "screen mode changed")) << Log("data");

    // The second instance writes its log elsewhere, so that both logs can be read.
    UseDataFolder("data2");
    {
        CGameApplication second;
        EXPECT_FALSE(second.Init());
        second.Shutdown();
    }
    EXPECT_TRUE(WaitForLog("data", "another instance was started")) << Log("data");

    first.Kill();
    lv::platform::SChildExit exit;
    ASSERT_TRUE(first.Wait(10000, exit));
    EXPECT_TRUE(exit.Signalled);

    UseDataFolder("data3");
    {
        CGameApplication third;
        EXPECT_TRUE(third.Init());
        third.Shutdown();
    }
}

TEST_F(GameApplication, EmptyProductSkipsTheSingleInstanceCheck)
{
    lv::core::CStandaloneApplicationWindows platform(false);
    // No application: no product.
    EXPECT_TRUE(platform.CheckSingleInstance());
    EXPECT_EQ(platform.GetNotifyMessage(), 0u);
    EXPECT_TRUE(std::filesystem::is_empty(Folder.Path() / "runtime"));
    EXPECT_EQ(platform.ComputeStyle(true), 0x90080000u);
    EXPECT_EQ(platform.ComputeStyle(false), 0x90CA0000u);
    EXPECT_EQ(lv::core::CStandaloneApplicationWindows(true).ComputeStyle(false), 0x90CF0000u);
}

namespace {

__attribute__((noinline, no_sanitize("address", "undefined"))) int ReadThrough(volatile int* pointer)
{
    return *pointer;
}

volatile int* volatile g_NoWhere = nullptr;

} // namespace

TEST_F(GameApplication, CrashLeavesItsReportInTheUserFolder)
{
    EXPECT_EXIT(
        {
            lv::core::InstallCrashHandler();
            CGameApplication application;
            ReadThrough(g_NoWhere);
        },
        testing::KilledBySignal(SIGSEGV), "");
    size_t dumps = 0;
    for (const auto& entry : std::filesystem::directory_iterator(Folder.Path() / "data" / "Lumivane" / "Lock Test")) {
        const std::string name = entry.path().filename().string();
        if (name.rfind("crashdump-", 0) == 0 && entry.path().extension() == ".dmp") {
            ++dumps;
            EXPECT_NE(Folder.Read("data/Lumivane/Lock Test/" + name).find("Back-trace:"), std::string::npos);
        }
    }
    EXPECT_EQ(dumps, 1u);
}
