#pragma once
// The developer overlay's markers on the objects of action and scene blocks (ready or not) and
// of minigames that offer one, kept from the blocks' readiness reports. Off until enabled.
#include "core/Types.h"

#include <vector>

namespace qe {
class CSceneObject;
}

namespace qe::scripts {

class CBlockBase;
class CMinigameBlock;
class CScriptSet;

class CCheatOverlay
{
public:
    struct SMarker
    {
        CBlockBase* block = nullptr;
        CSceneObject* object = nullptr;
        bool ready = false;
    };

    explicit CCheatOverlay(CScriptSet* set = nullptr) : m_Set(set) {}

    void SetActionReady(CBlockBase* block, CSceneObject* object, bool ready);
    void SetSceneReady(CBlockBase* block, CSceneObject* object, bool ready) { SetActionReady(block, object, ready); }
    void SetMinigameReady(CMinigameBlock* block, bool ready);
    void SetEnabled(bool enabled) { m_Enabled = enabled; }
    bool IsEnabled() const { return m_Enabled; }
    const std::vector<SMarker>& GetReadyMarkers() const { return m_Ready; }
    const std::vector<SMarker>& GetOtherMarkers() const { return m_Other; }

private:
    CScriptSet* m_Set = nullptr;
    bool m_Enabled = false;
    std::vector<SMarker> m_Ready;
    std::vector<SMarker> m_Other;
};

} // namespace qe::scripts
