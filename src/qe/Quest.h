#pragma once
// A running quest: its scenes in data order, the stand-in objects that failed lookups hand out,
// and its own unnamed timer group, whose pause freezes every animation of the quest. Its saved
// state is the scenes' states and the script environment's, of a size fixed when it is built.
#include "core/FixedString.h"
#include "core/Types.h"

#include <memory>
#include <vector>

namespace lv::core {
class CTimeSystem;
class CTimerGroup;
} // namespace lv::core

namespace qe {

class CBinaryWriter;
class CPlaceholderSet;
class CSavableState;
class CScene;
class CSceneObject;
namespace scripts {
class CScriptEnvironment;
}

class CQuest
{
public:
    // The timer group is made under the root group of the given time system (the process-wide
    // one when null). A quest without an owner saves nothing.
    explicit CQuest(const char* name = "", lv::core::CTimeSystem* timeSystem = nullptr, CSavableState* owner = nullptr);
    ~CQuest();
    CQuest(const CQuest&) = delete;
    CQuest& operator=(const CQuest&) = delete;

    const CFixedString& GetName() const { return m_Name; }
    lv::core::CTimerGroup* GetTimerGroup() const { return m_TimerGroup; }

    // Takes the scene (built on this quest); scenes stay in the order added.
    CScene* AddScene(std::unique_ptr<CScene> scene);
    // Once every scene is in: the state size and the placeholders, on the start scene or, when
    // there is none, on a scene of the quest's own that holds nothing.
    void FinishBuild();

    s32 GetSceneCount() const { return static_cast<s32>(m_Scenes.size()); }
    CScene* GetScene(s32 index) const { return m_Scenes[static_cast<size_t>(index)].get(); }
    CScene* FindScene(const char* name) const;
    CScene* FindSceneByGuid(u64 guid) const;
    CScene* GetStartScene() const;
    // "scene/object": split at the first slash; the rest is the object's whole name.
    CSceneObject* FindObjectByPath(const char* path) const;

    // Takes the quest's script environment (built over this quest's scenes) and grows the
    // state size by its saved state. Without one the quest saves an empty environment.
    void SetScriptEnvironment(std::unique_ptr<scripts::CScriptEnvironment> environment);
    scripts::CScriptEnvironment* GetScriptEnvironment() const { return m_Environment.get(); }
    void UpdateScripts();
    void RefreshScripts();
    bool IsScriptPaused() const;
    void SetCheatMode(bool on);

    bool SaveState();
    s32 GetStateSize() const { return m_StateSize; }
    void Save(CBinaryWriter& writer);
    bool Load(const u8* data, s32 size);

    // Makes the five placeholders on the given scene (again, when called twice).
    void CreatePlaceholders(CScene* scene);
    // Null until they are made.
    CPlaceholderSet* GetPlaceholders() const { return m_Placeholders.get(); }

private:
    std::vector<std::unique_ptr<CScene>> m_Scenes;
    CFixedString m_Name;
    CSavableState* m_Owner = nullptr;
    s32 m_StateSize = 0;
    // Holds the placeholders when the quest has no start scene.
    std::unique_ptr<CScene> m_DetachedScene;
    std::unique_ptr<CPlaceholderSet> m_Placeholders;
    std::unique_ptr<scripts::CScriptEnvironment> m_Environment;
    lv::core::CTimeSystem* m_TimeSystem = nullptr;
    lv::core::CTimerGroup* m_TimerGroup = nullptr;
};

} // namespace qe
