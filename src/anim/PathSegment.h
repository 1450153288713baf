#pragma once
// One cubic segment of a Bezier path between two of its points (held by index), sampled at
// sixteenths with the running arc length, which turn fractions of the length into points.
#include "core/Types.h"
#include "core/Vector2.h"

struct CPathSegment
{
    static constexpr int kSamples = 15;

    u32 Start = 0;
    u32 End = 0;
    CVector2 Samples[kSamples + 1]; // [j] for t = j / 16, j = 1..15, in frame coordinates
    float Lengths[kSamples + 1] = {}; // [j] = length from the start through sample j
    float Length = 0;
};
