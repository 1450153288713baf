#pragma once
// One control point of a Bezier path, in the frame coordinates of its path.
#include "core/Vector2.h"

struct CPathPoint
{
    CVector2 OutHandle; // second control point of the segment that starts here
    CVector2 InHandle;  // third control point of the segment that ends here
    CVector2 Position;  // the point the curve passes through
};
