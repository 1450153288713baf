#pragma once
// The quest script image of the whole game: loaded from "properties/quest_script.bindump" and
// used in place (borrowed from the file system), or compiled from the script parts of
// "properties/quest.xml" when that file is absent (owned). A file image is checked once when it
// is loaded; an unsound one is refused as a whole. The image is never written: names stored
// without a hash are hashed locally on comparison.
#include "core/FixedString.h"
#include "core/Types.h"
#include "qe/ScriptRecords.h"

#include <memory>

#include <vector>

namespace lv::core {
class CFileSystem;
class CSettingsGroup;
} // namespace lv::core

namespace lv::gui {
class CBaseWidget;
}

namespace qe {

class CQuest;

namespace scripts {
class CScriptEnvironment;
}

class CScriptData
{
public:
    static constexpr const char* kImagePath = "properties/quest_script.bindump";
    static constexpr const char* kXmlPath = "properties/quest.xml";

    // The process-wide holder, created on first use.
    static CScriptData& Instance();

    CScriptData() = default;
    ~CScriptData();
    CScriptData(const CScriptData&) = delete;
    CScriptData& operator=(const CScriptData&) = delete;

    // Loads the image file or, when it does not exist, compiles quest.xml; true when an image is
    // in use afterwards.
    bool Load();
    bool Load(lv::core::CFileSystem& fileSystem);
    // Compiles a parsed quest.xml (its root element) into an owned image.
    void Compile(const lv::core::CSettingsGroup& root);
    // Writes an image compiled in this run (through a temporary file renamed over the target);
    // false for a loaded image, no image or any failed write.
    bool Save() const;
    bool Save(const char* path) const;
    void Release();

    bool HasImage() const { return m_Image != nullptr; }
    bool IsOwned() const { return m_Image && m_FileSystem == nullptr; }
    const u8* GetImage() const { return m_Image; }
    u32 GetSize() const { return m_Size; }

    // The quest record of that id; invalid when there is none (or no image).
    scripts::CQuestRecord FindQuest(const CFixedString& id) const;
    // The script environment of the quest's record (by the quest's name); null without an
    // image or without such a record.
    std::unique_ptr<scripts::CScriptEnvironment> CreateEnvironment(CQuest* quest, lv::gui::CBaseWidget* widget) const;

private:
    const u8* m_Image = nullptr;
    u32 m_Size = 0;
    std::vector<u8> m_Compiled;
    // Set while the image is borrowed from it.
    lv::core::CFileSystem* m_FileSystem = nullptr;
};

} // namespace qe
