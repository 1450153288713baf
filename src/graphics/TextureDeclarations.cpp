#include "graphics/TextureDeclarations.h"
#include "core/ByteOrder.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "core/FileSystem.h"
#include "core/FileUtils.h"
#include "core/Log.h"
#include "graphics/ImageInfo.h"
#include "graphics/TextureDeclarationCompiler.h"

using lv::core::ReadU32;
using lv::core::ReadU16;

namespace lv::graphics {

namespace {

// A stored name record of `capacity` characters: its length leaves room for the terminator,
// the terminator is there, the reserved word is 0 and, when asked, the hash is the computed one.
bool CheckName(const u8* record, u16 capacity, bool checkHash)
{
    const u16 length = ReadU16(record);
    if (length >= capacity || record[8 + length] != 0 || ReadU16(record + 6) != 0)
        return false;
    const char* text = reinterpret_cast<const char*>(record + 8);
    if (std::memchr(text, 0, length))
        return false;
    return !checkHash || ReadU16(record + 4) == FixedStringHash(text, length);
}

struct CLayout
{
    u32 surfaces, groups, images;
    u64 surfacesAt, groupsAt, indexAt, end;

    explicit CLayout(const u8* data)
        : surfaces(ReadU32(data + 4)), groups(ReadU32(data + 8)), images(ReadU32(data + 12)),
          surfacesAt(CTextureDeclarations::kHeaderSize),
          groupsAt(surfacesAt + static_cast<u64>(surfaces) * sizeof(CSurfaceRecord)),
          indexAt(groupsAt + static_cast<u64>(groups) * sizeof(CImageGroupRecord)),
          end(indexAt + static_cast<u64>(images) * sizeof(CImageIndexEntry))
    {
    }
    bool IsSurfaceOffset(u32 offset) const
    {
        return offset >= surfacesAt && offset < groupsAt && (offset - surfacesAt) % sizeof(CSurfaceRecord) == 0;
    }
    bool IsGroupOffsetOrZero(u32 offset) const
    {
        return offset == 0 ||
               (offset >= groupsAt && offset < indexAt && (offset - groupsAt) % sizeof(CImageGroupRecord) == 0);
    }
};

bool CheckInfo(const u8* data, u32 size, const CLayout& layout, u32 offset)
{
    if (offset < layout.end || offset % 4 != 0 || static_cast<u64>(offset) + sizeof(CImageInfo) > size)
        return false;
    const u8* info = data + offset;
    const u16 frames = ReadU16(info + 218);
    if (static_cast<u64>(offset) + CImageInfo::BlockSize(frames) > size)
        return false;
    if (!CheckName(info, 88, false) || !(ReadU32(info + 100) & CImageInfo::kFlagShared))
        return false;
    const u8 delays = info[214];
    const u8 mapped = info[215];
    if (delays > CImageInfo::kMaxFrames || mapped > CImageInfo::kMaxFrames)
        return false;
    // Map entries index the delay table.
    for (u32 i = 0; i < mapped; ++i)
        if (info[172 + i] >= CImageInfo::kMaxFrames)
            return false;
    return layout.IsGroupOffsetOrZero(ReadU32(info + 204)) && layout.IsSurfaceOffset(ReadU32(info + 208));
}

} // namespace

s32 CompareStoredName(const u8* record, const char* text)
{
    const s32 result =
        FixedStringCompareText(reinterpret_cast<const char*>(record + 8), text ? text : "");
    return result < 0 ? -1 : (result > 0 ? 1 : 0);
}

bool StoredNameEquals(const u8* record, const CFixedString& name)
{
    if (name.IsTruncated() || ReadU16(record) != name.GetLength())
        return false;
    if (ReadU16(record + 4) != FixedStringHash(name.GetText(), name.GetLength()))
        return false;
    return std::memcmp(record + 8, name.GetText(), name.GetLength()) == 0;
}

CTextureDeclarations& CTextureDeclarations::Instance()
{
    static CTextureDeclarations s_Declarations;
    return s_Declarations;
}

bool CTextureDeclarations::Validate(const u8* data, u32 size, u32* revision)
{
    if (revision)
        *revision = data && size >= 4 ? data[3] : 0;
    if (!data || size < kHeaderSize || ReadU32(data) != kMagic)
        return false;
    const CLayout layout(data);
    if (layout.end > size)
        return false;
    for (u32 i = 0; i < layout.surfaces; ++i)
        if (!CheckName(data + layout.surfacesAt + i * sizeof(CSurfaceRecord), 120, false))
            return false;
    for (u32 i = 0; i < layout.groups; ++i) {
        const u8* group = data + layout.groupsAt + i * sizeof(CImageGroupRecord);
        if (!CheckName(group, 88, false) || !layout.IsGroupOffsetOrZero(ReadU32(group + 100)))
            return false;
    }
    const u8* previous = nullptr;
    for (u32 i = 0; i < layout.images; ++i) {
        const u8* entry = data + layout.indexAt + static_cast<u64>(i) * sizeof(CImageIndexEntry);
        if (!CheckName(entry, 88, true) || !layout.IsGroupOffsetOrZero(ReadU32(entry + 100)) ||
            !CheckInfo(data, size, layout, ReadU32(entry + 96)))
            return false;
        // Strictly ascending names, or the binary search would miss entries.
        if (previous && CompareStoredName(previous, reinterpret_cast<const char*>(entry + 8)) >= 0)
            return false;
        previous = entry;
    }
    return true;
}

void CTextureDeclarations::Reject(u32 revision)
{
    core::CLog::Instance().Print("texman", 3,
                                 "Textures bindump is corrupted or has another version. Current revision: %u, "
                                 "bindump's revision%u",
                                 1u, revision);
}

bool CTextureDeclarations::Adopt(const u8* data, u32 size, bool fromFileSystem)
{
    if (fromFileSystem && reinterpret_cast<uintptr_t>(data) % 4 == 0) {
        m_Blob = data;
        m_Size = size;
        m_Owned = 0;
        return true;
    }
    u8* copy = static_cast<u8*>(std::malloc(size ? size : 1));
    if (copy)
        std::memcpy(copy, data, size);
    if (fromFileSystem)
        core::CFileSystem::Instance().FreeFile(data);
    if (!copy)
        return false;
    m_Blob = copy;
    m_Size = size;
    m_Owned = 1;
    return true;
}

bool CTextureDeclarations::LoadFile(const char* path)
{
    Release();
    core::CFileSystem& files = core::CFileSystem::Instance();
    u32 size = 0;
    const u8* data = files.LoadFile(path, &size);
    if (!data)
        return LoadXml("properties/resources.xml");
    u32 revision = 0;
    if (!Validate(data, size, &revision)) {
        Reject(revision);
        files.FreeFile(data);
        return false;
    }
    return Adopt(data, size, true);
}

bool CTextureDeclarations::LoadBlob(const u8* data, u32 size)
{
    Release();
    u32 revision = 0;
    if (!Validate(data, size, &revision)) {
        Reject(revision);
        return false;
    }
    return Adopt(data, size, false);
}

bool CTextureDeclarations::LoadXml(const char* path)
{
    Release();
    core::CFileSystem& files = core::CFileSystem::Instance();
    u32 size = 0;
    const u8* text = files.LoadFile(path, &size);
    if (!text)
        return false;
    std::vector<u8> blob;
    CTextureDeclarationCompiler compiler;
    compiler.Compile(reinterpret_cast<const char*>(text), size, blob);
    files.FreeFile(text);
    return LoadBlob(blob.data(), static_cast<u32>(blob.size()));
}

void CTextureDeclarations::Release()
{
    if (m_Blob) {
        if (m_Owned)
            std::free(const_cast<u8*>(m_Blob));
        else
            core::CFileSystem::Instance().FreeFile(m_Blob);
    }
    m_Blob = nullptr;
    m_Size = 0;
    m_Owned = 0;
}

bool CTextureDeclarations::Save() const
{
    if (!m_Blob || !m_Owned)
        return false;
    FILE* file = core::FileOpenW(u"properties/resources.bindump", u"wb");
    if (!file)
        return false;
    const bool written = std::fwrite(m_Blob, 1, m_Size, file) == m_Size;
    return std::fclose(file) == 0 && written;
}

u32 CTextureDeclarations::GetSurfaceCount() const
{
    return m_Blob ? ReadU32(m_Blob + 4) : 0;
}

u32 CTextureDeclarations::GetGroupCount() const
{
    return m_Blob ? ReadU32(m_Blob + 8) : 0;
}

u32 CTextureDeclarations::GetImageCount() const
{
    return m_Blob ? ReadU32(m_Blob + 12) : 0;
}

const CSurfaceRecord* CTextureDeclarations::GetSurfaces() const
{
    return m_Blob ? reinterpret_cast<const CSurfaceRecord*>(m_Blob + kHeaderSize) : nullptr;
}

const CImageGroupRecord* CTextureDeclarations::GetGroups() const
{
    return m_Blob ? reinterpret_cast<const CImageGroupRecord*>(m_Blob + kHeaderSize +
                                                                GetSurfaceCount() * sizeof(CSurfaceRecord))
                  : nullptr;
}

const CImageIndexEntry* CTextureDeclarations::GetIndex() const
{
    return m_Blob ? reinterpret_cast<const CImageIndexEntry*>(reinterpret_cast<const u8*>(GetGroups()) +
                                                               GetGroupCount() * sizeof(CImageGroupRecord))
                  : nullptr;
}

const CImageInfo* CTextureDeclarations::GetInfo(const CImageIndexEntry& entry) const
{
    return reinterpret_cast<const CImageInfo*>(m_Blob + entry.infoOffset);
}

const CImageIndexEntry* CTextureDeclarations::FindEntry(const CFixedString& name) const
{
    const s32 count = static_cast<s32>(GetImageCount());
    if (count <= 0)
        return nullptr;
    const CImageIndexEntry* index = GetIndex();
    const auto record = [&](s32 i) { return reinterpret_cast<const u8*>(&index[i]); };
    s32 lo = 0;
    s32 hi = count - 1;
    if (count >= 2) {
        while (hi >= lo) {
            const s32 mid = (lo + hi) / 2;
            if (StoredNameEquals(record(mid), name))
                return &index[mid];
            if (CompareStoredName(record(mid), name.GetText()) > 0)
                hi = mid - 1;
            else
                lo = mid + 1;
        }
    }
    if (lo >= 0 && lo < count && StoredNameEquals(record(lo), name))
        return &index[lo];
    return nullptr;
}

} // namespace lv::graphics
