#include "LoopbackTestSupport.h"
#include "core/ThreadUtil.h"
#include "sound/DeviceChangeNotifier.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cstdlib>
#include <thread>

using lv::content::COggVorbisSource;
using lv::content::MakeTone;
using lv::sound::COpenALPool;
using lv::sound::COpenALVoice;

namespace {

// Level steps every 0.5 s: 0.1, 0.2, 0.3 ... of full scale, as a 441 Hz tone.
COggVorbisSource Staircase(double seconds)
{
    COggVorbisSource source = MakeTone(1, 44100, seconds, 441, 1.0f);
    for (size_t i = 0; i < source.m_Samples.size(); ++i)
        source.m_Samples[i] *= 0.1f * static_cast<float>(1 + i / 22050);
    return source;
}

} // namespace

TEST_F(LoopbackTest, TonesComeOutAtTheirFrequenciesOnTheirChannels)
{
    WriteSound("mono.ogg", MakeTone(1, 44100, 1.0, 441, 0.5f));
    WriteSound("right.ogg", MakeTone(2, 44100, 1.0, 882, 0.5f, 2));
    Declare(R"(<sound id="mono" file="mono.ogg"/><sound id="right" file="right.ogg"/>)");
    const s32 mono = m_Audio->Play("mono");
    ASSERT_NE(mono, 0);
    std::vector<s16> out = Render(10);
    EXPECT_GT(ToneLevel(out, 0, 441), 20 * ToneLevel(out, 0, 882));
    EXPECT_NEAR(ToneLevel(out, 0, 441), ToneLevel(out, 1, 441), 1.0);
    m_Audio->StopSound(mono, 0);
    Step();
    ASSERT_NE(m_Audio->Play("right"), 0);
    out = Render(10);
    EXPECT_GT(ToneLevel(out, 1, 882), 20 * ToneLevel(out, 1, 441));
    EXPECT_LT(ToneLevel(out, 0, 882), ToneLevel(out, 1, 882) / 100);
}

TEST_F(LoopbackTest, VolumesScaleTheRenderedLevel)
{
    WriteSound("tone.ogg", MakeTone(1, 44100, 2.0, 441, 0.5f));
    Declare(R"(<sound id="ref" file="tone.ogg" group_template="sound"/>
               <sound id="quiet" file="tone.ogg" group_template="music" volume="50"/>)");
    const s32 ref = m_Audio->Play("ref");
    Render(2);
    const double full = Rms(Render(10), 0);
    m_Audio->StopSound(ref, 0);
    Step();

    m_Audio->SetMasterVolume(50);
    m_Audio->SetGroupVolume("music", 50);
    ASSERT_NE(m_Audio->Play("quiet"), 0);
    Render(2);
    EXPECT_NEAR(Rms(Render(10), 0) / full, 0.12, 0.12 * 0.01);
    m_Audio->SetGroupVolume("music", 25);
    Step(); // the library moves to a new gain within one render
    EXPECT_NEAR(Rms(Render(5), 0) / full, 0.06, 0.06 * 0.01);
}

TEST_F(LoopbackTest, PauseAllSilencesAndResumeContinuesFromTheSameOffset)
{
    WriteSound("tone.ogg", MakeTone(1, 44100, 2.0, 441, 0.5f));
    Declare(R"(<sound id="a" file="tone.ogg"/>)");
    const s32 id = m_Audio->Play("a");
    Render(5);
    m_Audio->PauseAll(true);
    auto* voice = static_cast<COpenALVoice*>(m_Audio->FindSound(id)->GetVoice());
    const double at = voice->GetPosition();
    // The library fades the source out within the first render; silence follows.
    Step();
    EXPECT_LT(Rms(Render(5), 0), 2.0);
    EXPECT_NEAR(voice->GetPosition(), at, 1e-6);
    m_Audio->PauseAll(false);
    EXPECT_GT(Rms(Step(), 0), 1000.0);
    EXPECT_NEAR(voice->GetPosition(), at + 0.02, 1e-6);
}

TEST_F(LoopbackTest, StopSoundFadesTheRenderedLevel)
{
    WriteSound("tone.ogg", MakeTone(1, 44100, 3.0, 441, 0.5f));
    Declare(R"(<sound id="a" file="tone.ogg"/>)");
    const s32 id = m_Audio->Play("a");
    Render(2);
    const double full = Rms(Step(), 0);
    m_Audio->StopSound(id, 1000);
    std::vector<double> levels;
    for (s32 step = 1; step <= 52; ++step)
        levels.push_back(Rms(Step(), 0) / full);
    // The gain set by the update before each step: 1 - t / 1000.
    EXPECT_NEAR(levels[12], 0.75, 0.03);
    EXPECT_NEAR(levels[25], 0.50, 0.03);
    EXPECT_NEAR(levels[37], 0.25, 0.03);
    EXPECT_LT(levels[51], 0.01);
    EXPECT_LT(Rms(Step(), 0), 2.0);
    EXPECT_FALSE(m_Audio->IsPlaying(id));
}

TEST_F(LoopbackTest, SetSoundPositionRendersTheStepOfThatTime)
{
    WriteSound("steps.ogg", Staircase(3.0));
    WriteSound("ref.ogg", MakeTone(1, 44100, 1.0, 441, 0.4f));
    Declare(R"(<sound id="steps" file="steps.ogg"/><sound id="ref" file="ref.ogg"/>)");
    const s32 ref = m_Audio->Play("ref");
    Render(2);
    const double fourth = Rms(Render(5), 0);
    m_Audio->StopSound(ref, 0);
    Step();
    const s32 id = m_Audio->Play("steps");
    Render(2);
    EXPECT_NEAR(Rms(Render(5), 0) / fourth, 0.25, 0.02);
    m_Audio->SetSoundPosition(id, 1.5);
    Step();
    EXPECT_NEAR(Rms(Render(5), 0) / fourth, 1.0, 0.02);
}

TEST_F(LoopbackTest, ALoopingSoundWrapsWithoutASilentStep)
{
    WriteSound("loop.ogg", MakeTone(1, 44100, 0.5, 441, 0.5f));
    Declare(R"(<sound id="loop" file="loop.ogg" repeat="-1"/>)");
    const s32 id = m_Audio->Play("loop");
    for (s32 step = 0; step < 100; ++step)
        EXPECT_GT(Rms(Step(), 0), 1000.0) << "step " << step;
    EXPECT_TRUE(m_Audio->IsPlaying(id));
}

TEST_F(LoopbackTest, AShortSoundIsQueuedWholeAndEndsWhenItsSourceStops)
{
    WriteSound("short.ogg", MakeTone(1, 44100, 0.1, 441, 0.5f));
    Declare(R"(<sound id="short" file="short.ogg"/>)");
    const s32 id = m_Audio->Play("short");
    auto* voice = static_cast<COpenALVoice*>(m_Audio->FindSound(id)->GetVoice());
    EXPECT_EQ(voice->GetState(), COpenALVoice::StatePlaying);
    // 100 ms play out within five steps; the voice stops in the update after the last.
    Render(5);
    voice->CheckEnd();
    EXPECT_EQ(voice->GetState(), COpenALVoice::StateStopped);
    Step();
    Step();
    EXPECT_FALSE(m_Audio->IsPlaying(id));
}

TEST_F(LoopbackTest, SixtyFourVoicesAndNoMore)
{
    WriteSound("tone.ogg", MakeTone(1, 44100, 0.5, 441, 0.1f));
    CLogCapture log(m_Tmp);
    std::vector<lv::sound::CVoice*> voices;
    for (s32 i = 0; i < COpenALPool::kVoiceCount; ++i) {
        voices.push_back(m_Pool->TakeVoice("tone.ogg"));
        ASSERT_NE(voices.back(), nullptr) << i;
    }
    EXPECT_EQ(m_Pool->TakeVoice("tone.ogg"), nullptr);
    EXPECT_TRUE(log.Contains("[message][1]: caption: Error"));
    EXPECT_TRUE(log.Contains("message: Total number of concurrently playing sounds exceeded allowed maximum (64)."));
    m_Pool->ReleaseVoice(voices[10]);
    EXPECT_EQ(m_Pool->TakeVoice("tone.ogg"), voices[10]);
    EXPECT_EQ(m_Pool->TakeVoice("missing.ogg"), nullptr);
    for (lv::sound::CVoice* voice : voices)
        m_Pool->ReleaseVoice(voice);
}

TEST_F(LoopbackTest, PositionCountsProcessedBuffersAndTheSourceOffset)
{
    WriteSound("stereo.ogg", MakeTone(2, 44100, 2.0, 441, 0.5f));
    auto* voice = static_cast<COpenALVoice*>(m_Pool->TakeVoice("stereo.ogg"));
    ASSERT_NE(voice, nullptr);
    voice->Play();
    // Two stereo buffers of 8192 bytes are 4096 frames; 5 steps of 882 play them and 314 more.
    for (s32 i = 0; i < 5; ++i) {
        std::vector<s16> out(kStepFrames * 2);
        COpenALPool::RenderLoopback(out.data(), kStepFrames);
    }
    m_Pool->Service();
    EXPECT_NEAR(voice->GetPosition(), 2 * 8192.0 / (4 * 44100) + 314.0 / 44100, 1e-5);
    voice->Seek(0.0005); // below a millisecond: from the beginning
    EXPECT_NEAR(voice->GetPosition(), 0.0, 1e-9);
    EXPECT_EQ(voice->GetState(), COpenALVoice::StatePlaying);
    voice->Pause();
    voice->Seek(1.0);
    EXPECT_EQ(voice->GetState(), COpenALVoice::StatePaused); // a paused voice stays paused
    EXPECT_NEAR(voice->GetPosition(), 1.0, 1e-9);
    m_Pool->ReleaseVoice(voice);
}

TEST_F(LoopbackTest, RestartReplaysExactlyThePlayingVoicesNearTheirPlaces)
{
    WriteSound("a.ogg", MakeTone(1, 44100, 3.0, 441, 0.3f));
    WriteSound("b.ogg", MakeTone(2, 44100, 3.0, 882, 0.3f, 2));
    Declare(R"(<sound id="a" file="a.ogg"/><sound id="b" file="b.ogg"/>)");
    const s32 ids[] = {m_Audio->Play("a"), m_Audio->Play("a"), m_Audio->Play("b"), m_Audio->Play("b")};
    Render(10);
    m_Audio->StopSound(ids[3], 0);
    Step(); // the stopped sound gives its voice back
    auto voiceOf = [&](s32 id) { return static_cast<COpenALVoice*>(m_Audio->FindSound(id)->GetVoice()); };
    COpenALVoice* stopped = &m_Pool->GetVoice(3);
    double before[3];
    for (s32 i = 0; i < 3; ++i)
        before[i] = voiceOf(ids[i])->GetPosition();

    std::thread notifier([] { COpenALPool::Restart(); });
    notifier.join();

    for (s32 i = 0; i < 3; ++i) {
        EXPECT_EQ(voiceOf(ids[i])->GetState(), COpenALVoice::StatePlaying) << i;
        // Restarted from the processed buffers' time: at most the queued buffers earlier.
        EXPECT_LE(voiceOf(ids[i])->GetPosition(), before[i] + 1e-6);
        EXPECT_GE(voiceOf(ids[i])->GetPosition(), before[i] - 4 * 8192.0 / (2 * 44100));
    }
    EXPECT_EQ(stopped->GetState(), COpenALVoice::StateStopped);
    const std::vector<s16> out = Render(10);
    EXPECT_GT(ToneLevel(out, 0, 441), 20 * ToneLevel(out, 0, 882));
    EXPECT_GT(ToneLevel(out, 1, 882), 1.0);
}

TEST_F(LoopbackTest, TheWorkerIsJoinedBeforeTheVoicesGo)
{
    WriteSound("tone.ogg", MakeTone(2, 44100, 1.0, 441, 0.3f));
    Declare(R"(<sound id="a" file="tone.ogg" repeat="-1"/>)");
    m_Audio.reset();
    COpenALPool::Close(true);
    COpenALPool::COptions options;
    options.m_Loopback = true;
    options.m_TimeSystem = &m_Time;
    COpenALPool::SetOptions(options);
    for (s32 round = 0; round < 3; ++round) {
        ASSERT_TRUE(COpenALPool::Open(true));
        COpenALPool* pool = COpenALPool::Instance();
        EXPECT_TRUE(pool->HasWorker());
        lv::sound::CVoice* voice = pool->TakeVoice("tone.ogg");
        ASSERT_NE(voice, nullptr);
        voice->SetLooping(true);
        voice->Play();
        std::vector<s16> out(kStepFrames * 2);
        for (s32 i = 0; i < 20; ++i)
            COpenALPool::RenderLoopback(out.data(), kStepFrames);
        lv::mt::SleepMs(30); // let the worker be inside a pass
        COpenALPool::Close(true);
    }
    m_Pool = nullptr;
    ASSERT_TRUE(COpenALPool::Open(true));
    m_Pool = COpenALPool::Instance();
}

// Ending the process leaves other threads running: the worker must be stopped and the device
// closed before OpenAL cleans up after itself, or OpenAL reports the open device and may abort
// on its own destroyed locks while the worker is inside a pass.
TEST(OpenALPoolExit, TheProcessEndsWithTheWorkerStoppedAndTheDeviceClosed)
{
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_EXIT(
        {
            COpenALPool::SetOptions({});
            COpenALPool::Open(true);
            lv::mt::SleepMs(50);
            std::exit(COpenALPool::Instance() && COpenALPool::Instance()->HasWorker() ? 0 : 3);
        },
        testing::ExitedWithCode(0), testing::Not(testing::HasSubstr("device not closed")));
}

TEST(DeviceChangeNotifier, OneRestartPerNewRenderDevice)
{
    static s32 restarts = 0;
    restarts = 0;
    lv::sound::DeviceChangeNotifier notifier(false);
    notifier.SetCallback([] { ++restarts; });
    using N = lv::sound::DeviceChangeNotifier;
    for (s32 role = 0; role < 3; ++role)
        notifier.OnDefaultDeviceChanged(N::FlowRender, role, u"headphones");
    EXPECT_EQ(restarts, 1);
    notifier.OnDefaultDeviceChanged(N::FlowCapture, 0, u"microphone");
    EXPECT_EQ(restarts, 1);
    notifier.OnDefaultDeviceChanged(N::FlowRender, 0, u"speakers");
    notifier.OnDefaultDeviceChanged(N::FlowRender, 1, u"speakers");
    EXPECT_EQ(restarts, 2);
    notifier.OnDefaultDeviceChanged(N::FlowRender, 0, u"headphones");
    EXPECT_EQ(restarts, 3);
}

TEST(DeviceChangeNotifier, WithoutASoundServerNothingIsRegistered)
{
    // No server runs here, and none is started: the connection fails at once.
    lv::sound::DeviceChangeNotifier notifier;
    EXPECT_FALSE(notifier.IsListening());
}
