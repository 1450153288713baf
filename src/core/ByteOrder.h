#pragma once
// Little-endian reads and writes of the binary images; callers check lengths before calling.
#include "core/Types.h"

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

} // namespace lv::core
