// The item list of a hidden-object round: which objects become entries and rows, what a click
// takes, the effects of a take, the completion message and its rewards, the fast-click punishment
// and the saved state.
#include "HogTestSupport.h"

#include "core/TimeSystem.h"
#include "game/frontend/ProfileManager.h"
#include "game/hud/Hud.h"
#include "gui/CursorManager.h"
#include "gui/RecordingRenderer.h"
#include "qe/BinaryReader.h"
#include "qe/BinaryWriter.h"
#include "qe/ByteBuffer.h"
#include "qe/MinigameBlock.h"

#include <gtest/gtest.h>

namespace {

using hogtest::Area;
using hogtest::Image;
using game::CHogItemList;

// Three items left to right at y 100: a cup image whose area "hog1_cup*" decides hits, a book and
// a lamp (areas), plus clutter that is no item.
std::string ThreeItems()
{
    return Image("hog1_cup", "a1", "item_small", 120, 120, "2101") + Area("hog1_cup*", "a2", 100, 100) +
           Area("hog1_book", "a3", 300, 100, 40, "2102") + Area("hog1_lamp", "a4", 500, 100, 40, "2103") +
           Area("clutter", "a5", 700, 100) + Area("hog2_vase", "a6", 900, 100, 40, "2104");
}

class HogItemListTest : public hogtest::HogFixture
{
protected:
    game::SProfileValues& Values() { return *game::CProfileManager::Instance()->GetCurrentValues(); }
};

TEST_F(HogItemListTest, BuildsEntriesTextsAndRowAnchors)
{
    Start(ThreeItems() + Area("hog1_bad", "b1", 100, 300, 40, "abc") + Area("hog1_zero", "b2", 200, 300, 40, "0"));
    const CHogItemList& list = List();
    ASSERT_EQ(list.GetTotal(), 5);
    EXPECT_EQ(list.GetMainCount(), 5);
    const char* names[] = {"hog1_cup", "hog1_book", "hog1_lamp", "hog1_bad", "hog1_zero"};
    const std::u16string texts[] = {u"cup", u"book", u"lamp", u"<empty_label>", u"<empty_label>"};
    for (s32 i = 0; i < 5; ++i) {
        EXPECT_STREQ(list.GetEntry(i).Object->GetNameCStr(), names[i]);
        EXPECT_EQ(list.GetEntry(i).Text, texts[i]);
        EXPECT_FALSE(list.GetEntry(i).Found);
    }
    // The two empty labels share one row, shown with its count.
    EXPECT_TRUE(list.GetEntry(3).Grouped);
    ASSERT_EQ(list.GetRowCount(), 4);
    EXPECT_EQ(list.GetRowText(3), u"<empty_label> x 2");
    const CPoint2i anchors[] = {{683 - 285, 675}, {683 - 95, 675}, {683 + 95, 675}, {683 + 285, 675}};
    for (s32 row = 0; row < 4; ++row)
        EXPECT_EQ(list.GetRowAnchor(row), anchors[row]) << row;
    EXPECT_EQ(list.GetRowAnchor(4), CPoint2i(683 - 285, 705));
    EXPECT_EQ(list.GetRowAnchor(9), CPoint2i(683 - 95, 735));
}

TEST_F(HogItemListTest, AtMostTwentyEntries)
{
    std::string objects;
    for (s32 i = 0; i < 22; ++i)
        objects += Area("hog1_i" + std::to_string(i), "c" + std::to_string(i), 20 + 50 * i, 200, 40, "2101");
    Start(objects);
    EXPECT_EQ(List().GetTotal(), 20);
    EXPECT_EQ(List().GetRowCount(), 1);
    EXPECT_EQ(List().GetRowText(0), u"cup x 20");
}

TEST_F(HogItemListTest, TheStarAreaDecidesHitsAndImagesAreRemovedAtOnce)
{
    Start(ThreeItems());
    qe::CSceneObject* cup = Object("hog1_cup");
    qe::CSceneObject* book = Object("hog1_book");
    // Far from every item: a miss, nothing taken.
    EXPECT_FALSE(Take(1000, 500));
    // Inside the star area.
    EXPECT_TRUE(Take(105, 105));
    EXPECT_TRUE(List().GetEntry(0).Found);
    EXPECT_EQ(cup->GetFlags(), qe::CSceneObject::kRemoved);
    EXPECT_TRUE(List().IsRowStruck(0));
    // An area item flies first and is hidden and removed when the flight ends.
    EXPECT_TRUE(Take(310, 110));
    EXPECT_EQ(book->GetFlags(), 0);
    Frames(6, 160);
    EXPECT_TRUE(List().IsFlying());
    Frame(50);
    EXPECT_FALSE(List().IsFlying());
    EXPECT_EQ(book->GetFlags(), qe::CSceneObject::kHidden | qe::CSceneObject::kRemoved);
    // A found item is not taken twice.
    EXPECT_FALSE(Take(310, 110));
    EXPECT_EQ(List().GetTaken(), 2);
    EXPECT_EQ(CountPlayed("gui_hog_list"), 2);
    EXPECT_EQ(CountPlayed("gui_add_to_inventory"), 2);
}

TEST_F(HogItemListTest, AGroupRowCountsDownAndIsStruckAfterItsLastItem)
{
    Start(Area("hog1_v1", "d1", 100, 100, 40, "2104") + Area("hog1_key", "d2", 200, 100, 40, "2105") +
          Area("hog1_v2", "d3", 300, 100, 40, "2104") + Area("hog1_v3", "d4", 400, 100, 40, "2104"));
    CHogItemList& list = List();
    ASSERT_EQ(list.GetRowCount(), 2);
    EXPECT_EQ(list.GetRowOfEntry(2), 0);
    EXPECT_EQ(list.GetRowOfEntry(3), 0);
    EXPECT_EQ(list.GetRowText(0), u"vase x 3");
    EXPECT_EQ(list.GetRowText(1), u"key");
    const CColor white = CColor::CColorArgb(255, 250, 250, 250), grey = CColor::CColorArgb(255, 100, 100, 100);
    EXPECT_EQ(list.GetRowColor(0).ToArgb(), white.ToArgb());

    EXPECT_TRUE(Take(310, 110));
    EXPECT_EQ(list.GetRowText(0), u"vase x 2");
    EXPECT_FALSE(list.IsRowStruck(0));
    EXPECT_TRUE(Take(110, 110));
    EXPECT_EQ(list.GetRowText(0), u"vase");
    EXPECT_FALSE(list.IsRowStruck(0));
    EXPECT_EQ(list.GetRowColor(0).ToArgb(), white.ToArgb());
    EXPECT_EQ(CountPlayed("gui_hog_list"), 0);
    EXPECT_TRUE(Take(410, 110));
    EXPECT_TRUE(list.IsRowStruck(0));
    EXPECT_EQ(list.GetRowColor(0).ToArgb(), grey.ToArgb());
    EXPECT_EQ(CountPlayed("gui_hog_list"), 1);
    // A disabled item still to find shows its row in orange.
    Object("hog1_key")->AddFlags(qe::CSceneObject::kDisabled);
    EXPECT_EQ(list.GetRowColor(1).ToArgb(), CColor::CColorArgb(255, 230, 115, 65).ToArgb());
    EXPECT_FALSE(Take(210, 110));
}

TEST_F(HogItemListTest, ASixthTakeWhileFiveSparksFlyReusesTheOldest)
{
    std::string objects;
    for (s32 i = 0; i < 7; ++i)
        objects += Area("hog1_s" + std::to_string(i), "e" + std::to_string(i), 100 + 100 * i, 100, 40,
                        std::to_string(2101 + i % 6));
    Start(objects);
    CHogItemList& list = List();
    for (s32 i = 0; i < 5; ++i) {
        ASSERT_TRUE(Take(110 + 100 * i, 110));
        Frame(100);
    }
    for (s32 spark = 0; spark < 5; ++spark)
        EXPECT_EQ(list.GetSparkEntry(spark), spark);
    EXPECT_EQ(list.GetSparkAge(0), 500);
    EXPECT_EQ(list.GetSparkAge(4), 100);
    EXPECT_TRUE(list.IsSmokeRunning() || list.GetSparkAge(4) > 0);
    ASSERT_TRUE(Take(610, 110));
    EXPECT_EQ(list.GetSparkEntry(0), 5);
    EXPECT_EQ(list.GetSparkAge(0), 0);
    EXPECT_EQ(list.GetSparkEntry(1), 1);
    // A spark is freed after its second.
    Frames(2, 301);
    EXPECT_EQ(list.GetSparkEntry(1), -1);
    EXPECT_EQ(list.GetSparkEntry(0), 5);
}

TEST_F(HogItemListTest, FiveQuickMissesOnHardPunishUntilSixSecondsPass)
{
    Values().Difficulty = 2;
    Start(ThreeItems());
    CHogItemList& list = List();
    lv::gui::CCursorManager& cursor = lv::gui::CCursorManager::Instance();
    // A 501 ms pause restarts the streak.
    for (s32 i = 0; i < 4; ++i) {
        EXPECT_FALSE(Take(1000, 500));
        Frame(250);
    }
    EXPECT_EQ(list.GetPunishment().GetStreak(), 4);
    Frame(251);
    EXPECT_FALSE(Take(1000, 500));
    EXPECT_EQ(list.GetPunishment().GetStreak(), 1);
    for (s32 i = 0; i < 4; ++i) {
        Frame(500);
        EXPECT_FALSE(Take(1000, 500));
    }
    ASSERT_TRUE(list.IsPunishmentActive());
    EXPECT_TRUE(cursor.IsHidden());
    EXPECT_TRUE(Window->GetHud().IsInputBlocked());
    lv::gui::CBaseWidget* menu = Child("menu_button");
    ASSERT_NE(menu, nullptr);
    EXPECT_TRUE((menu->GetFlags() & lv::gui::CBaseWidget::Disabled) != 0);
    // The blocked HUD swallows the window's clicks: an item under one is not taken.
    EXPECT_TRUE(Click(310, 110));
    EXPECT_FALSE(list.GetEntry(1).Found);
    EXPECT_EQ(CountPlayed("gui_punishment"), 1);
    // Clicks take nothing while it runs, not even an item.
    EXPECT_FALSE(Take(310, 110));
    Frames(5, 1000);
    EXPECT_TRUE(list.IsPunishmentActive());
    Frame(1000);
    EXPECT_FALSE(list.IsPunishmentActive());
    EXPECT_FALSE(cursor.IsHidden());
    EXPECT_FALSE(Window->GetHud().IsInputBlocked());
    EXPECT_FALSE((menu->GetFlags() & lv::gui::CBaseWidget::Disabled) != 0);
    EXPECT_TRUE(Take(310, 110));
}

TEST_F(HogItemListTest, ATakeEndsTheStreakAndOtherDifficultiesOnlyCount)
{
    Values().Difficulty = 2;
    Start(ThreeItems());
    for (s32 i = 0; i < 4; ++i)
        EXPECT_FALSE(Take(1000, 500));
    EXPECT_TRUE(Take(310, 110));
    EXPECT_EQ(List().GetPunishment().GetStreak(), 0);
    EXPECT_FALSE(Take(1000, 500));
    EXPECT_FALSE(List().IsPunishmentActive());

    Values().Difficulty = 1;
    for (s32 i = 0; i < 6; ++i)
        EXPECT_FALSE(Take(1000, 500));
    EXPECT_FALSE(List().IsPunishmentActive());
    EXPECT_EQ(List().GetPunishment().GetStreak(), 1);
}

TEST_F(HogItemListTest, CompletionWaitsForTheButtonThenGivesRewardsAndLeaves)
{
    Values().Achievements[1] = 10;
    Values().Achievements[2] = 1500;
    Start(Area("hog1_cup", "a1", 100, 100, 40, "2101") + Area("hog1_book", "a2", 300, 100, 40, "2102") +
              "<group id=\"prize\" guid=\"g1\" hint=\"2105\">" + Image("__inv", "g2", "item_small", 0, 0) + "</group>" +
              "<group id=\"prize2\" guid=\"g3\" hint=\"2106\">" + Image("__inv", "g4", "item_small", 0, 0) + "</group>",
          {{"index", "1"}, {"prev_scene", "hall"}, {"item1", "prize"}, {"item2", "prize2"}});
    CHogItemList& list = List();
    ASSERT_EQ(list.GetSpecialCount(), 2);
    // Message window 400 wide at (483, 196): the rewards stand at 483 - 10 + 100 and + 200.
    EXPECT_EQ(list.GetSpecialPosition(0), CPoint2i(573, 326));
    EXPECT_EQ(list.GetSpecialPosition(1), CPoint2i(673, 326));

    EXPECT_TRUE(Take(110, 110));
    list.CountMiss();
    EXPECT_TRUE(Take(310, 110));
    EXPECT_TRUE(list.IsCompletionPending());
    EXPECT_EQ(Values().Achievements[1], 10); // a miss was counted
    EXPECT_EQ(Values().Achievements[2], 1500);
    EXPECT_TRUE(Hog()->IsInputBlocked());
    // Clicks away from the button are swallowed; misses and hints no longer count.
    EXPECT_TRUE(Take(1000, 500));
    list.CountMiss();
    list.CountHint();
    EXPECT_EQ(list.GetMisses(), 1);
    EXPECT_EQ(list.GetHintsUsed(), 0);
    EXPECT_FALSE(list.IsClosing());

    const CIntRect& button = list.GetMessage().GetButtonRect();
    const CVector2 onButton(static_cast<float>(button.X + 5), static_cast<float>(button.Y + 5));
    EXPECT_TRUE(list.OnMouseMove(onButton));
    EXPECT_TRUE(list.Click(onButton, false, nullptr));
    EXPECT_TRUE(list.IsClosing());
    EXPECT_EQ(CountPlayed("button_press"), 2);
    game::CHudInventory& inventory = Window->GetHud().GetInventory();
    ASSERT_EQ(inventory.GetItemCount(), 2u);
    // Further clicks do nothing until the rewards have flown.
    EXPECT_FALSE(list.Click(onButton, false, nullptr));
    Frames(2, 500);
    EXPECT_FALSE(list.IsDone());
    EXPECT_EQ(list.GetSpecialPosition(0), CPoint2i(683, 818));
    Frame(16);
    EXPECT_TRUE(list.IsDone());
    EXPECT_NE(Window->GetHud().GetMode(), game::CHud::kModeHog);
    Frames(40, 16);
    EXPECT_STREQ(Window->GetSceneStack().GetMainView()->GetScene()->GetName().GetText(), "hall");
}

TEST_F(HogItemListTest, ARoundWithoutMissesOrHintsEarnsTheDetectiveValues)
{
    Values().Achievements[1] = 10;
    Values().Achievements[2] = 1500;
    Start(Area("hog1_cup", "a1", 100, 100, 40, "2101"));
    EXPECT_TRUE(Take(110, 110));
    EXPECT_EQ(Values().Achievements[1], 1001);
    EXPECT_EQ(Values().Achievements[2], 1500);
}

// A reward that is no group with an "__inv" child has no picture: its caption is shown alone and
// it still goes to the inventory. A lone "item2" is the first reward.
TEST_F(HogItemListTest, ARewardWithoutPictureShowsItsCaptionAndIsGiven)
{
    Start(Area("hog1_cup", "a1", 100, 100, 40, "2101") + Area("prize", "p1", 600, 600, 40, "2105"),
          {{"index", "1"}, {"prev_scene", "hall"}, {"item2", "prize"}});
    CHogItemList& list = List();
    ASSERT_EQ(list.GetSpecialCount(), 1);
    EXPECT_EQ(list.GetSpecialObject(0), Object("prize"));
    EXPECT_TRUE(Take(110, 110));
    {
        CRecordingRenderer recording;
        list.Draw(*recording.Renderer);
    }
    const CIntRect& button = list.GetMessage().GetButtonRect();
    const CVector2 onButton(static_cast<float>(button.X + 5), static_cast<float>(button.Y + 5));
    list.OnMouseMove(onButton);
    EXPECT_TRUE(list.Click(onButton, false, nullptr));
    ASSERT_EQ(Window->GetHud().GetInventory().GetItemCount(), 1u);
    EXPECT_EQ(Window->GetHud().GetInventory().GetObjectAt(0), Object("prize"));
}

TEST_F(HogItemListTest, StateKeepsFoundItemsAndStrikesFinishedRows)
{
    Start(ThreeItems() + Area("hog1_v1", "d1", 100, 300, 40, "2104") + Area("hog1_v2", "d2", 200, 300, 40, "2104"));
    CHogItemList& list = List();
    EXPECT_TRUE(Take(310, 110));
    EXPECT_TRUE(Take(110, 310));
    EXPECT_FALSE(Take(1000, 500));
    list.CountMiss();
    list.CountHint();
    qe::CByteBuffer buffer;
    buffer.Allocate(256);
    list.SaveState(buffer);
    ASSERT_EQ(buffer.GetLength(), CHogItemList::kStateSize);

    // A fresh list over the same scene.
    CHogItemList loaded;
    loaded.Init(nullptr);
    loaded.Build(1, Scene("hog_room"), nullptr, nullptr);
    qe::CBinaryReader reader(buffer.GetData(), buffer.GetLength());
    ASSERT_TRUE(loaded.LoadState(reader));
    EXPECT_EQ(loaded.GetTaken(), 2);
    EXPECT_EQ(loaded.GetMisses(), 1);
    EXPECT_EQ(loaded.GetHintsUsed(), 1);
    EXPECT_TRUE(loaded.GetEntry(1).Found);
    EXPECT_TRUE(loaded.GetEntry(3).Found);
    EXPECT_FALSE(loaded.GetEntry(4).Found);
    EXPECT_TRUE(loaded.IsRowStruck(1));
    EXPECT_FALSE(loaded.IsRowStruck(3)); // one vase is still to find
    EXPECT_EQ(loaded.GetRowText(3), u"vase");

    // A cut state fails and changes nothing.
    CHogItemList cut;
    cut.Init(nullptr);
    cut.Build(1, Scene("hog_room"), nullptr, nullptr);
    qe::CBinaryReader shortReader(buffer.GetData(), 40);
    EXPECT_FALSE(cut.LoadState(shortReader));
    EXPECT_EQ(cut.GetTaken(), 0);
}

TEST_F(HogItemListTest, ThePictureListFliesToCellsAndShinesAtTheEnd)
{
    const std::string shine = Image("shine", "h2", "item_small", 0, 0), miss = Image("miss", "h3", "item_small", 0, 0);
    Start(Area("hog1_cup", "h1", 100, 100, 40, "2101") + "<group id=\"hog1_box\" guid=\"h4\" hint=\"2102\">" +
              Area("object", "h5", 300, 100) + shine + miss + "</group>",
          {{"index", "1"}, {"prev_scene", "hall"}, {"texture_list_view", "true"}});
    CHogItemList& list = List();
    EXPECT_TRUE(Take(110, 110));
    EXPECT_EQ(list.GetFlightTarget(), CPoint2i(0 * 84 + 683 - 512, 768 - 90));
    EXPECT_FALSE(list.IsShineRunning());
    EXPECT_TRUE(Take(310, 110));
    EXPECT_EQ(list.GetFlightTarget(), CPoint2i(1 * 84 + 683 - 512, 768 - 90));
    // The group is removed at once; the last take starts the shine.
    EXPECT_TRUE(Object("hog1_box")->HasFlags(qe::CSceneObject::kRemoved));
    EXPECT_TRUE(list.IsShineRunning());
    Frames(2, 700);
    EXPECT_EQ(list.GetShineElapsed(), 1400);
    Frame(100);
    EXPECT_EQ(list.GetShineElapsed(), -1);
    {
        CRecordingRenderer recording;
        list.Draw(*recording.Renderer);
    }
}

TEST_F(HogItemListTest, AMainClickInTheLeaveAreaLeavesWithoutCompleting)
{
    Start(ThreeItems());
    const CIntRect& leave = Hog()->GetLeaveArea();
    // Panel 120 high: the leave area is its lower 70 pixels.
    ASSERT_EQ(leave, CIntRect(0, 768 - 120 + 50, 1366, 70));
    EXPECT_TRUE(Take(leave.X + 10, leave.Y + 10));
    EXPECT_FALSE(List().IsDone());
    EXPECT_EQ(List().GetTaken(), 0);
    EXPECT_NE(Window->GetHud().GetMode(), game::CHud::kModeHog);
}

// The round finished: with no misses the eagle-eye value reaches 1001 and leaving shows the
// detective popup; a round with a miss and a hint leaves both values as they were and shows none.
// Either way the search's block is completed.
struct SFinishCase
{
    bool Clumsy;
    bool Popup;
};

class HogFinish : public HogItemListTest, public testing::WithParamInterface<SFinishCase>
{
};

TEST_P(HogFinish, LeavingAFinishedRoundShowsTheDetectivePopupOnlyForAnEarnedValue)
{
    Values().Achievements[1] = 10;
    Values().Achievements[2] = 10;
    Start(Area("hog1_cup", "a1", 100, 100, 40, "2101"));
    qe::scripts::CMinigameBlock* block = Hog()->GetBlock();
    ASSERT_NE(block, nullptr);
    if (GetParam().Clumsy) {
        EXPECT_FALSE(Hog()->OnMouseDown(CPoint2i(1000, 500)));
        Hog()->CountHintUse();
    }
    ASSERT_TRUE(Take(110, 110));
    const CIntRect& button = List().GetMessage().GetButtonRect();
    const CVector2 onButton(static_cast<float>(button.X + 5), static_cast<float>(button.Y + 5));
    List().OnMouseMove(onButton);
    ASSERT_TRUE(List().Click(onButton, false, nullptr));
    Frames(3, 500);
    EXPECT_EQ(Window->IsAchievementPopupShown(), GetParam().Popup);
    EXPECT_EQ(Values().Achievements[1] >= 1001, GetParam().Popup);
    // Completed at once; done at the block's next update.
    EXPECT_EQ(block->GetFlags(), qe::scripts::CMinigameBlock::kCompleted);
    block->Update();
    EXPECT_TRUE(block->GetFlags() & qe::scripts::CMinigameBlock::kDone);
}

INSTANTIATE_TEST_SUITE_P(Rounds, HogFinish, testing::Values(SFinishCase{false, true}, SFinishCase{true, false}),
                         [](const testing::TestParamInfo<SFinishCase>& info) {
                             return std::string(info.param.Clumsy ? "WithAMissAndAHint" : "Clean");
                         });

// The popup closes on a click outside its inner area with the window sound, on its close button
// with the button sound.
struct SPopupCloseCase
{
    bool OnCloseButton;
    const char* Sound;
};

class HogPopupClose : public HogItemListTest, public testing::WithParamInterface<SPopupCloseCase>
{
};

TEST_P(HogPopupClose, AClickOnTheCloseButtonOrOutsideClosesThePopupWithItsSound)
{
    Start(Area("hog1_cup", "a1", 100, 100, 40, "2101") + Area("popup_zone", "a4", 700, 100, 100),
          {{"index", "1"}, {"prev_scene", "hall"}, {"popup_area", "popup_zone"}, {"popup", "popup"}},
          Area("hog1_key", "e1", 100, 100, 40, "2104"));
    game::CHog* hog = Hog();
    ASSERT_TRUE(hog->OnMouseDown(CPoint2i(750, 150)));
    ASSERT_TRUE(hog->IsPopupActive());
    EXPECT_EQ(CountPlayed("gui_window_open_close"), 1);
    const CIntRect close = hog->GetCloseRect();
    ASSERT_GT(close.Width, 0);
    const CPoint2i point = GetParam().OnCloseButton ? CPoint2i(close.X + close.Width / 2, close.Y + close.Height / 2)
                                                    : CPoint2i(20, 20);
    EXPECT_TRUE(hog->OnMouseDown(point));
    EXPECT_FALSE(hog->IsPopupActive());
    EXPECT_EQ(CountPlayed(GetParam().Sound), GetParam().OnCloseButton ? 1 : 2);
    EXPECT_EQ(CountPlayed("gui_button_press"), GetParam().OnCloseButton ? 1 : 0);
}

INSTANTIATE_TEST_SUITE_P(Places, HogPopupClose,
                         testing::Values(SPopupCloseCase{true, "gui_button_press"},
                                         SPopupCloseCase{false, "gui_window_open_close"}),
                         [](const testing::TestParamInfo<SPopupCloseCase>& info) {
                             return std::string(info.param.OnCloseButton ? "CloseButton" : "Outside");
                         });

} // namespace
