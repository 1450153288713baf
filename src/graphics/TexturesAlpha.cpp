#include "graphics/TexturesAlpha.h"
#include "core/ByteOrder.h"

#include <cstdlib>
#include <cstring>

#include "core/FileSystem.h"
#include "core/Log.h"
#include "graphics/ImageHandle.h"
#include "graphics/ImageInfo.h"
#include "graphics/TextureDeclarations.h"

using lv::core::ReadU32;
using lv::core::ReadU16;

namespace lv::graphics {

namespace {

bool CheckEntry(const u8* data, u32 size, u32 count, const u8* entry)
{
    const u16 length = ReadU16(entry);
    const char* text = reinterpret_cast<const char*>(entry + 8);
    if (length >= 88 || entry[8 + length] != 0 || std::memchr(text, 0, length) ||
        ReadU16(entry + 4) != FixedStringHash(text, length))
        return false;
    if (entry[108] != 0)
        return true; // uniform: the runs are not read
    const u32 offset = ReadU32(entry + 100);
    const u32 bytes = ReadU32(entry + 104);
    const u64 runsStart = 8 + static_cast<u64>(count) * CTexturesAlpha::kEntrySize;
    if (offset < runsStart || bytes % 2 != 0 || static_cast<u64>(offset) + bytes > size)
        return false;
    // The runs must cover the image exactly.
    u64 covered = 0;
    for (u32 at = 0; at < bytes; at += 2)
        covered += ReadU16(data + offset + at) & 0x7FFF;
    return covered == static_cast<u64>(ReadU16(entry + 96)) * ReadU16(entry + 98);
}

} // namespace

CTexturesAlpha& CTexturesAlpha::Instance()
{
    static CTexturesAlpha* const s_Alpha = [] {
        auto* alpha = new CTexturesAlpha;
        alpha->LoadFile("properties/texturesalpha.bindump");
        return alpha;
    }();
    return *s_Alpha;
}

bool CTexturesAlpha::Validate(const u8* data, u32 size, u32* revision)
{
    if (revision)
        *revision = data && size >= 4 ? data[3] : 0;
    if (!data || size < 8 || ReadU32(data) != kMagic)
        return false;
    const u32 count = ReadU32(data + 4);
    if (8 + static_cast<u64>(count) * kEntrySize > size)
        return false;
    const u8* previous = nullptr;
    for (u32 i = 0; i < count; ++i) {
        const u8* entry = data + 8 + static_cast<u64>(i) * kEntrySize;
        if (!CheckEntry(data, size, count, entry))
            return false;
        if (previous && CompareStoredName(previous, reinterpret_cast<const char*>(entry + 8)) >= 0)
            return false;
        previous = entry;
    }
    return true;
}

bool CTexturesAlpha::LoadFile(const char* path)
{
    Release();
    core::CFileSystem& files = core::CFileSystem::Instance();
    u32 size = 0;
    const u8* data = files.LoadFile(path, &size);
    if (!data)
        return false;
    u32 revision = 0;
    if (!Validate(data, size, &revision)) {
        core::CLog::Instance().Print("textures_alpha", 3,
                                     "Textures alpha bindump is corrupted or has another version. Current revision: "
                                     "%u, bindump's revision%u",
                                     1u, revision);
        files.FreeFile(data);
        return false;
    }
    m_Data = data;
    m_Size = size;
    m_FromFileSystem = true;
    return true;
}

bool CTexturesAlpha::LoadData(const u8* data, u32 size)
{
    Release();
    u32 revision = 0;
    if (!Validate(data, size, &revision)) {
        core::CLog::Instance().Print("textures_alpha", 3,
                                     "Textures alpha bindump is corrupted or has another version. Current revision: "
                                     "%u, bindump's revision%u",
                                     1u, revision);
        return false;
    }
    u8* copy = static_cast<u8*>(std::malloc(size));
    if (!copy)
        return false;
    std::memcpy(copy, data, size);
    m_Data = copy;
    m_Size = size;
    m_FromFileSystem = false;
    return true;
}

void CTexturesAlpha::Release()
{
    if (m_Data) {
        if (m_FromFileSystem)
            core::CFileSystem::Instance().FreeFile(m_Data);
        else
            std::free(const_cast<u8*>(m_Data));
    }
    m_Data = nullptr;
    m_Size = 0;
}

const u8* CTexturesAlpha::FindEntry(const CFixedString& name) const
{
    if (!m_Data)
        return nullptr;
    const s32 count = static_cast<s32>(ReadU32(m_Data + 4));
    const auto entry = [&](s32 i) { return m_Data + 8 + static_cast<u64>(i) * kEntrySize; };
    s32 lo = 0;
    s32 hi = count - 1;
    if (count >= 2) {
        while (hi >= lo) {
            const s32 mid = (lo + hi) / 2;
            if (StoredNameEquals(entry(mid), name))
                return entry(mid);
            if (CompareStoredName(entry(mid), name.GetText()) > 0)
                hi = mid - 1;
            else
                lo = mid + 1;
        }
    }
    if (lo >= 0 && lo < count && StoredNameEquals(entry(lo), name))
        return entry(lo);
    return nullptr;
}

bool CTexturesAlpha::HitTest(const CImageHandle* image, s32 x, s32 y) const
{
    const CImageInfo* info = image ? image->GetInfo() : nullptr;
    if (!info)
        return false;
    // A local copy, so that the hash is never cached into a shared block.
    CFixedString name(info->name.GetText(), info->name.GetLength());
    return HitTest(name, x, y);
}

bool CTexturesAlpha::HitTest(const CFixedString& name, s32 x, s32 y) const
{
    const u8* entry = FindEntry(name);
    if (!entry)
        return false;
    if (entry[108] != 0)
        return entry[109] != 0;
    const s64 width = ReadU16(entry + 96);
    const s64 height = ReadU16(entry + 98);
    const s64 index = entry[110] == 1 ? x + static_cast<s64>(y) * width : y + static_cast<s64>(x) * height;
    if (index < 0)
        return false;
    const u8* runs = m_Data + ReadU32(entry + 100);
    const u32 bytes = ReadU32(entry + 104);
    u64 passed = 0;
    for (u32 at = 0; at < bytes; at += 2) {
        const u16 run = ReadU16(runs + at);
        passed += run & 0x7FFF;
        if (passed > static_cast<u64>(index))
            return (run & 0x8000) != 0;
    }
    return false;
}

} // namespace lv::graphics
