// The game's start-up with the built demo content: the program folder holds game.pack and
// game.xml, the user folder is a temporary one.
#include "core/TempFolder.h"

#include "app/StandaloneApplicationWindows.h"
#include "core/Log.h"
#include "core/Settings.h"
#include "core/TextConvert.h"
#include "game/frontend/MainMenuWindow.h"
#include "game/frontend/OptionsWindow.h"
#include "game/frontend/ProfileManager.h"
#include "game/play/GameApplication.h"
#include "graphics/FontManager.h"
#include "graphics/Renderer.h"
#include "platform/PngImage.h"
#include "platform/SystemInfo.h"
#include "qe/Quest.h"
#include "qe/QuestData.h"
#include "qe/ScriptData.h"
#include "sound/AudioManager.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

using game::CGameApplication;
using game::CMainMenuWindow;
using game::CProfileManager;

namespace {

const char kDemoUserFolder[] = "data/Lumivane/Demo Adventure";

class DemoStart : public testing::Test
{
protected:
    void SetUp() override
    {
        m_SavedDirectory = std::filesystem::current_path();
        std::filesystem::create_directories(Folder.Path() / "program");
        std::filesystem::create_directories(Folder.Path() / "runtime");
        std::filesystem::copy_file(GAME_DEMO_PACK, Folder.Path() / "program" / "game.pack");
        WriteGameXml("");
        std::filesystem::current_path(Folder.Path() / "program");
        lv::platform::SetEnvironmentValue("XDG_DATA_HOME", (Folder.Path() / "data").c_str());
        lv::platform::SetEnvironmentValue("XDG_RUNTIME_DIR", (Folder.Path() / "runtime").c_str());
        CProfileManager::DestroyInstance();
    }
    void TearDown() override
    {
        CProfileManager::DestroyInstance();
        lv::core::CLog::Instance().Close();
        std::filesystem::current_path(m_SavedDirectory);
    }

    void WriteGameXml(const std::string& attributes)
    {
        Folder.Write("program/game.xml", "<?xml version=\"1.0\" encoding=\"utf-8\"?>\n<settings company=\"Lumivane\" "
                                         "product=\"Demo Adventure\" version=\"100\" all_on_demand=\"true\" " +
                                             attributes + "/>\n");
    }
    // A windowed start, so the window keeps the design size.
    void StartWindowed()
    {
        Folder.Write(std::string(kDemoUserFolder) + "/saves/settings.xml",
                     "<?xml version=\"1.0\"?>\n<GameSettings screen_mode=\"0\"/>\n");
    }
    std::string Log() const { return Folder.Read(std::string(kDemoUserFolder) + "/log.lvlog"); }
    std::string Saves(const std::string& name) const
    {
        return Folder.Read(std::string(kDemoUserFolder) + "/saves/" + name);
    }
    // Through the main window's procedure, as the window system delivers it.
    static void SendSysCommand(CGameApplication& application, LPARAM key)
    {
        lv::core::CStandaloneApplicationWindows::WindowProc(application.GetSystemIntegration()->GetWindowHandle(),
                                                            WM_SYSCOMMAND, SC_KEYMENU, key);
    }
    static void SendAltEnter(CGameApplication& application) { SendSysCommand(application, 13); }

    CTempFolder Folder;
    std::filesystem::path m_SavedDirectory;
};

// Counts the main menu's layouts.
class CCountingMenu : public CMainMenuWindow
{
public:
    CCountingMenu() : CMainMenuWindow(true, false, false, false) {}
    void Layout() override { ++Layouts; }
    int Layouts = 0;
};

} // namespace

TEST_F(DemoStart, LoadsTheDemoContentAndOpensTheMainMenu)
{
    StartWindowed();
    {
        CGameApplication application;
        ASSERT_TRUE(application.Init());
        const lv::core::CSettings& settings = application.GetSettings();
        EXPECT_NE(settings.FindChild("GUI", true), nullptr);
        EXPECT_NE(settings.FindChild("GUITemplates", true), nullptr);
        EXPECT_NE(lv::core::CFontManager::Instance()->FindFont("font_16"), nullptr);
        for (const char* sound : {"gui_button_press", "gui_window_open_close", "tone_a"})
            EXPECT_TRUE(lv::sound::GetAudioManager().HasSound(sound)) << sound;
        std::unique_ptr<qe::CQuest> quest(qe::CQuestData::Instance().CreateQuest("demo", nullptr, nullptr));
        EXPECT_NE(quest, nullptr);
        EXPECT_TRUE(qe::CScriptData::Instance().FindQuest(CFixedString("demo")).IsValid());
        CProfileManager* profiles = CProfileManager::Instance();
        ASSERT_NE(profiles, nullptr);
        EXPECT_NE(profiles->GetCurrentProfile(), nullptr);
        EXPECT_EQ(profiles->GetScreenMode(), 0);

        application.UpdateFrame();
        auto* menu = dynamic_cast<CMainMenuWindow*>(application.GetRootWidget().get());
        ASSERT_NE(menu, nullptr);
        EXPECT_TRUE(menu->GetIntro());
        // "quit_button" quits: the quit hook saves the profiles and the loop is told to end.
        lv::gui::CBaseWidget* quit = menu->FindChild(CFixedString("quit_button"), true).get();
        ASSERT_NE(quit, nullptr);
        menu->OnEvent("pressed", quit);
        EXPECT_TRUE(static_cast<lv::core::CStandaloneApplicationWindows*>(application.GetSystemIntegration())
                        ->IsQuitRequested());
        EXPECT_NE(Saves("settings.xml").find("current_profile_uid"), std::string::npos);
        application.Shutdown();
    }
    EXPECT_EQ(Log().find("[3]:"), std::string::npos) << Log();
}

TEST_F(DemoStart, FirstStartMakesTheDefaultProfileAndTheSecondReadsIt)
{
    std::string uid;
    {
        CGameApplication application;
        ASSERT_TRUE(application.Init());
        CProfileManager* profiles = CProfileManager::Instance();
        ASSERT_EQ(profiles->GetProfileCount(), 1);
        EXPECT_EQ(WString(profiles->GetCurrentProfile()->GetName().GetText()), u"Player");
        uid = profiles->GetCurrentProfile()->GetUid();
        EXPECT_FALSE(application.GetProfilesExisted());
        lv::core::CLog::Instance().Flush();
        EXPECT_EQ(Log().find("[3]:"), std::string::npos) << "a first start is no error: " << Log();
        application.UpdateFrame();
        auto* menu = dynamic_cast<CMainMenuWindow*>(application.GetRootWidget().get());
        ASSERT_NE(menu, nullptr);
        EXPECT_FALSE(menu->GetProfilesExisted());
        // The quit hook saves the profiles (no game window is open).
        application.OnQuit();
        EXPECT_NE(Saves(uid + ".prf").find("name=\"Player\" uid=\"" + uid + "\""), std::string::npos);

        WChar path[CProfileManager::kPathCapacity];
        ASSERT_TRUE(profiles->GetSaveFilePath(profiles->GetCurrentProfile(), path, CProfileManager::kPathCapacity));
        EXPECT_EQ(WString(path), profiles->GetFolder().GetText() + WString(u"/") + Utf8ToWide(uid) + u".save");
        EXPECT_FALSE(profiles->GetSaveFilePath(profiles->GetCurrentProfile(), path, 8));
        application.Shutdown();
    }
    CProfileManager::DestroyInstance();
    {
        CGameApplication application;
        ASSERT_TRUE(application.Init());
        EXPECT_TRUE(application.GetProfilesExisted());
        ASSERT_EQ(CProfileManager::Instance()->GetProfileCount(), 1);
        EXPECT_EQ(CProfileManager::Instance()->GetCurrentProfile()->GetUid(), uid);
        application.UpdateFrame();
        auto* menu = dynamic_cast<CMainMenuWindow*>(application.GetRootWidget().get());
        ASSERT_NE(menu, nullptr);
        EXPECT_TRUE(menu->GetProfilesExisted());
        application.Shutdown();
    }
}

TEST_F(DemoStart, AltEnterFlipsTheScreenModeExceptOverTheOptionsWindow)
{
    StartWindowed();
    CGameApplication application;
    ASSERT_TRUE(application.Init());
    application.UpdateFrame();
    CProfileManager* profiles = CProfileManager::Instance();
    ASSERT_EQ(profiles->GetScreenMode(), 0);

    SendAltEnter(application);
    EXPECT_EQ(profiles->GetScreenMode(), 1);
    EXPECT_TRUE(application.GetRenderer().IsFullscreen());
    EXPECT_NE(Saves("settings.xml").find("screen_mode=\"1\""), std::string::npos);

    // Any other mode goes back to a window.
    profiles->SetScreenMode(7);
    SendAltEnter(application);
    EXPECT_EQ(profiles->GetScreenMode(), 0);
    EXPECT_FALSE(application.GetRenderer().IsFullscreen());
    EXPECT_NE(Saves("settings.xml").find("screen_mode=\"0\""), std::string::npos);

    // Over the options window (or a window shown over it) nothing changes.
    game::COptionsWindow::Ptr options(new game::COptionsWindow());
    application.GetRootWidget()->ShowModal(options);
    lv::gui::CBaseWindow::Ptr above(new lv::gui::CBaseWindow(CFixedString("above")));
    options->ShowModal(above);
    ASSERT_EQ(application.GetTopWindow(), above);
    SendAltEnter(application);
    EXPECT_EQ(profiles->GetScreenMode(), 0);

    // Other system commands are left to the framework.
    application.GetRootWidget()->CloseModal();
    SendSysCommand(application, 32);
    EXPECT_EQ(profiles->GetScreenMode(), 0);
    application.Shutdown();
}

TEST_F(DemoStart, SurveyLinkOpensAfterShutdownOnlyForExactlyTrue)
{
    Folder.Write("program/link.txt", "https://example.org/survey\nmore text\n");
    for (const char* value : {"true", "True"}) {
        SCOPED_TRACE(value);
        WriteGameXml(std::string("survey=\"") + value + "\"");
        StartWindowed();
        {
            CGameApplication application;
            ASSERT_TRUE(application.Init());
            application.Shutdown();
        }
        lv::core::CLog::Instance().Flush();
        const std::string log = Log();
        const size_t link = log.find("survey link: https://example.org/survey\r");
        if (std::string(value) == "true") {
            ASSERT_NE(link, std::string::npos) << log;
            EXPECT_LT(log.find("shutdown..."), link);
            // The destructor shuts down again: the link opens once all the same.
            EXPECT_EQ(log.find("survey link:", link + 1), std::string::npos) << log;
        } else {
            EXPECT_EQ(link, std::string::npos) << log;
        }
        lv::core::CLog::Instance().Close();
        std::filesystem::remove_all(Folder.Path() / "data");
        CProfileManager::DestroyInstance();
    }
}

TEST_F(DemoStart, NarrowFullScreenNarrowsTheDesignWidthAndLaysTheRootOut)
{
    StartWindowed();
    CGameApplication application;
    ASSERT_TRUE(application.Init());
    boost::intrusive_ptr<CCountingMenu> menu(new CCountingMenu());
    application.SetRootWidget(menu);
    application.UpdateFrame();
    const int before = menu->Layouts;

    application.OnScreenModeChanged(false, true, 1280, 768);
    EXPECT_EQ(application.GetRenderer().GetSourceSize().X, 1366);
    application.OnScreenModeChanged(true, true, 1366, 768);
    EXPECT_EQ(application.GetRenderer().GetSourceSize().X, 1366);
    application.OnScreenModeChanged(true, true, 1280, 1024);
    EXPECT_EQ(application.GetRenderer().GetSourceSize().X, 1280);
    EXPECT_EQ(application.GetRenderer().GetSourceSize().Y, 768);
    EXPECT_EQ(menu->Layouts, before + 3);
    application.Shutdown();
}

// The demo's main menu after 60 frames, drawn through the real OpenGL layer and compared with
// its reference image (GAME_UPDATE_GOLDEN=1 writes the reference instead).
TEST_F(DemoStart, MainMenuAfterSixtyFramesMatchesItsReferenceImage)
{
    StartWindowed();
    std::vector<DWORD> actual;
    u32 width = 0, height = 0;
    {
        CGameApplication application;
        ASSERT_TRUE(application.Init());
        for (int frame = 0; frame < 60; ++frame) {
            application.UpdateFrame();
            application.Render();
        }
        lv::graphics::CRenderer& renderer = application.GetRenderer();
        ASSERT_TRUE(renderer.BeginFrame());
        application.Draw(renderer);
        renderer.Flush();
        u32* read = nullptr;
        ASSERT_TRUE(renderer.ReadPixels(read, width, height, CIntRect()));
        actual.assign(read, read + width * height);
        std::free(read);
        renderer.EndFrame();
        application.Shutdown();
    }
    ASSERT_EQ(width, 1366u);
    ASSERT_EQ(height, 768u);
    for (DWORD& p : actual)
        p |= 0xFF000000u; // the back buffer has no alpha

    const std::filesystem::path golden =
        std::filesystem::path(__FILE__).parent_path() / "golden" / "demo_main_menu.png";
    const char* update = std::getenv("GAME_UPDATE_GOLDEN");
    if (update && *update == '1') {
        std::filesystem::create_directories(golden.parent_path());
        ASSERT_TRUE(lv::platform::test::WritePng(golden.string(), width, height, actual));
        GTEST_SKIP() << "reference written to " << golden;
    }
    UINT gw = 0, gh = 0;
    std::vector<DWORD> expected;
    ASSERT_TRUE(lv::platform::test::ReadPng(golden.string(), gw, gh, expected)) << golden;
    ASSERT_EQ(gw, width);
    ASSERT_EQ(gh, height);
    u32 different = 0, first = 0;
    for (u32 i = 0; i < expected.size(); ++i)
        if (expected[i] != actual[i] && different++ == 0)
            first = i;
    if (different) {
        const char* tmp = std::getenv("GAME_TEST_TMP");
        const std::filesystem::path out =
            std::filesystem::path(tmp && *tmp ? tmp : testing::TempDir()) / "demo_main_menu.actual.png";
        lv::platform::test::WritePng(out.string(), width, height, actual);
        ADD_FAILURE() << "see " << out << ": " << different << " pixels differ, the first at (" << first % width
                      << ", " << first / width << "): " << std::hex << actual[first] << " instead of "
                      << expected[first];
    }
}
