#include "core/PackDirectory.h"
#include "core/ByteOrder.h"

#include "core/FixedString.h"

#include <cstring>

namespace lv::core {

namespace {

bool Fail(CPackCheckResult* result, const char* problem, u32 entry = 0)
{
    if (result) {
        result->m_Problem = problem;
        result->m_Entry = entry;
    }
    return false;
}

bool StartsWith(const char* name, const char* prefix, size_t prefixLength)
{
    return std::strncmp(name, prefix, prefixLength) == 0;
}

} // namespace

bool CheckPackImage(const u8* data, u64 size, CPackCheckResult* result)
{
    if (result)
        *result = CPackCheckResult{};
    if (!data || size < PackHeaderSize)
        return Fail(result, "shorter than its header");
    if (ReadU32(data) != PackMagic)
        return Fail(result, "wrong magic");
    if (ReadU32(data + 8) != size)
        return Fail(result, "total size differs from the file size");

    const u64 count = ReadU32(data + 4);
    const u64 directoryEnd = PackHeaderSize + count * PackEntrySize;
    if (directoryEnd > size)
        return Fail(result, "directory extends past the end");

    const CPackEntry* entries = reinterpret_cast<const CPackEntry*>(data + PackHeaderSize);
    for (u32 i = 0; i < count; ++i) {
        const CPackEntry& e = entries[i];
        if (!std::memchr(e.GetName(), 0, PackNameCapacity))
            return Fail(result, "entry name is not terminated", i);
        if (e.GetNameLength() > PackMaxNameLength)
            return Fail(result, "entry name length is too large", i);
        // Lookups search the names in order and then compare the stored length and hash: an
        // entry out of order or with a wrong length or hash would be silently hidden.
        const size_t length = std::strlen(e.GetName());
        if (e.GetNameLength() != length)
            return Fail(result, "entry name length differs from its text", i);
        if (e.GetNameHash() != FixedStringHash(e.GetName(), length))
            return Fail(result, "entry name hash is wrong", i);
        if (i > 0 && std::strcmp(entries[i - 1].GetName(), e.GetName()) >= 0)
            return Fail(result, "directory is not sorted", i);
        const u64 offset = e.GetDataOffset();
        // The blob's u32 length word sits just before its data and must not overlap the directory.
        if (offset < directoryEnd + 4)
            return Fail(result, "entry data overlaps the directory", i);
        if (offset + e.GetDataSize() > size)
            return Fail(result, "entry data extends past the end", i);
        if (ReadU32(data + offset - 4) != e.GetDataSize() && result) {
            if (result->m_BlobLengthMismatches++ == 0)
                result->m_FirstBlobLengthMismatch = i;
        }
    }
    return true;
}

u32 GetPackEntryCount(const u8* image)
{
    return ReadU32(image + 4);
}

const CPackEntry* GetPackDirectory(const u8* image)
{
    return reinterpret_cast<const CPackEntry*>(image + PackHeaderSize);
}

const CPackEntry* GetPackDirectoryEnd(const u8* image)
{
    return GetPackDirectory(image) + GetPackEntryCount(image);
}

const CPackEntry* FindPackEntry(const char* name, const CPackEntry* first, const CPackEntry* end)
{
    if (!name || !first || end <= first)
        return nullptr;
    const size_t length = std::strlen(name);
    if (length > PackMaxNameLength)
        return nullptr;
    const u16 hash = FixedStringHash(name, static_cast<u32>(length));

    // Ordered by the texts; a hit must also agree in the stored length and hash.
    size_t lo = 0;
    size_t hi = static_cast<size_t>(end - first);
    while (lo < hi) {
        const size_t mid = lo + (hi - lo) / 2;
        const CPackEntry& e = first[mid];
        const int order = std::strcmp(e.GetName(), name);
        if (order == 0)
            return (e.GetNameLength() == length && e.GetNameHash() == hash) ? &e : nullptr;
        if (order > 0)
            hi = mid;
        else
            lo = mid + 1;
    }
    return nullptr;
}

u32 FindPackRange(const u8* image, const char* prefix, PackNameCallback callback, void* user,
                  const CPackEntry** first, const CPackEntry** end)
{
    if (!image || !prefix)
        return 0;
    const CPackEntry* entries = GetPackDirectory(image);
    const size_t n = GetPackEntryCount(image);
    const size_t prefixLength = std::strlen(prefix);

    // Names that begin with the prefix sort directly after every name that sorts before the
    // prefix itself, so the run starts at the first name not less than the prefix.
    size_t lo = 0;
    size_t hi = n;
    while (lo < hi) {
        const size_t mid = lo + (hi - lo) / 2;
        if (std::strcmp(entries[mid].GetName(), prefix) < 0)
            lo = mid + 1;
        else
            hi = mid;
    }

    u32 count = 0;
    size_t i = lo;
    for (; i < n && StartsWith(entries[i].GetName(), prefix, prefixLength); ++i) {
        if (callback)
            callback(user, entries[i].GetName());
        ++count;
    }
    if (count != 0) {
        if (first)
            *first = entries + lo;
        if (end)
            *end = entries + i;
    }
    return count;
}

} // namespace lv::core
