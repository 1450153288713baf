#include "ScriptBlockFixture.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

using namespace lv::content;
using namespace qe::scripts;
using namespace qetest;

namespace {

class ScriptBlockTest : public CBlockTestBase
{
};

} // namespace

TEST_F(ScriptBlockTest, InputSetsCountEachInputOnceAndEmptyListsAreComplete)
{
    CBlockQuest quest({{"s", 1, {ScriptAction(1, "a", "door"), ScriptAction(2, "b", "box"), ScriptAction(3, "c", "chest")}}});
    u8 bytes[16] = {};
    bytes[0] = 1;
    bytes[8] = 2;
    CBlockInputSet set(SGuidList{bytes, 2});
    EXPECT_FALSE(set.IsComplete());
    EXPECT_FALSE(set.Add(quest.Get("c")));
    EXPECT_EQ(set.GetReceivedCount(), 0u);
    EXPECT_FALSE(set.Add(quest.Get("a")));
    EXPECT_FALSE(set.Add(quest.Get("a")));
    EXPECT_EQ(set.GetReceivedCount(), 1u);
    EXPECT_TRUE(set.Add(quest.Get("b")));
    set.Clear();
    EXPECT_FALSE(set.IsComplete());
    EXPECT_TRUE(CBlockInputSet(SGuidList{}).IsComplete());
}

TEST_F(ScriptBlockTest, QuietNotificationOnlyRecords)
{
    SScriptBlock auto1 = ScriptBlock(EScriptBlockKind::AutoAction, 2, "auto");
    auto1.unblockInputs = {1};
    auto1.commands = ScriptRec("auto");
    SScriptBlock action = ScriptAction(3, "act", "box");
    action.conditionInputs = {1};
    CBlockQuest quest({{"s", 1, {ScriptAction(1, "a", "door"), auto1, action}}});
    CBlockBase* a = quest.Get("a");
    ASSERT_EQ(a->GetListenerCount(), 2u);
    quest.Env().RefreshAll();
    a->NotifyListeners(true);
    EXPECT_TRUE(g_BlockRuns.empty());
    EXPECT_FALSE(quest.Get<CAutoActionBlock>("auto")->IsDone());
    EXPECT_FALSE(IsActionReady(quest.Set(0), quest.Get("act")));
    // The input is in: the next refresh finds both ready.
    quest.Env().RefreshAll();
    EXPECT_EQ(g_BlockRuns, std::vector<std::string>{"auto"});
    EXPECT_TRUE(IsActionReady(quest.Set(0), quest.Get("act")));
}

TEST_F(ScriptBlockTest, TreeFinishingWhileBuiltPausesAndResumesAtOnce)
{
    SScriptBlock now = ScriptBlock(EScriptBlockKind::AutoAction, 1, "now");
    now.commands = ScriptRec("now");
    SScriptBlock bad = ScriptBlock(EScriptBlockKind::AutoAction, 2, "bad");
    bad.commands = {SScriptCommand::Named("not_registered")};
    CBlockQuest quest({{"s", 1, {now, bad}}});
    quest.Quest().UpdateScripts();
    EXPECT_EQ(g_BlockRuns, std::vector<std::string>{"now"});
    EXPECT_EQ(quest.Env().GetPauseCount(), 0);
    EXPECT_EQ(quest.m_Saver.saves, 1);
    EXPECT_TRUE(quest.Get<CAutoActionBlock>("now")->IsDone());
    EXPECT_FALSE(quest.Get<CAutoActionBlock>("bad")->IsDone());
    EXPECT_FALSE(quest.Get("bad")->HasTree());
}

TEST_F(ScriptBlockTest, AutoActionWithoutCommandsCompletesAtOnce)
{
    SScriptBlock empty = ScriptBlock(EScriptBlockKind::AutoAction, 1, "empty");
    SScriptBlock next = ScriptBlock(EScriptBlockKind::AutoAction, 2, "next");
    next.unblockInputs = {1};
    next.commands = ScriptRec("next");
    CBlockQuest quest({{"s", 1, {empty, next}}});
    quest.Quest().UpdateScripts();
    EXPECT_TRUE(quest.Get<CAutoActionBlock>("empty")->IsDone());
    EXPECT_EQ(g_BlockRuns, std::vector<std::string>{"next"});
    EXPECT_EQ(quest.Env().GetPauseCount(), 0);
}

TEST_F(ScriptBlockTest, ActionBlockFiresOnceOnItsObject)
{
    CBlockQuest quest({{"s", 1, {ScriptAction(1, "a", "door")}}});
    CActionBlock* a = quest.Get<CActionBlock>("a");
    quest.Quest().UpdateScripts();
    EXPECT_TRUE(IsActionReady(quest.Set(0), a));
    EXPECT_FALSE(quest.Use("box"));
    EXPECT_FALSE(quest.Use("door", "key"));
    EXPECT_TRUE(quest.Use("door"));
    EXPECT_TRUE(a->IsDone());
    EXPECT_FALSE(IsActionReady(quest.Set(0), a));
    EXPECT_FALSE(quest.Use("door"));
    EXPECT_EQ(g_BlockRuns, std::vector<std::string>{"a"});
}

TEST_F(ScriptBlockTest, ActionBlockIncorrectUseCommandSetsAndBlocking)
{
    SScriptBlock box = ScriptAction(2, "box", "box", "key");
    box.conditionInputs = {1};
    box.incorrect = ScriptRec("too early");
    box.commandSets = {{"coin", ScriptRec("coin")}};
    CBlockQuest quest({{"s", 1, {ScriptAction(1, "a", "door"), box}}});
    CActionBlock* b = quest.Get<CActionBlock>("box");
    quest.Quest().UpdateScripts();
    EXPECT_TRUE(quest.Use("box", "key"));
    EXPECT_TRUE(quest.Use("box", "coin"));
    EXPECT_FALSE(quest.Use("box", "other"));
    EXPECT_FALSE(b->IsDone());
    quest.Get("a")->NotifyListeners(false);
    EXPECT_TRUE(IsActionReady(quest.Set(0), b));
    b->Block();
    EXPECT_FALSE(IsActionReady(quest.Set(0), b));
    EXPECT_FALSE(quest.Use("box", "key"));
    b->Unblock();
    EXPECT_TRUE(IsActionReady(quest.Set(0), b));
    EXPECT_TRUE(quest.Use("box", "coin"));
    EXPECT_TRUE(quest.Use("box", "key"));
    EXPECT_TRUE(b->IsDone());
    EXPECT_EQ(g_BlockRuns, (std::vector<std::string>{"too early", "coin", "coin", "box"}));
}

TEST_F(ScriptBlockTest, CorrectUseWinsOverIncorrectUseAndEnvironmentSets)
{
    SScriptBlock early = ScriptAction(2, "early", "chest", "key");
    early.conditionInputs = {9};
    early.incorrect = ScriptRec("early incorrect");
    SScriptBlock late = ScriptAction(3, "late", "chest", "key");
    SScriptBlock env = ScriptBlock(EScriptBlockKind::Environment, 4, "env");
    env.object = "door";
    env.commandSets = {{"", ScriptRec("env")}};
    CBlockQuest quest({{"s", 1, {ScriptAction(9, "never", "lamp", "nothing"), early, late, ScriptAction(1, "a", "door"), env}}});
    quest.Quest().UpdateScripts();
    EXPECT_TRUE(quest.Use("chest", "key"));
    EXPECT_TRUE(quest.Use("door"));
    EXPECT_EQ(g_BlockRuns, (std::vector<std::string>{"late", "a"}));
    EXPECT_TRUE(quest.Use("door"));
    EXPECT_EQ(g_BlockRuns.back(), "env");
}

TEST_F(ScriptBlockTest, RunningTreeTakesNoClicks)
{
    SScriptBlock a = ScriptAction(1, "a", "door");
    a.correct = {SScriptCommand::Named("hold")};
    CBlockQuest quest({{"s", 1, {a, ScriptAction(2, "b", "box")}}});
    quest.Quest().UpdateScripts();
    EXPECT_TRUE(quest.Use("door"));
    EXPECT_TRUE(quest.Quest().IsScriptPaused());
    EXPECT_FALSE(quest.Use("box"));
    EXPECT_FALSE(quest.Set(0).GetScene()->HandleClick({5, 5}, ""));
    g_HoldRelease = true;
    quest.Quest().UpdateScripts();
    EXPECT_FALSE(quest.Quest().IsScriptPaused());
    EXPECT_EQ(quest.m_Saver.saves, 1);
    EXPECT_TRUE(quest.Use("box"));
}

TEST_F(ScriptBlockTest, MinigameBlockLifeCycle)
{
    SScriptBlock mg = ScriptBlock(EScriptBlockKind::Minigame, 1, "mg");
    mg.minigame = "demo";
    mg.arguments = {{"level", "3"}};
    SScriptBlock after = ScriptBlock(EScriptBlockKind::AutoAction, 2, "after");
    after.unblockInputs = {1};
    after.commands = ScriptRec("after");
    CBlockQuest quest({{"s", 1, {mg, after}}});
    CMinigameBlock* block = quest.Get<CMinigameBlock>("mg");
    quest.Quest().UpdateScripts();
    ASSERT_EQ(g_Minigames.size(), 1u);
    EXPECT_EQ(g_MinigameLoads, 1);
    qe::CMinigameBase* game = g_Minigames[0].get();
    EXPECT_EQ(block->GetMinigame(), game);
    EXPECT_STREQ(game->FindParam("level"), "3");
    EXPECT_EQ(game->GetBlockGuid(), 1u);
    EXPECT_EQ(quest.Set(0).GetHintIndex().GetFirstReadyMinigame(), block);
    // Started again while it plays: still the one minigame.
    block->Block();
    block->Unblock();
    quest.Env().RefreshAll();
    EXPECT_EQ(g_Minigames.size(), 1u);

    game->Complete();
    EXPECT_FALSE(game->IsFinished());
    EXPECT_TRUE(quest.Quest().IsScriptPaused());
    quest.Quest().UpdateScripts();
    EXPECT_TRUE(game->IsFinished());
    EXPECT_TRUE(block->IsDone());
    EXPECT_EQ(block->GetMinigame(), nullptr);
    EXPECT_EQ(quest.Env().GetPauseCount(), 0);
    EXPECT_EQ(g_BlockRuns, std::vector<std::string>{"after"});
    EXPECT_EQ(quest.Set(0).GetHintIndex().GetReadyMinigameCount(), 0u);
    quest.Env().RefreshAll();
    EXPECT_EQ(g_Minigames.size(), 1u);
}

TEST_F(ScriptBlockTest, MinigameRegistry)
{
    SScriptBlock x = ScriptBlock(EScriptBlockKind::Minigame, 1, "x");
    x.minigame = "x";
    SScriptBlock twice = ScriptBlock(EScriptBlockKind::Minigame, 2, "twice");
    twice.minigame = "twice";
    CBlockQuest quest({{"s", 1, {x, twice}}});
    qe::CMinigameFactory& factory = qe::CMinigameFactory::Instance();
    factory.Register("twice", MakeDemoMinigame);
    factory.Register("twice", MakeOtherMinigame);
    s32 callbacks = 0;
    factory.SetCreatedCallback([](const char*, qe::CMinigameBase*, void* context) { ++*static_cast<s32*>(context); },
                               &callbacks);
    {
        CScratchLogCapture log;
        quest.Quest().UpdateScripts();
        EXPECT_TRUE(log.Contains("Minigame is not registered: 'x'"));
    }
    EXPECT_EQ(quest.Get<CMinigameBlock>("x")->GetMinigame(), nullptr);
    EXPECT_EQ(quest.Set(0).GetHintIndex().GetReadyMinigameCount(), 2u);
    ASSERT_EQ(g_Minigames.size(), 1u);
    EXPECT_EQ(static_cast<CDemoMinigame*>(g_Minigames[0].get())->m_Kind, 2);
    EXPECT_EQ(callbacks, 1);
    factory.SetCreatedCallback(nullptr, nullptr);
    EXPECT_NE(factory.Create(quest.Get<CMinigameBlock>("twice"), "twice"), nullptr);
    EXPECT_EQ(callbacks, 1);
    factory.Unregister("twice");
}

TEST_F(ScriptBlockTest, SceneBlockOpensItsTarget)
{
    SScriptBlock plain = ScriptDoor(1, "plain", "door", "attic");
    SScriptBlock post = ScriptDoor(2, "post", "box", "cellar");
    post.postOpen = ScriptRec("post");
    SScriptBlock locked = ScriptDoor(3, "locked", "chest", "attic");
    locked.blockInputs = {10};
    locked.unblockInputs = {11};
    SScriptBlock listener = ScriptBlock(EScriptBlockKind::Or, 4, "or");
    listener.inputs = {1, 2};
    CBlockQuest quest({{"s", 1,
                        {plain, post, locked, listener, ScriptAction(10, "lock", "lamp", "x"),
                         ScriptAction(11, "unlock", "lamp", "y")}}});
    CSceneBlock* door = quest.Get<CSceneBlock>("plain");
    quest.Quest().UpdateScripts();
    EXPECT_EQ(quest.Set(0).GetHintIndex().GetAvailableSceneBlockCount(), 2u);
    EXPECT_TRUE(quest.Use("door"));
    EXPECT_EQ(g_BlockRuns, std::vector<std::string>{"open:attic"});
    EXPECT_EQ(door->GetPhase(), CSceneBlock::kIdle);
    EXPECT_FALSE(quest.Get<COrBlock>("or")->IsDone());
    EXPECT_TRUE(quest.Use("box"));
    EXPECT_EQ(g_BlockRuns, (std::vector<std::string>{"open:attic", "open:cellar", "post"}));
    EXPECT_TRUE(quest.Get<COrBlock>("or")->IsDone());
    EXPECT_EQ(quest.Env().GetPauseCount(), 0);

    CSceneBlock* gate = quest.Get<CSceneBlock>("locked");
    EXPECT_FALSE(gate->IsAvailable());
    EXPECT_FALSE(quest.Use("chest"));
    quest.Get("unlock")->NotifyListeners(false);
    EXPECT_TRUE(gate->IsAvailable());
    quest.Get("lock")->NotifyListeners(false);
    EXPECT_FALSE(gate->IsAvailable());
    EXPECT_FALSE(quest.Use("chest"));
}

TEST_F(ScriptBlockTest, GroupsCyclesSceneEventsEnvironmentAndOr)
{
    SScriptBlock group = ScriptBlock(EScriptBlockKind::Group, 20, "group");
    group.unblockInputs = {1};
    group.members = {2};
    SScriptBlock open = ScriptBlock(EScriptBlockKind::Group, 21, "open group");
    open.members = {3};
    SScriptBlock cycle = ScriptBlock(EScriptBlockKind::Cycle, 22, "cycle");
    cycle.members = {4};
    cycle.loopInputs = {4};
    SScriptBlock close = ScriptBlock(EScriptBlockKind::SceneEvent, 23, "close");
    close.commands = ScriptRec("closed");
    SScriptBlock env = ScriptBlock(EScriptBlockKind::Environment, 24, "env");
    env.object = "chest";
    env.commandSets = {{"first", ScriptRec("first")}, {"second", ScriptRec("second")}};
    CBlockQuest quest({{"s", 1,
                        {ScriptAction(1, "a", "door", "x"), ScriptAction(2, "member", "box", "m"),
                         ScriptAction(3, "free", "box", "f"), ScriptAction(4, "again", "lamp"), group, open, cycle, close, env}}});
    quest.Quest().UpdateScripts();
    EXPECT_FALSE(IsActionReady(quest.Set(0), quest.Get("member")));
    EXPECT_TRUE(IsActionReady(quest.Set(0), quest.Get("free")));
    quest.Get("a")->NotifyListeners(false);
    EXPECT_TRUE(IsActionReady(quest.Set(0), quest.Get("member")));

    EXPECT_TRUE(quest.Use("lamp"));
    EXPECT_TRUE(quest.Use("lamp"));
    EXPECT_EQ(g_BlockRuns, (std::vector<std::string>{"again", "again"}));

    quest.Set(0).OnSceneEvent(true);
    EXPECT_EQ(g_BlockRuns.size(), 2u);
    quest.Set(0).OnSceneEvent(false);
    EXPECT_EQ(g_BlockRuns.back(), "closed");

    EXPECT_TRUE(quest.Use("chest", "second"));
    EXPECT_EQ(g_BlockRuns.back(), "second");
    EXPECT_FALSE(quest.Use("chest", "third"));
}

TEST_F(ScriptBlockTest, OrBlockStateSurvivesSaveAndLoad)
{
    const auto scenes = [] {
        SScriptBlock orBlock = ScriptBlock(EScriptBlockKind::Or, 2, "or");
        orBlock.inputs = {1};
        SScriptBlock blockedOr = ScriptBlock(EScriptBlockKind::Or, 3, "blocked or");
        blockedOr.inputs = {1};
        SScriptBlock group = ScriptBlock(EScriptBlockKind::Group, 4, "group");
        group.unblockInputs = {5};
        group.members = {3};
        SScriptBlock after = ScriptAction(6, "after", "box");
        after.conditionInputs = {2};
        SScriptBlock later = ScriptAction(7, "later", "chest");
        later.conditionInputs = {3};
        return std::vector<SBlockScene>{
            {"s", 1, {ScriptAction(1, "a", "door"), ScriptAction(5, "u", "lamp", "u"), orBlock, blockedOr, group, after, later}}};
    };
    CBlockQuest first(scenes());
    first.Quest().UpdateScripts();
    EXPECT_TRUE(first.Use("door"));
    EXPECT_TRUE(first.Get<COrBlock>("or")->IsDone());
    EXPECT_FALSE(first.Get<COrBlock>("blocked or")->IsDone());
    const std::vector<u8> state = first.SaveState();
    ASSERT_EQ(static_cast<s32>(state.size()), first.Quest().GetStateSize());

    CBlockQuest second(scenes());
    ASSERT_TRUE(second.Quest().Load(state.data(), static_cast<s32>(state.size())));
    second.Quest().RefreshScripts();
    EXPECT_TRUE(IsActionReady(second.Set(0), second.Get("after")));
    EXPECT_FALSE(IsActionReady(second.Set(0), second.Get("later")));
    second.Get("u")->NotifyListeners(false);
    EXPECT_TRUE(second.Get<COrBlock>("blocked or")->IsDone());
    EXPECT_TRUE(IsActionReady(second.Set(0), second.Get("later")));
    EXPECT_TRUE(g_BlockRuns == std::vector<std::string>{"a"});
}

TEST_F(ScriptBlockTest, SavedStateLayoutAndMismatches)
{
    CBlockQuest quest({{"s", 1, {ScriptAction(1, "a", "door"), ScriptAction(2, "b", "box")}}, {"t", 2, {ScriptDoor(3, "d", "door", "s")}}});
    EXPECT_EQ(quest.Env().GetSaveSize(), 4 + (8 + 4 + 9 * 2) + (8 + 4 + 9 * 1));
    const std::vector<u8> state = quest.SaveState();
    ASSERT_EQ(static_cast<s32>(state.size()), quest.Quest().GetStateSize());
    EXPECT_TRUE(quest.Quest().Load(state.data(), static_cast<s32>(state.size())));

    CBlockQuest more({{"s", 1, {ScriptAction(1, "a", "door"), ScriptAction(2, "b", "box")}},
                      {"t", 2, {ScriptDoor(3, "d", "door", "s"), ScriptAction(4, "e", "box")}}});
    CBlockQuest fewer({{"s", 1, {ScriptAction(1, "a", "door")}}, {"t", 2, {ScriptDoor(3, "d", "door", "s")}}});
    CBlockQuest otherGuid({{"s", 1, {ScriptAction(1, "a", "door"), ScriptAction(9, "b", "box")}}, {"t", 2, {ScriptDoor(3, "d", "door", "s")}}});
    for (CBlockQuest* other : {&more, &fewer, &otherGuid})
    {
        const std::vector<u8> theirs = other->SaveState();
        EXPECT_FALSE(quest.Quest().Load(theirs.data(), static_cast<s32>(theirs.size())));
        EXPECT_FALSE(other->Quest().Load(state.data(), static_cast<s32>(state.size())));
    }
    // Another set guid: the environment's own check (the scenes are the same).
    std::vector<u8> envState(state.end() - quest.Env().GetSaveSize(), state.end());
    envState[4] ^= 1;
    qe::CBinaryReader envReader(envState.data(), static_cast<s32>(envState.size()));
    EXPECT_FALSE(quest.Env().Load(envReader));
}

TEST_F(ScriptBlockTest, PathDistanceFollowsAvailableDoors)
{
    CBlockQuest quest({{"start", 1, {ScriptDoor(1, "to a", "door", "a"), ScriptDoor(2, "to far", "box", "far")}},
                       {"a", 2, {ScriptDoor(3, "to b", "door", "b"), ScriptDoor(4, "back", "box", "start")}},
                       {"b", 3, {ScriptAction(5, "hint", "door", "key")}},
                       {"far", 4, {ScriptAction(6, "far hint", "door", "gem")}},
                       {"only back", 5, {ScriptDoor(7, "only to start", "door", "start")}}});
    quest.Quest().UpdateScripts();
    CScriptEnvironment& env = quest.Env();
    EXPECT_EQ(env.PathDistance(&quest.Set(0), "b", "key"), 1);
    EXPECT_EQ(env.PathDistance(&quest.Set(0), "a", "key"), 2);
    EXPECT_EQ(env.PathDistance(&quest.Set(1), "b", "key"), 1);
    EXPECT_EQ(env.PathDistance(&quest.Set(0), "only back", "gem"), CScriptEnvironment::kUnreachable);
    EXPECT_EQ(env.PathDistance(&quest.Set(0), "a", "gem"), CScriptEnvironment::kUnreachable);
    EXPECT_EQ(env.PathDistance(&quest.Set(0), "nowhere", "key"), CScriptEnvironment::kUnreachable);
}

TEST_F(ScriptBlockTest, PathDistanceOnALoopedMapWithoutHintEnds)
{
    // Forty scenes, three doors each, many loops and no hint anywhere.
    std::vector<SBlockScene> scenes;
    u64 guid = 1;
    for (int i = 0; i < 40; ++i)
    {
        scenes.push_back(SBlockScene{nullptr, static_cast<u64>(100 + i), {}});
    }
    std::vector<std::string> names;
    for (int i = 0; i < 40; ++i)
        names.push_back("m" + std::to_string(i));
    const char* objects[3] = {"door", "box", "chest"};
    for (int i = 0; i < 40; ++i)
    {
        scenes[static_cast<size_t>(i)].name = names[static_cast<size_t>(i)].c_str();
        const int targets[3] = {(i + 1) % 40, (i + 7) % 40, (i + 39) % 40};
        for (int d = 0; d < 3; ++d, ++guid)
            scenes[static_cast<size_t>(i)].blocks.push_back(ScriptDoor(guid, ("d" + std::to_string(guid)).c_str(), objects[d],
                                                                 names[static_cast<size_t>(targets[d])].c_str()));
    }
    CBlockQuest quest(scenes);
    quest.Quest().UpdateScripts();
    EXPECT_EQ(quest.Env().PathDistance(&quest.Set(0), "m1", "key"), CScriptEnvironment::kUnreachable);
}

TEST_F(ScriptBlockTest, SetWithoutSceneIsKeptAndGuarded)
{
    CScratchLogCapture log;
    CBlockQuest quest({{"s", 1, {ScriptAction(1, "a", "door")}}}, {77});
    ASSERT_EQ(quest.Env().GetSetCount(), 2u);
    CScriptSet& lost = quest.Set(1);
    EXPECT_EQ(lost.GetScene(), nullptr);
    EXPECT_TRUE(log.Contains("Script scene 77 names no scene"));
    quest.Quest().UpdateScripts();
    lost.OnSceneEvent(true);
    EXPECT_FALSE(lost.OnObjectUsed(quest.Object("door"), ""));
    EXPECT_EQ(quest.Env().PathDistance(&quest.Set(0), "", "key"), CScriptEnvironment::kUnreachable);
    EXPECT_EQ(quest.Env().GetSaveSize(), 4 + (8 + 4 + 9) + (8 + 4));
    const std::vector<u8> state = quest.SaveState();
    EXPECT_TRUE(quest.Quest().Load(state.data(), static_cast<s32>(state.size())));
}

TEST_F(ScriptBlockTest, BlocksThatReFireEachOtherStopAtTheNestingCap)
{
    // The cycle tells the member at refresh; the member, without commands, is done at once and
    // tells the cycle, whose loop resets the member and tells it again...
    SScriptBlock cycle = ScriptBlock(EScriptBlockKind::Cycle, 1, "cycle");
    cycle.members = {2};
    cycle.loopInputs = {2};
    SScriptBlock member = ScriptBlock(EScriptBlockKind::AutoAction, 2, "spinner");
    member.unblockInputs = {1};
    CBlockQuest quest({{"s", 1, {member, cycle}}});
    CScratchLogCapture log;
    quest.Quest().UpdateScripts();
    EXPECT_TRUE(log.Contains("nest too deep at '"));
    EXPECT_EQ(quest.Env().GetPauseCount(), 0);
}

TEST_F(ScriptBlockTest, ClickGoesToTheObjectBehindWhenNoBlockTakesTheFrontOne)
{
    // Every object covers the point; only the last object in front-to-back order has a block.
    CBlockQuest probe({{"s", 1, {}}});
    qe::CScene* probeScene = probe.Set(0).GetScene();
    ASSERT_GT(probeScene->GetObjectCount(), 1);
    const std::string back = probeScene->GetObject(probeScene->GetObjectCount() - 1)->GetNameCStr();

    CBlockQuest quest({{"s", 1, {ScriptAction(1, "back", back.c_str(), "key")}}});
    qe::CScene* scene = quest.Set(0).GetScene();
    quest.Quest().UpdateScripts();
    EXPECT_FALSE(scene->HandleClick({5, 5}, ""));
    EXPECT_FALSE(scene->HandleClick({50, 50}, "key"));
    EXPECT_TRUE(scene->HandleClick({5, 5}, "key"));
    EXPECT_EQ(g_BlockRuns, std::vector<std::string>{"back"});
}

TEST_F(ScriptBlockTest, RoundTripRestoresBlockFlagsObjectsAndMinigames)
{
    const auto scenes = [] {
        SScriptBlock hide = ScriptAction(1, "hide", "door");
        hide.correct = {SScriptCommand::Named("hide", {{"a1", "box"}})};
        SScriptBlock mg = ScriptBlock(EScriptBlockKind::Minigame, 2, "mg");
        mg.minigame = "demo";
        mg.unblockInputs = {1};
        SScriptBlock waiting = ScriptBlock(EScriptBlockKind::Minigame, 3, "waiting");
        waiting.minigame = "demo";
        waiting.unblockInputs = {2};
        SScriptBlock door = ScriptDoor(4, "door", "chest", "t");
        door.unblockInputs = {1};
        return std::vector<SBlockScene>{{"s", 1, {hide, mg, waiting, door}}, {"t", 2, {ScriptAction(5, "lamp", "lamp")}}};
    };
    CBlockQuest first(scenes());
    first.Quest().UpdateScripts();
    EXPECT_TRUE(first.Use("door"));
    first.Quest().UpdateScripts();
    EXPECT_TRUE(first.Use("lamp", "", 1));
    ASSERT_EQ(g_Minigames.size(), 1u);
    EXPECT_TRUE(first.Object("box")->HasFlags(qe::CSceneObject::kHidden));
    const std::vector<u8> state = first.SaveState();
    g_Minigames.clear();

    CBlockQuest second(scenes());
    ASSERT_TRUE(second.Quest().Load(state.data(), static_cast<s32>(state.size())));
    second.Quest().RefreshScripts();
    for (u32 s = 0; s < 2; ++s)
    {
        for (u32 b = 0; b < first.Set(s).GetBlockCount(); ++b)
            EXPECT_EQ(second.Set(s).GetBlock(b)->GetFlags(), first.Set(s).GetBlock(b)->GetFlags()) << s << ":" << b;
        qe::CScene* a = first.Set(s).GetScene();
        qe::CScene* c = second.Set(s).GetScene();
        for (s32 o = 0; o < a->GetObjectCount(); ++o)
            EXPECT_EQ(c->GetObject(o)->GetFlags(), a->GetObject(o)->GetFlags());
    }
    ASSERT_EQ(g_Minigames.size(), 1u);
    EXPECT_EQ(second.Get<CMinigameBlock>("mg")->GetMinigame(), g_Minigames[0].get());
    EXPECT_EQ(second.Get<CMinigameBlock>("waiting")->GetMinigame(), nullptr);
    EXPECT_EQ(second.SaveState(), state);
}

namespace {

std::string ScenarioGuid(u64 n)
{
    static const char kDigits[] = "/0123456789ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz+";
    std::string text;
    for (int i = 0; i < 5; ++i, n /= 64)
        text += kDigits[n % 64];
    return text;
}

// Every kind in two scenes; the same content as quest.xml and for the writers.
std::vector<SBlockScene> ScenarioScenes()
{
    SScriptBlock enter = ScriptBlock(EScriptBlockKind::SceneEvent, 10, "enter");
    enter.openEvent = true;
    enter.commands = ScriptRec("welcome");
    SScriptBlock intro = ScriptBlock(EScriptBlockKind::AutoAction, 11, "intro");
    intro.unblockInputs = {10};
    intro.commands = ScriptRec("intro");
    SScriptBlock take = ScriptAction(12, "take key", "box", "", "key");
    take.unblockInputs = {11};
    SScriptBlock unlock = ScriptAction(13, "unlock", "door", "key");
    unlock.conditionInputs = {12};
    unlock.incorrect = ScriptRec("locked");
    unlock.correct = {SScriptCommand::Node(SScriptCommand::EType::Sequence,
                                           {SScriptCommand::Named("rec", {{"a1", "unlocked"}}),
                                            SScriptCommand::Named("hide", {{"a1", "chest"}})})};
    SScriptBlock toAttic = ScriptDoor(14, "to attic", "door", "attic");
    toAttic.unblockInputs = {13};
    toAttic.postOpen = ScriptRec("arrived");
    SScriptBlock any = ScriptBlock(EScriptBlockKind::Or, 15, "any");
    any.inputs = {13, 32};
    SScriptBlock lamps = ScriptBlock(EScriptBlockKind::Group, 16, "lamps");
    lamps.unblockInputs = {15};
    lamps.members = {17};
    SScriptBlock chest = ScriptBlock(EScriptBlockKind::Environment, 18, "chest");
    chest.object = "chest";
    chest.commandSets = {{"key", ScriptRec("chest key")}, {"", ScriptRec("chest")}};
    SScriptBlock puzzle = ScriptBlock(EScriptBlockKind::Minigame, 30, "puzzle");
    puzzle.minigame = "demo";
    puzzle.unblockInputs = {14};
    puzzle.arguments = {{"level", "2"}};
    SScriptBlock cycle = ScriptBlock(EScriptBlockKind::Cycle, 31, "cycle");
    cycle.unblockInputs = {30};
    cycle.loopInputs = {32};
    cycle.members = {32};
    SBlockScene hall{"hall", 1, {enter, intro, take, unlock, ScriptAction(17, "lamp", "lamp"), toAttic, any, lamps, chest}};
    SBlockScene attic{"attic", 2, {puzzle, ScriptAction(32, "lever", "lamp"), cycle}};
    hall.spread = attic.spread = true;
    return {hall, attic};
}

const char* ScenarioXml()
{
    return R"(<?xml version="1.0"?>
<quest_data>
 <Structure><quest id="q"><scene id="hall" guid="0////" size="100 100"/><scene id="attic" guid="1////" size="100 100"/></quest></Structure>
 <scene_content guid="0////">
  <objects>%%AREAS%%</objects>
  <scripts>
   <scene_event_block guid="%10" id="enter" event="open"><commands><rec a1="welcome"/></commands></scene_event_block>
   <auto_action_block guid="%11" id="intro"><unblock_inputs><i guid="%10"/></unblock_inputs><commands><rec a1="intro"/></commands></auto_action_block>
   <action_block guid="%12" id="take key" object="box" active_object=""><unblock_inputs><i guid="%11"/></unblock_inputs>
    <correct_commands><rec a1="key"/></correct_commands></action_block>
   <action_block guid="%13" id="unlock" object="door" active_object="key"><condition_inputs><i guid="%12"/></condition_inputs>
    <correct_commands><sequence><rec a1="unlocked"/><hide a1="chest"/></sequence></correct_commands>
    <incorrect_commands><rec a1="locked"/></incorrect_commands></action_block>
   <scene_block guid="%14" id="to attic" object="door" scene="attic"><unblock_inputs><i guid="%13"/></unblock_inputs>
    <postopen_commands><rec a1="arrived"/></postopen_commands></scene_block>
   <or_block guid="%15" id="any"><inputs><i guid="%13"/><i guid="%32"/></inputs></or_block>
   <group guid="%16" id="lamps"><unblock_inputs><i guid="%15"/></unblock_inputs>
    <column><action_block guid="%17" id="lamp" object="lamp" active_object=""><correct_commands><rec a1="lamp"/></correct_commands></action_block></column>
   </group>
   <environment_block guid="%18" id="chest" object="chest">
    <commands active_object="key"><rec a1="chest key"/></commands><commands active_object=""><rec a1="chest"/></commands>
   </environment_block>
  </scripts>
 </scene_content>
 <scene_content guid="1////">
  <objects>%%AREAS%%</objects>
  <scripts>
   <minigame_block guid="%30" id="puzzle" minigame="demo"><arguments><a key="level" value="2"/></arguments>
    <unblock_inputs><i guid="%14"/></unblock_inputs></minigame_block>
   <cycle guid="%31" id="cycle"><unblock_inputs><i guid="%30"/></unblock_inputs><loop_blocks><i guid="%32"/></loop_blocks>
    <column><action_block guid="%32" id="lever" object="lamp" active_object=""><correct_commands><rec a1="lever"/></correct_commands></action_block></column>
   </cycle>
  </scripts>
 </scene_content>
</quest_data>
)";
}

// "%n" stands for the guid text of n; each "%%AREAS%%" for the next scene's four areas.
std::string ScenarioXmlText()
{
    std::string xml = ScenarioXml();
    u64 objectGuid = 1000;
    for (size_t at = xml.find("%%AREAS%%"); at != std::string::npos; at = xml.find("%%AREAS%%", at))
    {
        std::string areas;
        s32 x = 0;
        for (const char* name : {"door", "box", "chest", "lamp"})
        {
            const std::string l = std::to_string(x), r = std::to_string(x + 10);
            areas += std::string("<area id=\"") + name + "\" guid=\"%" + std::to_string(++objectGuid) + "\" offset=\"" + l +
                     " 0\" size=\"10 10\"><point offset=\"" + l + " 0\"/><point offset=\"" + r + " 0\"/><point offset=\"" + r +
                     " 10\"/><point offset=\"" + l + " 10\"/></area>";
            x += 20;
        }
        xml.replace(at, 9, areas);
    }
    for (size_t at = xml.find('%'); at != std::string::npos; at = xml.find('%', at))
    {
        size_t end = at + 1;
        while (end < xml.size() && xml[end] >= '0' && xml[end] <= '9')
            ++end;
        const std::string guid = ScenarioGuid(std::stoull(xml.substr(at + 1, end - at - 1)));
        xml.replace(at, end - at, guid);
    }
    return xml;
}

// Plays the scenario through clicks and 16 ms frames; the quest's state afterwards.
std::vector<u8> PlayScenario(qe::CQuest& quest)
{
    qe::CScene* hall = quest.FindScene("hall");
    qe::CScene* attic = quest.FindScene("attic");
    const auto frame = [&] { quest.UpdateScripts(); };
    const auto click = [&](qe::CScene* scene, s32 x, const char* item) { return scene->HandleClick({x + 5, 5}, item); };
    frame();
    hall->Enter();
    frame();
    EXPECT_TRUE(click(hall, 0, "key"));   // too early: "locked"
    EXPECT_FALSE(click(hall, 0, ""));     // the door is still locked
    EXPECT_TRUE(click(hall, 20, ""));     // the key
    EXPECT_FALSE(click(hall, 60, ""));    // the lamp's group holds it
    EXPECT_TRUE(click(hall, 40, "key"));
    EXPECT_TRUE(click(hall, 40, ""));
    EXPECT_TRUE(click(hall, 0, "key"));   // unlocked: the or block frees the lamp
    frame();
    EXPECT_TRUE(click(hall, 60, ""));
    EXPECT_TRUE(click(hall, 0, ""));      // through the door
    frame();
    EXPECT_FALSE(click(attic, 60, ""));   // the cycle waits for the puzzle
    EXPECT_EQ(g_Minigames.size(), 1u);
    if (!g_Minigames.empty())
        g_Minigames.back()->Complete();
    frame();
    EXPECT_TRUE(click(attic, 60, ""));
    frame();
    EXPECT_TRUE(click(attic, 60, ""));    // reset by the cycle: again
    frame();
    EXPECT_EQ(g_BlockRuns, (std::vector<std::string>{"welcome", "intro", "locked", "key", "chest key", "chest",
                                                     "unlocked", "lamp", "open:attic", "arrived", "lever", "lever"}));
    EXPECT_FALSE(quest.IsScriptPaused());
    qe::CByteBuffer buffer;
    buffer.Allocate(quest.GetStateSize());
    quest.Save(buffer);
    return std::vector<u8>(buffer.GetData(), buffer.GetData() + buffer.GetLength());
}

} // namespace

TEST_F(ScriptBlockTest, ScenarioOfAllKindsGivesTheSameStateFromXmlAndFromImages)
{
    CBlockQuest images(ScenarioScenes());
    const std::vector<u8> fromImages = PlayScenario(images.Quest());
    const struct
    {
        const char* id;
        u8 flags;
    } expected[] = {{"enter", 1}, {"intro", 1}, {"take key", 1}, {"unlock", 1},  {"to attic", CSceneBlock::kIdle},
                    {"any", 5},   {"lamps", 0}, {"lamp", 1},     {"chest", 0},   {"puzzle", 5},
                    {"cycle", 0}, {"lever", 0}};
    for (const auto& e : expected)
        EXPECT_EQ(images.Get(e.id)->GetFlags(), e.flags) << e.id;
    EXPECT_TRUE(images.Object("chest")->HasFlags(qe::CSceneObject::kHidden));
    EXPECT_FALSE(images.Object("door")->HasFlags(qe::CSceneObject::kHidden));

    g_BlockRuns.clear();
    g_Minigames.clear();
    qe::CQuestData data;
    ASSERT_TRUE(data.BuildFromXmlText(ScenarioXmlText()));
    lv::core::CSettings settings;
    ASSERT_TRUE(settings.LoadXmlText(ScenarioXmlText()));
    qe::CScriptData scripts;
    scripts.Compile(settings.GetFirstChild());
    std::unique_ptr<qe::CQuest> quest(data.CreateQuest("q", nullptr, nullptr));
    ASSERT_NE(quest, nullptr);
    quest->SetScriptEnvironment(scripts.CreateEnvironment(quest.get(), nullptr));
    ASSERT_NE(quest->GetScriptEnvironment(), nullptr);
    EXPECT_EQ(PlayScenario(*quest), fromImages);
}
