#include "qe/CheatOverlay.h"

#include "qe/MinigameBlock.h"

#include <algorithm>
#include <functional>

namespace qe::scripts {

namespace {

std::vector<CCheatOverlay::SMarker>::iterator FindCheatMarker(std::vector<CCheatOverlay::SMarker>& list,
                                                              const CBlockBase* block)
{
    return std::lower_bound(list.begin(), list.end(), block, [](const CCheatOverlay::SMarker& m, const CBlockBase* b)
                            { return std::less<const CBlockBase*>()(m.block, b); });
}

void AddCheatMarker(std::vector<CCheatOverlay::SMarker>& list, CBlockBase* block, CSceneObject* object, bool ready)
{
    const auto it = FindCheatMarker(list, block);
    if (it == list.end() || it->block != block)
        list.insert(it, CCheatOverlay::SMarker{block, object, ready});
}

void RemoveCheatMarker(std::vector<CCheatOverlay::SMarker>& list, const CBlockBase* block)
{
    const auto it = FindCheatMarker(list, block);
    if (it != list.end() && it->block == block)
        list.erase(it);
}

} // namespace

void CCheatOverlay::SetActionReady(CBlockBase* block, CSceneObject* object, bool ready)
{
    if (ready)
    {
        RemoveCheatMarker(m_Other, block);
        AddCheatMarker(m_Ready, block, object, true);
    }
    else
    {
        RemoveCheatMarker(m_Ready, block);
        AddCheatMarker(m_Other, block, object, false);
    }
}

void CCheatOverlay::SetMinigameReady(CMinigameBlock* block, bool ready)
{
    CSceneObject* object = ready ? block->GetCheatObject() : nullptr;
    if (object)
        AddCheatMarker(m_Other, block, object, false);
    else
        RemoveCheatMarker(m_Other, block);
}

} // namespace qe::scripts
