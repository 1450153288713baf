#include "qe/EnvironmentBlock.h"

#include "qe/SceneObject.h"

namespace qe::scripts {

CEnvironmentBlock::CEnvironmentBlock(const CBlockRecord& record, CScriptSet* set, lv::gui::CBaseWidget* widget)
    : CBlockBase(record, set, widget), m_BlockSet(record.GetList(EBlockList::Block)),
      m_Unblock(record.GetList(EBlockList::Unblock))
{
    SetFlag(kLocked, !m_Unblock.IsComplete());
}

bool CEnvironmentBlock::TryUse(const CSceneObject* object, const char* activeObject)
{
    if (!object || !m_Record.GetObjectName().Equals(object->GetName()) || HasTree() || HasFlag(kLocked) ||
        HasFlag(kBlocked))
        return false;
    const u32 count = m_Record.GetCommandSetCount();
    CCommandSetRecord set = m_Record.GetFirstCommandSet();
    for (u32 i = 0; i < count; ++i, set = set.GetNext())
        if (set.GetActiveObjectName().Equals(activeObject))
        {
            StartTree(set.GetTree());
            return true;
        }
    return false;
}

void CEnvironmentBlock::OnTreeFinished()
{
    NotifyListeners(false);
    Resume();
}

bool CEnvironmentBlock::DependsOn(const CBlockBase* block) const
{
    return m_BlockSet.Contains(block) || m_Unblock.Contains(block);
}

void CEnvironmentBlock::OnInputFired(CBlockBase* source, bool quiet)
{
    if (quiet)
    {
        m_BlockSet.Add(source);
        m_Unblock.Add(source);
        return;
    }
    if (m_BlockSet.Add(source))
    {
        SetFlag(kLocked, true);
        m_BlockSet.Clear();
    }
    if (m_Unblock.Add(source))
    {
        SetFlag(kLocked, false);
        m_Unblock.Clear();
    }
}

void CEnvironmentBlock::Reset()
{
    m_BlockSet.Clear();
    m_Unblock.Clear();
    SetFlag(kLocked, !m_Unblock.IsComplete());
}

} // namespace qe::scripts
