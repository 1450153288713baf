#pragma once
// The audio manager on the real voice pool, opened on OpenAL's loopback device: the test renders
// 20 ms steps itself, running the worker's refill pass before each, with the time system on a
// clock it moves by hand.
#include "content/OggVorbisWriter.h"
#include "core/ContentTestSupport.h"
#include "core/TimeSystem.h"
#include "sound/AudioManager.h"
#include "sound/OpenALPool.h"
#include "sound/SoundDeclarations.h"

#include <gtest/gtest.h>

#include <cmath>
#include <memory>
#include <string>
#include <vector>

// 20 ms at 44100 Hz.
inline constexpr s32 kStepFrames = 882;

// Power of one frequency in a channel of interleaved stereo (Goertzel).
inline double ToneLevel(const std::vector<s16>& stereo, s32 channel, double frequency)
{
    const size_t n = stereo.size() / 2;
    const double w = 2.0 * 3.14159265358979323846 * frequency / 44100.0;
    const double c = 2.0 * std::cos(w);
    double s1 = 0.0, s2 = 0.0;
    for (size_t i = 0; i < n; ++i) {
        const double s0 = stereo[i * 2 + channel] + c * s1 - s2;
        s2 = s1;
        s1 = s0;
    }
    return std::sqrt(s1 * s1 + s2 * s2 - c * s1 * s2) / (n ? n : 1);
}

inline double Rms(const std::vector<s16>& stereo, s32 channel)
{
    double sum = 0.0;
    const size_t n = stereo.size() / 2;
    for (size_t i = 0; i < n; ++i)
        sum += static_cast<double>(stereo[i * 2 + channel]) * stereo[i * 2 + channel];
    return n ? std::sqrt(sum / n) : 0.0;
}

class LoopbackTest : public testing::Test
{
protected:
    void SetUp() override
    {
        lv::sound::COpenALPool::Close(true);
        lv::sound::COpenALPool::COptions options;
        options.m_Loopback = true;
        options.m_StartWorker = false;
        options.m_TimeSystem = &m_Time;
        lv::sound::COpenALPool::SetOptions(options);
        ASSERT_TRUE(lv::sound::COpenALPool::Open(true));
        m_Pool = lv::sound::COpenALPool::Instance();
        m_Audio = std::make_unique<lv::sound::CAudioManager>(m_Time, m_Pool);
        m_Now += 20.0;
        m_Time.Tick();
    }
    void TearDown() override
    {
        m_Audio.reset();
        lv::sound::COpenALPool::Close(true);
        lv::sound::COpenALPool::SetOptions({});
    }

    void WriteSound(const std::string& file, const lv::content::COggVorbisSource& source)
    {
        WriteBytes(m_Tmp, file, lv::content::EncodeOggVorbis(source, 0.6f));
    }
    void Declare(const std::string& body)
    {
        m_Tmp.Write("properties/sounds.xml", "<?xml version=\"1.0\"?>\n<sounds>\n" + body + "\n</sounds>\n");
        lv::sound::CSoundDeclarations declarations;
        ASSERT_TRUE(declarations.Load());
        m_Audio->LoadSoundTypes(declarations);
    }

    // One 20 ms step: refill, render, then time and the manager move on.
    std::vector<s16> Step()
    {
        m_Pool->Service();
        std::vector<s16> out(kStepFrames * 2);
        lv::sound::COpenALPool::RenderLoopback(out.data(), kStepFrames);
        m_Now += 20.0;
        m_Time.Tick();
        m_Audio->Update();
        return out;
    }
    std::vector<s16> Render(s32 steps)
    {
        std::vector<s16> all;
        for (s32 i = 0; i < steps; ++i) {
            const std::vector<s16> part = Step();
            all.insert(all.end(), part.begin(), part.end());
        }
        return all;
    }

    CTempFolder m_Tmp;
    CWorkingFolder m_Cwd{m_Tmp.Path()};
    double m_Now = 1000.0;
    lv::core::CTimeSystem m_Time{[this] { return m_Now; }};
    lv::sound::COpenALPool* m_Pool = nullptr;
    std::unique_ptr<lv::sound::CAudioManager> m_Audio;
};
