#pragma once
// Reading numbers out of text the way the C library's atoi, atof and sscanf("%i") do, but with
// defined results for every input: integers wrap to 32 bits instead of overflowing (so
// "4294967295" reads as -1, which data files use for opaque white), and nothing depends on the
// process locale. Also the UTF-16 whitespace test the text layout uses.
#include "core/Types.h"

#include <string_view>

namespace lv::core {

// True for the Unicode white-space characters that allow a line break: the ASCII blanks and
// line breaks (0x09-0x0D, 0x20), U+0085, U+1680, U+2000-U+2006, U+2008-U+200A, U+2028, U+2029,
// U+205F and U+3000. The no-break spaces (U+00A0, U+2007, U+202F) are not.
bool IsWideSpace(WChar c);

// atoi: leading blanks, an optional sign, decimal digits up to the first other character;
// 0 when there are none. The value wraps modulo 2^32.
s32 ScanInt(std::string_view text);
// The same over UTF-16 text (only ASCII digits, signs and blanks count).
s32 ScanInt(WStringView text);

// One "%i" conversion starting at `pos`: leading blanks, an optional sign, then "0x" (hex), "0"
// (octal) or decimal digits. On success stores the value (wrapped to 32 bits), moves `pos` past
// the number and returns true; returns false, leaving `pos`, when no digit follows.
bool ScanIntAnyBase(std::string_view text, size_t& pos, s32& value);

// atof: leading blanks, then the longest decimal or hexadecimal floating-point number (with
// "inf" and "nan"); 0 when there is none.
double ScanReal(std::string_view text);

// The integer part of a real number as an s32, saturated at the 32-bit limits (0 for NaN).
s32 TruncateToInt(double value);

} // namespace lv::core
