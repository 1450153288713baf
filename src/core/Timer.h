#pragma once
// A game-time counter in milliseconds inside a timer group. It advances each frame by the group's
// delta times its own whole-number speed, unless it is paused. Timers are made and destroyed only
// through the time system (or CTimerHandle, which owns one).
#include "core/Types.h"

namespace lv::core {

class CTimerGroup;

class CTimer
{
public:
    CTimer(const CTimer&) = delete;
    CTimer& operator=(const CTimer&) = delete;

    // Destroys this timer through its time system.
    void Destroy();

    // Counted pause: two pauses need two resumes; a resume of a running timer does nothing.
    void Pause(bool pause);
    bool IsPaused() const { return m_PauseCount != 0; }
    u8 GetPauseCount() const { return m_PauseCount; }

    // Stored as a whole number cut towards zero (0.9 stops the timer, -1 runs it backwards).
    void SetSpeed(float speed);
    float GetSpeed() const { return static_cast<float>(m_Speed); }

    // Restart or seek.
    void SetTime(s32 ms) { m_Time = ms; }
    s32 GetTime() const { return m_Time; }
    // The step of the last update; 0 while paused.
    s32 GetDelta() const { return m_Delta; }
    CTimerGroup* GetGroup() const { return m_Group; }
    // Unique over the life of the process, so that a record reused for a new timer is never
    // taken for the timer that was there before.
    u64 GetSerial() const { return m_Serial; }

    // A new timer with the same time, delta, pause counter and speed, in the given group (this
    // timer's own group when null).
    CTimer* Clone(CTimerGroup* group = nullptr) const;

private:
    friend class CTimeSystem;
    friend class CTimerGroup;

    CTimer(CTimerGroup* group, u64 serial) : m_Group(group), m_Serial(serial) {}
    ~CTimer() = default;
    void Update(s32 delta);

    s32 m_Time = 0;
    s32 m_Delta = 0;
    u8 m_PauseCount = 0;
    s8 m_Speed = 1;
    CTimerGroup* m_Group;
    u64 m_Serial;
};

} // namespace lv::core
