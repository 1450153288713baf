#pragma once
// What a declared sound type and a playing sound share: volume, balance, priority, repeat count,
// group and the pending volume, balance and stop ramps, with the setters through which the audio
// manager changes either alike. Values out of range are clamped silently.
#include "core/FixedString.h"
#include "core/Types.h"
#include "sound/SoundRamp.h"

#include <list>

namespace lv::core {
class CTimerGroup;
}

namespace lv::sound {

// Passed for a value to keep it.
inline constexpr s32 kKeepValue = -2;
inline constexpr float kKeepValueF = -2.0f;

class CBaseSound
{
public:
    // Ramps run on timers of the group (the audio manager's).
    explicit CBaseSound(lv::core::CTimerGroup* timerGroup = nullptr) : m_TimerGroup(timerGroup) {}
    virtual ~CBaseSound() = default;
    CBaseSound(const CBaseSound&) = default;
    CBaseSound& operator=(const CBaseSound&) = default;

    // Relative change: at once when time and delay are both 0, otherwise a new ramp.
    virtual void ChangeVolume(float delta, float time, float delay);
    // Cancels the volume ramps, then moves to the volume as ChangeVolume does.
    virtual void SetVolume(float volume, float time, float delay);
    // -2 keeps; negative becomes 0.
    virtual void SetPriority(s32 priority);
    // -2 keeps; other negative values mean endless (-1).
    virtual void SetRepeat(s32 repeat);
    // -2 keeps; at once when time and delay are both 0, otherwise it replaces the balance ramp.
    virtual void SetBalance(float balance, float time, float delay);
    // Playback speed is not supported; it always reads 1.
    virtual void SetSpeed(float speed);

    float GetVolume() const { return m_Volume; }
    float GetBalance() const { return m_Balance; }
    s32 GetPriority() const { return m_Priority; }
    s32 GetRepeat() const { return m_Repeat; }
    float GetSpeed() const { return 1.0f; }
    bool IsStopped() const { return m_Stopped; }
    const CFixedString& GetGroup() const { return m_Group; }
    void SetGroup(const CFixedString& group) { m_Group = group; }
    size_t GetVolumeRampCount() const { return m_VolumeRamps.size(); }

protected:
    bool m_Stopped = false;
    s32 m_Priority = 0;
    s32 m_Repeat = 1;
    float m_Volume = 100.0f;
    float m_Balance = 0.0f;
    std::list<CSoundRamp> m_VolumeRamps;
    CSoundRamp m_BalanceRamp;
    CSoundRamp m_StopRamp;
    CFixedString m_Group;
    lv::core::CTimerGroup* m_TimerGroup = nullptr;
};

} // namespace lv::sound
