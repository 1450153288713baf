#pragma once
// A quest of block scenes built at test time by the quest data and script writers, with test
// commands that record what they did and a demo minigame the test owns as the game's host would.
#include "content/QuestDataWriter.h"
#include "content/QuestScriptWriter.h"
#include "core/MessageBox.h"
#include "core/Settings.h"
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
#include "qe/ScriptData.h"
#include "qe/ScriptEnvironment.h"
#include "qe/ScriptImage.h"
#include "qe/ScriptSet.h"
#include <gtest/gtest.h>
#include <memory>
#include <string>
#include <vector>

namespace qetest {

using namespace lv::content;
using namespace qe::scripts;

// What the test commands did, in order: "rec" adds its "a1" argument, "open_scene" adds
// "open:" and its "scene" argument. "hold" runs until kHoldRelease is set.
inline std::vector<std::string> g_BlockRuns;
inline bool g_HoldRelease = false;

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

inline CCommandBase* MakeRecordCommand(const CCommandRecord& r, qe::CScene* s, lv::gui::CBaseWidget* w)
{
    return new CRecordCommand(r, s, w, false);
}

inline CCommandBase* MakeHoldCommand(const CCommandRecord& r, qe::CScene* s, lv::gui::CBaseWidget* w)
{
    return new CRecordCommand(r, s, w, true);
}

// The minigames the test made; the test owns them as the game's host would.
inline std::vector<std::unique_ptr<qe::CMinigameBase>> g_Minigames;
inline s32 g_MinigameLoads = 0;

class CDemoMinigame : public qe::CMinigameBase
{
public:
    explicit CDemoMinigame(s32 kind) : m_Kind(kind) {}
    void Load() override { ++g_MinigameLoads; }
    qe::CSceneObject* GetHintObject(const char*) override { return nullptr; }
    void Skip() override { Complete(); }
    s32 m_Kind = 0;
};

inline qe::CMinigameBase* MakeDemoMinigame(const char*)
{
    g_Minigames.push_back(std::make_unique<CDemoMinigame>(1));
    return g_Minigames.back().get();
}

inline qe::CMinigameBase* MakeOtherMinigame(const char*)
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

inline SScriptTree ScriptRec(const char* text)
{
    return {SScriptCommand::Named("rec", {{"a1", text}})};
}

inline SScriptBlock ScriptBlock(EScriptBlockKind kind, u64 guid, const char* id)
{
    SScriptBlock b;
    b.kind = kind;
    b.guid = guid;
    b.id = id;
    return b;
}

inline SScriptBlock ScriptAction(u64 guid, const char* id, const char* object, const char* item = "", const char* correct = nullptr)
{
    SScriptBlock b = ScriptBlock(EScriptBlockKind::Action, guid, id);
    b.object = object;
    b.activeObject = item;
    b.correct = ScriptRec(correct ? correct : id);
    return b;
}

inline SScriptBlock ScriptDoor(u64 guid, const char* id, const char* object, const char* target)
{
    SScriptBlock b = ScriptBlock(EScriptBlockKind::Scene, guid, id);
    b.object = object;
    b.targetScene = target;
    return b;
}

inline SQuestObject BlockArea(const char* id, u64 guid, s32 x = 0)
{
    SQuestObject o;
    o.kind = EQuestObjectKind::Area;
    o.id = id;
    o.guid = guid;
    o.offset[0] = x;
    o.size[0] = o.size[1] = 10;
    o.points = {{x, 0}, {x + 10, 0}, {x + 10, 10}, {x, 10}};
    return o;
}

struct SBlockScene
{
    const char* name;
    u64 guid;
    std::vector<SScriptBlock> blocks;
    std::vector<const char*> objects = {"door", "box", "chest", "lamp"};
    // Objects side by side, 20 apart, instead of all over one another.
    bool spread = false;
    // Scene flags (2: a miniscene).
    s32 flags = 0;
    // Objects of any kind, behind the areas above.
    std::vector<SQuestObject> extra = {};
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
            scene.flags = s.flags;
            for (size_t i = 0; i < s.objects.size(); ++i)
                scene.objects.push_back(BlockArea(s.objects[i], ++objectGuid, s.spread ? static_cast<s32>(20 * i) : 0));
            scene.objects.insert(scene.objects.end(), s.extra.begin(), s.extra.end());
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

inline bool IsActionReady(const CScriptSet& set, const CBlockBase* block)
{
    for (const CActionBlock* ready : set.GetHintIndex().GetReadyActions())
        if (ready == block)
            return true;
    return false;
}

class CBlockTestBase : public testing::Test
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


} // namespace qetest
