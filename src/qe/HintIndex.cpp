#include "qe/HintIndex.h"

#include "qe/ActionBlock.h"
#include "qe/MinigameBlock.h"
#include "qe/SceneBlock.h"

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

} // namespace qe::scripts
