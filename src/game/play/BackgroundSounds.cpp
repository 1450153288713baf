#include "game/play/BackgroundSounds.h"

#include "core/Log.h"
#include "core/MessageBox.h"
#include "core/Random.h"
#include "core/Settings.h"
#include "core/TimeSystem.h"
#include "game/play/GameWindow.h"
#include "qe/BinaryReader.h"
#include "qe/BinaryWriter.h"
#include "qe/Quest.h"
#include "qe/Scene.h"
#include "sound/AudioManager.h"

#include <cstring>

namespace game {

namespace {

// A volume below this mutes a main-scene sound in a miniscene.
constexpr float kMutedVolume = 0.001f;

} // namespace

CBackgroundSounds::~CBackgroundSounds()
{
    StopAll();
}

CBackgroundSounds::CSound* CBackgroundSounds::Find(const char* name)
{
    for (CSound& sound : m_Sounds)
        if (std::strcmp(sound.Name.GetText(), name) == 0)
            return &sound;
    return nullptr;
}

const CBackgroundSounds::CSound* CBackgroundSounds::Find(const char* name) const
{
    return const_cast<CBackgroundSounds*>(this)->Find(name);
}

s32 CBackgroundSounds::NextRandom() const
{
    return m_Random ? m_Random() : RandomInt();
}

bool CBackgroundSounds::Load(const char* path, qe::CQuest* quest, qe::CScene* scene)
{
    StopAll();
    const char* level = quest ? quest->GetName().GetText() : "";
    lv::core::CSettings settings;
    const lv::core::CSettingsGroup* levelNode = nullptr;
    if (settings.LoadXml(path))
    {
        const lv::core::CSettingsGroup& root = settings.GetFirstChild();
        for (const lv::core::CSettingsGroup* child = root.FindFirstChild(); child; child = child->FindNextSibling())
            if (child->GetName() == CFixedString("level") && child->GetAttribute("id") == level)
            {
                levelNode = child;
                break;
            }
    }
    if (levelNode == nullptr)
        lv::core::ShowMessageBoxF("Error", "Can't find level '%s' in background_sounds.xml", level);
    else
    {
        s32 skipped = 0;
        for (const lv::core::CSettingsGroup* node = levelNode->FindFirstChild(); node; node = node->FindNextSibling())
        {
            // The saved game has room for kMaxSounds records only.
            if (static_cast<s32>(m_Sounds.size()) >= kMaxSounds)
            {
                ++skipped;
                continue;
            }
            CSound sound;
            sound.Name = CFixedString(node->GetAttribute("id").c_str());
            sound.StartDelay = node->GetInt("start_delay");
            sound.MinDelay = node->GetInt("min_delay");
            sound.MaxDelay = node->GetInt("max_delay");
            sound.Enabled = node->GetBool("play_from_start") ? 1 : 0;
            for (const lv::core::CSettingsGroup* entry = node->FindFirstChild(); entry; entry = entry->FindNextSibling())
                sound.Scenes.push_back({CFixedString(entry->GetAttribute("id").c_str()), entry->GetFloat("vol")});
            m_Sounds.push_back(std::move(sound));
        }
        if (skipped > 0)
            lv::core::CLog::Instance().Print("game", 3,
                                             "Level '%s' in %s has %i ambient sounds more than %i; they are left out.",
                                             level, path, skipped, kMaxSounds);
    }
    m_MainScene = scene;
    for (const CSavedState& saved : m_SavedStates)
    {
        if (saved.Enabled)
            Enable(saved.Name.GetText());
        else
            Disable(saved.Name.GetText());
    }
    Refresh();
    return levelNode != nullptr;
}

void CBackgroundSounds::PlayNow(CSound& sound, float volume)
{
    sound.Countdown = -1;
    if (volume < 0.0f)
    {
        for (const CSceneEntry& entry : sound.Scenes)
            if ((m_MainScene && entry.Scene == m_MainScene->GetName()) ||
                (m_Miniscene && entry.Scene == m_Miniscene->GetName()))
            {
                volume = entry.Volume;
                break;
            }
    }
    const s32 repeat = sound.IsLoop() ? -1 : 1;
    sound.SoundId = CGameWindow::GetAudio().Play(sound.Name.GetText(), -2.0f, volume * 100.0f, -2, repeat, -2.0f);
}

void CBackgroundSounds::Start(CSound& sound, float volume)
{
    sound.Active = 1;
    sound.SoundId = 0;
    sound.Countdown = sound.StartDelay;
    if (sound.Countdown <= 0)
        PlayNow(sound, volume);
}

void CBackgroundSounds::Stop(CSound& sound)
{
    if (sound.SoundId != 0)
        CGameWindow::GetAudio().StopSound(sound.SoundId, 0.0f);
    sound.SoundId = 0;
    sound.Active = 0;
}

bool CBackgroundSounds::ApplyScene(CSound& sound, const CFixedString& scene)
{
    for (const CSceneEntry& entry : sound.Scenes)
    {
        if (!(entry.Scene == scene))
            continue;
        if (sound.Active)
        {
            if (sound.SoundId != 0)
                CGameWindow::GetAudio().SetSoundVolume(sound.SoundId, entry.Volume * 100.0f, 0.0f, 0.0f);
        }
        else
            Start(sound, entry.Volume);
        return true;
    }
    return false;
}

void CBackgroundSounds::Refresh()
{
    for (CSound& sound : m_Sounds)
    {
        if (!sound.Enabled)
            continue;
        if (m_MainScene == nullptr)
            return;
        const bool inMain = ApplyScene(sound, m_MainScene->GetName());
        bool inMini = false;
        bool muted = false;
        if (m_Miniscene)
        {
            inMini = ApplyScene(sound, m_Miniscene->GetName());
            for (const CSceneEntry& entry : sound.Scenes)
                if (entry.Scene == m_Miniscene->GetName() && entry.Volume < kMutedVolume)
                    muted = true;
        }
        if ((!inMain && !inMini) || muted)
            Stop(sound);
    }
}

void CBackgroundSounds::Update()
{
    const s32 dt = CGameWindow::GetClock().GetFrameDelta();
    lv::sound::CAudioManager& audio = CGameWindow::GetAudio();
    for (CSound& sound : m_Sounds)
    {
        if (!sound.Active)
            continue;
        if (sound.SoundId != 0)
        {
            if (sound.IsLoop() || audio.IsPlaying(sound.SoundId))
                continue;
            sound.SoundId = 0;
            sound.Countdown = sound.MinDelay;
            if (sound.MinDelay != sound.MaxDelay)
            {
                // The remainder keeps the random value's sign, so it lies within the span's size.
                const s64 span = static_cast<s64>(sound.MaxDelay) - sound.MinDelay;
                sound.Countdown = static_cast<s32>(sound.MinDelay + NextRandom() % span);
            }
            if (sound.Countdown <= 0)
                PlayNow(sound, -1.0f);
        }
        else
        {
            sound.Countdown -= dt;
            if (sound.Countdown <= 0)
                PlayNow(sound, -1.0f);
        }
    }
}

void CBackgroundSounds::SetMainScene(qe::CScene* scene)
{
    if (scene == m_MainScene)
        return;
    m_MainScene = scene;
    m_Miniscene = nullptr;
    Refresh();
}

void CBackgroundSounds::SetMiniscene(qe::CScene* scene)
{
    m_Miniscene = scene;
    Refresh();
}

void CBackgroundSounds::ClearMiniscene(qe::CScene*)
{
    m_Miniscene = nullptr;
    Refresh();
}

bool CBackgroundSounds::Enable(const char* name)
{
    CSound* sound = Find(name);
    if (sound == nullptr)
        return false;
    sound->Enabled = 1;
    Refresh();
    return true;
}

bool CBackgroundSounds::Disable(const char* name)
{
    CSound* sound = Find(name);
    if (sound == nullptr)
        return false;
    sound->Enabled = 0;
    if (sound->Active)
        Stop(*sound);
    return true;
}

void CBackgroundSounds::SetSuspended(bool suspended)
{
    if (!suspended)
    {
        Refresh();
        return;
    }
    for (CSound& sound : m_Sounds)
    {
        if (!sound.Enabled)
            continue;
        if (m_MainScene == nullptr)
            return;
        bool listed = ApplyScene(sound, m_MainScene->GetName());
        if (m_Miniscene && ApplyScene(sound, m_Miniscene->GetName()))
            listed = true;
        if (listed)
            Stop(sound);
    }
}

void CBackgroundSounds::StopAll()
{
    for (CSound& sound : m_Sounds)
        if (sound.SoundId != 0)
            CGameWindow::GetAudio().StopSound(sound.SoundId, 0.0f);
    m_Sounds.clear();
}

void CBackgroundSounds::Save(qe::CBinaryWriter& writer)
{
    writer.WriteInt32(static_cast<s32>(m_Sounds.size()));
    for (const CSound& sound : m_Sounds)
    {
        writer.WriteNameString(sound.Name);
        writer.WriteBool(sound.Enabled != 0);
    }
}

bool CBackgroundSounds::LoadState(qe::CBinaryReader& reader)
{
    m_SavedStates.clear();
    const s32 count = reader.ReadInt32();
    if (reader.HasError() || count < 0 || count > kMaxSounds)
        return false;
    for (s32 i = 0; i < count; ++i)
    {
        CSavedState state;
        state.Name = reader.ReadNameString();
        state.Enabled = reader.ReadBool();
        m_SavedStates.push_back(state);
    }
    return !reader.HasError();
}

s32 CBackgroundSounds::GetSoundId(const char* name) const
{
    const CSound* sound = Find(name);
    return sound ? sound->SoundId : 0;
}

bool CBackgroundSounds::IsActive(const char* name) const
{
    const CSound* sound = Find(name);
    return sound && sound->Active;
}

bool CBackgroundSounds::IsEnabled(const char* name) const
{
    const CSound* sound = Find(name);
    return sound && sound->Enabled;
}

s32 CBackgroundSounds::GetCountdown(const char* name) const
{
    const CSound* sound = Find(name);
    return sound ? sound->Countdown : -1;
}

} // namespace game
