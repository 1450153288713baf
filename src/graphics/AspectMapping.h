#pragma once
#include "core/Types.h"
#include "core/Vector2.h"

namespace lv::graphics {

// Scale and letterbox offset that map a source (design) size onto a target (back-buffer) size. A
// design point p lands on the pixel p * scale + offset. With the aspect preserved the picture is
// narrowed on the wider axis and centred; aspect differences of 0.001 or less are stretched.
void ComputeAspectMapping(s32 sourceWidth, s32 sourceHeight, s32 targetWidth, s32 targetHeight,
                          bool preserveAspect, CVector2& scale, CVector2& offset);

} // namespace lv::graphics
