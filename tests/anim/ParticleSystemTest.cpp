#include "anim/ParticleFlags.h"
#include "anim/ParticleManager.h"
#include "anim/ParticleRandom.h"
#include "anim/ParticleSystem.h"
#include "content/ParticleImageWriter.h"
#include "core/TimeSystem.h"
#include "core/Timer.h"
#include "core/TimerGroup.h"

#include <gtest/gtest.h>

#include <cmath>
#include <numbers>
#include <string>

using namespace lv::misc::anim;

namespace {

// Installs definitions in the process-wide manager and starts every test from the initial
// random state.
class ParticleSystemTest : public testing::Test
{
protected:
    void SetUp() override { CParticleRandom::SetState(CParticleRandom::kInitialState); }
    void TearDown() override { CParticleManager::Instance().Release(); }

    static void Define(const std::string& particles)
    {
        lv::content::CParticleImageWriter writer;
        ASSERT_TRUE(writer.AddXml("<?xml version=\"1.0\"?>\n<p>" + particles + "</p>"));
        const std::vector<u8> block = writer.Build();
        ASSERT_TRUE(CParticleManager::Instance().LoadImage(block.data(), static_cast<u32>(block.size())));
    }
};

} // namespace

TEST_F(ParticleSystemTest, BurstEmitsOnceUntilRestart)
{
    Define(R"(<particle id="b" flags="4096" emission="10.7" life_time_min="500" life_time_max="500" max_life_particles="100"/>)");
    CParticleSystem system(static_cast<lv::core::CTimer*>(nullptr));
    ASSERT_TRUE(system.Load("b"));
    EXPECT_TRUE(system.IsFinished()) << "nothing lives before the first step";
    system.Step(16);
    EXPECT_EQ(system.GetParticleCount(), 10);
    EXPECT_FALSE(system.IsFinished());
    system.Step(16);
    EXPECT_EQ(system.GetParticleCount(), 10);
    system.Step(600);
    EXPECT_EQ(system.GetParticleCount(), 0);
    EXPECT_TRUE(system.IsFinished());
    system.Step(16);
    EXPECT_EQ(system.GetParticleCount(), 0);
    system.Restart();
    system.Step(16);
    EXPECT_EQ(system.GetParticleCount(), 10);
}

TEST_F(ParticleSystemTest, SteadyEmissionCarriesTheRemainder)
{
    Define(R"(<particle id="e" flags="2048" emission="25" life_time_min="5000" life_time_max="5000" max_life_particles="100"/>)");
    CParticleSystem system(static_cast<lv::core::CTimer*>(nullptr));
    ASSERT_TRUE(system.Load("e"));
    const int expected[] = {0, 0, 1, 1, 2, 2};
    for (int count : expected) {
        system.Step(16);
        EXPECT_EQ(system.GetParticleCount(), count);
    }
    system.SetFlags(system.GetFlags() | PF_PARKED);
    for (int i = 0; i < 10; ++i)
        system.Step(16);
    EXPECT_EQ(system.GetParticleCount(), 2) << "parked: no new particles, live ones go on";
}

TEST_F(ParticleSystemTest, LiveLimits)
{
    Define(R"(<particle id="zero" flags="2048" emission="100" life_time_max="1000" max_life_particles="0"/>
              <particle id="many" flags="2048" emission="1000" life_time_min="2000" life_time_max="2000" max_life_particles="100000"/>)");
    CParticleSystem none(static_cast<lv::core::CTimer*>(nullptr));
    ASSERT_TRUE(none.Load("zero"));
    none.Step(100);
    EXPECT_EQ(none.GetParticleCount(), 0);

    CParticleSystem many(static_cast<lv::core::CTimer*>(nullptr));
    ASSERT_TRUE(many.Load("many"));
    EXPECT_EQ(many.GetMaxLiveParticles(), 512);
    many.Step(1000);
    EXPECT_EQ(many.GetParticleCount(), 512);
    // A limit lowered below the live count stops emission and never writes past the slots.
    many.SetMaxLiveParticles(10);
    many.Step(100);
    EXPECT_EQ(many.GetParticleCount(), 512);
}

TEST_F(ParticleSystemTest, UnknownOrEmptyNamesFail)
{
    Define(R"(<particle id="a"/>)");
    CParticleSystem system(static_cast<lv::core::CTimer*>(nullptr));
    EXPECT_FALSE(system.Load(""));
    EXPECT_FALSE(system.Load("missing"));
    EXPECT_TRUE(system.Load("a"));
}

TEST_F(ParticleSystemTest, ParticlesOfOneStepSpreadBackAlongTheMove)
{
    Define(R"(<particle id="m" flags="2048" emiter_type="2" emission="50" life_time_min="1000" life_time_max="1000" max_life_particles="100"/>)");
    CParticleSystem system(static_cast<lv::core::CTimer*>(nullptr));
    ASSERT_TRUE(system.Load("m"));
    system.SetEmitterPositionXY(0, 0);
    system.SetEmitterPositionXY(100, 0);
    system.Step(100);
    ASSERT_EQ(system.GetParticleCount(), 5);
    for (u16 i = 0; i < 5; ++i) {
        EXPECT_FLOAT_EQ(system.GetParticle(i).position.X, 100.0f - 20.0f * i);
        EXPECT_FLOAT_EQ(system.GetParticle(i).position.Y, 0.0f);
    }
}

TEST_F(ParticleSystemTest, FollowMotionTurnsTowardsTheMove)
{
    Define(R"(<particle id="f" flags="8192"/>)");
    CParticleSystem system(static_cast<lv::core::CTimer*>(nullptr));
    ASSERT_TRUE(system.Load("f"));
    const float pi = std::numbers::pi_v<float>;
    struct Case
    {
        float dx, dy, angle;
    } cases[] = {{10, 0, -pi / 2}, {0, 10, 0}, {0, -10, pi}, {-10, 0, pi / 2}};
    for (const Case& c : cases) {
        const CVector2 at = system.GetEmitterPosition();
        system.SetEmitterPositionXY(at.X + c.dx, at.Y + c.dy);
        EXPECT_NEAR(system.GetMotionAngle(), c.angle, 1e-6f) << c.dx << " " << c.dy;
    }
    system.SetEmitterPosition(system.GetEmitterPosition());
    EXPECT_EQ(system.GetMotionAngle(), 0.0f);
}

TEST_F(ParticleSystemTest, LivesAreCappedAndShortLivesStayFinite)
{
    Define(R"(<particle id="long" flags="4096" emission="1" life_time_min="70000" life_time_max="70000" max_life_particles="10" size="1 2 3 0 0"/>
              <particle id="short" flags="4096" emission="3" life_time_min="0" life_time_max="0" max_life_particles="10" size="1 2 3 0 0" spin="1 2 3 0 0"/>)");
    CParticleSystem longLived(static_cast<lv::core::CTimer*>(nullptr));
    ASSERT_TRUE(longLived.Load("long"));
    longLived.Step(1);
    ASSERT_EQ(longLived.GetParticleCount(), 1);
    EXPECT_EQ(longLived.GetParticle(0).life, 65500);
    // The age saturates: 100 + 65500 would wrap to 64 and bring the particle back.
    longLived.Step(100);
    longLived.Step(65500);
    EXPECT_EQ(longLived.GetParticleCount(), 0);

    CParticleSystem shortLived(static_cast<lv::core::CTimer*>(nullptr));
    ASSERT_TRUE(shortLived.Load("short"));
    shortLived.Step(0);
    ASSERT_EQ(shortLived.GetParticleCount(), 3);
    for (u16 i = 0; i < 3; ++i) {
        EXPECT_TRUE(std::isfinite(shortLived.GetParticle(i).size_rate1));
        EXPECT_TRUE(std::isfinite(shortLived.GetParticle(i).angle_rate2));
    }
    shortLived.Step(1);
    EXPECT_EQ(shortLived.GetParticleCount(), 0);
}

TEST_F(ParticleSystemTest, TimerGroupDrivesAndPausesTheEffect)
{
    Define(R"(<particle id="e" flags="2048" emission="25" life_time_min="5000" life_time_max="5000" max_life_particles="100"/>)");
    double now = 0.0;
    lv::core::CTimeSystem time([&now] { return now; });
    lv::core::CTimerGroup* group = time.CreateTimerGroup("scene", nullptr);
    {
        CParticleSystem system(group);
        ASSERT_NE(system.GetTimer(), nullptr);
        EXPECT_TRUE(time.HoldsTimer(system.GetTimer()));
        ASSERT_TRUE(system.Load("e"));
        time.Tick();
        for (int i = 0; i < 3; ++i) {
            now += 16;
            time.Tick();
            system.Update();
        }
        EXPECT_EQ(system.GetParticleCount(), 1);
        system.Pause(true);
        EXPECT_TRUE(system.IsPaused());
        for (int i = 0; i < 5; ++i) {
            now += 16;
            time.Tick();
            system.Update();
        }
        EXPECT_EQ(system.GetParticleCount(), 1) << "a paused timer steps 0 ms";
        EXPECT_EQ(system.GetParticle(0).age, 0) << "and ages nothing";
    }
    EXPECT_EQ(time.GetTimerCount(), 0u) << "the system destroys its timer";
}

TEST_F(ParticleSystemTest, HugeRatesStayWithinTheLimit)
{
    Define(R"(<particle id="h" flags="2048" emission="1e30" life_time_min="1000" life_time_max="1000" max_life_particles="5"/>)");
    CParticleSystem system(static_cast<lv::core::CTimer*>(nullptr));
    ASSERT_TRUE(system.Load("h"));
    EXPECT_EQ(system.GetMaxLiveParticles(), 5);
    system.Step(16);
    EXPECT_EQ(system.GetParticleCount(), 5);
}
