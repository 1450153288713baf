#pragma once
// Every player-visible text by numeric id. The table is one block (see StringBlock.h), either
// the file "properties/strings.bindump" (or "properties/strings.xml.bin_utf16le") used as it
// stands, or built at start-up from "properties/strings.xml". Files are read through the file
// system, so its language overlay picks the translated table. Texts may refer to other strings
// with '$' and an id, which ExpandReferences resolves.
#include "core/Types.h"

#include <string_view>
#include <vector>

namespace lv::core {

class CFileSystem;

class CStringTable
{
public:
    // The process-wide table, empty until Load.
    static CStringTable& Instance();

    CStringTable();
    ~CStringTable();
    CStringTable(const CStringTable&) = delete;
    CStringTable& operator=(const CStringTable&) = delete;

    // Loads through the process-wide file system.
    void Load();
    // Loads through the given file system, which must outlive the table's block (or Release).
    void Load(CFileSystem& fileSystem);

    // The text of the id; for a missing id (or no table) the text "! string <id> is not found !"
    // in a buffer that the next miss overwrites. Never null.
    const WChar* GetString(s32 id) const;

    // Copies the text, replacing '$' and a decimal id by that string, "$$" by one '$'; a '$'
    // without digits stands for string 0. Ids beyond the 32-bit range saturate (and are then
    // not found).
    void ExpandReferences(WString& out, WStringView text) const;
    // The narrow text converted from the ANSI code page first.
    void ExpandReferencesA(WString& out, std::string_view text) const;
    // Null gives an empty result.
    void ExpandReferencesC(WString& out, const char* text) const;

    // Gives back or frees the block; the table is empty afterwards.
    void Release();
    // Writes the block to "strings.xml.bin_utf16le" and its 32-bit form to
    // "strings.xml.bin_utf32le" in the working folder; false when no block is loaded.
    bool SaveBinaryForms() const;

    bool IsLoaded() const { return m_Data != nullptr; }
    const u8* GetData() const { return m_Data; }
    u32 GetSize() const { return m_Size; }
    // 1 when the block was built in memory, 0 when it is a file image of the file system.
    u8 IsOwned() const { return m_Owned; }

private:
    // Checks a loaded image and adopts it; false (after the message) when it is unusable.
    bool Adopt(CFileSystem& fileSystem, const u8* image, u32 size, u32 magic, const char* path);
    void LoadXml(CFileSystem& fileSystem);

    const u8* m_Data = nullptr;
    u32 m_Size = 0;
    u8 m_Owned = 0;
    std::vector<u8> m_Block;                // the block when owned
    CFileSystem* m_FileSystem = nullptr; // gives back a file image
    mutable WChar m_NotFound[256] = {};
};

} // namespace lv::core
