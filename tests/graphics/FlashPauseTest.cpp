#include "graphics/Flash.h"

#include <gtest/gtest.h>

TEST(Flash, PauseAllNestsAndNeverGoesBelowZero)
{
    using lv::graphics::CFlash;
    const s32 base = CFlash::GetPauseAllLevel();
    CFlash::PauseAll(true);
    CFlash::PauseAll(true);
    CFlash::PauseAll(false);
    EXPECT_EQ(CFlash::GetPauseAllLevel(), base + 1);
    for (int i = 0; i < 5; ++i)
        CFlash::PauseAll(false);
    EXPECT_EQ(CFlash::GetPauseAllLevel(), 0);
}
