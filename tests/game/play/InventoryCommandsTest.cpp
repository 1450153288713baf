#include "game/play/GameWindowTestSupport.h"
#include "graphics/LogCapture.h"

#include "content/QuestScriptWriter.h"
#include "core/MessageBox.h"
#include "game/hud/Hud.h"
#include "game/play/GameCommands.h"
#include "game/play/HudCommands.h"
#include "game/play/InventoryCommands.h"
#include "qe/CommandFactory.h"
#include "qe/Quest.h"
#include "qe/Scene.h"
#include "qe/SceneObject.h"

#include <deque>
#include <typeinfo>

using gamewindowtest::GameWindowFixture;
using lv::content::SScriptArgument;
using lv::content::SScriptCommand;

namespace {

// Record "q0": the hall with items, candies and special objects, a hidden-object room with two
// action-search groups and a text-search group, and the keys' cache.
std::string ItemQuestXml()
{
    const auto image = [](const std::string& id, const std::string& guid, s32 x, s32 y, s32 flags = 0) {
        return "<image id=\"" + id + "\" guid=\"" + guid + "\" image_id=\"item\" offset=\"" + std::to_string(x) +
               " " + std::to_string(y) + "\" size=\"40 30\" object_flags=\"" + std::to_string(flags) + "\"/>";
    };
    const std::string hall = image("key", "h1", 200, 300) + image("coin", "h2", 300, 300) + image("pic", "h3", 50, 50) +
                             image("candy", "h4", 400, 200) + image("special", "h5", 500, 200) +
                             "<group id=\"box\" guid=\"h6\">" + image("__inv", "h7", 600, 400) + "</group>";
    std::string room;
    for (int i = 1; i <= 2; ++i) {
        const std::string n = std::to_string(i);
        room += "<group id=\"Action_hog_" + n + "\" guid=\"r" + n + "\">" + image("__inv", "ri" + n, 100 * i, 100, 2) +
                image("outline", "ro" + n, 100 * i, 100) + "</group>";
    }
    room += "<group id=\"Text_hog_a_3_77\" guid=\"rt\"></group>" + image("reward", "rw", 700, 500);
    return R"(<?xml version="1.0"?><quest_data><Structure><quest id="q0">
<scene id="hall" guid="1" flags="1" size="1366 768" work_area="0 0 1366 768"/>
<scene id="hog_room" guid="2" size="1366 768" work_area="0 0 1366 768"/>
<scene id="arch_cache" guid="3" size="1366 768" work_area="0 0 1366 768"/>
</quest></Structure>
<scene_content guid="1"><objects>)" +
           hall + R"(</objects></scene_content>
<scene_content guid="2"><objects>)" +
           room + R"(</objects></scene_content>
<scene_content guid="3"><objects>)" +
           image("Keys", "k1", 10, 10) + R"(</objects></scene_content>
</quest_data>)";
}

class InventoryCommands : public GameWindowFixture
{
protected:
    void SetUp() override
    {
        GameWindowFixture::SetUp();
        lv::core::SetQuietMessageBoxes(true);
        LoadQuests(ItemQuestXml());
        game::RegisterGameCommands();
        MakeWindow();
        ASSERT_TRUE(Window->StartGame(false, false, false, false));
        Frame(16);
    }

    game::CHud& Hud() { return Window->GetHud(); }
    game::CHudInventory& Inventory() { return Hud().GetInventory(); }
    qe::CSceneObject* Object(const char* path) { return Window->GetQuest()->FindObjectByPath(path); }
    qe::CScene* Scene(const char* name) { return Window->GetQuest()->FindScene(name); }

    // The command built from its record in the scene, as a running sequence would build it.
    std::unique_ptr<qe::scripts::CCommandBase> Make(const char* name, const std::vector<std::string>& values,
                                                    const char* scene = "hall")
    {
        std::vector<SScriptArgument> arguments;
        for (size_t i = 0; i < values.size(); ++i)
            arguments.push_back({"a" + std::to_string(i + 1), values[i]});
        m_Records.push_back(lv::content::CQuestScriptWriter::BuildCommand(SScriptCommand::Named(name, arguments)));
        return std::unique_ptr<qe::scripts::CCommandBase>(qe::scripts::CCommandFactory::Instance().Create(
            qe::scripts::CCommandRecord(m_Records.back().data()), Scene(scene), Window.get()));
    }
    // Runs a command that finishes in its constructor.
    void Run(const char* name, const std::vector<std::string>& values, const char* scene = "hall")
    {
        auto command = Make(name, values, scene);
        ASSERT_NE(command, nullptr) << name;
        EXPECT_TRUE(command->IsFinished()) << name;
    }

    std::deque<std::vector<u8>> m_Records;
};

TEST_F(InventoryCommands, RegisteredNamesBuildTheirClasses)
{
    struct SCase
    {
        const char* name;
        std::vector<std::string> values;
        const std::type_info& type;
    };
    const SCase cases[] = {
        {"take", {"nothing"}, typeid(game::CTakeCommand)},
        {"take_interactive", {}, typeid(game::CTakeInteractiveCommand)},
        {"take_to_cursor", {}, typeid(game::CTakeToCursorCommand)},
        {"clear_cursor", {}, typeid(game::CClearCursorCommand)},
        {"remove", {}, typeid(game::CRemoveCommand)},
        {"set_inventory_mode", {"normal"}, typeid(game::CSetInventoryModeCommand)},
        {"finish_action_hog", {}, typeid(game::CEndActionHOGCommand)},
        {"finish_text_hog", {}, typeid(game::CEndActionHOGCommand)},
        {"text_hog_decrement", {}, typeid(game::CTextHOGDecrementCommand)},
        {"key_view_delay", {}, typeid(game::CKeyDelayCommand)},
        {"say", {}, typeid(game::CSayCommand)},
        {"say_bubble", {}, typeid(game::CSayBubbleCommand)},
        {"add_note", {}, typeid(game::CAddNoteCommand)},
        {"add_task", {}, typeid(game::CTaskCommand)},
        {"lock_map_scene", {}, typeid(game::CMapSceneLockCommand)},
        {"take_candy", {}, typeid(game::CTakeLilypopCommand)},
        {"take_special", {}, typeid(game::CSecialObjectCommand)},
        {"disable_hide_hud", {}, typeid(game::CDisableHideHUD)},
    };
    for (const SCase& c : cases) {
        auto command = Make(c.name, c.values);
        ASSERT_NE(command, nullptr) << c.name;
        EXPECT_EQ(typeid(*command), c.type) << c.name;
        EXPECT_TRUE(command->IsFinished()) << c.name;
    }
}

TEST_F(InventoryCommands, TakeAddsTheObjectWithItsFlightAndHidesIt)
{
    Run("take", {"key"});
    EXPECT_EQ(Inventory().GetItemCount(), 1u);
    EXPECT_EQ(Inventory().GetObjectAt(0), Object("hall/key"));
    EXPECT_TRUE(Inventory().GetCellAt(0)->InFlight);
    EXPECT_EQ(Object("hall/key")->GetFlags(), qe::CSceneObject::kHidden);
    // Another scene's object by its path; a wrong count does nothing.
    Run("take", {"hog_room/reward"});
    Run("take", {"coin", "x"});
    EXPECT_EQ(Inventory().GetItemCount(), 2u);
    EXPECT_FALSE(Object("hall/coin")->HasFlags(qe::CSceneObject::kHidden));

    CScratchLogCapture log;
    Run("take", {"x"});
    Run("take_interactive", {"nowhere/y", "hog_room"});
    EXPECT_TRUE(log.Contains("caption: Error") && log.Contains("message: Object not found 'x'."));
    EXPECT_TRUE(log.Contains("message: Object not found 'nowhere/y'."));
    EXPECT_EQ(Inventory().GetItemCount(), 2u);
}

TEST_F(InventoryCommands, TakeInteractiveStoresTheSceneItOpens)
{
    Run("take_interactive", {"box", "hog_room"});
    const game::CHudInventory::CCell* cell = Inventory().GetCellAt(0);
    ASSERT_NE(cell, nullptr);
    EXPECT_EQ(cell->Object, Object("hall/box"));
    EXPECT_EQ(cell->Kind, game::CHudInventory::kKindInteractive);
    EXPECT_STREQ(cell->Name.GetText(), "hog_room");
    EXPECT_TRUE(cell->InFlight);
    EXPECT_TRUE(Object("hall/box")->HasFlags(qe::CSceneObject::kHidden));
}

TEST_F(InventoryCommands, TakeToCursorCarriesTheSourceShownByThePicture)
{
    game::CHudCursorItem& cursor = Hud().GetCursorItem();
    Run("take_to_cursor", {"", "key"});
    EXPECT_EQ(cursor.GetObject(), Object("hall/key"));
    EXPECT_EQ(cursor.GetShownObject(), Object("hall/key"));
    EXPECT_TRUE(Object("hall/key")->HasFlags(qe::CSceneObject::kHidden));

    Run("take_to_cursor", {"pic", "coin"});
    EXPECT_EQ(cursor.GetObject(), Object("hall/coin"));
    EXPECT_EQ(cursor.GetShownObject(), Object("hall/pic"));
    // The key came back when the coin took its place.
    EXPECT_FALSE(Object("hall/key")->HasFlags(qe::CSceneObject::kHidden));

    Run("clear_cursor", {"anything"});
    EXPECT_TRUE(cursor.IsEmpty());
    EXPECT_FALSE(Object("hall/coin")->HasFlags(qe::CSceneObject::kHidden));

    CScratchLogCapture log;
    Run("take_to_cursor", {"pic", "missing_source"});
    Run("take_to_cursor", {"missing_picture", "coin"});
    // Rule S: a path is no plain name.
    Run("take_to_cursor", {"", "hall/coin"});
    EXPECT_TRUE(log.Contains("message: Object not found 'missing_source'."));
    EXPECT_TRUE(log.Contains("message: Object not found 'missing_picture'."));
    EXPECT_TRUE(log.Contains("message: Object not found 'hall/coin'."));
    EXPECT_TRUE(cursor.IsEmpty());
}

TEST_F(InventoryCommands, RemoveTriesTheInventoryThenTheCursorThenTheScene)
{
    Run("take", {"key"});
    Run("remove", {"key"});
    EXPECT_EQ(Inventory().GetItemCount(), 0u);
    EXPECT_EQ(Object("hall/key")->GetFlags(), qe::CSceneObject::kHidden);

    Run("take_to_cursor", {"", "coin"});
    Run("remove", {"hall/coin"});
    EXPECT_TRUE(Hud().GetCursorItem().IsEmpty());
    EXPECT_FALSE(Object("hall/coin")->HasFlags(qe::CSceneObject::kRemoved));

    Run("remove", {"pic"});
    EXPECT_EQ(Object("hall/pic")->GetFlags(), 7);
    // Missing objects and wrong counts change nothing, silently.
    CScratchLogCapture log;
    Run("remove", {"nothing"});
    Run("remove", {"candy", "x"});
    EXPECT_EQ(Object("hall/candy")->GetFlags(), 0);
    EXPECT_FALSE(log.Contains("caption: Error"));
}

TEST_F(InventoryCommands, RemovingTheKeysRingClosesTheKeysPanelFirst)
{
    for (const bool present : {true, false}) {
        Inventory().OpenKeysPanel();
        ASSERT_TRUE(Inventory().IsKeysPanelShown());
        if (!present) {
            Scene("arch_cache")->RemoveObject(Object("arch_cache/Keys"));
            Scene("arch_cache")->Update();
            ASSERT_EQ(Object("arch_cache/Keys"), nullptr);
        }
        Run("remove", {"arch_cache/Keys"});
        EXPECT_FALSE(Inventory().IsKeysPanelShown()) << present;
        EXPECT_EQ(Inventory().GetSelectedKey(), -1);
        if (present) {
            EXPECT_EQ(Object("arch_cache/Keys")->GetFlags(), 7);
        }
    }
    // Another path leaves the panel open.
    Inventory().OpenKeysPanel();
    Run("remove", {"arch_cache/keys"});
    EXPECT_TRUE(Inventory().IsKeysPanelShown());
}

TEST_F(InventoryCommands, SetInventoryModeMapsTheNamesAndPassesTheScene)
{
    struct SCase
    {
        std::vector<std::string> values;
        s32 mode;
        const char* textScene;
    };
    const SCase cases[] = {
        {{"hog_text"}, game::CHudInventory::kModeTextSearch, ""},
        {{"normal", "hog_room"}, game::CHudInventory::kModeNormal, nullptr},
        {{"hog_text", "hog_room"}, game::CHudInventory::kModeTextSearch, "hog_room"},
        {{"Hog_Text", "hog_room"}, game::CHudInventory::kModeNormal, nullptr},
        {{"", "hog_room"}, game::CHudInventory::kModeNormal, nullptr},
    };
    for (const SCase& c : cases) {
        Run("set_inventory_mode", c.values);
        EXPECT_EQ(Inventory().GetMode(), c.mode) << c.values[0];
        if (c.textScene) {
            ASSERT_GE(Inventory().GetCurrentTextSearch(), 0);
            EXPECT_STREQ(Inventory().GetTextSearch(Inventory().GetCurrentTextSearch()).Scene.GetText(), c.textScene);
        }
    }
    const game::CHudInventory::CTextSearch& search = Inventory().GetTextSearch(Inventory().GetCurrentTextSearch());
    EXPECT_EQ(search.Remaining, 3);
    EXPECT_EQ(search.TextId, 77);
    EXPECT_EQ(Inventory().GetState(), game::CHudInventory::kClosed);
}

TEST_F(InventoryCommands, TextSearchCountsDownAndFinishesIntoThePopup)
{
    Run("set_inventory_mode", {"hog_text", "hog_room"}, "hog_room");
    EXPECT_EQ(Inventory().GetState(), game::CHudInventory::kOpen);
    EXPECT_EQ(Inventory().GetShownCount(), 3);
    Run("text_hog_decrement", {}, "hog_room");
    EXPECT_EQ(Inventory().GetShownCount(), 2);
    const s32 saves = Window->GetSaveRequestCount();

    Run("finish_text_hog", {"reward", "hall"}, "hog_room");
    EXPECT_EQ(Inventory().GetMode(), game::CHudInventory::kModeNormal);
    EXPECT_EQ(Inventory().GetCurrentTextSearch(), -1);
    EXPECT_EQ(Inventory().GetTextSearch(0).Remaining, 0);
    EXPECT_EQ(Inventory().GetObjectAt(0), Object("hog_room/reward"));
    EXPECT_TRUE(Object("hog_room/reward")->HasFlags(qe::CSceneObject::kHidden));
    EXPECT_STREQ(Inventory().GetFinishedObjectPath().GetText(), "hog_room/reward");
    EXPECT_STREQ(Inventory().GetFinishedScene().GetText(), "hall");
    EXPECT_EQ(Hud().GetMode(), game::CHud::kModePopup);
    EXPECT_STREQ(Hud().GetPendingScene().GetText(), "hall");
    EXPECT_EQ(Window->GetSaveRequestCount(), saves);

    // A text search whose count ran out is free for the next one.
    Run("set_inventory_mode", {"hog_text", "hog_room"}, "hog_room");
    EXPECT_EQ(Inventory().GetCurrentTextSearch(), 0);
    EXPECT_EQ(Inventory().GetShownCount(), 3);
}

TEST_F(InventoryCommands, ActionSearchTakesItsEntriesAndFinishes)
{
    Run("set_inventory_mode", {"hog_action", "hog_room"}, "hog_room");
    EXPECT_EQ(Inventory().GetMode(), game::CHudInventory::kModeActionSearch);
    const s32 slot = Inventory().GetCurrentActionSearch();
    ASSERT_GE(slot, 0);
    EXPECT_EQ(Inventory().GetActionSearch(slot).EntryCount, 2);
    EXPECT_EQ(Inventory().GetShownCount(), 0);
    EXPECT_EQ(Inventory().GetHintItemCount(), 2);

    // Finding an entry shows its picture and hides its outline.
    Inventory().AddItem(Object("hog_room/Action_hog_2"), false);
    EXPECT_EQ(Inventory().GetShownCount(), 1);
    EXPECT_FALSE(Object("hog_room/Action_hog_2")->FindChild(CFixedString("__inv"))->HasFlags(qe::CSceneObject::kHidden));
    EXPECT_TRUE(Object("hog_room/Action_hog_2")->FindChild(CFixedString("outline"))->HasFlags(qe::CSceneObject::kHidden));
    EXPECT_EQ(Inventory().GetObjectAt(1), Object("hog_room/Action_hog_2"));
    EXPECT_EQ(Inventory().GetObjectAt(0), nullptr);

    // Back to normal keeps the search; entering its scene again resumes it.
    Run("set_inventory_mode", {"normal"});
    Run("set_inventory_mode", {"hog_action", "hog_room"}, "hog_room");
    EXPECT_EQ(Inventory().GetCurrentActionSearch(), slot);
    EXPECT_EQ(Inventory().GetShownCount(), 1);

    Run("finish_action_hog", {"hog_room/reward", "hall"});
    EXPECT_EQ(Inventory().GetCurrentActionSearch(), -1);
    EXPECT_TRUE(Inventory().GetActionSearch(slot).Scene.IsEmpty());
    EXPECT_TRUE(Object("hog_room/Action_hog_2")->FindChild(CFixedString("__inv"))->HasFlags(qe::CSceneObject::kHidden));
    EXPECT_EQ(Inventory().GetItemCount(), 1u);
    EXPECT_EQ(Hud().GetMode(), game::CHud::kModePopup);

    CScratchLogCapture log;
    Run("finish_action_hog", {"nothing", "hall"});
    EXPECT_TRUE(log.Contains("message: Object not found 'nothing'."));
}

TEST_F(InventoryCommands, KeyViewDelayAddsAndHoldsWithin32Bits)
{
    Run("key_view_delay", {"250"});
    EXPECT_EQ(Inventory().GetInputDelay(), 250);
    Run("key_view_delay", {"99999999999"});
    Run("key_view_delay", {"99999999999"});
    EXPECT_EQ(Inventory().GetInputDelay(), 2147483647);
    Run("key_view_delay", {"1", "2"});
    EXPECT_EQ(Inventory().GetInputDelay(), 2147483647);
}

TEST_F(InventoryCommands, SpeechNotesTasksAndMapLocks)
{
    Run("say", {"12", "x"});
    EXPECT_FALSE(Hud().GetSpeechBubble().IsActive());
    Run("say_bubble", {"12", "100"});
    EXPECT_FALSE(Hud().GetSpeechBubble().IsActive());
    Run("say_bubble", {"12", "100", "200"});
    EXPECT_TRUE(Hud().GetSpeechBubble().IsAnchored());
    Hud().GetSpeechBubble().Hide();
    Run("say", {"12"});
    EXPECT_TRUE(Hud().GetSpeechBubble().IsActive());
    EXPECT_FALSE(Hud().GetSpeechBubble().IsAnchored());

    Run("add_note", {"12"});
    EXPECT_EQ(Hud().GetNotepad().GetNote(0), 12);

    Run("add_task", {"true", "5"});
    EXPECT_EQ(Hud().GetTaskList().GetTask(0), 5);
    Run("add_task", {"True", "5"});
    EXPECT_EQ(Hud().GetTaskList().GetTask(0), -1);

    Hud().GetMap().AddLocation("hog_room", 0);
    Run("lock_map_scene", {"hog_room", "true"});
    EXPECT_TRUE(Hud().GetMap().FindLocation("hog_room")->Locked);
    Run("lock_map_scene", {"hog_room", "TRUE"});
    EXPECT_FALSE(Hud().GetMap().FindLocation("hog_room")->Locked);
}

TEST_F(InventoryCommands, CandyIsCountedAndRemovedWithoutWaiting)
{
    Run("take_candy", {"candy"});
    EXPECT_EQ(Object("hall/candy")->GetFlags(), 7);
    EXPECT_TRUE(Hud().GetSymbolCounter().IsBusy());

    CScratchLogCapture log;
    Run("take_candy", {"nothing"});
    Run("take_candy", {"candy", "x"});
    Run("take_candy", {"hall/coin"});
    EXPECT_TRUE(log.Contains("caption: Error") && log.Contains("message: Object 'nothing' not found."));
    EXPECT_TRUE(log.Contains("message: Object 'hall/coin' not found."));
    EXPECT_TRUE(log.Contains("message: Incorrect params number in CTakeLilypopCommand"));
    EXPECT_EQ(Object("hall/coin")->GetFlags(), 0);
}

TEST_F(InventoryCommands, SpecialObjectWaitsForTheCountersCompletionDisplay)
{
    Hud().GetMap().AddLocation("hall", 5);
    // The next special object is the 25th, which starts the completion display.
    for (int i = 0; i < 23; ++i)
        Hud().GetSymbolCounter().CountSpecialObject(CVector2(0, 0));
    Run("take_special", {"coin"});
    EXPECT_EQ(Hud().GetMap().FindLocation("hall")->Count, 4);
    Frames(200, 16);
    ASSERT_FALSE(Hud().GetSymbolCounter().IsBusy());

    auto command = Make("take_special", {"special"});
    EXPECT_FALSE(command->IsFinished());
    EXPECT_EQ(Object("hall/special")->GetFlags(), 7);
    EXPECT_EQ(Hud().GetMap().FindLocation("hall")->Count, 3);
    Frame(16);
    command->Update();
    EXPECT_FALSE(command->IsFinished());
    while (Hud().GetSymbolCounter().IsBusy())
        Frame(100);
    command->Update();
    EXPECT_TRUE(command->IsFinished());

    CScratchLogCapture log;
    Run("take_special", {"pic", "x"});
    Run("take_special", {"nothing"});
    EXPECT_EQ(Object("hall/pic")->GetFlags(), 0);
    EXPECT_TRUE(log.Contains("message: Object 'nothing' not found."));
    EXPECT_FALSE(log.Contains("Incorrect params"));
}

TEST_F(InventoryCommands, DisableHideHudHidesTheHudAndSaves)
{
    const s32 saves = Window->GetSaveRequestCount();
    Run("disable_hide_hud", {"x", "y"});
    EXPECT_EQ(Hud().GetMode(), game::CHud::kModeHidden);
    EXPECT_EQ(Hud().GetAlpha(), 0);
    EXPECT_EQ(Window->GetSaveRequestCount(), saves + 1);
}

} // namespace
