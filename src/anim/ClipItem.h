#pragma once
// One object of a clip definition as stored (little-endian): a 276-byte head common to every
// kind, the kind's own data, then the key points, the sound points and the markers. The size
// covers all of it, so the next item starts at this one plus its size; a size of 0 ends a clip.
#include "anim/ClipKeyPoint.h"
#include "anim/ClipMarker.h"
#include "anim/ClipSoundPoint.h"
#include "core/Color.h"
#include "core/FixedString.h"
#include "core/FloatRect.h"
#include "core/Quad.h"
#include "core/Types.h"
#include "core/Vector2.h"

#include <cstddef>

namespace lv::misc::anim {

enum EClipItemKind : u32
{
    ClipItemPath = 1,
    ClipItemImage = 2,
    ClipItemParticle = 3,
    ClipItemClip = 4,
    ClipItemText = 5,
};

// One control point of a path: the segment's two handles and the point the curve goes through.
struct CClipPathPoint
{
    CVector2 P1;     // `p1`
    CVector2 P2;     // `p2`
    CVector2 Anchor; // `a`
};

// Kind 1: the point table follows the four bytes.
struct CClipPathData
{
    u8 Closed = 0;     // `closed`
    u8 PointCount = 0; // `p` elements, at most 255
    u8 Padding[2] = {};

    const CClipPathPoint* GetPoints() const
    {
        return reinterpret_cast<const CClipPathPoint*>(reinterpret_cast<const u8*>(this) + 4);
    }
};

// Kind 2.
struct CClipImageData
{
    CFixedString ImageName; // `i_id`
};

// Kind 3.
struct CClipParticleData
{
    CFixedString ParticleName; // `p_id`
    s32 AdvanceTime = 0;       // `adv_time`
    u8 FixEmit = 0;            // `fix_emit`
    u8 Scale = 0;              // `scale`
    u8 Padding[2] = {};
};

// Kind 4.
struct CClipNestedData
{
    CFixedString ClipName; // `clip_id`
};

// Kind 5.
struct CClipTextData
{
    CFixedString Font;                   // `ft`
    s32 TextFlags = 0;                   // `tx_fl`
    CFloatRect Bounds;                   // `bnd`
    CFixedString Background;             // `bk`
    CColor BackgroundColor;              // `bk_c`
    CFloatRect Insets;                   // `ins`
    CBasicFixedString<char, 56> Text;    // `tx`
};

struct CClipItem
{
    static constexpr u32 kHeadSize = 276;

    u32 Size = 0;
    u32 Kind = 0;
    CFixedString Name;    // `id`
    CVector2 Position;    // `p`
    CQuad Corners;        // `py`: offsets from the position
    float Angle = 0;      // `a`
    CColor Color;         // `c`, opaque white unless given
    s32 Flip = 0;         // `flip`: bit 0 mirror x, bit 1 mirror y
    s32 UserFlags = 0;    // `uflags`
    s32 AnimMode = 0;     // `at`: 0 once, 1 loop, 2 ping-pong
    s32 Reverse = 0;      // `ad`
    CFixedString ParentName; // `path`
    u8 Snap = 0;          // `snap`
    u8 Additive = 0;      // `add_b`
    u8 Visible = 0;       // `vis`: only visible items become objects
    u8 KeyPointCount = 0;
    u8 SoundPointCount = 0;
    u8 MarkerCount = 0;
    u8 Padding[2] = {};

    // Size of a kind's own data; 0 for a kind that does not exist. A path's depends on its
    // point count, which the data itself holds.
    static u32 KindDataSize(u32 kind, u32 pathPoints)
    {
        switch (kind) {
        case ClipItemPath: return 4 + 24 * pathPoints;
        case ClipItemImage: return sizeof(CClipImageData);
        case ClipItemParticle: return sizeof(CClipParticleData);
        case ClipItemClip: return sizeof(CClipNestedData);
        case ClipItemText: return sizeof(CClipTextData);
        default: return 0;
        }
    }

    const u8* GetKindData() const { return reinterpret_cast<const u8*>(this) + kHeadSize; }
    u32 GetKindDataSize() const
    {
        return KindDataSize(Kind, Kind == ClipItemPath ? GetKindData()[1] : 0);
    }
    const CClipKeyPoint* GetKeyPoints() const
    {
        return reinterpret_cast<const CClipKeyPoint*>(GetKindData() + GetKindDataSize());
    }
    const CClipSoundPoint* GetSoundPoints() const
    {
        return reinterpret_cast<const CClipSoundPoint*>(reinterpret_cast<const u8*>(GetKeyPoints()) +
                                                        sizeof(CClipKeyPoint) * KeyPointCount);
    }
    const CClipMarker* GetMarkers() const
    {
        return reinterpret_cast<const CClipMarker*>(reinterpret_cast<const u8*>(GetSoundPoints()) +
                                                    sizeof(CClipSoundPoint) * SoundPointCount);
    }
    // The exact size an item of this kind and these counts has.
    u32 GetExpectedSize() const
    {
        return kHeadSize + GetKindDataSize() + sizeof(CClipKeyPoint) * KeyPointCount +
               sizeof(CClipSoundPoint) * SoundPointCount + sizeof(CClipMarker) * MarkerCount;
    }
    const CClipItem* GetNext() const
    {
        return reinterpret_cast<const CClipItem*>(reinterpret_cast<const u8*>(this) + Size);
    }

    const CClipPathData& GetPathData() const { return *reinterpret_cast<const CClipPathData*>(GetKindData()); }
    const CClipImageData& GetImageData() const { return *reinterpret_cast<const CClipImageData*>(GetKindData()); }
    const CClipParticleData& GetParticleData() const
    {
        return *reinterpret_cast<const CClipParticleData*>(GetKindData());
    }
    const CClipNestedData& GetNestedData() const { return *reinterpret_cast<const CClipNestedData*>(GetKindData()); }
    const CClipTextData& GetTextData() const { return *reinterpret_cast<const CClipTextData*>(GetKindData()); }
};

static_assert(sizeof(CClipPathPoint) == 24);
static_assert(sizeof(CClipPathData) == 4);
static_assert(sizeof(CClipImageData) == 96);
static_assert(sizeof(CClipParticleData) == 104);
static_assert(sizeof(CClipNestedData) == 96);
static_assert(sizeof(CClipTextData) == 300);
static_assert(offsetof(CClipTextData, Background) == 116 && offsetof(CClipTextData, Insets) == 220);
static_assert(offsetof(CClipTextData, Text) == 236);
static_assert(sizeof(CClipItem) == CClipItem::kHeadSize);
static_assert(offsetof(CClipItem, Position) == 104 && offsetof(CClipItem, Color) == 148);
static_assert(offsetof(CClipItem, ParentName) == 172 && offsetof(CClipItem, Snap) == 268);

} // namespace lv::misc::anim
