// Tests that need OpenAL configured for their own process: each runs only as its own CTest
// entry, which names it in GAME_SOUND_PROCESS and sets OpenAL's environment.
#include "content/OggVorbisWriter.h"
#include "core/ContentTestSupport.h"
#include "core/MessageBox.h"
#include "core/ThreadUtil.h"
#include "core/TimeSystem.h"
#include "sound/AudioManager.h"
#include "sound/OpenALPool.h"
#include "sound/SoundDeclarations.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <string>

namespace {

bool RunsAs(const char* name)
{
    const char* process = std::getenv("GAME_SOUND_PROCESS");
    return process && std::strcmp(process, name) == 0;
}

void DeclareTone(const CTempFolder& tmp)
{
    WriteBytes(tmp, "tone.ogg", lv::content::EncodeOggVorbis(lv::content::MakeTone(1, 44100, 0.5, 441, 0.5f)));
    tmp.Write("properties/sounds.xml", "<?xml version=\"1.0\"?>\n<sounds><sound id=\"tone\" file=\"tone.ogg\"/></sounds>\n");
}

} // namespace

TEST(AudioProcess, WithoutADeviceEverythingElseKeepsWorking)
{
    if (!RunsAs("no_device"))
        GTEST_SKIP() << "runs as its own CTest entry with ALSOFT_DRIVERS naming no driver";
    CTempFolder tmp;
    CWorkingFolder cwd(tmp.Path());
    DeclareTone(tmp);
    CLogCapture log(tmp);
    lv::sound::CAudioManager audio;
    EXPECT_FALSE(audio.IsOpen());
    EXPECT_TRUE(log.Contains("caption: Warning"));
    EXPECT_TRUE(log.Contains("message: Cannot initialize audio subsystem."));
    EXPECT_TRUE(lv::core::GetQuietMessageBoxes()); // forced on for that one box only
    lv::sound::CSoundDeclarations declarations;
    ASSERT_TRUE(declarations.Load());
    audio.LoadSoundTypes(declarations);
    EXPECT_TRUE(audio.HasSound("tone"));
    EXPECT_EQ(audio.Play("tone"), 0);
    EXPECT_EQ(audio.Play("tone"), 0);
    audio.SetGroupVolume("music", 30);
    EXPECT_FLOAT_EQ(audio.GetGroupVolume("music"), 30.0f);
    audio.Update();
    // The pool exists without a device; its voices do nothing.
    ASSERT_NE(lv::sound::COpenALPool::Instance(), nullptr);
    EXPECT_EQ(lv::sound::COpenALPool::Instance()->TakeVoice("tone.ogg"), nullptr);
}

TEST(AudioProcess, TheWaveWriterRecordsAPlayedTone)
{
    if (!RunsAs("wave_writer"))
        GTEST_SKIP() << "runs as its own CTest entry with ALSOFT_CONF naming a wave writer configuration";
    const char* conf = std::getenv("ALSOFT_CONF");
    ASSERT_NE(conf, nullptr);
    CTempFolder tmp;
    const std::string wave = tmp / "out.wav";
    // Written before the first OpenAL call of the process, which reads it.
    std::ofstream(conf) << "drivers=wave\n[wave]\nfile=" << wave << "\n";
    {
        CWorkingFolder cwd(tmp.Path());
        DeclareTone(tmp);
        lv::sound::CAudioManager audio; // the program's way: the default device and the worker
        ASSERT_TRUE(audio.IsOpen());
        lv::sound::CSoundDeclarations declarations;
        ASSERT_TRUE(declarations.Load());
        audio.LoadSoundTypes(declarations);
        const s32 id = audio.Play("tone");
        ASSERT_NE(id, 0);
        auto& time = lv::core::CTimeSystem::Instance();
        // Real time passes here: the writer plays at the device's pace (bounded for a loaded machine).
        for (s32 i = 0; i < 3000 && audio.IsPlaying(id); ++i) {
            lv::mt::SleepMs(10);
            time.Tick();
            audio.Update();
        }
        EXPECT_FALSE(audio.IsPlaying(id));
    }
    std::remove(conf);

    std::ifstream in(wave, std::ios::binary);
    const std::string bytes((std::istreambuf_iterator<char>(in)), {});
    ASSERT_GT(bytes.size(), 44u);
    const size_t data = bytes.find("data");
    ASSERT_NE(data, std::string::npos);
    // 32-bit float stereo at 44100 Hz.
    const size_t count = (bytes.size() - data - 8) / 8;
    double s1 = 0.0, s2 = 0.0, t1 = 0.0, t2 = 0.0, energy = 0.0;
    const double pi = 3.14159265358979323846;
    const double c441 = 2.0 * std::cos(2.0 * pi * 441 / 44100), c882 = 2.0 * std::cos(2.0 * pi * 882 / 44100);
    for (size_t i = 0; i < count; ++i) {
        float left;
        std::memcpy(&left, bytes.data() + data + 8 + i * 8, 4);
        energy += static_cast<double>(left) * left;
        const double a = left + c441 * s1 - s2;
        s2 = s1;
        s1 = a;
        const double b = left + c882 * t1 - t2;
        t2 = t1;
        t1 = b;
    }
    const double at441 = std::sqrt(s1 * s1 + s2 * s2 - c441 * s1 * s2);
    const double at882 = std::sqrt(t1 * t1 + t2 * t2 - c882 * t1 * t2);
    EXPECT_GT(energy, 100.0) << count << " frames";
    EXPECT_GT(at441, 20 * at882) << "441 Hz " << at441 << ", 882 Hz " << at882 << ", " << count << " frames";
}
