#pragma once
// The points of a clickable area, read in place from the area's payload in the quest data image
// (offset, size and angle, which areas do not use, then the point count and the points).
#include "core/Types.h"
#include "core/Vector2.h"

namespace qe {

class CAreaPolygon
{
public:
    // Payload layout: 5 floats, the int32 count, then count pairs of floats.
    static constexpr size_t kPayloadHeaderSize = 24;

    const CVector2* GetPoints() const;
    s32 GetPointCount() const;
    // Crossing count along the horizontal line through the point: inside when the crossings on
    // both sides are odd; a point on the outline is inside.
    bool Contains(const CVector2& point) const;
    // Average of the points and size of their bounding box; (0, 0) without points.
    CVector2 GetCentre() const;
    CVector2 GetExtent() const;

protected:
    void SetPayload(const u8* payload) { m_Payload = payload; }
    const u8* GetPayload() const { return m_Payload; }

private:
    const u8* m_Payload = nullptr;
};

static_assert(sizeof(CVector2) == 8);

} // namespace qe
