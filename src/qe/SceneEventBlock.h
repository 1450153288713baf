#pragma once
// A block that reacts to its scene opening (or closing): it runs its commands once, or, without
// commands, fires at every matching event.
#include "qe/BlockBase.h"
#include "qe/BlockInputSet.h"

namespace qe::scripts {

class CSceneEventBlock : public CBlockBase
{
public:
    static constexpr u8 kDone = 1;
    static constexpr u8 kBlocked = 2;

    CSceneEventBlock(const CBlockRecord& record, CScriptSet* set, lv::gui::CBaseWidget* widget);

    void Update() override { UpdateTree(); }
    void Refresh() override {}
    void Reset() override;
    void Activate() override;
    bool DependsOn(const CBlockBase* block) const override { return m_Unblock.Contains(block); }
    void OnInputFired(CBlockBase* source, bool) override { m_Unblock.Add(source); }
    void Block() override { SetFlag(kBlocked, true); }
    void Unblock() override { SetFlag(kBlocked, false); }
    bool Load(CBinaryReader& reader) override;

    void OnSceneEvent(bool isOpen);
    bool IsDone() const { return HasFlag(kDone); }

protected:
    void OnTreeFinished() override;

private:
    CBlockInputSet m_Unblock;
};

} // namespace qe::scripts
