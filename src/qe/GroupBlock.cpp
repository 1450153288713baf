#include "qe/GroupBlock.h"

namespace qe::scripts {

CGroupBlock::CGroupBlock(const CBlockRecord& record, CScriptSet* set, lv::gui::CBaseWidget* widget)
    : CBlockBase(record, set, widget), m_BlockSet(record.GetList(EBlockList::Block)),
      m_Unblock(record.GetList(EBlockList::Unblock))
{
}

void CGroupBlock::LinkMembers(CBlockBase* const* all, u32 count)
{
    const CBlockInputSet members(m_Record.GetList(EBlockList::Members));
    m_Members.clear();
    for (u32 i = 0; i < count; ++i)
        if (members.Contains(all[i]))
            m_Members.push_back(all[i]);
    if (!m_Unblock.IsComplete())
        BlockMembers();
}

void CGroupBlock::BlockMembers()
{
    SetFlag(kMembersBlocked, true);
    for (CBlockBase* member : m_Members)
        member->Block();
}

void CGroupBlock::UnblockMembers()
{
    SetFlag(kMembersBlocked, false);
    for (CBlockBase* member : m_Members)
        member->Unblock();
}

bool CGroupBlock::DependsOn(const CBlockBase* block) const
{
    return m_BlockSet.Contains(block) || m_Unblock.Contains(block);
}

void CGroupBlock::OnInputFired(CBlockBase* source, bool quiet)
{
    if (quiet)
    {
        m_BlockSet.Add(source);
        m_Unblock.Add(source);
        return;
    }
    if (m_BlockSet.Add(source))
    {
        BlockMembers();
        m_BlockSet.Clear();
    }
    if (m_Unblock.Add(source))
    {
        UnblockMembers();
        m_Unblock.Clear();
        OnMembersUnblocked();
    }
}

} // namespace qe::scripts
