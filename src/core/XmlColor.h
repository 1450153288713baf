#pragma once
// Colours as written in XML attributes: either "#" followed by alpha, red, green and blue in
// decimal, or the packed 0xAARRGGBB value as a signed decimal (opaque white is "-1").
#include "core/Color.h"

#include <string_view>

// Never fails. Empty text gives all channels 0. In the "#" form missing trailing values stay
// 255 and values are not clamped; each value is read like scanf's "%hi" (an optional sign, then
// decimal, "0x" hexadecimal or "0" octal digits) and kept modulo 2^16. Other text is a signed
// decimal that saturates at the 32-bit limits ("4294967295" gives 0x7FFFFFFF).
void ParseXmlColor(CColor& out, std::string_view text);
