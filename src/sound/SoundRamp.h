#pragma once
// A change spread over time: after a delay, `change` is applied linearly over the duration,
// measured on the ramp's own timer in the audio manager's timer group, so pausing that group (or
// the ramp) holds the ramp where it is. Each advance returns the part due since the previous one.
#include "core/TimerHandle.h"
#include "core/Types.h"

namespace lv::core {
class CTimerGroup;
}

namespace lv::sound {

class CSoundRamp
{
public:
    // The idle ramp: it changes nothing and is finished.
    CSoundRamp() = default;
    // A ramp on a new timer of the group (times in ms).
    CSoundRamp(lv::core::CTimerGroup* group, float change, float duration, float delay);

    // The part of the change due since the previous advance. A ramp without duration applies its
    // whole change once it is due.
    float Advance();
    bool IsFinished() const { return m_End <= m_Last; }
    // Start and end at the same time (the idle ramp, and ramps set without time).
    bool IsIdle() const { return m_End == m_Start; }
    // Counted pause of the ramp's timer.
    void Pause(bool pause);
    float GetChange() const { return m_Change; }

private:
    float Now() const;

    lv::core::CTimerHandle m_Clock;
    float m_Start = -1000.0f;
    float m_End = -1000.0f;
    float m_Last = -1000.0f;
    float m_Change = 0.0f;
};

} // namespace lv::sound
