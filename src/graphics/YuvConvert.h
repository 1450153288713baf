#pragma once
// 4:2:0 YUV pictures to 32-bit B, G, R, A pixels (BT.601 studio range, 13-bit fixed point), the
// layout CTexture::UploadArgb takes. The output is width x height x 4 bytes with no row gap.
#include "core/Types.h"

#include <theora/theora.h>

struct vpx_image;

namespace lv::graphics {

// One picture as three planes; strides may be negative (rows running upward in memory).
struct CYuvPicture
{
    s32 width = 0;
    s32 height = 0;
    const u8* y = nullptr;
    const u8* u = nullptr;
    const u8* v = nullptr;
    s32 yStride = 0;
    s32 uStride = 0;
    s32 vStride = 0;
};

// Writes B, G, R of every pixel; every fourth byte keeps what it held.
void YuvToRgbaOpaque(u8* out, const CYuvPicture& picture);
// Also writes A from the alpha picture's luma at the same pixel; the alpha picture must be at
// least as large as the colour picture.
void YuvToRgbaWithAlpha(u8* out, const CYuvPicture& colour, const CYuvPicture& alpha);

// The libvpx form: displayed width and height, planes and strides 0, 1, 2.
CYuvPicture YuvPictureOf(const vpx_image& image);
void YuvToRgbaOpaque(u8* out, const vpx_image& image);
void YuvToRgbaWithAlpha(u8* out, const vpx_image& colour, const vpx_image& alpha);

// The Theora form: y_width x y_height, y_stride, one uv_stride for U and V.
CYuvPicture YuvPictureOf(const yuv_buffer& buffer);
void YuvToRgbaOpaque(u8* out, const yuv_buffer& buffer);
void YuvToRgbaWithAlpha(u8* out, const yuv_buffer& colour, const yuv_buffer& alpha);

} // namespace lv::graphics
