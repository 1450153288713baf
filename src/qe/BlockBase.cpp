#include "qe/BlockBase.h"

#include "core/Log.h"
#include "qe/BinaryReader.h"
#include "qe/BinaryWriter.h"
#include "qe/CommandBase.h"
#include "qe/CommandFactory.h"
#include "qe/Scene.h"
#include "qe/ScriptSet.h"

namespace qe::scripts {

s32 CBlockBase::s_NotifyDepth = 0;

CBlockBase::CBlockBase(const CBlockRecord& record, CScriptSet* set, lv::gui::CBaseWidget* widget)
    : m_Record(record), m_Set(set), m_Widget(widget)
{
}

CBlockBase::~CBlockBase() = default;

void CBlockBase::Save(CBinaryWriter& writer)
{
    writer.WriteByte(m_Flags);
}

bool CBlockBase::Load(CBinaryReader& reader)
{
    m_Flags = static_cast<u8>(reader.ReadByte());
    return true;
}

void CBlockBase::SetListeners(std::unique_ptr<CBlockBase*[]> listeners, u32 count)
{
    m_Listeners = std::move(listeners);
    m_ListenerCount = m_Listeners ? count : 0;
}

void CBlockBase::NotifyListeners(bool quiet)
{
    if (s_NotifyDepth >= kMaxNotifyDepth)
    {
        lv::core::CLog::Instance().Print("qe", 3, "Block notifications nest too deep at '%s'; the chain stops.", GetId());
        return;
    }
    ++s_NotifyDepth;
    for (u32 i = 0; i < m_ListenerCount; ++i)
        m_Listeners[i]->OnInputFired(this, quiet);
    --s_NotifyDepth;
}

CScene* CBlockBase::GetScene() const
{
    return m_Set ? m_Set->GetScene() : nullptr;
}

CSceneObject* CBlockBase::FindSceneObject(const CScriptName& name) const
{
    const CScene* scene = GetScene();
    if (!scene)
        return nullptr;
    if (m_FoundVersion != scene->GetListVersion())
    {
        m_FoundObject = scene->FindObject(name.GetText());
        m_FoundVersion = scene->GetListVersion();
    }
    return m_FoundObject;
}

bool CBlockBase::StartTreeUnpaused(const CCommandRecord& root)
{
    if (m_Tree || !root.IsValid())
        return false;
    m_Tree.reset(CCommandFactory::Instance().Create(root, GetScene(), m_Widget));
    return m_Tree != nullptr;
}

bool CBlockBase::StartTree(const CCommandRecord& root)
{
    if (!StartTreeUnpaused(root))
        return false;
    Pause();
    CheckTree();
    return true;
}

void CBlockBase::UpdateTree()
{
    if (!m_Tree)
        return;
    m_Tree->Update();
    CheckTree();
}

void CBlockBase::CheckTree()
{
    if (!m_Tree || !m_Tree->IsFinished())
        return;
    m_Tree.reset();
    OnTreeFinished();
}

void CBlockBase::Pause()
{
    if (m_Set)
        m_Set->Pause();
}

void CBlockBase::Resume()
{
    if (m_Set)
        m_Set->Resume();
}

} // namespace qe::scripts
