#include "qe/MinigameBlock.h"

#include "qe/BinaryReader.h"
#include "qe/MinigameBase.h"
#include "qe/MinigameFactory.h"
#include "qe/ScriptSet.h"

namespace qe::scripts {

CMinigameBlock::CMinigameBlock(const CBlockRecord& record, CScriptSet* set, lv::gui::CBaseWidget* widget)
    : CBlockBase(record, set, widget), m_Conditions(record.GetList(EBlockList::Condition)),
      m_Unblock(record.GetList(EBlockList::Unblock))
{
}

bool CMinigameBlock::IsReady() const
{
    return !HasFlag(kBlocked) && !IsDone() && m_Unblock.IsComplete();
}

void CMinigameBlock::Start()
{
    GetScriptSet()->SetMinigameReady(this, true);
    // One minigame per block: a second start while one plays would save two under one guid.
    if (m_Minigame)
        return;
    m_Minigame = CMinigameFactory::Instance().Create(this, GetMinigameName());
    if (!m_Minigame)
        return;
    m_Minigame->Load();
    // Told again now that the minigame exists: the first report came before it could name the
    // object of its developer marker.
    GetScriptSet()->SetMinigameReady(this, true);
}

void CMinigameBlock::Update()
{
    if (!IsDone() && HasFlag(kCompleted))
    {
        SetFlag(kDone, true);
        NotifyListeners(false);
        Resume();
        m_Minigame = nullptr;
        GetScriptSet()->SetMinigameReady(this, false);
    }
    UpdateTree();
}

void CMinigameBlock::Refresh()
{
    if (IsDone())
        return;
    if (IsReady())
        Start();
    else
        GetScriptSet()->SetMinigameReady(this, false);
}

void CMinigameBlock::Activate()
{
    if (m_Minigame)
        m_Minigame->Skip();
    if (!HasFlag(kCompleted))
        OnMinigameComplete();
}

void CMinigameBlock::OnMinigameComplete()
{
    if (HasFlag(kCompleted))
        return;
    SetFlag(kCompleted, true);
    Pause();
}

bool CMinigameBlock::DependsOn(const CBlockBase* block) const
{
    return m_Unblock.Contains(block) || m_Conditions.Contains(block);
}

void CMinigameBlock::OnInputFired(CBlockBase* source, bool quiet)
{
    if (quiet)
    {
        m_Unblock.Add(source);
        m_Conditions.Add(source);
        return;
    }
    const bool completed = m_Unblock.Add(source);
    m_Conditions.Add(source);
    if (completed && IsReady())
        Start();
}

void CMinigameBlock::Block()
{
    if (IsReady())
        GetScriptSet()->SetMinigameReady(this, false);
    SetFlag(kBlocked, true);
}

void CMinigameBlock::Unblock()
{
    SetFlag(kBlocked, false);
    if (IsReady())
        Start();
}

bool CMinigameBlock::Load(CBinaryReader& reader)
{
    CBlockBase::Load(reader);
    if (IsDone())
        NotifyListeners(true);
    return true;
}

void CMinigameBlock::RunCommands()
{
    if (HasTree() || !m_Record.HasFlags(kHasCommands))
        return;
    StartTree(m_Record.GetTree(EBlockTree::Commands));
}

CSceneObject* CMinigameBlock::GetHintObject(const char* activeObject) const
{
    return m_Minigame ? m_Minigame->GetHintObject(activeObject) : nullptr;
}

CSceneObject* CMinigameBlock::GetCheatObject() const
{
    return m_Minigame ? m_Minigame->GetCheatObject() : nullptr;
}

} // namespace qe::scripts
