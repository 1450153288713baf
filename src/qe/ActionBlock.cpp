#include "qe/ActionBlock.h"

#include "qe/BinaryReader.h"
#include "qe/Scene.h"
#include "qe/SceneObject.h"
#include "qe/ScriptSet.h"

namespace qe::scripts {

CActionBlock::CActionBlock(const CBlockRecord& record, CScriptSet* set, lv::gui::CBaseWidget* widget)
    : CBlockBase(record, set, widget), m_Conditions(record.GetList(EBlockList::Condition)),
      m_Unblock(record.GetList(EBlockList::Unblock))
{
}

bool CActionBlock::CanFire() const
{
    return m_Unblock.IsComplete() && !HasTree() && !m_Activated && !HasFlag(kBlocked);
}

bool CActionBlock::IsReady() const
{
    return m_Conditions.IsComplete() && CanFire() && !IsDone();
}

void CActionBlock::Update()
{
    UpdateTree();
}

void CActionBlock::OnTreeFinished()
{
    if (m_Activated)
    {
        SetFlag(kDone, true);
        NotifyListeners(false);
    }
    Resume();
}

void CActionBlock::Refresh()
{
    GetScriptSet()->SetActionReady(this, IsReady());
}

void CActionBlock::Reset()
{
    m_Conditions.Clear();
    m_Unblock.Clear();
    m_Activated = false;
    SetFlag(kDone, false);
    GetScriptSet()->SetActionReady(this, IsReady());
}

void CActionBlock::Activate()
{
    // Set before the tree starts: a tree finishing while it is built completes the block.
    const bool was = m_Activated;
    m_Activated = true;
    if (!StartTree(m_Record.GetTree(EBlockTree::Correct)))
        m_Activated = was;
}

bool CActionBlock::DependsOn(const CBlockBase* block) const
{
    return m_Unblock.Contains(block) || m_Conditions.Contains(block);
}

void CActionBlock::OnInputFired(CBlockBase* source, bool quiet)
{
    m_Unblock.Add(source);
    m_Conditions.Add(source);
    if (!quiet && IsReady())
        GetScriptSet()->SetActionReady(this, true);
}

void CActionBlock::Block()
{
    if (IsReady())
        GetScriptSet()->SetActionReady(this, false);
    SetFlag(kBlocked, true);
}

void CActionBlock::Unblock()
{
    SetFlag(kBlocked, false);
    if (IsReady())
        GetScriptSet()->SetActionReady(this, true);
}

bool CActionBlock::Load(CBinaryReader& reader)
{
    CBlockBase::Load(reader);
    if (IsDone())
    {
        m_Activated = true;
        NotifyListeners(true);
    }
    return true;
}

CSceneObject* CActionBlock::GetObject() const
{
    return FindSceneObject(m_Record.GetObjectName());
}

bool CActionBlock::IsOwnObject(const CSceneObject* object) const
{
    return object && m_Record.GetObjectName().Equals(object->GetName());
}

bool CActionBlock::TryCorrectUse(const CSceneObject* object, const char* activeObject)
{
    if (!IsOwnObject(object) || !m_Record.HasFlags(kActionHasCorrect) || !IsReady() ||
        !m_Record.GetActiveObjectName().Equals(activeObject))
        return false;
    GetScriptSet()->SetActionReady(this, false);
    Activate();
    return true;
}

bool CActionBlock::TryIncorrectUse(const CSceneObject* object, const char* activeObject)
{
    if (!IsOwnObject(object) || m_Conditions.IsComplete() || !CanFire() ||
        !m_Record.HasFlags(kActionHasIncorrect) || !m_Record.GetActiveObjectName().Equals(activeObject))
        return false;
    StartTree(m_Record.GetTree(EBlockTree::Incorrect));
    return true;
}

bool CActionBlock::TryCommandSetUse(const CSceneObject* object, const char* activeObject)
{
    const u32 count = m_Record.GetCommandSetCount();
    if (count == 0 || !CanFire() || !IsOwnObject(object) || m_Record.GetActiveObjectName().Equals(activeObject))
        return false;
    CCommandSetRecord set = m_Record.GetFirstCommandSet();
    for (u32 i = 0; i < count; ++i, set = set.GetNext())
        if (set.GetActiveObjectName().Equals(activeObject))
        {
            StartTree(set.GetTree());
            return true;
        }
    return false;
}

} // namespace qe::scripts
