#pragma once
// A game window over fixtures made at test time: an application (for the root and the debug
// level) in a folder of its own, a GUI with the game window's template, quest data of a few
// records with scripts, a profile store with one current profile, and a hand-driven clock.
#include "core/TempFolder.h"

#include "app/Application.h"
#include "core/FixedWString.h"
#include "core/Log.h"
#include "core/Settings.h"
#include "core/TextConvert.h"
#include "core/TimeSystem.h"
#include "game/frontend/MainMenuWindow.h"
#include "game/frontend/ProfileManager.h"
#include "game/hud/Hud.h"
#include "game/play/GameWindow.h"
#include "gui/GuiServices.h"
#include "gui/InputDispatcher.h"
#include "gui/WidgetFactory.h"
#include "platform/SystemInfo.h"
#include "qe/CommandBase.h"
#include "qe/QuestData.h"
#include "qe/ScriptData.h"
#include "sound/AudioManager.h"
#include "sound/RecordingVoicePool.h"
#include "sound/SoundDeclarations.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <string>

namespace gamewindowtest {

// The game window's template: its buttons at fixed sizes, the pause menu and the options and
// extras windows it opens.
inline const char* WindowGui(bool withChildren)
{
    if (!withChildren)
        return R"(<?xml version="1.0"?>
<root><GUI><window id="main_game_window"/><window id="game_menu_window"/></GUI><GUITemplates/></root>)";
    return R"(<?xml version="1.0"?>
<root>
<GUI>
  <window id="main_game_window">
    <button_widget id="skip_tutorial" width="120" height="30"/>
    <button_widget id="skip_btn" width="100" height="40"/>
    <button_widget id="menu_button" width="90" height="50"/>
    <button_widget id="back_button" width="110" height="44"/>
    <button_widget id="menu_back_1" width="60" height="20"/>
    <button_widget id="menu_back_2" width="60" height="20"/>
    <button_widget id="menu_back_3" width="60" height="20"/>
  </window>
  <window id="game_menu_window" width="400" height="300">
    <button_widget id="resume_btn" width="100" height="30"/>
    <button_widget id="options_btn" width="100" height="30"/>
    <button_widget id="extras_btn" width="100" height="30"/>
    <button_widget id="main_menu_btn" width="100" height="30"/>
  </window>
  <window id="options_window" width="500" height="400"><button_widget id="ok_button" width="80" height="30"/></window>
  <window id="extras_window" width="500" height="400"><button_widget id="back_btn" width="80" height="30"/></window>
</GUI>
<GUITemplates/>
</root>)";
}

// Quest records "q0" .. "q<n-1>": scene "hall" (start) and "room2" in each, and in "q0" an area
// "box" whose action block hides "lamp", an area "chest" whose block sleeps 20 s, and "close_over"
// and "close_normal". A record
// listed in brokenRecord has no start scene.
inline std::string QuestXml(int records, int brokenRecord = -1)
{
    std::string structure, content;
    for (int i = 0; i < records; ++i)
    {
        const std::string q = std::to_string(i);
        structure += "<quest id=\"q" + q + "\">";
        structure += "<scene id=\"hall\" guid=\"" + q + "1\" flags=\"" + (i == brokenRecord ? "0" : "1") +
                     "\" size=\"1366 768\" work_area=\"0 0 1366 768\"/>";
        structure += "<scene id=\"room2\" guid=\"" + q + "2\" size=\"1366 768\" work_area=\"0 0 1366 768\"/>";
        structure += "</quest>";
        content += "<scene_content guid=\"" + q + "1\"><objects>";
        if (i == 0)
        {
            content += R"(<area id="box" guid="b1" offset="120 120" size="40 40"><point offset="100 100"/><point offset="140 100"/><point offset="140 140"/><point offset="100 140"/></area>
<area id="chest" guid="b5" offset="320 120" size="40 40"><point offset="300 100"/><point offset="340 100"/><point offset="340 140"/><point offset="300 140"/></area>
<image id="lamp" guid="b2" image_id="lamp" offset="500 300" size="10 10"/>
<area id="close_over" guid="b3" offset="1220 70" size="40 40"><point offset="1200 50"/><point offset="1240 50"/><point offset="1240 90"/><point offset="1200 90"/></area>
<area id="close_normal" guid="b4" offset="1220 70" size="40 40"><point offset="1200 50"/><point offset="1240 50"/><point offset="1240 90"/><point offset="1200 90"/></area>)";
        }
        content += "</objects><scripts>";
        if (i == 0)
        {
            content += R"(<action_block guid="c1" id="take box" object="box" active_object=""><correct_commands><hide a1="lamp"/></correct_commands></action_block>)";
            content += R"(<action_block guid="c2" id="open chest" object="chest" active_object=""><correct_commands><sleep a1="20000"/></correct_commands></action_block>)";
        }
        content += "</scripts></scene_content>";
        content += "<scene_content guid=\"" + q + "2\"><objects/></scene_content>";
    }
    return "<?xml version=\"1.0\"?><quest_data><Structure>" + structure + "</Structure>" + content + "</quest_data>";
}

class CTestApplication : public lv::core::CApplication
{
};

class GameWindowFixture : public testing::Test
{
protected:
    void SetUp() override
    {
        m_SavedDirectory = std::filesystem::current_path();
        Folder.Write("program/game.xml", std::string("<?xml version=\"1.0\"?><settings company=\"Lumivane\" "
                                                     "product=\"Window Test\" version=\"100\" debug=\"") +
                                             (DebugLevel() ? "1" : "0") + "\"/>");
        std::filesystem::current_path(Folder.Path() / "program");
        lv::platform::SetEnvironmentValue("XDG_DATA_HOME", (Folder.Path() / "data").c_str());
        Application = MakeApplication();

        lv::gui::CWidgetFactory::RegisterWidgetTypes();
        ASSERT_TRUE(Gui.LoadXmlText(WindowGui(WithChildren())));
        lv::gui::CGuiServices& gui = lv::gui::CGuiServices::Instance();
        gui.Reset();
        gui.Settings = [this] { return &Gui; };
        gui.Time = [this] { return Clock.GetTime(); };

        game::CGameWindow::SetClock(&Clock);
        game::CGameWindow::SetAudio(&Audio);
        game::CHud::SetClock(&Clock);
        qe::scripts::CCommandBase::SetTimeSystem(&Clock);

        std::filesystem::create_directories(Folder.Path() / "saves");
        game::CProfileManager* profiles =
            game::CProfileManager::CreateInstance(game::CProfileManager::Folder(Utf8ToWide(Folder / "saves").c_str()));
        profiles->SetCurrentProfile(profiles->AddProfile(u"Tester"));
        LoadQuests(QuestXml(2));
        Clock.Tick();
    }

    void TearDown() override
    {
        Window.reset();
        if (Application)
        {
            Application->GetInputDispatcher().SetRoot(nullptr);
            Application->GetInputDispatcher().Release();
        }
        Application.reset();
        lv::core::CLog::Instance().Close();
        qe::CQuestData::Instance().Clear();
        qe::CScriptData::Instance().Release();
        game::CProfileManager::DestroyInstance();
        game::CGameWindow::SetClock(nullptr);
        game::CGameWindow::SetAudio(nullptr);
        game::CHud::SetClock(nullptr);
        qe::scripts::CCommandBase::SetTimeSystem(nullptr);
        lv::gui::CGuiServices::Instance().Reset();
        std::filesystem::current_path(m_SavedDirectory);
    }

    virtual std::unique_ptr<lv::core::CApplication> MakeApplication() { return std::make_unique<CTestApplication>(); }
    virtual bool DebugLevel() const { return false; }
    virtual bool WithChildren() const { return true; }

    void LoadQuests(const std::string& xml)
    {
        ASSERT_TRUE(qe::CQuestData::Instance().BuildFromXmlText(xml));
        ASSERT_TRUE(m_QuestSettings.LoadXmlText(xml));
        qe::CScriptData::Instance().Compile(m_QuestSettings.GetFirstChild());
    }

    // A new window, made the root (and the dispatcher updated so it is).
    game::CGameWindow& MakeWindow()
    {
        Window.reset(new game::CGameWindow());
        SetRoot(Window);
        return *Window;
    }
    void SetRoot(const lv::gui::CBaseWindow::Ptr& window)
    {
        Application->GetInputDispatcher().SetRoot(window);
        Application->GetInputDispatcher().Update();
    }
    lv::gui::CBaseWindow::Ptr Root()
    {
        Application->GetInputDispatcher().Update();
        return Application->GetInputDispatcher().GetRoot();
    }
    game::CMainMenuWindow* RootMenu() { return dynamic_cast<game::CMainMenuWindow*>(Root().get()); }

    // One frame of ms milliseconds.
    void Frame(s32 ms)
    {
        Now += ms;
        Clock.Tick();
        Window->Update();
        Audio.Update();
    }
    void Frames(s32 count, s32 ms)
    {
        for (s32 i = 0; i < count; ++i)
            Frame(ms);
    }

    // Declares sounds (their files are dummies) in the window's audio manager.
    void DeclareSounds(const std::string& body, const std::vector<std::string>& files)
    {
        for (const std::string& file : files)
            Folder.Write("program/" + file, "dummy");
        Folder.Write("program/properties/sounds.xml", "<?xml version=\"1.0\"?>\n<sounds>" + body + "</sounds>\n");
        lv::sound::CSoundDeclarations declarations;
        ASSERT_TRUE(declarations.Load());
        Audio.LoadSoundTypes(declarations);
    }

    lv::gui::CBaseWidget* Child(const char* name) { return Window->FindChild(CFixedString(name), true).get(); }
    bool Shown(const char* name)
    {
        lv::gui::CBaseWidget* child = Child(name);
        return child && (child->GetFlags() & lv::gui::CBaseWidget::Hidden) == 0;
    }
    void Press(const char* name) { Window->OnEvent("pressed", Child(name)); }
    bool Click(s32 x, s32 y, s32 button = 0) { return Window->OnMouseDown(CPoint2i(x, y), button, 0, 0); }

    WString SavePath(const char* suffix = "")
    {
        game::CProfileManager* profiles = game::CProfileManager::Instance();
        WChar buffer[game::CProfileManager::kPathCapacity];
        EXPECT_TRUE(profiles->GetSaveFilePath(profiles->GetCurrentProfile(), buffer, game::CProfileManager::kPathCapacity));
        return WString(buffer) + Utf8ToWide(suffix);
    }
    std::string SavePathText(const char* suffix = "") { return WideToUtf8(SavePath(suffix)); }

    CTempFolder Folder;
    double Now = 0.0;
    lv::core::CTimeSystem Clock{[this] { return Now; }};
    CRecordingVoicePool Pool;
    lv::sound::CAudioManager Audio{Clock, &Pool};
    std::unique_ptr<lv::core::CApplication> Application;
    lv::core::CSettings Gui;
    game::CGameWindow::Ptr Window;

private:
    lv::core::CSettings m_QuestSettings;
    std::filesystem::path m_SavedDirectory;
};

} // namespace gamewindowtest
