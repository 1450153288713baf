#include "SoundTestSupport.h"
#include "core/TimerGroup.h"

#include <gtest/gtest.h>

using lv::sound::CAudioManager;

TEST(AudioManager, PauseAllNestsAndNeverGoesBelowZero)
{
    CAudioManager audio(lv::core::CTimeSystem::Instance(), nullptr);
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

using AudioManagerTest = SoundTest;

TEST_F(AudioManagerTest, IdsCountUpAndOnlyStartsPastTheCheckUseOne)
{
    Declare(R"(<sound id="a" file="a.ogg" max_concurrent_sound_play="1"/>
               <sound id="b" file="b.ogg"/><sound id="missing" file="nowhere.ogg"/>)");
    EXPECT_TRUE(m_Audio->HasSound("a"));
    EXPECT_FALSE(m_Audio->HasSound("missing")); // its file does not exist
    EXPECT_FALSE(m_Audio->HasSound(""));
    EXPECT_EQ(m_Audio->Play("a"), 1);
    EXPECT_EQ(m_Audio->Play("b"), 2);
    EXPECT_EQ(m_Audio->Play("a"), 0); // refused by its type: no id used
    EXPECT_EQ(m_Audio->Play("unknown"), 0);
    m_Pool.m_Refused.insert("b.ogg");
    EXPECT_EQ(m_Audio->Play("b"), 0); // failed after the check: id 3 is gone
    EXPECT_FALSE(m_Audio->IsPlaying(3));
    m_Pool.m_Refused.clear();
    EXPECT_EQ(m_Audio->Play("b"), 4);
    EXPECT_EQ(m_Audio->GetPlayingCount(), 3);
    EXPECT_EQ(m_Pool.Busy(), 3);
}

TEST_F(AudioManagerTest, ConcurrencyLimitCountsOnlyUnpausedInstances)
{
    Declare(R"(<sound id="one" file="a.ogg" max_concurrent_sound_play="1"/>
               <sound id="two" file="b.ogg" max_concurrent_sound_play="2"/>)");
    const s32 first = m_Audio->Play("one");
    EXPECT_EQ(m_Audio->Play("one"), 0);
    m_Audio->PauseSound(first, true);
    EXPECT_NE(m_Audio->Play("one"), 0);

    const s32 a = m_Audio->Play("two");
    const s32 b = m_Audio->Play("two");
    ASSERT_NE(a, 0);
    ASSERT_NE(b, 0);
    EXPECT_EQ(m_Audio->Play("two"), 0);
    m_Audio->PauseSound(a, true);
    const s32 c = m_Audio->Play("two");
    EXPECT_NE(c, 0);
    EXPECT_EQ(m_Audio->Play("two"), 0);
    m_Audio->StopSound(b, 0);
    EXPECT_NE(m_Audio->Play("two"), 0);
    // A resume the limit refuses stops the paused sound.
    m_Audio->PauseSound(a, false);
    EXPECT_TRUE(m_Audio->FindSound(a)->IsStopped());
}

TEST_F(AudioManagerTest, PlayDelayIsMeasuredOnTheAudioManagerClock)
{
    Declare(R"(<sound id="a" file="a.ogg" concurrent_sound_play_delay="500"/>)");
    EXPECT_NE(m_Audio->Play("a"), 0);
    Advance(499);
    EXPECT_EQ(m_Audio->Play("a"), 0);
    // Paused audio time does not count.
    m_Audio->GetTimerGroup()->Pause(true);
    Advance(100);
    EXPECT_EQ(m_Audio->Play("a"), 0);
    m_Audio->GetTimerGroup()->Pause(false);
    Advance(1);
    EXPECT_NE(m_Audio->Play("a"), 0);
    EXPECT_TRUE(m_Audio->SetConcurrentPlayDelay("a", -1));
    EXPECT_NE(m_Audio->Play("a"), 0);
    EXPECT_FALSE(m_Audio->SetConcurrentPlayDelay("b", 0));
}

TEST_F(AudioManagerTest, ASoundStartedWhileAudioIsPausedStartsAtThatDepth)
{
    Declare(R"(<sound id="a" file="a.ogg"/>)");
    m_Audio->GetTimerGroup()->Pause(true);
    m_Time.PauseAll(true); // the root group above it
    const s32 id = m_Audio->Play("a");
    ASSERT_NE(id, 0);
    EXPECT_EQ(m_Audio->FindSound(id)->GetPauseLevel(), 2);
    EXPECT_EQ(VoiceOf(id)->m_State, CRecordingVoice::StatePaused);
    EXPECT_EQ(m_Audio->FindSoundType("a")->GetPlayingCount(), 0);
    m_Audio->PauseSound(id, false);
    EXPECT_EQ(VoiceOf(id)->m_State, CRecordingVoice::StatePaused);
    m_Audio->PauseSound(id, false);
    EXPECT_EQ(VoiceOf(id)->m_State, CRecordingVoice::StatePlaying);
    EXPECT_EQ(m_Audio->FindSoundType("a")->GetPlayingCount(), 1);
    // A resume without a pause changes nothing.
    m_Audio->PauseSound(id, false);
    EXPECT_EQ(m_Audio->FindSound(id)->GetPauseLevel(), 0);
    EXPECT_EQ(m_Audio->FindSoundType("a")->GetPlayingCount(), 1);
}

TEST_F(AudioManagerTest, PauseAllAddsOneLevelToEveryInstance)
{
    Declare(R"(<sound id="a" file="a.ogg"/><sound id="b" file="b.ogg"/>)");
    const s32 a = m_Audio->Play("a");
    const s32 b = m_Audio->Play("b");
    m_Audio->PauseAll(false); // nothing to undo
    EXPECT_EQ(VoiceOf(a)->m_State, CRecordingVoice::StatePlaying);
    m_Audio->PauseAll(true);
    m_Audio->PauseAll(true);
    m_Audio->PauseAll(false);
    for (s32 id : {a, b}) {
        EXPECT_EQ(m_Audio->FindSound(id)->GetPauseLevel(), 1);
        EXPECT_EQ(VoiceOf(id)->m_State, CRecordingVoice::StatePaused);
    }
    m_Audio->PauseAll(false);
    EXPECT_EQ(VoiceOf(a)->m_State, CRecordingVoice::StatePlaying);
    EXPECT_EQ(VoiceOf(b)->m_State, CRecordingVoice::StatePlaying);
}

TEST_F(AudioManagerTest, PauseGroupBringsOnlyThatGroupToTheWantedState)
{
    Declare(R"(<sound id="theme" file="music.ogg" group_template="music"/><sound id="a" file="a.ogg" group_template="sound"/>)");
    const s32 music = m_Audio->Play("theme");
    const s32 sound = m_Audio->Play("a");
    m_Audio->PauseGroup("music", true);
    m_Audio->PauseGroup("music", true); // already paused: no second level
    EXPECT_EQ(m_Audio->FindSound(music)->GetPauseLevel(), 1);
    EXPECT_FALSE(m_Audio->FindSound(sound)->IsPaused());
    m_Audio->PauseGroup("music", false);
    EXPECT_FALSE(m_Audio->FindSound(music)->IsPaused());
}

TEST_F(AudioManagerTest, EffectiveVolumeMultipliesMasterGroupAndOwnVolume)
{
    Declare(R"(<sound id="theme" file="music.ogg" group_template="music" volume="50"/>
               <sound id="a" file="a.ogg" group_template="sound" volume="50"/>)");
    EXPECT_FLOAT_EQ(m_Audio->GetGroupVolume("never_named"), 100.0f);
    m_Audio->SetMasterVolume(50);
    m_Audio->SetGroupVolume("music", 50);
    const s32 music = m_Audio->Play("theme");
    const s32 sound = m_Audio->Play("a");
    EXPECT_EQ(m_Audio->FindSound(music)->GetEffectiveVolume(), 12); // 12.5 truncated
    EXPECT_FLOAT_EQ(VoiceOf(music)->Gain(), 0.12f);
    EXPECT_FLOAT_EQ(VoiceOf(sound)->Gain(), 0.25f);

    m_Audio->SetGroupVolume("music", 25);
    EXPECT_FLOAT_EQ(VoiceOf(music)->Gain(), 0.06f);
    EXPECT_FLOAT_EQ(VoiceOf(sound)->Gain(), 0.25f);
    m_Audio->SetGroupVolume("music", 150);
    EXPECT_FLOAT_EQ(m_Audio->GetGroupVolume("music"), 100.0f);
    m_Audio->SetMasterVolume(-5);
    EXPECT_FLOAT_EQ(VoiceOf(sound)->Gain(), 0.0f);
}

TEST_F(AudioManagerTest, SetGroupVolumeHalvesTheGroupsGainAtOnce)
{
    Declare(R"(<sound id="theme" file="music.ogg" group_template="music"/><sound id="a" file="a.ogg" group_template="sound"/>)");
    const s32 music = m_Audio->Play("theme");
    const s32 sound = m_Audio->Play("a");
    EXPECT_FLOAT_EQ(VoiceOf(music)->Gain(), 1.0f);
    m_Audio->SetGroupVolume("music", 50);
    EXPECT_FLOAT_EQ(VoiceOf(music)->Gain(), 0.5f);
    EXPECT_FLOAT_EQ(VoiceOf(sound)->Gain(), 1.0f);
    // A sound played into another group follows that group.
    const s32 moved = m_Audio->PlayInGroup("a", "music");
    EXPECT_FLOAT_EQ(VoiceOf(moved)->Gain(), 0.5f);
}

TEST_F(AudioManagerTest, PriorityChangeDucksLowerPrioritiesWhileItCountsSounds)
{
    Declare(R"(<sound id="voice" file="a.ogg" priority="5"/><sound id="ambient" file="b.ogg" priority="1"/>)");
    const s32 ambient = m_Audio->Play("ambient");
    m_Audio->SetPriorityVolumeChange(5, -50);
    EXPECT_FLOAT_EQ(m_Audio->GetPriorityVolumeChange(1), 0.0f); // nothing of priority 5 plays
    m_Audio->Play("voice");
    EXPECT_FLOAT_EQ(m_Audio->GetPriorityVolumeChange(1), -50.0f);
    EXPECT_FLOAT_EQ(VoiceOf(ambient)->Gain(), 0.5f);
    EXPECT_FLOAT_EQ(m_Audio->GetPriorityVolumeChange(5), 0.0f);
    m_Audio->SetSoundPriority(ambient, 7);
    EXPECT_FLOAT_EQ(VoiceOf(ambient)->Gain(), 1.0f);
    EXPECT_EQ(m_Audio->GetSoundPriority(ambient), 7);
}

TEST_F(AudioManagerTest, VolumeRampsRunLinearlyAndAdd)
{
    Declare(R"(<sound id="a" file="a.ogg"/>)");
    const s32 id = m_Audio->Play("a");
    m_Audio->ChangeSoundVolume(id, -50, 1000, 0);
    Advance(250);
    EXPECT_FLOAT_EQ(m_Audio->GetSoundVolume(id), 87.5f);
    Advance(750);
    EXPECT_FLOAT_EQ(m_Audio->GetSoundVolume(id), 50.0f);
    EXPECT_FLOAT_EQ(VoiceOf(id)->Gain(), 0.5f);

    m_Audio->SetSoundVolume(id, 100, 0, 0);
    m_Audio->ChangeSoundVolume(id, -50, 1000, 0);
    m_Audio->ChangeSoundVolume(id, -50, 1000, 0);
    Advance(500);
    EXPECT_FLOAT_EQ(m_Audio->GetSoundVolume(id), 50.0f);
    Advance(500);
    EXPECT_FLOAT_EQ(m_Audio->GetSoundVolume(id), 0.0f);
    EXPECT_EQ(m_Audio->FindSound(id)->GetVolumeRampCount(), 0u);
}

TEST_F(AudioManagerTest, SetVolumeCancelsARunningFade)
{
    Declare(R"(<sound id="a" file="a.ogg"/>)");
    const s32 id = m_Audio->Play("a");
    m_Audio->ChangeSoundVolume(id, -100, 1000, 0);
    Advance(500);
    m_Audio->SetSoundVolume(id, 20, 0, 0);
    EXPECT_FLOAT_EQ(m_Audio->GetSoundVolume(id), 20.0f);
    EXPECT_FLOAT_EQ(VoiceOf(id)->Gain(), 0.2f);
    Advance(500);
    EXPECT_FLOAT_EQ(m_Audio->GetSoundVolume(id), 20.0f);
}

TEST_F(AudioManagerTest, ARampWithoutDurationAppliesItsWholeChangeWhenDue)
{
    Declare(R"(<sound id="a" file="a.ogg"/>)");
    const s32 id = m_Audio->Play("a");
    m_Audio->ChangeSoundVolume(id, -30, 0, 200);
    Advance(100);
    EXPECT_FLOAT_EQ(m_Audio->GetSoundVolume(id), 100.0f);
    Advance(150);
    EXPECT_FLOAT_EQ(m_Audio->GetSoundVolume(id), 70.0f);
    Advance(100);
    EXPECT_FLOAT_EQ(m_Audio->GetSoundVolume(id), 70.0f);
    EXPECT_FLOAT_EQ(VoiceOf(id)->Gain(), 0.7f);
}

TEST_F(AudioManagerTest, PausedRampsHoldTheirValue)
{
    Declare(R"(<sound id="a" file="a.ogg"/>)");
    const s32 id = m_Audio->Play("a");
    m_Audio->ChangeSoundVolume(id, -50, 1000, 0);
    Advance(500);
    m_Audio->PauseSound(id, true);
    Advance(500);
    EXPECT_FLOAT_EQ(m_Audio->GetSoundVolume(id), 75.0f);
    m_Audio->PauseSound(id, false);
    Advance(500);
    EXPECT_FLOAT_EQ(m_Audio->GetSoundVolume(id), 50.0f);
}

TEST_F(AudioManagerTest, StopSoundFadesOutAndTheIdGoesAtTheNextUpdate)
{
    Declare(R"(<sound id="a" file="a.ogg"/>)");
    const s32 id = m_Audio->Play("a");
    EXPECT_TRUE(m_Audio->StopSound(id, 1000));
    Advance(500);
    EXPECT_FLOAT_EQ(m_Audio->GetSoundVolume(id), 50.0f);
    EXPECT_FLOAT_EQ(VoiceOf(id)->Gain(), 0.5f);
    Advance(499);
    EXPECT_TRUE(m_Audio->IsPlaying(id));
    EXPECT_FALSE(m_Audio->FindSound(id)->IsStopped());
    Advance(1);
    EXPECT_TRUE(m_Audio->FindSound(id)->IsStopped());
    EXPECT_EQ(m_Audio->FindSoundType("a")->GetPlayingCount(), 0);
    Advance(1);
    EXPECT_FALSE(m_Audio->IsPlaying(id));
    EXPECT_EQ(m_Pool.Busy(), 0);
    EXPECT_FALSE(m_Audio->StopSound(id, 0));
}

TEST_F(AudioManagerTest, StopGroupKeepsTheVolumeUntilTheFadeTimeHasPassed)
{
    Declare(R"(<sound id="theme" file="music.ogg" group_template="music"/><sound id="a" file="a.ogg" group_template="sound"/>)");
    const s32 music = m_Audio->Play("theme");
    const s32 sound = m_Audio->Play("a");
    m_Audio->StopGroup("music", 1000);
    Advance(999);
    EXPECT_FLOAT_EQ(m_Audio->GetSoundVolume(music), 100.0f);
    EXPECT_FALSE(m_Audio->FindSound(music)->IsStopped());
    Advance(1);
    Advance(1);
    EXPECT_FALSE(m_Audio->IsPlaying(music));
    EXPECT_TRUE(m_Audio->IsPlaying(sound));
}

TEST_F(AudioManagerTest, StopByNameAndStopAll)
{
    Declare(R"(<sound id="a" file="a.ogg"/><sound id="b" file="b.ogg"/>)");
    const s32 a1 = m_Audio->Play("a");
    const s32 a2 = m_Audio->Play("a");
    const s32 b = m_Audio->Play("b");
    EXPECT_FALSE(m_Audio->StopSoundsByName("unknown", 0));
    EXPECT_TRUE(m_Audio->StopSoundsByName("a", 0));
    Advance(1);
    EXPECT_FALSE(m_Audio->IsPlaying(a1));
    EXPECT_FALSE(m_Audio->IsPlaying(a2));
    EXPECT_TRUE(m_Audio->IsPlaying(b));
    m_Audio->StopAll(0);
    Advance(1);
    EXPECT_EQ(m_Audio->GetPlayingCount(), 0);
}

TEST_F(AudioManagerTest, ValuesAreClampedAndMinusTwoKeepsTheDeclaredOnes)
{
    Declare(R"(<sound id="a" file="a.ogg" balance="0.25" volume="60" priority="2" repeat="4"/>)");
    const s32 kept = m_Audio->Play("a");
    EXPECT_FLOAT_EQ(m_Audio->GetSoundBalance(kept), 0.25f);
    EXPECT_FLOAT_EQ(m_Audio->GetSoundVolume(kept), 60.0f);
    EXPECT_EQ(m_Audio->GetSoundPriority(kept), 2);
    EXPECT_EQ(m_Audio->GetSoundRepeat(kept), 4);
    EXPECT_FLOAT_EQ(m_Audio->GetSoundSpeed(kept), 1.0f);

    const s32 given = m_Audio->Play("a", 2.0f, 150.0f, -7, -5, 3.0f);
    EXPECT_FLOAT_EQ(m_Audio->GetSoundBalance(given), 1.0f);
    EXPECT_FLOAT_EQ(m_Audio->GetSoundVolume(given), 100.0f);
    EXPECT_EQ(m_Audio->GetSoundPriority(given), 0);
    EXPECT_EQ(m_Audio->GetSoundRepeat(given), -1);
    EXPECT_TRUE(VoiceOf(given)->m_Looping);
    EXPECT_FLOAT_EQ(m_Audio->GetSoundSpeed(given), 1.0f);
    EXPECT_TRUE(m_Audio->SetSoundBalance(given, -3.0f, 0, 0));
    EXPECT_FLOAT_EQ(m_Audio->GetSoundBalance(given), -1.0f);

    // The type's values change later plays only.
    EXPECT_TRUE(m_Audio->SetTypeVolume("a", 30, 0, 0));
    EXPECT_TRUE(m_Audio->SetTypeRepeat("a", 2));
    EXPECT_FLOAT_EQ(m_Audio->GetSoundVolume(kept), 60.0f);
    EXPECT_FLOAT_EQ(m_Audio->GetSoundTypeVolume(kept), 30.0f);
    EXPECT_EQ(m_Audio->GetSoundRepeat(m_Audio->Play("a")), 2);
    EXPECT_FLOAT_EQ(m_Audio->GetTypeVolume("unknown"), 0.0f);
    EXPECT_FLOAT_EQ(m_Audio->GetSoundVolume(999), 0.0f);
    EXPECT_FALSE(m_Audio->SetSoundVolume(999, 10, 0, 0));
}

TEST_F(AudioManagerTest, BalanceRampsAndTypeRampsAreCopiedPending)
{
    Declare(R"(<sound id="a" file="a.ogg"/>)");
    EXPECT_TRUE(m_Audio->ChangeTypeVolume("a", -40, 400, 0));
    const s32 id = m_Audio->Play("a");
    m_Audio->SetSoundBalance(id, 1.0f, 400, 0);
    Advance(200);
    EXPECT_FLOAT_EQ(m_Audio->GetSoundVolume(id), 80.0f);
    EXPECT_FLOAT_EQ(m_Audio->GetSoundBalance(id), 0.5f);
    Advance(200);
    EXPECT_FLOAT_EQ(m_Audio->GetSoundVolume(id), 60.0f);
    EXPECT_FLOAT_EQ(m_Audio->GetSoundBalance(id), 1.0f);
    // Ramps on a type are not advanced there.
    EXPECT_FLOAT_EQ(m_Audio->GetTypeVolume("a"), 100.0f);
}

TEST_F(AudioManagerTest, RepeatCountsPassesAndEndlessNeverEnds)
{
    Declare(R"(<sound id="thrice" file="a.ogg" repeat="3"/><sound id="endless" file="b.ogg" repeat="-1"/>)");
    const s32 thrice = m_Audio->Play("thrice");
    const s32 endless = m_Audio->Play("endless");
    for (int pass = 1; pass <= 3; ++pass) {
        ASSERT_TRUE(m_Audio->IsPlaying(thrice)) << pass;
        EXPECT_EQ(m_Audio->GetSoundRepeat(thrice), 4 - pass);
        VoiceOf(thrice)->End();
        VoiceOf(endless)->End();
        Advance(20);
    }
    EXPECT_TRUE(m_Audio->FindSound(thrice)->IsStopped());
    Advance(20);
    EXPECT_FALSE(m_Audio->IsPlaying(thrice));
    EXPECT_EQ(m_Audio->FindSoundType("thrice")->GetPlayingCount(), 0);
    s32 plays = 0;
    for (const auto& voice : m_Pool.m_Voices)
        plays += voice->m_OpenedFile == "a.ogg" ? voice->m_Plays : 0;
    EXPECT_EQ(plays, 3);
    EXPECT_TRUE(m_Audio->IsPlaying(endless));
    EXPECT_EQ(m_Audio->FindSoundType("endless")->GetPlayingCount(), 1);
}

TEST_F(AudioManagerTest, ARestartWithoutAVoiceStopsTheSound)
{
    Declare(R"(<sound id="twice" file="a.ogg" repeat="2"/>)");
    const s32 id = m_Audio->Play("twice");
    m_Pool.m_Refused.insert("a.ogg");
    VoiceOf(id)->End();
    Advance(20);
    EXPECT_TRUE(m_Audio->FindSound(id)->IsStopped());
    EXPECT_EQ(m_Audio->FindSoundType("twice")->GetPlayingCount(), 0);
}

TEST_F(AudioManagerTest, PositionOfALoopingSoundIsWithinThePass)
{
    m_Pool.m_Durations["a.ogg"] = 2.0;
    Declare(R"(<sound id="a" file="a.ogg" repeat="-1"/>)");
    EXPECT_FLOAT_EQ(m_Audio->GetTypeDuration("a"), -1.0);
    const s32 id = m_Audio->Play("a");
    EXPECT_DOUBLE_EQ(m_Audio->GetTypeDuration("a"), 2000.0);
    EXPECT_DOUBLE_EQ(m_Audio->GetSoundDuration(id), 2000.0);
    VoiceOf(id)->m_Position = 4.5;
    EXPECT_DOUBLE_EQ(m_Audio->GetSoundPosition(id), 500.0);
    EXPECT_TRUE(m_Audio->SetSoundPosition(id, 1.25));
    EXPECT_DOUBLE_EQ(VoiceOf(id)->m_Seeks.back(), 1.25);
    EXPECT_DOUBLE_EQ(m_Audio->GetSoundPosition(id), 1250.0);
}

TEST_F(AudioManagerTest, DebugLevelThreeWritesStatisticsEveryFiveSeconds)
{
    Declare(R"(<sound id="a" file="a.ogg"/><sound id="b" file="b.ogg"/><sound id="unused" file="c.ogg"/>)");
    m_Audio->Play("a");
    m_Audio->Play("a");
    m_Audio->Play("b");
    Advance(0); // without the debug level nothing is recorded
    m_Audio->SetDebugLevel(3);
    Advance(20);
    Advance(5000);
    EXPECT_FALSE(std::filesystem::exists(m_Tmp / "sound_stat_A"));
    Advance(1);
    // Text mode: lines end as the platform's text files do.
    EXPECT_EQ(m_Tmp.Read("sound_stat_A"), "                   a 2\r\n                   b 1\r\n");
    Advance(5001);
    EXPECT_TRUE(std::filesystem::exists(m_Tmp / "sound_stat_B"));
}

TEST_F(AudioManagerTest, WithoutAPoolEveryStartFailsButTablesWork)
{
    Declare(R"(<sound id="a" file="a.ogg"/>)");
    CAudioManager silent(m_Time, nullptr);
    lv::sound::CSoundDeclarations declarations;
    ASSERT_TRUE(declarations.Load());
    silent.LoadSoundTypes(declarations);
    EXPECT_FALSE(silent.IsOpen());
    EXPECT_TRUE(silent.HasSound("a"));
    EXPECT_EQ(silent.Play("a"), 0);
    EXPECT_EQ(silent.Play("a"), 0);
    silent.SetGroupVolume("music", 20);
    EXPECT_FLOAT_EQ(silent.GetGroupVolume("music"), 20.0f);
}
