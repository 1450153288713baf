#pragma once
#include "core/Types.h"

namespace lv::graphics {

// A sub-rectangle of a texture in texels.
struct CShortRect
{
    s16 x = 0;
    s16 y = 0;
    s16 width = 0;
    s16 height = 0;
};

} // namespace lv::graphics
