#pragma once
#include "core/Types.h"
#include "platform/d3d9/d3d9.h"

namespace lv::graphics {

// What one texture stage holds: the texture and 25 state values indexed by a state id that
// follows the older numbering in which the sampler settings were stage states.
struct CTextureStageRecord
{
    static constexpr u32 kStateCount = 25;

    IDirect3DBaseTexture9* texture = nullptr;
    u32 states[kStateCount] = {};

    bool operator==(const CTextureStageRecord& other) const = default;
};

} // namespace lv::graphics
