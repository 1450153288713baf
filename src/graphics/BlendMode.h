#pragma once
// Blend modes are plain integers shared by the whole program.
#include "core/Types.h"

namespace lv::graphics {

inline constexpr s32 BlendNone = 1;
inline constexpr s32 BlendNormal = 2;
inline constexpr s32 BlendAdditive = 3;

} // namespace lv::graphics
