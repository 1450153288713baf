#pragma once
// Where on a texture an image's frames lie and how they animate: a 220-byte head followed by
// frameCount uv rectangles (u0, v0, u1, v1). Normally a block inside the texture declarations.
#include "core/FixedString.h"
#include "core/FloatRect.h"
#include "core/Types.h"

namespace lv::graphics {

struct CImageInfo
{
    static constexpr u32 kFlagShared = 0x2;
    static constexpr u32 kMaxFrames = 32;

    CFixedString name;
    u32 animationType;
    u32 flags;
    u16 frameWidth;
    u16 frameHeight;
    s16 delays[kMaxFrames];
    u8 frameMap[kMaxFrames];
    u32 groupOffset;
    u32 surfaceOffset;
    u8 gridColumns;
    u8 gridRows;
    u8 delayCount;
    u8 mapCount;
    s16 totalDuration;
    u16 frameCount;

    // The frames follow the head; each is read as a uv rectangle (u0, v0, u1, v1).
    const CFloatRect* GetFrames() const { return reinterpret_cast<const CFloatRect*>(this + 1); }
    CFloatRect* GetFrames() { return reinterpret_cast<CFloatRect*>(this + 1); }

    static u32 BlockSize(u32 frameCount) { return sizeof(CImageInfo) + 16 * frameCount; }
};
static_assert(sizeof(CImageInfo) == 220, "image blocks are stored with a 220-byte head");
static_assert(sizeof(CFloatRect) == 16);

} // namespace lv::graphics
