// The hint queries of a scene's script set: local hints, the door walk to the nearest hint, the
// available scenes and doors, ready minigames and the classification of the pointer.
#include "QuestFixture.h"
#include "ScriptBlockFixture.h"
#include "qe/HintIndex.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <set>
#include <string>
#include <vector>

using namespace qetest;

namespace {

// A minigame whose hint for the item named by "for" (none: the empty item) is the object named
// by "hint", and whose developer marker sits on the object named by "cheat".
class CHintGame : public qe::CMinigameBase
{
public:
    void Load() override {}
    qe::CSceneObject* GetHintObject(const char* activeObject) override
    {
        const char* item = FindParam("for");
        return std::string(item ? item : "") == activeObject ? Named("hint") : nullptr;
    }
    void Skip() override
    {
        ++skips;
        Complete();
    }
    qe::CSceneObject* GetCheatObject() override { return Named("cheat"); }
    s32 skips = 0;

private:
    qe::CSceneObject* Named(const char* key) const
    {
        const char* name = FindParam(key);
        return name && GetScene() ? GetScene()->FindObject(name) : nullptr;
    }
};

qe::CMinigameBase* MakeHintGame(const char*)
{
    g_Minigames.push_back(std::make_unique<CHintGame>());
    return g_Minigames.back().get();
}

SScriptBlock HintGame(u64 guid, const char* id, const char* hint, bool ignored = false)
{
    SScriptBlock b = ScriptBlock(EScriptBlockKind::Minigame, guid, id);
    b.minigame = "hinter";
    b.arguments = {{"hint", hint}};
    b.ignoredByHint = ignored;
    return b;
}

class HintIndexTest : public CBlockTestBase
{
protected:
    void SetUp() override
    {
        CBlockTestBase::SetUp();
        qe::CMinigameFactory::Instance().Register("hinter", MakeHintGame);
    }
};

// Of two blocks, the one the index orders first (by address).
template <typename T>
T* FirstOf(T* a, T* b)
{
    return std::less<T*>()(a, b) ? a : b;
}

} // namespace

TEST_F(HintIndexTest, LocalHintTakesTheFirstBlockForTheItemAndSkipsIgnoredOnes)
{
    SScriptBlock ignored = ScriptAction(3, "ignored", "lamp", "gem");
    ignored.ignoredByHint = true;
    CBlockQuest quest({{"s", 1,
                        {ScriptAction(1, "a", "box", "key"), ScriptAction(2, "b", "chest", "key"), ignored,
                         ScriptAction(4, "plain", "door")},
                        {"door", "box", "chest", "lamp"},
                        true}});
    quest.Quest().UpdateScripts();
    qe::CScene* scene = quest.Set(0).GetScene();
    CActionBlock* first = FirstOf(quest.Get<CActionBlock>("a"), quest.Get<CActionBlock>("b"));
    EXPECT_EQ(scene->FindHint("key", true), first->GetObject());
    EXPECT_EQ(scene->FindHint("", true), quest.Object("door"));
    EXPECT_EQ(scene->FindHint("gem", false), nullptr);
    EXPECT_FALSE(quest.Set(0).GetHintIndex().HasLocalHint("gem"));
    // Still a target for the pointer.
    scene->UpdatePointer({65, 5}, "gem");
    qe::CSceneObject* under = nullptr;
    EXPECT_EQ(scene->GetPointerResult(&under), qe::scripts::CHintIndex::kPointerItem);
    EXPECT_EQ(under, quest.Object("lamp"));
}

TEST_F(HintIndexTest, ReadyMinigameAnswersWhenNoActionBlockDoes)
{
    CBlockQuest quest({{"s", 1,
                        {HintGame(1, "ignored game", "chest", true), HintGame(2, "game", "lamp"),
                         ScriptAction(3, "take", "box", "key")}}});
    quest.Quest().UpdateScripts();
    qe::CScene* scene = quest.Set(0).GetScene();
    EXPECT_EQ(scene->GetReadyMinigameCount(), 2u);
    EXPECT_EQ(scene->GetFirstReadyMinigame(),
              FirstOf(quest.Get<CMinigameBlock>("ignored game"), quest.Get<CMinigameBlock>("game")));
    EXPECT_EQ(scene->FindHint("", false), quest.Object("lamp"));
    EXPECT_EQ(scene->FindHint("key", false), quest.Object("box"));
    EXPECT_EQ(scene->FindHint("coin", false), nullptr);

    quest.Get<CMinigameBlock>("game")->Activate();
    quest.Quest().UpdateScripts();
    EXPECT_EQ(scene->GetReadyMinigameCount(), 1u);
    EXPECT_EQ(scene->GetFirstReadyMinigame(), quest.Get<CMinigameBlock>("ignored game"));
    EXPECT_EQ(scene->FindHint("", false), nullptr);
}

TEST_F(HintIndexTest, HintWalksTheDoorOfTheShortestWay)
{
    // hall: doors to "far" (2 doors from the key) and "near" (1); "twin" and "near" both hold one.
    CBlockQuest quest({{"hall", 1, {ScriptDoor(1, "to far", "door", "far"), ScriptDoor(2, "to near", "box", "near")}},
                       {"far", 2, {ScriptDoor(3, "far on", "door", "near")}},
                       {"near", 3, {ScriptAction(4, "key", "lamp", "key")}},
                       {"both", 4, {ScriptDoor(5, "one", "door", "near"), ScriptDoor(6, "two", "box", "twin")}},
                       {"twin", 5, {ScriptAction(7, "key too", "lamp", "key")}}});
    quest.Quest().UpdateScripts();
    qe::CScene* hall = quest.Quest().FindScene("hall");
    EXPECT_EQ(hall->FindHint("key", false), quest.Object("box"));
    EXPECT_EQ(hall->FindHint("key", true), nullptr);
    s32 distance = 0;
    EXPECT_EQ(hall->FindNearestHintScene("key", &distance), quest.Quest().FindScene("near"));
    EXPECT_EQ(distance, 1);
    EXPECT_EQ(quest.Quest().FindScene("far")->FindHint("key", false), quest.Object("door", 1));

    // Both at distance 1: the door earlier in the list.
    CSceneBlock* earlier = FirstOf(quest.Get<CSceneBlock>("one"), quest.Get<CSceneBlock>("two"));
    EXPECT_EQ(quest.Quest().FindScene("both")->FindHint("key", false), earlier->GetObject());

    // Nothing anywhere.
    EXPECT_EQ(hall->FindHint("coin", false), nullptr);
    EXPECT_EQ(hall->FindNearestHintScene("coin", &distance), nullptr);
    EXPECT_EQ(distance, qe::scripts::CScriptEnvironment::kUnreachable);

    // While a command tree runs the hint gives nothing; the map's question is still answered.
    quest.Env().Pause();
    EXPECT_EQ(hall->FindHint("key", false), nullptr);
    EXPECT_EQ(quest.Quest().FindScene("near")->FindHint("key", true), nullptr);
    EXPECT_EQ(hall->FindNearestHintScene("key", &distance), quest.Quest().FindScene("near"));
    EXPECT_EQ(distance, 1);
    EXPECT_EQ(hall->FindNearestHintScene("key", nullptr), quest.Quest().FindScene("near"));
    quest.Env().Resume();
}

TEST_F(HintIndexTest, AvailableScenesAndDoorsSplitByTheMinisceneFlag)
{
    SBlockScene close{"close", 3, {}};
    close.flags = qe::CScene::kMiniscene;
    CBlockQuest quest({{"hall", 1,
                        {ScriptDoor(1, "room", "door", "room"), ScriptDoor(2, "close", "box", "close"),
                         ScriptDoor(3, "lost door", "nothing", "room"), ScriptDoor(4, "close again", "chest", "close")},
                        {"door", "box", "chest", "lamp"},
                        true},
                       {"room", 2, {ScriptDoor(5, "broken", "door", "nowhere"), ScriptDoor(6, "back", "box", "hall")}},
                       close});
    quest.Quest().UpdateScripts();
    qe::CScene* hall = quest.Quest().FindScene("hall");
    qe::CScene* room = quest.Quest().FindScene("room");
    qe::CScene* closeUp = quest.Quest().FindScene("close");
    qe::CScene* scenes[8] = {};
    qe::CSceneObject* doors[8] = {};
    ASSERT_EQ(hall->GetActiveScenes(scenes, 8), 2u);
    EXPECT_EQ(scenes[0], room);
    EXPECT_EQ(scenes[1], room);
    ASSERT_EQ(hall->GetActiveSceneDoors(doors, 8), 1u); // the lost door's object is skipped
    EXPECT_EQ(doors[0], quest.Object("door"));
    ASSERT_EQ(hall->GetActiveMiniscenes(scenes, 8), 2u);
    EXPECT_EQ(scenes[0], closeUp);
    ASSERT_EQ(hall->GetActiveMinisceneDoors(doors, 8), 2u);
    EXPECT_EQ(std::set<qe::CSceneObject*>(doors, doors + 2),
              (std::set<qe::CSceneObject*>{quest.Object("box"), quest.Object("chest")}));

    // The maximum bounds the doors examined, in list order.
    const CSceneBlock* first = quest.Set(0).GetHintIndex().GetAvailableSceneBlocks()[0];
    const bool firstIsMini = std::string(first->GetTargetSceneName()) == "close";
    EXPECT_EQ(hall->GetActiveMiniscenes(scenes, 1), firstIsMini ? 1u : 0u);
    EXPECT_EQ(hall->GetActiveScenes(scenes, 1), firstIsMini ? 0u : 1u);
    EXPECT_EQ(hall->GetActiveScenes(scenes, 0), 0u);

    // A door to a scene the quest lacks ends every list with 0 once it is examined.
    const CSceneBlock* roomFirst = quest.Set(1).GetHintIndex().GetAvailableSceneBlocks()[0];
    const bool brokenFirst = std::string(roomFirst->GetTargetSceneName()) == "nowhere";
    EXPECT_EQ(room->GetActiveScenes(scenes, 8), 0u);
    EXPECT_EQ(room->GetActiveSceneDoors(doors, 8), 0u);
    EXPECT_EQ(room->GetActiveMiniscenes(scenes, 8), 0u);
    EXPECT_EQ(room->GetActiveScenes(scenes, 1), brokenFirst ? 0u : 1u);
}

TEST_F(HintIndexTest, PlainDoorIsOfferedAgainAfterItsPassage)
{
    CBlockQuest quest({{"hall", 1, {ScriptDoor(1, "plain", "door", "room")}}, {"room", 2, {ScriptAction(2, "key", "box", "key")}}});
    quest.Quest().UpdateScripts();
    qe::CScene* hall = quest.Quest().FindScene("hall");
    EXPECT_TRUE(quest.Use("door"));
    EXPECT_EQ(g_BlockRuns, std::vector<std::string>{"open:room"});
    qe::CSceneObject* doors[2] = {};
    EXPECT_EQ(hall->GetActiveSceneDoors(doors, 2), 1u);
    EXPECT_EQ(hall->FindHint("key", false), quest.Object("door"));
}

TEST_F(HintIndexTest, SceneWithoutScriptSetAnswersNothing)
{
    qe::CQuestData data;
    ASSERT_TRUE(data.BuildFromXmlText(QuestFixtureXml()));
    std::unique_ptr<qe::CQuest> quest(data.CreateQuest("main", nullptr, nullptr));
    ASSERT_TRUE(quest);
    qe::CScene* hall = quest->FindScene("hall");
    qe::CScene* scenes[2] = {};
    qe::CSceneObject* doors[2] = {};
    qe::CSceneObject* under = quest->FindObjectByPath("hall/door");
    s32 distance = 0;
    EXPECT_EQ(hall->FindHint("", false), nullptr);
    EXPECT_EQ(hall->FindNearestHintScene("", &distance), nullptr);
    EXPECT_EQ(distance, qe::scripts::CScriptEnvironment::kUnreachable);
    EXPECT_EQ(hall->GetActiveScenes(scenes, 2) + hall->GetActiveSceneDoors(doors, 2) + hall->GetActiveMiniscenes(scenes, 2) +
                  hall->GetActiveMinisceneDoors(doors, 2) + hall->GetReadyMinigameCount() + hall->GetBlockCount(),
              0u);
    EXPECT_EQ(hall->GetFirstReadyMinigame(), nullptr);
    EXPECT_EQ(hall->GetBlocks(), nullptr);
    EXPECT_FALSE(hall->UpdatePointer({400, 200}, ""));
    EXPECT_EQ(hall->GetPointerResult(&under), 0);
    EXPECT_EQ(under, nullptr);
    EXPECT_EQ(hall->GetPointerTargetScene(), nullptr);
    EXPECT_FALSE(hall->HandleCheatClick({0, 0}));
    quest->SetCheatMode(true);
}

TEST_F(HintIndexTest, ClassifyPointTable)
{
    // Objects 20 apart: door 0, box 20, chest 40, lamp 60, gate 80, hatch 100.
    SScriptBlock ignored = ScriptAction(6, "hatch", "hatch");
    ignored.ignoredByHint = true;
    SBlockScene close{"close", 3, {}};
    close.flags = qe::CScene::kMiniscene;
    CBlockQuest quest({{"hall", 1,
                        {ScriptAction(1, "box plain", "box"), ScriptAction(2, "box key", "box", "key"),
                         ScriptAction(3, "chest coin", "chest", "coin"), ScriptAction(4, "lamp plain", "lamp"),
                         ScriptDoor(5, "lamp door", "lamp", "room"), ignored, ScriptDoor(7, "to room", "door", "room"),
                         ScriptDoor(8, "to close", "gate", "close")},
                        {"door", "box", "chest", "lamp", "gate", "hatch"},
                        true},
                       {"room", 2, {}},
                       close});
    quest.Quest().UpdateScripts();
    qe::CScene* hall = quest.Quest().FindScene("hall");
    const struct
    {
        s32 x;
        const char* item;
        s32 kind;
        const char* object;
        const char* target;
    } cases[] = {
        {25, "", 3, "box", nullptr},      {25, "key", 2, "box", nullptr},  {25, "gem", 1, "box", nullptr},
        {45, "", 1, "chest", nullptr},    {45, "coin", 2, "chest", nullptr}, {45, "key", 1, "chest", nullptr},
        {65, "", 3, "lamp", nullptr},     {65, "key", 3, "lamp", nullptr}, {105, "", 3, "hatch", nullptr},
        {5, "", 4, "door", "room"},       {5, "key", 4, "door", "room"},   {85, "", 5, "gate", "close"},
        {15, "", 0, nullptr, nullptr},    {25, nullptr, 3, "box", nullptr},
    };
    for (const auto& c : cases)
    {
        EXPECT_FALSE(hall->UpdatePointer({c.x, 5}, c.item));
        qe::CSceneObject* under = reinterpret_cast<qe::CSceneObject*>(&quest);
        EXPECT_EQ(hall->GetPointerResult(&under), c.kind) << c.x << " " << (c.item ? c.item : "null");
        EXPECT_EQ(under, c.object ? quest.Object(c.object) : nullptr) << c.x;
        EXPECT_EQ(hall->GetPointerTargetScene(), c.target ? quest.Quest().FindScene(c.target) : nullptr) << c.x;
    }
}

TEST_F(HintIndexTest, BlockObjectsFollowChangesOfTheSceneList)
{
    // Two objects named "box": the nearer one is the block's.
    CBlockQuest quest({{"s", 1, {ScriptAction(1, "a", "box")}, {"box", "box", "lamp"}}});
    quest.Quest().UpdateScripts();
    qe::CScene* scene = quest.Set(0).GetScene();
    CActionBlock* block = quest.Get<CActionBlock>("a");
    qe::CSceneObject* front = scene->GetObject(0);
    qe::CSceneObject* back = scene->GetObject(1);
    ASSERT_EQ(block->GetObject(), front);

    // Re-sorted with the other one nearer.
    scene->SetDepthSorting(true);
    back->SetDepth(5.0f);
    scene->Update();
    EXPECT_EQ(block->GetObject(), back);
    const u32 version = scene->GetListVersion();
    scene->Update();
    EXPECT_EQ(scene->GetListVersion(), version);

    // Removed at the next update; the pointer is classified without the deleted object.
    scene->RemoveObject(back);
    EXPECT_EQ(block->GetObject(), back);
    scene->Update();
    EXPECT_EQ(block->GetObject(), front);
    scene->RemoveObject(front);
    scene->Update();
    EXPECT_EQ(block->GetObject(), nullptr);
    EXPECT_FALSE(scene->UpdatePointer({5, 5}, ""));
    EXPECT_EQ(scene->GetPointerResult(nullptr), CHintIndex::kPointerNothing);
    EXPECT_EQ(scene->FindHint("", false), nullptr);
}
