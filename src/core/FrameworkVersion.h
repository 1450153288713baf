#pragma once
// The framework's version banner, one line of the program's "--version" box.
#include "core/Types.h"

namespace lv::core {

WString GetFrameworkVersion();

} // namespace lv::core
