#include "sound/AudioManager.h"
#include "core/TimeSystem.h"

#include <gtest/gtest.h>

using lv::sound::CAudioManager;

TEST(AudioManager, PauseAllNestsAndNeverGoesBelowZero)
{
    CAudioManager audio;
    audio.PauseAll(false);
    EXPECT_EQ(audio.GetPauseAllLevel(), 0);
    audio.PauseAll(true);
    audio.PauseAll(true);
    audio.PauseAll(false);
    EXPECT_EQ(audio.GetPauseAllLevel(), 1);
    audio.PauseAll(false);
    EXPECT_EQ(audio.GetPauseAllLevel(), 0);
}

TEST(AudioManager, StartsOnDemandWithItsOwnTimerGroup)
{
    auto& audio = lv::sound::GetAudioManager();
    EXPECT_EQ(&audio, &lv::sound::GetAudioManager());
    EXPECT_TRUE(audio.IsLoadOnDemand());
    audio.SetLoadOnDemand(false);
    EXPECT_FALSE(audio.IsLoadOnDemand());
    audio.SetLoadOnDemand(true);
    EXPECT_EQ(lv::core::CTimeSystem::Instance().FindTimerGroup("AudioManager"), audio.GetTimerGroup());
    EXPECT_NE(audio.GetTimerGroup(), nullptr);
}
