#include "qe/SceneBlock.h"

#include "core/ByteOrder.h"
#include "qe/CommandRecord.h"
#include "qe/Scene.h"
#include "qe/SceneObject.h"
#include "qe/ScriptSet.h"

#include <algorithm>
#include <cstring>
#include <vector>

namespace qe::scripts {

namespace {

// A name record as the image stores it: length, hash (left to the comparison), text.
void PutSceneBlockName(std::vector<u8>& record, size_t at, const char* text)
{
    const size_t length = std::min<size_t>(std::strlen(text), CScriptName::kTextSize - 1);
    lv::core::PutU16(record, at, static_cast<u16>(length));
    std::memcpy(record.data() + at + 8, text, length);
}

} // namespace

CSceneBlock::CSceneBlock(const CBlockRecord& record, CScriptSet* set, lv::gui::CBaseWidget* widget)
    : CBlockBase(record, set, widget), m_BlockSet(record.GetList(EBlockList::Block)),
      m_Unblock(record.GetList(EBlockList::Unblock))
{
    m_Flags = kIdle;
}

void CSceneBlock::ReportReady(bool ready)
{
    GetScriptSet()->SetSceneReady(this, ready);
}

void CSceneBlock::Refresh()
{
    if (!m_Unblock.IsComplete())
        SetFlag(kLocked, true);
    ReportReady(IsAvailable());
}

void CSceneBlock::Reset()
{
    m_BlockSet.Clear();
    m_Unblock.Clear();
    SetFlag(kLocked, !m_Unblock.IsComplete());
    ReportReady(IsAvailable());
}

void CSceneBlock::Activate()
{
    if (m_Record.HasFlags(kScenePreOpen))
    {
        SetPhase(kPreOpen);
        StartTree(m_Record.GetTree(EBlockTree::PreOpen));
        return;
    }
    OpenScene();
}

void CSceneBlock::OpenScene()
{
    std::vector<u8> record(CCommandRecord::kNamedSize, 0);
    lv::core::WriteU32(record.data(), CCommandRecord::kNamedSize);
    lv::core::WriteU32(record.data() + 4, CCommandRecord::kNamed);
    PutSceneBlockName(record, 8, "open_scene");
    lv::core::WriteU32(record.data() + 104, 1);
    PutSceneBlockName(record, 108, "scene");
    PutSceneBlockName(record, 108 + CScriptName::kSize, GetTargetSceneName());
    SetPhase(kOpening);
    if (StartTreeUnpaused(CCommandRecord(record.data())))
        CheckTree();
}

void CSceneBlock::PostOpen()
{
    if (!m_Record.HasFlags(kScenePostOpen))
    {
        // Back at the door without telling the listeners; the use withdrew the door, so it is
        // offered again here, or the hint and the map would lose it after one passage.
        SetPhase(kIdle);
        if (IsAvailable())
            ReportReady(true);
        return;
    }
    SetPhase(kPostOpen);
    StartTree(m_Record.GetTree(EBlockTree::PostOpen));
}

void CSceneBlock::OnTreeFinished()
{
    switch (GetPhase())
    {
    case kPreOpen:
        Resume();
        OpenScene();
        break;
    case kOpening:
        PostOpen();
        break;
    default:
        SetPhase(kIdle);
        NotifyListeners(false);
        Resume();
        ReportReady(true);
        break;
    }
}

bool CSceneBlock::DependsOn(const CBlockBase* block) const
{
    return m_BlockSet.Contains(block) || m_Unblock.Contains(block);
}

void CSceneBlock::OnInputFired(CBlockBase* source, bool quiet)
{
    if (quiet)
    {
        m_BlockSet.Add(source);
        m_Unblock.Add(source);
        return;
    }
    if (m_BlockSet.Add(source))
    {
        if (IsAvailable())
            ReportReady(false);
        SetFlag(kLocked, true);
        m_BlockSet.Clear();
    }
    if (m_Unblock.Add(source))
    {
        SetFlag(kLocked, false);
        m_Unblock.Clear();
        if (IsAvailable())
            ReportReady(true);
    }
}

void CSceneBlock::Block()
{
    if (IsAvailable())
        ReportReady(false);
    SetFlag(kBlocked, true);
}

void CSceneBlock::Unblock()
{
    SetFlag(kBlocked, false);
    if (IsAvailable())
        ReportReady(true);
}

bool CSceneBlock::TryUse(const CSceneObject* object)
{
    if (!IsAvailable() || HasTree() || !object || !m_Record.GetObjectName().Equals(object->GetName()))
        return false;
    ReportReady(false);
    Activate();
    return true;
}

CSceneObject* CSceneBlock::GetObject() const
{
    return FindSceneObject(m_Record.GetObjectName());
}

} // namespace qe::scripts
