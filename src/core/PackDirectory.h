#pragma once
// The layout of a resource pack image and the lookups over its sorted directory. Everything here
// works on a plain byte span (a mapped pack file or bytes in memory), so the checks and the
// searches can be tested and fuzzed without files.
//
// Image: u32 magic, u32 entry count, u32 total size, then the directory of 128-byte entries
// sorted by name (unsigned byte order), then the data blobs, each preceded by its u32 length.
#include "core/Types.h"

namespace lv::core {

inline constexpr u32 PackMagic = 0x0150564C; // "LVP" and 0x01
inline constexpr u32 PackHeaderSize = 12;
inline constexpr u32 PackEntrySize = 128;
inline constexpr u32 PackNameCapacity = 112;                   // name bytes, the NUL included
inline constexpr u32 PackMaxNameLength = PackNameCapacity - 1; // 111 characters
inline constexpr u32 PackNameOffset = 8;
inline constexpr char PackLanguageFolder[] = "!langs";

// One directory entry, viewed in place inside the image. The first 120 bytes are a name-string
// record (length, capacity, hash, reserved, 112 name bytes), then the data size and offset.
// Fields are read byte by byte so that any address works.
struct CPackEntry
{
    u8 m_Bytes[PackEntrySize];

    u16 GetNameLength() const { return ReadU16(0); }
    u16 GetNameHash() const { return ReadU16(4); }
    const char* GetName() const { return reinterpret_cast<const char*>(m_Bytes + PackNameOffset); }
    u32 GetDataSize() const { return ReadU32(120); }
    u32 GetDataOffset() const { return ReadU32(124); }

private:
    u16 ReadU16(u32 at) const { return static_cast<u16>(m_Bytes[at] | (m_Bytes[at + 1] << 8)); }
    u32 ReadU32(u32 at) const
    {
        return static_cast<u32>(m_Bytes[at]) | (static_cast<u32>(m_Bytes[at + 1]) << 8) |
               (static_cast<u32>(m_Bytes[at + 2]) << 16) | (static_cast<u32>(m_Bytes[at + 3]) << 24);
    }
};
static_assert(sizeof(CPackEntry) == PackEntrySize && alignof(CPackEntry) == 1);

// What CheckPackImage found. m_Problem is a constant text naming the first fault (null when the
// image is sound); m_Entry is the index of the entry it concerns, when it concerns one.
struct CPackCheckResult
{
    const char* m_Problem = nullptr;
    u32 m_Entry = 0;
    // Entries whose stored blob length word differs from the entry's size. Tolerated: the
    // reader takes the size from the directory; the loader only warns.
    u32 m_BlobLengthMismatches = 0;
    u32 m_FirstBlobLengthMismatch = 0;
};

// Checks everything a lookup later relies on, so that no lookup can read outside the image:
// the magic, a total size equal to the image's size, the directory inside the image, and for
// every entry a NUL within its 112 name bytes, a stored length and hash that match the name,
// names in strictly ascending order, a data offset past the directory and its length word, and
// the data inside the image. Returns true when sound.
bool CheckPackImage(const u8* data, u64 size, CPackCheckResult* result = nullptr);

// Header fields of an image that passed CheckPackImage.
u32 GetPackEntryCount(const u8* image);
const CPackEntry* GetPackDirectory(const u8* image);
const CPackEntry* GetPackDirectoryEnd(const u8* image);

// The entry named exactly `name` between first and end (a sorted run of a checked directory), or
// null. Names longer than 111 characters cannot be stored and are never found.
const CPackEntry* FindPackEntry(const char* name, const CPackEntry* first, const CPackEntry* end);

using PackNameCallback = void (*)(void* user, const char* name);

// The run of entries whose names begin with `prefix`: calls `callback` (when set) once per entry
// in directory order and returns their number. `first` and `end`, where given, receive the run's
// bounds, and are left untouched when nothing matches.
u32 FindPackRange(const u8* image, const char* prefix, PackNameCallback callback, void* user,
                  const CPackEntry** first, const CPackEntry** end);

} // namespace lv::core
