#pragma once
// The quest data image: every quest, scene and object record, packed and read-only. It is the
// file "properties/quest.bindump" used in place, or, when that file does not exist, the same
// bytes built from "properties/quest.xml". The image is checked once when it is loaded, so the
// scenes and objects built on it may follow its counts, sizes and names without further checks.
#include "core/Types.h"

#include <string>
#include <string_view>
#include <vector>

namespace lv::core {
class CFileSystem;
class CSettingsGroup;
class CTimeSystem;
} // namespace lv::core

namespace lv::gui {
class CBaseWidget;
}

namespace qe {

class CQuest;
class CSavableState;

class CQuestData
{
public:
    static constexpr u32 kMagic = 0x02545351; // "QST", version 2
    static constexpr u32 kVersion = 2;
    static constexpr size_t kQuestRecordSize = 104;

    // The process-wide quest data; created on first use.
    static CQuestData& Instance();

    CQuestData();
    ~CQuestData();
    CQuestData(const CQuestData&) = delete;
    CQuestData& operator=(const CQuestData&) = delete;

    // Loads through the process-wide file system, or through the given one.
    bool Load();
    bool Load(lv::core::CFileSystem& fileSystem);
    // Uses bytes the caller keeps alive (never written) after checking them; a refused image
    // is reported as a corrupted file and leaves no quests.
    bool LoadImage(const u8* data, u32 size);
    // Builds the image from a quest.xml document (false when it does not parse, leaving the
    // image of an empty tree), or from an already loaded settings tree (its document element,
    // whose child "Structure" holds the quests).
    bool BuildFromXmlText(const std::string& text);
    void BuildFromXml(const lv::core::CSettingsGroup& document);
    void Clear();

    const u8* GetImage() const { return m_Image; }
    u32 GetImageSize() const { return m_Size; }
    bool IsBuiltFromXml() const { return m_BuiltFromXml; }
    s32 GetQuestCount() const { return static_cast<s32>(m_Quests.size()); }
    const u8* GetQuestRecord(s32 index) const;

    // A new quest built from the first quest record of that name; null without an image or
    // without such a record. The caller owns it.
    CQuest* CreateQuest(const char* name, lv::gui::CBaseWidget* ownerWidget, CSavableState* owner,
                        lv::core::CTimeSystem* timeSystem = nullptr) const;

    // Writes an image built from XML, unchanged, to "properties/quest.bindump" or to the path.
    bool SaveBindump() const;
    bool SaveBindump(const char* path) const;

    // True when every record lies inside its parent and the image; `problem` names the first
    // fault.
    static bool CheckImage(const u8* data, size_t size, const char** problem = nullptr);
    // Base-64 digits, first character least significant; the eleventh gives its low 4 bits.
    static u64 ParseGuid(std::string_view text);

private:
    bool Adopt(const u8* data, u32 size, lv::core::CFileSystem* fileSystem);
    void IndexQuests();

    const u8* m_Image = nullptr;
    u32 m_Size = 0;
    bool m_BuiltFromXml = false;
    std::vector<u8> m_Built;                    // the image built from XML
    lv::core::CFileSystem* m_FileSystem = nullptr; // gives back a loaded file
    std::vector<const u8*> m_Quests;
};

// The records of an image: four bytes past its start.
inline const u8* GetRecordsAfterMagic(const u8* image)
{
    return image + 4;
}

} // namespace qe
