#include "core/Timer.h"
#include "core/TimeSystem.h"
#include "core/TimerGroup.h"
#include "core/TimerHandle.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <utility>

using lv::core::CTimer;
using lv::core::CTimerGroup;
using lv::core::CTimerHandle;
using lv::core::CTimeSystem;

namespace {

class TimerTest : public testing::Test
{
protected:
    TimerTest()
    {
        m_Now += 20; // past the clock's starting offset: Advance(n) then gives deltas of n
        m_System.Tick();
    }
    void Advance(double ms)
    {
        m_Now += ms;
        m_System.Tick();
    }

    double m_Now = 0.0;
    CTimeSystem m_System{[this] { return m_Now; }};
};

} // namespace

TEST_F(TimerTest, PauseIsCountedAndSaturates)
{
    CTimer* timer = m_System.CreateTimer(nullptr);
    timer->Pause(false); // resuming a running timer leaves it running
    EXPECT_FALSE(timer->IsPaused());
    Advance(5);
    EXPECT_EQ(timer->GetTime(), 5);

    for (int i = 0; i < 300; ++i)
        timer->Pause(true);
    EXPECT_EQ(timer->GetPauseCount(), 255); // held at the limit instead of wrapping to running
    Advance(5);
    EXPECT_EQ(timer->GetDelta(), 0);
    for (int i = 0; i < 254; ++i)
        timer->Pause(false);
    EXPECT_TRUE(timer->IsPaused());
    timer->Pause(false);
    EXPECT_FALSE(timer->IsPaused());
    Advance(5);
    EXPECT_EQ(timer->GetTime(), 10);

    CTimerGroup* group = m_System.CreateTimerGroup("", nullptr);
    for (int i = 0; i < 300; ++i)
        group->Pause(true);
    EXPECT_EQ(group->GetPauseCount(), 255);
}

TEST_F(TimerTest, SpeedIsAWholeNumberWithinASignedByte)
{
    const struct
    {
        float in;
        float out;
    } cases[] = {
        {1.0f, 1.0f},
        {0.9f, 0.0f},
        {0.5f, 0.0f},
        {2.7f, 2.0f},
        {-1.0f, -1.0f},
        {-2.7f, -2.0f},
        {127.0f, 127.0f},
        {128.0f, 127.0f},
        {1.0e9f, 127.0f},
        {-128.0f, -128.0f},
        {-129.0f, -128.0f},
        {-1.0e9f, -128.0f},
        {std::numeric_limits<float>::infinity(), 127.0f},
        {std::numeric_limits<float>::quiet_NaN(), 0.0f},
    };
    CTimer* timer = m_System.CreateTimer(nullptr);
    CTimerGroup* group = m_System.CreateTimerGroup("", nullptr);
    for (const auto& c : cases) {
        timer->SetSpeed(c.in);
        group->SetSpeed(c.in);
        EXPECT_EQ(timer->GetSpeed(), c.out) << c.in;
        EXPECT_EQ(group->GetSpeed(), c.out) << c.in;
    }
    timer->SetSpeed(-1.0f);
    timer->SetTime(100);
    Advance(30);
    EXPECT_EQ(timer->GetTime(), 70); // runs backwards from where it was set
}

TEST_F(TimerTest, CloneCopiesTheWholeState)
{
    CTimerGroup* other = m_System.CreateTimerGroup("", nullptr);
    CTimer* timer = m_System.CreateTimer(nullptr);
    timer->SetSpeed(-2.0f);
    Advance(10);
    timer->SetTime(123);
    timer->Pause(true);
    timer->Pause(true);

    for (CTimerGroup* target : {static_cast<CTimerGroup*>(nullptr), other}) {
        CTimer* copy = timer->Clone(target);
        ASSERT_NE(copy, timer);
        EXPECT_EQ(copy->GetGroup(), target ? target : timer->GetGroup());
        EXPECT_EQ(copy->GetTime(), 123);
        EXPECT_EQ(copy->GetDelta(), -20);
        EXPECT_EQ(copy->GetPauseCount(), 2);
        EXPECT_EQ(copy->GetSpeed(), -2.0f);
        EXPECT_TRUE(m_System.HoldsTimer(copy));
    }
}

TEST_F(TimerTest, HandleCopyOwnsItsOwnClone)
{
    CTimerHandle original;
    original.Assign(m_System.CreateTimer(nullptr));
    original->SetTime(40);

    CTimerHandle copy(original);
    ASSERT_TRUE(copy);
    EXPECT_NE(copy.Get(), original.Get());
    EXPECT_EQ(copy->GetTime(), 40);
    original->Pause(true);
    Advance(10);
    EXPECT_EQ(original->GetTime(), 40);
    EXPECT_EQ(copy->GetTime(), 50); // runs on its own

    CTimer* copied = copy.Get();
    copy.Reset();
    EXPECT_FALSE(copy);
    EXPECT_FALSE(m_System.HoldsTimer(copied));

    CTimerHandle empty;
    CTimerHandle fromEmpty(empty);
    EXPECT_FALSE(fromEmpty);
}

TEST_F(TimerTest, HandleAssignmentDestroysTheHeldTimer)
{
    CTimerGroup* group = m_System.CreateTimerGroup("", nullptr);
    CTimerHandle a, b;
    a.Assign(group->CreateTimer());
    b.Assign(m_System.CreateTimer(nullptr));
    const size_t count = m_System.GetTimerCount();
    b = a;
    EXPECT_EQ(m_System.GetTimerCount(), count); // b's old timer went, the clone came
    EXPECT_NE(b.Get(), a.Get());
    EXPECT_EQ(b->GetGroup(), group); // the clone lives in the source's group

    CTimer* kept = a.Get();
    auto& self = a;
    a = self;
    EXPECT_EQ(a.Get(), kept); // assigning a handle to itself keeps its timer
    a.Assign(kept);
    EXPECT_TRUE(m_System.HoldsTimer(kept)); // assigning the held timer again keeps it too

    CTimerHandle moved(std::move(a));
    EXPECT_EQ(moved.Get(), kept);
    EXPECT_FALSE(a);

    CTimerHandle empty;
    b = empty;
    EXPECT_FALSE(b);
}

TEST_F(TimerTest, HandleDestroysItsTimerAndSurvivesItsGroup)
{
    CTimer* held = nullptr;
    {
        CTimerHandle handle;
        handle.Assign(m_System.CreateTimer(nullptr));
        held = handle.Get();
        EXPECT_TRUE(m_System.HoldsTimer(held));
    }
    EXPECT_FALSE(m_System.HoldsTimer(held));

    // A handle whose timer went with its group: resetting or copying it must not touch the timer.
    CTimerGroup* group = m_System.CreateTimerGroup("", nullptr);
    CTimerHandle orphan;
    orphan.Assign(group->CreateTimer());
    m_System.DestroyTimerGroup(group);
    CTimerHandle copy(orphan);
    EXPECT_FALSE(copy);
    orphan.Reset();
    EXPECT_FALSE(orphan);
}

TEST_F(TimerTest, StaleHandleNeverTouchesATimerThatReusesItsRecord)
{
    CTimerGroup* group = m_System.CreateTimerGroup("", nullptr);
    CTimerHandle stale;
    stale.Assign(group->CreateTimer());
    CTimer* old = stale.Get();
    m_System.DestroyTimerGroup(group);

    // The next timer takes the freed record: the same address on purpose.
    CTimerHandle fresh;
    fresh.Assign(m_System.CreateTimer(nullptr));
    ASSERT_EQ(fresh.Get(), old);
    fresh->SetTime(77);

    CTimerHandle copy(stale);
    EXPECT_FALSE(copy);
    stale.Reset();
    EXPECT_TRUE(m_System.HoldsTimer(fresh.Get()));
    stale.Assign(nullptr);
    {
        CTimerGroup* second = m_System.CreateTimerGroup("", nullptr);
        CTimerHandle dying;
        dying.Assign(second->CreateTimer());
        m_System.DestroyTimerGroup(second);
        CTimerHandle reused;
        reused.Assign(m_System.CreateTimer(nullptr));
        ASSERT_EQ(reused.Get(), dying.Get());
        reused.Reset();
        // dying's destructor runs on a freed record: it must not look inside it.
    }
    EXPECT_TRUE(m_System.HoldsTimer(fresh.Get()));
    EXPECT_EQ(fresh->GetTime(), 77);
}
