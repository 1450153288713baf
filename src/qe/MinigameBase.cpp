#include "qe/MinigameBase.h"

#include "qe/MinigameBlock.h"
#include "qe/Scene.h"

#include <cstring>

namespace qe {

void CMinigameBase::Complete()
{
    if (m_Block)
        m_Block->OnMinigameComplete();
}

u32 CMinigameBase::GetParamCount() const
{
    return m_Block ? m_Block->GetParamCount() : 0;
}

scripts::CScriptName CMinigameBase::GetParamKey(u32 index) const
{
    return m_Block && index < GetParamCount() ? m_Block->GetRecord().GetArgumentKey(index) : scripts::CScriptName();
}

scripts::CScriptName CMinigameBase::GetParamValue(u32 index) const
{
    return m_Block && index < GetParamCount() ? m_Block->GetRecord().GetArgumentValue(index) : scripts::CScriptName();
}

const char* CMinigameBase::FindParam(const char* key) const
{
    for (u32 i = 0; i < GetParamCount(); ++i)
        if (GetParamKey(i).Equals(key))
            return GetParamValue(i).GetText();
    return nullptr;
}

bool CMinigameBase::AreConditionsMet() const
{
    return m_Block && m_Block->AreConditionsMet();
}

void CMinigameBase::RunCommands()
{
    if (m_Block)
        m_Block->RunCommands();
}

bool CMinigameBase::CommandsFinished() const
{
    return !m_Block || m_Block->CommandsFinished();
}

bool CMinigameBase::IsFinished() const
{
    return m_Block && m_Block->IsDone();
}

const char* CMinigameBase::GetMinigameName() const
{
    return m_Block ? m_Block->GetMinigameName() : "";
}

CScene* CMinigameBase::GetScene() const
{
    return m_Block ? m_Block->GetScene() : nullptr;
}

bool CMinigameBase::IsOutsideMiniscene() const
{
    const CScene* scene = GetScene();
    return !scene || (scene->GetFlags() & CScene::kMiniscene) == 0;
}

u64 CMinigameBase::GetBlockGuid() const
{
    return m_Block ? m_Block->GetGuid() : 0;
}

} // namespace qe
