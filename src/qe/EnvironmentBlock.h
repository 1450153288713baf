#pragma once
// A block that answers uses of its object with any of several items, every time, by running the
// command set of that item; locked until its unblock inputs are in.
#include "qe/BlockBase.h"
#include "qe/BlockInputSet.h"

namespace qe {
class CSceneObject;
}

namespace qe::scripts {

class CEnvironmentBlock : public CBlockBase
{
public:
    static constexpr u8 kLocked = 1;
    static constexpr u8 kBlocked = 2;

    CEnvironmentBlock(const CBlockRecord& record, CScriptSet* set, lv::gui::CBaseWidget* widget);

    void Update() override { UpdateTree(); }
    void Refresh() override {}
    void Reset() override;
    void Activate() override {}
    bool DependsOn(const CBlockBase* block) const override;
    void OnInputFired(CBlockBase* source, bool quiet) override;
    void Block() override { SetFlag(kBlocked, true); }
    void Unblock() override { SetFlag(kBlocked, false); }

    bool TryUse(const CSceneObject* object, const char* activeObject);

protected:
    void OnTreeFinished() override;

private:
    CBlockInputSet m_BlockSet;
    CBlockInputSet m_Unblock;
};

} // namespace qe::scripts
