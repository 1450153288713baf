#include "anim/ParticleManager.h"

#include "anim/ParticleDefinition.h"
#include "anim/ParticlesBuilder.h"
#include "core/FileSystem.h"
#include "core/FileUtils.h"
#include "core/FixedString.h"
#include "core/Log.h"
#include "core/MappedFile.h"
#include "core/MessageBox.h"
#include "core/TextConvert.h"

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstring>

namespace lv::misc::anim {

namespace {

constexpr const char* ParticleManagerChannel = "anim";
constexpr const char* ParticleImagePath = "properties/particles.bindump";
constexpr u32 kRecord = ParticleDefinition::kRecordSize;
constexpr u32 kTextOffset = 8;
constexpr u32 kTextRoom = 88;

u32 ReadU32(const u8* p)
{
    return static_cast<u32>(p[0]) | (static_cast<u32>(p[1]) << 8) | (static_cast<u32>(p[2]) << 16) |
           (static_cast<u32>(p[3]) << 24);
}

u16 ReadU16(const u8* p)
{
    return static_cast<u16>(p[0] | (p[1] << 8));
}

// Byte-order comparison of a stored name against a text, never reading past the record
// (a damaged record without its terminator ends at its last byte).
int CompareName(const u8* record, const char* text, size_t length)
{
    const char* stored = reinterpret_cast<const char*>(record + kTextOffset);
    const size_t storedLength = strnlen(stored, kTextRoom);
    const int result = std::memcmp(stored, text, std::min(storedLength, length));
    if (result != 0)
        return result;
    return storedLength < length ? -1 : (storedLength > length ? 1 : 0);
}

bool NameEquals(const u8* record, const char* text, size_t length, u16 hash)
{
    return ReadU16(record) == length && ReadU16(record + 4) == hash && length < kTextRoom &&
           std::memcmp(record + kTextOffset, text, length) == 0 && record[kTextOffset + length] == 0;
}

} // namespace

CParticleManager& CParticleManager::Instance()
{
    // Never destroyed: systems may look definitions up until the very end.
    static CParticleManager* instance = new CParticleManager();
    return *instance;
}

CParticleManager::~CParticleManager()
{
    Release();
}

bool CParticleManager::Load()
{
    return Load(core::CFileSystem::Instance());
}

bool CParticleManager::Load(core::CFileSystem& fileSystem)
{
    Release();
    u32 size = 0;
    if (const u8* image = fileSystem.LoadFile(ParticleImagePath, &size))
        Adopt(image, size, &fileSystem);
    else
        BuildFromXml();
    return true;
}

bool CParticleManager::LoadImage(const u8* data, u32 size)
{
    Release();
    return Adopt(data, size, nullptr);
}

bool CParticleManager::Adopt(const u8* data, u32 size, core::CFileSystem* fileSystem)
{
    const u32 magic = size >= 4 ? ReadU32(data) : 0;
    const bool good = size >= 8 && magic == kMagic && (size - 8) / kRecord == ReadU32(data + 4);
    if (!good) {
        core::ShowMessageBoxF("Error",
                              "'properties/particles.bindump' has wrong format version or is corrupted.\n"
                              "Supported format: %i, format in bindump: %i",
                              static_cast<int>(kFormatVersion), static_cast<int>(magic >> 24));
        if (fileSystem)
            fileSystem->FreeFile(data);
        return false;
    }
    if (!fileSystem || reinterpret_cast<uintptr_t>(data) % alignof(ParticleDefinition) != 0) {
        // Records are handed out as structures: an unaligned or borrowed block is copied.
        m_Owned.assign(data, data + size);
        if (fileSystem)
            fileSystem->FreeFile(data);
        m_Blob = m_Owned.data();
    } else {
        m_Blob = data;
        m_FileSystem = fileSystem;
    }
    m_Size = size;
    return true;
}

void CParticleManager::BuildFromXml()
{
    CParticlesBuilder builder;
    const auto readFile = [&builder](const WString& path) {
        u32 size = 0;
        const void* text = core::MapFileReadOnly(path.c_str(), &size);
        if (!text)
            return false;
        builder.AddXml(static_cast<const char*>(text), size);
        core::UnmapFile(text);
        return true;
    };
    if (!readFile(u"properties/particle.xml")) {
        std::vector<WString> files;
        core::ListFilesNarrow(files, "properties/particles/*.xml");
        for (const WString& file : files)
            readFile(file);
    }
    m_Owned = builder.Build();
    m_Blob = m_Owned.data();
    m_Size = static_cast<u32>(m_Owned.size());
    m_OwnsBlob = true;
}

u32 CParticleManager::GetCount() const
{
    return m_Blob ? ReadU32(m_Blob + 4) : 0;
}

const ParticleDefinition* CParticleManager::FindParticle(const char* name) const
{
    if (!m_Blob || !name)
        return nullptr;
    const size_t length = std::strlen(name);
    const u16 hash = length ? FixedStringHash(name, length) : 0;
    const s64 count = GetCount();
    const auto record = [this](s64 i) { return m_Blob + 8 + static_cast<size_t>(kRecord) * i; };
    s64 low = 0;
    s64 high = count - 1;
    while (low <= high) {
        const s64 middle = low + (high - low) / 2;
        const u8* at = record(middle);
        if (NameEquals(at, name, length, hash))
            return reinterpret_cast<const ParticleDefinition*>(at);
        if (CompareName(at, name, length) > 0)
            high = middle - 1;
        else
            low = middle + 1;
    }
    return nullptr;
}

bool CParticleManager::Save() const
{
    if (!m_OwnsBlob || !m_Blob)
        return false;
    FILE* file = core::FileOpen(ParticleImagePath, "wb");
    if (!file) {
        core::CLog::Instance().Print(ParticleManagerChannel, 3, "Can't write '%s'", ParticleImagePath);
        return false;
    }
    const bool written = std::fwrite(m_Blob, 1, m_Size, file) == m_Size;
    std::fclose(file);
    return written;
}

void CParticleManager::Release()
{
    if (m_Blob && m_FileSystem)
        m_FileSystem->FreeFile(m_Blob);
    m_Blob = nullptr;
    m_Size = 0;
    m_OwnsBlob = false;
    m_FileSystem = nullptr;
    m_Owned.clear();
    m_Owned.shrink_to_fit();
}

} // namespace lv::misc::anim
