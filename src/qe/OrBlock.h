#pragma once
// Fires once when any one of its inputs has fired (at the first input while unblocked, or at
// the unblock or refresh that follows one).
#include "qe/BlockBase.h"
#include "qe/BlockInputSet.h"

namespace qe::scripts {

class COrBlock : public CBlockBase
{
public:
    static constexpr u8 kDone = 1;
    static constexpr u8 kBlocked = 2;
    static constexpr u8 kInputSeen = 4;

    COrBlock(const CBlockRecord& record, CScriptSet* set, lv::gui::CBaseWidget* widget);

    void Update() override {}
    void Refresh() override { TryFire(); }
    void Reset() override;
    void Activate() override {}
    bool DependsOn(const CBlockBase* block) const override { return m_Inputs.Contains(block); }
    void OnInputFired(CBlockBase* source, bool quiet) override;
    void Block() override { SetFlag(kBlocked, true); }
    void Unblock() override;
    bool Load(CBinaryReader& reader) override;

    bool IsDone() const { return HasFlag(kDone); }

private:
    void TryFire();

    // Only its list is used: any one input is enough.
    CBlockInputSet m_Inputs;
};

} // namespace qe::scripts
