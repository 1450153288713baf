#pragma once
// Every declared surface (texture file) and image, as one little-endian blob: read unchanged
// from "properties/resources.bindump" and used in place, or compiled from
// "properties/resources.xml" when the bindump is absent.
//
//   header (16): u32 magic "TEX" + revision 1 | u32 surfaces S | u32 groups G | u32 images N
//   S x CSurfaceRecord (136, sorted by path) | G x CImageGroupRecord (104, document order)
//   N x CImageIndexEntry (104, sorted by name) | N CImageInfo blocks (220 + 16 x frames)
//
// A blob is checked once when it is taken: every count, offset and name must lie inside it, so
// the texture manager and the image handles can use it without further checks.
#include <vector>

#include "core/FixedString.h"
#include "core/Types.h"

namespace lv::graphics {

struct CImageInfo;

struct CSurfaceRecord
{
    static constexpr u16 kNearest = 0x10;
    static constexpr u16 kSizeFromFile = 0x20;

    CLongFixedString path;
    u16 width;
    u16 height;
    u8 format;
    u8 reserved;
    u16 flags;
};
static_assert(sizeof(CSurfaceRecord) == 136);

struct CImageGroupRecord
{
    static constexpr u32 kLoadOnDemand = 1;

    CFixedString id;
    u32 flags;
    u32 parentOffset;
};
static_assert(sizeof(CImageGroupRecord) == 104);

struct CImageIndexEntry
{
    CFixedString id;
    u32 infoOffset;
    u32 groupOffset;
};
static_assert(sizeof(CImageIndexEntry) == 104);

class CTextureDeclarations
{
public:
    static constexpr u32 kMagic = 0x01584554;
    static constexpr u32 kHeaderSize = 16;

    static CTextureDeclarations& Instance();

    CTextureDeclarations() = default;
    ~CTextureDeclarations() { Release(); }
    CTextureDeclarations(const CTextureDeclarations&) = delete;
    CTextureDeclarations& operator=(const CTextureDeclarations&) = delete;

    bool Load() { return LoadFile("properties/resources.bindump"); }
    // Releases any blob held, then takes the file (no XML fallback when it is rejected) or,
    // when it does not exist, compiles "properties/resources.xml".
    bool LoadFile(const char* path);
    bool LoadXml(const char* path);
    // Takes a blob from memory (copied); false, holding nothing, when it is rejected.
    bool LoadBlob(const u8* data, u32 size);
    void Release();
    // Writes an owned (compiled) blob to "properties/resources.bindump".
    bool Save() const;

    const u8* GetBlob() const { return m_Blob; }
    u32 GetBlobSize() const { return m_Size; }

    u32 GetSurfaceCount() const;
    u32 GetGroupCount() const;
    u32 GetImageCount() const;
    const CSurfaceRecord* GetSurfaces() const;
    const CImageGroupRecord* GetGroups() const;
    const CImageIndexEntry* GetIndex() const;
    const CImageInfo* GetInfo(const CImageIndexEntry& entry) const;
    // Surface number of a surface offset ((offset - 16) / 136).
    static u32 SurfaceNumber(u32 offset) { return (offset - kHeaderSize) / sizeof(CSurfaceRecord); }

    const CImageIndexEntry* FindEntry(const CFixedString& name) const;

    // The structural check every blob passes before use. On failure `revision` is the top
    // byte of the first word (or 0 for a blob too short to have one).
    static bool Validate(const u8* data, u32 size, u32* revision = nullptr);

private:
    // Takes the buffer after a successful check: copies it when it is not 4-byte aligned.
    bool Adopt(const u8* data, u32 size, bool fromFileSystem);
    void Reject(u32 revision);

    const u8* m_Blob = nullptr;
    u32 m_Size = 0;
    // 1: malloc'd here (compiled or copied), freed with free(); 0: a file-system buffer.
    u8 m_Owned = 0;
};

// Name-string order and equality between a name and a record inside a blob, reading the record
// only (its stored hash is compared with one computed here, never cached into it).
s32 CompareStoredName(const u8* record, const char* text);
bool StoredNameEquals(const u8* record, const CFixedString& name);

} // namespace lv::graphics
