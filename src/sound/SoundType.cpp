#include "sound/SoundType.h"

#include "core/FileSystem.h"
#include "core/Timer.h"
#include "core/TimerGroup.h"
#include "sound/AudioManager.h"
#include "sound/Voice.h"
#include "sound/VoicePool.h"

namespace lv::sound {

CSoundType::CSoundType(CAudioManager& manager) : CBaseSound(manager.GetTimerGroup()), m_Manager(&manager)
{
    if (m_TimerGroup)
        m_Clock.Assign(m_TimerGroup->CreateTimer());
}

float CSoundType::Now() const
{
    return m_Clock ? static_cast<float>(m_Clock->GetTime()) : 0.0f;
}

bool CSoundType::SetFile(const char* path, s32 maxConcurrent, bool)
{
    m_MaxConcurrent = maxConcurrent;
    if (!path || !lv::core::CFileSystem::Instance().FileExists(path))
        return false;
    m_File = path;
    return true;
}

bool CSoundType::CanPlay() const
{
    const bool allowed = m_MaxConcurrent < 0 || m_PlayingCount < m_MaxConcurrent;
    if (m_PlayDelay >= 0.0f && Now() < m_LastStart + m_PlayDelay)
        return false;
    return allowed;
}

void CSoundType::OnStart()
{
    ++m_PlayingCount;
    m_LastStart = Now();
}

void CSoundType::OnStop()
{
    if (m_PlayingCount > 0)
        --m_PlayingCount;
}

CVoice* CSoundType::TakeVoice()
{
    CVoicePool* pool = m_Manager->GetVoicePool();
    if (m_File.empty() || !pool)
        return nullptr;
    CVoice* voice = pool->TakeVoice(m_File.c_str());
    if (voice && m_Duration < 0.0) {
        m_Duration = voice->GetDuration() * 1000.0;
        if (m_Duration < 0.0)
            m_Duration = 0.0;
    }
    return voice;
}

} // namespace lv::sound
