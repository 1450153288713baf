#include "game/play/GameCommandTestSupport.h"

#include "game/play/GameCommandArgs.h"

#include <cfloat>
#include <typeinfo>

using gamecommandtest::GameCommandFixture;
using gamecommandtest::Named;

namespace {

using game::CGameCommandArgs;

TEST(GameCommandArgs, IntegersAreTheLeadingDigitsHeldAtThe32BitLimits)
{
    const struct
    {
        const char* text;
        s32 value;
    } cases[] = {
        {" -12x", -12},         {"x", 0},       {"", 0},
        {"99999999999", 2147483647}, {"-99999999999", -2147483647 - 1},
        {"2147483647", 2147483647}, {"2147483648", 2147483647}, {"-2147483648", -2147483647 - 1},
        {"+7", 7},              {"\t\n 42 13", 42}, {"- 5", 0}, {"--5", 0}, {"0x1F", 0},
        {"000000000000000000000000000012", 12},
    };
    for (const auto& c : cases)
        EXPECT_EQ(CGameCommandArgs::ParseInt(c.text), c.value) << '"' << c.text << '"';
    EXPECT_EQ(CGameCommandArgs::ParseInt(nullptr), 0);
}

TEST(GameCommandArgs, FloatsAreTheLeadingPlainDecimalNumber)
{
    const struct
    {
        const char* text;
        float value;
    } cases[] = {
        {"1.5e2x", 150.0f}, {" .5", 0.5f}, {"-2.", -2.0f}, {"+3", 3.0f}, {"3e", 3.0f}, {"4e+", 4.0f},
        {"e5", 0.0f},       {".", 0.0f},   {"0x10", 0.0f}, {"inf", 0.0f}, {"nan", 0.0f}, {"", 0.0f},
        {"1e999", FLT_MAX}, {"-1e999", -FLT_MAX}, {"250.25 ms", 250.25f},
    };
    for (const auto& c : cases)
        EXPECT_EQ(CGameCommandArgs::ParseFloat(c.text), c.value) << '"' << c.text << '"';
}

TEST(GameCommandArgs, OnlyTrueItselfIsTrue)
{
    EXPECT_TRUE(CGameCommandArgs::IsTrue("true"));
    for (const char* text : {"True", "TRUE", "true ", " true", "1", "yes", ""})
        EXPECT_FALSE(CGameCommandArgs::IsTrue(text)) << text;
    EXPECT_FALSE(CGameCommandArgs::IsTrue(nullptr));
}

TEST(GameCommandArgs, ArgumentsPastTheCountReadEmpty)
{
    const std::vector<u8> data = lv::content::CQuestScriptWriter::BuildCommand(Named("x", {"true", "7"}));
    const CGameCommandArgs args{qe::scripts::CCommandRecord(data.data())};
    EXPECT_EQ(args.GetCount(), 2u);
    EXPECT_TRUE(args.GetBool(0));
    EXPECT_EQ(args.GetInt(1), 7);
    EXPECT_STREQ(args.GetName(1), "a2");
    EXPECT_STREQ(args.GetText(2), "");
    EXPECT_STREQ(args.GetName(2), "");
    EXPECT_TRUE(args.IsEmpty(5));
    EXPECT_EQ(args.GetInt(3), 0);
}

using GameCommands = GameCommandFixture;

TEST_F(GameCommands, ThePathRulesFindTheirObjects)
{
    const std::unique_ptr<qe::scripts::CCommandBase> command = Make(Named("popup_clipping", {"true"}));
    ASSERT_NE(command, nullptr);
    qe::CSceneObject* whole = Object("hall/g.c");
    qe::CSceneObject* child = Child("hall/g", "c");
    ASSERT_NE(whole, nullptr);
    ASSERT_NE(child, nullptr);
    ASSERT_NE(whole, child);
    // Rule P: after the scene, the whole rest is one name; without a slash the own lookup.
    EXPECT_EQ(game::FindObjectByScenePath(*command, "hall/g.c"), whole);
    EXPECT_EQ(game::FindObjectByScenePath(*command, "g.c"), child);
    EXPECT_EQ(game::FindObjectByScenePath(*command, "room2/far"), Object("room2/far"));
    EXPECT_EQ(game::FindObjectByScenePath(*command, "nowhere/box"), nullptr);
    EXPECT_EQ(game::FindObjectByScenePath(*command, "hall/"), nullptr);
    // Rule F: group "." child, with or without the scene.
    EXPECT_EQ(game::FindObjectByPath(*command, "hall/g.c"), child);
    EXPECT_EQ(game::FindObjectByPath(*command, "g.c"), child);
    EXPECT_EQ(game::FindObjectByPath(*command, "box"), Object("hall/box"));
    // Rule S: a plain name in the own scene only.
    EXPECT_EQ(game::FindObjectByName(*command, "g.c"), whole);
    EXPECT_EQ(game::FindObjectByName(*command, "far"), nullptr);
    EXPECT_EQ(game::FindObjectByName(*command, "hall/box"), nullptr);
    EXPECT_EQ(game::FindObjectByName(*command, std::string(200, 'b').c_str()), nullptr);
    EXPECT_EQ(game::GetGameWindowOf(*command), Window.get());
}

TEST_F(GameCommands, TheRegistryAnswersTheBuiltNamesAndTheBuiltIns)
{
    qe::scripts::CCommandFactory& registry = qe::scripts::CCommandFactory::Instance();
    for (const char* name : {"hide", "show", "sleep", "play_sound", "play_animation", "stop_video", "open_scene",
                             "close_miniscene", "complete_level", "hog_toggle", "hog_clear_obj", "hog_invert_obj",
                             "enable", "disable", "restore", "tutorial_inc", "open_scene_no_fade", "next_level",
                             "popup_clipping", "hidden_click", "go_to_main_menu", "end_main_part", "end_bonus_part", "set_stream",
                             "action_hog_obj_state", "action_hog_obj_remove", "recieve_achive",
                             "end_extras_minigame"})
        EXPECT_TRUE(registry.IsRegistered(name)) << name;
    EXPECT_FALSE(registry.IsRegistered("receive_achieve"));
}

// Every name of the game and the engine's six: the full registry once all families are in.
TEST_F(GameCommands, TheRegistryAnswersAll48NamesAndTheSixBuiltIns)
{
    const char* const names[] = {
        "take", "say_bubble", "say", "add_note", "cut_scene", "remove", "open_scene", "close_miniscene",
        "complete_level", "take_to_cursor", "hog_toggle", "hog_clear_obj", "hog_invert_obj", "play_anim_ex",
        "stop_sound", "play_sound_ex", "enable", "disable", "restore", "clear_cursor", "back_sound_enable",
        "clip_sound", "tutorial_inc", "open_scene_no_fade", "sync_start", "hidden_click", "next_level", "stop_music",
        "popup_clipping", "take_special", "go_to_main_menu", "end_main_part", "end_bonus_part", "disable_hide_hud",
        "set_stream", "set_inventory_mode", "action_hog_obj_state", "action_hog_obj_remove", "finish_action_hog",
        "finish_text_hog", "take_interactive", "text_hog_decrement", "lock_map_scene", "add_task", "recieve_achive",
        "take_candy", "key_view_delay", "end_extras_minigame"};
    static_assert(sizeof(names) / sizeof(names[0]) == 48);
    qe::scripts::CCommandFactory& registry = qe::scripts::CCommandFactory::Instance();
    for (const char* name : names)
        EXPECT_TRUE(registry.IsRegistered(name)) << name;
    EXPECT_EQ(registry.GetNames().size(), 54u);
    const std::unique_ptr<qe::scripts::CCommandBase> action = Make(Named("finish_action_hog", {"box", "t"}));
    const std::unique_ptr<qe::scripts::CCommandBase> text = Make(Named("finish_text_hog", {"box", "t"}));
    ASSERT_NE(action, nullptr);
    ASSERT_NE(text, nullptr);
    EXPECT_EQ(typeid(*action), typeid(*text));
}

TEST_F(GameCommands, FiveCommandsThatFinishAtOnceRunInTheFrameTheirSequenceStarts)
{
    Object("hall/box")->AddFlags(qe::CSceneObject::kDisabled);
    const std::unique_ptr<qe::scripts::CCommandBase> sequence = Make(lv::content::SScriptCommand::Node(
        lv::content::SScriptCommand::EType::Sequence,
        {Named("enable", {"box"}), Named("hog_clear_obj", {"pic"}), Named("popup_clipping", {"true"}),
         Named("hog_invert_obj", {"g.c"}), Named("complete_level", {})}));
    ASSERT_NE(sequence, nullptr);
    EXPECT_TRUE(sequence->IsFinished());
    EXPECT_EQ(Object("hall/box")->GetFlags(), 0);
    EXPECT_EQ(Object("hall/pic")->GetFlags(), 3);
    EXPECT_TRUE(Window->GetPopupClipping());
    EXPECT_EQ(Child("hall/g", "c")->GetFlags(), 3);
    EXPECT_TRUE(Window->IsLevelCompleted());
}

TEST_F(GameCommands, ACommandGivenAnotherCountDoesNothingAndFinishes)
{
    Object("hall/box")->SetFlags(1);
    Window->SetPopupClipping(true);
    Run("enable", {"box", "x"});
    Run("enable", {});
    Run("hog_toggle", {"box", "x", "y"});
    Run("open_scene", {"room2", "x"});
    Run("close_miniscene", {});
    Run("popup_clipping", {"false", "false"});
    Run("set_stream", {});
    Run("next_level", {"1", "2"});
    Run("tutorial_inc", {"3", "3"});
    Run("recieve_achive", {});
    EXPECT_EQ(Object("hall/box")->GetFlags(), 1);
    EXPECT_TRUE(Window->GetPopupClipping());
    EXPECT_EQ(Window->GetRequestedQuestIndex(), -1);
    EXPECT_EQ(Window->GetTutorialStep(), -1);
    Frames(30, 16);
    EXPECT_STREQ(MainScene(), "hall");
}

} // namespace
