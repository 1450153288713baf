#pragma once
// A voice pool that plays nothing and records what the sound instances ask of their voices.
// A test sets each file's duration, ends a voice's stream by hand and moves its position.
#include "sound/Voice.h"
#include "sound/VoicePool.h"

#include <map>
#include <memory>
#include <set>
#include <string>
#include <vector>

class CRecordingVoice : public lv::sound::CVoice
{
public:
    void Play() override
    {
        if (m_State == StateStopped) {
            m_State = StatePlaying;
            ++m_Plays;
        }
    }
    void Pause() override
    {
        if (m_State == StatePlaying)
            m_State = StatePaused;
    }
    void Resume() override
    {
        if (m_State == StatePaused)
            m_State = StatePlaying;
    }
    void Stop() override { m_State = StateStopped; }
    void Seek(double seconds) override
    {
        m_Position = seconds;
        m_Seeks.push_back(seconds);
    }
    void SetGain(float gain) override { m_Gains.push_back(gain); }
    void SetLooping(bool looping) override { m_Looping = looping; }
    double GetPosition() override { return m_Position; }
    double GetDuration() override { return m_Duration; }
    bool IsStopped() override { return m_State == StateStopped; }
    void CheckEnd() override
    {
        if (!m_Looping && m_Ended)
            m_State = StateStopped;
    }
    bool IsBusy() override { return !m_File.empty(); }
    s32 GetState() override { return m_State; }

    float Gain() const { return m_Gains.empty() ? -1.0f : m_Gains.back(); }
    // The stream has played out: a non-looping voice stops at its next end test.
    void End() { m_Ended = true; }

    std::string m_File;       // while busy
    std::string m_OpenedFile; // kept after the release
    s32 m_State = StateStopped;
    bool m_Looping = false;
    bool m_Ended = false;
    s32 m_Plays = 0;
    double m_Position = 0.0;
    double m_Duration = 0.0;
    std::vector<float> m_Gains;
    std::vector<double> m_Seeks;
};

class CRecordingVoicePool : public lv::sound::CVoicePool
{
public:
    lv::sound::CVoice* TakeVoice(const char* file) override
    {
        ++m_Takes;
        if (m_Refused.count(file) || Busy() >= m_Capacity)
            return nullptr;
        auto voice = std::make_unique<CRecordingVoice>();
        voice->m_File = file;
        voice->m_OpenedFile = file;
        voice->m_Duration = m_Durations.count(file) ? m_Durations[file] : 1.0;
        m_Voices.push_back(std::move(voice));
        return m_Voices.back().get();
    }
    void ReleaseVoice(lv::sound::CVoice* voice) override
    {
        auto* recording = static_cast<CRecordingVoice*>(voice);
        recording->Stop();
        recording->m_File.clear();
        ++m_Releases;
    }

    s32 Busy() const
    {
        s32 n = 0;
        for (const auto& voice : m_Voices)
            n += voice->m_File.empty() ? 0 : 1;
        return n;
    }
    // The newest voice taken.
    CRecordingVoice* Last() const { return m_Voices.empty() ? nullptr : m_Voices.back().get(); }

    std::vector<std::unique_ptr<CRecordingVoice>> m_Voices; // every voice ever taken
    std::map<std::string, double> m_Durations;               // seconds per file
    std::set<std::string> m_Refused;                         // files no voice opens
    s32 m_Capacity = 64;
    s32 m_Takes = 0;
    s32 m_Releases = 0;
};
