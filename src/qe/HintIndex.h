#pragma once
// What a scene's script set can do now, kept from the blocks' readiness reports: ready action
// blocks (by active object name, then identity), available doors and ready minigame blocks.
#include "core/Types.h"

#include <vector>

namespace qe {
class CSceneObject;
}

namespace qe::scripts {

class CActionBlock;
class CMinigameBlock;
class CSceneBlock;
class CScriptSet;

class CHintIndex
{
public:
    explicit CHintIndex(CScriptSet* set = nullptr, u32 actions = 0, u32 scenes = 0, u32 minigames = 0);

    void SetActionReady(CActionBlock* block, bool ready);
    void SetSceneReady(CSceneBlock* block, bool ready);
    void SetMinigameReady(CMinigameBlock* block, bool ready);

    // The object of the first ready action block for that item, else a ready minigame's answer.
    CSceneObject* FindLocalHint(const char* activeObject) const;
    bool HasLocalHint(const char* activeObject) const { return FindLocalHint(activeObject) != nullptr; }

    CSceneBlock* const* GetAvailableSceneBlocks() const { return m_Scenes.empty() ? nullptr : m_Scenes.data(); }
    u32 GetAvailableSceneBlockCount() const { return static_cast<u32>(m_Scenes.size()); }
    CMinigameBlock* GetFirstReadyMinigame() const { return m_Minigames.empty() ? nullptr : m_Minigames.front(); }
    u32 GetReadyMinigameCount() const { return static_cast<u32>(m_Minigames.size()); }
    const std::vector<CActionBlock*>& GetReadyActions() const { return m_Actions; }

private:
    CScriptSet* m_Set = nullptr;
    std::vector<CActionBlock*> m_Actions;
    std::vector<CSceneBlock*> m_Scenes;
    std::vector<CMinigameBlock*> m_Minigames;
};

} // namespace qe::scripts
