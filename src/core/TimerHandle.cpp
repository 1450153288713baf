#include "core/TimerHandle.h"

#include "core/TimeSystem.h"
#include "core/Timer.h"

#include <utility>

namespace lv::core {

CTimerHandle::CTimerHandle(const CTimerHandle& other)
{
    *this = other;
}

CTimerHandle::CTimerHandle(CTimerHandle&& other) noexcept : m_Timer(std::exchange(other.m_Timer, nullptr)) {}

CTimerHandle::~CTimerHandle()
{
    Reset();
}

CTimerHandle& CTimerHandle::operator=(const CTimerHandle& other)
{
    if (this == &other)
        return *this;
    Reset();
    if (CTimeSystem::FindOwner(other.m_Timer) != nullptr)
        m_Timer = other.m_Timer->Clone(nullptr);
    return *this;
}

CTimerHandle& CTimerHandle::operator=(CTimerHandle&& other) noexcept
{
    if (this != &other) {
        Reset();
        m_Timer = std::exchange(other.m_Timer, nullptr);
    }
    return *this;
}

void CTimerHandle::Reset()
{
    // Looked up, not dereferenced: the timer may have gone with its group already.
    if (CTimeSystem* owner = CTimeSystem::FindOwner(m_Timer))
        owner->DestroyTimer(m_Timer);
    m_Timer = nullptr;
}

void CTimerHandle::Assign(CTimer* timer)
{
    if (timer == m_Timer)
        return; // holding it already: destroying it first would leave the handle dangling
    Reset();
    m_Timer = timer;
}

} // namespace lv::core
