#pragma once
// One 4:2:0 picture drawn by a test or tool: full-size luma, chroma at half size rounded up.
#include "core/Types.h"

#include <vector>

namespace lv::content {

struct CYuvFrame
{
    u32 width = 0;
    u32 height = 0;
    std::vector<u8> y;
    std::vector<u8> u;
    std::vector<u8> v;

    CYuvFrame() = default;
    // Filled with one colour.
    CYuvFrame(u32 w, u32 h, u8 luma = 16, u8 cb = 128, u8 cr = 128)
        : width(w), height(h), y(static_cast<size_t>(w) * h, luma),
          u(static_cast<size_t>(ChromaWidth()) * ChromaHeight(), cb),
          v(static_cast<size_t>(ChromaWidth()) * ChromaHeight(), cr)
    {
    }
    u32 ChromaWidth() const { return (width + 1) / 2; }
    u32 ChromaHeight() const { return (height + 1) / 2; }
    u8& Y(u32 x, u32 row) { return y[static_cast<size_t>(row) * width + x]; }
    u8& U(u32 x, u32 row) { return u[static_cast<size_t>(row) * ChromaWidth() + x]; }
    u8& V(u32 x, u32 row) { return v[static_cast<size_t>(row) * ChromaWidth() + x]; }
};

} // namespace lv::content
