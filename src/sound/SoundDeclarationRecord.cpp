#include "sound/SoundDeclarationRecord.h"
#include "core/ByteOrder.h"

#include <cstring>

using lv::core::ReadU32;
using lv::core::WriteU32;

namespace lv::sound {

namespace {

float ReadFloat(const u8* p)
{
    const u32 bits = ReadU32(p);
    float value;
    std::memcpy(&value, &bits, sizeof(value));
    return value;
}

void WriteFloat(u8* p, float value)
{
    u32 bits;
    std::memcpy(&bits, &value, sizeof(bits));
    WriteU32(p, bits);
}

} // namespace

bool CSoundDeclarationRecord::Read(const u8* data, size_t size)
{
    if (!data || size < kSoundDeclarationRecordSize)
        return false;
    if (!m_File.ReadRecord(data, size) || !m_Id.ReadRecord(data + 128, size - 128) ||
        !m_Group.ReadRecord(data + 224, size - 224))
        return false;
    // A stored hash is not trusted: lookups compare by hash first.
    m_File.UpdateHash();
    m_Id.UpdateHash();
    m_Group.UpdateHash();
    m_Balance = ReadFloat(data + 320);
    m_Volume = ReadFloat(data + 324);
    m_Priority = static_cast<s32>(ReadU32(data + 328));
    m_Repeat = static_cast<s32>(ReadU32(data + 332));
    m_MaxConcurrent = static_cast<s32>(ReadU32(data + 336));
    m_Flags = static_cast<s32>(ReadU32(data + 340));
    m_PlayDelay = ReadFloat(data + 344);
    m_Speed = ReadFloat(data + 348);
    return true;
}

void CSoundDeclarationRecord::Write(u8* out) const
{
    std::memset(out, 0, kSoundDeclarationRecordSize);
    m_File.WriteRecord(out);
    m_Id.WriteRecord(out + 128);
    m_Group.WriteRecord(out + 224);
    WriteFloat(out + 320, m_Balance);
    WriteFloat(out + 324, m_Volume);
    WriteU32(out + 328, static_cast<u32>(m_Priority));
    WriteU32(out + 332, static_cast<u32>(m_Repeat));
    WriteU32(out + 336, static_cast<u32>(m_MaxConcurrent));
    WriteU32(out + 340, static_cast<u32>(m_Flags));
    WriteFloat(out + 344, m_PlayDelay);
    WriteFloat(out + 348, m_Speed);
}

} // namespace lv::sound
