#pragma once
// Wide (UTF-16) fixed-capacity strings: the same record as CFixedString with 16-bit characters,
// for short texts the player sees or types, such as profile names.
#include "core/FixedString.h"

template <u16 Capacity>
using CFixedWString = CBasicFixedString<WChar, Capacity>;

static_assert(sizeof(CFixedWString<15>) == 38);
static_assert(sizeof(CFixedWString<28>) == 64);
static_assert(sizeof(CFixedWString<256>) == 520);
static_assert(sizeof(CFixedWString<512>) == 1032);
static_assert(std::is_trivially_copyable_v<CFixedWString<15>>);
