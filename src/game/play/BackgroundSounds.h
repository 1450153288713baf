#pragma once
// The ambient sounds of the current main scene and miniscene. This first cut loads nothing;
// its save section keeps the size the saved game reserves.
#include "core/Types.h"

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

    bool Load(const char* path, qe::CQuest* quest, qe::CScene* scene);
    void Update();
    void SetMainScene(qe::CScene* scene);
    void SetMiniscene(qe::CScene* scene);
    void ClearMiniscene();
    s32 GetSaveSize() const { return kSaveSize; }
    void Save(qe::CBinaryWriter& writer);
    bool LoadState(qe::CBinaryReader& reader);
    qe::CScene* GetMainScene() const { return m_MainScene; }

private:
    qe::CScene* m_MainScene = nullptr;
    qe::CScene* m_Miniscene = nullptr;
};

} // namespace game
