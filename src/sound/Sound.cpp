#include "sound/Sound.h"

#include "sound/AudioManager.h"
#include "sound/SoundType.h"
#include "sound/Voice.h"
#include "sound/VoicePool.h"

#include <algorithm>
#include <cmath>

namespace lv::sound {

CSound::CSound(CSoundType& type) : CBaseSound(type), m_Type(&type) {}

CSound::~CSound()
{
    ReleaseVoice();
}

void CSound::ReleaseVoice()
{
    if (!m_Voice)
        return;
    if (CVoicePool* pool = m_Type->GetManager().GetVoicePool())
        pool->ReleaseVoice(m_Voice);
    m_Voice = nullptr;
}

void CSound::ChangeVolume(float delta, float time, float delay)
{
    CBaseSound::ChangeVolume(delta, time, delay);
    ApplyVolume();
}

void CSound::SetPriority(s32 priority)
{
    CBaseSound::SetPriority(priority);
    ApplyVolume();
}

void CSound::SetBalance(float balance, float time, float delay)
{
    CBaseSound::SetBalance(balance, time, delay);
    ApplyVolume();
}

void CSound::SetSpeed(float speed)
{
    CBaseSound::SetSpeed(speed);
    ApplyVolume();
}

bool CSound::Start(float balance, float volume, s32 priority, s32 repeat, float speed)
{
    ReleaseVoice();
    m_Voice = m_Type->TakeVoice();
    if (!m_Voice)
        return false;
    // Held paused while setting up, so that no end test fires in between.
    m_PauseLevel = 1;
    CBaseSound::SetBalance(balance, 0.0f, 0.0f);
    if (volume != kKeepValueF)
        m_Volume = std::clamp(volume, 0.0f, 100.0f);
    CBaseSound::SetPriority(priority);
    CBaseSound::SetRepeat(repeat);
    CBaseSound::SetSpeed(speed);
    m_Type->OnStart();
    m_Voice->SetGain(static_cast<float>(GetEffectiveVolume()) / 100.0f);
    m_Voice->SetLooping(m_Repeat == -1);
    m_Voice->Play();
    m_PauseLevel = 0;
    return true;
}

void CSound::Stop(float fade)
{
    if (fade > 0.0f) {
        m_StopRamp = CSoundRamp(m_TimerGroup, 0.0f, fade, 0.0f);
        return;
    }
    if (!m_Stopped && !IsPaused())
        m_Type->OnStop();
    m_Stopped = true;
    SetRepeat(0);
}

void CSound::Pause()
{
    if (!m_Voice)
        return;
    if (m_PauseLevel == 0)
        m_Type->OnStop();
    for (CSoundRamp& ramp : m_VolumeRamps)
        ramp.Pause(true);
    m_BalanceRamp.Pause(true);
    if (++m_PauseLevel == 1)
        m_Voice->Pause();
}

void CSound::Resume()
{
    if (!m_Voice || m_PauseLevel == 0)
        return;
    if (!m_Type->CanPlay()) {
        Stop(0.0f);
        return;
    }
    for (CSoundRamp& ramp : m_VolumeRamps)
        ramp.Pause(false);
    m_BalanceRamp.Pause(false);
    if (--m_PauseLevel == 0) {
        m_Type->OnStart();
        m_Voice->Resume();
    }
}

void CSound::Update()
{
    if (m_Voice)
        m_Voice->CheckEnd();
    CheckEnd();

    bool changed = false;
    if (!m_VolumeRamps.empty()) {
        float total = 0.0f;
        for (auto it = m_VolumeRamps.begin(); it != m_VolumeRamps.end();) {
            total += it->Advance();
            if (it->IsFinished())
                it = m_VolumeRamps.erase(it);
            else
                ++it;
        }
        CBaseSound::ChangeVolume(total, 0.0f, 0.0f);
        changed = true;
    }
    if (!m_BalanceRamp.IsIdle()) {
        m_Balance = std::clamp(m_Balance + m_BalanceRamp.Advance(), -1.0f, 1.0f);
        if (m_BalanceRamp.IsFinished())
            m_BalanceRamp = CSoundRamp();
        changed = true;
    }
    if (!m_StopRamp.IsIdle()) {
        m_StopRamp.Advance();
        if (m_StopRamp.IsFinished()) {
            m_StopRamp = CSoundRamp();
            Stop(0.0f);
            return;
        }
    }
    if (changed)
        ApplyVolume();
}

void CSound::ApplyVolume()
{
    if (m_Voice)
        m_Voice->SetGain(static_cast<float>(GetEffectiveVolume()) / 100.0f);
    CheckEnd();
}

void CSound::CheckEnd()
{
    if (m_PauseLevel == 0 && m_Voice && m_Voice->IsStopped())
        EndOfPass();
    if (!m_Voice)
        Stop(0.0f);
}

void CSound::EndOfPass()
{
    if (m_Stopped) {
        Stop(0.0f);
        return;
    }
    if (m_Repeat == -1)
        return;
    --m_Repeat;
    if (m_Repeat > 0) {
        m_Type->OnStop();
        Start(kKeepValueF, kKeepValueF, kKeepValue, kKeepValue, kKeepValueF);
    } else {
        Stop(0.0f);
    }
}

s32 CSound::GetEffectiveVolume() const
{
    const CAudioManager& manager = m_Type->GetManager();
    const float change = manager.GetPriorityVolumeChange(m_Priority);
    const float group = manager.GetGroupVolume(m_Group.GetText());
    const float master = manager.GetMasterVolume();
    const float volume = master / 100.0f * (group / 100.0f * (m_Volume + change * m_Volume / 100.0f));
    return static_cast<s32>(std::clamp(volume, 0.0f, 100.0f));
}

double CSound::GetPosition() const
{
    if (!m_Voice)
        return 0.0;
    const double position = m_Voice->GetPosition() * 1000.0;
    const double duration = m_Type->GetDuration();
    // A looping sound reports its position within the current pass (an unknown length has none).
    if (duration > 0.0 && duration < position)
        return position - duration * std::floor(position / duration);
    return position;
}

void CSound::SetPosition(double seconds)
{
    if (m_Voice)
        m_Voice->Seek(seconds);
}

} // namespace lv::sound
