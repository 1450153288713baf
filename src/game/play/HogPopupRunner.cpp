#include "game/play/HogPopupRunner.h"

#include "core/MessageBox.h"
#include "core/TimeSystem.h"
#include "game/hud/Hud.h"
#include "game/play/GameWindow.h"
#include "game/play/HogPopupCommands.h"
#include "game/play/SceneStack.h"
#include "qe/ClipObject.h"
#include "qe/GroupObject.h"
#include "qe/Scene.h"
#include "qe/SceneView.h"
#include "sound/AudioManager.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>

namespace game {

namespace {

constexpr s32 kRunnerMaxFrameDelta = 100;

// ActivateObjectAt runs on every mouse move over an open popup: one cache for all runners, the
// popup scene asked for last and its record index.
const qe::CScene* g_ActivateCacheScene = nullptr;
s32 g_ActivateCacheIndex = -1;

bool RunnerIsEnabled(const qe::CSceneObject* object)
{
    return object && !object->HasFlags(qe::CSceneObject::kDisabled);
}

// The scene object of that name when it exists, is enabled and takes the point.
qe::CSceneObject* RunnerEnabledAt(qe::CScene* scene, const std::string& name, const CVector2& point)
{
    if (!scene || name.empty())
        return nullptr;
    qe::CSceneObject* object = scene->FindObject(name.c_str());
    if (!RunnerIsEnabled(object) || !object->HitTest(point))
        return nullptr;
    return object;
}

// The scene's record in the lists, or null.
const CHogPopupCommands::SScene* RecordOf(CHogPopupCommands* lists, const qe::CScene* scene)
{
    return lists && scene ? lists->GetScene(lists->FindScene(scene->GetName().GetText())) : nullptr;
}

// Of the search's enabled zones under the point, the first entry of the same zone that `match`
// accepts.
template <class TMatch>
const CHogPopupCommands::SEntry* FindZoneEntryAt(const CHogPopupCommands::SScene& record, qe::CScene* scene,
                                                 s32 hogIndex, const CVector2& point, TMatch match)
{
    for (const CHogPopupCommands::SEntry& zone : record.Entries)
    {
        if (zone.HogIndex != hogIndex || !RunnerEnabledAt(scene, zone.Id, point))
            continue;
        for (const CHogPopupCommands::SEntry& entry : record.Entries)
            if (entry.Id == zone.Id && match(entry))
                return &entry;
    }
    return nullptr;
}

s32 RunnerNumber(const std::string& text)
{
    return static_cast<s32>(std::strtol(text.c_str(), nullptr, 10));
}

} // namespace

void CHogPopupRunner::DropActivateCache()
{
    g_ActivateCacheScene = nullptr;
    g_ActivateCacheIndex = -1;
}

CHogPopupCommands* CHogPopupRunner::Lists()
{
    if (!m_Lists)
        if (CGameWindow* window = CGameWindow::GetInstance())
            m_Lists = &window->GetHogPopupCommands();
    return m_Lists;
}

bool CHogPopupRunner::HasActivateEntries(const char* sceneName, s32 hogIndex)
{
    CHogPopupCommands* lists = Lists();
    if (!lists)
        return false;
    m_SceneIndex = lists->FindScene(sceneName);
    if (m_SceneIndex < 0)
        return false;
    return lists->HasActivateEntries(m_SceneIndex, hogIndex);
}

std::vector<CFixedString> CHogPopupRunner::ZoneIds(const char* sceneName, s32 hogIndex)
{
    std::vector<CFixedString> ids;
    CHogPopupCommands* lists = Lists();
    const CHogPopupCommands::SScene* record = lists ? lists->GetScene(lists->FindScene(sceneName)) : nullptr;
    if (!record)
        return ids;
    for (const CHogPopupCommands::SEntry& entry : record->Entries)
        if (entry.HogIndex == hogIndex)
            ids.emplace_back(entry.Id.c_str());
    return ids;
}

qe::CSceneObject* CHogPopupRunner::ActivateObjectAt(qe::CScene* scene, float x, float y, s32 hogIndex)
{
    CHogPopupCommands* lists = Lists();
    if (!lists || !scene)
        return nullptr;
    if (g_ActivateCacheScene != scene)
    {
        g_ActivateCacheScene = scene;
        g_ActivateCacheIndex = lists->FindScene(scene->GetName().GetText());
    }
    const CHogPopupCommands::SScene* record = lists->GetScene(g_ActivateCacheIndex);
    if (!record)
        return nullptr;
    const CVector2 point(x, y);
    for (const CHogPopupCommands::SEntry& entry : record->Entries)
        if (entry.HogIndex == hogIndex)
            if (qe::CSceneObject* object = RunnerEnabledAt(scene, entry.ActivateObject, point))
                return object;
    return nullptr;
}

bool CHogPopupRunner::IsPlainZoneAt(qe::CScene* scene, float x, float y, s32 hogIndex)
{
    const CHogPopupCommands::SScene* record = RecordOf(Lists(), scene);
    return record && FindZoneEntryAt(*record, scene, hogIndex, CVector2(x, y), [hogIndex](const auto& entry) {
               return entry.HogIndex == hogIndex && entry.ActivateObject.empty();
           });
}

bool CHogPopupRunner::ZoneSpeechAt(qe::CScene* scene, s32 hogIndex, float x, float y, bool say)
{
    const CHogPopupCommands::SScene* record = RecordOf(Lists(), scene);
    const CHogPopupCommands::SEntry* entry =
        record ? FindZoneEntryAt(*record, scene, hogIndex, CVector2(x, y),
                                 [](const auto& e) { return !e.ActivateObject.empty() && e.SayId >= 0; })
               : nullptr;
    if (entry && say)
        if (CGameWindow* window = CGameWindow::GetInstance())
            window->GetHud().GetSpeechBubble().SayStringId(entry->SayId);
    return entry != nullptr;
}

qe::CSceneObject* CHogPopupRunner::HintPair(qe::CScene* scene, s32 hogIndex, qe::CSceneObject*& activateObject)
{
    activateObject = nullptr;
    const CHogPopupCommands::SScene* record = RecordOf(Lists(), scene);
    if (!record)
        return nullptr;
    for (const CHogPopupCommands::SEntry& entry : record->Entries)
    {
        if (entry.HogIndex != hogIndex || entry.Id.empty() || entry.ActivateObject.empty())
            continue;
        qe::CSceneObject* zone = scene->FindObject(entry.Id.c_str());
        qe::CSceneObject* object = scene->FindObject(entry.ActivateObject.c_str());
        if (RunnerIsEnabled(zone) && RunnerIsEnabled(object))
        {
            activateObject = object;
            return zone;
        }
    }
    return nullptr;
}

bool CHogPopupRunner::HasEnabledZone(qe::CScene* scene, s32 hogIndex)
{
    if (!scene)
        return false;
    for (const CFixedString& id : ZoneIds(scene->GetName().GetText(), hogIndex))
        if (!id.IsEmpty() && RunnerIsEnabled(scene->FindObject(id)))
            return true;
    return false;
}

bool CHogPopupRunner::StartEntry(qe::CScene* scene, float x, float y, const char* sceneName, s32 hogIndex,
                                 const char* carriedName)
{
    CHogPopupCommands* lists = Lists();
    if (!lists || !scene)
        return false;
    m_SceneIndex = lists->FindScene(sceneName);
    const CHogPopupCommands::SScene* record = lists->GetScene(m_SceneIndex);
    if (!record)
        return false;
    const CVector2 point(x, y);
    s32 entryIndex = -1;
    if (carriedName && *carriedName)
    {
        std::string zone;
        const s32 found = lists->FindEntryByObject(m_SceneIndex, hogIndex, carriedName, zone);
        if (found >= 0 && RunnerEnabledAt(scene, zone, point))
            entryIndex = found;
    }
    else
    {
        for (const CHogPopupCommands::SEntry& entry : record->Entries)
            if (entry.HogIndex == hogIndex)
                if (qe::CSceneObject* zone = RunnerEnabledAt(scene, entry.Id, point))
                {
                    entryIndex = lists->FindEntry(m_SceneIndex, hogIndex, zone->GetNameCStr(), "");
                    break;
                }
    }
    if (entryIndex < 0)
        return false;

    m_Busy = true;
    m_Queue.clear();
    m_Scene = scene;
    for (const CHogPopupCommands::SCommandRecord& record : record->Entries[static_cast<size_t>(entryIndex)].Commands)
    {
        SCommand command;
        if (record.Arg1.empty())
        {
            lv::core::ShowMessageBox("Error", "Bad arg1 for command");
            continue;
        }
        command.Target = record.Arg1;
        if (record.Id == "sleep")
        {
            command.Kind = kSleep;
            command.Blocking = true;
            command.Duration = RunnerNumber(record.Arg1);
        }
        else if (record.Id == "show" || record.Id == "hide")
        {
            command.Kind = record.Id == "show" ? kShow : kHide;
            command.Blocking = record.Arg2 == "true";
            if (!record.Arg3.empty())
                command.Duration = RunnerNumber(record.Arg3);
        }
        else if (record.Id == "remove")
            command.Kind = kRemove;
        else if (record.Id == "enable")
            command.Kind = kEnable;
        else if (record.Id == "disable")
            command.Kind = kDisable;
        else if (record.Id == "play_sound")
            command.Kind = kPlaySound;
        else if (record.Id == "play_anim")
        {
            command.Kind = kPlayAnim;
            command.Blocking = record.Arg2 != "false";
            if (qe::CSceneObject* object = scene->FindObject(record.Arg1.c_str());
                object && object->GetType() == qe::CSceneObject::kTypeClip)
            {
                auto* clip = static_cast<qe::CClipObject*>(object);
                command.Duration = clip->GetDuration();
                clip->GetClip().SetTime(0);
            }
        }
        else
        {
            lv::core::ShowMessageBox("Error", "Unknown command");
            continue;
        }
        m_Queue.push_back(std::move(command));
    }
    m_Current = 0;
    if (m_Queue.empty())
        m_Busy = false;
    return true;
}

qe::CSceneObject* CHogPopupRunner::Resolve(const std::string& name) const
{
    if (m_Scene)
        if (qe::CSceneObject* object = m_Scene->FindObject(name.c_str()))
            return object;
    CGameWindow* window = CGameWindow::GetInstance();
    qe::CSceneView* view = window ? window->GetSceneStack().GetMainView() : nullptr;
    qe::CScene* mainScene = view ? view->GetScene() : nullptr;
    if (!mainScene)
        return nullptr;
    const size_t slash = name.find('/');
    const std::string local = slash == std::string::npos ? name : name.substr(slash + 1);
    return mainScene->FindObject(local.c_str());
}

namespace {

void RunnerSetOpacity(qe::CSceneObject* object, float opacity, bool children)
{
    object->SetOpacity(opacity);
    if (children && object->GetType() == qe::CSceneObject::kTypeGroup)
        for (qe::CSceneObject* child : static_cast<qe::CGroupObject*>(object)->GetChildren())
            if (child)
                child->SetOpacity(opacity);
}

} // namespace

void CHogPopupRunner::Update()
{
    if (!m_Busy)
        return;
    const s32 dt = std::min(CGameWindow::GetClock().GetFrameDelta(), kRunnerMaxFrameDelta);
    bool done = false;
    const s32 size = static_cast<s32>(m_Queue.size());
    for (s32 i = 0; i < size && i <= m_Current; ++i)
    {
        SCommand& command = m_Queue[static_cast<size_t>(i)];
        if (i == m_Current && !command.Blocking)
            ++m_Current;
        qe::CSceneObject* target =
            command.Kind == kSleep || command.Kind == kPlaySound ? nullptr : Resolve(command.Target);
        auto* clip = target && target->GetType() == qe::CSceneObject::kTypeClip ? static_cast<qe::CClipObject*>(target)
                                                                                : nullptr;
        if (!command.Started)
        {
            command.Started = true;
            done = true;
            if (command.Kind == kPlayAnim && clip)
            {
                clip->GetClip().SetTime(0);
                clip->Play();
                clip->Update();
            }
            if (command.Kind == kShow && target)
                target->RemoveFlags(qe::CSceneObject::kHidden);
            // A blocking command ends the pass; the others go on to run in it.
            if (i == m_Current)
                break;
        }
        if (command.Finished)
            continue;
        command.Elapsed += dt;
        if (command.Duration > 0 && command.Elapsed < command.Duration)
        {
            const float t = static_cast<float>(command.Elapsed) / static_cast<float>(command.Duration);
            if (command.Kind == kShow && target)
                RunnerSetOpacity(target, t, false);
            else if (command.Kind == kHide && target)
                RunnerSetOpacity(target, 1.0f - t, true);
            else if (command.Kind == kPlayAnim && clip)
                clip->Update();
            done = true;
            continue;
        }
        command.Finished = true;
        switch (command.Kind)
        {
        case kShow:
            if (target)
                target->SetOpacity(-1.0f);
            break;
        case kHide:
            if (target)
            {
                target->AddFlags(qe::CSceneObject::kHidden);
                target->SetOpacity(1.0f);
            }
            break;
        case kRemove:
            if (target)
                target->AddFlags(qe::CSceneObject::kRemoved);
            break;
        case kEnable:
            if (target)
                target->RemoveFlags(qe::CSceneObject::kDisabled);
            break;
        case kDisable:
            if (target)
                target->AddFlags(qe::CSceneObject::kDisabled);
            break;
        case kPlayAnim:
            if (clip)
            {
                clip->Stop();
                clip->Update();
            }
            break;
        case kPlaySound:
            CGameWindow::GetAudio().Play(command.Target.c_str());
            break;
        default:
            break;
        }
        if (command.Blocking)
            ++m_Current;
        else
            done = true;
    }
    if (!done)
        m_Busy = false;
}

} // namespace game
