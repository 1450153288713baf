#include "sound/SoundRamp.h"

#include "core/Timer.h"
#include "core/TimerGroup.h"

namespace lv::sound {

CSoundRamp::CSoundRamp(lv::core::CTimerGroup* group, float change, float duration, float delay) : m_Change(change)
{
    if (group)
        m_Clock.Assign(group->CreateTimer());
    m_Start = Now() + delay;
    m_End = m_Start + duration;
    m_Last = m_Start;
}

float CSoundRamp::Now() const
{
    return m_Clock ? static_cast<float>(m_Clock->GetTime()) : 0.0f;
}

float CSoundRamp::Advance()
{
    const float now = Now();
    if (now < m_Start) {
        m_Last = now;
        return 0.0f;
    }
    const float b = now >= m_End ? m_End : now;
    const float a = m_Last >= m_Start ? m_Last : m_Start;
    m_Last = now;
    // No duration: all at once (the ramp is finished after this advance).
    if (m_End == m_Start)
        return m_Change;
    return m_Change * (b - a) / (m_End - m_Start);
}

void CSoundRamp::Pause(bool pause)
{
    if (m_Clock)
        m_Clock->Pause(pause);
}

} // namespace lv::sound
