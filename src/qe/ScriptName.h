#pragma once
// A name string read in place inside the quest script image. The image may be a read-only file
// mapping, so the view never writes: a name stored without its hash has it computed locally on
// every comparison.
#include "core/ByteOrder.h"
#include "core/FixedString.h"
#include "core/Types.h"

#include <cstring>

namespace qe::scripts {

class CScriptName
{
public:
    static constexpr u32 kSize = 96;
    static constexpr u32 kTextSize = 88;

    CScriptName() = default;
    explicit CScriptName(const u8* record) : m_Record(record) {}

    bool IsValid() const { return m_Record != nullptr; }
    const u8* GetRecord() const { return m_Record; }
    u16 GetLength() const { return m_Record ? lv::core::ReadU16(m_Record) : 0; }
    const char* GetText() const { return m_Record ? reinterpret_cast<const char*>(m_Record + 8) : ""; }
    // The stored hash, 0 when the compiler left it to the first comparison.
    u16 GetStoredHash() const { return m_Record ? lv::core::ReadU16(m_Record + 4) : 0; }
    u16 GetHash() const
    {
        const u16 stored = GetStoredHash();
        return stored ? stored : FixedStringHash(GetText(), GetLength());
    }

    // Length, hash, then text, as CFixedString equality does.
    bool Equals(const CFixedString& other) const
    {
        if (other.IsTruncated() || other.GetLength() != GetLength())
            return false;
        if (other.GetHash() != GetHash())
            return false;
        return std::memcmp(other.GetText(), GetText(), GetLength()) == 0;
    }
    bool Equals(const char* text) const { return std::strcmp(text ? text : "", GetText()) == 0; }

    // A copy in ordinary memory.
    CFixedString ToFixedString() const { return CFixedString(GetText(), GetLength()); }

    // True when the record's length fits and its text ends exactly at that length.
    static bool IsWellFormed(const u8* record)
    {
        const u16 length = lv::core::ReadU16(record);
        if (length >= kTextSize)
            return false;
        const void* end = std::memchr(record + 8, 0, kTextSize);
        return end == record + 8 + length;
    }

private:
    const u8* m_Record = nullptr;
};

} // namespace qe::scripts
