#include "sound/BaseSound.h"

#include <algorithm>

namespace lv::sound {

void CBaseSound::ChangeVolume(float delta, float time, float delay)
{
    if (time == 0.0f && delay == 0.0f)
        m_Volume = std::clamp(m_Volume + delta, 0.0f, 100.0f);
    else
        m_VolumeRamps.emplace_back(m_TimerGroup, delta, time, delay);
}

void CBaseSound::SetVolume(float volume, float time, float delay)
{
    m_VolumeRamps.clear();
    ChangeVolume(std::clamp(volume, 0.0f, 100.0f) - m_Volume, time, delay);
}

void CBaseSound::SetPriority(s32 priority)
{
    if (priority == kKeepValue)
        return;
    m_Priority = priority < 0 ? 0 : priority;
}

void CBaseSound::SetRepeat(s32 repeat)
{
    if (repeat == kKeepValue)
        return;
    m_Repeat = repeat < 0 ? -1 : repeat;
}

void CBaseSound::SetBalance(float balance, float time, float delay)
{
    if (balance == kKeepValueF)
        return;
    const float target = std::clamp(balance, -1.0f, 1.0f);
    if (time == 0.0f && delay == 0.0f)
        m_Balance = target;
    else
        m_BalanceRamp = CSoundRamp(m_TimerGroup, target - m_Balance, time, delay);
}

void CBaseSound::SetSpeed(float) {}

} // namespace lv::sound
