#pragma once
// The one entry point through which the program makes sound: everything names a declared sound
// and gets a sound id back (1 upward, never reused; 0 when nothing started), then stops, pauses,
// fades or queries that id. The manager owns the sound types made from the declarations, the
// playing instances, the group volumes ("music", "sound"), the master volume and the
// per-priority volume changes, and steps everything once per frame. Main thread only.
//
// For a value of Play, -2 keeps the declared one; a repeat of -1 is endless. Volumes are
// percentages 0..100, balance -1..1, ramp times and delays milliseconds of the "AudioManager"
// timer group.
#include "core/Types.h"
#include "sound/Sound.h"
#include "sound/SoundType.h"

#include <map>
#include <memory>
#include <string>

namespace lv::core {
class CTimeSystem;
class CTimerGroup;
} // namespace lv::core

namespace lv::sound {

class CSoundDeclarationRecord;
class CSoundDeclarations;
class CVoicePool;

class CAudioManager
{
public:
    // On the process's time system, opening the sound device and its voice pool.
    CAudioManager();
    // On the given time system and voice pool (not owned; null plays nothing).
    CAudioManager(lv::core::CTimeSystem& timeSystem, CVoicePool* pool);
    ~CAudioManager();
    CAudioManager(const CAudioManager&) = delete;
    CAudioManager& operator=(const CAudioManager&) = delete;

    // Passed on to every sound type's file setting; sounds are opened when they start anyway.
    void SetLoadOnDemand(bool onDemand) { m_LoadOnDemand = onDemand; }
    bool IsLoadOnDemand() const { return m_LoadOnDemand; }
    // From 3 on, a statistics file "sound_stat_<A, B, ...>" is written every five seconds.
    void SetDebugLevel(s32 level) { m_DebugLevel = level; }

    // Makes a sound type of every declaration whose file exists (a later one of the same name
    // replaces the earlier).
    void LoadSoundTypes(const CSoundDeclarations& declarations);
    // The per-frame step, after the time tick: erases stopped instances, steps the others.
    void Update();

    // Whether the sound device is open.
    bool IsOpen() const { return m_Opened; }
    // Every sound's clock and ramps run on this group ("AudioManager", under the root group).
    lv::core::CTimerGroup* GetTimerGroup() const { return m_TimerGroup; }
    // The process's pool for the manager that opened it (it may be reopened meanwhile).
    CVoicePool* GetVoicePool() const;
    s32 GetPlayingCount() const { return static_cast<s32>(m_Instances.size()); }

    // Playing and stopping.
    s32 Play(const char* name, float balance = -2.0f, float volume = -2.0f, s32 priority = -2, s32 repeat = -2,
             float speed = -2.0f);
    s32 PlayInGroup(const char* name, const char* group, float balance = -2.0f, float volume = -2.0f,
                    s32 priority = -2, s32 repeat = -2, float speed = -2.0f);
    // True until the first update after the instance stopped.
    bool IsPlaying(s32 id) const { return m_Instances.count(id) != 0; }
    bool HasSound(const char* name) const { return FindSoundType(name) != nullptr; }
    // Fades the volume to 0 over the fade time and stops then (0: at once).
    bool StopSound(s32 id, float fade);
    bool StopSoundsByName(const char* name, float fade);
    void StopAll(float fade);
    // Stops after the fade time without lowering the volume.
    void StopGroup(const char* group, float fade);

    // Pausing: each call adds (true) or removes (false) one pause level, so nested pairs (the
    // application losing focus, the game's own pause) balance out.
    bool PauseSound(s32 id, bool pause);
    void PauseAll(bool pause);
    // Pause levels that PauseAll calls hold now (pauses minus the resumes that undid one).
    s32 GetPauseAllLevel() const { return m_PauseAllLevel; }
    // Brings every instance of the group whose paused state differs to the wanted one.
    void PauseGroup(const char* group, bool pause);

    // One instance's values; false for an unknown id.
    bool ChangeSoundVolume(s32 id, float delta, float time, float delay);
    bool SetSoundVolume(s32 id, float volume, float time, float delay);
    bool SetSoundBalance(s32 id, float balance, float time, float delay);
    bool SetSoundPriority(s32 id, s32 priority);
    // Stores the remaining passes only; the voice keeps the looping chosen at its start.
    bool SetSoundRepeat(s32 id, s32 repeat);
    bool SetSoundSpeed(s32 id, float speed);
    bool SetSoundPosition(s32 id, double seconds);
    // 0 for an unknown id.
    float GetSoundVolume(s32 id) const;
    float GetSoundTypeVolume(s32 id) const;
    float GetSoundBalance(s32 id) const;
    s32 GetSoundPriority(s32 id) const;
    s32 GetSoundRepeat(s32 id) const;
    float GetSoundSpeed(s32 id) const;
    // ms.
    double GetSoundDuration(s32 id) const;
    double GetSoundPosition(s32 id) const;

    // The declared templates: they change later plays, not the instances playing. False for an
    // unknown name.
    bool ChangeTypeVolume(const char* name, float delta, float time, float delay);
    bool SetTypeVolume(const char* name, float volume, float time, float delay);
    bool SetTypeBalance(const char* name, float balance, float time, float delay);
    bool SetTypePriority(const char* name, s32 priority);
    bool SetTypeRepeat(const char* name, s32 repeat);
    bool SetTypeSpeed(const char* name, float speed);
    bool SetConcurrentPlayDelay(const char* name, float ms);
    // 0 for an unknown name.
    float GetTypeVolume(const char* name) const;
    float GetTypeBalance(const char* name) const;
    s32 GetTypePriority(const char* name) const;
    s32 GetTypeRepeat(const char* name) const;
    float GetTypeSpeed(const char* name) const;
    // ms; -1 until the sound's file has been opened once.
    double GetTypeDuration(const char* name) const;

    // Volumes (each clamped to 0..100 and applied to the instances at once).
    void SetMasterVolume(float volume);
    float GetMasterVolume() const { return m_MasterVolume; }
    void SetGroupVolume(const char* group, float volume);
    // 100 for a group never named.
    float GetGroupVolume(const char* group) const;
    // While a priority counts sounds, its change (percent) applies to every sound of a lower
    // priority.
    void SetPriorityVolumeChange(s32 priority, float change);
    float GetPriorityVolumeChange(s32 priority) const;

    // Null for a null or empty name and for a name never declared.
    CSoundType* FindSoundType(const char* name) const;
    CSound* FindSound(s32 id);
    const CSound* FindSound(s32 id) const;

private:
    struct CPriority
    {
        s32 m_Count = 0;
        float m_Change = 0.0f;
    };

    s32 NextSoundId() { return ++m_LastId; }
    bool StartInstance(CSound& sound, float balance, float volume, s32 priority, s32 repeat, float speed);
    void EnsureGroup(const char* group);
    void AddPriorityPlaying(s32 priority);
    void RemovePriorityPlaying(s32 priority);
    bool ApplyDeclaration(const CSoundDeclarationRecord& record, CSoundType& type);
    void ApplyVolumeBelow(s32 priority);
    void ApplyVolumeAll();
    void WriteStatistics();

    bool m_Opened = false;
    float m_MasterVolume = 100.0f;
    lv::core::CTimeSystem* m_TimeSystem;
    lv::core::CTimerGroup* m_TimerGroup = nullptr;
    CVoicePool* m_Pool = nullptr;
    bool m_OwnsPool = false;
    std::map<s32, CSound> m_Instances;
    std::map<s32, CPriority> m_Priorities;
    std::map<std::string, float> m_Groups;
    s32 m_LastId = 0;
    std::map<std::string, std::unique_ptr<CSoundType>> m_Types;
    bool m_LoadOnDemand = true;
    s32 m_PauseAllLevel = 0;
    s32 m_DebugLevel = 0;
    bool m_StatisticsStarted = false;
    double m_StatisticsTick = 0.0;
    u8 m_StatisticsCount = 0;
};

// The process-wide audio manager, created on first use.
CAudioManager& GetAudioManager();

} // namespace lv::sound
