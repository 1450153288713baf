#include "core/FrameLimiter.h"

#include <gtest/gtest.h>

#include <atomic>
#include <condition_variable>
#include <mutex>
#include <thread>
#include <vector>

using lv::core::CFrameLimiter;

namespace {

// A clock the test moves by hand. The limiter's thread parks in WaitUntil, which records each
// deadline it asks for and returns once the test has moved the clock that far.
class CManualTimeline
{
public:
    s64 Now()
    {
        std::lock_guard<std::mutex> lock(m_Mutex);
        return m_Now;
    }
    void WaitUntil(s64 deadline)
    {
        std::unique_lock<std::mutex> lock(m_Mutex);
        m_Deadlines.push_back(deadline);
        m_Changed.notify_all();
        m_Changed.wait(lock, [&] { return m_Open || m_Now >= deadline; });
    }
    // Waits until the thread has asked for `count` deadlines in all and parks at the last.
    std::vector<s64> Deadlines(size_t count)
    {
        std::unique_lock<std::mutex> lock(m_Mutex);
        m_Changed.wait(lock, [&] { return m_Deadlines.size() >= count; });
        return m_Deadlines;
    }
    void MoveTo(s64 now)
    {
        std::lock_guard<std::mutex> lock(m_Mutex);
        m_Now = now;
        m_Changed.notify_all();
    }
    // Lets every wait return at once, so that the thread can see a stop.
    void Open()
    {
        std::lock_guard<std::mutex> lock(m_Mutex);
        m_Open = true;
        m_Changed.notify_all();
    }

private:
    std::mutex m_Mutex;
    std::condition_variable m_Changed;
    s64 m_Now = 1000000;
    bool m_Open = false;
    std::vector<s64> m_Deadlines;
};

} // namespace

TEST(FrameLimiter, PacesFramesOnTheClockAndCatchesUpOneSlowFrame)
{
    CManualTimeline time;
    CFrameLimiter limiter([&] { return time.Now(); }, [&](s64 deadline) { time.WaitUntil(deadline); });
    limiter.SetLimit(50); // 20 ms
    const s64 t0 = 1000000;
    using Deadlines = std::vector<s64>;

    // The first frame is due one interval after the start, the next one interval later.
    EXPECT_EQ(time.Deadlines(1), (Deadlines{t0 + 20000}));
    time.MoveTo(t0 + 20000);
    EXPECT_EQ(time.Deadlines(2), (Deadlines{t0 + 20000, t0 + 40000}));
    limiter.Wait(); // the frame signalled at 20 ms

    // A frame that takes 35 ms (from 20 to 55 ms) misses the tick at 40 ms: the next Wait
    // returns at once, and the one after waits for the tick at 60 ms.
    time.MoveTo(t0 + 55000);
    EXPECT_EQ(time.Deadlines(3).back(), t0 + 60000);
    limiter.Wait(); // must not wait: the stored signal is taken at once
    std::atomic<bool> done{false};
    std::thread frame([&] {
        limiter.Wait();
        done = true;
    });
    std::this_thread::yield();
    EXPECT_FALSE(done.load()) << "waited for nothing";
    time.MoveTo(t0 + 60000);
    frame.join();
    EXPECT_EQ(time.Deadlines(4).back(), t0 + 80000);

    // Far behind (the process was stopped for a second): the schedule starts afresh from now
    // instead of signalling every missed frame.
    time.MoveTo(t0 + 1080000);
    const Deadlines after = time.Deadlines(6);
    EXPECT_EQ(after[4], t0 + 1080000);
    EXPECT_EQ(after[5], t0 + 1100000);

    time.Open();
    limiter.Stop();
    EXPECT_FALSE(limiter.IsRunning());
}

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

TEST(FrameLimiter, ProcessWideLimiterStartsOffAndRunsOnTheMonotonicClock)
{
    CFrameLimiter& limiter = CFrameLimiter::Instance();
    EXPECT_EQ(&limiter, &CFrameLimiter::Instance());
    EXPECT_EQ(limiter.GetIntervalMs(), 0u);
    EXPECT_FALSE(limiter.IsRunning());
    limiter.Wait(); // would hang if it blocked without a limit
    limiter.SetLimit(1000);
    EXPECT_TRUE(limiter.IsRunning());
    for (int i = 0; i < 3; ++i)
        limiter.Wait(); // signals come only while the real clock moves on
    limiter.Stop();
    EXPECT_FALSE(limiter.IsRunning());
    EXPECT_EQ(limiter.GetIntervalMs(), 0u);
}
