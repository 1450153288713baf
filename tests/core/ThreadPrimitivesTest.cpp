#include "core/CriticalSection.h"
#include "core/Event.h"
#include "core/Thread.h"
#include "core/ThreadUtil.h"

#include <gtest/gtest.h>

#include <atomic>
#include <thread>

using lv::mt::CCriticalSection;
using lv::mt::CEvent;
using lv::mt::CThread;

namespace {

u32 StoreSeven(void* data)
{
    static_cast<std::atomic<int>*>(data)->store(7);
    return 0;
}

} // namespace

TEST(Thread, RunsRoutineWithUserDataAndJoins)
{
    std::atomic<int> value{0};
    CThread thread;
    EXPECT_FALSE(thread.IsValid());
    EXPECT_FALSE(thread.Join()); // nothing to join
    ASSERT_TRUE(thread.Start(&StoreSeven, &value));
    EXPECT_TRUE(thread.IsValid());
    EXPECT_FALSE(thread.Start(&StoreSeven, &value)); // already holds a thread
    EXPECT_TRUE(thread.Join());
    EXPECT_EQ(value.load(), 7);
    EXPECT_TRUE(thread.Join()); // an ended thread joins again at once
    thread.Close();
    EXPECT_FALSE(thread.IsValid());
    EXPECT_TRUE(thread.Start(&StoreSeven, &value)); // reusable after Close
    EXPECT_TRUE(thread.Join());
}

TEST(CriticalSection, IsReentrantAndExcludesOtherThreads)
{
    CCriticalSection section;
    ASSERT_TRUE(section.IsValid());
    ASSERT_TRUE(section.Enter());
    ASSERT_TRUE(section.Enter()); // the owner enters again
    ASSERT_TRUE(section.TryEnter());
    auto otherThreadGetsIn = [&section] {
        bool entered = false;
        std::thread other([&] {
            entered = section.TryEnter();
            if (entered)
                section.Leave();
        });
        other.join();
        return entered;
    };
    EXPECT_FALSE(otherThreadGetsIn());
    EXPECT_TRUE(section.Leave());
    EXPECT_TRUE(section.Leave());
    EXPECT_FALSE(otherThreadGetsIn()); // still entered once
    EXPECT_TRUE(section.Leave());
    EXPECT_TRUE(otherThreadGetsIn());
}

TEST(Event, StoresAtMostOneSignalAndResetsItself)
{
    CEvent event;
    ASSERT_TRUE(event.IsValid());
    EXPECT_EQ(event.WaitTimeout(0), -1); // starts not signalled
    EXPECT_TRUE(event.Set());
    EXPECT_TRUE(event.Set());
    EXPECT_EQ(event.WaitTimeout(0), 1);
    EXPECT_EQ(event.WaitTimeout(0), -1); // the second Set added nothing
    EXPECT_TRUE(event.Set());
    EXPECT_TRUE(event.Wait());
    EXPECT_EQ(event.WaitTimeout(0), -1);
}

TEST(Event, WakesAWaiterOnAnotherThread)
{
    CEvent ready;
    CEvent reply;
    std::thread other([&] {
        ready.Wait();
        reply.Set();
    });
    ready.Set();
    EXPECT_TRUE(reply.Wait());
    other.join();
}

TEST(ThreadUtil, AtomicIncrementReturnsNewValueAndWraps)
{
    std::atomic<s32> value{-1};
    EXPECT_EQ(lv::mt::AtomicIncrement(value), 0);
    EXPECT_EQ(lv::mt::AtomicIncrement(value), 1);
    value = 0x7FFFFFFF;
    EXPECT_EQ(lv::mt::AtomicIncrement(value), static_cast<s32>(0x80000000u));
}
