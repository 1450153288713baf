#include "qe/ScriptEnvironment.h"

#include "qe/BinaryReader.h"
#include "qe/BinaryWriter.h"
#include "qe/BlockBase.h"
#include "qe/CycleBlock.h"
#include "qe/GroupBlock.h"
#include "qe/Quest.h"
#include "qe/Scene.h"
#include "qe/SceneBlock.h"
#include "qe/ScriptSet.h"

#include <algorithm>
#include <cstring>

namespace qe::scripts {

CScriptEnvironment::CScriptEnvironment(const CQuestRecord& record, CQuest* quest, lv::gui::CBaseWidget* widget)
    : m_Quest(quest), m_TotalBlockCount(record.GetBlockCount())
{
    const u32 sceneCount = record.GetSceneCount();
    m_Sets.reserve(sceneCount);
    m_Visited.assign(sceneCount, 0);
    std::vector<CBlockBase*> all;
    all.reserve(m_TotalBlockCount);
    CSceneRecord scene = record.GetFirstScene();
    for (u32 i = 0; i < sceneCount; ++i, scene = scene.GetNext())
    {
        CScene* target = quest ? quest->FindSceneByGuid(scene.GetGuid()) : nullptr;
        m_Sets.push_back(std::make_unique<CScriptSet>(this, scene, target, widget));
        const CScriptSet& set = *m_Sets.back();
        all.insert(all.end(), set.GetBlocks(), set.GetBlocks() + set.GetBlockCount());
    }
    for (size_t i = 0; i < m_Sets.size(); ++i)
        if (const CScene* target = m_Sets[i]->GetScene())
            m_SetsByName.emplace_back(target->GetName().GetText(), static_cast<s32>(i));
    std::stable_sort(m_SetsByName.begin(), m_SetsByName.end(),
                     [](const auto& a, const auto& b) { return std::strcmp(a.first, b.first) < 0; });
    std::vector<CBlockBase*> listeners;
    for (CBlockBase* block : all)
    {
        listeners.clear();
        for (CBlockBase* listener : all)
            if (listener->DependsOn(block))
                listeners.push_back(listener);
        if (!listeners.empty())
        {
            std::unique_ptr<CBlockBase*[]> array(new CBlockBase*[listeners.size()]);
            std::copy(listeners.begin(), listeners.end(), array.get());
            block->SetListeners(std::move(array), static_cast<u32>(listeners.size()));
        }
        if (block->GetKind() == EBlockKind::Group)
            static_cast<CGroupBlock*>(block)->LinkMembers(all.data(), static_cast<u32>(all.size()));
        else if (block->GetKind() == EBlockKind::Cycle)
            static_cast<CCycleBlock*>(block)->LinkMembers(all.data(), static_cast<u32>(all.size()));
    }
}

CScriptEnvironment::~CScriptEnvironment() = default;

void CScriptEnvironment::Tick()
{
    if (!m_Refreshed)
        RefreshAll();
    for (const auto& set : m_Sets)
        set->Update();
}

void CScriptEnvironment::RefreshAll()
{
    for (const auto& set : m_Sets)
        set->RefreshAll();
    m_Refreshed = true;
}

void CScriptEnvironment::Resume()
{
    --m_PauseCount;
    if (m_PauseCount == 0 && m_Quest)
        m_Quest->SaveState();
}

void CScriptEnvironment::Save(CBinaryWriter& writer)
{
    writer.WriteInt32(static_cast<s32>(m_Sets.size()));
    for (const auto& set : m_Sets)
    {
        writer.WriteInt64(static_cast<s64>(set->GetGuid()));
        set->Save(writer);
    }
}

bool CScriptEnvironment::Load(CBinaryReader& reader)
{
    const s32 count = reader.ReadInt32();
    if (reader.HasError() || count != static_cast<s32>(m_Sets.size()))
        return false;
    for (const auto& set : m_Sets)
    {
        const u64 guid = static_cast<u64>(reader.ReadInt64());
        if (reader.HasError() || guid != set->GetGuid() || !set->Load(reader))
            return false;
    }
    return true;
}

s32 CScriptEnvironment::GetSaveSize() const
{
    s32 size = 4;
    for (const auto& set : m_Sets)
        size += 8 + set->GetSaveSize();
    return size;
}

CScene* CScriptEnvironment::FindScene(const char* name) const
{
    return m_Quest ? m_Quest->FindScene(name) : nullptr;
}

CBlockBase* CScriptEnvironment::FindBlock(const char* id) const
{
    for (const auto& set : m_Sets)
        if (CBlockBase* block = set->FindBlock(id))
            return block;
    return nullptr;
}

s32 CScriptEnvironment::FindSetIndex(const char* sceneName) const
{
    const char* name = sceneName ? sceneName : "";
    const auto it = std::lower_bound(m_SetsByName.begin(), m_SetsByName.end(), name,
                                     [](const std::pair<const char*, s32>& entry, const char* text)
                                     { return std::strcmp(entry.first, text) < 0; });
    return it != m_SetsByName.end() && std::strcmp(it->first, name) == 0 ? it->second : -1;
}

s32 CScriptEnvironment::PathDistance(const CScriptSet* start, const char* sceneName, const char* activeObject,
                                     s32 limit)
{
    // Breadth first over the available doors: every set is reached first by its shortest chain,
    // so each is expanded once, however many loops the door graph has.
    std::fill(m_Visited.begin(), m_Visited.end(), 0);
    for (size_t i = 0; i < m_Sets.size(); ++i)
        if (m_Sets[i].get() == start)
            m_Visited[i] = 1;
    m_Queue.clear();
    const s32 first = FindSetIndex(sceneName);
    if (limit <= 1 || first < 0 || m_Visited[static_cast<size_t>(first)])
        return kUnreachable;
    m_Visited[static_cast<size_t>(first)] = 1;
    m_Queue.push_back(first);
    size_t head = 0;
    // Queue entries of one depth follow each other; depthEnd marks where the next depth starts.
    s32 depth = 1;
    size_t depthEnd = m_Queue.size();
    while (head < m_Queue.size())
    {
        if (head == depthEnd)
        {
            if (++depth >= limit)
                return kUnreachable;
            depthEnd = m_Queue.size();
        }
        CScriptSet& set = *m_Sets[static_cast<size_t>(m_Queue[head++])];
        if (set.GetHintIndex().HasLocalHint(activeObject))
            return depth;
        CSceneBlock* const* doors = set.GetHintIndex().GetAvailableSceneBlocks();
        const u32 doorCount = set.GetHintIndex().GetAvailableSceneBlockCount();
        for (u32 d = 0; d < doorCount; ++d)
        {
            const s32 next = FindSetIndex(doors[d]->GetTargetSceneName());
            if (next < 0 || m_Visited[static_cast<size_t>(next)])
                continue;
            m_Visited[static_cast<size_t>(next)] = 1;
            m_Queue.push_back(next);
        }
    }
    return kUnreachable;
}

} // namespace qe::scripts
