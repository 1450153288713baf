#include "qe/OrBlock.h"

namespace qe::scripts {

COrBlock::COrBlock(const CBlockRecord& record, CScriptSet* set, lv::gui::CBaseWidget* widget)
    : CBlockBase(record, set, widget), m_Inputs(record.GetList(EBlockList::Inputs))
{
}

void COrBlock::TryFire()
{
    if (!HasFlag(kInputSeen) || IsDone() || HasFlag(kBlocked))
        return;
    SetFlag(kDone, true);
    NotifyListeners(false);
}

void COrBlock::OnInputFired(CBlockBase*, bool quiet)
{
    SetFlag(kInputSeen, true);
    if (!quiet)
        TryFire();
}

void COrBlock::Reset()
{
    SetFlag(kDone, false);
    SetFlag(kInputSeen, false);
}

void COrBlock::Unblock()
{
    SetFlag(kBlocked, false);
    TryFire();
}

bool COrBlock::Load(CBinaryReader& reader)
{
    CBlockBase::Load(reader);
    if (IsDone())
        NotifyListeners(true);
    return true;
}

} // namespace qe::scripts
