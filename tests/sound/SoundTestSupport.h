#pragma once
// An audio manager on a hand-moved clock and a recording voice pool, with sounds declared from a
// sounds.xml written into a fresh working folder (the sound files themselves are dummies).
#include "RecordingVoicePool.h"
#include "core/ContentTestSupport.h"
#include "core/TimeSystem.h"
#include "sound/AudioManager.h"
#include "sound/SoundDeclarations.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>

class SoundTest : public testing::Test
{
protected:
    SoundTest()
    {
        // Absorbs the clock's starting offset, so each later Advance(n) moves the timers by n.
        m_Now += 20.0;
        m_Time.Tick();
    }

    // Declares the sounds of the XML body (inside the root element); every file named exists.
    void Declare(const std::string& body, const std::string& files = "a.ogg b.ogg c.ogg music.ogg")
    {
        size_t start = 0;
        while (start < files.size()) {
            size_t end = files.find(' ', start);
            if (end == std::string::npos)
                end = files.size();
            m_Tmp.Write(files.substr(start, end - start), "dummy");
            start = end + 1;
        }
        m_Tmp.Write("properties/sounds.xml", "<?xml version=\"1.0\"?>\n<sounds>\n" + body + "\n</sounds>\n");
        lv::sound::CSoundDeclarations declarations;
        ASSERT_TRUE(declarations.Load());
        m_Audio->LoadSoundTypes(declarations);
    }

    // Moves the clock, ticks the time system and updates the manager.
    void Advance(double ms)
    {
        m_Now += ms;
        m_Time.Tick();
        m_Audio->Update();
    }

    CRecordingVoice* VoiceOf(s32 id) const
    {
        const lv::sound::CSound* sound = m_Audio->FindSound(id);
        return sound ? static_cast<CRecordingVoice*>(sound->GetVoice()) : nullptr;
    }

    CTempFolder m_Tmp;
    CWorkingFolder m_Cwd{m_Tmp.Path()};
    double m_Now = 1000.0;
    lv::core::CTimeSystem m_Time{[this] { return m_Now; }};
    CRecordingVoicePool m_Pool;
    std::unique_ptr<lv::sound::CAudioManager> m_Audio = std::make_unique<lv::sound::CAudioManager>(m_Time, &m_Pool);
};
