#include "qe/BinaryWriter.h"

#include <cstring>

namespace qe {

bool CBinaryWriter::Reserve(s64 count)
{
    if (count < 0 || count > static_cast<s64>(m_Capacity) - m_Length)
    {
        m_Overflow = true;
        return false;
    }
    return true;
}

void CBinaryWriter::Put(const void* bytes, s32 count)
{
    if (count > 0)
        std::memcpy(m_Storage + m_Length, bytes, static_cast<size_t>(count));
    m_Length += count;
}

void CBinaryWriter::WriteInt32(s32 value)
{
    if (!Reserve(4))
        return;
    const u32 v = static_cast<u32>(value);
    const u8 bytes[4] = {static_cast<u8>(v), static_cast<u8>(v >> 8), static_cast<u8>(v >> 16), static_cast<u8>(v >> 24)};
    Put(bytes, 4);
}

void CBinaryWriter::WriteInt64(s64 value)
{
    if (!Reserve(8))
        return;
    const u64 v = static_cast<u64>(value);
    WriteInt32(static_cast<s32>(static_cast<u32>(v)));
    WriteInt32(static_cast<s32>(static_cast<u32>(v >> 32)));
}

void CBinaryWriter::WriteByte(s32 value)
{
    if (!Reserve(1))
        return;
    const u8 byte = static_cast<u8>(value);
    Put(&byte, 1);
}

void CBinaryWriter::WriteFloat(float value)
{
    u32 bits;
    std::memcpy(&bits, &value, 4);
    WriteInt32(static_cast<s32>(bits));
}

void CBinaryWriter::WriteNameString(const CFixedString& name)
{
    if (!Reserve(sizeof(CFixedString)))
        return;
    // The in-memory image as it stands (the cached hash included), so that the saved record is
    // the name exactly as the game held it.
    Put(&name, sizeof(CFixedString));
}

void CBinaryWriter::WriteBlob(const void* data, s32 count)
{
    if (count < 0 || (count > 0 && !data) || !Reserve(4 + static_cast<s64>(count)))
    {
        m_Overflow = true;
        return;
    }
    WriteInt32(count);
    Put(data, count);
}

} // namespace qe
