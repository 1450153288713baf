#pragma once
// PVR version 2 texture files (52-byte header, then the levels) and their LZO1X-compressed
// ".pvrlzo" form, made from 0xAARRGGBB pixels.
#include <vector>

#include "core/Types.h"

namespace lv::content {

// The top level of pixels in a PVR pixel type: 5 (ARGB 8888, bytes B G R A), 0 (ARGB 4444),
// 1 (ARGB 1555), 2 (RGB 565); false for other types.
bool ConvertArgbToPvr(const std::vector<u32>& pixels, u32 pixelType, std::vector<u8>& out);

// A whole PVR file: the header (tag "PVR!", given mip-map count), then the data as given (the top
// level followed by any smaller levels).
std::vector<u8> BuildPvr(u32 width, u32 height, u32 pixelType, u32 mipMapCount, const std::vector<u8>& data);

// The ".pvrlzo" form of a file: the LZO1X stream, then 4 zero bytes and the original size.
std::vector<u8> CompressPvrLzo(const std::vector<u8>& file);

} // namespace lv::content
