#include "qe/ChunkWriter.h"

#include <algorithm>
#include <cstring>

namespace qe {

CChunkWriter::CChunkWriter() : m_Buffer(new u8[kBufferSize]())
{
}

CChunkWriter::~CChunkWriter() = default;

u8* CChunkWriter::Write(u32 size)
{
    if (size > kBufferSize)
        return nullptr;
    if (kBufferSize - m_Position < size)
        Flush();
    u8* at = m_Buffer.get() + m_Position;
    m_Position += size;
    return at;
}

void CChunkWriter::Flush()
{
    if (!m_Position)
        return;
    m_Starts.push_back(m_Total);
    m_Chunks.emplace_back(m_Buffer.get(), m_Buffer.get() + m_Position);
    m_Total += m_Position;
    std::memset(m_Buffer.get(), 0, m_Position);
    m_Position = 0;
}

u8* CChunkWriter::At(u64 offset)
{
    if (offset >= m_Total)
        return offset - m_Total < m_Position ? m_Buffer.get() + (offset - m_Total) : nullptr;
    const auto it = std::upper_bound(m_Starts.begin(), m_Starts.end(), offset) - 1;
    return m_Chunks[static_cast<size_t>(it - m_Starts.begin())].data() + (offset - *it);
}

void CChunkWriter::PatchU16(u64 offset, u16 value)
{
    for (u32 i = 0; i < 2; ++i) {
        if (u8* p = At(offset + i))
            *p = static_cast<u8>(value >> (8 * i));
    }
}

void CChunkWriter::PatchU32(u64 offset, u32 value)
{
    for (u32 i = 0; i < 4; ++i) {
        if (u8* p = At(offset + i))
            *p = static_cast<u8>(value >> (8 * i));
    }
}

CChunkWriter::SMark CChunkWriter::Mark()
{
    Flush();
    return {m_Chunks.size(), m_Total};
}

void CChunkWriter::Rollback(const SMark& mark)
{
    std::memset(m_Buffer.get(), 0, m_Position);
    m_Position = 0;
    if (mark.chunks < m_Chunks.size()) {
        m_Chunks.resize(mark.chunks);
        m_Starts.resize(mark.chunks);
    }
    m_Total = mark.total;
}

void CChunkWriter::Join(std::vector<u8>& image)
{
    Flush();
    image.clear();
    image.reserve(static_cast<size_t>(m_Total));
    for (const std::vector<u8>& chunk : m_Chunks)
        image.insert(image.end(), chunk.begin(), chunk.end());
    m_Chunks.clear();
    m_Starts.clear();
    m_Total = 0;
}

} // namespace qe
