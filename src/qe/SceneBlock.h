#pragma once
// A door: using its object opens the target scene through the game's "open_scene" command, with
// optional commands before and after. Its block inputs lock it; its unblock inputs lift the lock.
#include "qe/BlockBase.h"
#include "qe/BlockInputSet.h"

namespace qe {
class CSceneObject;
}

namespace qe::scripts {

class CSceneBlock : public CBlockBase
{
public:
    static constexpr u8 kLocked = 1;
    static constexpr u8 kBlocked = 2;
    static constexpr u8 kIdle = 4;
    static constexpr u8 kPreOpen = 8;
    static constexpr u8 kOpening = 16;
    static constexpr u8 kPostOpen = 32;
    static constexpr u8 kPhaseMask = kIdle | kPreOpen | kOpening | kPostOpen;

    CSceneBlock(const CBlockRecord& record, CScriptSet* set, lv::gui::CBaseWidget* widget);

    void Update() override { UpdateTree(); }
    void Refresh() override;
    void Reset() override;
    void Activate() override;
    bool DependsOn(const CBlockBase* block) const override;
    void OnInputFired(CBlockBase* source, bool quiet) override;
    void Block() override;
    void Unblock() override;

    bool IsAvailable() const { return !HasFlag(kLocked) && !HasFlag(kBlocked); }
    bool TryUse(const CSceneObject* object);
    CSceneObject* GetObject() const;
    const char* GetTargetSceneName() const { return m_Record.GetTargetSceneName().GetText(); }
    u8 GetPhase() const { return m_Flags & kPhaseMask; }

protected:
    void OnTreeFinished() override;

private:
    void SetPhase(u8 phase) { m_Flags = static_cast<u8>((m_Flags & ~kPhaseMask) | phase); }
    void OpenScene();
    void PostOpen();
    void ReportReady(bool ready);

    CBlockInputSet m_BlockSet;
    CBlockInputSet m_Unblock;
};

} // namespace qe::scripts
