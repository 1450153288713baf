#include "qe/BinaryReader.h"

#include <cstring>

namespace qe {

CBinaryReader::CBinaryReader(const void* data, s32 size)
    : m_Data(static_cast<const u8*>(data)), m_Size(data && size > 0 ? size : 0)
{
}

void CBinaryReader::Fail()
{
    m_Error = true;
    m_Position = m_Size;
}

const u8* CBinaryReader::Take(s32 count)
{
    if (count < 0 || count > m_Size - m_Position)
    {
        Fail();
        return nullptr;
    }
    const u8* p = m_Data + m_Position;
    m_Position += count;
    return p;
}

s32 CBinaryReader::ReadInt32()
{
    const u8* p = Take(4);
    if (!p)
        return 0;
    return static_cast<s32>(static_cast<u32>(p[0]) | (static_cast<u32>(p[1]) << 8) | (static_cast<u32>(p[2]) << 16) |
                            (static_cast<u32>(p[3]) << 24));
}

s64 CBinaryReader::ReadInt64()
{
    if (GetRemaining() < 8)
    {
        Take(8);
        return 0;
    }
    const u64 low = static_cast<u32>(ReadInt32());
    const u64 high = static_cast<u32>(ReadInt32());
    return static_cast<s64>(low | (high << 32));
}

float CBinaryReader::ReadFloat()
{
    const u32 bits = static_cast<u32>(ReadInt32());
    float value;
    std::memcpy(&value, &bits, 4);
    return value;
}

s32 CBinaryReader::ReadByte()
{
    const u8* p = Take(1);
    return p ? *p : 0;
}

const CFixedString& CBinaryReader::ReadNameString()
{
    m_Name.Clear();
    const u8* p = Take(static_cast<s32>(CFixedString::kRecordSize));
    if (!p)
        return m_Name;
    const u16 length = static_cast<u16>(p[0] | (p[1] << 8));
    if (length > CFixedString::kMaxLength || p[8 + length] != 0 || !m_Name.ReadRecord(p, CFixedString::kRecordSize))
    {
        Fail();
        m_Name.Clear();
    }
    return m_Name;
}

std::unique_ptr<u8[]> CBinaryReader::ReadBlob(s32& count)
{
    count = 0;
    const s32 stored = ReadInt32();
    if (m_Error || stored < 0 || stored > GetRemaining())
    {
        Fail();
        return nullptr;
    }
    const u8* p = Take(stored);
    auto blob = std::make_unique<u8[]>(static_cast<size_t>(stored));
    if (stored)
        std::memcpy(blob.get(), p, static_cast<size_t>(stored));
    count = stored;
    return blob;
}

} // namespace qe
