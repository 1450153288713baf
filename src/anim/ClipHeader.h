#pragma once
// The head of one clip record in the clip definitions (120 bytes), followed by the item records
// and a u32 0 that ends them. The size covers head, items and terminator.
#include "anim/ClipItem.h"
#include "core/FixedString.h"
#include "core/FloatRect.h"
#include "core/Types.h"

#include <cstddef>

namespace lv::misc::anim {

struct CClipHeader
{
    static constexpr u32 kFlagAbsoluteTransform = 0x1;

    u32 Size = 0;
    CFixedString Name; // `id`
    u32 Flags = 0;     // bit 0: `absolute_transform`
    CFloatRect Rect;   // `x`, `y`, `w`, `h`: the clip's own frame

    const CClipItem* GetFirstItem() const
    {
        return reinterpret_cast<const CClipItem*>(reinterpret_cast<const u8*>(this) + sizeof(CClipHeader));
    }
};

static_assert(sizeof(CClipHeader) == 120);
static_assert(offsetof(CClipHeader, Flags) == 100 && offsetof(CClipHeader, Rect) == 104);

} // namespace lv::misc::anim
