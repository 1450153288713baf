#include "qe/SceneEventBlock.h"

namespace qe::scripts {

CSceneEventBlock::CSceneEventBlock(const CBlockRecord& record, CScriptSet* set, lv::gui::CBaseWidget* widget)
    : CBlockBase(record, set, widget), m_Unblock(record.GetList(EBlockList::Unblock))
{
}

void CSceneEventBlock::OnSceneEvent(bool isOpen)
{
    if (IsDone() || HasFlag(kBlocked) || isOpen != m_Record.HasFlags(kSceneEventOpen))
        return;
    if (m_Unblock.IsComplete() && !HasTree())
        Activate();
}

void CSceneEventBlock::Activate()
{
    if (m_Record.HasFlags(kHasCommands))
        StartTree(m_Record.GetTree(EBlockTree::Commands));
    else
        NotifyListeners(false);
}

void CSceneEventBlock::OnTreeFinished()
{
    SetFlag(kDone, true);
    NotifyListeners(false);
    Resume();
}

void CSceneEventBlock::Reset()
{
    m_Unblock.Clear();
    SetFlag(kDone, false);
}

bool CSceneEventBlock::Load(CBinaryReader& reader)
{
    CBlockBase::Load(reader);
    if (IsDone())
        NotifyListeners(true);
    return true;
}

} // namespace qe::scripts
