#include "graphics/AspectMapping.h"

namespace lv::graphics {

void ComputeAspectMapping(s32 sourceWidth, s32 sourceHeight, s32 targetWidth, s32 targetHeight,
                          bool preserveAspect, CVector2& scale, CVector2& offset)
{
    scale = CVector2(1, 1);
    offset = CVector2(0, 0);
    if ((sourceWidth == 0 && sourceHeight == 0) ||
        (sourceWidth == targetWidth && sourceHeight == targetHeight) || targetHeight == 0 || targetWidth == 0)
        return;
    // One zero source side would divide by zero below.
    if (sourceWidth == 0 || sourceHeight == 0)
        return;
    const float sourceAspect = static_cast<float>(sourceWidth) / static_cast<float>(sourceHeight);
    const float targetAspect = static_cast<float>(targetWidth) / static_cast<float>(targetHeight);
    if (preserveAspect) {
        if (targetAspect - sourceAspect > 0.001f) {
            const s32 w = static_cast<s32>(static_cast<float>(targetHeight) * sourceAspect);
            offset.X = static_cast<float>(targetWidth - w) / 2.0f;
            targetWidth = w;
        } else if (sourceAspect - targetAspect > 0.001f) {
            const s32 h = static_cast<s32>(static_cast<float>(targetWidth) / sourceAspect);
            offset.Y = static_cast<float>(targetHeight - h) / 2.0f;
            targetHeight = h;
        }
    }
    scale = CVector2(static_cast<float>(targetWidth) / static_cast<float>(sourceWidth),
                     static_cast<float>(targetHeight) / static_cast<float>(sourceHeight));
}

} // namespace lv::graphics
