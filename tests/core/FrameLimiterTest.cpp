#include "core/FrameLimiter.h"

#include <gtest/gtest.h>

using lv::core::CFrameLimiter;

TEST(FrameLimiter, OffByDefaultAndWaitReturnsAtOnce)
{
    CFrameLimiter limiter;
    EXPECT_EQ(limiter.GetIntervalMs(), 0u);
    EXPECT_FALSE(limiter.IsRunning());
    limiter.Wait(); // would hang the test if it blocked
    limiter.SetLimit(0);
    EXPECT_FALSE(limiter.IsRunning());
    limiter.Wait();
}

TEST(FrameLimiter, IntervalIsWholeMillisecondsAndChangesInPlace)
{
    CFrameLimiter limiter;
    limiter.SetLimit(60);
    EXPECT_EQ(limiter.GetIntervalMs(), 16u);
    EXPECT_TRUE(limiter.IsRunning());
    limiter.SetLimit(30);
    EXPECT_EQ(limiter.GetIntervalMs(), 33u);
    EXPECT_TRUE(limiter.IsRunning());
    limiter.Wait();
    limiter.SetLimit(1001); // above 1000 frames per second there is no limit
    EXPECT_EQ(limiter.GetIntervalMs(), 0u);
    EXPECT_FALSE(limiter.IsRunning());
    limiter.Wait();
}

TEST(FrameLimiter, SignalsEveryFrameUntilStopped)
{
    CFrameLimiter limiter;
    limiter.SetLimit(1000);
    EXPECT_EQ(limiter.GetIntervalMs(), 1u);
    for (int i = 0; i < 20; ++i)
        limiter.Wait();
    limiter.Stop();
    EXPECT_FALSE(limiter.IsRunning());
    limiter.Wait();
    limiter.SetLimit(500); // starts again after a stop
    limiter.Wait();
}

TEST(FrameLimiter, ProcessWideLimiterStartsOff)
{
    CFrameLimiter& limiter = CFrameLimiter::Instance();
    EXPECT_EQ(&limiter, &CFrameLimiter::Instance());
    EXPECT_EQ(limiter.GetIntervalMs(), 0u);
    limiter.Wait();
}
