#pragma once
// Little-endian fields of object records in the quest data image, shared by the object kinds.
#include "core/ByteOrder.h"
#include "core/Color.h"
#include "core/FixedString.h"
#include "core/Vector2.h"

#include <cstring>

namespace qe {

inline float ReadRecordFloat(const u8* p)
{
    const u32 bits = lv::core::ReadU32(p);
    float f;
    std::memcpy(&f, &bits, 4);
    return f;
}

inline CVector2 ReadRecordVector(const u8* p)
{
    return CVector2(ReadRecordFloat(p), ReadRecordFloat(p + 4));
}

// Four 16-bit channels: red, green, blue, alpha.
inline CColor ReadRecordColor(const u8* p)
{
    CColor color;
    color.R = static_cast<s16>(lv::core::ReadU16(p));
    color.G = static_cast<s16>(lv::core::ReadU16(p + 2));
    color.B = static_cast<s16>(lv::core::ReadU16(p + 4));
    color.A = static_cast<s16>(lv::core::ReadU16(p + 6));
    return color;
}

// A 96-byte name record, checked by the loader before any object is built on it.
inline const CFixedString& ReadRecordName(const u8* p)
{
    return *reinterpret_cast<const CFixedString*>(p);
}

} // namespace qe
