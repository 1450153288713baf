#include "qe/CycleBlock.h"

namespace qe::scripts {

CCycleBlock::CCycleBlock(const CBlockRecord& record, CScriptSet* set, lv::gui::CBaseWidget* widget)
    : CBlockBase(record, set, widget), m_BlockSet(record.GetList(EBlockList::Block)),
      m_Unblock(record.GetList(EBlockList::Unblock)), m_Loop(record.GetList(EBlockList::Loop))
{
}

void CCycleBlock::LinkMembers(CBlockBase* const* all, u32 count)
{
    const CBlockInputSet members(m_Record.GetList(EBlockList::Members));
    m_Members.clear();
    for (u32 i = 0; i < count; ++i)
        if (members.Contains(all[i]))
            m_Members.push_back(all[i]);
    if (!m_Unblock.IsComplete())
        BlockMembers();
}

void CCycleBlock::BlockMembers()
{
    SetFlag(kMembersBlocked, true);
    for (CBlockBase* member : m_Members)
        member->Block();
}

void CCycleBlock::UnblockMembers()
{
    SetFlag(kMembersBlocked, false);
    for (CBlockBase* member : m_Members)
        member->Unblock();
}

void CCycleBlock::Reset()
{
    for (CBlockBase* member : m_Members)
        member->Reset();
    if (!HasFlag(kMembersBlocked))
        NotifyListeners(false);
}

void CCycleBlock::Refresh()
{
    if (!HasFlag(kMembersBlocked))
        NotifyListeners(false);
}

bool CCycleBlock::DependsOn(const CBlockBase* block) const
{
    return m_BlockSet.Contains(block) || m_Unblock.Contains(block) || m_Loop.Contains(block);
}

void CCycleBlock::OnInputFired(CBlockBase* source, bool quiet)
{
    if (quiet)
    {
        m_BlockSet.Add(source);
        m_Unblock.Add(source);
        m_Loop.Add(source);
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
        NotifyListeners(false);
    }
    if (m_Loop.Add(source))
    {
        Reset();
        m_Loop.Clear();
    }
}

} // namespace qe::scripts
