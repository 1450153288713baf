#include "core/TimeSystem.h"
#include "core/TimeSource.h"
#include "core/Log.h"
#include "core/TextConvert.h"
#include "core/Timer.h"
#include "core/TimerGroup.h"
#include "platform/Clock.h"

#include "TempFolder.h"

#include <gtest/gtest.h>

#include <memory>

using lv::core::CTimer;
using lv::core::CTimerGroup;
using lv::core::CTimeSystem;

namespace {

// A time system on a clock the test moves by hand.
class TimeSystemTest : public testing::Test
{
protected:
    TimeSystemTest()
    {
        // Absorbs the clock's starting offset, so each later Advance(n) gives a delta of n.
        Advance(20);
    }

    // Moves the clock and ticks; returns the frame delta.
    s32 Advance(double ms)
    {
        m_Now += ms;
        m_System->Tick();
        return m_System->GetFrameDelta();
    }

    double m_Now = 5000.0; // an arbitrary reading: only differences count
    std::unique_ptr<CTimeSystem> m_System = std::make_unique<CTimeSystem>([this] { return m_Now; });
};

} // namespace

TEST(TimeSystem, FrameTimeStartsTwentyMillisecondsBehindTheClock)
{
    double now = 1000.0;
    CTimeSystem system([&now] { return now; });
    EXPECT_EQ(system.GetTime(), 0);
    EXPECT_DOUBLE_EQ(system.GetRawTimeMs(), 0.0);
    now += 100.0;
    EXPECT_FLOAT_EQ(system.GetRawTime(), 100.0f);
    system.Tick();
    EXPECT_EQ(system.GetFrameDelta(), 80);
    EXPECT_EQ(system.GetTime(), 80);
    EXPECT_EQ(system.GetRootTime(), 80);
}

// A whole program driven frame by frame: time systems made without a clock read the process
// clock once it is set; one made before, or given its own clock, keeps its clock.
TEST(TimeSystem, AProcessClockDrivesTimeSystemsMadeWithoutAClockAfterIt)
{
    double now = 500.0;
    double own = 0.0;
    CTimeSystem before;
    lv::core::CTimeSource::SetProcessClock([&now] { return now; });
    CTimeSystem after;
    CTimeSystem separate([&own] { return own; });
    lv::core::CTimeSource::SetProcessClock({});
    CTimeSystem restored;
    now += 250.0;
    own += 30.0;
    EXPECT_DOUBLE_EQ(after.GetRawTimeMs(), 250.0);
    EXPECT_DOUBLE_EQ(separate.GetRawTimeMs(), 30.0);
    // The monotonic ones moved by their own clock, not by the jump of the process clock.
    EXPECT_LT(before.GetRawTimeMs(), 250.0);
    EXPECT_LT(restored.GetRawTimeMs(), 250.0);
}

TEST_F(TimeSystemTest, SpeedsMultiplyDownTheTree)
{
    CTimerGroup* fast = m_System->CreateTimerGroup("fast", nullptr);
    CTimerGroup* faster = m_System->CreateTimerGroup("", fast);
    fast->SetSpeed(2.0f);
    faster->SetSpeed(3.0f);
    CTimer* inRoot = m_System->CreateTimer(nullptr);
    CTimer* backwards = faster->CreateTimer();
    backwards->SetSpeed(-1.0f);

    EXPECT_EQ(Advance(10), 10);
    EXPECT_EQ(fast->GetDelta(), 20);
    EXPECT_EQ(faster->GetDelta(), 60);
    EXPECT_EQ(backwards->GetDelta(), -60);
    EXPECT_EQ(inRoot->GetTime(), 10);
    EXPECT_EQ(backwards->GetTime(), -60);
    EXPECT_EQ(inRoot->GetGroup(), m_System->GetRootGroup());
    EXPECT_EQ(faster->GetParent(), fast);
}

TEST_F(TimeSystemTest, PausedGroupStopsEverythingBelowIt)
{
    CTimerGroup* group = m_System->CreateTimerGroup("", nullptr);
    CTimerGroup* child = m_System->CreateTimerGroup("", group);
    CTimer* timer = child->CreateTimer();
    group->Pause(true);
    group->Pause(true);
    Advance(10);
    EXPECT_EQ(group->GetDelta(), 0);
    EXPECT_EQ(child->GetDelta(), 0);
    EXPECT_EQ(timer->GetTime(), 0);
    group->Pause(false);
    Advance(10);
    EXPECT_EQ(timer->GetTime(), 0); // two pauses need two resumes
    group->Pause(false);
    group->Pause(false); // resuming a running group changes nothing
    Advance(10);
    EXPECT_EQ(timer->GetTime(), 10);
    EXPECT_FALSE(group->IsPaused());
}

TEST_F(TimeSystemTest, ResumeAfterPauseAllSkipsThePausedStretch)
{
    const s32 before = m_System->GetTime();
    m_System->PauseAll(true);
    m_Now += 500; // no ticks while paused (a minimised window only sleeps)
    m_System->PauseAll(false);
    EXPECT_EQ(m_System->GetTime(), before);
    EXPECT_EQ(Advance(16), 16);
    EXPECT_EQ(m_System->GetTime(), before + 16);

    // Ticks during the pause advance the frame clock but not game time.
    const s32 rootBefore = m_System->GetRootTime();
    m_System->PauseAll(true);
    EXPECT_EQ(Advance(30), 0);
    m_System->PauseAll(false);
    EXPECT_EQ(Advance(16), 16);
    EXPECT_EQ(m_System->GetRootTime(), rootBefore + 16);
}

TEST_F(TimeSystemTest, PauseAllIsCounted)
{
    m_System->PauseAll(true);
    m_System->PauseAll(true);
    m_Now += 200;
    m_System->PauseAll(false);
    EXPECT_EQ(Advance(10), 0); // still paused once
    m_Now += 300;
    m_System->PauseAll(false);
    EXPECT_EQ(Advance(10), 10);
    m_System->PauseAll(false); // nothing to resume
    EXPECT_EQ(Advance(10), 10);
}

TEST_F(TimeSystemTest, FrameDeltasKeepMillisecondsAfterHoursOfRunning)
{
    Advance(5.0 * 3600.0 * 1000.0); // five hours in
    s32 total = 0;
    for (int frame = 0; frame < 60; ++frame) {
        const s32 delta = Advance(1000.0 / 60.0);
        EXPECT_TRUE(delta == 16 || delta == 17) << "frame " << frame << " delta " << delta;
        total += delta;
    }
    EXPECT_EQ(total, 1000);
}

TEST_F(TimeSystemTest, GroupsWithANameCanBeFound)
{
    CTimerGroup* actions = m_System->CreateTimerGroup("qe_actions", nullptr);
    CTimerGroup* unnamed = m_System->CreateTimerGroup("", nullptr);
    EXPECT_EQ(m_System->FindTimerGroup("qe_actions"), actions);
    EXPECT_STREQ(actions->GetName().GetText(), "qe_actions");
    EXPECT_EQ(m_System->FindTimerGroup(""), nullptr);
    EXPECT_EQ(m_System->FindTimerGroup("missing"), nullptr);
    EXPECT_EQ(unnamed->GetTimeSystem(), m_System.get());

    CTimerGroup* newer = m_System->CreateTimerGroup("qe_actions", actions);
    EXPECT_EQ(m_System->FindTimerGroup("qe_actions"), newer);
    m_System->DestroyTimerGroup(actions); // takes the newer one, its child, with it
    EXPECT_EQ(m_System->FindTimerGroup("qe_actions"), nullptr);
}

TEST_F(TimeSystemTest, OlderGroupOfANameIsFoundAgainWhenTheNewerGoes)
{
    CTimerGroup* older = m_System->CreateTimerGroup("scene", nullptr);
    CTimerGroup* middle = m_System->CreateTimerGroup("scene", nullptr);
    CTimerGroup* newer = m_System->CreateTimerGroup("scene", nullptr);
    EXPECT_EQ(m_System->FindTimerGroup("scene"), newer);
    m_System->DestroyTimerGroup(middle); // not the newest: the newest stays found
    EXPECT_EQ(m_System->FindTimerGroup("scene"), newer);
    m_System->DestroyTimerGroup(newer);
    EXPECT_EQ(m_System->FindTimerGroup("scene"), older);
    m_System->DestroyTimerGroup(older);
    EXPECT_EQ(m_System->FindTimerGroup("scene"), nullptr);
}

TEST_F(TimeSystemTest, DestroyingAGroupTakesItsTimersAndGroups)
{
    CTimerGroup* group = m_System->CreateTimerGroup("level", nullptr);
    CTimerGroup* child = m_System->CreateTimerGroup("", group);
    CTimer* timer = group->CreateTimer();
    CTimer* deepTimer = child->CreateTimer();
    CTimer* survivor = m_System->CreateTimer(nullptr);

    m_System->DestroyTimerGroup(group);
    EXPECT_FALSE(m_System->HoldsTimerGroup(group));
    EXPECT_FALSE(m_System->HoldsTimerGroup(child));
    EXPECT_FALSE(m_System->HoldsTimer(timer));
    EXPECT_FALSE(m_System->HoldsTimer(deepTimer));
    EXPECT_TRUE(m_System->HoldsTimer(survivor));
    // Destroying what is gone already does nothing.
    m_System->DestroyTimer(timer);
    m_System->DestroyTimerGroup(group);
    EXPECT_EQ(Advance(10), 10);
    EXPECT_EQ(survivor->GetTime(), 10);

    // The root stays: every tick starts there.
    m_System->DestroyTimerGroup(m_System->GetRootGroup());
    EXPECT_TRUE(m_System->HoldsTimerGroup(m_System->GetRootGroup()));
    survivor->Destroy();
    EXPECT_FALSE(m_System->HoldsTimer(survivor));
}

TEST(TimeSystem, StartWritesTheChosenClockToTheLog)
{
    CTempFolder tmp;
    lv::core::CLog& log = lv::core::CLog::Instance();
    log.Open(Utf8ToWide(tmp / "log.lvlog").c_str());
    {
        CTimeSystem system;
    }
    log.Close();
    EXPECT_NE(tmp.Read("log.lvlog").find("[core][1]: Time system choose multimedia timer"),
              std::string::npos);
}

TEST(TimeSystem, ProcessWideSystemRunsOnTheMonotonicClock)
{
    CTimeSystem& system = CTimeSystem::Instance();
    EXPECT_EQ(&system, &CTimeSystem::Instance());
    ASSERT_NE(system.GetRootGroup(), nullptr);
    // Two readings of the raw time, each between two readings of the monotonic clock: the raw
    // time must move exactly as that clock does (a frozen or different clock fails).
    const double m0 = lv::platform::MonotonicMs();
    const double r0 = system.GetRawTimeMs();
    const double m1 = lv::platform::MonotonicMs();
    while (lv::platform::MonotonicMs() < m1 + 2.0) {
    }
    const double m2 = lv::platform::MonotonicMs();
    const double r1 = system.GetRawTimeMs();
    const double m3 = lv::platform::MonotonicMs();
    EXPECT_GE(r1 - r0, m2 - m1);
    EXPECT_LE(r1 - r0, m3 - m0);
    EXPECT_GE(r0, 0.0);
}
