#pragma once
// The minigame host: owns the minigames the quest scripts create, activates those of the scene
// on top of the scene stack, feeds them the frame's update, draw and mouse input, deletes them
// once their block is done and keeps their state in the saved game.
#include "core/Point2i.h"
#include "core/Types.h"

#include <vector>

namespace lv::graphics {
class CRenderer;
}

namespace qe {
class CBinaryReader;
class CBinaryWriter;
class CMinigameBase;
class CScene;
class CSceneView;
} // namespace qe

namespace game {

class CMinigame;
class CSceneStack;

class CMinigameManager
{
public:
    static constexpr u32 kMaxLive = 50;
    static constexpr u32 kMaxActive = 5;
    // 4 + 50 x (8 + 256): the saved game's room for the host.
    static constexpr s32 kSaveSize = 13204;

    CMinigameManager();
    ~CMinigameManager();
    CMinigameManager(const CMinigameManager&) = delete;
    CMinigameManager& operator=(const CMinigameManager&) = delete;

    // The stack whose top view decides which new minigames start active.
    void Attach(CSceneStack* sceneStack) { m_SceneStack = sceneStack; }

    void Clear();
    static void OnMinigameCreatedThunk(const char* name, qe::CMinigameBase* minigame, void* context);
    void OnMinigameCreated(const char* name, qe::CMinigameBase* minigame);
    void Activate(CMinigame* minigame, qe::CSceneView* view);
    void OnSceneShown(qe::CSceneView* view);

    void Update();
    void Draw(lv::graphics::CRenderer& renderer);
    void UpdateLayout();
    bool OnMouseDown(const CPoint2i& point);
    bool OnMouseUp(const CPoint2i& point);
    bool OnMouseMove(const CPoint2i& point);
    void RemoveFinished();

    bool HasActiveMinigameInScene(const qe::CScene* scene) const;
    // Null scene: any active minigame lying in a miniscene.
    bool HasMinisceneMinigame(const qe::CScene* scene) const;

    s32 GetLiveCount() const { return static_cast<s32>(m_Live.size()); }
    s32 GetActiveCount() const { return static_cast<s32>(m_Active.size()); }
    CMinigame* GetLive(s32 index) const { return m_Live[static_cast<size_t>(index)].minigame; }
    CMinigame* GetActive(s32 index) const { return m_Active[static_cast<size_t>(index)]; }
    s32 GetRefusedCount() const { return static_cast<s32>(m_Refused.size()); }

    s32 GetSaveSize() const { return kSaveSize; }
    void Save(qe::CBinaryWriter& writer);
    // Fails when the stored count differs from the live count, a stored guid matches no live
    // minigame (its state's length is unknown, so nothing after it could be read) or a
    // minigame's own state fails.
    bool Load(qe::CBinaryReader& reader);

private:
    enum class EMouse
    {
        Down,
        Up,
        Move
    };
    struct SEntry
    {
        CMinigame* minigame;
        u64 serial;
    };
    bool DispatchMouse(EMouse kind, const CPoint2i& point);
    s32 FindLive(const CMinigame* minigame) const;
    bool IsActive(const CMinigame* minigame) const;
    std::vector<SEntry> SnapshotActive() const;
    bool IsSameLive(const SEntry& entry) const;
    bool IsStillActive(const SEntry& entry) const;
    void EndWalk();
    void DeleteAll();
    void Dispose(qe::CMinigameBase* minigame);
    void DeleteParked();

    CSceneStack* m_SceneStack = nullptr;
    std::vector<SEntry> m_Live;
    std::vector<CMinigame*> m_Active;
    // Minigames beyond the live limit (or not of the game): owned, deleted at Clear, never run
    // or saved.
    std::vector<qe::CMinigameBase*> m_Refused;
    // Deleted while a walk over the lists runs: deleted when it ends.
    std::vector<qe::CMinigameBase*> m_Parked;
    s32 m_WalkDepth = 0;
    u64 m_LastSerial = 0;
    u64 m_ShownSerial = 0;
};

} // namespace game
