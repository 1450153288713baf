#pragma once
// The script of one quest: a script set per scene, linked across scenes (listeners, group and
// cycle members), ticked once a frame, with the pause counter of running command trees, the
// saved block state and the door distances that the hint needs.
#include "core/Types.h"
#include "qe/ScriptRecords.h"

#include <memory>
#include <utility>
#include <vector>

namespace lv::gui {
class CBaseWidget;
}

namespace qe {
class CBinaryReader;
class CBinaryWriter;
class CQuest;
class CScene;
} // namespace qe

namespace qe::scripts {

class CBlockBase;
class CScriptSet;

class CScriptEnvironment
{
public:
    static constexpr s32 kUnreachable = 2147483647;

    // quest may be null (no scenes are then found; nobody is asked to save).
    CScriptEnvironment(const CQuestRecord& record, CQuest* quest, lv::gui::CBaseWidget* widget);
    ~CScriptEnvironment();
    CScriptEnvironment(const CScriptEnvironment&) = delete;
    CScriptEnvironment& operator=(const CScriptEnvironment&) = delete;

    void Tick();
    void RefreshAll();
    bool IsRefreshed() const { return m_Refreshed; }

    void Pause() { ++m_PauseCount; }
    // Back at 0 the quest asks its owner to save.
    void Resume();
    bool IsPaused() const { return m_PauseCount > 0; }
    s32 GetPauseCount() const { return m_PauseCount; }

    void Save(CBinaryWriter& writer);
    bool Load(CBinaryReader& reader);
    s32 GetSaveSize() const;

    CScene* FindScene(const char* name) const;
    // The fewest available doors from the start set to a scene with a local hint for the item;
    // kUnreachable when there is none, or when every such way takes `limit` doors or more.
    s32 PathDistance(const CScriptSet* start, const char* sceneName, const char* activeObject,
                     s32 limit = kUnreachable);

    u32 GetTotalBlockCount() const { return m_TotalBlockCount; }
    u32 GetSetCount() const { return static_cast<u32>(m_Sets.size()); }
    CScriptSet* GetSet(u32 index) const { return m_Sets[index].get(); }
    CQuest* GetQuest() const { return m_Quest; }
    // The block of that id in any set, or null.
    CBlockBase* FindBlock(const char* id) const;

private:
    // The first set whose scene has that name.
    s32 FindSetIndex(const char* sceneName) const;

    CQuest* m_Quest = nullptr;
    std::vector<std::unique_ptr<CScriptSet>> m_Sets;
    // The sets that have a scene, by scene name and then set order: the door walk looks a name
    // up for every door it passes.
    std::vector<std::pair<const char*, s32>> m_SetsByName;
    std::vector<u8> m_Visited;
    std::vector<s32> m_Queue;
    bool m_Refreshed = false;
    u32 m_TotalBlockCount = 0;
    s32 m_PauseCount = 0;
};

} // namespace qe::scripts
