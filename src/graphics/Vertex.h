#pragma once
// The one vertex layout every draw hands to the device: pre-transformed position in back-buffer
// pixels, diffuse and specular colour, one texture coordinate (FVF 0x1C4, 32 bytes).
#include "core/Types.h"

namespace lv::graphics {

struct CVertex
{
    float x = 0.0f;
    float y = 0.0f;
    float z = 0.0f;
    float rhw = 1.0f;
    u32 diffuse = 0;
    u32 specular = 0;
    float u = 0.0f;
    float v = 0.0f;
};
static_assert(sizeof(CVertex) == 32, "the device reads vertices with a stride of 32 bytes");

// FVF of CVertex: XYZRHW | DIFFUSE | SPECULAR | TEX1.
inline constexpr u32 kVertexFvf = 0x1C4;
inline constexpr u32 kVertexStride = sizeof(CVertex);

// Every draw builds its vertices in a local array of this many; clipping hands its output on in
// chunks of at most this many.
inline constexpr u32 kMaxDrawVertices = 64;

} // namespace lv::graphics
