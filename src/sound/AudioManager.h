#pragma once
// The one entry point through which the program makes sound. This cut holds what the
// application drives every frame and on focus changes: the load-on-demand switch, the per-frame
// update and the nested pause of all sounds; playing sounds come with the sound types.
#include "core/Types.h"

namespace lv::core {
class CTimerGroup;
}

namespace lv::sound {

class CAudioManager
{
public:
    CAudioManager();
    ~CAudioManager();
    CAudioManager(const CAudioManager&) = delete;
    CAudioManager& operator=(const CAudioManager&) = delete;

    // Passed on to every sound type's file setting; sounds are opened when they start anyway.
    void SetLoadOnDemand(bool onDemand) { m_LoadOnDemand = onDemand; }
    bool IsLoadOnDemand() const { return m_LoadOnDemand; }

    // The per-frame step, after the time tick.
    void Update();

    // Starts the declared sound of that name; -2 for balance, volume, priority or repeat keeps
    // the declared value. The sound id, 0 when nothing started (no sound of that name).
    s32 Play(const char* name, float balance, float volume, s32 priority, s32 repeat, float speed);
    // Each call on an id that is not playing does nothing and gives false (or 0).
    bool PauseSound(s32 id, bool pause);
    bool StopSound(s32 id, float fadeMs);
    bool SetSoundVolume(s32 id, float volume, float timeMs, float delayMs);
    float GetSoundVolume(s32 id) const;

    // Adds (true) or removes (false) one pause level on every sound. Pairs nest: the
    // application losing focus and the game's own pause balance out.
    void PauseAll(bool pause);
    // Pause levels that PauseAll holds on all sounds now (never negative).
    s32 GetPauseAllLevel() const { return m_PauseAllLevel; }

    // Whether the sound device is open.
    bool IsOpen() const { return m_Opened; }
    // Every sound's clock and ramps run on this group ("AudioManager", under the root group).
    lv::core::CTimerGroup* GetTimerGroup() const { return m_TimerGroup; }

private:
    bool m_Opened = false;
    bool m_LoadOnDemand = true;
    s32 m_PauseAllLevel = 0;
    lv::core::CTimerGroup* m_TimerGroup = nullptr;
};

// The process-wide audio manager, created on first use.
CAudioManager& GetAudioManager();

} // namespace lv::sound
