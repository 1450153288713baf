#include "ClipTestSupport.h"
#include "sound/SoundTestSupport.h"

#include <gtest/gtest.h>

using namespace lv::misc::anim;

namespace {

const CClipTransform Identity;

// Clip objects play their sound points through this test's audio manager.
class ClipSoundTest : public SoundTest
{
protected:
    ClipSoundTest()
    {
        CClipObject::SetAudioManager(m_Audio.get());
        Declare(R"(<sound id="a" file="a.ogg" volume="60"/><sound id="b" file="b.ogg" volume="80"/>)");
    }
    ~ClipSoundTest() override { CClipObject::SetAudioManager(nullptr); }

    void Start(CRecordingObject& object, const CClipItem& item)
    {
        object.LoadFromDefinition(item, nullptr);
        object.SetTimeKeepEvents(0, true, Identity);
        object.Play();
    }
    void RunTo(CRecordingObject& object, s32 ms)
    {
        object.SetTimeKeepEvents(ms, false, Identity);
        object.ApplyKeyFrame(Identity);
    }
    // The files of the voices taken so far, in order.
    std::vector<std::string> Played() const
    {
        std::vector<std::string> files;
        for (const auto& voice : m_Pool.m_Voices)
            files.push_back(voice->m_OpenedFile);
        return files;
    }

    // Key points at 0, 500 and 1000, sound a at 0 and sound b at 1000.
    const CTestClips m_Clips{R"(<Clip id="loop"><image vis="true" at="1">
        <kp t="0" itpl="true"/><kp t="500" itpl="true"/><kp t="1000" itpl="true"/>
        <sd k="0" id="a"/><sd k="1000" id="b"/></image></Clip>
        <Clip id="late"><image vis="true"><kp t="0"/><kp t="500"/><sd k="500" id="a"/></image></Clip>)"};
};

using Files = std::vector<std::string>;

} // namespace

TEST_F(ClipSoundTest, LoopSeamFiresTheSoundPointsOfBothKeyPoints)
{
    CRecordingObject object;
    Start(object, m_Clips.Item("loop"));
    RunTo(object, 0);
    EXPECT_EQ(Played(), Files({"a.ogg"}));
    RunTo(object, 999);
    EXPECT_EQ(Played(), Files({"a.ogg"}));
    RunTo(object, 1000);
    EXPECT_EQ(Played(), Files({"a.ogg", "b.ogg", "a.ogg"}));
    EXPECT_EQ(CClipObject::GetTrackedSoundCount(&object), 3u);
}

TEST_F(ClipSoundTest, LateSoundPointsSeekOrStayQuiet)
{
    CRecordingObject late;
    Start(late, m_Clips.Item("late"));
    RunTo(late, 800); // the key point at 500 is passed 300 ms late
    ASSERT_EQ(Played(), Files({"a.ogg"}));
    EXPECT_EQ(m_Pool.Last()->m_Seeks, std::vector<double>({0.3}));

    // Now that the sound's duration is known, a pass later than the whole sound starts nothing.
    CRecordingObject later;
    Start(later, m_Clips.Item("late"));
    RunTo(later, 1700);
    EXPECT_EQ(Played(), Files({"a.ogg"}));
    EXPECT_EQ(CClipObject::GetTrackedSoundCount(&later), 0u);

    // Muted objects start no sounds at all.
    CRecordingObject muted;
    muted.SetSoundMuted(true);
    Start(muted, m_Clips.Item("late"));
    RunTo(muted, 600);
    EXPECT_EQ(Played(), Files({"a.ogg"}));
}

// A sound shorter than a millisecond has no whole milliseconds to seek within: it plays on
// without a seek instead of dividing by zero.
TEST_F(ClipSoundTest, SoundShorterThanAMillisecondIsNotSought)
{
    m_Pool.m_Durations["a.ogg"] = 0.0005;
    CRecordingObject object;
    Start(object, m_Clips.Item("late"));
    RunTo(object, 500);
    ASSERT_EQ(Played(), Files({"a.ogg"}));
    EXPECT_TRUE(m_Pool.Last()->m_Seeks.empty());
    EXPECT_EQ(CClipObject::GetTrackedSoundCount(&object), 1u);
}

TEST_F(ClipSoundTest, MutingSilencesTrackedSoundsAndUnmutingRestoresTheirTypeVolume)
{
    CRecordingObject object;
    Start(object, m_Clips.Item("loop"));
    RunTo(object, 1000);
    ASSERT_EQ(CClipObject::GetTrackedSoundCount(&object), 3u);
    object.SetSoundMuted(true);
    for (s32 id : {1, 2, 3})
        EXPECT_EQ(m_Audio->GetSoundVolume(id), 0.0f) << id;
    object.SetSoundMuted(false);
    EXPECT_EQ(m_Audio->GetSoundVolume(1), 60.0f);
    EXPECT_EQ(m_Audio->GetSoundVolume(2), 80.0f);
    EXPECT_EQ(m_Audio->GetSoundVolume(3), 60.0f);
}

TEST_F(ClipSoundTest, StoppingStopsTheSoundsAtOnceAndRewinds)
{
    CRecordingObject object;
    Start(object, m_Clips.Item("loop"));
    RunTo(object, 400);
    const s32 id = 1;
    ASSERT_TRUE(m_Audio->IsPlaying(id));
    object.Stop();
    EXPECT_TRUE(m_Audio->FindSound(id)->IsStopped());
    EXPECT_EQ(object.GetCurrentTime(), 0);
    EXPECT_EQ(CClipObject::GetTrackedSoundCount(&object), 0u);
    Advance(1);
    EXPECT_FALSE(m_Audio->IsPlaying(id));
}

// Pausing an object pauses its sounds once however often it is paused, so one Play resumes
// them.
TEST_F(ClipSoundTest, PauseTwiceThenPlayResumesTheSounds)
{
    CRecordingObject object;
    Start(object, m_Clips.Item("loop"));
    RunTo(object, 100);
    CRecordingVoice* voice = VoiceOf(1);
    ASSERT_NE(voice, nullptr);
    object.Pause();
    object.Pause();
    EXPECT_EQ(voice->m_State, CRecordingVoice::StatePaused);
    object.Play();
    EXPECT_EQ(voice->m_State, CRecordingVoice::StatePlaying);
}

TEST_F(ClipSoundTest, DestroyedObjectsStopTheirSoundsAndCopiesTrackNone)
{
    auto object = std::make_unique<CRecordingObject>();
    Start(*object, m_Clips.Item("loop"));
    RunTo(*object, 0);
    std::unique_ptr<CClipObject> copy(object->Clone());
    EXPECT_EQ(CClipObject::GetTrackedSoundCount(copy.get()), 0u);
    const CClipObject* address = object.get();
    object.reset();
    EXPECT_EQ(CClipObject::GetTrackedSoundCount(address), 0u);
    EXPECT_TRUE(m_Audio->FindSound(1)->IsStopped());
}
