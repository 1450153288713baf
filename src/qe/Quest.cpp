#include "qe/Quest.h"

#include "core/TimeSystem.h"
#include "qe/PlaceholderSet.h"

namespace qe {

CQuest::CQuest(const char* name, lv::core::CTimeSystem* timeSystem)
    : m_Name(name), m_TimeSystem(timeSystem ? timeSystem : &lv::core::CTimeSystem::Instance())
{
    m_TimerGroup = m_TimeSystem->CreateTimerGroup("", m_TimeSystem->GetRootGroup());
}

CQuest::~CQuest()
{
    m_Placeholders.reset();
    if (m_TimerGroup)
        m_TimeSystem->DestroyTimerGroup(m_TimerGroup);
}

void CQuest::CreatePlaceholders(CScene* startScene)
{
    m_Placeholders = std::make_unique<CPlaceholderSet>(startScene);
}

} // namespace qe
