#include "qe/HintIndex.h"

#include "core/Vector2.h"
#include "qe/ActionBlock.h"
#include "qe/MinigameBlock.h"
#include "qe/Scene.h"
#include "qe/SceneBlock.h"
#include "qe/SceneObject.h"
#include "qe/ScriptEnvironment.h"
#include "qe/ScriptSet.h"

#include <algorithm>
#include <cstring>
#include <functional>

namespace qe::scripts {

namespace {

bool ActionHintBefore(const CActionBlock* a, const CActionBlock* b)
{
    const int order = std::strcmp(a->GetActiveObjectName(), b->GetActiveObjectName());
    return order != 0 ? order < 0 : std::less<const CActionBlock*>()(a, b);
}

template <typename T, typename Less>
void SetInHintList(std::vector<T*>& list, T* block, bool ready, Less less)
{
    const auto it = std::lower_bound(list.begin(), list.end(), block, less);
    const bool present = it != list.end() && *it == block;
    if (ready && !present)
        list.insert(it, block);
    else if (!ready && present)
        list.erase(it);
}

} // namespace

CHintIndex::CHintIndex(CScriptSet* set, u32 actions, u32 scenes, u32 minigames) : m_Set(set)
{
    m_Actions.reserve(actions);
    m_Scenes.reserve(scenes);
    m_Minigames.reserve(minigames);
}

CScriptEnvironment* CHintIndex::GetEnvironment() const
{
    return m_Set ? m_Set->GetEnvironment() : nullptr;
}

void CHintIndex::SetActionReady(CActionBlock* block, bool ready)
{
    SetInHintList(m_Actions, block, ready, ActionHintBefore);
}

void CHintIndex::SetSceneReady(CSceneBlock* block, bool ready)
{
    SetInHintList(m_Scenes, block, ready, std::less<CSceneBlock*>());
}

void CHintIndex::SetMinigameReady(CMinigameBlock* block, bool ready)
{
    SetInHintList(m_Minigames, block, ready, std::less<CMinigameBlock*>());
}

CSceneObject* CHintIndex::FindLocalHint(const char* activeObject) const
{
    const char* name = activeObject ? activeObject : "";
    const auto first = std::lower_bound(m_Actions.begin(), m_Actions.end(), name,
                                        [](const CActionBlock* block, const char* text)
                                        { return std::strcmp(block->GetActiveObjectName(), text) < 0; });
    for (auto it = first; it != m_Actions.end() && std::strcmp((*it)->GetActiveObjectName(), name) == 0; ++it)
        if (!(*it)->IsIgnoredByHint())
            return (*it)->GetObject();
    for (const CMinigameBlock* block : m_Minigames)
        if (!block->IsIgnoredByHint())
            if (CSceneObject* object = block->GetHintObject(name))
                return object;
    return nullptr;
}

CSceneBlock* CHintIndex::FindNearestDoor(const char* activeObject, s32& distance) const
{
    distance = CScriptEnvironment::kUnreachable;
    CScriptEnvironment* environment = GetEnvironment();
    if (!environment)
        return nullptr;
    CSceneBlock* nearest = nullptr;
    for (CSceneBlock* door : m_Scenes)
    {
        // Only a way shorter than the best so far can win, so the search stops below it.
        const s32 d = environment->PathDistance(m_Set, door->GetTargetSceneName(), activeObject, distance);
        if (d < distance)
        {
            nearest = door;
            distance = d;
            if (distance == 1)
                break;
        }
    }
    return nearest;
}

CSceneObject* CHintIndex::FindHint(const char* activeObject, bool stayLocal) const
{
    const CScriptEnvironment* environment = GetEnvironment();
    if (!environment || environment->IsPaused())
        return nullptr;
    CSceneObject* local = FindLocalHint(activeObject);
    if (local || stayLocal)
        return local;
    s32 distance = 0;
    const CSceneBlock* door = FindNearestDoor(activeObject, distance);
    return door ? door->GetObject() : nullptr;
}

CScene* CHintIndex::FindNearestHintScene(const char* activeObject, s32* distance) const
{
    s32 reached = 0;
    const CSceneBlock* door = FindNearestDoor(activeObject, reached);
    if (distance)
        *distance = reached;
    const CScriptEnvironment* environment = GetEnvironment();
    return door && environment ? environment->FindScene(door->GetTargetSceneName()) : nullptr;
}

u32 CHintIndex::CollectDoors(bool miniscenes, CScene** scenes, CSceneObject** doors, u32 maximum) const
{
    const CScriptEnvironment* environment = GetEnvironment();
    if (!environment)
        return 0;
    const size_t examined = std::min<size_t>(maximum, m_Scenes.size());
    u32 written = 0;
    for (size_t i = 0; i < examined; ++i)
    {
        const CSceneBlock* block = m_Scenes[i];
        CScene* target = environment->FindScene(block->GetTargetSceneName());
        if (!target)
            return 0;
        if (target->HasFlags(CScene::kMiniscene) != miniscenes)
            continue;
        if (scenes)
            scenes[written++] = target;
        else if (CSceneObject* door = block->GetObject())
            doors[written++] = door;
    }
    return written;
}

u32 CHintIndex::GetAvailableScenes(CScene** out, u32 maximum) const
{
    return out ? CollectDoors(false, out, nullptr, maximum) : 0;
}

u32 CHintIndex::GetAvailableMiniscenes(CScene** out, u32 maximum) const
{
    return out ? CollectDoors(true, out, nullptr, maximum) : 0;
}

u32 CHintIndex::GetAvailableSceneDoors(CSceneObject** out, u32 maximum) const
{
    return out ? CollectDoors(false, nullptr, out, maximum) : 0;
}

u32 CHintIndex::GetAvailableMinisceneDoors(CSceneObject** out, u32 maximum) const
{
    return out ? CollectDoors(true, nullptr, out, maximum) : 0;
}

void CHintIndex::ClassifyPoint(const CPoint2i& point, const char* activeObject)
{
    m_PointerObject = nullptr;
    m_PointerKind = kPointerNothing;
    m_PointerScene = nullptr;
    const char* held = activeObject ? activeObject : "";
    const bool holding = *held != 0;
    const CVector2 at(static_cast<float>(point.X), static_cast<float>(point.Y));
    for (CActionBlock* block : m_Actions)
    {
        CSceneObject* object = block->GetObject();
        if (!object || !object->HitTest(at))
            continue;
        const char* needed = block->GetActiveObjectName();
        if (*needed == 0)
        {
            if (!holding || !m_PointerObject)
            {
                m_PointerObject = object;
                m_PointerKind = kPointerUse;
            }
            if (!holding)
                break;
        }
        else if (std::strcmp(needed, held) == 0)
        {
            m_PointerObject = object;
            m_PointerKind = kPointerItem;
            break;
        }
        else if (holding || !m_PointerObject)
        {
            m_PointerObject = object;
            m_PointerKind = kPointerOtherItem;
        }
    }
    if (m_PointerKind != kPointerNothing)
        return;
    const CScriptEnvironment* environment = GetEnvironment();
    for (CSceneBlock* block : m_Scenes)
    {
        CSceneObject* door = block->GetObject();
        if (!door || !door->HitTest(at))
            continue;
        m_PointerObject = door;
        m_PointerScene = environment ? environment->FindScene(block->GetTargetSceneName()) : nullptr;
        m_PointerKind = m_PointerScene && m_PointerScene->HasFlags(CScene::kMiniscene) ? kPointerMinisceneDoor
                                                                                      : kPointerDoor;
        break;
    }
}

s32 CHintIndex::GetPointerResult(CSceneObject** object) const
{
    if (object)
        *object = m_PointerObject;
    return m_PointerKind;
}

} // namespace qe::scripts
