#pragma once
// Little-endian reads and writes of the binary images; callers check lengths before calling.
#include "core/Types.h"

#include <cstring>
#include <vector>

namespace lv::core {

inline u16 ReadU16(const u8* p)
{
    return static_cast<u16>(p[0] | (p[1] << 8));
}

inline u32 ReadU32(const u8* p)
{
    return static_cast<u32>(p[0]) | (static_cast<u32>(p[1]) << 8) | (static_cast<u32>(p[2]) << 16) |
           (static_cast<u32>(p[3]) << 24);
}

inline void WriteU32(u8* p, u32 v)
{
    for (int i = 0; i < 4; ++i)
        p[i] = static_cast<u8>(v >> (8 * i));
}

inline void PutU16(std::vector<u8>& out, size_t at, u16 v)
{
    out[at] = static_cast<u8>(v);
    out[at + 1] = static_cast<u8>(v >> 8);
}

inline void PutU32(std::vector<u8>& out, size_t at, u32 v)
{
    WriteU32(out.data() + at, v);
}

// Appends little-endian fields to a growing image; the writers of binary images build on it.
class CByteAppender
{
public:
    explicit CByteAppender(std::vector<u8>& out) : m_Out(out) {}

    void U8(u32 v) { m_Out.push_back(static_cast<u8>(v)); }
    void U16(u32 v)
    {
        U8(v);
        U8(v >> 8);
    }
    void U32(u32 v)
    {
        U16(v);
        U16(v >> 16);
    }
    void S32(s32 v) { U32(static_cast<u32>(v)); }
    void U64(u64 v)
    {
        U32(static_cast<u32>(v));
        U32(static_cast<u32>(v >> 32));
    }
    void F32(float f)
    {
        u32 bits;
        std::memcpy(&bits, &f, 4);
        U32(bits);
    }
    void Patch32(size_t at, u32 v) { WriteU32(m_Out.data() + at, v); }

protected:
    std::vector<u8>& m_Out;
};

} // namespace lv::core
