#pragma once
// The engine's view of a minigame: it belongs to a minigame block, reads the block's arguments,
// tells the block when it is solved and answers hint and cheat queries. The game's minigame host
// owns it and deletes it once IsFinished reports true.
#include "core/Types.h"
#include "qe/ScriptName.h"

namespace qe {

class CScene;
class CSceneObject;

namespace scripts {
class CMinigameBlock;
}

class CMinigameBase
{
public:
    CMinigameBase() = default;
    virtual ~CMinigameBase() = default;
    CMinigameBase(const CMinigameBase&) = delete;
    CMinigameBase& operator=(const CMinigameBase&) = delete;

    // Called by the block once, right after creation.
    virtual void Load() = 0;
    // The minigame is solved.
    virtual void Complete();
    // The object the hint points at for that item (empty: none), or null.
    virtual CSceneObject* GetHintObject(const char* activeObject) = 0;
    // Finishes at once, as if solved.
    virtual void Skip() = 0;
    virtual CSceneObject* GetCheatObject() { return nullptr; }

    void SetBlock(scripts::CMinigameBlock* block) { m_Block = block; }
    scripts::CMinigameBlock* GetBlock() const { return m_Block; }
    // Each argument is a key name followed by its value name.
    u32 GetParamCount() const;
    scripts::CScriptName GetParamKey(u32 index) const;
    scripts::CScriptName GetParamValue(u32 index) const;
    // The value of the first argument with that key; null when there is none.
    const char* FindParam(const char* key) const;
    bool AreConditionsMet() const;
    void RunCommands();
    bool CommandsFinished() const;
    bool IsFinished() const;
    const char* GetMinigameName() const;
    CScene* GetScene() const;
    bool IsOutsideMiniscene() const;
    u64 GetBlockGuid() const;

private:
    scripts::CMinigameBlock* m_Block = nullptr;
};

} // namespace qe
