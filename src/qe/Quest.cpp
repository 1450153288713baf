#include "qe/Quest.h"

#include "core/TimeSystem.h"

namespace qe {

CQuest::CQuest(const char* name, lv::core::CTimeSystem* timeSystem)
    : m_Name(name), m_TimeSystem(timeSystem ? timeSystem : &lv::core::CTimeSystem::Instance())
{
    m_TimerGroup = m_TimeSystem->CreateTimerGroup("", m_TimeSystem->GetRootGroup());
}

CQuest::~CQuest()
{
    if (m_TimerGroup)
        m_TimeSystem->DestroyTimerGroup(m_TimerGroup);
}

} // namespace qe
