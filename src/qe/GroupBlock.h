#pragma once
// Holds its member blocks blocked until its unblock inputs are in; its block inputs block them
// again. It never fires itself.
#include "qe/BlockBase.h"
#include "qe/BlockInputSet.h"

#include <vector>

namespace qe::scripts {

class CGroupBlock : public CBlockBase
{
public:
    static constexpr u8 kMembersBlocked = 1;

    CGroupBlock(const CBlockRecord& record, CScriptSet* set, lv::gui::CBaseWidget* widget);

    void Update() override {}
    void Refresh() override {}
    void Reset() override {}
    void Activate() override {}
    bool DependsOn(const CBlockBase* block) const override;
    void OnInputFired(CBlockBase* source, bool quiet) override;
    void Block() override {}
    void Unblock() override {}

    // The members among all blocks of the quest, in that list's order.
    void LinkMembers(CBlockBase* const* all, u32 count);
    const std::vector<CBlockBase*>& GetMembers() const { return m_Members; }

protected:
    // A cycle also tells its listeners when its members become usable.
    virtual void OnMembersUnblocked() {}

private:
    void BlockMembers();
    void UnblockMembers();

    CBlockInputSet m_BlockSet;
    CBlockInputSet m_Unblock;
    std::vector<CBlockBase*> m_Members;
};

} // namespace qe::scripts
