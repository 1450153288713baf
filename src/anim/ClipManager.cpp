#include "anim/ClipManager.h"
#include "core/ByteOrder.h"

#include "anim/ClipHeader.h"
#include "anim/ClipItem.h"
#include "anim/ClipsBuilder.h"
#include "core/FileSystem.h"
#include "core/FileUtils.h"
#include "core/Log.h"
#include "core/MappedFile.h"
#include "core/MessageBox.h"
#include "core/TextConvert.h"

#include <cstdint>
#include <cstdio>
#include <cstring>

using lv::core::ReadU32;
using lv::core::ReadU16;

namespace lv::misc::anim {

namespace {

constexpr const char* kClipManagerChannel = "anim";
constexpr const char* ImagePath = "properties/clips.bindump";
constexpr size_t kIndexEntrySize = 100;
constexpr size_t kNameSize = sizeof(CFixedString);

// A stored name record of `capacity` characters: a length that leaves room for the terminator,
// the terminator, the record's own capacity, and the hash already filled in, so that lookups
// never write into the image.
bool CheckName(const u8* record, u16 capacity)
{
    const u16 length = ReadU16(record);
    if (length >= capacity || ReadU16(record + 2) != capacity || ReadU16(record + 6) != 0)
        return false;
    const char* text = reinterpret_cast<const char*>(record + 8);
    return text[length] == 0 && ReadU16(record + 4) == FixedStringHash(text, length);
}

bool Fail(const char** problem, const char* what)
{
    if (problem)
        *problem = what;
    return false;
}

// One item at `at` of a clip record of `size` bytes (the item's own size word already read).
bool CheckItem(const u8* item, u32 itemSize, const char** problem)
{
    const u32 kind = ReadU32(item + 4);
    if (kind < ClipItemPath || kind > ClipItemText)
        return Fail(problem, "an item of unknown kind");
    if (itemSize < CClipItem::kHeadSize + 4)
        return Fail(problem, "an item smaller than its head");
    const auto& head = *reinterpret_cast<const CClipItem*>(item);
    if (head.GetExpectedSize() != itemSize)
        return Fail(problem, "an item whose size does not match its contents");
    if (!CheckName(item + 8, 88) || !CheckName(item + 172, 88))
        return Fail(problem, "an item with a bad name record");
    const u8* data = head.GetKindData();
    switch (kind) {
    case ClipItemImage:
    case ClipItemParticle:
    case ClipItemClip:
        if (!CheckName(data, 88))
            return Fail(problem, "an item with a bad resource name record");
        break;
    case ClipItemText:
        if (!CheckName(data, 88) || !CheckName(data + 116, 88) || !CheckName(data + 236, 56))
            return Fail(problem, "a text item with a bad name record");
        break;
    default: break;
    }
    const u8* points = reinterpret_cast<const u8*>(head.GetSoundPoints());
    for (u32 i = 0; i < head.SoundPointCount + head.MarkerCount; ++i) {
        if (!CheckName(points + 100 * i + 4, 88))
            return Fail(problem, "a sound point or marker with a bad name record");
    }
    return true;
}

bool CheckClip(const u8* clip, u32 available, const char** problem)
{
    if (available < sizeof(CClipHeader) + 4)
        return Fail(problem, "a clip record beyond the end of the image");
    const u32 size = ReadU32(clip);
    if (size < sizeof(CClipHeader) + 4 || size > available || size % 4 != 0)
        return Fail(problem, "a clip record of bad size");
    if (!CheckName(clip + 4, 88))
        return Fail(problem, "a clip with a bad name record");
    u32 at = sizeof(CClipHeader);
    for (;;) {
        // Each step leaves room for the terminator, so a word can always be read here.
        const u32 itemSize = ReadU32(clip + at);
        if (itemSize == 0)
            return at + 4 == size ? true : Fail(problem, "a clip record whose items end before its size");
        if (itemSize % 4 != 0 || itemSize > size - at - 4)
            return Fail(problem, "an item reaching beyond its clip record");
        if (!CheckItem(clip + at, itemSize, problem))
            return false;
        at += itemSize;
    }
}

} // namespace

CClipManager& CClipManager::Instance()
{
    // Never destroyed: clips anywhere in the program point into its image until the end.
    static CClipManager* instance = new CClipManager();
    return *instance;
}

CClipManager::CClipManager() = default;

CClipManager::~CClipManager()
{
    Release();
}

bool CClipManager::CheckImage(const u8* data, size_t size, const char** problem)
{
    if (!data || size < 8)
        return Fail(problem, "an image shorter than its head");
    if (reinterpret_cast<uintptr_t>(data) % 4 != 0)
        return Fail(problem, "an image at an unaligned address");
    if (ReadU32(data) != kMagic)
        return Fail(problem, "wrong magic");
    const u64 count = ReadU32(data + 4);
    const u64 records = 8 + kIndexEntrySize * count;
    if (records > size)
        return Fail(problem, "an index larger than the image");
    for (u64 i = 0; i < count; ++i) {
        const u8* entry = data + 8 + kIndexEntrySize * i;
        if (!CheckName(entry, 88))
            return Fail(problem, "an index entry with a bad name record");
        const u32 offset = ReadU32(entry + kNameSize);
        if (offset < records || offset % 4 != 0 || offset >= size)
            return Fail(problem, "an index entry pointing outside the clip records");
        if (!CheckClip(data + offset, static_cast<u32>(size - offset), problem))
            return false;
    }
    return true;
}

bool CClipManager::Load()
{
    return Load(core::CFileSystem::Instance());
}

bool CClipManager::Load(core::CFileSystem& fileSystem)
{
    Release();
    u32 size = 0;
    if (const u8* image = fileSystem.LoadFile(ImagePath, &size))
        Adopt(image, size, &fileSystem);
    else
        BuildFromXml();
    core::CLog::Instance().Print(kClipManagerChannel, 1, "Clips loaded");
    return true;
}

bool CClipManager::LoadImage(const u8* data, u32 size)
{
    Release();
    return Adopt(data, size, nullptr);
}

bool CClipManager::Adopt(const u8* data, u32 size, core::CFileSystem* fileSystem)
{
    const u32 magic = size >= 4 ? ReadU32(data) : 0;
    const char* problem = "wrong magic";
    bool good = magic == kMagic;
    bool aligned = reinterpret_cast<uintptr_t>(data) % 4 == 0;
    if (good && fileSystem && aligned) {
        good = CheckImage(data, size, &problem);
    } else if (good) {
        // Records are read in place as 4-byte fields: an unaligned or borrowed image is copied.
        m_Owned.assign(data, data + size);
        if (fileSystem)
            fileSystem->FreeFile(data);
        fileSystem = nullptr;
        data = m_Owned.data();
        good = CheckImage(data, size, &problem);
    }
    if (!good) {
        core::CLog::Instance().Print(kClipManagerChannel, 3, "%s rejected: %s", ImagePath, problem);
        core::ShowMessageBoxF("Error",
                              "'properties/clips.bindump' has wrong format version or is corrupted.\n"
                              "Supported format: %i, format in bindump: %i",
                              static_cast<int>(kFormatVersion), static_cast<int>(magic >> 24));
        if (fileSystem)
            fileSystem->FreeFile(data);
        m_Owned.clear();
        m_Owned.shrink_to_fit();
        return false;
    }
    m_Blob = data;
    m_Size = size;
    m_FileSystem = fileSystem;
    return true;
}

void CClipManager::BuildFromXml()
{
    CClipsBuilder builder;
    const auto readFile = [&builder](const WString& path) {
        u32 size = 0;
        const void* text = core::MapFileReadOnly(path.c_str(), &size);
        if (!text) {
            core::CLog::Instance().Print(kClipManagerChannel, 3, "Can't load clip: '%s'", ToNarrow(path).c_str());
            return false;
        }
        builder.AddXml(static_cast<const char*>(text), size);
        core::UnmapFile(text);
        core::CLog::Instance().Print(kClipManagerChannel, 0, "Loaded clip: '%s'", ToNarrow(path).c_str());
        return true;
    };
    if (!readFile(u"properties/clips.xml")) {
        std::vector<WString> files;
        core::ListFilesNarrow(files, "clips/*.xml");
        core::CLog::Instance().Print(kClipManagerChannel, 0, "Found %i clips", static_cast<int>(files.size()));
        for (const WString& file : files) {
            if (file == u"clips/groups.xml" || file == u"clips\\groups.xml" || file == u"clips/state.xml" ||
                file == u"clips\\state.xml")
                continue;
            readFile(file);
        }
    }
    m_Owned = builder.Build();
    m_Blob = m_Owned.data();
    m_Size = static_cast<u32>(m_Owned.size());
    m_Built = 1;
}

const CClipHeader* CClipManager::FindClip(const char* name) const
{
    if (!m_Blob)
        return nullptr;
    const CFixedString key(name);
    s64 low = 0;
    s64 high = static_cast<s64>(GetClipCount()) - 1;
    while (low <= high) {
        const s64 middle = low + (high - low) / 2;
        const u8* entry = m_Blob + 8 + kIndexEntrySize * middle;
        const auto& entryName = *reinterpret_cast<const CFixedString*>(entry);
        if (entryName.Equals(key))
            return reinterpret_cast<const CClipHeader*>(m_Blob + ReadU32(entry + kNameSize));
        if (entryName.IsGreater(key))
            high = middle - 1;
        else
            low = middle + 1;
    }
    return nullptr;
}

u32 CClipManager::GetClipCount() const
{
    return m_Blob ? ReadU32(m_Blob + 4) : 0;
}

void CClipManager::Save() const
{
    if (!m_Built || !m_Blob)
        return;
    FILE* file = core::FileOpen(ImagePath, "wb");
    if (!file) {
        core::CLog::Instance().Print(kClipManagerChannel, 3, "Can't write '%s'", ImagePath);
        return;
    }
    std::fwrite(m_Blob, 1, m_Size, file);
    std::fclose(file);
}

void CClipManager::Release()
{
    if (m_Blob && m_FileSystem)
        m_FileSystem->FreeFile(m_Blob);
    m_Blob = nullptr;
    m_Size = 0;
    m_Built = 0;
    m_FileSystem = nullptr;
    m_Owned.clear();
    m_Owned.shrink_to_fit();
}

} // namespace lv::misc::anim
