#include "qe/ByteBuffer.h"

#include <cstring>
#include <utility>

namespace qe {

CByteBuffer::~CByteBuffer()
{
    delete[] m_Storage;
}

void CByteBuffer::Allocate(s32 size)
{
    delete[] m_Storage;
    m_Storage = nullptr;
    m_Capacity = 0;
    if (size > 0)
    {
        m_Storage = new u8[static_cast<size_t>(size)];
        std::memset(m_Storage, 0, static_cast<size_t>(size));
        m_Capacity = size;
    }
    // A length beyond the new capacity would write past it.
    if (m_Length > m_Capacity)
        m_Length = m_Capacity;
}

void CByteBuffer::Clear()
{
    m_Length = 0;
    m_Overflow = false;
}

void CByteBuffer::Swap(CByteBuffer& other)
{
    std::swap(m_Storage, other.m_Storage);
    std::swap(m_Capacity, other.m_Capacity);
    std::swap(m_Length, other.m_Length);
    std::swap(m_Overflow, other.m_Overflow);
}

} // namespace qe
