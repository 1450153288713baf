#pragma once
// The system's monotonic clock.
#include "core/Types.h"

namespace lv::platform {

// Milliseconds of a monotonic clock, wrapping at 2^32 like the Windows tick count; differences
// taken with unsigned subtraction stay right across the wrap.
u32 GetTickCountMs();

} // namespace lv::platform
