#pragma once
// Frames for the video benchmarks: a moving colour gradient with some grain, which gives the
// encoders and decoders real work.
#include "content/YuvFrame.h"
#include "core/Types.h"

#include <random>

namespace benchsupport {

inline lv::content::CYuvFrame GrainyGradientFrame(u32 width, u32 height, u32 index, std::mt19937& random)
{
    lv::content::CYuvFrame f(width, height);
    for (u32 y = 0; y < height; ++y)
        for (u32 x = 0; x < width; ++x)
            f.Y(x, y) = static_cast<u8>(16 + ((x + 2 * y + 6 * index) % 200) + random() % 8);
    for (u32 y = 0; y < f.ChromaHeight(); ++y)
        for (u32 x = 0; x < f.ChromaWidth(); ++x) {
            f.U(x, y) = static_cast<u8>(64 + (x + 3 * index) % 128);
            f.V(x, y) = static_cast<u8>(64 + (y + 2 * index) % 128);
        }
    return f;
}

} // namespace benchsupport
