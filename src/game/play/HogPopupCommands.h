#pragma once
// The popup mechanisms of the hidden-object searches, read per level from a property file: for
// each popup scene the zones, the object each may need, and the commands a used zone runs.
#include "core/FixedString.h"
#include "core/Types.h"

#include <string>
#include <vector>

namespace qe {
class CQuest;
}

namespace game {

class CHogPopupCommands
{
public:
    struct SCommandRecord
    {
        std::string Id;
        std::string Arg1;
        std::string Arg2;
        std::string Arg3;
    };

    struct SEntry
    {
        std::string Id;
        std::string ActivateObject;
        // Kept with the entry; nothing reads it.
        std::string TakeObject;
        s32 SayId = -1;
        s32 HogIndex = 1;
        std::vector<SCommandRecord> Commands;
    };

    struct SScene
    {
        CFixedString Id;
        std::vector<SEntry> Entries;
    };

    CHogPopupCommands() = default;

    // Loads the lists of the quest's level; the same level twice reads the file once. A file
    // without that level reports it and keeps the lists as they were.
    bool Load(const char* path, qe::CQuest* quest);
    // The same from a level name, for callers without a quest.
    bool LoadLevel(const char* path, const char* levelName);

    s32 FindScene(const char* name) const;
    bool HasActivateEntries(s32 sceneIndex, s32 hogIndex) const;
    s32 FindEntry(s32 sceneIndex, s32 hogIndex, const char* zoneName, const char* objectName) const;
    s32 FindEntryByObject(s32 sceneIndex, s32 hogIndex, const char* objectName, std::string& zoneName) const;

    const std::vector<SScene>& GetScenes() const { return m_Scenes; }
    const SScene* GetScene(s32 index) const;
    bool IsLoaded() const { return m_Loaded; }
    const std::string& GetLevel() const { return m_Level; }
    // How often the file was parsed, so callers can tell a reload from a kept level.
    s32 GetParseCount() const { return m_ParseCount; }

private:
    std::vector<SScene> m_Scenes;
    bool m_Loaded = false;
    std::string m_Level;
    s32 m_ParseCount = 0;
};

} // namespace game
