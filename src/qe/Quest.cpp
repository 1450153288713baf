#include "qe/Quest.h"

#include "core/TimeSystem.h"
#include "qe/BinaryReader.h"
#include "qe/BinaryWriter.h"
#include "qe/PlaceholderSet.h"
#include "qe/SavableState.h"
#include "qe/Scene.h"
#include "qe/ScriptEnvironment.h"

#include <cstring>

namespace qe {

namespace {

// Without a script environment the quest saves an empty one: a set count of 0.
constexpr s32 kEmptyEnvironmentSize = 4;

} // namespace

CQuest::CQuest(const char* name, lv::core::CTimeSystem* timeSystem, CSavableState* owner)
    : m_Name(name), m_Owner(owner), m_TimeSystem(timeSystem ? timeSystem : &lv::core::CTimeSystem::Instance())
{
    m_TimerGroup = m_TimeSystem->CreateTimerGroup("", m_TimeSystem->GetRootGroup());
    m_StateSize = 4 + kEmptyEnvironmentSize;
}

CQuest::~CQuest()
{
    // Blocks reach their scenes; objects may reach their scene while they go.
    m_Environment.reset();
    m_Placeholders.reset();
    m_Scenes.clear();
    m_DetachedScene.reset();
    if (m_TimerGroup)
        m_TimeSystem->DestroyTimerGroup(m_TimerGroup);
}

CScene* CQuest::AddScene(std::unique_ptr<CScene> scene)
{
    m_Scenes.push_back(std::move(scene));
    return m_Scenes.back().get();
}

void CQuest::SetScriptEnvironment(std::unique_ptr<scripts::CScriptEnvironment> environment)
{
    m_StateSize -= m_Environment ? m_Environment->GetSaveSize() : kEmptyEnvironmentSize;
    m_Environment = std::move(environment);
    m_StateSize += m_Environment ? m_Environment->GetSaveSize() : kEmptyEnvironmentSize;
}

void CQuest::UpdateScripts()
{
    if (m_Environment)
        m_Environment->Tick();
}

void CQuest::RefreshScripts()
{
    if (m_Environment)
        m_Environment->RefreshAll();
}

bool CQuest::IsScriptPaused() const
{
    return m_Environment && m_Environment->IsPaused();
}

void CQuest::FinishBuild()
{
    m_StateSize = 4 + (m_Environment ? m_Environment->GetSaveSize() : kEmptyEnvironmentSize);
    for (const auto& scene : m_Scenes)
        m_StateSize += 8 + scene->GetStateSize();
    CScene* home = GetStartScene();
    if (!home)
    {
        // Callers use what a failed lookup returns at once, so there must always be one.
        m_DetachedScene = std::make_unique<CScene>(this, "");
        home = m_DetachedScene.get();
    }
    CreatePlaceholders(home);
}

void CQuest::CreatePlaceholders(CScene* scene)
{
    m_Placeholders = std::make_unique<CPlaceholderSet>(scene);
}

CScene* CQuest::FindScene(const char* name) const
{
    const CFixedString wanted(name);
    for (const auto& scene : m_Scenes)
        if (scene->GetName() == wanted)
            return scene.get();
    return nullptr;
}

CScene* CQuest::FindSceneByGuid(u64 guid) const
{
    for (const auto& scene : m_Scenes)
        if (scene->GetGuid() == guid)
            return scene.get();
    return nullptr;
}

CScene* CQuest::GetStartScene() const
{
    for (const auto& scene : m_Scenes)
        if (scene->HasFlags(CScene::kStartScene))
            return scene.get();
    return nullptr;
}

CSceneObject* CQuest::FindObjectByPath(const char* path) const
{
    if (!path)
        return nullptr;
    const char* slash = std::strchr(path, '/');
    if (!slash)
        return nullptr;
    const CFixedString sceneName(path, static_cast<size_t>(slash - path));
    for (const auto& scene : m_Scenes)
        if (scene->GetName() == sceneName)
            return scene->FindObject(slash + 1);
    return nullptr;
}

void CQuest::SetCheatMode(bool on)
{
    for (const auto& scene : m_Scenes)
        scene->SetCheatMode(on);
}

bool CQuest::SaveState()
{
    return m_Owner ? m_Owner->SaveState() : false;
}

void CQuest::Save(CBinaryWriter& writer)
{
    writer.WriteInt32(GetSceneCount());
    for (const auto& scene : m_Scenes)
    {
        writer.WriteInt64(static_cast<s64>(scene->GetGuid()));
        scene->Save(writer);
    }
    if (m_Environment)
        m_Environment->Save(writer);
    else
        writer.WriteInt32(0); // the empty environment's set count
}

bool CQuest::Load(const u8* data, s32 size)
{
    CBinaryReader reader(data, size);
    const s32 count = reader.ReadInt32();
    if (reader.HasError() || count != GetSceneCount())
        return false;
    for (const auto& scene : m_Scenes)
    {
        if (static_cast<u64>(reader.ReadInt64()) != scene->GetGuid() || reader.HasError())
            return false;
        if (!scene->Load(reader))
            return false;
    }
    if (m_Environment)
        return m_Environment->Load(reader) && !reader.HasError();
    const s32 sets = reader.ReadInt32();
    return !reader.HasError() && sets == 0;
}

} // namespace qe
