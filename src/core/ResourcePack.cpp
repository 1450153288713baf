#include "core/ResourcePack.h"
#include "core/ByteOrder.h"

#include "core/FileUtils.h"
#include "core/Log.h"
#include "core/MappedFile.h"
#include "core/PackPrefetcher.h"

#include <cstring>

namespace lv::core {

namespace {

constexpr const char* kResourcePackChannel = "gamepack";
// Longest language copy name that is looked up.
constexpr size_t MaxLanguageNameLength = 110;

} // namespace

CResourcePack::CResourcePack(const char* fileName, const char* languageCode, bool useLanguage)
    : m_UseLanguage(useLanguage), m_FileName(fileName ? fileName : "")
{
    // At most 63 characters are kept.
    for (size_t n = 0; languageCode && languageCode[n] && n < sizeof(m_LanguageCode) - 1; ++n)
        m_LanguageCode[n] = languageCode[n];

    u32 size = 0;
    const u8* base = static_cast<const u8*>(MapFileReadOnlyA(m_FileName.c_str(), &size));
    if (base) {
        CPackCheckResult check;
        if (CheckPackImage(base, size, &check)) {
            m_Base = base;
            m_Size = size;
            if (check.m_BlobLengthMismatches != 0) {
                const CPackEntry& e = GetPackDirectory(base)[check.m_FirstBlobLengthMismatch];
                CLog::Instance().Print(kResourcePackChannel, 2, "%s: %u entries store a blob length other than their size, first \"%s\"",
                                       m_FileName.c_str(), check.m_BlobLengthMismatches, e.GetName());
            }
        } else {
            CLog::Instance().Print(kResourcePackChannel, 3, "game.pack is invalid");
            CLog::Instance().Print(kResourcePackChannel, 2, "%s: %s (entry %u)", m_FileName.c_str(), check.m_Problem, check.m_Entry);
            UnmapFile(base);
        }
    }

    if (!m_UseLanguage)
        return;
    CLog::Instance().Print(kResourcePackChannel, 1, "User preferred language: %s", m_LanguageCode);
    if (!m_Base)
        return;
    char prefix[sizeof(m_LanguageCode) + 16];
    std::snprintf(prefix, sizeof(prefix), "%s/%s/", PackLanguageFolder, m_LanguageCode);
    const CPackEntry* first = nullptr;
    const CPackEntry* end = nullptr;
    if (FindPackRange(m_Base, prefix, nullptr, nullptr, &first, &end) != 0) {
        m_LanguageFirst = first;
        m_LanguageEnd = end;
    }
}

CResourcePack::~CResourcePack()
{
    if (!m_Base)
        return;
    // The prefetch thread may still be reading this mapping.
    CPackPrefetcher::Instance().WaitFor(m_Base);
    UnmapFile(m_Base);
}

const CPackEntry* CResourcePack::FindLocalized(const char* path) const
{
    if (!m_Base || !m_UseLanguage || m_LanguageFirst == m_LanguageEnd || !path)
        return nullptr;
    char name[PackNameCapacity + sizeof(m_LanguageCode) + 16];
    const int length = std::snprintf(name, sizeof(name), "%s/%s/%s", PackLanguageFolder, m_LanguageCode, path);
    if (length < 0 || static_cast<size_t>(length) > MaxLanguageNameLength)
        return nullptr;
    return FindPackEntry(name, m_LanguageFirst, m_LanguageEnd);
}

const CPackEntry* CResourcePack::Find(const char* path) const
{
    if (!m_Base || !path)
        return nullptr;
    if (const CPackEntry* e = FindLocalized(path))
        return e;
    return FindEntry(path);
}

bool CResourcePack::Contains(const char* path) const
{
    return Find(path) != nullptr;
}

bool CResourcePack::ContainsLocalized(const char* path) const
{
    return FindLocalized(path) != nullptr;
}

const u8* CResourcePack::GetData(const char* path, u32* size) const
{
    const CPackEntry* e = Find(path);
    if (!e)
        return nullptr;
    if (size)
        *size = e->GetDataSize();
    if (e->GetDataSize() == 0)
        return m_EmptyData;
    return m_Base + e->GetDataOffset();
}

s64 CResourcePack::GetOffset(const char* path, u32& size) const
{
    const CPackEntry* e = Find(path);
    if (!e)
        return -1;
    size = e->GetDataSize();
    return e->GetDataOffset();
}

FILE* CResourcePack::OpenStream(const char* path, s64& offset, u32& size) const
{
    offset = GetOffset(path, size);
    if (offset < 0)
        return nullptr;
    return FileOpen(m_FileName.c_str(), "rb");
}

bool CResourcePack::OwnsPointer(const void* pointer) const
{
    const u8* p = static_cast<const u8*>(pointer);
    return m_Base && ((p > m_Base && p < m_Base + m_Size) || p == m_EmptyData);
}

u32 CResourcePack::GetBlobSize(const void* pointer) const
{
    const u8* p = static_cast<const u8*>(pointer);
    if (!OwnsPointer(p) || p == m_EmptyData || p < m_Base + PackHeaderSize + 4)
        return 0;
    const u32 stored = ReadU32(p - 4);
    const u32 left = static_cast<u32>(m_Base + m_Size - p);
    return stored < left ? stored : left;
}

void CResourcePack::Enumerate(const char* prefix, PackNameCallback callback, void* user) const
{
    if (!m_Base || !callback)
        return;
    if (!prefix || !*prefix) {
        for (const CPackEntry* e = GetPackDirectory(m_Base); e != GetPackDirectoryEnd(m_Base); ++e)
            callback(user, e->GetName());
        return;
    }
    FindPackRange(m_Base, prefix, callback, user, nullptr, nullptr);
}

const CPackEntry* CResourcePack::FindEntry(const char* name) const
{
    if (!m_Base)
        return nullptr;
    return FindPackEntry(name, GetPackDirectory(m_Base), GetPackDirectoryEnd(m_Base));
}

void CResourcePack::Prefetch() const
{
    if (m_Base)
        CPackPrefetcher::Instance().Start(m_Base, m_Size);
}

} // namespace lv::core
