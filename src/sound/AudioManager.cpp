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

// Sounds are declared with the sound types; until then no name starts a sound.
s32 CAudioManager::Play(const char*, float, float, s32, s32, float)
{
    return 0;
}

bool CAudioManager::PauseSound(s32, bool)
{
    return false;
}

bool CAudioManager::StopSound(s32, float)
{
    return false;
}

bool CAudioManager::SetSoundVolume(s32, float, float, float)
{
    return false;
}

float CAudioManager::GetSoundVolume(s32) const
{
    return 0.0f;
}

void CAudioManager::PauseAll(bool pause)
{
    // A resume without a pause has nothing to undo.
    if (pause)
        ++m_PauseAllLevel;
    else if (m_PauseAllLevel > 0)
        --m_PauseAllLevel;
}

} // namespace lv::sound
