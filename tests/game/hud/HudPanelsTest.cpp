#include "HudClock.h"
#include "HudTestSupport.h"
#include "game/hud/HudMap.h"
#include "game/hud/HudNotepad.h"
#include "game/hud/HudTaskList.h"

#include <gtest/gtest.h>

#include <string>

namespace {

class HudPanelsTest : public ::testing::Test
{
protected:
    void SetUp() override { hudtest::DeclareHudContent(); }
    hudtest::CHudClock m_Clock;
};

TEST_F(HudPanelsTest, NotepadFillsTheFirstFreeEntryAndOverwritesTheLast)
{
    game::CHudNotepad notepad;
    EXPECT_EQ(notepad.GetCurrentSpread(), -1);
    EXPECT_EQ(notepad.GetNote(0), -1);
    notepad.AddNote("12");
    notepad.AddNote("7");
    EXPECT_EQ(notepad.GetNote(0), 12);
    EXPECT_EQ(notepad.GetNote(1), 7);
    EXPECT_EQ(notepad.GetCurrentSpread(), 1);
    for (int i = 2; i < 72; ++i)
        notepad.AddNote(std::to_string(i).c_str());
    EXPECT_EQ(notepad.GetNote(68), 68);
    EXPECT_EQ(notepad.GetNote(69), 71);
    EXPECT_EQ(notepad.GetCurrentSpread(), 69);
}

TEST_F(HudPanelsTest, TaskListStoresThreeTasksAndFlagsTheNewOne)
{
    game::CHudTaskList tasks;
    EXPECT_FALSE(tasks.HasNewTask());
    for (s32 id : {501, 502, 503, 504})
        tasks.AddTask(id);
    EXPECT_TRUE(tasks.HasNewTask());
    EXPECT_EQ(tasks.GetState(), 2);
    EXPECT_EQ(tasks.GetTask(0), 501);
    EXPECT_EQ(tasks.GetTask(2), 503);
    tasks.RemoveTask(502);
    EXPECT_EQ(tasks.GetTask(1), -1);
    tasks.AddTask(505);
    EXPECT_EQ(tasks.GetTask(1), 505);

    tasks.ShowBox(1000);
    m_Clock.Advance(999);
    tasks.Update();
    EXPECT_TRUE(tasks.IsBoxShown());
    m_Clock.Advance(1);
    tasks.Update();
    EXPECT_FALSE(tasks.IsBoxShown());
    tasks.ShowBox(1000);
    tasks.CancelAutoClose();
    EXPECT_FALSE(tasks.IsBoxShown());
}

TEST_F(HudPanelsTest, MapMarksOnlyItsOwnLocations)
{
    game::CHudMap map;
    map.AddLocation("hall", 3);
    map.AddLocation("yard", 1);
    map.SetCurrentLocation("cellar");
    EXPECT_EQ(map.GetCurrentLocation(), -1);
    map.SetCurrentLocation("yard");
    EXPECT_EQ(map.GetCurrentLocation(), 1);
    EXPECT_TRUE(map.FindLocation("yard")->Visited);
    EXPECT_FALSE(map.FindLocation("hall")->Visited);
    map.SetLocationLocked("hall", true);
    EXPECT_TRUE(map.FindLocation("hall")->Locked);
    map.DecrementLocationCount("hall");
    map.DecrementLocationCount("nowhere");
    EXPECT_EQ(map.FindLocation("hall")->Count, 2);
    EXPECT_EQ(map.FindLocation("nowhere"), nullptr);
}

} // namespace
