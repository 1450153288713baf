#pragma once
// Decoded pixels: width x height 32-bit values 0xAARRGGBB (bytes B, G, R, A), rows top first,
// each exactly width x 4 bytes. The decoder allocates them with malloc.
#include "core/Types.h"

namespace lv::misc::imagelib {

class CImageBuffer
{
public:
    static constexpr s32 kFormatArgb32 = 3;

    CImageBuffer() = default;
    ~CImageBuffer() { Free(); }
    CImageBuffer(const CImageBuffer&) = delete;
    CImageBuffer& operator=(const CImageBuffer&) = delete;

    void Free();

    s32 width = 0;
    s32 height = 0;
    u8* pixels = nullptr;
    s32 format = kFormatArgb32;
};

} // namespace lv::misc::imagelib
