#include "core/StringBlock.h"
#include "core/ByteOrder.h"

namespace lv::core {

namespace {

bool Fail(const char** problem, const char* text)
{
    if (problem)
        *problem = text;
    return false;
}

} // namespace

bool CheckStringBlock(const u8* data, u64 size, u32 magic, const char** problem)
{
    if (problem)
        *problem = nullptr;
    if (!data || size < StringBlockHeaderSize)
        return Fail(problem, "shorter than its header");
    if (ReadU32(data) != magic)
        return Fail(problem, "wrong magic");
    const u64 count = ReadU32(data + 4);
    const u64 indexEnd = StringBlockHeaderSize + count * StringBlockIndexEntrySize;
    if (indexEnd > size)
        return Fail(problem, "index extends past the end");

    // A text is terminated exactly when some zero unit lies at or after its start, so one
    // backward scan for the last zero unit settles every offset at once.
    const u64 unitsEnd = size & ~u64(1);
    u64 lastZero = 0;
    bool anyZero = false;
    for (u64 at = unitsEnd; at >= indexEnd + 2; at -= 2) {
        if (data[at - 2] == 0 && data[at - 1] == 0) {
            lastZero = at - 2;
            anyZero = true;
            break;
        }
    }
    for (u64 i = 0; i < count; ++i) {
        const u8* entry = data + StringBlockHeaderSize + i * StringBlockIndexEntrySize;
        // Lookups are binary searches: an id out of order (or twice) would hide entries.
        if (i > 0 && static_cast<s32>(ReadU32(entry - StringBlockIndexEntrySize)) >= static_cast<s32>(ReadU32(entry)))
            return Fail(problem, "index not sorted by id");
        const u64 offset = ReadU32(entry + 4);
        if (offset < indexEnd || offset >= unitsEnd || (offset & 1))
            return Fail(problem, "text offset outside the block");
        if (!anyZero || offset > lastZero)
            return Fail(problem, "text not terminated");
    }
    return true;
}

u32 GetStringBlockCount(const u8* block)
{
    return ReadU32(block + 4);
}

u32 FindStringOffset(const u8* block, s32 id)
{
    const u8* index = block + StringBlockHeaderSize;
    u32 lo = 0;
    u32 hi = GetStringBlockCount(block);
    while (lo < hi) {
        const u32 mid = lo + (hi - lo) / 2;
        const s32 midId = static_cast<s32>(ReadU32(index + mid * StringBlockIndexEntrySize));
        if (midId == id)
            return ReadU32(index + mid * StringBlockIndexEntrySize + 4);
        if (midId > id)
            hi = mid;
        else
            lo = mid + 1;
    }
    return 0;
}

} // namespace lv::core
