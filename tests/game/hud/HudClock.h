#pragma once
// A hand-driven clock for the HUD panels: Advance(ms) moves it and ticks, so the panels see
// that frame delta. Installed for the HUD while it lives.
#include "core/TimeSystem.h"
#include "game/hud/Hud.h"

namespace hudtest {

class CHudClock
{
public:
    CHudClock()
    {
        m_Time.Tick();
        game::CHud::SetClock(&m_Time);
    }
    ~CHudClock() { game::CHud::SetClock(nullptr); }
    CHudClock(const CHudClock&) = delete;
    CHudClock& operator=(const CHudClock&) = delete;

    void Advance(s32 ms)
    {
        m_Now += ms;
        m_Time.Tick();
    }
    lv::core::CTimeSystem& Time() { return m_Time; }

private:
    double m_Now = 0;
    lv::core::CTimeSystem m_Time{[this] { return m_Now; }};
};

} // namespace hudtest
