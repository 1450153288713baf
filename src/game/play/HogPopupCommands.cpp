#include "game/play/HogPopupCommands.h"

#include "core/MessageBox.h"
#include "core/Settings.h"
#include "game/play/HogPopupRunner.h"
#include "qe/Quest.h"

#include <cstdlib>
#include <cstring>

namespace game {

namespace {

// Decimal text; 0 when it is not a number.
s32 PopupListNumber(const std::string& text, s32 fallback)
{
    if (text.empty())
        return fallback;
    return static_cast<s32>(std::strtol(text.c_str(), nullptr, 10));
}

const std::string& PopupListAttribute(const lv::core::CSettingsGroup& group, const char* name)
{
    return group.GetAttribute(name);
}

} // namespace

bool CHogPopupCommands::Load(const char* path, qe::CQuest* quest)
{
    if (!quest)
        return false;
    return LoadLevel(path, quest->GetName().GetText());
}

bool CHogPopupCommands::LoadLevel(const char* path, const char* levelName)
{
    const std::string level = levelName ? levelName : "";
    if (m_Loaded && m_Level == level)
        return true;

    lv::core::CSettings settings;
    ++m_ParseCount;
    const lv::core::CSettingsGroup* root = settings.LoadXml(path) ? settings.FindFirstChild() : nullptr;
    const lv::core::CSettingsGroup* levelGroup = nullptr;
    if (root)
        for (const auto& child : root->GetChildren())
            if (child->GetName() == CFixedString("level") && PopupListAttribute(*child, "id") == level)
            {
                levelGroup = child.get();
                break;
            }
    if (!levelGroup)
    {
        lv::core::ShowMessageBoxF("Error", "Can't find level '%s' in hog commands file", level.c_str());
        return false;
    }

    std::vector<SScene> scenes;
    for (const auto& sceneGroup : levelGroup->GetChildren())
    {
        SScene scene;
        scene.Id = CFixedString(PopupListAttribute(*sceneGroup, "id").c_str());
        for (const auto& entryGroup : sceneGroup->GetChildren())
        {
            SEntry entry;
            entry.Id = PopupListAttribute(*entryGroup, "id");
            entry.ActivateObject = PopupListAttribute(*entryGroup, "activate_object");
            entry.TakeObject = PopupListAttribute(*entryGroup, "take_object");
            entry.HogIndex = PopupListNumber(PopupListAttribute(*entryGroup, "hogID"), 1);
            entry.SayId = PopupListNumber(PopupListAttribute(*entryGroup, "sayID"), -1);
            for (const auto& commandGroup : entryGroup->GetChildren())
            {
                SCommandRecord command;
                command.Id = PopupListAttribute(*commandGroup, "id");
                command.Arg1 = PopupListAttribute(*commandGroup, "arg1");
                command.Arg2 = PopupListAttribute(*commandGroup, "arg2");
                command.Arg3 = PopupListAttribute(*commandGroup, "arg3");
                entry.Commands.push_back(std::move(command));
            }
            scene.Entries.push_back(std::move(entry));
        }
        scenes.push_back(std::move(scene));
    }
    m_Scenes = std::move(scenes);
    // Indexes into the previous lists must not survive them.
    CHogPopupRunner::DropActivateCache();
    m_Level = level;
    m_Loaded = true;
    return true;
}

const CHogPopupCommands::SScene* CHogPopupCommands::GetScene(s32 index) const
{
    if (index < 0 || index >= static_cast<s32>(m_Scenes.size()))
        return nullptr;
    return &m_Scenes[static_cast<size_t>(index)];
}

s32 CHogPopupCommands::FindScene(const char* name) const
{
    if (!name)
        return -1;
    for (size_t i = 0; i < m_Scenes.size(); ++i)
        if (std::strcmp(m_Scenes[i].Id.GetText(), name) == 0)
            return static_cast<s32>(i);
    return -1;
}

bool CHogPopupCommands::HasActivateEntries(s32 sceneIndex, s32 hogIndex) const
{
    const SScene* scene = GetScene(sceneIndex);
    if (!scene)
        return false;
    for (const SEntry& entry : scene->Entries)
        if (entry.HogIndex == hogIndex && !entry.ActivateObject.empty())
            return true;
    return false;
}

s32 CHogPopupCommands::FindEntry(s32 sceneIndex, s32 hogIndex, const char* zoneName, const char* objectName) const
{
    const SScene* scene = GetScene(sceneIndex);
    if (!scene || !zoneName)
        return -1;
    const bool anyObject = !objectName || !*objectName;
    for (size_t i = 0; i < scene->Entries.size(); ++i)
    {
        const SEntry& entry = scene->Entries[i];
        if (entry.HogIndex == hogIndex && entry.Id == zoneName && (anyObject || entry.ActivateObject == objectName))
            return static_cast<s32>(i);
    }
    return -1;
}

s32 CHogPopupCommands::FindEntryByObject(s32 sceneIndex, s32 hogIndex, const char* objectName,
                                         std::string& zoneName) const
{
    const SScene* scene = GetScene(sceneIndex);
    if (!scene || !objectName)
        return -1;
    for (size_t i = 0; i < scene->Entries.size(); ++i)
    {
        const SEntry& entry = scene->Entries[i];
        if (entry.HogIndex == hogIndex && entry.ActivateObject == objectName)
        {
            zoneName = entry.Id;
            return static_cast<s32>(i);
        }
    }
    return -1;
}

} // namespace game
