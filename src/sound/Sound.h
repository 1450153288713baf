#pragma once
// A playing instance of a sound type: a copy of the type's values that owns one voice while it
// plays, with its own pause level and its own volume, balance and stop ramps. The audio manager
// holds instances by id, steps them once per frame and erases them once stopped.
#include "core/Types.h"
#include "sound/BaseSound.h"

namespace lv::sound {

class CSoundType;
class CVoice;

class CSound : public CBaseSound
{
public:
    // A copy of the type's values (pending ramps and group included), without a voice.
    explicit CSound(CSoundType& type);
    // Releases the voice.
    ~CSound() override;
    CSound(const CSound&) = delete;
    CSound& operator=(const CSound&) = delete;

    // Each applies the new value to the voice at once.
    void ChangeVolume(float delta, float time, float delay) override;
    void SetPriority(s32 priority) override;
    void SetBalance(float balance, float time, float delay) override;
    void SetSpeed(float speed) override;

    // Takes a fresh voice and plays it with the values given (-2 keeps each); false, holding no
    // voice, when no voice could be had.
    bool Start(float balance, float volume, s32 priority, s32 repeat, float speed);
    // 0 stops at once; a fade lets the sound play on and stops it when the fade time has passed.
    void Stop(float fade);
    // One pause level more / less; the voice pauses at the first level and plays again when the
    // last is gone (unless the type refuses, which stops the sound).
    void Pause();
    void Resume();
    bool IsPaused() const { return m_PauseLevel != 0; }
    s32 GetPauseLevel() const { return m_PauseLevel; }

    // The per-frame step: end of a pass, then the ramps.
    void Update();
    void ApplyVolume();
    // 0..100, from the own volume, the priority change, the group and the master volume.
    s32 GetEffectiveVolume() const;
    // ms within the current pass.
    double GetPosition() const;
    void SetPosition(double seconds);

    CSoundType& GetType() const { return *m_Type; }
    CVoice* GetVoice() const { return m_Voice; }

private:
    void ReleaseVoice();
    void CheckEnd();
    void EndOfPass();

    CSoundType* m_Type;
    CVoice* m_Voice = nullptr;
    s32 m_PauseLevel = 0;
};

} // namespace lv::sound
