#pragma once
// Every clip definition of the game, by name, in one read-only image:
//
//   u32 magic 0x02504C43 ("CLP", format 2) | u32 count n |
//   n index entries sorted by name: CFixedString name (96), u32 offset of the clip record |
//   the clip records (CClipHeader, items, u32 0), each reached through its index entry.
//
// The image is "properties/clips.bindump" used in place, or, when that file is missing, built
// from "properties/clips.xml" or else every "clips/*.xml" (read from disk only). Clip objects
// point into the image, so it lives as long as any clip does.
#include "core/Types.h"

#include <vector>

namespace lv::core {
class CFileSystem;
}

namespace lv::misc::anim {

struct CClipHeader;

class CClipManager
{
public:
    static constexpr u32 kMagic = 0x02504C43;
    static constexpr u32 kFormatVersion = 2;

    // The process-wide manager, created on first use without clips.
    static CClipManager& Instance();

    CClipManager();
    ~CClipManager();
    CClipManager(const CClipManager&) = delete;
    CClipManager& operator=(const CClipManager&) = delete;

    // Loads the image through the process-wide file system, or builds it from the XML files.
    // Always true: a bad image is reported and leaves the manager without clips.
    bool Load();
    // The same through the given file system, which must outlive the image (or Release).
    bool Load(core::CFileSystem& fileSystem);
    // Takes a copy of an image held in memory, checked as a loaded file is; false (reported)
    // when it is rejected, leaving the manager without clips.
    bool LoadImage(const u8* data, u32 size);

    // The clip record of that name, or null.
    const CClipHeader* FindClip(const char* name) const;

    // Writes the image to "properties/clips.bindump" when it was built from XML.
    void Save() const;
    // Frees the image; no clip may exist any more.
    void Release();

    const u8* GetImage() const { return m_Blob; }
    u32 GetImageSize() const { return m_Size; }
    u32 GetClipCount() const;
    // True when the image was built from the XML files.
    bool IsBuilt() const { return m_Built != 0; }

    // True when the image can be used in place: its magic, and every index entry, clip record,
    // item and name lying inside it with the sizes the layout gives, items exactly filling each
    // record up to its terminator, every stored name hashed. Otherwise `problem` says what is
    // wrong.
    static bool CheckImage(const u8* data, size_t size, const char** problem = nullptr);

private:
    // Checks an image and keeps it (in place when `fileSystem` holds it and it is aligned, else
    // as a copy); false after the report.
    bool Adopt(const u8* data, u32 size, core::CFileSystem* fileSystem);
    void BuildFromXml();

    const u8* m_Blob = nullptr;
    u32 m_Size = 0;
    u8 m_Built = 0;
    std::vector<u8> m_Owned;
    core::CFileSystem* m_FileSystem = nullptr; // gives back an image used in place
};

} // namespace lv::misc::anim
