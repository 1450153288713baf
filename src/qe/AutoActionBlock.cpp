#include "qe/AutoActionBlock.h"

namespace qe::scripts {

CAutoActionBlock::CAutoActionBlock(const CBlockRecord& record, CScriptSet* set, lv::gui::CBaseWidget* widget)
    : CBlockBase(record, set, widget), m_Unblock(record.GetList(EBlockList::Unblock))
{
}

void CAutoActionBlock::TryStart()
{
    if (IsDone() || HasFlag(kBlocked) || HasTree())
        return;
    if (m_Unblock.IsComplete())
        Activate();
}

void CAutoActionBlock::Activate()
{
    // Without commands there is nothing to wait for: the block is done at once, so that the
    // blocks waiting for it go on.
    if (!m_Record.HasFlags(kHasCommands))
    {
        if (!IsDone())
            Complete();
        return;
    }
    StartTree(m_Record.GetTree(EBlockTree::Commands));
}

void CAutoActionBlock::Complete()
{
    SetFlag(kDone, true);
    NotifyListeners(false);
}

void CAutoActionBlock::OnTreeFinished()
{
    Complete();
    Resume();
}

void CAutoActionBlock::Reset()
{
    m_Unblock.Clear();
    SetFlag(kDone, false);
    TryStart();
}

void CAutoActionBlock::OnInputFired(CBlockBase* source, bool quiet)
{
    m_Unblock.Add(source);
    if (!quiet)
        TryStart();
}

void CAutoActionBlock::Unblock()
{
    SetFlag(kBlocked, false);
    TryStart();
}

bool CAutoActionBlock::Load(CBinaryReader& reader)
{
    CBlockBase::Load(reader);
    if (IsDone())
        NotifyListeners(true);
    return true;
}

} // namespace qe::scripts
