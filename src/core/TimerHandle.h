#pragma once
// Owns one timer: destroys it when reset, reassigned or destroyed. A copy gets a timer of its
// own, a clone of the source's timer in the same group, so a copied object runs on its own
// clock from the same state. A timer that went with its group is never touched again, even when
// a new timer now occupies its record.
#include "core/Types.h"

namespace lv::core {

class CTimer;

class CTimerHandle
{
public:
    CTimerHandle() = default;
    CTimerHandle(const CTimerHandle& other);
    CTimerHandle(CTimerHandle&& other) noexcept;
    ~CTimerHandle();

    CTimerHandle& operator=(const CTimerHandle& other);
    CTimerHandle& operator=(CTimerHandle&& other) noexcept;

    // Destroys the held timer and holds nothing.
    void Reset();
    // Destroys the held timer and holds the given one.
    void Assign(CTimer* timer);

    CTimer* Get() const { return m_Timer; }
    CTimer* operator->() const { return m_Timer; }
    explicit operator bool() const { return m_Timer != nullptr; }

private:
    // The held timer, when it is still the live timer of a time system.
    bool IsLive() const;

    CTimer* m_Timer = nullptr;
    u64 m_Serial = 0;
};

} // namespace lv::core
