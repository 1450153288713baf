#pragma once
// The script compiler's output: records are placed in a fixed, zeroed work buffer and flushed
// out as exact-size chunks, which are joined into one image at the end. Sizes and offsets are
// patched into records that were flushed already, by their position in the final image.
#include "core/Types.h"

#include <memory>
#include <vector>

namespace qe {

class CChunkWriter
{
public:
    static constexpr u32 kBufferSize = 0x20000;

    // A point to roll back to: everything written after it can be dropped.
    struct SMark
    {
        size_t chunks = 0;
        u64 total = 0;
    };

    CChunkWriter();
    ~CChunkWriter();
    CChunkWriter(const CChunkWriter&) = delete;
    CChunkWriter& operator=(const CChunkWriter&) = delete;

    // size zeroed bytes at the write position, flushing first when they would not fit; null
    // when they can never fit the buffer.
    u8* Write(u32 size);
    // Copies the buffer's content into a new chunk and starts the buffer afresh.
    void Flush();
    // The position of the next byte in the final image.
    u64 GetTotal() const { return m_Total + m_Position; }

    void PatchU16(u64 offset, u16 value);
    void PatchU32(u64 offset, u32 value);

    // Flushes and returns the current point.
    SMark Mark();
    // Drops every byte written since the mark.
    void Rollback(const SMark& mark);

    // Flushes and joins every chunk, in order, into the image.
    void Join(std::vector<u8>& image);

private:
    u8* At(u64 offset);

    std::unique_ptr<u8[]> m_Buffer;
    u32 m_Position = 0;
    std::vector<std::vector<u8>> m_Chunks;
    std::vector<u64> m_Starts;
    u64 m_Total = 0;
};

} // namespace qe
