#pragma once
// The blocks of one scene, kind by kind in a fixed order, with the scene's hint index and cheat
// overlay. It offers object uses and scene events to its blocks and saves their flags.
#include "core/Types.h"
#include "qe/CheatOverlay.h"
#include "qe/HintIndex.h"
#include "qe/ScriptRecords.h"

#include <memory>
#include <vector>

namespace lv::gui {
class CBaseWidget;
}

namespace qe {
class CBinaryReader;
class CBinaryWriter;
class CScene;
class CSceneObject;
} // namespace qe

namespace qe::scripts {

class CActionBlock;
class CBlockBase;
class CMinigameBlock;
class CSceneBlock;
class CScriptEnvironment;

class CScriptSet
{
public:
    // scene may be null (a record naming no scene): the set keeps its blocks and state but
    // nothing reaches a scene through it.
    CScriptSet(CScriptEnvironment* environment, const CSceneRecord& record, CScene* scene,
               lv::gui::CBaseWidget* widget);
    ~CScriptSet();
    CScriptSet(const CScriptSet&) = delete;
    CScriptSet& operator=(const CScriptSet&) = delete;

    bool OnObjectUsed(CSceneObject* object, const char* activeObject);
    void OnSceneEvent(bool isOpen);
    void Update();
    void RefreshAll();

    void Save(CBinaryWriter& writer);
    bool Load(CBinaryReader& reader);
    s32 GetSaveSize() const { return 4 + 9 * static_cast<s32>(m_Blocks.size()); }

    void SetActionReady(CActionBlock* block, bool ready);
    void SetSceneReady(CSceneBlock* block, bool ready);
    void SetMinigameReady(CMinigameBlock* block, bool ready);
    void Pause();
    void Resume();

    CScene* GetScene() const { return m_Scene; }
    CScriptEnvironment* GetEnvironment() const { return m_Environment; }
    u64 GetGuid() const { return m_Guid; }
    CBlockBase* const* GetBlocks() const { return m_BlockPointers.data(); }
    u32 GetBlockCount() const { return static_cast<u32>(m_Blocks.size()); }
    CBlockBase* GetBlock(u32 index) const { return m_Blocks[index].get(); }
    // The kind's blocks: [GetFirstIndex, GetFirstIndex + GetCount).
    u32 GetFirstIndex(EBlockKind kind) const { return m_First[static_cast<u32>(kind)]; }
    u32 GetCount(EBlockKind kind) const { return m_Count[static_cast<u32>(kind)]; }
    CBlockBase* FindBlock(const char* id) const;
    CHintIndex& GetHintIndex() { return m_Hints; }
    const CHintIndex& GetHintIndex() const { return m_Hints; }
    CCheatOverlay& GetCheatOverlay() { return m_Cheats; }
    const CCheatOverlay& GetCheatOverlay() const { return m_Cheats; }

private:
    template <typename T, typename F>
    bool TryEach(EBlockKind kind, F&& try_);

    CScriptEnvironment* m_Environment = nullptr;
    CScene* m_Scene = nullptr;
    u64 m_Guid = 0;
    u32 m_First[kBlockKindCount] = {};
    u32 m_Count[kBlockKindCount] = {};
    // Owning; a plain array of pointers so that the environment can hand them out as one list.
    std::vector<std::unique_ptr<CBlockBase>> m_Blocks;
    std::vector<CBlockBase*> m_BlockPointers;
    CCheatOverlay m_Cheats;
    CHintIndex m_Hints;
};

} // namespace qe::scripts
