#include "game/play/GameCommandTestSupport.h"

#include "anim/ClipManager.h"
#include "anim/ClipsBuilder.h"
#include "core/ContentTestSupport.h"
#include "core/FileSystem.h"
#include "game/frontend/ProfileManager.h"
#include "game/hud/Hud.h"

using gamecommandtest::GameCommandFixture;

namespace {

using ProgressCommands = GameCommandFixture;

const char* QuestNameOf(const game::CGameWindow& window)
{
    return window.GetQuest() ? window.GetQuest()->GetName().GetText() : "";
}

game::SProfileValues& Values()
{
    return *game::CProfileManager::Instance()->GetCurrentValues();
}

TEST_F(ProgressCommands, NextLevelStartsItsRecordAtTheWindowsNextUpdate)
{
    const struct
    {
        std::vector<std::string> args;
        const char* quest;
    } cases[] = {{{}, "q1"}, {{"0"}, "q1"}, {{"-3"}, "q1"}, {{"2"}, "q2"}, {{"2x"}, "q2"}, {{"3"}, "q0"},
                 {{"99999999999"}, "q0"}};
    for (const auto& c : cases) {
        ASSERT_TRUE(Window->StartQuestByIndex(0));
        Run("next_level", c.args);
        EXPECT_STREQ(QuestNameOf(*Window), "q0");
        Frame(16);
        EXPECT_STREQ(QuestNameOf(*Window), c.quest) << (c.args.empty() ? "-" : c.args[0]);
    }
}

// The block that runs "next_level" belongs to the quest the command replaces.
class ProgressCommandsFromABlock : public ProgressCommands
{
protected:
    std::string BoxCommands() const override { return "<sequence><next_level a1=\"2\"/><hide a1=\"pic\"/></sequence>"; }
};

TEST_F(ProgressCommandsFromABlock, NextLevelInAClickedBlockLeavesItsQuestAliveUntilTheScriptsEnd)
{
    qe::CQuest* first = Window->GetQuest();
    EXPECT_TRUE(Click(120, 120));
    // The block's tree runs with the quest's scripts and asks for the record; the old quest
    // finishes that run before the next update replaces it.
    for (int i = 0; i < 5 && Window->GetRequestedQuestIndex() < 0; ++i)
        Frame(16);
    EXPECT_EQ(Window->GetQuest(), first);
    EXPECT_TRUE(Object("hall/pic")->HasFlags(qe::CSceneObject::kHidden));
    EXPECT_EQ(Window->GetRequestedQuestIndex(), 2);
    Frame(16);
    EXPECT_STREQ(QuestNameOf(*Window), "q2");
    EXPECT_EQ(Window->GetRequestedQuestIndex(), -1);
    Frames(3, 16);
}

TEST_F(ProgressCommands, CompleteLevelAndTheEndsOfTheParts)
{
    Run("complete_level", {"any", "thing"});
    EXPECT_TRUE(Window->IsLevelCompleted());

    std::filesystem::remove_all(Folder.Path() / "saves");
    std::filesystem::create_directories(Folder.Path() / "saves");
    Values().Standart = false;
    Run("end_main_part", {});
    EXPECT_TRUE(Values().Standart);
    EXPECT_TRUE(std::filesystem::is_empty(Folder.Path() / "saves"));

    Window->GetHud().SetAlpha(255);
    ASSERT_TRUE(Shown("menu_button"));
    Run("end_bonus_part", {"x"});
    EXPECT_EQ(Window->GetHud().GetMode(), game::CHud::kModeHidden);
    EXPECT_FALSE(Shown("menu_button"));
    Run("end_extras_minigame", {"1", "2", "3"});
}

TEST_F(ProgressCommands, GoToMainMenuSavesAndReturns)
{
    Run("go_to_main_menu", {});
    EXPECT_EQ(Window->GetSaveRequestCount(), 2);
    EXPECT_EQ(Window->GetSaveWriteCount(), 1);
    EXPECT_NE(RootMenu(), nullptr);
}

TEST_F(ProgressCommands, TutorialIncSetsOrMovesTheStep)
{
    const struct
    {
        s32 before;
        const char* arg;
        s32 after;
    } cases[] = {
        {7, "-1", 12}, {13, "-1", 8}, {11, "-1", -1}, {3, "-1", 4}, {-1, "-1", -1},
        {3, "", 3},    {3, "9", 9},   {-1, "0", 0},   {5, "-7x", 6},
    };
    for (const auto& c : cases) {
        Window->SetTutorialStep(c.before);
        if (c.before < 0)
            Window->EndTutorial(true);
        Run("tutorial_inc", {c.arg});
        EXPECT_EQ(Window->GetTutorialStep(), c.after) << c.before << " " << c.arg;
    }
}

TEST_F(ProgressCommands, RecieveAchiveAwardsItsOneId)
{
    // The award's popup clip, over a picture the fixture declares.
    lv::misc::anim::CClipsBuilder builder;
    const std::string xml = "<?xml version=\"1.0\" encoding=\"utf-8\"?>\n<Clip id=\"achive_collector\" w=\"100\" "
                            "h=\"100\">\n<image id=\"a\" i_id=\"lamp\" vis=\"true\">\n<kp t=\"0\" p=\"0 0\" "
                            "py=\"-20 -20 20 -20 20 20 -20 20\" c=\"-1\"/>\n</image>\n</Clip>\n";
    ASSERT_TRUE(builder.AddXml(xml.data(), xml.size()));
    const std::vector<u8> image = builder.Build();
    ASSERT_TRUE(lv::misc::anim::CClipManager::Instance().LoadImage(image.data(), static_cast<u32>(image.size())));

    Values().Achievements[0] = 0;
    Run("recieve_achive", {"collector", "again"});
    EXPECT_EQ(Values().Achievements[0], 0);
    EXPECT_FALSE(Window->IsAchievementPopupShown());
    Run("recieve_achive", {"collector"});
    EXPECT_EQ(Values().Achievements[0], game::SProfileValues::kAchievementEarned);
    EXPECT_TRUE(Window->IsAchievementPopupShown());
}

// Generated stream packs in the working folder; every case starts from its own mounted set.
TEST_F(ProgressCommands, SetStreamStoresTheProfileAndSwitchesThePacks)
{
    const char* const packs[] = {"game2v1.pack", "game2v2.pack", "game2v3.pack",
                                 "game4v1.pack", "game4v2.pack", "game4v3.pack"};
    for (const char* pack : packs) {
        lv::content::CPackWriter writer;
        writer.AddFile(std::string(pack) + ".txt", pack);
        ASSERT_TRUE(writer.WriteFile(Folder / (std::string("program/") + pack)));
    }
    lv::core::CFileSystem& files = lv::core::CFileSystem::Instance();
    const struct
    {
        u16 old;
        const char* arg;
        std::vector<std::string> mountedBefore;
        u16 stored;
        std::vector<std::string> mountedAfter;
    } cases[] = {
        {11, "10", {"game4v2.pack"}, 10, {"game4v1.pack"}},
        {0, "10", {"game2v1.pack"}, 10, {"game2v2.pack"}},
        {3, "11", {"game4v1.pack", "game2v1.pack"}, 11, {"game2v1.pack", "game4v2.pack"}},
        {0, "5", {"game2v1.pack"}, 5, {"game2v1.pack", "game2v3.pack", "game4v3.pack"}},
        {11, "11", {"game4v1.pack"}, 11, {"game4v1.pack"}},
        {0, "0", {}, 0, {}},
        {11, "-4", {"game4v2.pack"}, 0, {"game4v2.pack"}},
    };
    for (const auto& c : cases) {
        for (const char* pack : packs)
            files.UnmountPack(pack);
        for (const std::string& pack : c.mountedBefore)
            ASSERT_TRUE(files.MountPack(pack.c_str()));
        Values().Stream = c.old;
        std::filesystem::remove_all(Folder.Path() / "saves");
        std::filesystem::create_directories(Folder.Path() / "saves");
        Run("set_stream", {c.arg});
        EXPECT_EQ(Values().Stream, c.stored) << c.arg;
        // The profiles are saved at once, also when nothing switches.
        EXPECT_FALSE(std::filesystem::is_empty(Folder.Path() / "saves")) << c.arg;
        std::vector<std::string> mounted;
        for (const char* pack : packs)
            if (files.IsPackMounted(pack))
                mounted.push_back(pack);
        std::vector<std::string> expected = c.mountedAfter;
        std::sort(expected.begin(), expected.end());
        EXPECT_EQ(mounted, expected) << c.old << " -> " << c.arg;
    }
    EXPECT_NE(files.LoadFile("game4v2.pack.txt"), nullptr);
}

} // namespace
