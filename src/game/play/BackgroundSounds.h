#pragma once
// The ambient sounds of the current level: each plays while the player is in one of its scenes,
// at that scene's volume, either looped or as single shots after random pauses. Follows the
// scene stack's main scene and miniscene, and keeps which sounds the scripts switched on or off
// across saved games.
#include "core/FixedString.h"
#include "core/Types.h"

#include <functional>
#include <vector>

namespace qe {
class CBinaryReader;
class CBinaryWriter;
class CQuest;
class CScene;
} // namespace qe

namespace game {

class CBackgroundSounds
{
public:
    // 4 + 255 x (96 + 4): the saved game's room for the ambient sounds.
    static constexpr s32 kSaveSize = 25504;
    static constexpr s32 kMaxSounds = 255;

    CBackgroundSounds() = default;
    ~CBackgroundSounds();
    CBackgroundSounds(const CBackgroundSounds&) = delete;
    CBackgroundSounds& operator=(const CBackgroundSounds&) = delete;

    // Reads the quest's level from the file; scene is the one the level opens with.
    bool Load(const char* path, qe::CQuest* quest, qe::CScene* scene);
    void Update();
    void SetMainScene(qe::CScene* scene);
    void SetMiniscene(qe::CScene* scene);
    void ClearMiniscene(qe::CScene* scene = nullptr);
    // The first sound of that name; false when the level has none.
    bool Enable(const char* name);
    bool Disable(const char* name);
    // True silences the current scenes' sounds; false starts them again after their delays.
    void SetSuspended(bool suspended);
    void StopAll();

    s32 GetSaveSize() const { return kSaveSize; }
    void Save(qe::CBinaryWriter& writer);
    bool LoadState(qe::CBinaryReader& reader);

    qe::CScene* GetMainScene() const { return m_MainScene; }
    qe::CScene* GetMiniscene() const { return m_Miniscene; }
    s32 GetSoundCount() const { return static_cast<s32>(m_Sounds.size()); }
    // The playing instance of the first sound of that name, 0 when none.
    s32 GetSoundId(const char* name) const;
    bool IsActive(const char* name) const;
    bool IsEnabled(const char* name) const;
    s32 GetCountdown(const char* name) const;

    // The pauses between shots draw from this source (the process's generator unless set).
    void SetRandomSource(std::function<s32()> random) { m_Random = std::move(random); }

private:
    struct CSceneEntry
    {
        CFixedString Scene;
        float Volume = 0.0f;
    };
    struct CSound
    {
        CFixedString Name;
        s32 StartDelay = 0;
        s32 MinDelay = 0;
        s32 MaxDelay = 0;
        std::vector<CSceneEntry> Scenes;
        u8 Enabled = 0;
        u8 Active = 0;
        s32 Countdown = -1;
        s32 SoundId = 0;

        bool IsLoop() const { return MinDelay == MaxDelay && (MinDelay == 0 || MinDelay == -1); }
    };
    struct CSavedState
    {
        CFixedString Name;
        bool Enabled = false;
    };

    CSound* Find(const char* name);
    const CSound* Find(const char* name) const;
    void PlayNow(CSound& sound, float volume);
    void Start(CSound& sound, float volume);
    void Stop(CSound& sound);
    bool ApplyScene(CSound& sound, const CFixedString& scene);
    void Refresh();
    s32 NextRandom() const;

    std::vector<CSavedState> m_SavedStates;
    std::vector<CSound> m_Sounds;
    qe::CScene* m_MainScene = nullptr;
    qe::CScene* m_Miniscene = nullptr;
    std::function<s32()> m_Random;
};

} // namespace game
