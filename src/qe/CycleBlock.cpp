#include "qe/CycleBlock.h"

namespace qe::scripts {

CCycleBlock::CCycleBlock(const CBlockRecord& record, CScriptSet* set, lv::gui::CBaseWidget* widget)
    : CGroupBlock(record, set, widget), m_Loop(record.GetList(EBlockList::Loop))
{
}

void CCycleBlock::Reset()
{
    for (CBlockBase* member : GetMembers())
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
    return CGroupBlock::DependsOn(block) || m_Loop.Contains(block);
}

void CCycleBlock::OnInputFired(CBlockBase* source, bool quiet)
{
    CGroupBlock::OnInputFired(source, quiet);
    if (quiet)
        m_Loop.Add(source);
    else if (m_Loop.Add(source))
    {
        Reset();
        m_Loop.Clear();
    }
}

} // namespace qe::scripts
