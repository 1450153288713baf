#pragma once
// Like a group, and more: when its loop inputs are all in it resets its members so that they
// can run again, and it tells its listeners when the members become usable.
#include "qe/BlockBase.h"
#include "qe/BlockInputSet.h"

#include <vector>

namespace qe::scripts {

class CCycleBlock : public CBlockBase
{
public:
    static constexpr u8 kMembersBlocked = 1;

    CCycleBlock(const CBlockRecord& record, CScriptSet* set, lv::gui::CBaseWidget* widget);

    void Update() override {}
    void Refresh() override;
    void Reset() override;
    void Activate() override {}
    bool DependsOn(const CBlockBase* block) const override;
    void OnInputFired(CBlockBase* source, bool quiet) override;
    void Block() override {}
    void Unblock() override {}

    void LinkMembers(CBlockBase* const* all, u32 count);
    const std::vector<CBlockBase*>& GetMembers() const { return m_Members; }

private:
    void BlockMembers();
    void UnblockMembers();

    CBlockInputSet m_BlockSet;
    CBlockInputSet m_Unblock;
    CBlockInputSet m_Loop;
    std::vector<CBlockBase*> m_Members;
};

} // namespace qe::scripts
