#pragma once
// A declared sound: the template every played instance copies (file, group, volume, balance,
// priority, repeat, pending ramps), with the limits on how often it may start and the count of
// its instances that play now.
#include "core/TimerHandle.h"
#include "core/Types.h"
#include "sound/BaseSound.h"

#include <limits>
#include <string>

namespace lv::sound {

class CAudioManager;
class CVoice;

class CSoundType : public CBaseSound
{
public:
    // A type of the manager: its clock and ramps run in the manager's timer group.
    explicit CSoundType(CAudioManager& manager);
    ~CSoundType() override = default;
    CSoundType(const CSoundType&) = default;
    CSoundType& operator=(const CSoundType&) = default;

    // Stores the limit; false, keeping the old path, when the file does not exist. The
    // load-on-demand flag is not used: sounds are opened when they start.
    bool SetFile(const char* path, s32 maxConcurrent, bool loadOnDemand);
    const std::string& GetFile() const { return m_File; }

    // Whether another instance may start now: below the concurrency limit and past the play
    // delay since the last counted start.
    bool CanPlay() const;
    // An instance starts (or resumes) playing / stops (or pauses).
    void OnStart();
    void OnStop();
    // A voice opened on the file, or null. The first voice tells the duration.
    CVoice* TakeVoice();

    void SetConcurrentPlayDelay(float ms) { m_PlayDelay = ms; }
    float GetConcurrentPlayDelay() const { return m_PlayDelay; }
    // ms; -1 until the file has been opened once.
    double GetDuration() const { return m_Duration; }
    s32 GetMaxConcurrent() const { return m_MaxConcurrent; }
    s32 GetPlayingCount() const { return m_PlayingCount; }
    CAudioManager& GetManager() const { return *m_Manager; }

private:
    float Now() const;

    std::string m_File;
    double m_Duration = -1.0;
    s32 m_PlayingCount = 0;
    s32 m_MaxConcurrent = -1;
    float m_LastStart = std::numeric_limits<float>::lowest(); // never started: no delay to wait
    float m_PlayDelay = -1.0f;
    lv::core::CTimerHandle m_Clock;
    CAudioManager* m_Manager;
};

} // namespace lv::sound
