#include "graphics/AspectMapping.h"

#include <gtest/gtest.h>

using lv::graphics::ComputeAspectMapping;

TEST(AspectMapping, ScaleAndLetterboxOffset)
{
    struct
    {
        s32 sw, sh, tw, th;
        bool preserve;
        float kx, ky, ox, oy;
    } cases[] = {
        // Narrower screen: bars above and below; 1024 / (1366 / 768) = 575.7 gives 575 rows.
        {1366, 768, 1024, 768, true, 1024.0f / 1366, 575.0f / 768, 0, 96.5f},
        // 1920 x 1080 differs from the design aspect by less than 0.001: stretched, no bars.
        {1366, 768, 1920, 1080, true, 1920.0f / 1366, 1080.0f / 768, 0, 0},
        // Wider screen: bars left and right; 768 * 1.7786 = 1366.0 gives 1366 columns.
        {1366, 768, 2560, 768, true, 1366.0f / 1366, 1, 597, 0},
        {1024, 768, 1366, 768, true, 1, 1, 171, 0},
        // Without preservation the design area covers the whole back buffer.
        {1366, 768, 1024, 768, false, 1024.0f / 1366, 1, 0, 0},
        {1366, 768, 2560, 768, false, 2560.0f / 1366, 1, 0, 0},
        // Equal sizes, an empty design or an empty target: identity.
        {1366, 768, 1366, 768, true, 1, 1, 0, 0},
        {0, 0, 1024, 768, true, 1, 1, 0, 0},
        {1366, 768, 0, 768, true, 1, 1, 0, 0},
        {1366, 768, 1024, 0, true, 1, 1, 0, 0},
        // One empty design side would divide by zero.
        {1366, 0, 1024, 768, true, 1, 1, 0, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message()
                     << c.sw << "x" << c.sh << " on " << c.tw << "x" << c.th << " preserve " << c.preserve);
        CVector2 k, o;
        ComputeAspectMapping(c.sw, c.sh, c.tw, c.th, c.preserve, k, o);
        EXPECT_FLOAT_EQ(k.X, c.kx);
        EXPECT_FLOAT_EQ(k.Y, c.ky);
        EXPECT_FLOAT_EQ(o.X, c.ox);
        EXPECT_FLOAT_EQ(o.Y, c.oy);
    }
}
