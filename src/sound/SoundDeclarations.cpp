#include "sound/SoundDeclarations.h"
#include "core/ByteOrder.h"

#include "core/FileSystem.h"
#include "core/FileUtils.h"
#include "core/Log.h"
#include "sound/SoundDeclarationsBuilder.h"

#include <cstdio>

using lv::core::ReadU32;

namespace lv::sound {

using lv::core::CFileSystem;
using lv::core::CLog;

namespace {

const char kChannel[] = "sound";
const char kBindumpPath[] = "properties/sounds.bindump";
const char kXmlPath[] = "properties/sounds.xml";

} // namespace

bool CSoundDeclarations::Load()
{
    return Load(CFileSystem::Instance());
}

bool CSoundDeclarations::Load(CFileSystem& fileSystem)
{
    Free();
    u32 size = 0;
    const u8* data = fileSystem.LoadFile(kBindumpPath, &size);
    if (data) {
        if (UseImage(data, size)) {
            m_FileSystem = &fileSystem;
            return true;
        }
        const u32 count = size >= kSoundDeclarationsHeaderSize ? ReadU32(data + 4) : 0;
        CLog::Instance().Print(kChannel, 3, "%s: %u bytes cannot hold %u sound declarations, reading %s",
                               kBindumpPath, size, count, kXmlPath);
        fileSystem.FreeFile(data);
    }
    return LoadXml(fileSystem, kXmlPath);
}

bool CSoundDeclarations::IsImageComplete(const u8* data, u32 size)
{
    // The tag is not checked, but the count must fit the data.
    if (!data || size < kSoundDeclarationsHeaderSize)
        return false;
    const u64 count = ReadU32(data + 4);
    return kSoundDeclarationsHeaderSize + kSoundDeclarationRecordSize * count <= size;
}

bool CSoundDeclarations::UseImage(const u8* data, u32 size)
{
    Free();
    if (!IsImageComplete(data, size))
        return false;
    m_Blob = data;
    m_Size = size;
    return true;
}

bool CSoundDeclarations::LoadXml(const char* path)
{
    return LoadXml(CFileSystem::Instance(), path);
}

bool CSoundDeclarations::LoadXml(CFileSystem& fileSystem, const char* path)
{
    Free();
    u32 size = 0;
    const u8* text = fileSystem.LoadFile(path, &size);
    if (!text)
        return false;
    CSoundDeclarationsBuilder builder;
    // Parse errors are not reported: whatever was declared before them is used.
    builder.AddXml(reinterpret_cast<const char*>(text), size);
    fileSystem.FreeFile(text);
    m_Built = builder.Build();
    m_Blob = m_Built.data();
    m_Size = static_cast<u32>(m_Built.size());
    return true;
}

void CSoundDeclarations::Free()
{
    if (m_FileSystem && m_Blob)
        m_FileSystem->FreeFile(m_Blob);
    m_FileSystem = nullptr;
    m_Built.clear();
    m_Built.shrink_to_fit();
    m_Blob = nullptr;
    m_Size = 0;
}

u32 CSoundDeclarations::GetCount() const
{
    if (!m_Blob || m_Size < kSoundDeclarationsHeaderSize)
        return 0;
    return ReadU32(m_Blob + 4);
}

bool CSoundDeclarations::GetRecord(u32 index, CSoundDeclarationRecord& record) const
{
    if (index >= GetCount())
        return false;
    const size_t offset = kSoundDeclarationsHeaderSize + kSoundDeclarationRecordSize * index;
    return record.Read(m_Blob + offset, m_Size - offset);
}

bool CSoundDeclarations::SaveBindump() const
{
    if (!IsBuilt())
        return false;
    FILE* file = lv::core::FileOpen(kBindumpPath, "wb");
    if (!file)
        return false;
    const bool written = std::fwrite(m_Blob, 1, m_Size, file) == m_Size;
    std::fclose(file);
    return written;
}

} // namespace lv::sound
