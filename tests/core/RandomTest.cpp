#include "core/Random.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

TEST(Random, RangeAndSeeding)
{
    SeedRandom(12345);
    std::vector<s32> first;
    s32 low = kRandomMax, high = 0;
    for (int i = 0; i < 10000; ++i)
    {
        const s32 value = RandomInt();
        ASSERT_GE(value, 0);
        ASSERT_LE(value, kRandomMax);
        low = std::min(low, value);
        high = std::max(high, value);
        if (i < 8)
            first.push_back(value);
    }
    EXPECT_LT(low, 100);
    EXPECT_GT(high, kRandomMax - 100);

    SeedRandom(12345);
    for (s32 value : first)
        EXPECT_EQ(RandomInt(), value);
    SeedRandom(54321);
    std::vector<s32> other;
    for (size_t i = 0; i < first.size(); ++i)
        other.push_back(RandomInt());
    EXPECT_NE(other, first);
}
