#include "core/TextConvert.h"

#include "platform/Utf16.h"

WString Utf8ToWide(std::string_view text) { return lv::platform::Utf8ToUtf16(text); }
std::string WideToUtf8(WStringView text) { return lv::platform::Utf16ToUtf8(text); }
WString ToWide(std::string_view text) { return Utf8ToWide(text); }
std::string ToNarrow(WStringView text) { return WideToUtf8(text); }
std::string Utf8ToAnsi(std::string_view text) { return ToNarrow(Utf8ToWide(text)); }
size_t WideLength(const WChar* text) { return lv::platform::WideLength(text); }
