#pragma once
// Fixed-width integer names and the wide text type used throughout the framework.
#include <cstdint>
#include <string>
#include <string_view>

using s8 = std::int8_t;
using u8 = std::uint8_t;
using s16 = std::int16_t;
using u16 = std::uint16_t;
using s32 = std::int32_t;
using u32 = std::uint32_t;
using s64 = std::int64_t;
using u64 = std::uint64_t;

// Wide text is UTF-16 on every platform; the platform's own wchar_t never appears in data.
using WChar = char16_t;
using WString = std::u16string;
using WStringView = std::u16string_view;
