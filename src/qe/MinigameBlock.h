#pragma once
// A block that plays a minigame made by the minigame registry once its unblock inputs are in;
// it is done at the update after the minigame reports completion.
#include "qe/BlockBase.h"
#include "qe/BlockInputSet.h"

namespace qe {
class CMinigameBase;
class CSceneObject;
} // namespace qe

namespace qe::scripts {

class CMinigameBlock : public CBlockBase
{
public:
    static constexpr u8 kDone = 1;
    static constexpr u8 kBlocked = 2;
    static constexpr u8 kCompleted = 4;

    CMinigameBlock(const CBlockRecord& record, CScriptSet* set, lv::gui::CBaseWidget* widget);

    void Update() override;
    void Refresh() override;
    void Reset() override {}
    void Activate() override;
    bool DependsOn(const CBlockBase* block) const override;
    void OnInputFired(CBlockBase* source, bool quiet) override;
    void Block() override;
    void Unblock() override;
    bool Load(CBinaryReader& reader) override;

    void OnMinigameComplete();
    bool IsReady() const;
    bool IsDone() const { return HasFlag(kDone); }
    void RunCommands();
    bool CommandsFinished() const { return !HasTree(); }
    bool AreConditionsMet() const { return m_Conditions.IsComplete(); }
    const char* GetMinigameName() const { return m_Record.GetMinigameName().GetText(); }
    u32 GetParamCount() const { return m_Record.GetArgumentCount(); }
    CMinigameBase* GetMinigame() const { return m_Minigame; }
    CSceneObject* GetHintObject(const char* activeObject) const;
    CSceneObject* GetCheatObject() const;
    bool IsIgnoredByHint() const { return m_Record.HasFlags(kMinigameIgnoredByHint); }

protected:
    void OnTreeFinished() override { Resume(); }

private:
    void Start();

    CBlockInputSet m_Conditions;
    CBlockInputSet m_Unblock;
    CMinigameBase* m_Minigame = nullptr;
};

} // namespace qe::scripts
