#include "qe/ScriptSet.h"

#include "core/Log.h"
#include "qe/ActionBlock.h"
#include "qe/AutoActionBlock.h"
#include "qe/BinaryReader.h"
#include "qe/BinaryWriter.h"
#include "qe/CycleBlock.h"
#include "qe/EnvironmentBlock.h"
#include "qe/GroupBlock.h"
#include "qe/MinigameBlock.h"
#include "qe/OrBlock.h"
#include "qe/Scene.h"
#include "qe/SceneBlock.h"
#include "qe/SceneEventBlock.h"
#include "qe/ScriptEnvironment.h"

namespace qe::scripts {

namespace {

std::unique_ptr<CBlockBase> CreateScriptBlock(const CBlockRecord& record, CScriptSet* set, lv::gui::CBaseWidget* widget)
{
    switch (record.GetKind())
    {
    case EBlockKind::Action: return std::make_unique<CActionBlock>(record, set, widget);
    case EBlockKind::Environment: return std::make_unique<CEnvironmentBlock>(record, set, widget);
    case EBlockKind::AutoAction: return std::make_unique<CAutoActionBlock>(record, set, widget);
    case EBlockKind::Scene: return std::make_unique<CSceneBlock>(record, set, widget);
    case EBlockKind::Minigame: return std::make_unique<CMinigameBlock>(record, set, widget);
    case EBlockKind::SceneEvent: return std::make_unique<CSceneEventBlock>(record, set, widget);
    case EBlockKind::Group: return std::make_unique<CGroupBlock>(record, set, widget);
    case EBlockKind::Cycle: return std::make_unique<CCycleBlock>(record, set, widget);
    case EBlockKind::Or: return std::make_unique<COrBlock>(record, set, widget);
    }
    return nullptr;
}

} // namespace

CScriptSet::CScriptSet(CScriptEnvironment* environment, const CSceneRecord& record, CScene* scene,
                       lv::gui::CBaseWidget* widget)
    : m_Environment(environment), m_Scene(scene), m_Guid(record.GetGuid()), m_Cheats(this)
{
    u32 total = 0;
    for (u32 k = 0; k < kBlockKindCount; ++k)
    {
        m_First[k] = total;
        m_Count[k] = record.GetBlockCount(static_cast<EBlockKind>(k));
        total += m_Count[k];
    }
    m_Hints = CHintIndex(this, GetCount(EBlockKind::Action), GetCount(EBlockKind::Scene),
                         GetCount(EBlockKind::Minigame));
    m_Blocks.reserve(total);
    m_BlockPointers.reserve(total);
    if (m_Scene)
        m_Scene->SetScriptSet(this);
    else
        lv::core::CLog::Instance().Print("qe", 2, "Script scene %llu names no scene of the quest.",
                                         static_cast<unsigned long long>(m_Guid));
    for (u32 k = 0; k < kBlockKindCount; ++k)
    {
        CBlockRecord block = record.GetFirstBlock(static_cast<EBlockKind>(k));
        for (u32 i = 0; i < m_Count[k]; ++i, block = block.GetNext())
        {
            m_Blocks.push_back(CreateScriptBlock(block, this, widget));
            m_BlockPointers.push_back(m_Blocks.back().get());
        }
    }
}

CScriptSet::~CScriptSet()
{
    if (m_Scene && m_Scene->GetScriptSet() == this)
        m_Scene->SetScriptSet(nullptr);
}

template <typename T, typename F>
bool CScriptSet::TryEach(EBlockKind kind, F&& try_)
{
    const u32 first = GetFirstIndex(kind);
    for (u32 i = first; i < first + GetCount(kind); ++i)
        if (try_(static_cast<T*>(m_BlockPointers[i])))
            return true;
    return false;
}

bool CScriptSet::OnObjectUsed(CSceneObject* object, const char* activeObject)
{
    if (!m_Environment || m_Environment->IsPaused() || !object)
        return false;
    const char* item = activeObject ? activeObject : "";
    return TryEach<CActionBlock>(EBlockKind::Action, [&](CActionBlock* b) { return b->TryCorrectUse(object, item); }) ||
           TryEach<CActionBlock>(EBlockKind::Action, [&](CActionBlock* b) { return b->TryIncorrectUse(object, item); }) ||
           TryEach<CActionBlock>(EBlockKind::Action, [&](CActionBlock* b) { return b->TryCommandSetUse(object, item); }) ||
           TryEach<CEnvironmentBlock>(EBlockKind::Environment, [&](CEnvironmentBlock* b) { return b->TryUse(object, item); }) ||
           TryEach<CSceneBlock>(EBlockKind::Scene, [&](CSceneBlock* b) { return b->TryUse(object); });
}

void CScriptSet::OnSceneEvent(bool isOpen)
{
    TryEach<CSceneEventBlock>(EBlockKind::SceneEvent,
                              [&](CSceneEventBlock* b)
                              {
                                  b->OnSceneEvent(isOpen);
                                  return false;
                              });
}

void CScriptSet::Update()
{
    for (CBlockBase* block : m_BlockPointers)
        block->Update();
}

void CScriptSet::RefreshAll()
{
    for (CBlockBase* block : m_BlockPointers)
        block->Refresh();
}

void CScriptSet::Save(CBinaryWriter& writer)
{
    writer.WriteInt32(static_cast<s32>(m_BlockPointers.size()));
    for (CBlockBase* block : m_BlockPointers)
    {
        writer.WriteInt64(static_cast<s64>(block->GetGuid()));
        block->Save(writer);
    }
}

bool CScriptSet::Load(CBinaryReader& reader)
{
    const s32 count = reader.ReadInt32();
    if (reader.HasError() || count != static_cast<s32>(m_BlockPointers.size()))
        return false;
    for (CBlockBase* block : m_BlockPointers)
    {
        const u64 guid = static_cast<u64>(reader.ReadInt64());
        if (reader.HasError() || guid != block->GetGuid())
            return false;
        block->Load(reader);
        if (reader.HasError())
            return false;
    }
    return true;
}

void CScriptSet::SetActionReady(CActionBlock* block, bool ready)
{
    m_Hints.SetActionReady(block, ready);
    m_Cheats.SetActionReady(block, ready);
}

void CScriptSet::SetSceneReady(CSceneBlock* block, bool ready)
{
    m_Hints.SetSceneReady(block, ready);
    m_Cheats.SetSceneReady(block, ready);
}

void CScriptSet::SetMinigameReady(CMinigameBlock* block, bool ready)
{
    m_Hints.SetMinigameReady(block, ready);
    m_Cheats.SetMinigameReady(block, ready);
}

void CScriptSet::Pause()
{
    if (m_Environment)
        m_Environment->Pause();
}

void CScriptSet::Resume()
{
    if (m_Environment)
        m_Environment->Resume();
}

CBlockBase* CScriptSet::FindBlock(const char* id) const
{
    for (CBlockBase* block : m_BlockPointers)
        if (block->GetRecord().GetId().Equals(id))
            return block;
    return nullptr;
}

} // namespace qe::scripts
