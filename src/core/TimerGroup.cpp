#include "core/TimerGroup.h"

#include "core/TimeSystem.h"
#include "core/Timer.h"
#include "core/TimerMath.h"

namespace lv::core {

CTimerGroup::CTimerGroup(CTimeSystem* system, const char* name, CTimerGroup* parent)
    : m_Name(name), m_Parent(parent), m_System(system)
{
}

CTimer* CTimerGroup::CreateTimer()
{
    return m_System->CreateTimer(this);
}

void CTimerGroup::Pause(bool pause)
{
    m_PauseCount = timer_math::CountPause(m_PauseCount, pause);
}

void CTimerGroup::SetSpeed(float speed)
{
    m_Speed = timer_math::SpeedFromFloat(speed);
}

void CTimerGroup::Update(s32 delta)
{
    if (IsPaused()) {
        m_Delta = 0;
    } else {
        m_Delta = timer_math::ScaleDelta(delta, m_Speed);
        m_Time = timer_math::AddTime(m_Time, m_Delta);
    }
    for (CTimer* timer : m_Timers)
        timer->Update(m_Delta);
    for (CTimerGroup* child : m_Children)
        child->Update(m_Delta);
}

} // namespace lv::core
