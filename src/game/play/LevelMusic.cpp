#include "game/play/LevelMusic.h"

#include "core/MessageBox.h"
#include "core/Random.h"
#include "core/Settings.h"
#include "game/play/GameWindow.h"
#include "qe/Quest.h"
#include "sound/AudioManager.h"

namespace game {

namespace {

// With more than one track a single step leaves the previous one; the bound only guards.
constexpr s32 kMaxTrackSteps = 10;

} // namespace

CLevelMusic::~CLevelMusic()
{
    Stop();
    m_Tracks.clear();
    m_Loaded = 0;
}

bool CLevelMusic::Load(const char* path, qe::CQuest* quest)
{
    Stop();
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
    {
        lv::core::ShowMessageBoxF("Error", "Can't find level '%s' in music tracks file", level);
        return false;
    }
    for (const lv::core::CSettingsGroup* node = levelNode->FindFirstChild(); node; node = node->FindNextSibling())
        m_Tracks.push_back({CFixedString(node->GetAttribute("id").c_str()), -1});
    m_Loaded = 1;
    return true;
}

void CLevelMusic::Update()
{
    if (!m_Loaded || m_Tracks.empty())
        return;
    const s32 count = static_cast<s32>(m_Tracks.size());
    if (!m_Started)
    {
        const s32 draw = m_Random ? m_Random() : RandomInt();
        // A source may give negative values; the index must lie in the list.
        m_Current = ((draw % count) + count) % count;
        m_Previous = -1;
        m_Started = 1;
    }
    lv::sound::CAudioManager& audio = CGameWindow::GetAudio();
    CTrack* current = &m_Tracks[static_cast<size_t>(m_Current)];
    if (current->SoundId != -1 && audio.IsPlaying(current->SoundId))
        return;
    m_Previous = m_Current;
    for (s32 step = 0; step < kMaxTrackSteps && m_Current == m_Previous; ++step)
        m_Current = m_Current + 1 >= count ? 0 : m_Current + 1;
    current = &m_Tracks[static_cast<size_t>(m_Current)];
    current->SoundId = audio.Play(current->Name.GetText(), -2.0f, -2.0f, -2, -2, -2.0f);
}

void CLevelMusic::Stop()
{
    lv::sound::CAudioManager& audio = CGameWindow::GetAudio();
    for (CTrack& track : m_Tracks)
    {
        if (track.SoundId == -1)
            continue;
        audio.StopSound(track.SoundId, 0.0f);
        m_Started = 0;
        m_Previous = m_Current;
        m_Current = -1;
    }
    m_Started = 0;
}

s32 CLevelMusic::GetCurrentSoundId() const
{
    if (m_Current < 0 || m_Current >= static_cast<s32>(m_Tracks.size()))
        return -1;
    return m_Tracks[static_cast<size_t>(m_Current)].SoundId;
}

} // namespace game
