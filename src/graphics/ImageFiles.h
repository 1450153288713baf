#pragma once
// The two entry points the texture code uses: the size of a ".png" or ".jpg" file without
// decoding it, and its pixels. The extension (after the last '.') picks the decoder, without
// regard to case; any other extension, or none, is refused.
#include "core/Types.h"
#include "graphics/ImageBuffer.h"

namespace lv::misc::imagelib {

bool ReadImageFileSize(const char* path, s32* width, s32* height);
bool DecodeImageFile(const char* path, CImageBuffer& out);

// Box-filter downscale of 0xAARRGGBB pixels into a target no larger than the source.
void DownscaleArgb(const u32* source, u32 sourceWidth, u32 sourceHeight, u32* target, u32 targetWidth,
                   u32 targetHeight);

} // namespace lv::misc::imagelib
