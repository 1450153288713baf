#include "game/play/GameCommandTestSupport.h"

#include "game/hud/Hud.h"
#include "game/play/Hog.h"
#include "gui/CursorManager.h"
#include "graphics/LogCapture.h"

using gamecommandtest::GameCommandFixture;

namespace {

using qe::CSceneObject;
using SceneCommands = GameCommandFixture;

TEST_F(SceneCommands, OpenSceneFadesIntoTheSceneAndTheMapRecordsIt)
{
    game::CHudMap& map = Window->GetHud().GetMap();
    map.AddLocation("hall", 0);
    map.AddLocation("room2", 0);
    Window->SetPopupClipping(true);
    Run("open_scene", {"room2"});
    EXPECT_FALSE(Window->GetPopupClipping());
    EXPECT_EQ(map.GetCurrentLocation(), 1);
    EXPECT_TRUE(map.FindLocation("room2")->Visited);
    // The fade: the hall stays until the picture is black.
    EXPECT_TRUE(Window->IsTransitionRunning());
    EXPECT_STREQ(MainScene(), "hall");
    Frames(50, 16);
    EXPECT_STREQ(MainScene(), "room2");
    EXPECT_FALSE(Window->IsTransitionRunning());
}

TEST_F(SceneCommands, OpenSceneWithoutFadeStopsTheSynchronisedAnimationsOnlyWhenAsked)
{
    game::CHudMap& map = Window->GetHud().GetMap();
    map.AddLocation("room2", 0);
    Window->SetPopupClipping(true);
    Window->AddSyncedAnimation("tick", nullptr, 500);
    Run("open_scene_no_fade", {"room2", "false"});
    EXPECT_STREQ(MainScene(), "room2");
    EXPECT_EQ(map.GetCurrentLocation(), 0);
    EXPECT_EQ(Window->GetSyncedAnimationCount(), 1u);
    EXPECT_TRUE(Window->GetPopupClipping());
    Run("open_scene_no_fade", {"hall", "True"});
    EXPECT_STREQ(MainScene(), "hall");
    EXPECT_EQ(Window->GetSyncedAnimationCount(), 1u);
    Run("open_scene_no_fade", {"room2", "true"});
    EXPECT_EQ(Window->GetSyncedAnimationCount(), 0u);
}

TEST_F(SceneCommands, CloseMinisceneClosesByNameThroughTheStackAndClearsTheClipping)
{
    CScratchLogCapture log;
    Window->SetPopupClipping(true);
    Run("close_miniscene", {"nope"});
    EXPECT_TRUE(log.Contains("Scene not found: 'nope'."));
    EXPECT_FALSE(Window->GetPopupClipping());
    Window->SetPopupClipping(true);
    Run("close_miniscene", {"hall"});
    EXPECT_TRUE(log.Contains("Can't close main scene: 'hall'."));
    EXPECT_FALSE(Window->GetPopupClipping());
}

TEST_F(SceneCommands, EnableAndDisableUseRulePAndWarnOfMissingObjects)
{
    CScratchLogCapture log;
    CSceneObject* whole = Object("hall/g.c");
    CSceneObject* child = Child("hall/g", "c");
    whole->SetFlags(7);
    child->SetFlags(7);
    Run("enable", {"hall/g.c"});
    EXPECT_EQ(whole->GetFlags(), 6);
    EXPECT_EQ(child->GetFlags(), 7);
    Run("enable", {"g.c"});
    EXPECT_EQ(child->GetFlags(), 6);
    Run("disable", {"room2/far"});
    EXPECT_EQ(Object("room2/far")->GetFlags(), 1);
    Run("enable", {"nowhere/x"});
    EXPECT_TRUE(log.Contains("caption: Warning"));
    EXPECT_TRUE(log.Contains("message: Enable command failed. Can't find 'nowhere/x' object"));
    Run("disable", {"ghost"});
    EXPECT_TRUE(log.Contains("message: Disable command failed. Can't find 'ghost' object"));
}

TEST_F(SceneCommands, FlagCommandsChangeTheirBitsOneAfterTheOther)
{
    const struct
    {
        const char* command;
        u16 before;
        u16 after;
    } cases[] = {
        {"restore", 7, 1},       {"restore", 0x16, 0x10}, {"hog_toggle", 7, 4},    {"hog_toggle", 0x10, 0x10},
        {"hog_clear_obj", 4, 7}, {"hog_clear_obj", 0, 3}, {"hog_invert_obj", 1, 2}, {"hog_invert_obj", 6, 5},
    };
    CSceneObject* pic = Object("hall/pic");
    for (const auto& c : cases) {
        pic->SetFlags(c.before);
        Run(c.command, {"pic"});
        EXPECT_EQ(pic->GetFlags(), c.after) << c.command << " " << c.before;
        // The second argument is not read.
        pic->SetFlags(c.before);
        Run(c.command, {"hall/pic", "whatever"});
        EXPECT_EQ(pic->GetFlags(), c.after) << c.command << " " << c.before;
    }
    // Rule F reaches a group's child; a missing object changes nothing and says nothing.
    CSceneObject* child = Child("hall/g", "c");
    child->SetFlags(7);
    Run("restore", {"hall/g.c"});
    EXPECT_EQ(child->GetFlags(), 1);
    EXPECT_EQ(Object("hall/g.c")->GetFlags(), 0);
    Run("hog_clear_obj", {"nowhere/pic"});
    for (u16 flags : {0, 1, 2, 3, 5, 0x13}) {
        pic->SetFlags(flags);
        Run("hog_invert_obj", {"pic"});
        Run("hog_invert_obj", {"pic"});
        EXPECT_EQ(pic->GetFlags(), flags);
    }
}

TEST_F(SceneCommands, ActionHogCommandsTouchOnlyTheHiddenBitOfTheGroupsPictures)
{
    CSceneObject* inv = Child("hall/pair", "__inv");
    CSceneObject* outline = Child("hall/pair", "outline");
    inv->SetFlags(1);
    outline->SetFlags(4);
    Run("action_hog_obj_state", {"hall/pair", "true"});
    EXPECT_EQ(inv->GetFlags(), 1);
    EXPECT_EQ(outline->GetFlags(), 6);
    Run("action_hog_obj_state", {"pair", "TRUE"});
    EXPECT_EQ(inv->GetFlags(), 3);
    EXPECT_EQ(outline->GetFlags(), 4);
    Run("action_hog_obj_state", {"pair", "true"});
    Run("action_hog_obj_remove", {"pair"});
    EXPECT_EQ(inv->GetFlags(), 3);
    EXPECT_EQ(outline->GetFlags(), 6);

    // An image is no group; a group without an outline reports it and goes on.
    CSceneObject* pic = Object("hall/pic");
    pic->SetFlags(0);
    Run("action_hog_obj_remove", {"pic"});
    Run("action_hog_obj_state", {"pic", "false"});
    EXPECT_EQ(pic->GetFlags(), 0);
    CScratchLogCapture log;
    Run("action_hog_obj_state", {"half", "true"});
    EXPECT_TRUE(log.Contains("caption: Error"));
    EXPECT_TRUE(log.Contains("outline"));
    EXPECT_EQ(Child("hall/half", "__inv")->GetFlags(), 0);
    Run("action_hog_obj_remove", {"half"});
    EXPECT_EQ(Child("hall/half", "__inv")->GetFlags(), 2);
}

// A search that records the clicks it gets instead of playing them.
class CClickRecordingHog : public game::CHog
{
public:
    bool OnMouseDown(const CPoint2i& point) override
    {
        m_Clicks.push_back({point.X, point.Y, 1});
        return true;
    }
    bool ClickAt(s32 x, s32 y, bool adjust) override
    {
        m_Clicks.push_back({x, y, adjust ? 2 : 3});
        return true;
    }
    std::vector<std::vector<s32>> m_Clicks;
};

TEST_F(SceneCommands, HiddenClickClicksTheRunningSearchOnlyInItsHudMode)
{
    Run("hidden_click", {});
    CClickRecordingHog hog;
    hog.CHog::Update(); // the search that runs
    ASSERT_EQ(game::CHog::GetInstance(), &hog);
    lv::gui::CCursorManager::Instance().SetMousePosition(CPoint2i(40, 50));
    Run("hidden_click", {});
    Run("hidden_click", {"7", "8"});
    EXPECT_TRUE(hog.m_Clicks.empty());
    Window->GetHud().PushMode(game::CHud::kModeHog);
    Run("hidden_click", {});
    Run("hidden_click", {"7", "8"});
    Run("hidden_click", {"7", "8", "9"});
    Run("hidden_click", {"7"});
    const std::vector<std::vector<s32>> expected = {{40, 50, 1}, {7, 8, 3}};
    EXPECT_EQ(hog.m_Clicks, expected);
}

TEST_F(SceneCommands, PopupClippingSetsTheFlag)
{
    Run("popup_clipping", {"true"});
    EXPECT_TRUE(Window->GetPopupClipping());
    Run("popup_clipping", {"True"});
    EXPECT_FALSE(Window->GetPopupClipping());
}

} // namespace
