#pragma once
// The map of the story's locations. This first cut keeps, per location scene, whether it is
// visited, current or locked and its count of special objects still to find; the map's window
// and travel join later.
#include "core/FixedString.h"
#include "core/Types.h"
#include "core/Vector2.h"

#include <vector>

namespace lv::graphics {
class CRenderer;
}

namespace game {

class CHudInventory;
class CSceneStack;

class CHudMap
{
public:
    struct CLocation
    {
        CFixedString Scene;
        bool Visited = false;
        bool Locked = false;
        s32 Count = 0;
    };

    CHudMap() = default;
    CHudMap(const CHudMap&) = delete;
    CHudMap& operator=(const CHudMap&) = delete;

    void Attach(CSceneStack* sceneStack, CHudInventory* inventory);
    // Locations come from the map's description; until it joins, callers add them.
    void AddLocation(const char* scene, s32 count);
    const CLocation* FindLocation(const char* scene) const;
    s32 GetCurrentLocation() const { return m_Current; }

    void SetCurrentLocation(const char* scene);
    void SetLocationLocked(const char* scene, bool locked);
    void DecrementLocationCount(const char* scene);

    void Update() {}
    void Draw(lv::graphics::CRenderer&) {}
    bool OnClick(const CVector2&) { return false; }
    bool OnMouseMove(const CVector2&) { return false; }

private:
    s32 IndexOf(const char* scene) const;

    CSceneStack* m_SceneStack = nullptr;
    CHudInventory* m_Inventory = nullptr;
    std::vector<CLocation> m_Locations;
    s32 m_Current = -1;
};

} // namespace game
