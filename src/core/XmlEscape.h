#pragma once
// Escaping of text for XML attribute values written by CXmlWriter.
#include "core/Types.h"

#include <string>
#include <string_view>

namespace lv::core {

// Each byte becomes itself, one of the five named entities, or "&#xHH;" below 0x20. UTF-8
// sequences pass through unchanged.
std::string XmlEscape(std::string_view text);

// UTF-16 text to escaped UTF-8.
std::string XmlEscapeWide(WStringView text);

// Text in the narrow code page to escaped UTF-8.
std::string XmlEscapeAnsi(std::string_view text);

} // namespace lv::core
