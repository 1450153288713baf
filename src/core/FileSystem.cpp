#include "core/FileSystem.h"

#include "core/FileUtils.h"
#include "core/Log.h"
#include "core/MappedFile.h"
#include "core/ResourcePack.h"
#include "core/SystemInfo.h"

#include <cstring>

namespace lv::core {

namespace {

constexpr const char* kFileSystemChannel = "gamepack";

} // namespace

CFileSystem& CFileSystem::Instance()
{
    // Never destroyed: the string table and other process-wide users keep its views to the end.
    static CFileSystem* instance = new CFileSystem();
    return *instance;
}

CFileSystem::CFileSystem()
{
    char code[64] = {};
    if (GetCurrentUserPreferredLanguage(code) && code[0]) {
        SetLanguage(code);
        CLog::Instance().Print(kFileSystemChannel, 1, "User preferred language: %s", m_LanguageCode);
    } else {
        CLog::Instance().Print(kFileSystemChannel, 1, "GetCurrentUserPreferredLanguage() returned false");
    }
    // Without the main pack every file comes from disk.
    MountPack("game.pack");
}

CFileSystem::CFileSystem(const char* languageCode)
{
    SetLanguage(languageCode);
}

CFileSystem::~CFileSystem() = default;

void CFileSystem::SetLanguage(const char* code)
{
    size_t n = 0;
    for (; code && code[n] && n < sizeof(m_LanguageCode) - 1; ++n)
        m_LanguageCode[n] = code[n];
    m_LanguageCode[n] = 0;
    m_Overlay = m_LanguageCode[0] != 0;
}

bool CFileSystem::BuildLanguagePath(char (&out)[260], const char* path) const
{
    if (!m_Overlay || !path)
        return false;
    const int length = std::snprintf(out, sizeof(out), "%s/%s/%s", PackLanguageFolder, m_LanguageCode, path);
    return length >= 0 && static_cast<size_t>(length) < sizeof(out);
}

const u8* CFileSystem::LoadFile(const char* path, u32* size)
{
    if (!path)
        return nullptr;
    for (const auto& [name, pack] : m_Packs) {
        if (const u8* data = pack->GetData(path, size))
            return data;
    }
    char languagePath[260];
    if (BuildLanguagePath(languagePath, path)) {
        if (const void* data = MapFileReadOnlyA(languagePath, size))
            return static_cast<const u8*>(data);
    }
    return static_cast<const u8*>(MapFileReadOnlyA(path, size));
}

void CFileSystem::FreeFile(const void* pointer)
{
    for (const auto& [name, pack] : m_Packs) {
        if (pack->OwnsPointer(pointer))
            return;
    }
    UnmapFile(pointer);
}

u32 CFileSystem::GetLoadedSize(const void* pointer) const
{
    for (const auto& [name, pack] : m_Packs) {
        if (pack->OwnsPointer(pointer))
            return pack->GetBlobSize(pointer);
    }
    return GetMappedFileSize(pointer);
}

bool CFileSystem::FileExists(const char* path) const
{
    if (!path)
        return false;
    for (const auto& [name, pack] : m_Packs) {
        if (pack->Contains(path))
            return true;
    }
    char languagePath[260];
    if (BuildLanguagePath(languagePath, path) && FileAccess(languagePath, 0) == 0)
        return true;
    return FileAccess(path, 0) == 0;
}

bool CFileSystem::HasLocalizedFile(const char* path) const
{
    if (!m_Overlay || !path)
        return false;
    for (const auto& [name, pack] : m_Packs) {
        if (pack->ContainsLocalized(path))
            return true;
    }
    char languagePath[260];
    return BuildLanguagePath(languagePath, path) && FileAccess(languagePath, 0) == 0;
}

s64 CFileSystem::GetFileOffset(const char* path, u32& size) const
{
    for (const auto& [name, pack] : m_Packs) {
        const s64 offset = pack->GetOffset(path, size);
        if (offset != -1)
            return offset;
    }
    return -1;
}

FILE* CFileSystem::OpenFileStream(const char* path, s64& offset, u32& size) const
{
    for (const auto& [name, pack] : m_Packs) {
        if (FILE* stream = pack->OpenStream(path, offset, size))
            return stream;
    }
    return nullptr;
}

void CFileSystem::EnumerateFiles(const char* prefix, PackNameCallback callback, void* user) const
{
    if (!callback)
        return;
    if (m_Packs.empty()) {
        if (prefix && *prefix)
            EnumerateDiskFiles(prefix, callback, user);
        return;
    }
    for (const auto& [name, pack] : m_Packs)
        pack->Enumerate(prefix, callback, user);
}

bool CFileSystem::MountPack(const char* name)
{
    if (!name)
        return false;
    if (m_Packs.count(name))
        return true;
    auto pack = std::make_unique<CResourcePack>(name, m_LanguageCode, m_Overlay);
    if (!pack->IsOpen())
        return false;
    if (m_Prefetch)
        pack->Prefetch();
    m_Packs.emplace(name, std::move(pack));
    return true;
}

void CFileSystem::UnmountPack(const char* name)
{
    if (name)
        m_Packs.erase(name); // the pack waits for a prefetch that still reads it
}

bool CFileSystem::IsPackMounted(const char* name) const
{
    return name && m_Packs.count(name) != 0;
}

void CFileSystem::EnablePrefetch()
{
    m_Prefetch = true;
    for (const auto& [name, pack] : m_Packs)
        pack->Prefetch();
}

} // namespace lv::core
