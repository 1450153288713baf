#pragma once
// UTF-8 <-> UTF-16 conversion, the one codec of the program (the window layer needs it below the
// core's text functions). A source ends at its first zero character; malformed input becomes
// U+FFFD; results have no length limit.
#include "core/Types.h"

namespace lv::platform {

WString Utf8ToUtf16(std::string_view text);
std::string Utf16ToUtf8(WStringView text);
// Length of a zero-terminated UTF-16 text.
size_t WideLength(const WChar* text);

} // namespace lv::platform
