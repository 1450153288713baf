#pragma once
// A block that runs its commands by itself once its unblock inputs are in, and is then done.
#include "qe/BlockBase.h"
#include "qe/BlockInputSet.h"

namespace qe::scripts {

class CAutoActionBlock : public CBlockBase
{
public:
    static constexpr u8 kDone = 1;
    static constexpr u8 kBlocked = 2;

    CAutoActionBlock(const CBlockRecord& record, CScriptSet* set, lv::gui::CBaseWidget* widget);

    void Update() override { UpdateTree(); }
    void Refresh() override { TryStart(); }
    void Reset() override;
    void Activate() override;
    bool DependsOn(const CBlockBase* block) const override { return m_Unblock.Contains(block); }
    void OnInputFired(CBlockBase* source, bool quiet) override;
    void Block() override { SetFlag(kBlocked, true); }
    void Unblock() override;
    bool Load(CBinaryReader& reader) override;

    bool IsDone() const { return HasFlag(kDone); }

protected:
    void OnTreeFinished() override;

private:
    void TryStart();
    void Complete();

    CBlockInputSet m_Unblock;
};

} // namespace qe::scripts
