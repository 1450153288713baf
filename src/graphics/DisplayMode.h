#pragma once
#include "core/Types.h"

namespace lv::graphics {

// One full-screen mode the adapter offers.
struct CDisplayMode
{
    s32 width = 0;
    s32 height = 0;
    bool flag = true;
};

} // namespace lv::graphics
