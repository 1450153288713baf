#include "core/TempFolder.h"
#include "gui/RecordingWindow.h"
#include "support/RecordingSystemIntegration.h"

#include "app/Application.h"
#include "core/InputRecord.h"
#include "core/Log.h"
#include "core/TextConvert.h"
#include "core/ThreadPool.h"
#include "core/TimeSystem.h"
#include "core/TimerGroup.h"
#include "graphics/Flash.h"
#include "graphics/RenderLog.h"
#include "graphics/Renderer.h"
#include "graphics/Vertex.h"
#include "gui/InputDispatcher.h"
#include "gui/InputRecorder.h"
#include "gui/InputReplayer.h"
#include "platform/d3d9/RecordingDirect3D.h"
#include "sound/AudioManager.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <set>

using lv::core::CApplication;

namespace {

class CTestApplication : public CApplication
{
public:
    void OnQuit() override
    {
        ++Quits;
        if (DuringQuit)
            DuringQuit();
    }
    void Update() override { ++Updates; }
    void OnRunningChanged(bool running) override { RunningChanges.push_back(running); }
    void OnScreenModeChanging(bool fullscreen, bool flag, s32 width, s32 height) override
    {
        ModeEvents.push_back(Describe("changing", fullscreen, flag, width, height));
    }
    void OnScreenModeChanged(bool fullscreen, bool flag, s32 width, s32 height) override
    {
        ModeEvents.push_back(Describe("changed", fullscreen, flag, width, height));
        CApplication::OnScreenModeChanged(fullscreen, flag, width, height);
    }

    static std::string Describe(const char* what, bool fullscreen, bool flag, s32 width, s32 height)
    {
        return std::string(what) + " " + std::to_string(fullscreen) + " " + std::to_string(flag) + " " +
               std::to_string(width) + " " + std::to_string(height);
    }

    s32 Quits = 0;
    s32 Updates = 0;
    std::function<void()> DuringQuit;
    std::vector<bool> RunningChanges;
    std::vector<std::string> ModeEvents;
};

class Application : public testing::Test
{
protected:
    void SetUp() override
    {
        m_SavedDirectory = std::filesystem::current_path();
        std::filesystem::create_directories(Folder.Path() / "run");
        std::filesystem::current_path(Folder.Path() / "run");
        setenv("XDG_DATA_HOME", (Folder.Path() / "data").c_str(), 1);
        WriteGameXml(R"(<settings company="Co" product="Game" version="105"/>)");
        D3d = lv::platform::InstallRecordingDirect3D();
        lv::core::CLog::Instance().Close();
        lv::gui::CInputReplayer::Instance().Stop();
    }
    void TearDown() override
    {
        App.reset();
        lv::core::CLog::Instance().Close();
        lv::platform::SetDirect3DFactory(nullptr);
        std::filesystem::current_path(m_SavedDirectory);
    }

    void WriteGameXml(const std::string& text)
    {
        std::ofstream(Folder.Path() / "run" / "game.xml") << "<?xml version=\"1.0\" encoding=\"utf-8\"?>\n"
                                                          << text;
    }

    // The application with the recording platform layer, active and with a windowed screen.
    CTestApplication& Started()
    {
        App = std::make_unique<CTestApplication>();
        App->SetSystemIntegration(&Platform);
        App->GetRenderer().SetSourceSize(1366, 768);
        EXPECT_TRUE(App->Init());
        App->SetScreenMode(false, true, 1366, 768);
        Platform.Calls.clear();
        return *App;
    }

    CWindowMessage Record(u32 message, WPARAM wParam = 0)
    {
        return CWindowMessage{nullptr, message, wParam, 0, 0, 0};
    }

    CTempFolder Folder;
    CRecordingSystemIntegration Platform;
    std::shared_ptr<lv::platform::CRecordingLog> D3d;
    std::unique_ptr<CTestApplication> App;

private:
    std::filesystem::path m_SavedDirectory;
};

std::vector<std::string> Lines(const std::string& text)
{
    std::vector<std::string> lines;
    size_t start = 0;
    for (size_t end; (end = text.find('\n', start)) != std::string::npos; start = end + 1)
        lines.push_back(text.substr(start, end - start));
    return lines;
}

} // namespace

TEST_F(Application, ConstructionReadsGameXmlAndOpensTheLogInTheUserFolder)
{
    lv::core::CLog::Instance().Print("app", 1, "before the application");
    App = std::make_unique<CTestApplication>();
    EXPECT_EQ(App->GetWindowTitle(), u"Game 1.5");
    EXPECT_EQ(App->GetProduct(), u"Game");
    EXPECT_EQ(CApplication::Instance(), App.get());
    EXPECT_EQ(App->GetUserDataFolder(), Utf8ToWide((Folder.Path() / "data" / "Co" / "Game").string()));
    // Render snapshots go there too.
    EXPECT_EQ(lv::graphics::CRenderLog::GetSnapshotFolder(), App->GetUserDataFolder());
    lv::core::CLog::Instance().Flush();
    const std::vector<std::string> lines = Lines(Folder.Read("data/Co/Game/log.lvlog"));
    ASSERT_GE(lines.size(), 2u);
    EXPECT_NE(lines[0].find("log created"), std::string::npos) << lines[0];
    EXPECT_NE(lines[1].find("[app]"), std::string::npos) << lines[1];
    EXPECT_NE(lines[1].find("app created"), std::string::npos) << lines[1];
    App.reset();
    EXPECT_EQ(CApplication::Instance(), nullptr);
    EXPECT_NE(Folder.Read("data/Co/Game/log.lvlog").find("app destroyed"), std::string::npos);
}

TEST_F(Application, WindowTitleComesFromGameXml)
{
    const std::pair<const char*, const char16_t*> cases[] = {
        {R"(<settings product="Game" version="150"/>)", u"Game 1.50"},
        {R"(<settings product="Game" version="105" full_version="1.0.5 beta"/>)", u"Game 1.0.5 beta"},
        {R"(<settings product="Game" version="105" window_title="My Game"/>)", u"My Game"},
        {R"(<settings/>)", u" 0.0"},
    };
    for (const auto& [xml, title] : cases) {
        WriteGameXml(xml);
        App = std::make_unique<CTestApplication>();
        EXPECT_EQ(App->GetWindowTitle(), title) << xml;
        App.reset();
    }
}

TEST_F(Application, InitFailsOnAnotherInstanceOrAPlatformFailure)
{
    App = std::make_unique<CTestApplication>();
    App->SetSystemIntegration(&Platform);
    Platform.SingleInstanceResult = false;
    EXPECT_FALSE(App->Init());
    EXPECT_EQ(Platform.Count("Init"), 0u);
    Platform.SingleInstanceResult = true;
    Platform.InitResult = false;
    EXPECT_FALSE(App->Init());
    Platform.InitResult = true;
    EXPECT_TRUE(App->Init());
    EXPECT_NE(lv::mt::CThreadPool::Instance(), nullptr);
    App->Shutdown();
    EXPECT_EQ(lv::mt::CThreadPool::Instance(), nullptr);
    lv::core::CLog::Instance().Flush();
    const std::string log = Folder.Read("data/Co/Game/log.lvlog");
    EXPECT_NE(log.find("error in m_SystemIntegration->Init"), std::string::npos);
    EXPECT_NE(log.find("app init complete..."), std::string::npos);
    EXPECT_NE(log.find("shutdown complete..."), std::string::npos);
    EXPECT_EQ(Platform.Count("Shutdown"), 1u);
    App->Shutdown();
    EXPECT_EQ(Platform.Count("Shutdown"), 1u);
}

TEST_F(Application, MinimisingPausesSoundAndFlashOnceAndRestoringResumesOnce)
{
    Started();
    auto& audio = lv::sound::GetAudioManager();
    auto* root = lv::core::CTimeSystem::Instance().GetRootGroup();
    const s32 audioBase = audio.GetPauseAllLevel();
    const s32 flashBase = lv::graphics::CFlash::GetPauseAllLevel();
    const u8 rootBase = root->GetPauseCount();
    for (int i = 0; i < 2; ++i) {
        Platform.Send(WM_SIZE, SIZE_MINIMIZED);
        EXPECT_EQ(audio.GetPauseAllLevel(), audioBase + 1);
        EXPECT_EQ(lv::graphics::CFlash::GetPauseAllLevel(), flashBase + 1);
        EXPECT_EQ(root->GetPauseCount(), rootBase + 1);
        EXPECT_FALSE(App->IsActive());
    }
    Platform.Send(WM_SIZE, SIZE_RESTORED);
    EXPECT_EQ(audio.GetPauseAllLevel(), audioBase);
    EXPECT_EQ(lv::graphics::CFlash::GetPauseAllLevel(), flashBase);
    EXPECT_EQ(root->GetPauseCount(), rootBase);
    EXPECT_EQ(App->RunningChanges, (std::vector<bool>{false, true}));
}

TEST_F(Application, MaximiseBecomesARestore)
{
    Started();
    Platform.Send(WM_SIZE, SIZE_MAXIMIZED);
    EXPECT_EQ(Platform.Calls, std::vector<std::string>{"PostMessage 0x112 61728 0"});
}

TEST_F(Application, InactiveTurnSleepsWithoutFrame)
{
    Started();
    EXPECT_EQ(Platform.Send(WM_ACTIVATEAPP, 0), 0);
    EXPECT_FALSE(App->IsActive());
    EXPECT_EQ(Platform.Count("Default"), 0u);
    App->UpdateFrame();
    EXPECT_EQ(Platform.SleptMs, 50u);
    EXPECT_EQ(App->Updates, 0);
    EXPECT_TRUE(lv::core::CTimeSystem::Instance().GetRootGroup()->IsPaused());
    Platform.Send(WM_ACTIVATEAPP, 1);
    App->UpdateFrame();
    EXPECT_EQ(App->Updates, 1);
    EXPECT_EQ(Platform.SleptMs, 50u);
}

TEST_F(Application, LockedSessionStopsRunningWhileFramesGoOn)
{
    Started();
    EXPECT_EQ(Platform.Send(WM_WTSSESSION_CHANGE, WTS_SESSION_LOCK), 0);
    EXPECT_FALSE(App->IsRunning());
    EXPECT_TRUE(App->IsActive());
    EXPECT_TRUE(App->IsSoundPausedByApplication());
    App->UpdateFrame();
    EXPECT_EQ(App->Updates, 1);
    // Any other change code clears the lock.
    Platform.Send(WM_WTSSESSION_CHANGE, 5);
    EXPECT_TRUE(App->IsRunning());
    EXPECT_FALSE(App->IsSoundPausedByApplication());
}

TEST_F(Application, CloseRunsOnQuitOnceAndTheLoopEndsBeforeAnotherFrame)
{
    Started();
    Platform.PostMessage(nullptr, WM_CLOSE, 0, 0);
    App->Run();
    EXPECT_EQ(App->Quits, 1);
    EXPECT_EQ(App->Updates, 0);
    EXPECT_EQ(Platform.Turns, 0);
    EXPECT_EQ(Platform.Count("Default 0x10"), 1u);
}

TEST_F(Application, MessageSentDuringQuitDoesNotDisturbTheCloseMessage)
{
    Started();
    App->DuringQuit = [&] { Platform.Send(WM_SIZE, SIZE_RESTORED); };
    Platform.Send(WM_CLOSE);
    EXPECT_EQ(Platform.Calls,
              (std::vector<std::string>{"Default 0x5 0 0", "RequestQuit", "Default 0x10 0 0"}));
}

TEST_F(Application, CtrlAltPTogglesReplayOtherwiseTheKeyGoesToTheGui)
{
    auto& app = Started();
    std::vector<std::string> log;
    boost::intrusive_ptr<CRecordingWindow> root(new CRecordingWindow("root", log));
    app.SetRootWidget(root);
    app.UpdateFrame();
    ASSERT_EQ(app.GetRootWidget(), root);
    log.clear();

    const std::vector<lv::core::CInputRecord> records = {
        lv::core::CInputRecord::Key(0, lv::core::CInputRecord::KeyDown, 'A', 0, 0)};
    const std::string image = lv::core::WriteInputRecording(records);
    std::ofstream("replay", std::ios::binary).write(image.data(), static_cast<std::streamsize>(image.size()));

    auto& replayer = lv::gui::CInputReplayer::Instance();
    for (const std::set<s32>& keys : {std::set<s32>{VK_CONTROL}, std::set<s32>{VK_MENU}}) {
        Platform.KeysDown = keys;
        Platform.Send(WM_KEYDOWN, 'P');
        EXPECT_FALSE(replayer.IsPlaying());
    }
    EXPECT_EQ(log.size(), 2u);
    EXPECT_EQ(Platform.Count("Default 0x100"), 2u);

    Platform.KeysDown = {VK_CONTROL, VK_MENU};
    EXPECT_EQ(Platform.Send(WM_KEYDOWN, 'P'), 1);
    EXPECT_TRUE(replayer.IsPlaying());
    EXPECT_EQ(replayer.GetRecordCount(), 1u);
    EXPECT_EQ(Platform.Send(WM_KEYDOWN, VK_F1), 1);
    EXPECT_FALSE(replayer.IsPlaying());
    EXPECT_EQ(log.size(), 2u);
    EXPECT_EQ(Platform.Count("Default 0x100"), 2u);
}

TEST_F(Application, MenuKeyIsSwallowed)
{
    Started();
    Platform.Send(WM_SYSCOMMAND, SC_KEYMENU);
    Platform.Send(WM_SYSCOMMAND, SC_RESTORE);
    EXPECT_EQ(Platform.Calls, std::vector<std::string>{"Default 0x112 61728 0"});
}

TEST_F(Application, TopWindowFollowsModalWindows)
{
    auto& app = Started();
    EXPECT_EQ(app.GetTopWindow(), nullptr);
    std::vector<std::string> log;
    boost::intrusive_ptr<CRecordingWindow> root(new CRecordingWindow("root", log));
    boost::intrusive_ptr<CRecordingWindow> dialog(new CRecordingWindow("dialog", log));
    boost::intrusive_ptr<CRecordingWindow> question(new CRecordingWindow("question", log));
    app.SetRootWidget(root);
    app.GetInputDispatcher().Update();
    EXPECT_EQ(app.GetTopWindow(), root);
    root->ShowModal(dialog);
    dialog->ShowModal(question);
    EXPECT_EQ(app.GetTopWindow(), question);
}

TEST_F(Application, AfterShutdownMessagesOnlyGetDefaultProcessing)
{
    Started();
    App->Shutdown();
    Platform.Calls.clear();
    Platform.Send(WM_CLOSE);
    EXPECT_EQ(App->Quits, 0);
    EXPECT_EQ(Platform.Calls, std::vector<std::string>{"Default 0x10 0 0"});
}

TEST_F(Application, FullScreenRequestsUseListedModes)
{
    D3d->Modes = {
        {1024, 768, 60, D3DFMT_X8R8G8B8}, {1600, 900, 60, D3DFMT_X8R8G8B8}, {1280, 720, 60, D3DFMT_X8R8G8B8}};
    Platform.DesktopWidth = 1600;
    Platform.DesktopHeight = 900;
    Started();
    // The adapter answers once the device exists.
    App->GetRenderer().EnumDisplayModes();
    struct Case
    {
        s32 width, height;
        const char* window;
    } cases[] = {
        {1366, 768, "CreateOrResizeWindow 1 1 1280 720"}, // missing: the last listed mode
        {0, 0, "CreateOrResizeWindow 1 1 1600 900"},      // the desktop size
        {768, 1024, "CreateOrResizeWindow 1 1 768 1024"}, // listed the other way round
    };
    for (const Case& c : cases) {
        Platform.Calls.clear();
        App->SetScreenMode(true, true, c.width, c.height);
        EXPECT_EQ(Platform.Count("CreateOrResizeWindow"), 1u);
        EXPECT_EQ(Platform.Calls.front(), c.window) << c.width << "x" << c.height;
    }
    s32 w = 0, h = 0;
    App->GetRequestedWindowSize(w, h);
    EXPECT_EQ(w, 768);
    EXPECT_EQ(h, 1024);
}

TEST_F(Application, ScreenModeChangeReportsOnlyRealChanges)
{
    Started();
    App->ModeEvents.clear();
    EXPECT_FALSE(App->SetScreenMode(false, true, 1366, 768));
    EXPECT_TRUE(App->SetScreenMode(false, true, 1024, 600));
    Platform.CreateWindowResult = false;
    EXPECT_FALSE(App->SetScreenMode(false, true, 800, 600));
    const std::vector<std::string> expected = {"changing 0 1 1366 768", "changing 0 1 1024 600",
                                               "changed 0 1 1024 600", "changing 0 1 800 600"};
    EXPECT_EQ(App->ModeEvents, expected);
    EXPECT_FALSE(lv::core::CTimeSystem::Instance().GetRootGroup()->IsPaused());
}

TEST_F(Application, WindowedRequestLargerThanTheWorkAreaShrinksInTheDesignAspect)
{
    Platform.WorkArea = CIntRect(0, 0, 1366, 768);
    Started();
    App->SetScreenMode(false, true, 2000, 1500);
    // 1366 - 16 - 15 = 1335 wide and 768 - 39 - 15 = 714 high, then 714 * 1366 / 768 wide.
    EXPECT_EQ(Platform.Calls.front(), "CreateOrResizeWindow 0 1 1269 714");
    const CIntRect client = Platform.ClientRect;
    EXPECT_NEAR(static_cast<double>(client.Width) / client.Height, 1366.0 / 768.0, 0.002);

    struct Case
    {
        CIntRect work;
        s32 dpi, width, height, fitWidth, fitHeight;
    } cases[] = {
        {CIntRect(0, 0, 1920, 1040), 96, 1366, 768, 1366, 768},  // fits
        {CIntRect(0, 0, 1920, 1040), 144, 1000, 500, 1500, 750}, // scaled by the DPI, still fits
        {CIntRect(0, 0, 10, 10), 96, 1366, 768, 1, 1},           // smaller than the frame
    };
    for (const Case& c : cases) {
        Platform.WorkArea = c.work;
        Platform.DpiX = Platform.DpiY = c.dpi;
        s32 w = c.width, h = c.height;
        App->FitWindowToWorkArea(w, h);
        EXPECT_EQ(w, c.fitWidth) << c.dpi;
        EXPECT_EQ(h, c.fitHeight) << c.dpi;
    }
}

TEST_F(Application, FullScreenWithoutListedModesKeepsTheRequestedSize)
{
    // No Init: the renderer has listed no display modes.
    App = std::make_unique<CTestApplication>();
    App->SetSystemIntegration(&Platform);
    App->SetScreenMode(true, true, 1280, 720);
    App->SetScreenMode(true, true, 0, 0);
    EXPECT_EQ(Platform.Calls, (std::vector<std::string>{"CreateOrResizeWindow 1 1 1280 720",
                                                        "CreateOrResizeWindow 1 1 1920 1080"}));
}

namespace {

// The corners drawn in one colour during the recorded frames, in back-buffer pixels.
std::set<std::pair<s32, s32>> DrawnCorners(const lv::platform::CRecordingLog& log, u32 argb)
{
    std::set<std::pair<s32, s32>> corners;
    for (const auto& draw : log.Draws) {
        const auto* v = reinterpret_cast<const lv::graphics::CVertex*>(draw.Vertices.data());
        for (size_t i = 0; i < draw.Vertices.size() / sizeof(lv::graphics::CVertex); ++i)
            if (v[i].diffuse == argb)
                corners.insert({static_cast<s32>(v[i].x), static_cast<s32>(v[i].y)});
    }
    return corners;
}

} // namespace

TEST_F(Application, FrameDrawsThePlayIndicatorAndTheLetterboxBars)
{
    Started();
    // A 1366 x 768 design in a 1024 x 768 window: bars of 96 pixels above and below.
    App->SetScreenMode(false, true, 1024, 768);
    lv::gui::CInputReplayer::Instance().Start();
    lv::gui::CInputRecorder::Instance().Start();
    D3d->Draws.clear();
    App->Render();
    lv::gui::CInputReplayer::Instance().Stop();
    lv::gui::CInputRecorder::Instance().Stop();
    EXPECT_TRUE(DrawnCorners(*D3d, 0xFFFF0000u).count({0, 96}));
    const auto green = DrawnCorners(*D3d, 0xFF00FF00u);
    EXPECT_TRUE(green.count({0, 96})) << green.size();
    EXPECT_TRUE(green.count({29, 114}) || green.count({30, 114}));
    EXPECT_TRUE(green.count({0, 133}));
    const auto black = DrawnCorners(*D3d, 0xFF000000u);
    // Pixel edges as the renderer rounds them: the bars span rows 0-96 and 671-767.
    for (s32 y : {0, 96, 671, 767})
        EXPECT_TRUE(black.count({0, y})) << y;
    EXPECT_EQ(black.size(), 8u);
}
