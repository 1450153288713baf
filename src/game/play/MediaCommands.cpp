#include "game/play/MediaCommands.h"

#include "anim/Clip.h"
#include "core/TimeSystem.h"
#include "game/hud/Hud.h"
#include "game/play/BackgroundSounds.h"
#include "game/play/GameCommandArgs.h"
#include "game/play/GameWindow.h"
#include "qe/ClipObject.h"
#include "qe/SceneObject.h"
#include "qe/VideoObject.h"
#include "sound/AudioManager.h"

#include <algorithm>
#include <cstring>

namespace game {

namespace {

bool g_AnimationSkipAllowed = false;

constexpr u32 kMediaObjectDisabled = 1;
constexpr u32 kMediaObjectHidden = 2;
constexpr u32 kMediaObjectRemoved = 4;

// A length in ms held to 0 .. the largest 32-bit value (-1 means none known).
s32 MediaLength(s64 length)
{
    return static_cast<s32>(std::clamp<s64>(length, 0, 0x7FFFFFFF));
}

} // namespace

bool IsAnimationSkipAllowed()
{
    return g_AnimationSkipAllowed;
}

void SetAnimationSkipAllowed(bool allowed)
{
    g_AnimationSkipAllowed = allowed;
}

// ---- play_anim_ex ----

CPlayAnimationCommandEx::CPlayAnimationCommandEx(const qe::scripts::CCommandRecord& record, qe::CScene* scene,
                                                 lv::gui::CBaseWidget* widget)
    : CCommandBase(scene, widget)
{
    SetAnimationSkipAllowed(false);
    const CGameCommandArgs args(record);
    qe::CSceneObject* object = FindObjectByPath(*this, args.GetText(0));
    if (object == nullptr)
    {
        CCommandBase::Finish();
        return;
    }
    CGameWindow* window = GetGameWindowOf(*this);

    const char* mode = args.GetText(3);
    if (window && mode[0])
    {
        const bool all = std::strcmp(mode, "all") == 0;
        if (all || std::strcmp(mode, "sound") == 0)
        {
            window->GetBackgroundSounds().SetSuspended(true);
            m_AmbientSuspended = 1;
        }
        if (all || std::strcmp(mode, "music") == 0)
            window->StopMusic();
    }

    // Only a named third argument counts.
    if (args.GetName(2)[0] && !args.IsEmpty(2) && args.GetBool(2))
        SetAnimationSkipAllowed(true);

    lv::core::CTimeSystem& clock = CGameWindow::GetClock();
    const s32 type = object->GetType();
    if (type == qe::CSceneObject::kTypeVideo || type == qe::CSceneObject::kTypeClip)
    {
        // Opening a video or preparing a clip must not count as frame time.
        clock.PauseAll(true);
        object->RemoveFlags(kMediaObjectHidden);
        if (type == qe::CSceneObject::kTypeVideo)
        {
            m_Video = static_cast<qe::CVideoObject*>(object);
            m_Video->Play();
            m_TimeLeft = MediaLength(m_Video->GetLength());
        }
        else
        {
            m_Clip = static_cast<qe::CClipObject*>(object);
            m_TimeLeft = MediaLength(m_Clip->GetDuration());
            m_Clip->Play();
        }
        clock.PauseAll(false);
        if (window)
        {
            CHud& hud = window->GetHud();
            hud.GetInventory().Close();
            hud.GetInventory().SetEnabled(false);
            hud.GetSpeechBubble().Hide();
            window->SetCursorChoiceBusy(true);
        }
        m_SecondElapsed = 0;
    }

    if (args.GetCount() >= 3 && args.GetName(1)[0])
    {
        qe::CSceneObject* second = FindObjectByPath(*this, args.GetText(1));
        if (second && second->GetType() == qe::CSceneObject::kTypeClip)
        {
            m_SecondClip = static_cast<qe::CClipObject*>(second);
            m_SecondClip->RemoveFlags(kMediaObjectDisabled | kMediaObjectHidden | kMediaObjectRemoved);
            m_SecondClip->GetClip().Stop();
            m_SecondClip->GetClip().SetTime(0);
            if (window)
                window->GetHud().GetInventory().SetAvailable(false);
        }
    }
}

void CPlayAnimationCommandEx::Update()
{
    if (IsFinished())
        return;
    // The countdown starts only when the video really plays.
    if (m_Video && m_Video->IsOpen() && m_Video->GetPlayPosition() < kVideoStartPosition)
        return;
    const s32 delta = std::max(GetFrameDelta(), 0);
    m_TimeLeft = CountDown(m_TimeLeft);
    CGameWindow* window = GetGameWindowOf(*this);

    if (m_SecondClip)
    {
        if (window)
            window->GetHud().GetInventory().SetAvailable(false);
        m_SecondElapsed += delta;
        m_SecondClip->GetClip().SetTime(m_SecondElapsed);
        m_SecondClip->Update();
    }

    if (window && window->IsSkipRequested())
    {
        End(true);
        return;
    }
    if (m_TimeLeft == 0)
        End(false);
}

void CPlayAnimationCommandEx::End(bool skipped)
{
    CGameWindow* window = GetGameWindowOf(*this);
    if (window)
        window->ClearSkipRequest();
    if (m_SecondClip)
    {
        if (skipped)
        {
            m_SecondClip->GetClip().StopSounds();
            m_SecondClip->Stop();
            m_SecondClip->Update();
        }
        m_SecondClip->AddFlags(kMediaObjectDisabled | kMediaObjectHidden);
    }
    if (m_Clip)
    {
        // The clip shows its last frame.
        CClip& clip = m_Clip->GetClip();
        clip.Stop();
        if (skipped)
            clip.StopSounds();
        clip.SetTime(std::max(m_Clip->GetDuration(), 0));
        clip.Update();
    }
    SetAnimationSkipAllowed(false);
    if (window)
    {
        CHudInventory& inventory = window->GetHud().GetInventory();
        inventory.SetAvailable(true);
        inventory.SetEnabled(true);
        window->SetCursorChoiceBusy(false);
        if (m_AmbientSuspended)
            window->GetBackgroundSounds().SetSuspended(false);
    }
    m_AmbientSuspended = 0;
    Finish();
}

// ---- sync_start ----

CSyncAnimationCommand::CSyncAnimationCommand(const qe::scripts::CCommandRecord& record, qe::CScene* scene,
                                             lv::gui::CBaseWidget* widget)
    : CInstantCommand(scene, widget)
{
    Finish();
    const CGameCommandArgs args(record);
    if (args.GetCount() != 2)
        return;
    qe::CSceneObject* object = FindObjectByPath(*this, args.GetText(1));
    if (object == nullptr || object->GetType() != qe::CSceneObject::kTypeVideo)
        return;
    auto* video = static_cast<qe::CVideoObject*>(object);
    video->Play();
    const s32 length = MediaLength(video->GetLength());
    const char* sound = args.GetText(0);
    lv::sound::CAudioManager& audio = CGameWindow::GetAudio();
    audio.StopSoundsByName(sound, 0.0f);
    audio.Play(sound, -2.0f, -2.0f, -2, -2, -2.0f);
    if (CGameWindow* window = GetGameWindowOf(*this))
        window->AddSyncedAnimation(sound, video, length);
}

// ---- play_sound_ex ----

CPlaySoundExCommand::CPlaySoundExCommand(const qe::scripts::CCommandRecord& record, qe::CScene* scene,
                                         lv::gui::CBaseWidget* widget)
    : CInstantCommand(scene, widget)
{
    Finish();
    const CGameCommandArgs args(record);
    if (args.GetCount() < 1 || args.GetCount() > 3)
        return;
    const char* name = args.GetText(1);
    if (name[0] == 0)
        return;
    float interval = args.IsEmpty(0) ? 0.0f : args.GetFloat(0);
    if (interval < 0.0f)
        interval = 0.0f;
    float volume = args.IsEmpty(2) ? 100.0f : args.GetFloat(2);
    if (!(volume >= 0.0f && volume < 100.0f))
        volume = 100.0f;

    lv::sound::CAudioManager& audio = CGameWindow::GetAudio();
    if (interval > 0.0f)
        audio.SetConcurrentPlayDelay(name, interval);
    if (audio.HasSound(name))
        audio.StopSoundsByName(name, 0.0f);
    audio.Play(name, -2.0f, volume, -2, -2, -2.0f);
}

// ---- stop_sound ----

CStopSoundCommand::CStopSoundCommand(const qe::scripts::CCommandRecord& record, qe::CScene* scene,
                                     lv::gui::CBaseWidget* widget)
    : CInstantCommand(scene, widget)
{
    Finish();
    const CGameCommandArgs args(record);
    if (args.GetCount() != 1 && args.GetCount() != 2)
        return;
    const char* name = args.GetText(1);
    if (name[0] == 0)
        return;
    CGameWindow::GetAudio().StopSoundsByName(name, args.GetFloat(0));
}

// ---- stop_music ----

CStopMusicCommand::CStopMusicCommand(const qe::scripts::CCommandRecord&, qe::CScene* scene,
                                     lv::gui::CBaseWidget* widget)
    : CInstantCommand(scene, widget)
{
    Finish();
    if (CGameWindow* window = GetGameWindowOf(*this))
        window->StopMusic();
}

// ---- clip_sound ----

CClipSoundCommand::CClipSoundCommand(const qe::scripts::CCommandRecord& record, qe::CScene* scene,
                                     lv::gui::CBaseWidget* widget)
    : CInstantCommand(scene, widget)
{
    Finish();
    const CGameCommandArgs args(record);
    if (args.GetCount() != 2)
        return;
    qe::CSceneObject* object = FindObjectByPath(*this, args.GetText(1));
    if (object && object->GetType() == qe::CSceneObject::kTypeClip)
        static_cast<qe::CClipObject*>(object)->SetSoundEnabled(args.GetBool(0));
}

// ---- back_sound_enable ----

CEnableBackgroundSoundCommand::CEnableBackgroundSoundCommand(const qe::scripts::CCommandRecord& record,
                                                             qe::CScene* scene, lv::gui::CBaseWidget* widget)
    : CInstantCommand(scene, widget)
{
    Finish();
    const CGameCommandArgs args(record);
    CGameWindow* window = GetGameWindowOf(*this);
    if (args.GetCount() != 2 || window == nullptr)
        return;
    CBackgroundSounds& sounds = window->GetBackgroundSounds();
    const char* name = args.GetText(1);
    if (args.GetBool(0))
        sounds.Enable(name);
    else
        sounds.Disable(name);
}

// ---- cut_scene ----

CCutSceneCommand::CCutSceneCommand(const qe::scripts::CCommandRecord& record, qe::CScene* scene,
                                   lv::gui::CBaseWidget* widget)
    : CCommandBase(scene, widget)
{
    CGameWindow* window = GetGameWindowOf(*this);
    if (window == nullptr)
    {
        CCommandBase::Finish();
        return;
    }
    window->GetBackgroundSounds().SetSuspended(true);
    window->PlayCutscene(CGameCommandArgs(record).GetText(0));
    window->SetMenuButtonsHidden(true);
}

void CCutSceneCommand::Update()
{
    if (IsFinished())
        return;
    CGameWindow* window = GetGameWindowOf(*this);
    if (window && window->IsCutscenePlaying())
        return;
    if (window)
    {
        window->GetBackgroundSounds().SetSuspended(false);
        window->SetMenuButtonsHidden(false);
    }
    Finish();
}

} // namespace game
