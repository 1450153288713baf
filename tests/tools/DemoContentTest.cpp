// The demo's built content, read from the game.pack the build puts beside the program, through
// the game's own loaders: every name the game's code asks for is there.
#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "anim/ClipManager.h"
#include "core/FileSystem.h"
#include "core/Settings.h"
#include "core/StringTable.h"
#include "graphics/DeclarationSet.h"
#include "graphics/Font.h"
#include "graphics/FontManager.h"
#include "graphics/TextureDeclarations.h"
#include "graphics/TextureManager.h"
#include "gui/WidgetFactory.h"
#include "gui/Window.h"
#include "qe/Quest.h"
#include "qe/QuestData.h"
#include "qe/Scene.h"
#include "qe/SceneObject.h"
#include "qe/ScriptData.h"
#include "sound/SoundDeclarationRecord.h"
#include "sound/SoundDeclarations.h"

namespace {

// The game reads "game.pack" from its working folder; each test runs in its own process.
class DemoContent : public testing::Test
{
protected:
    static void SetUpTestSuite()
    {
        std::error_code ec;
        std::filesystem::current_path(GAME_PROGRAM_FOLDER, ec);
        ASSERT_FALSE(ec) << GAME_PROGRAM_FOLDER;
        ASSERT_TRUE(std::filesystem::exists("game.pack")) << "build the demo_content target";
    }

    static std::string Text(const char* path)
    {
        u32 size = 0;
        const u8* data = lv::core::CFileSystem::Instance().LoadFile(path, &size);
        return data ? std::string(reinterpret_cast<const char*>(data), size) : std::string();
    }

    // The "GUITemplates" and "GUI" sections, loaded as the game loads them.
    static void LoadGui(lv::core::CSettings& settings)
    {
        ASSERT_TRUE(settings.LoadXmlText(Text("properties/guitemplates.xml")));
        ASSERT_TRUE(settings.LoadXmlText(Text("properties/gui.xml")));
    }

    static void LoadImages()
    {
        lv::graphics::CTextureDeclarations& declarations = lv::graphics::CTextureDeclarations::Instance();
        ASSERT_TRUE(declarations.Load());
        lv::graphics::CTextureManager::Instance().Init(&declarations);
    }
};

struct CWindowCase
{
    const char* id;
    std::vector<const char*> children;
};

} // namespace

TEST_F(DemoContent, HoldsTheFixedStringsInEveryLanguage)
{
    lv::core::CStringTable& strings = lv::core::CStringTable::Instance();
    strings.Load();
    for (s32 id : {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 13, 14, 15, 16, 17, 272, 453, 1883}) {
        const WChar* text = strings.GetString(id);
        ASSERT_NE(text, nullptr) << id;
        EXPECT_NE(text[0], 0) << id;
    }
    EXPECT_TRUE(lv::core::CFileSystem::Instance().FileExists("!langs/de/properties/strings.bindump"));
}

TEST_F(DemoContent, DeclaresTheFontsImagesAndSoundsTheGameAsksFor)
{
    LoadImages();
    // The menus' and dialogs', the game window's, the HUD's and the cursors' images.
    for (const char* image : {"main_menu_bg",
                              "window_bg",
                              "windows_button",
                              "small_button",
                              "windows_window_standart",
                              "hall_bg",
                              "room2_bg",
                              "lamp",
                              "font_font_16",
                              "font_font_14",
                              "font_cheatfont",
                              "game_menu_button",
                              "skip_button",
                              "menu_back_1",
                              "menu_back_2",
                              "menu_back_3",
                              "gui_park_inventory_inventory_interact",
                              "gui_cursors_pointer",
                              "gui_cursors_hand",
                              "gui_cursors_text",
                              "gui_cursors_hourglass",
                              "gui_cursors_pointer_item",
                              "gui_cursors_pointer_gear",
                              "gui_cursors_magnifier",
                              "gui_cursors_magnifier_puzzle",
                              "gui_cursors_arrow",
                              "gui_cursors_empty",
                              "gui_cursors_icon_gear",
                              "gui_cursors_icon_gear_anim",
                              "gui_cursors_icon_magnifier",
                              "gui_cursors_icon_puzzle",
                              "gui_cursors_icon_empty",
                              "gui_cursors_pointer_item_ring"}) {
        lv::graphics::CImageHandle* handle = lv::graphics::CTextureManager::Instance().GetImage(image);
        EXPECT_NE(handle, nullptr) << image;
    }

    std::unique_ptr<lv::graphics::CDeclarationSet> fonts = lv::graphics::CDeclarationSet::Create();
    fonts->LoadFile("properties/fonts.xml", nullptr);
    lv::core::CFontManager::Instance()->LoadAll(*fonts, nullptr);
    for (const char* font : {"font_16", "font_14", "cheatfont"})
        EXPECT_NE(lv::core::CFontManager::Instance()->FindFont(font), nullptr) << font;
    // The interface fonts also write the German texts.
    for (const char* font : {"font_16", "font_14"}) {
        const lv::graphics::CFont* loaded = lv::core::CFontManager::Instance()->FindFont(font);
        ASSERT_NE(loaded, nullptr) << font;
        for (const WChar letter : {u'A', u'z', u'\'', u'&', u'<', u'\u00FC', u'\u00DF', u'\u00C4'})
            EXPECT_NE(loaded->FindGlyph(letter), nullptr) << font << " " << int(letter);
    }

    lv::sound::CSoundDeclarations sounds;
    ASSERT_TRUE(sounds.Load());
    std::set<std::string> declared;
    for (u32 i = 0; i < sounds.GetCount(); ++i) {
        lv::sound::CSoundDeclarationRecord record;
        ASSERT_TRUE(sounds.GetRecord(i, record));
        declared.insert(record.m_Id.GetText());
        EXPECT_TRUE(lv::core::CFileSystem::Instance().FileExists(record.m_File.GetText()))
            << record.m_File.GetText();
    }
    for (const char* sound :
         {"gui_button_press", "gui_window_open_close", "main_menu_options", "gui_mini_game_completed",
          "main_menu", "gui_inv_show_hide", "gui_add_to_inventory", "gui_take_cursor", "gui_notepad_add"})
        EXPECT_TRUE(declared.count(sound)) << sound;

    // The inventory's skins in the four interface looks, the band behind its items and the
    // tutorial's first tip.
    lv::misc::anim::CClipManager& clips = lv::misc::anim::CClipManager::Instance();
    ASSERT_TRUE(clips.Load());
    for (const char* clip : {"game_inventory_1", "game_inventory_2", "game_inventory_3", "game_inventory_4",
                             "game_inventory_back", "tutorial_0", "sprite_bounce"})
        EXPECT_NE(clips.FindClip(clip), nullptr) << clip;
}

TEST_F(DemoContent, BuildsEveryWindowWithItsNamedWidgets)
{
    LoadImages();
    lv::gui::CWidgetFactory::RegisterWidgetTypes();
    lv::core::CSettings settings;
    LoadGui(settings);
    const CWindowCase windows[] = {
        {"main_menu_window",
         {"play_button", "quit_button", "options_button", "extras_button", "welcome_label"}},
        {"generic_dialog_without_title",
         {"message_label", "ok_button", "cancel_button", "yes_button", "no_button"}},
        {"generic_dialog_with_title",
         {"title_label", "message_label", "ok_button", "cancel_button", "yes_button", "no_button"}},
        {"options_window", {"ok_button"}},
        {"extras_window", {"back_btn"}},
        {"main_game_window",
         {"skip_tutorial", "skip_btn", "menu_button", "menu_back_1", "menu_back_2", "menu_back_3",
          "back_button"}},
        {"game_menu_window", {"resume_btn", "options_btn", "extras_btn", "main_menu_btn"}},
    };
    for (const CWindowCase& c : windows) {
        lv::gui::CWindow::Ptr window(new lv::gui::CWindow());
        ASSERT_TRUE(
            window->LoadWindow(settings.GetChild("GUI", true), settings.GetChild("GUITemplates", true), c.id))
            << c.id;
        for (const char* child : c.children)
            EXPECT_NE(window->FindChild(CFixedString(child), true), nullptr) << c.id << " / " << child;
    }
    // A window's buttons take their look, frames and sound from the template.
    lv::gui::CWindow::Ptr menu(new lv::gui::CWindow());
    ASSERT_TRUE(menu->LoadWindow(settings.GetChild("GUI", true), settings.GetChild("GUITemplates", true),
                                 "main_menu_window"));
    const lv::gui::CBaseWidget::Ptr play = menu->FindChild(CFixedString("play_button"), true);
    ASSERT_NE(play, nullptr);
    EXPECT_EQ(play->GetSize().X, 240.0f);
    EXPECT_EQ(play->GetSize().Y, 56.0f);
}

TEST_F(DemoContent, TheDemoQuestStartsInTheHall)
{
    LoadImages();
    qe::CQuestData& data = qe::CQuestData::Instance();
    ASSERT_TRUE(data.Load());
    ASSERT_GE(data.GetQuestCount(), 1);
    ASSERT_FALSE(data.IsBuiltFromXml()) << "the content build compiles the quest";
    std::unique_ptr<qe::CQuest> quest(data.CreateQuest("demo", nullptr, nullptr));
    ASSERT_NE(quest, nullptr);
    const qe::CScene* hall = quest->GetStartScene();
    ASSERT_NE(hall, nullptr);
    EXPECT_STREQ(hall->GetName().GetText(), "hall");
    EXPECT_EQ(hall->GetSize().X, 1366);
    EXPECT_EQ(hall->GetSize().Y, 768);
    EXPECT_EQ(hall->GetWorkArea(), CIntRect(171, 0, 1024, 768));
    ASSERT_GE(hall->GetObjectCount(), 1);
    // The first object is the nearest; the background lies behind all.
    EXPECT_STREQ(hall->GetObject(hall->GetObjectCount() - 1)->GetName().GetText(), "background");

    qe::CScriptData& scripts = qe::CScriptData::Instance();
    ASSERT_TRUE(scripts.Load());
    EXPECT_TRUE(scripts.FindQuest(CFixedString("demo")).IsValid());
}
