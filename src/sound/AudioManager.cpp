#include "sound/AudioManager.h"

#include "core/TimeSystem.h"

namespace lv::sound {

CAudioManager& GetAudioManager()
{
    // Never destroyed: sounds may still be stopped while the process ends.
    static CAudioManager* instance = new CAudioManager();
    return *instance;
}

CAudioManager::CAudioManager()
    : m_TimerGroup(lv::core::CTimeSystem::Instance().CreateTimerGroup("AudioManager", nullptr))
{
}

CAudioManager::~CAudioManager() = default;

void CAudioManager::Update() {}

void CAudioManager::PauseAll(bool pause)
{
    // A resume without a pause has nothing to undo.
    if (pause)
        ++m_PauseAllLevel;
    else if (m_PauseAllLevel > 0)
        --m_PauseAllLevel;
}

} // namespace lv::sound
