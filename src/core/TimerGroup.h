#pragma once
// A node of the time system's tree: it advances by its parent's delta times its own speed unless
// it is paused, and passes its delta on to its timers and child groups, so speeds multiply down
// the tree and a paused group stops everything below it.
#include "core/FixedString.h"
#include "core/Types.h"

#include <set>

namespace lv::core {

class CTimeSystem;
class CTimer;

class CTimerGroup
{
public:
    CTimerGroup(const CTimerGroup&) = delete;
    CTimerGroup& operator=(const CTimerGroup&) = delete;

    // A new timer in this group.
    CTimer* CreateTimer();

    // Counted pause, as for timers.
    void Pause(bool pause);
    bool IsPaused() const { return m_PauseCount != 0; }
    u8 GetPauseCount() const { return m_PauseCount; }

    void SetSpeed(float speed);
    float GetSpeed() const { return static_cast<float>(m_Speed); }

    s32 GetTime() const { return m_Time; }
    // The milliseconds this group advanced in the last tick; 0 while paused.
    s32 GetDelta() const { return m_Delta; }
    const CShortString& GetName() const { return m_Name; }
    CTimerGroup* GetParent() const { return m_Parent; }
    CTimeSystem* GetTimeSystem() const { return m_System; }

private:
    friend class CTimeSystem;

    CTimerGroup(CTimeSystem* system, const char* name, CTimerGroup* parent);
    ~CTimerGroup() = default;
    void Update(s32 delta);

    CShortString m_Name;
    std::set<CTimerGroup*> m_Children;
    std::set<CTimer*> m_Timers;
    s32 m_Time = 0;
    s32 m_Delta = 0;
    u8 m_PauseCount = 0;
    s8 m_Speed = 1;
    CTimerGroup* m_Parent;
    CTimeSystem* m_System;
};

} // namespace lv::core
