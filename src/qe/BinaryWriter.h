#pragma once
// Appends little-endian values to a fixed-capacity byte store. The store never grows: its owner
// sizes it once for a whole save. A write that does not fit writes nothing and sets a sticky
// overflow flag, which the owner checks before using the bytes (a save that overflowed is
// dropped and the last good image kept).
#include "core/FixedString.h"
#include "core/Types.h"

namespace qe {

class CBinaryWriter
{
public:
    CBinaryWriter(const CBinaryWriter&) = delete;
    CBinaryWriter& operator=(const CBinaryWriter&) = delete;

    void WriteInt32(s32 value);
    void WriteInt64(s64 value);
    void WriteBool(bool value) { WriteInt32(value ? 1 : 0); }
    void WriteByte(s32 value);
    // Floats travel as their bit pattern in an int32.
    void WriteFloat(float value);
    // The whole 96-byte name record, bytes after the terminator included.
    void WriteNameString(const CFixedString& name);
    // An int32 count, then the bytes; all or nothing.
    void WriteBlob(const void* data, s32 count);

    u8* GetData() const { return m_Storage; }
    s32 GetLength() const { return m_Length; }
    s32 GetCapacity() const { return m_Capacity; }
    // True once any write did not fit since the last clear.
    bool HasOverflowed() const { return m_Overflow; }

protected:
    CBinaryWriter() = default;
    ~CBinaryWriter() = default;

    // Room for `count` more bytes; otherwise marks the overflow.
    bool Reserve(s64 count);
    void Put(const void* bytes, s32 count);

    u8* m_Storage = nullptr;
    s32 m_Capacity = 0;
    s32 m_Length = 0;
    bool m_Overflow = false;
};

} // namespace qe
