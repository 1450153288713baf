#pragma once
// Like a group, and more: when its loop inputs are all in it resets its members so that they
// can run again, and it tells its listeners when the members become usable.
#include "qe/GroupBlock.h"

namespace qe::scripts {

class CCycleBlock : public CGroupBlock
{
public:
    CCycleBlock(const CBlockRecord& record, CScriptSet* set, lv::gui::CBaseWidget* widget);

    void Refresh() override;
    void Reset() override;
    bool DependsOn(const CBlockBase* block) const override;
    void OnInputFired(CBlockBase* source, bool quiet) override;

protected:
    void OnMembersUnblocked() override { NotifyListeners(false); }

private:
    CBlockInputSet m_Loop;
};

} // namespace qe::scripts
