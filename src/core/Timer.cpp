#include "core/Timer.h"

#include "core/TimeSystem.h"
#include "core/TimerGroup.h"
#include "core/TimerMath.h"

namespace lv::core {

void CTimer::Destroy()
{
    m_Group->GetTimeSystem()->DestroyTimer(this);
}

void CTimer::Pause(bool pause)
{
    m_PauseCount = timer_math::CountPause(m_PauseCount, pause);
}

void CTimer::SetSpeed(float speed)
{
    m_Speed = timer_math::SpeedFromFloat(speed);
}

CTimer* CTimer::Clone(CTimerGroup* group) const
{
    CTimerGroup* target = group ? group : m_Group;
    CTimer* copy = target->CreateTimer();
    copy->m_Time = m_Time;
    copy->m_Delta = m_Delta;
    copy->m_PauseCount = m_PauseCount;
    copy->m_Speed = m_Speed;
    return copy;
}

void CTimer::Update(s32 delta)
{
    if (IsPaused()) {
        m_Delta = 0;
        return;
    }
    m_Delta = timer_math::ScaleDelta(delta, m_Speed);
    m_Time = timer_math::AddTime(m_Time, m_Delta);
}

} // namespace lv::core
