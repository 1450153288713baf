// The pause menu over the game window: its place, resume, the options and extras windows opened
// over it, and the way back to the main menu.
#include "GameWindowTestSupport.h"

#include "game/frontend/ExtrasWindow.h"
#include "game/frontend/OptionsWindow.h"
#include "game/play/GameOptionsWindow.h"

#include <gtest/gtest.h>

#include <string>

namespace {

class PauseMenu : public gamewindowtest::GameWindowFixture
{
protected:
    // The window started, with the pause menu open from "menu_button".
    lv::gui::CBaseWindow::Ptr OpenPauseMenu()
    {
        MakeWindow();
        EXPECT_TRUE(Window->StartGame(false, false, false, false));
        Frame(16);
        Press("menu_button");
        lv::gui::CBaseWindow::Ptr menu = Window->GetModalWindow();
        EXPECT_NE(dynamic_cast<game::CGameOptionsWindow*>(menu.get()), nullptr);
        return menu;
    }
    static void PressIn(const lv::gui::CBaseWindow::Ptr& window, const char* name)
    {
        const lv::gui::CBaseWidget::Ptr button = window->FindChild(CFixedString(name), true);
        ASSERT_TRUE(button) << name;
        window->OnEvent("pressed", button.get());
    }
    CRecordingVoice* VoiceOf(const char* file)
    {
        for (const auto& voice : Pool.m_Voices)
            if (voice->m_OpenedFile.find(file) != std::string::npos)
                return voice.get();
        return nullptr;
    }
};

TEST_F(PauseMenu, IsCentredOnTheDesignSizeInItsParentsCoordinates)
{
    MakeWindow();
    ASSERT_TRUE(Window->StartGame(false, false, false, false));
    Window->SetPosition(30, 20);
    Press("menu_button");
    const lv::gui::CBaseWindow::Ptr menu = Window->GetModalWindow();
    ASSERT_TRUE(menu);
    EXPECT_EQ(menu->GetPosition().X, (1366 - 400) / 2 - 30);
    EXPECT_EQ(menu->GetPosition().Y, (768 - 300) / 2 - 20);
}

TEST_F(PauseMenu, ResumeStopsItsSoundResumesTheOthersAndRefreshesTheMenuButtons)
{
    DeclareSounds(R"(<sound id="main_menu_options" file="options.ogg"/><sound id="wind" file="wind.ogg"/>)",
                  {"options.ogg", "wind.ogg"});
    MakeWindow();
    ASSERT_TRUE(Window->StartGame(false, false, false, false));
    Frame(16);
    Audio.Play("wind");
    Audio.Update();
    Press("menu_button");
    Audio.Update();
    const lv::gui::CBaseWindow::Ptr menu = Window->GetModalWindow();
    ASSERT_TRUE(menu);
    CRecordingVoice* wind = VoiceOf("wind");
    CRecordingVoice* options = VoiceOf("options");
    ASSERT_TRUE(wind && options);
    EXPECT_EQ(wind->m_State, CRecordingVoice::StatePaused);
    EXPECT_EQ(options->m_State, CRecordingVoice::StatePlaying);
    ASSERT_TRUE(Shown("menu_back_1"));
    Child("menu_back_1")->AddFlags(lv::gui::CBaseWidget::Hidden);

    PressIn(menu, "resume_btn");
    Audio.Update();
    EXPECT_EQ(wind->m_State, CRecordingVoice::StatePlaying);
    EXPECT_TRUE(options->IsStopped());
    EXPECT_FALSE(Window->IsGamePaused());
    EXPECT_FALSE(Window->IsPauseMenuOpen());
    EXPECT_TRUE(Shown("menu_back_1")); // the menu buttons were refreshed
    EXPECT_TRUE(menu->GetFlags() & lv::gui::CBaseWidget::Closed);
    Frame(16);
    EXPECT_EQ(Window->GetModalWindow(), nullptr);
}

TEST_F(PauseMenu, OptionsAndExtrasOpenOverItAndCloseBackToIt)
{
    const lv::gui::CBaseWindow::Ptr menu = OpenPauseMenu();
    ASSERT_TRUE(menu);
    struct SCase
    {
        const char* Button;
        const char* Close;
    };
    for (const SCase& c : {SCase{"options_btn", "ok_button"}, SCase{"extras_btn", "back_btn"}})
    {
        PressIn(menu, c.Button);
        const lv::gui::CBaseWindow::Ptr over = menu->GetModalWindow();
        ASSERT_TRUE(over) << c.Button;
        if (std::string(c.Button) == "options_btn")
            EXPECT_NE(dynamic_cast<game::COptionsWindow*>(over.get()), nullptr);
        else
            EXPECT_NE(dynamic_cast<game::CExtrasWindow*>(over.get()), nullptr);
        PressIn(over, c.Close);
        Frame(16);
        EXPECT_EQ(menu->GetModalWindow(), nullptr) << c.Button;
        EXPECT_EQ(Window->GetModalWindow(), menu) << c.Button;
        EXPECT_TRUE(Window->IsGamePaused()) << c.Button;
    }
}

TEST_F(PauseMenu, MainMenuButtonReturnsThroughReturnToMainMenu)
{
    const lv::gui::CBaseWindow::Ptr menu = OpenPauseMenu();
    ASSERT_TRUE(menu);
    const s32 writes = Window->GetSaveWriteCount();
    PressIn(menu, "main_menu_btn");
    EXPECT_FALSE(Window->IsGamePaused());
    EXPECT_FALSE(Window->IsPauseMenuOpen());
    EXPECT_EQ(Window->GetSaveWriteCount(), writes + 1);
    EXPECT_NE(RootMenu(), nullptr);
}

} // namespace
