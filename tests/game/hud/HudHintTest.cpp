#include "HudClock.h"
#include "HudTestSupport.h"
#include "game/hud/HudHint.h"
#include "game/hud/HudInventory.h"
#include "qe/BinaryReader.h"
#include "qe/ByteBuffer.h"

#include <gtest/gtest.h>

namespace {

class HudHintTest : public ::testing::Test
{
protected:
    void SetUp() override { hudtest::DeclareHudContent(); }
    hudtest::CHudClock m_Clock;
};

TEST_F(HudHintTest, RechargeTimeKeepsTheActivationAndAFloor)
{
    game::CHudHint hint;
    EXPECT_EQ(hint.GetDefaultRechargeTime(), 45000);
    EXPECT_EQ(hint.GetRechargeTime(), 45000);
    struct SCase
    {
        s32 set, cycle;
    };
    for (const SCase c : {SCase{3000, 3000}, SCase{90000, 90000}, SCase{1500, 2000}, SCase{0, 2000}}) {
        hint.SetRechargeTime(c.set);
        EXPECT_EQ(hint.GetRechargeTime(), c.cycle) << c.set;
    }
}

TEST_F(HudHintTest, PhasesRunThroughActivationAndRecharge)
{
    game::CHudHint hint;
    hint.SetRechargeTime(3000);
    hint.SetPhase(1);
    m_Clock.Advance(999);
    hint.Update();
    EXPECT_EQ(hint.GetPhase(), 1);
    m_Clock.Advance(1);
    hint.Update();
    EXPECT_EQ(hint.GetPhase(), 2);
    EXPECT_EQ(hint.GetPhaseTime(), 0);
    m_Clock.Advance(1999);
    hint.Update();
    EXPECT_EQ(hint.GetPhase(), 2);
    m_Clock.Advance(1);
    hint.Update();
    EXPECT_EQ(hint.GetPhase(), 0);
}

TEST_F(HudHintTest, SavedPieceIsPhaseAndTime)
{
    game::CHudHint hint;
    hint.SetPhase(2);
    m_Clock.Advance(700);
    hint.Update();
    qe::CByteBuffer buffer;
    buffer.Allocate(hint.GetSaveSize());
    hint.Save(buffer);
    ASSERT_EQ(buffer.GetLength(), 8);
    game::CHudHint loaded;
    qe::CBinaryReader reader(buffer.GetData(), buffer.GetLength());
    EXPECT_TRUE(loaded.Load(reader));
    EXPECT_EQ(loaded.GetPhase(), 2);
    EXPECT_EQ(loaded.GetPhaseTime(), 700);
    qe::CBinaryReader truncated(buffer.GetData(), 6);
    EXPECT_FALSE(loaded.Load(truncated));
    loaded.ResetForLevel();
    EXPECT_EQ(loaded.GetPhase(), 0);
}

} // namespace
