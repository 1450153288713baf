// The in-game cursor choice: the cursor picked from the pointer's classification in the top
// scene, the busy cursor, the plain-pointer mode and the game's cursors registered once.
#include "MinigameTestSupport.h"

#include "game/play/CursorChoice.h"
#include "gui/CursorManager.h"
#include "qe/Scene.h"

#include <gtest/gtest.h>

#include <string>

namespace {

// A 40 x 40 area with its top-left corner at (x, y).
std::string ChoiceArea(const char* id, const char* guid, int x, int y)
{
    const std::string l = std::to_string(x), t = std::to_string(y), r = std::to_string(x + 40),
                      b = std::to_string(y + 40);
    return std::string("<area id=\"") + id + "\" guid=\"" + guid + "\" offset=\"" + std::to_string(x + 20) + " " +
           std::to_string(y + 20) + "\" size=\"40 40\"><point offset=\"" + l + " " + t + "\"/><point offset=\"" + r +
           " " + t + "\"/><point offset=\"" + r + " " + b + "\"/><point offset=\"" + l + " " + b + "\"/></area>";
}

std::string ChoiceAction(const char* guid, const char* object, const char* item)
{
    return std::string("<action_block guid=\"") + guid + "\" id=\"use " + object + "\" object=\"" + object +
           "\" active_object=\"" + item + "\"><correct_commands><hide a1=\"" + object +
           "\"/></correct_commands></action_block>";
}

std::string ChoiceDoor(const char* guid, const char* object, const char* scene)
{
    return std::string("<scene_block guid=\"") + guid + "\" id=\"to " + object + "\" object=\"" + object +
           "\" scene=\"" + scene + "\"/>";
}

// The hall: objects in a row at y 100, x 100, 200 ... 700; nothing at (1000, 600).
std::string ChoiceQuestXml()
{
    return R"(<?xml version="1.0"?><quest_data><Structure><quest id="q0">
<scene id="hall" guid="11" flags="1" size="1366 768" work_area="0 0 1366 768"/>
<scene id="room2" guid="12" size="1366 768" work_area="0 0 1366 768"/>
<scene id="closeup" guid="13" flags="2" size="600 400" work_area="0 0 600 400"/>
</quest></Structure>
<scene_content guid="11"><objects>)" +
           ChoiceArea("x_nocursor_minigame", "a1", 100, 100) + ChoiceArea("y_minigame", "a2", 200, 100) +
           ChoiceArea("drawer", "a3", 300, 100) + ChoiceArea("lock", "a4", 400, 100) +
           ChoiceArea("area_back", "a5", 500, 100) + ChoiceArea("area_back2", "a6", 600, 100) +
           ChoiceArea("door_closeup", "a7", 700, 100) + "</objects><scripts>" +
           ChoiceAction("c1", "x_nocursor_minigame", "") + ChoiceAction("c2", "y_minigame", "") +
           ChoiceAction("c3", "drawer", "") + ChoiceAction("c4", "lock", "key") +
           ChoiceDoor("c5", "area_back", "room2") + ChoiceDoor("c6", "area_back2", "room2") +
           ChoiceDoor("c7", "door_closeup", "closeup") + R"(</scripts></scene_content>
<scene_content guid="12"><objects/></scene_content>
<scene_content guid="13"><objects/><scripts>)" +
           minigametest::Probe("d1", "m") + "</scripts></scene_content></quest_data>";
}

class CursorChoice : public minigametest::MinigameFixture
{
protected:
    void StartChoiceQuest()
    {
        qe::CQuestData::Instance().Clear();
        qe::CScriptData::Instance().Release();
        const std::string xml = ChoiceQuestXml();
        ASSERT_TRUE(qe::CQuestData::Instance().BuildFromXmlText(xml));
        m_ChoiceScripts = std::make_unique<lv::core::CSettings>();
        ASSERT_TRUE(m_ChoiceScripts->LoadXmlText(xml));
        qe::CScriptData::Instance().Compile(m_ChoiceScripts->GetFirstChild());
        MakeWindow();
        ASSERT_TRUE(Window->StartGame(false, false, false, false));
        Window->GetSceneStack().GetQuest()->RefreshScripts();
        Frames(40, 16);
    }

    // The cursor the choice picks with the pointer at (x, y) of the hall and that item held.
    s32 CursorAt(s32 x, s32 y, const char* item = "")
    {
        lv::gui::CCursorManager& cursors = lv::gui::CCursorManager::Instance();
        cursors.SetCursor(-7);
        Scene("hall")->UpdatePointer(CPoint2i(x, y), item);
        Window->GetCursorChoice().ChooseForView(&MainView());
        return cursors.GetCursor();
    }

    std::unique_ptr<lv::core::CSettings> m_ChoiceScripts;
};

TEST_F(CursorChoice, PicksTheCursorFromWhatLiesUnderThePointer)
{
    StartChoiceQuest();
    struct SCase
    {
        s32 X, Y;
        const char* Item;
        s32 Cursor;
    };
    const SCase cases[] = {
        {120, 120, "", 100},   // "_nocursor" goes before "_minigame"
        {220, 120, "", 3},     // "_minigame"
        {1000, 600, "", 100},  // result 0
        {420, 120, "", 0},     // result 1: the lock wants an item
        {420, 120, "key", 1},  // result 2: the item it wants
        {320, 120, "", 101},   // result 3: no item needed
        {520, 120, "", 4},     // result 4 on "area_back"
        {620, 120, "", 2},     // result 4 on a longer name
        {720, 120, "", 2},     // result 5 without an active minigame in the miniscene
    };
    for (const SCase& c : cases)
        EXPECT_EQ(CursorAt(c.X, c.Y, c.Item), c.Cursor) << c.X << " " << c.Item;

    // The miniscene's minigame active: the puzzle magnifier over its door.
    Host().OnSceneShown(&ViewOf("closeup"));
    ASSERT_TRUE(Host().HasActiveMinigameInScene(Scene("closeup")));
    EXPECT_EQ(CursorAt(720, 120), 3);

    // Without a scene nothing changes.
    qe::CSceneView empty;
    lv::gui::CCursorManager::Instance().SetCursor(-7);
    Window->GetCursorChoice().ChooseForView(&empty);
    Window->GetCursorChoice().ChooseForView(nullptr);
    EXPECT_EQ(lv::gui::CCursorManager::Instance().GetCursor(), -7);

    // The busy cursor, and mode 1, where the plain pointer wins everywhere.
    game::CCursorChoice& choice = Window->GetCursorChoice();
    choice.ShowBusy();
    EXPECT_EQ(lv::gui::CCursorManager::Instance().GetCursor(), 103);
    choice.SetMode(1);
    for (const SCase& c : cases)
        EXPECT_EQ(CursorAt(c.X, c.Y, c.Item), 100) << c.X << " " << c.Item;
    choice.ShowBusy();
    EXPECT_EQ(lv::gui::CCursorManager::Instance().GetCursor(), 100);
    choice.SetMode(0);

    // The game's cursors, once each however many choices were made.
    game::CCursorChoice another;
    game::CCursorChoice::RegisterGameCursors();
    const char* const pointers[] = {"gui_cursors_pointer_item", "gui_cursors_pointer_gear", "gui_cursors_magnifier",
                                    "gui_cursors_magnifier_puzzle", "gui_cursors_arrow", "gui_cursors_empty"};
    const char* const icons[] = {"gui_cursors_icon_gear", "gui_cursors_icon_gear_anim", "gui_cursors_icon_magnifier",
                                 "gui_cursors_icon_puzzle", "gui_cursors_arrow", "gui_cursors_icon_empty"};
    const lv::gui::CCustomCursorList& list = lv::gui::CCursorManager::Instance().GetCursors();
    for (s32 id = 0; id < 6; ++id)
    {
        s32 count = 0;
        for (s32 i = 0; i < list.GetCount(); ++i)
            count += list.Get(i).Id == id ? 1 : 0;
        EXPECT_EQ(count, 1) << id;
        const lv::gui::CCustomCursor* cursor = lv::gui::CCursorManager::Instance().FindCursor(id);
        ASSERT_NE(cursor, nullptr);
        EXPECT_STREQ(cursor->PointerImage.GetText(), pointers[id]);
        EXPECT_STREQ(cursor->IconImage.GetText(), icons[id]);
    }
    ReleaseViews();
}

} // namespace
