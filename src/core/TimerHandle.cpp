#include "core/TimerHandle.h"

#include "core/TimeSystem.h"
#include "core/Timer.h"

#include <utility>

namespace lv::core {

CTimerHandle::CTimerHandle(const CTimerHandle& other)
{
    *this = other;
}

CTimerHandle::CTimerHandle(CTimerHandle&& other) noexcept
    : m_Timer(std::exchange(other.m_Timer, nullptr)), m_Serial(std::exchange(other.m_Serial, 0))
{
}

CTimerHandle::~CTimerHandle()
{
    Reset();
}

CTimerHandle& CTimerHandle::operator=(const CTimerHandle& other)
{
    if (this == &other)
        return *this;
    Reset();
    if (other.IsLive()) {
        m_Timer = other.m_Timer->Clone(nullptr);
        m_Serial = m_Timer->GetSerial();
    }
    return *this;
}

CTimerHandle& CTimerHandle::operator=(CTimerHandle&& other) noexcept
{
    if (this != &other) {
        Reset();
        m_Timer = std::exchange(other.m_Timer, nullptr);
        m_Serial = std::exchange(other.m_Serial, 0);
    }
    return *this;
}

bool CTimerHandle::IsLive() const
{
    return CTimeSystem::FindOwner(m_Timer, m_Serial) != nullptr;
}

void CTimerHandle::Reset()
{
    // Looked up, not dereferenced: the timer may have gone with its group already, and its
    // record may hold another handle's timer by now.
    if (CTimeSystem* owner = CTimeSystem::FindOwner(m_Timer, m_Serial))
        owner->DestroyTimer(m_Timer);
    m_Timer = nullptr;
    m_Serial = 0;
}

void CTimerHandle::Assign(CTimer* timer)
{
    if (timer == m_Timer)
        return; // holding it already: destroying it first would leave the handle dangling
    Reset();
    m_Timer = timer;
    m_Serial = timer ? timer->GetSerial() : 0;
}

} // namespace lv::core
