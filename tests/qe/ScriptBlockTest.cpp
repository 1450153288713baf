#include "content/QuestDataWriter.h"
#include "content/QuestScriptWriter.h"
#include "core/MessageBox.h"
#include "graphics/LogCapture.h"
#include "qe/ActionBlock.h"
#include "qe/AutoActionBlock.h"
#include "qe/BinaryReader.h"
#include "qe/BlockInputSet.h"
#include "qe/ByteBuffer.h"
#include "qe/CommandBase.h"
#include "qe/CommandFactory.h"
#include "qe/CycleBlock.h"
#include "qe/EnvironmentBlock.h"
#include "qe/GroupBlock.h"
#include "qe/MinigameBase.h"
#include "qe/MinigameBlock.h"
#include "qe/MinigameFactory.h"
#include "qe/OrBlock.h"
#include "qe/Quest.h"
#include "qe/QuestData.h"
#include "qe/SavableState.h"
#include "qe/Scene.h"
#include "qe/SceneBlock.h"
#include "qe/SceneEventBlock.h"
#include "qe/SceneObject.h"
#include "qe/ScriptEnvironment.h"
#include "qe/ScriptImage.h"
#include "qe/ScriptSet.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

using namespace lv::content;
using namespace qe::scripts;

namespace {

// What the test commands did, in order: "rec" adds its "a1" argument, "open_scene" adds
// "open:" and its "scene" argument. "hold" runs until kHoldRelease is set.
std::vector<std::string> g_BlockRuns;
bool g_HoldRelease = false;

class CRecordCommand : public CCommandBase
{
public:
    CRecordCommand(const CCommandRecord& record, qe::CScene* scene, lv::gui::CBaseWidget* widget, bool hold)
        : CCommandBase(scene, widget), m_Hold(hold)
    {
        if (record.GetName().Equals("open_scene"))
            g_BlockRuns.push_back(std::string("open:") + record.GetArgument(0));
        else if (!hold)
            g_BlockRuns.push_back(record.GetArgument(0));
        if (!hold)
            Finish();
    }
    void Update() override
    {
        if (m_Hold && g_HoldRelease)
            Finish();
    }

private:
    bool m_Hold = false;
};

CCommandBase* MakeRecordCommand(const CCommandRecord& r, qe::CScene* s, lv::gui::CBaseWidget* w)
{
    return new CRecordCommand(r, s, w, false);
}

CCommandBase* MakeHoldCommand(const CCommandRecord& r, qe::CScene* s, lv::gui::CBaseWidget* w)
{
    return new CRecordCommand(r, s, w, true);
}

// The minigames the test made; the test owns them as the game's host would.
std::vector<std::unique_ptr<qe::CMinigameBase>> g_Minigames;
s32 g_MinigameLoads = 0;

class CDemoMinigame : public qe::CMinigameBase
{
public:
    explicit CDemoMinigame(s32 kind) : m_Kind(kind) {}
    void Load() override { ++g_MinigameLoads; }
    qe::CSceneObject* GetHintObject(const char*) override { return nullptr; }
    void Skip() override { Complete(); }
    s32 m_Kind = 0;
};

qe::CMinigameBase* MakeDemoMinigame(const char*)
{
    g_Minigames.push_back(std::make_unique<CDemoMinigame>(1));
    return g_Minigames.back().get();
}

qe::CMinigameBase* MakeOtherMinigame(const char*)
{
    g_Minigames.push_back(std::make_unique<CDemoMinigame>(2));
    return g_Minigames.back().get();
}

class CCountingSave : public qe::CSavableState
{
public:
    bool SaveState() override
    {
        ++saves;
        return true;
    }
    s32 saves = 0;
};

SScriptTree Rec(const char* text)
{
    return {SScriptCommand::Named("rec", {{"a1", text}})};
}

SScriptBlock Block(EScriptBlockKind kind, u64 guid, const char* id)
{
    SScriptBlock b;
    b.kind = kind;
    b.guid = guid;
    b.id = id;
    return b;
}

SScriptBlock Action(u64 guid, const char* id, const char* object, const char* item = "", const char* correct = nullptr)
{
    SScriptBlock b = Block(EScriptBlockKind::Action, guid, id);
    b.object = object;
    b.activeObject = item;
    b.correct = Rec(correct ? correct : id);
    return b;
}

SScriptBlock Door(u64 guid, const char* id, const char* object, const char* target)
{
    SScriptBlock b = Block(EScriptBlockKind::Scene, guid, id);
    b.object = object;
    b.targetScene = target;
    return b;
}

SQuestObject BlockArea(const char* id, u64 guid)
{
    SQuestObject o;
    o.kind = EQuestObjectKind::Area;
    o.id = id;
    o.guid = guid;
    o.size[0] = o.size[1] = 10;
    o.points = {{0, 0}, {10, 0}, {10, 10}, {0, 10}};
    return o;
}

struct SBlockScene
{
    const char* name;
    u64 guid;
    std::vector<SScriptBlock> blocks;
    std::vector<const char*> objects = {"door", "box", "chest", "lamp"};
};

// One quest "q" of the given scenes: the objects from the quest data image, the scripts from a
// script image made by the writer.
class CBlockQuest
{
public:
    explicit CBlockQuest(const std::vector<SBlockScene>& scenes, std::vector<u64> scriptOnlyGuids = {})
    {
        SQuest quest;
        quest.id = "q";
        SScriptQuest script;
        script.id = "q";
        u64 objectGuid = 1000;
        for (const SBlockScene& s : scenes)
        {
            SQuestScene scene;
            scene.id = s.name;
            scene.guid = s.guid;
            scene.size[0] = scene.size[1] = 100;
            for (const char* object : s.objects)
                scene.objects.push_back(BlockArea(object, ++objectGuid));
            quest.scenes.push_back(scene);
            script.scenes.push_back({s.guid, s.blocks});
        }
        for (u64 guid : scriptOnlyGuids)
            script.scenes.push_back({guid, {}});
        EXPECT_TRUE(CQuestDataWriter::BuildImage({quest}, m_DataImage));
        EXPECT_TRUE(m_Data.LoadImage(m_DataImage.data(), static_cast<u32>(m_DataImage.size())));
        std::string error;
        EXPECT_TRUE(CQuestScriptWriter::BuildImage({script}, m_ScriptImage, EScriptImageFault::None, &error)) << error;
        EXPECT_TRUE(CScriptImage::Validate(m_ScriptImage.data(), m_ScriptImage.size(), &error)) << error;
        m_Quest.reset(m_Data.CreateQuest("q", nullptr, &m_Saver));
        const CQuestRecord record = CScriptImage::FindQuest(m_ScriptImage.data(), m_ScriptImage.size(), CFixedString("q"));
        EXPECT_TRUE(record.IsValid());
        m_Quest->SetScriptEnvironment(std::make_unique<CScriptEnvironment>(record, m_Quest.get(), nullptr));
    }

    CScriptEnvironment& Env() const { return *m_Quest->GetScriptEnvironment(); }
    CScriptSet& Set(u32 index) const { return *Env().GetSet(index); }
    template <typename T = CBlockBase>
    T* Get(const char* id) const
    {
        return static_cast<T*>(Env().FindBlock(id));
    }
    qe::CSceneObject* Object(const char* name, u32 set = 0) const { return Set(set).GetScene()->FindObject(name); }
    bool Use(const char* object, const char* item = "", u32 set = 0) const
    {
        return Set(set).OnObjectUsed(Object(object, set), item);
    }
    std::vector<u8> SaveState() const
    {
        qe::CByteBuffer buffer;
        buffer.Allocate(m_Quest->GetStateSize());
        m_Quest->Save(buffer);
        return std::vector<u8>(buffer.GetData(), buffer.GetData() + buffer.GetLength());
    }

    qe::CQuest& Quest() const { return *m_Quest; }
    CCountingSave m_Saver;

private:
    std::vector<u8> m_DataImage;
    std::vector<u8> m_ScriptImage;
    qe::CQuestData m_Data;
    std::unique_ptr<qe::CQuest> m_Quest;
};

bool IsActionReady(const CScriptSet& set, const CBlockBase* block)
{
    for (const CActionBlock* ready : set.GetHintIndex().GetReadyActions())
        if (ready == block)
            return true;
    return false;
}

class ScriptBlockTest : public testing::Test
{
protected:
    void SetUp() override
    {
        lv::core::SetQuietMessageBoxes(true);
        CCommandFactory::Instance().Register("rec", MakeRecordCommand);
        CCommandFactory::Instance().Register("open_scene", MakeRecordCommand);
        CCommandFactory::Instance().Register("hold", MakeHoldCommand);
        qe::CMinigameFactory::Instance().Register("demo", MakeDemoMinigame);
        qe::CMinigameFactory::Instance().SetCreatedCallback(nullptr, nullptr);
        g_BlockRuns.clear();
        g_HoldRelease = false;
        g_MinigameLoads = 0;
    }
    void TearDown() override { g_Minigames.clear(); }
};

} // namespace

TEST_F(ScriptBlockTest, InputSetsCountEachInputOnceAndEmptyListsAreComplete)
{
    CBlockQuest quest({{"s", 1, {Action(1, "a", "door"), Action(2, "b", "box"), Action(3, "c", "chest")}}});
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
    SScriptBlock auto1 = Block(EScriptBlockKind::AutoAction, 2, "auto");
    auto1.unblockInputs = {1};
    auto1.commands = Rec("auto");
    SScriptBlock action = Action(3, "act", "box");
    action.conditionInputs = {1};
    CBlockQuest quest({{"s", 1, {Action(1, "a", "door"), auto1, action}}});
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
    SScriptBlock now = Block(EScriptBlockKind::AutoAction, 1, "now");
    now.commands = Rec("now");
    SScriptBlock bad = Block(EScriptBlockKind::AutoAction, 2, "bad");
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
    SScriptBlock empty = Block(EScriptBlockKind::AutoAction, 1, "empty");
    SScriptBlock next = Block(EScriptBlockKind::AutoAction, 2, "next");
    next.unblockInputs = {1};
    next.commands = Rec("next");
    CBlockQuest quest({{"s", 1, {empty, next}}});
    quest.Quest().UpdateScripts();
    EXPECT_TRUE(quest.Get<CAutoActionBlock>("empty")->IsDone());
    EXPECT_EQ(g_BlockRuns, std::vector<std::string>{"next"});
    EXPECT_EQ(quest.Env().GetPauseCount(), 0);
}

TEST_F(ScriptBlockTest, ActionBlockFiresOnceOnItsObject)
{
    CBlockQuest quest({{"s", 1, {Action(1, "a", "door")}}});
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
    SScriptBlock box = Action(2, "box", "box", "key");
    box.conditionInputs = {1};
    box.incorrect = Rec("too early");
    box.commandSets = {{"coin", Rec("coin")}};
    CBlockQuest quest({{"s", 1, {Action(1, "a", "door"), box}}});
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
    SScriptBlock early = Action(2, "early", "chest", "key");
    early.conditionInputs = {9};
    early.incorrect = Rec("early incorrect");
    SScriptBlock late = Action(3, "late", "chest", "key");
    SScriptBlock env = Block(EScriptBlockKind::Environment, 4, "env");
    env.object = "door";
    env.commandSets = {{"", Rec("env")}};
    CBlockQuest quest({{"s", 1, {Action(9, "never", "lamp", "nothing"), early, late, Action(1, "a", "door"), env}}});
    quest.Quest().UpdateScripts();
    EXPECT_TRUE(quest.Use("chest", "key"));
    EXPECT_TRUE(quest.Use("door"));
    EXPECT_EQ(g_BlockRuns, (std::vector<std::string>{"late", "a"}));
    EXPECT_TRUE(quest.Use("door"));
    EXPECT_EQ(g_BlockRuns.back(), "env");
}

TEST_F(ScriptBlockTest, RunningTreeTakesNoClicks)
{
    SScriptBlock a = Action(1, "a", "door");
    a.correct = {SScriptCommand::Named("hold")};
    CBlockQuest quest({{"s", 1, {a, Action(2, "b", "box")}}});
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
    SScriptBlock mg = Block(EScriptBlockKind::Minigame, 1, "mg");
    mg.minigame = "demo";
    mg.arguments = {{"level", "3"}};
    SScriptBlock after = Block(EScriptBlockKind::AutoAction, 2, "after");
    after.unblockInputs = {1};
    after.commands = Rec("after");
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
    SScriptBlock x = Block(EScriptBlockKind::Minigame, 1, "x");
    x.minigame = "x";
    SScriptBlock twice = Block(EScriptBlockKind::Minigame, 2, "twice");
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
    SScriptBlock plain = Door(1, "plain", "door", "attic");
    SScriptBlock post = Door(2, "post", "box", "cellar");
    post.postOpen = Rec("post");
    SScriptBlock locked = Door(3, "locked", "chest", "attic");
    locked.blockInputs = {10};
    locked.unblockInputs = {11};
    SScriptBlock listener = Block(EScriptBlockKind::Or, 4, "or");
    listener.inputs = {1, 2};
    CBlockQuest quest({{"s", 1,
                        {plain, post, locked, listener, Action(10, "lock", "lamp", "x"),
                         Action(11, "unlock", "lamp", "y")}}});
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
    SScriptBlock group = Block(EScriptBlockKind::Group, 20, "group");
    group.unblockInputs = {1};
    group.members = {2};
    SScriptBlock open = Block(EScriptBlockKind::Group, 21, "open group");
    open.members = {3};
    SScriptBlock cycle = Block(EScriptBlockKind::Cycle, 22, "cycle");
    cycle.members = {4};
    cycle.loopInputs = {4};
    SScriptBlock close = Block(EScriptBlockKind::SceneEvent, 23, "close");
    close.commands = Rec("closed");
    SScriptBlock env = Block(EScriptBlockKind::Environment, 24, "env");
    env.object = "chest";
    env.commandSets = {{"first", Rec("first")}, {"second", Rec("second")}};
    CBlockQuest quest({{"s", 1,
                        {Action(1, "a", "door", "x"), Action(2, "member", "box", "m"),
                         Action(3, "free", "box", "f"), Action(4, "again", "lamp"), group, open, cycle, close, env}}});
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
        SScriptBlock orBlock = Block(EScriptBlockKind::Or, 2, "or");
        orBlock.inputs = {1};
        SScriptBlock blockedOr = Block(EScriptBlockKind::Or, 3, "blocked or");
        blockedOr.inputs = {1};
        SScriptBlock group = Block(EScriptBlockKind::Group, 4, "group");
        group.unblockInputs = {5};
        group.members = {3};
        SScriptBlock after = Action(6, "after", "box");
        after.conditionInputs = {2};
        SScriptBlock later = Action(7, "later", "chest");
        later.conditionInputs = {3};
        return std::vector<SBlockScene>{
            {"s", 1, {Action(1, "a", "door"), Action(5, "u", "lamp", "u"), orBlock, blockedOr, group, after, later}}};
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
    CBlockQuest quest({{"s", 1, {Action(1, "a", "door"), Action(2, "b", "box")}}, {"t", 2, {Door(3, "d", "door", "s")}}});
    EXPECT_EQ(quest.Env().GetSaveSize(), 4 + (8 + 4 + 9 * 2) + (8 + 4 + 9 * 1));
    const std::vector<u8> state = quest.SaveState();
    ASSERT_EQ(static_cast<s32>(state.size()), quest.Quest().GetStateSize());
    EXPECT_TRUE(quest.Quest().Load(state.data(), static_cast<s32>(state.size())));

    CBlockQuest more({{"s", 1, {Action(1, "a", "door"), Action(2, "b", "box")}},
                      {"t", 2, {Door(3, "d", "door", "s"), Action(4, "e", "box")}}});
    CBlockQuest fewer({{"s", 1, {Action(1, "a", "door")}}, {"t", 2, {Door(3, "d", "door", "s")}}});
    CBlockQuest otherGuid({{"s", 1, {Action(1, "a", "door"), Action(9, "b", "box")}}, {"t", 2, {Door(3, "d", "door", "s")}}});
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
    CBlockQuest quest({{"start", 1, {Door(1, "to a", "door", "a"), Door(2, "to far", "box", "far")}},
                       {"a", 2, {Door(3, "to b", "door", "b"), Door(4, "back", "box", "start")}},
                       {"b", 3, {Action(5, "hint", "door", "key")}},
                       {"far", 4, {Action(6, "far hint", "door", "gem")}},
                       {"only back", 5, {Door(7, "only to start", "door", "start")}}});
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
            scenes[static_cast<size_t>(i)].blocks.push_back(Door(guid, ("d" + std::to_string(guid)).c_str(), objects[d],
                                                                 names[static_cast<size_t>(targets[d])].c_str()));
    }
    CBlockQuest quest(scenes);
    quest.Quest().UpdateScripts();
    EXPECT_EQ(quest.Env().PathDistance(&quest.Set(0), "m1", "key"), CScriptEnvironment::kUnreachable);
}

TEST_F(ScriptBlockTest, SetWithoutSceneIsKeptAndGuarded)
{
    CScratchLogCapture log;
    CBlockQuest quest({{"s", 1, {Action(1, "a", "door")}}}, {77});
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
    SScriptBlock cycle = Block(EScriptBlockKind::Cycle, 1, "cycle");
    cycle.members = {2};
    cycle.loopInputs = {2};
    SScriptBlock member = Block(EScriptBlockKind::AutoAction, 2, "spinner");
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

    CBlockQuest quest({{"s", 1, {Action(1, "back", back.c_str(), "key")}}});
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
        SScriptBlock hide = Action(1, "hide", "door");
        hide.correct = {SScriptCommand::Named("hide", {{"a1", "box"}})};
        SScriptBlock mg = Block(EScriptBlockKind::Minigame, 2, "mg");
        mg.minigame = "demo";
        mg.unblockInputs = {1};
        SScriptBlock waiting = Block(EScriptBlockKind::Minigame, 3, "waiting");
        waiting.minigame = "demo";
        waiting.unblockInputs = {2};
        SScriptBlock door = Door(4, "door", "chest", "t");
        door.unblockInputs = {1};
        return std::vector<SBlockScene>{{"s", 1, {hide, mg, waiting, door}}, {"t", 2, {Action(5, "lamp", "lamp")}}};
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
