#pragma once
// Fixed-capacity name strings: the text lives inline in the record (no heap), with its length
// and a cached 16-bit hash so that equal-length names are usually told apart without comparing
// text. Records are copied bit for bit and stored whole in binary resource files:
//
//   u16 length | u16 capacity | u16 hash (0 = not computed) | u16 reserved | capacity chars
//
// The text is always zero-terminated at index length, so at most capacity - 1 characters fit.
// A text that does not fit is cut at capacity - 1 characters and the record remembers that it
// was cut (in the reserved word, in memory only): a cut record never equals any name, so a
// lookup with a name too long for its record finds nothing instead of a shorter name.
#include "core/Types.h"

#include <cstddef>
#include <string>
#include <type_traits>

// The name hash. It is part of the binary file formats: the text's bytes taken as little-endian
// 16-bit words (an odd narrow length is padded with one zero byte); h = rotr16(h, 1) + word,
// starting from 0; a result of 0 becomes 1 so that 0 can mean "not computed".
u16 FixedStringHash(const char* text, size_t length);
u16 FixedStringHash(const WChar* text, size_t length);

// Three-way comparison of two zero-terminated texts, character by character as unsigned values.
s32 FixedStringCompareText(const char* a, const char* b);
s32 FixedStringCompareText(const WChar* a, const WChar* b);

// Index of the first occurrence of `what` in text[start, length), or -1.
s32 FixedStringFind(const char* text, size_t length, const char* what, s32 start);
s32 FixedStringFind(const WChar* text, size_t length, const WChar* what, s32 start);

template <typename Ch, u16 Capacity>
class CBasicFixedString
{
    static_assert(std::is_same_v<Ch, char> || std::is_same_v<Ch, WChar>);
    static_assert(Capacity >= 1);
    using Traits = std::char_traits<Ch>;

public:
    using CharType = Ch;
    static constexpr u16 kCapacity = Capacity;
    static constexpr size_t kMaxLength = Capacity - 1;
    static constexpr size_t kRecordSize = 8 + Capacity * sizeof(Ch);

    CBasicFixedString() = default;
    CBasicFixedString(const Ch* text) { Assign(text); }
    CBasicFixedString(const Ch* text, size_t count) { AssignN(text, count); }

    void Clear()
    {
        m_Truncated = 0;
        SetLength(0);
    }

    // A null text counts as empty.
    void Assign(const Ch* text) { AssignN(text, text ? Traits::length(text) : 0); }

    void AssignN(const Ch* text, size_t count)
    {
        if (!text)
            count = 0;
        m_Truncated = count > kMaxLength;
        if (m_Truncated)
            count = kMaxLength;
        if (count)
            Traits::move(m_Text, text, count);
        SetLength(count);
    }

    void Append(const Ch* text) { AppendN(text, text ? Traits::length(text) : 0); }

    // The characters [start, start + count) of a zero-terminated text, as far as the text
    // goes; a start at or beyond the text's end gives the empty text.
    void AssignSubstring(const Ch* text, size_t start, size_t count)
    {
        const size_t length = text ? Traits::length(text) : 0;
        if (start >= length)
            AssignN(text, 0);
        else
            AssignN(text + start, count < length - start ? count : length - start);
    }

    // Sets the length: growing fills the new characters with `fill`; a length beyond the
    // capacity is cut at capacity - 1 and the record counts as cut. The same length changes
    // nothing.
    void Resize(size_t length, Ch fill = Ch(0))
    {
        if (length == m_Length)
            return;
        const bool cut = length > kMaxLength;
        if (cut)
            length = kMaxLength;
        for (size_t i = m_Length; i < length; ++i)
            m_Text[i] = fill;
        m_Truncated = cut;
        SetLength(length);
    }

    // Removes the characters [from, to) (to is limited to the length); nothing happens when
    // from lies at or beyond the end or to is not after from. Removing the tail leaves a whole
    // text even when the record had been cut.
    void Erase(size_t from, size_t to)
    {
        if (from >= m_Length || to <= from)
            return;
        if (to >= m_Length)
        {
            m_Truncated = 0;
            SetLength(from);
            return;
        }
        Traits::move(m_Text + from, m_Text + to, m_Length - to);
        SetLength(m_Length - (to - from));
    }


    template <u16 M>
    void AppendFixed(const CBasicFixedString<Ch, M>& other)
    {
        AppendN(other.m_Text, other.m_Length);
        m_Truncated |= other.m_Truncated;
    }

    template <u16 M>
    CBasicFixedString& operator+=(const CBasicFixedString<Ch, M>& other)
    {
        AppendFixed(other);
        return *this;
    }

    // A new ordinary name: this text followed by `text`.
    CBasicFixedString<char, 88> operator+(const char* text) const
        requires std::is_same_v<Ch, char>
    {
        CBasicFixedString<char, 88> result(m_Text, m_Length);
        result.m_Truncated |= m_Truncated;
        result.Append(text);
        return result;
    }

    // A new ordinary name: this text followed by the other name.
    template <u16 M>
    CBasicFixedString<char, 88> ConcatName(const CBasicFixedString<char, M>& other) const
        requires std::is_same_v<Ch, char>
    {
        CBasicFixedString<char, 88> result(m_Text, m_Length);
        result.m_Truncated |= m_Truncated;
        result.AppendFixed(other);
        return result;
    }

    // Equality for name lookups: length, then the cached hashes (computed and stored on first
    // use, even through a const reference), then the text.
    template <u16 M>
    bool Equals(const CBasicFixedString<Ch, M>& other) const
    {
        if (m_Length != other.m_Length || m_Truncated || other.m_Truncated)
            return false;
        if (GetHash() != other.GetHash())
            return false;
        return FixedStringCompareText(m_Text, other.m_Text) == 0;
    }
    template <u16 M>
    bool Compare(const CBasicFixedString<Ch, M>& other) const
    {
        return Equals(other);
    }
    template <u16 M>
    bool operator==(const CBasicFixedString<Ch, M>& other) const
    {
        return Equals(other);
    }

    // -1, 0 or 1 against a zero-terminated text (null counts as empty). A cut record sorts after
    // every text it starts with, as its full text would.
    s32 CompareText(const Ch* text) const
    {
        static const Ch empty[1] = {0};
        const s32 result = FixedStringCompareText(m_Text, text ? text : empty);
        return (result == 0 && m_Truncated) ? 1 : result;
    }
    bool NotEquals(const Ch* text) const { return CompareText(text) != 0; }

    // The order of every sorted name index: true when this name sorts after the other.
    template <u16 M>
    bool IsGreater(const CBasicFixedString<Ch, M>& other) const
    {
        const s32 result = FixedStringCompareText(m_Text, other.m_Text);
        if (result == 0)
            return m_Truncated && !other.m_Truncated; // a cut text goes on beyond the other
        return result > 0;
    }

    // First occurrence of `text` at or after character index start, or -1 (also when start
    // lies beyond the end).
    s32 Find(const Ch* text, s32 start = 0) const
    {
        return text ? FixedStringFind(m_Text, m_Length, text, start) : -1;
    }

    // The character at index, or 0 outside the text.
    Ch GetAt(size_t index) const { return index < m_Length && index < Capacity ? m_Text[index] : Ch(0); }

    // Replaces one character inside the text; an index outside the text changes nothing.
    void SetAt(size_t index, Ch c)
    {
        if (index >= m_Length || index >= Capacity)
            return;
        m_Text[index] = c;
        m_Hash = 0;
    }

    bool IsEmpty() const { return m_Length == 0; }
    u16 GetLength() const { return m_Length; }
    u16 GetCapacity() const { return m_Capacity; }
    const Ch* GetText() const { return m_Text; }
    // True when the last assignment or append had to cut the text.
    bool IsTruncated() const { return m_Truncated != 0; }

    // The hash, computed and cached when not known yet.
    u16 GetHash() const
    {
        if (m_Hash == 0)
            m_Hash = FixedStringHash(m_Text, m_Length);
        return m_Hash;
    }
    // The cached hash as stored, 0 when not computed.
    u16 GetCachedHash() const { return m_Hash; }
    void UpdateHash() { m_Hash = FixedStringHash(m_Text, m_Length); }

    // Reads a record of kRecordSize bytes (little-endian fields) as stored in binary files.
    // False, leaving this unchanged, when the data is too short or the stored length leaves
    // no room for the terminator. A stored non-zero hash is kept as the cached hash; the stored
    // capacity and reserved words carry no meaning and are replaced by this record's own.
    bool ReadRecord(const u8* data, size_t size)
    {
        if (!data || size < kRecordSize)
            return false;
        const u16 length = ReadU16(data);
        if (length > kMaxLength)
            return false;
        for (size_t i = 0; i < length; ++i)
            m_Text[i] = ReadChar(data + 8 + i * sizeof(Ch));
        m_Text[length] = 0;
        m_Length = length;
        m_Capacity = Capacity;
        m_Hash = ReadU16(data + 4);
        m_Truncated = 0;
        return true;
    }

    // Writes the record as stored in binary files, zero-filled after the text. False, writing
    // nothing, when the text was cut: such a record would store a different name.
    bool WriteRecord(u8* out) const
    {
        if (m_Truncated)
            return false;
        WriteU16(out, m_Length);
        WriteU16(out + 2, Capacity);
        WriteU16(out + 4, m_Hash);
        WriteU16(out + 6, 0);
        for (size_t i = 0; i < Capacity; ++i)
            WriteChar(out + 8 + i * sizeof(Ch), i < m_Length ? m_Text[i] : Ch(0));
        return true;
    }

    // The process-wide pooled copy of this text (see the name pool); narrow names only.
    static const CBasicFixedString<char, 88>* Intern(const CBasicFixedString<char, 88>& name);

private:
    template <typename, u16>
    friend class CBasicFixedString;

    void AppendN(const Ch* text, size_t count)
    {
        const size_t room = kMaxLength - m_Length;
        if (count > room)
        {
            count = room;
            m_Truncated = 1;
        }
        if (count)
            Traits::move(m_Text + m_Length, text, count);
        SetLength(m_Length + count);
    }

    void SetLength(size_t length)
    {
        m_Length = static_cast<u16>(length);
        m_Text[length] = 0;
        m_Hash = 0;
    }

    static u16 ReadU16(const u8* p) { return static_cast<u16>(p[0] | (p[1] << 8)); }
    static void WriteU16(u8* p, u16 v)
    {
        p[0] = static_cast<u8>(v);
        p[1] = static_cast<u8>(v >> 8);
    }
    static Ch ReadChar(const u8* p)
    {
        if constexpr (sizeof(Ch) == 1)
            return static_cast<Ch>(p[0]);
        else
            return static_cast<Ch>(ReadU16(p));
    }
    static void WriteChar(u8* p, Ch c)
    {
        if constexpr (sizeof(Ch) == 1)
            p[0] = static_cast<u8>(c);
        else
            WriteU16(p, static_cast<u16>(c));
    }

    u16 m_Length = 0;
    u16 m_Capacity = Capacity;
    mutable u16 m_Hash = 0;
    u16 m_Truncated = 0; // the record's reserved word
    Ch m_Text[Capacity] = {};
};

// Computes and stores a name's hash (the data builders do this for every name they write).
template <typename Ch, u16 N>
void FixedStringUpdateHash(CBasicFixedString<Ch, N>& name)
{
    name.UpdateHash();
}

// The ordinary name string: every resource, object and event name.
using CFixedString = CBasicFixedString<char, 88>;
// Short names.
using CShortString = CBasicFixedString<char, 24>;
// Short names of the system cursor records.
using CShortFixedString = CBasicFixedString<char, 28>;
// Names inside the resource pack's directory lookups.
using CPackName = CBasicFixedString<char, 112>;
// The long name built once at start-up.
using CLongFixedString = CBasicFixedString<char, 120>;

// Defined with the name pool (core/NamePool.cpp), which InternName shares.
template <>
const CFixedString* CFixedString::Intern(const CFixedString& name);

static_assert(sizeof(CFixedString) == 96);
static_assert(sizeof(CShortString) == 32);
static_assert(sizeof(CShortFixedString) == 36);
static_assert(sizeof(CPackName) == 120);
static_assert(sizeof(CLongFixedString) == 128);
static_assert(std::is_trivially_copyable_v<CFixedString> && std::is_standard_layout_v<CFixedString>);
