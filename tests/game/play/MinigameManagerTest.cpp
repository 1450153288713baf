#include "MinigameTestSupport.h"

#include "graphics/LogCapture.h"
#include "qe/ByteBuffer.h"

using namespace minigametest;

namespace {

class MinigameHost : public MinigameFixture
{
};

using Tags = std::vector<std::string>;

std::vector<u8> SaveHost(game::CMinigameManager& host)
{
    qe::CByteBuffer buffer;
    buffer.Allocate(host.GetSaveSize());
    host.Save(buffer);
    EXPECT_FALSE(buffer.HasOverflowed());
    return std::vector<u8>(buffer.GetData(), buffer.GetData() + buffer.GetLength());
}

bool LoadHost(game::CMinigameManager& host, const std::vector<u8>& bytes)
{
    qe::CBinaryReader reader(bytes.data(), static_cast<s32>(bytes.size()));
    return host.Load(reader);
}

} // namespace

TEST_F(MinigameHost, MinigamesOfTheTopSceneAreActiveAndShowingAnotherSceneSwapsThem)
{
    Start(Probe("d1", "a") + Probe("d2", "b"), Probe("e1", "r"), Probe("f1", "m"));
    EXPECT_EQ(LiveTags(), (Tags{"a", "b", "r", "m"}));
    EXPECT_EQ(ActiveTags(), (Tags{"a", "b"}));
    EXPECT_TRUE(Host().HasActiveMinigameInScene(Scene("hall")));
    EXPECT_FALSE(Host().HasActiveMinigameInScene(Scene("room2")));
    EXPECT_FALSE(Host().HasMinisceneMinigame(nullptr));

    // A miniscene over the hall, then closed again.
    g_Events.clear();
    Host().OnSceneShown(&ViewOf("closeup"));
    EXPECT_EQ(g_Events, (Tags{"deact:a", "deact:b", "act:m"}));
    EXPECT_EQ(ActiveTags(), (Tags{"m"}));
    EXPECT_TRUE(Host().HasMinisceneMinigame(nullptr));
    EXPECT_TRUE(Host().HasMinisceneMinigame(Scene("closeup")));
    EXPECT_FALSE(Host().HasMinisceneMinigame(Scene("hall")));
    g_Events.clear();
    Host().OnSceneShown(&MainView());
    EXPECT_EQ(g_Events, (Tags{"deact:m", "act:a", "act:b"}));

    // The room's minigame waits until its scene is shown.
    Host().OnSceneShown(&ViewOf("room2"));
    EXPECT_EQ(ActiveTags(), (Tags{"r"}));
    g_Events.clear();
    Frame(16);
    Host().UpdateLayout();
    EXPECT_EQ(g_Events, (Tags{"upd:r", "layout:r"}));
}

TEST_F(MinigameHost, AtMostFiveAreActiveAndMouseEventsStopAtTheFirstTaker)
{
    std::string hall;
    for (int i = 0; i < 6; ++i)
        hall += Probe("d" + std::to_string(i), std::to_string(i));
    Start(hall);
    EXPECT_EQ(Host().GetLiveCount(), 6);
    EXPECT_EQ(ActiveTags(), (Tags{"0", "1", "2", "3", "4"}));

    g_Events.clear();
    g_OnDown = [](game::CMinigame& m) { return static_cast<CProbeMinigame&>(m).Tag == "1"; };
    EXPECT_TRUE(Host().OnMouseDown(CPoint2i(5, 5)));
    EXPECT_EQ(g_Events, (Tags{"down:0", "down:1"}));
    g_OnDown = nullptr;
    g_Events.clear();
    EXPECT_FALSE(Host().OnMouseDown(CPoint2i(5, 5)));
    EXPECT_EQ(g_Events.size(), 5u);
}

TEST_F(MinigameHost, AFinishedMinigameLeavesBothListsInTheSameFrame)
{
    Start(Probe("d1", "a") + Probe("d2", "b") + Probe("d3", "c"));
    ASSERT_EQ(g_Alive, 3);
    Live(0)->Complete();
    g_Events.clear();
    Frame(16);
    EXPECT_EQ(g_Alive, 2);
    EXPECT_EQ(LiveTags(), (Tags{"b", "c"}));
    EXPECT_EQ(ActiveTags(), (Tags{"b", "c"}));
    // The finished block makes the quest save, and building the saved game takes finished
    // minigames out first: the finished one is never called again.
    EXPECT_EQ(g_Events, (Tags{"upd:b", "upd:c"}));
    g_Events.clear();
    Host().OnMouseDown(CPoint2i(1, 1));
    EXPECT_EQ(g_Events, (Tags{"down:b", "down:c"}));
}

TEST_F(MinigameHost, SavedSectionRoundTripsAndRejectsAnotherCountOrAnUnknownGuid)
{
    Start("");
    EXPECT_EQ(Host().GetSaveSize(), 13204);
    const std::vector<u8> none = SaveHost(Host());
    EXPECT_EQ(none, (std::vector<u8>{0, 0, 0, 0}));
    EXPECT_TRUE(LoadHost(Host(), none));

    Start(Probe("d1", "a") + Probe("d2", "b"), Probe("e1", "r"));
    Live(0)->State = 11;
    Live(1)->State = 22;
    Live(2)->State = 33;
    const std::vector<u8> saved = SaveHost(Host());
    ASSERT_EQ(saved.size(), 4u + 3u * 12u);
    EXPECT_EQ(saved[0], 3);
    qe::CBinaryReader guidReader(saved.data() + 4, 8);
    EXPECT_EQ(static_cast<u64>(guidReader.ReadInt64()), Live(0)->GetBlockGuid());
    for (s32 i = 0; i < 3; ++i)
        Live(i)->State = 0;
    EXPECT_TRUE(LoadHost(Host(), saved));
    EXPECT_EQ(Live(0)->State, 11);
    EXPECT_EQ(Live(2)->State, 33);
    EXPECT_FALSE(LoadHost(Host(), none));

    std::vector<u8> two = saved;
    two[0] = 2;
    EXPECT_FALSE(LoadHost(Host(), two));

    // An unknown guid: its state's length is unknown, so the section is damaged.
    std::vector<u8> unknown = saved;
    unknown[4 + 12] ^= 0x5a;
    {
        CScratchLogCapture log;
        EXPECT_FALSE(LoadHost(Host(), unknown));
        EXPECT_TRUE(log.Contains("no minigame of block"));
    }
    // A minigame's own failure, and a truncated section.
    std::vector<u8> bad = saved;
    bad[4 + 8 + 3] = 0x80;
    EXPECT_FALSE(LoadHost(Host(), bad));
    EXPECT_FALSE(LoadHost(Host(), std::vector<u8>(saved.begin(), saved.end() - 2)));
}

TEST_F(MinigameHost, TheFiftyFirstMinigameIsOwnedNeverRunAndDeletedAtClear)
{
    std::string hall;
    for (int i = 0; i < 51; ++i)
        hall += Probe("d" + std::to_string(100 + i), std::to_string(i));
    CScratchLogCapture log;
    Start(hall);
    EXPECT_EQ(g_Alive, 51);
    EXPECT_EQ(Host().GetLiveCount(), 50);
    EXPECT_EQ(Host().GetRefusedCount(), 1);
    EXPECT_EQ(Live(49)->Tag, "49");
    EXPECT_TRUE(log.Contains("more than 50 minigames, 'probe' is ignored"));
    g_Events.clear();
    Frame(16);
    for (const std::string& event : g_Events)
        EXPECT_NE(event, "upd:50");
    EXPECT_EQ(SaveHost(Host()).size(), 4u + 50u * 12u);

    Host().Clear();
    EXPECT_EQ(g_Alive, 0);
    EXPECT_EQ(Host().GetLiveCount(), 0);
    EXPECT_EQ(Host().GetRefusedCount(), 0);
}

TEST_F(MinigameHost, WalksStaySafeWhenAMinigameChangesTheListsUnderThem)
{
    Start(Probe("d1", "a") + Probe("d2", "b") + Probe("d3", "c"), Probe("e1", "r"));
    qe::CSceneView* room = &ViewOf("room2");
    game::CMinigameManager* host = &Host();

    // "a" shows another scene (as closing its miniscene does): "b" and "c" are no longer active
    // and are not offered the click, nor is "r", which was not active when the walk began.
    g_OnDown = [&](game::CMinigame& m) {
        if (static_cast<CProbeMinigame&>(m).Tag == "a")
            host->OnSceneShown(room);
        return false;
    };
    g_Events.clear();
    EXPECT_FALSE(Host().OnMouseDown(CPoint2i(1, 1)));
    EXPECT_EQ(g_Events, (Tags{"down:a", "deact:a", "deact:b", "deact:c", "act:r"}));

    // "r" shows the hall again: the hall's minigames are called once each, "r" not twice.
    g_OnDown = [&](game::CMinigame& m) {
        if (static_cast<CProbeMinigame&>(m).Tag == "r")
            host->OnSceneShown(&MainView());
        return false;
    };
    g_Events.clear();
    EXPECT_FALSE(Host().OnMouseDown(CPoint2i(1, 1)));
    EXPECT_EQ(g_Events, (Tags{"down:r", "deact:r", "act:a", "act:b", "act:c"}));

    // "a" clears the host (a level change) from its click: everything is deleted once the walk
    // is over, nobody else is called, and "a" itself stays valid until it returns.
    g_OnDown = [&](game::CMinigame& m) {
        auto& probe = static_cast<CProbeMinigame&>(m);
        if (probe.Tag == "a")
        {
            host->Clear();
            probe.Tag = "a-after-clear";
        }
        return true;
    };
    g_Events.clear();
    EXPECT_TRUE(Host().OnMouseDown(CPoint2i(1, 1)));
    EXPECT_EQ(g_Events, (Tags{"down:a"}));
    EXPECT_EQ(g_Alive, 0);
    EXPECT_EQ(Host().GetLiveCount(), 0);
    EXPECT_EQ(Host().GetActiveCount(), 0);
}

// The first tutorial steps keep clicks off the scenes, but a minigame is still offered them.
TEST_F(MinigameHost, DuringTheFirstTutorialStepsClicksStillReachTheMinigames)
{
    Start(Probe("d1", "a"));
    g_OnDown = [](game::CMinigame&) { return true; };
    for (s32 step : {0, 4})
    {
        SCOPED_TRACE(step);
        Window->SetTutorialStep(step);
        ASSERT_EQ(Window->GetTutorialStep(), step);
        g_Events.clear();
        EXPECT_TRUE(Click(700, 400));
        EXPECT_EQ(g_Events, (Tags{"down:a"}));
    }
    g_OnDown = nullptr;
}
