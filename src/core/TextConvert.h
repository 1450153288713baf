#pragma once
// Conversions between the narrow code page, UTF-8 and UTF-16. The narrow ("ANSI") code page
// is UTF-8 on this platform. A source ends at its first zero character, as a C string would.
// Malformed input becomes U+FFFD; results have no length limit.
#include "core/Types.h"

WString ToWide(std::string_view text);
std::string ToNarrow(WStringView text);
WString Utf8ToWide(std::string_view text);
std::string WideToUtf8(WStringView text);
std::string Utf8ToAnsi(std::string_view text);

// Length of a zero-terminated UTF-16 text.
size_t WideLength(const WChar* text);
