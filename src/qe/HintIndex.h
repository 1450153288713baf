#pragma once
// What a scene's script set can do now, kept from the blocks' readiness reports: ready action
// blocks (by active object name, then identity), available doors and ready minigame blocks. The
// hint, the map and the cursor ask it what can be used here and where to go next.
#include "core/Point2i.h"
#include "core/Types.h"

#include <vector>

namespace qe {
class CScene;
class CSceneObject;
} // namespace qe

namespace qe::scripts {

class CActionBlock;
class CMinigameBlock;
class CSceneBlock;
class CScriptEnvironment;
class CScriptSet;

class CHintIndex
{
public:
    // What lies under the pointer.
    enum EPointerKind : s32
    {
        kPointerNothing = 0,
        // An object that needs an item other than the one held (or any item, with none held).
        kPointerOtherItem = 1,
        // An object that needs exactly the item held.
        kPointerItem = 2,
        // An object that needs no item.
        kPointerUse = 3,
        kPointerDoor = 4,
        kPointerMinisceneDoor = 5,
    };

    explicit CHintIndex(CScriptSet* set = nullptr, u32 actions = 0, u32 scenes = 0, u32 minigames = 0);

    void SetActionReady(CActionBlock* block, bool ready);
    void SetSceneReady(CSceneBlock* block, bool ready);
    void SetMinigameReady(CMinigameBlock* block, bool ready);

    // The object of the first ready action block for that item, else a ready minigame's answer.
    CSceneObject* FindLocalHint(const char* activeObject) const;
    bool HasLocalHint(const char* activeObject) const { return FindLocalHint(activeObject) != nullptr; }
    // The local hint, else (unless stayLocal) the door of the shortest way to one; null while
    // the scripts are paused.
    CSceneObject* FindHint(const char* activeObject, bool stayLocal) const;
    // The neighbouring scene on the shortest way to a hint; the distance (kUnreachable when
    // there is no way) goes to distance when given.
    CScene* FindNearestHintScene(const char* activeObject, s32* distance) const;

    // The targets (or door objects) of the first `maximum` available doors that lead to scenes,
    // or to miniscenes; the count written. 0 as soon as a door leads to no scene of the quest.
    u32 GetAvailableScenes(CScene** out, u32 maximum) const;
    u32 GetAvailableMiniscenes(CScene** out, u32 maximum) const;
    u32 GetAvailableSceneDoors(CSceneObject** out, u32 maximum) const;
    u32 GetAvailableMinisceneDoors(CSceneObject** out, u32 maximum) const;

    CSceneBlock* const* GetAvailableSceneBlocks() const { return m_Scenes.empty() ? nullptr : m_Scenes.data(); }
    u32 GetAvailableSceneBlockCount() const { return static_cast<u32>(m_Scenes.size()); }
    CMinigameBlock* GetFirstReadyMinigame() const { return m_Minigames.empty() ? nullptr : m_Minigames.front(); }
    u32 GetReadyMinigameCount() const { return static_cast<u32>(m_Minigames.size()); }
    const std::vector<CActionBlock*>& GetReadyActions() const { return m_Actions; }

    // Classifies the scene point for the cursor; the result holds until the next call.
    void ClassifyPoint(const CPoint2i& point, const char* activeObject);
    s32 GetPointerResult(CSceneObject** object) const;
    CScene* GetPointerTargetScene() const { return m_PointerScene; }

private:
    CScriptEnvironment* GetEnvironment() const;
    // The door walk of the hint: the first door of the shortest way and its distance.
    CSceneBlock* FindNearestDoor(const char* activeObject, s32& distance) const;
    u32 CollectDoors(bool miniscenes, CScene** scenes, CSceneObject** doors, u32 maximum) const;

    CScriptSet* m_Set = nullptr;
    std::vector<CActionBlock*> m_Actions;
    std::vector<CSceneBlock*> m_Scenes;
    std::vector<CMinigameBlock*> m_Minigames;
    CSceneObject* m_PointerObject = nullptr;
    s32 m_PointerKind = kPointerNothing;
    CScene* m_PointerScene = nullptr;
};

} // namespace qe::scripts
