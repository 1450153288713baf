#include "game/hud/HudMap.h"

#include "qe/SceneObject.h"

namespace game {

void CHudMap::Attach(CSceneStack* sceneStack, CHudInventory* inventory)
{
    m_SceneStack = sceneStack;
    m_Inventory = inventory;
}

void CHudMap::AddLocation(const char* scene, s32 count)
{
    CLocation location;
    location.Scene = CFixedString(scene);
    location.Count = count;
    m_Locations.push_back(location);
}

s32 CHudMap::IndexOf(const char* scene) const
{
    if (!scene)
        return -1;
    const CFixedString name(scene);
    for (size_t i = 0; i < m_Locations.size(); ++i)
        if (qe::CSceneObject::NamesEqual(m_Locations[i].Scene, name))
            return static_cast<s32>(i);
    return -1;
}

const CHudMap::CLocation* CHudMap::FindLocation(const char* scene) const
{
    const s32 index = IndexOf(scene);
    return index < 0 ? nullptr : &m_Locations[static_cast<size_t>(index)];
}

void CHudMap::SetCurrentLocation(const char* scene)
{
    const s32 index = IndexOf(scene);
    if (index < 0)
        return;
    m_Locations[static_cast<size_t>(index)].Visited = true;
    m_Current = index;
}

void CHudMap::SetLocationLocked(const char* scene, bool locked)
{
    const s32 index = IndexOf(scene);
    if (index >= 0)
        m_Locations[static_cast<size_t>(index)].Locked = locked;
}

void CHudMap::DecrementLocationCount(const char* scene)
{
    const s32 index = IndexOf(scene);
    if (index >= 0)
        --m_Locations[static_cast<size_t>(index)].Count;
}

} // namespace game
