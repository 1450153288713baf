#pragma once
// Reads back what a CBinaryWriter wrote, from bytes the caller owns and keeps alive (possibly a
// read-only mapping: nothing is ever written there). Every read is checked against the range:
// a read past the end yields 0 (or an empty result) and sets a sticky error flag (every later
// read yields 0 too), which loaders
// treat like any failed consistency check.
#include "core/FixedString.h"
#include "core/Types.h"

#include <memory>

namespace qe {

class CBinaryReader
{
public:
    CBinaryReader(const void* data, s32 size);
    CBinaryReader(const CBinaryReader&) = delete;
    CBinaryReader& operator=(const CBinaryReader&) = delete;

    s32 ReadInt32();
    s64 ReadInt64();
    float ReadFloat();
    s32 ReadByte();
    bool ReadBool() { return ReadInt32() != 0; }
    // A copy of the 96-byte name record at the position, owned by the reader and valid until
    // the next name read. A record whose length is above 87 or whose terminator is missing
    // gives the empty name and sets the error flag.
    const CFixedString& ReadNameString();
    // The count, then a new array of that many bytes (empty but non-null for 0). A negative
    // count or one beyond the bytes left allocates nothing, gives null and count 0, and sets the
    // error flag.
    std::unique_ptr<u8[]> ReadBlob(s32& count);

    const u8* GetBuffer() const { return m_Data; }
    s32 GetPosition() const { return m_Position; }
    s32 GetSize() const { return m_Size; }
    s32 GetRemaining() const { return m_Size - m_Position; }
    bool HasError() const { return m_Error; }

private:
    // Sets the error flag; the rest of the range is never read (later reads yield 0).
    void Fail();
    // The next `count` bytes, or null (error set, position at the end) when they are not there.
    const u8* Take(s32 count);

    const u8* m_Data = nullptr;
    s32 m_Position = 0;
    s32 m_Size = 0;
    bool m_Error = false;
    CFixedString m_Name;
};

} // namespace qe
