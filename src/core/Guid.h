#pragma once
// Object and scene guids are written in content as up to eleven base-64 digits, lowest first
// ("/0-9A-Za-z+"); any other character counts as digit 0.
#include "core/Types.h"

#include <string_view>

namespace lv::core {

u64 ParseGuid(std::string_view text);

} // namespace lv::core
