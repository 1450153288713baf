#pragma once
// Runs the popup mechanisms of one hidden-object search: answers which zone or carried object is
// under the mouse in the popup scene and plays the command list of a used zone, one pass a frame.
#include "core/FixedString.h"
#include "core/Types.h"
#include "core/Vector2.h"

#include <string>
#include <vector>

namespace qe {
class CScene;
class CSceneObject;
} // namespace qe

namespace game {

class CHogPopupCommands;

class CHogPopupRunner
{
public:
    enum EKind : s32
    {
        kShow = 0,
        kHide = 1,
        kSleep = 2,
        kRemove = 3,
        kEnable = 4,
        kDisable = 5,
        kPlayAnim = 6,
        kPlaySound = 7,
    };

    struct SCommand
    {
        s32 Kind = kSleep;
        std::string Target;
        s32 Duration = -1;
        s32 Elapsed = 0;
        bool Started = false;
        bool Finished = false;
        bool Blocking = false;
    };

    CHogPopupRunner() = default;

    // The lists the runner reads; the game window's unless a test gives its own.
    void SetCommands(CHogPopupCommands* commands) { m_Lists = commands; }

    bool IsBusy() const { return m_Busy; }
    bool HasActivateEntries(const char* sceneName, s32 hogIndex);
    std::vector<CFixedString> ZoneIds(const char* sceneName, s32 hogIndex);
    qe::CSceneObject* ActivateObjectAt(qe::CScene* scene, float x, float y, s32 hogIndex);
    bool HitsActivateObject(qe::CScene* scene, float x, float y, s32 hogIndex)
    {
        return ActivateObjectAt(scene, x, y, hogIndex) != nullptr;
    }
    bool IsPlainZoneAt(qe::CScene* scene, float x, float y, s32 hogIndex);
    bool ZoneSpeechAt(qe::CScene* scene, s32 hogIndex, float x, float y, bool say);
    qe::CSceneObject* HintPair(qe::CScene* scene, s32 hogIndex, qe::CSceneObject*& activateObject);
    bool HasEnabledZone(qe::CScene* scene, s32 hogIndex);
    bool StartEntry(qe::CScene* scene, float x, float y, const char* sceneName, s32 hogIndex,
                    const char* carriedName);
    void Update();

    const std::vector<SCommand>& GetQueue() const { return m_Queue; }
    s32 GetSceneIndex() const { return m_SceneIndex; }

    // Drops the shared cache of ActivateObjectAt; the lists call it when they are replaced.
    static void DropActivateCache();

private:
    CHogPopupCommands* Lists();
    qe::CSceneObject* Resolve(const std::string& name) const;

    s32 m_SceneIndex = -1;
    CHogPopupCommands* m_Lists = nullptr;
    bool m_Busy = false;
    std::vector<SCommand> m_Queue;
    qe::CScene* m_Scene = nullptr;
    s32 m_Current = 0;
};

} // namespace game
