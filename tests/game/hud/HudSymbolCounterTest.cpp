#include "HudClock.h"
#include "HudTestSupport.h"
#include "core/TextConvert.h"
#include "game/frontend/Profile.h"
#include "game/frontend/ProfileManager.h"
#include "game/hud/HudSymbolCounter.h"

#include <gtest/gtest.h>

namespace {

class HudSymbolCounterTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        hudtest::DeclareHudContent();
        game::CProfileManager* store =
            game::CProfileManager::CreateInstance(game::CProfileManager::Folder(Utf8ToWide(m_Folder / "saves").c_str()));
        ASSERT_NE(store, nullptr);
        store->SetCurrentProfile(store->AddProfile(u"Tester"));
        m_Values = store->GetCurrentValues();
        ASSERT_NE(m_Values, nullptr);
    }
    void TearDown() override { game::CProfileManager::DestroyInstance(); }

    CTempFolder m_Folder;
    hudtest::CHudClock m_Clock;
    game::SProfileValues* m_Values = nullptr;
};

TEST_F(HudSymbolCounterTest, SpecialObjectsAnswerAt25UnlessHardAndAt35)
{
    for (const u16 difficulty : {1, 2}) {
        m_Values->Difficulty = difficulty;
        game::CHudSymbolCounter counter;
        for (s32 call = 1; call <= 40; ++call) {
            const bool expected = call == 35 || (call == 25 && difficulty != 2);
            EXPECT_EQ(counter.CountSpecialObject(CVector2(10, 10)), expected) << difficulty << " " << call;
            EXPECT_TRUE(counter.IsBusy());
        }
        EXPECT_EQ(counter.GetSpecialCount(), 40);
    }
}

TEST_F(HudSymbolCounterTest, CandyCountsInTheProfileAndNeverAnswers)
{
    m_Values->Achievements[0] = 4;
    m_Values->Candies = 7;
    game::CHudSymbolCounter counter;
    EXPECT_FALSE(counter.CountCandy(CVector2(200, 300)));
    EXPECT_EQ(m_Values->Achievements[0], 5);
    EXPECT_EQ(m_Values->Candies, 8);
    EXPECT_EQ(counter.GetShownCount(), 5);
    // The special objects show the collected count, not their own.
    counter.CountSpecialObject(CVector2(0, 0));
    EXPECT_EQ(counter.GetShownCount(), 5);
}

TEST_F(HudSymbolCounterTest, DisplayDurationDependsOnTheCount)
{
    struct SCase
    {
        u16 count;
        s32 duration;
    };
    // Without a game window the first one has no message and the short time.
    const SCase cases[] = {{1, 2500}, {2, 2500}, {3, 5500}, {17, 5500}, {18, 2500}, {33, 5500}};
    for (const SCase& c : cases) {
        m_Values->Achievements[0] = static_cast<u16>(c.count - 1);
        game::CHudSymbolCounter counter;
        counter.CountCandy(CVector2(0, 0));
        EXPECT_EQ(counter.GetShownCount(), c.count);
        EXPECT_EQ(counter.GetDuration(), c.duration) << c.count;
        EXPECT_EQ(counter.GetMessageId(), 0);
    }
}

TEST_F(HudSymbolCounterTest, DisplayEndsAfterItsDurationAdvancingAtMost100MsAFrame)
{
    m_Values->Achievements[0] = 5;
    game::CHudSymbolCounter counter;
    counter.ShowCount(CVector2(0, 0));
    ASSERT_EQ(counter.GetDuration(), 2500);
    m_Clock.Advance(1000);
    counter.Update();
    EXPECT_EQ(counter.GetElapsed(), 100);
    for (s32 frame = 0; frame < 23; ++frame) {
        m_Clock.Advance(100);
        counter.Update();
    }
    EXPECT_EQ(counter.GetElapsed(), 2400);
    EXPECT_TRUE(counter.IsBusy());
    m_Clock.Advance(100);
    counter.Update();
    EXPECT_FALSE(counter.IsBusy());
    EXPECT_EQ(counter.GetElapsed(), 0);
}

TEST_F(HudSymbolCounterTest, ResetHidesTheDisplay)
{
    game::CHudSymbolCounter counter;
    counter.ShowCount(CVector2(0, 0));
    counter.Reset();
    EXPECT_FALSE(counter.IsBusy());
}

} // namespace
