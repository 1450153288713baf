#pragma once
// The sound declarations of the game: "properties/sounds.bindump" as loaded, or, when that file
// is missing or too short for the count it states, "properties/sounds.xml" built into the same
// image. The game keeps one during its start-up and frees it once the sound types exist.
#include "core/Types.h"
#include "sound/SoundDeclarationRecord.h"

#include <vector>

namespace lv::core {
class CFileSystem;
}

namespace lv::sound {

class CSoundDeclarations
{
public:
    CSoundDeclarations() = default;
    ~CSoundDeclarations() { Free(); }
    CSoundDeclarations(const CSoundDeclarations&) = delete;
    CSoundDeclarations& operator=(const CSoundDeclarations&) = delete;

    // Frees what is held, then loads through the process's file system; false only when
    // neither file gives an image.
    bool Load();
    bool Load(lv::core::CFileSystem& fileSystem);
    // Builds the image from an XML file; false when the file is missing.
    bool LoadXml(const char* path);
    bool LoadXml(lv::core::CFileSystem& fileSystem, const char* path);
    void Free();
    // Uses an image the caller keeps (read in place, never freed here); false, holding nothing,
    // when the image is too short for the count it states.
    bool UseImage(const u8* data, u32 size);
    static bool IsImageComplete(const u8* data, u32 size);

    const u8* GetBlob() const { return m_Blob; }
    u32 GetSize() const { return m_Size; }
    // True for an image built from XML.
    bool IsBuilt() const { return !m_Built.empty(); }
    // The records the image holds (its count, which loading checked against its size).
    u32 GetCount() const;
    // False for an index beyond the count or a record whose names do not fit their fields.
    bool GetRecord(u32 index, CSoundDeclarationRecord& record) const;

    // Writes an image built from XML to "properties/sounds.bindump"; false for a loaded file
    // or when the file cannot be written.
    bool SaveBindump() const;

private:
    const u8* m_Blob = nullptr;
    u32 m_Size = 0;
    std::vector<u8> m_Built;
    lv::core::CFileSystem* m_FileSystem = nullptr; // gives back a loaded file
};

} // namespace lv::sound
