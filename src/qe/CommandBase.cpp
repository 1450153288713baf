#include "qe/CommandBase.h"

#include "core/FixedString.h"
#include "core/TimeSystem.h"
#include "qe/Quest.h"
#include "qe/Scene.h"
#include "qe/SceneObject.h"
#include "sound/AudioManager.h"

#include <cmath>
#include <cstdlib>
#include <cstring>

namespace qe::scripts {

namespace {

lv::core::CTimeSystem* g_CommandTimeSystem = nullptr;
lv::sound::CAudioManager* g_CommandAudio = nullptr;

} // namespace

CSceneObject* CCommandBase::FindObject(const char* path) const
{
    if (!path || !m_Scene)
        return nullptr;
    const CScene* scene = m_Scene;
    if (const char* slash = std::strchr(path, '/')) {
        const CFixedString sceneName(path, static_cast<size_t>(slash - path));
        const CQuest* quest = m_Scene->GetQuest();
        scene = quest && !sceneName.IsTruncated() ? quest->FindScene(sceneName.GetText()) : nullptr;
        if (!scene)
            return nullptr;
        path = slash + 1;
    }
    if (const char* dot = std::strchr(path, '.')) {
        const CSceneObject* parent = scene->FindObject(CFixedString(path, static_cast<size_t>(dot - path)));
        return parent ? parent->FindChild(CFixedString(dot + 1)) : nullptr;
    }
    return scene->FindObject(CFixedString(path));
}

void CCommandBase::SetTimeSystem(lv::core::CTimeSystem* timeSystem)
{
    g_CommandTimeSystem = timeSystem;
}

lv::core::CTimeSystem& CCommandBase::GetTimeSystem()
{
    return g_CommandTimeSystem ? *g_CommandTimeSystem : lv::core::CTimeSystem::Instance();
}

void CCommandBase::SetAudioManager(lv::sound::CAudioManager* audio)
{
    g_CommandAudio = audio;
}

lv::sound::CAudioManager& CCommandBase::GetAudioManager()
{
    return g_CommandAudio ? *g_CommandAudio : lv::sound::GetAudioManager();
}

s32 CCommandBase::GetFrameDelta()
{
    return GetTimeSystem().GetFrameDelta();
}

s32 CCommandBase::MillisecondsOf(const char* text)
{
    return MillisecondsOf(std::atof(text ? text : ""));
}

s32 CCommandBase::MillisecondsOf(double value)
{
    if (std::isnan(value))
        return 0;
    if (value >= 2147483647.0)
        return 2147483647;
    if (value <= -2147483648.0)
        return -2147483647 - 1;
    return static_cast<s32>(value);
}

s32 CCommandBase::IntegerOf(const char* text)
{
    const long long value = std::strtoll(text ? text : "", nullptr, 10);
    if (value > 2147483647)
        return 2147483647;
    if (value < -2147483647 - 1)
        return -2147483647 - 1;
    return static_cast<s32>(value);
}

s32 CCommandBase::CountDown(s32 left)
{
    const s32 dt = GetFrameDelta();
    return dt <= 0 ? left : left - (dt < left ? dt : left);
}

} // namespace qe::scripts
