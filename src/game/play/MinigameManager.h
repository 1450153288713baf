#pragma once
// The minigame host: owns the live minigames and activates those of the top scene view. This
// first cut holds no minigames yet; its save section keeps the size the saved game reserves.
#include "core/Point2i.h"
#include "core/Types.h"

namespace lv::graphics {
class CRenderer;
}

namespace qe {
class CBinaryReader;
class CBinaryWriter;
class CScene;
class CSceneView;
} // namespace qe

namespace game {

class CMinigameManager
{
public:
    // 4 + 50 x (8 + 256): the saved game's room for the host.
    static constexpr s32 kSaveSize = 13204;

    CMinigameManager() = default;
    CMinigameManager(const CMinigameManager&) = delete;
    CMinigameManager& operator=(const CMinigameManager&) = delete;

    void Clear();
    void Update();
    void Draw(lv::graphics::CRenderer& renderer);
    bool OnMouseDown(const CPoint2i& point);
    bool OnMouseUp(const CPoint2i& point);
    bool OnMouseMove(const CPoint2i& point);
    void OnSceneShown(qe::CSceneView* view);
    void RemoveFinished();
    bool HasActiveMinigameInScene(const qe::CScene* scene) const;
    bool HasMinisceneMinigame(const qe::CScene* scene) const;
    s32 GetLiveCount() const { return 0; }

    s32 GetSaveSize() const { return kSaveSize; }
    void Save(qe::CBinaryWriter& writer);
    // Fails when the stored count differs from the live count.
    bool Load(qe::CBinaryReader& reader);
};

} // namespace game
