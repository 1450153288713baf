#include "game/play/MediaCommands.h"

#include "anim/Clip.h"
#include "core/TimeSystem.h"
#include "game/hud/Hud.h"
#include "game/play/BackgroundSounds.h"
#include "game/play/GameWindow.h"
#include "qe/ClipObject.h"
#include "qe/SceneObject.h"
#include "qe/VideoObject.h"
#include "sound/AudioManager.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>

namespace game {

namespace {

bool g_AnimationSkipAllowed = false;

constexpr u32 kMediaObjectDisabled = 1;
constexpr u32 kMediaObjectHidden = 2;
constexpr u32 kMediaObjectRemoved = 4;

// A command argument by position; empty past the record's count.
const char* MediaArgument(const qe::scripts::CCommandRecord& record, u32 index)
{
    return record.GetArgument(index);
}

bool MediaArgumentNamed(const qe::scripts::CCommandRecord& record, u32 index)
{
    return index < record.GetArgumentCount() && record.GetArgumentName(index).GetText()[0] != 0;
}

bool MediaTruth(const char* text)
{
    return std::strcmp(text, "true") == 0;
}

float MediaFloat(const char* text)
{
    return static_cast<float>(std::strtod(text, nullptr));
}

CGameWindow* MediaWindow(lv::gui::CBaseWidget* widget)
{
    if (CGameWindow* window = dynamic_cast<CGameWindow*>(widget))
        return window;
    return CGameWindow::GetInstance();
}

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
    qe::CSceneObject* object = FindObject(MediaArgument(record, 0));
    if (object == nullptr)
    {
        CCommandBase::Finish();
        return;
    }
    CGameWindow* window = MediaWindow(widget);

    const char* mode = MediaArgument(record, 3);
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

    const char* skip = MediaArgument(record, 2);
    if (MediaArgumentNamed(record, 2) && skip[0] && MediaTruth(skip))
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

    if (record.GetArgumentCount() >= 3 && MediaArgumentNamed(record, 1))
    {
        qe::CSceneObject* second = FindObject(MediaArgument(record, 1));
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
    CGameWindow* window = MediaWindow(GetWidget());

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
    CGameWindow* window = MediaWindow(GetWidget());
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
    CCommandBase::Finish();
}

// ---- sync_start ----

CSyncAnimationCommand::CSyncAnimationCommand(const qe::scripts::CCommandRecord& record, qe::CScene* scene,
                                             lv::gui::CBaseWidget* widget)
    : CCommandBase(scene, widget)
{
    CCommandBase::Finish();
    if (record.GetArgumentCount() != 2)
        return;
    qe::CSceneObject* object = FindObject(MediaArgument(record, 1));
    if (object == nullptr || object->GetType() != qe::CSceneObject::kTypeVideo)
        return;
    auto* video = static_cast<qe::CVideoObject*>(object);
    video->Play();
    const s32 length = MediaLength(video->GetLength());
    const char* sound = MediaArgument(record, 0);
    lv::sound::CAudioManager& audio = CGameWindow::GetAudio();
    audio.StopSoundsByName(sound, 0.0f);
    audio.Play(sound, -2.0f, -2.0f, -2, -2, -2.0f);
    if (CGameWindow* window = MediaWindow(widget))
        window->AddSyncedAnimation(sound, video, length);
}

// ---- play_sound_ex ----

CPlaySoundExCommand::CPlaySoundExCommand(const qe::scripts::CCommandRecord& record, qe::CScene* scene,
                                         lv::gui::CBaseWidget* widget)
    : CCommandBase(scene, widget)
{
    CCommandBase::Finish();
    const u32 count = record.GetArgumentCount();
    if (count < 1 || count > 3)
        return;
    const char* name = MediaArgument(record, 1);
    if (name[0] == 0)
        return;
    const char* intervalText = MediaArgument(record, 0);
    float interval = intervalText[0] ? MediaFloat(intervalText) : 0.0f;
    if (interval < 0.0f)
        interval = 0.0f;
    const char* volumeText = MediaArgument(record, 2);
    float volume = volumeText[0] ? MediaFloat(volumeText) : 100.0f;
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
    : CCommandBase(scene, widget)
{
    CCommandBase::Finish();
    const u32 count = record.GetArgumentCount();
    if (count != 1 && count != 2)
        return;
    const char* name = MediaArgument(record, 1);
    if (name[0] == 0)
        return;
    CGameWindow::GetAudio().StopSoundsByName(name, MediaFloat(MediaArgument(record, 0)));
}

// ---- stop_music ----

CStopMusicCommand::CStopMusicCommand(const qe::scripts::CCommandRecord&, qe::CScene* scene,
                                     lv::gui::CBaseWidget* widget)
    : CCommandBase(scene, widget)
{
    CCommandBase::Finish();
    if (CGameWindow* window = MediaWindow(widget))
        window->StopMusic();
}

// ---- clip_sound ----

CClipSoundCommand::CClipSoundCommand(const qe::scripts::CCommandRecord& record, qe::CScene* scene,
                                     lv::gui::CBaseWidget* widget)
    : CCommandBase(scene, widget)
{
    CCommandBase::Finish();
    if (record.GetArgumentCount() != 2)
        return;
    qe::CSceneObject* object = FindObject(MediaArgument(record, 1));
    if (object && object->GetType() == qe::CSceneObject::kTypeClip)
        static_cast<qe::CClipObject*>(object)->SetSoundEnabled(MediaTruth(MediaArgument(record, 0)));
}

// ---- back_sound_enable ----

CEnableBackgroundSoundCommand::CEnableBackgroundSoundCommand(const qe::scripts::CCommandRecord& record,
                                                             qe::CScene* scene, lv::gui::CBaseWidget* widget)
    : CCommandBase(scene, widget)
{
    CCommandBase::Finish();
    CGameWindow* window = MediaWindow(widget);
    if (record.GetArgumentCount() != 2 || window == nullptr)
        return;
    CBackgroundSounds& sounds = window->GetBackgroundSounds();
    const char* name = MediaArgument(record, 1);
    if (MediaTruth(MediaArgument(record, 0)))
        sounds.Enable(name);
    else
        sounds.Disable(name);
}

// ---- cut_scene ----

CCutSceneCommand::CCutSceneCommand(const qe::scripts::CCommandRecord& record, qe::CScene* scene,
                                   lv::gui::CBaseWidget* widget)
    : CCommandBase(scene, widget)
{
    CGameWindow* window = MediaWindow(widget);
    if (window == nullptr)
    {
        CCommandBase::Finish();
        return;
    }
    window->GetBackgroundSounds().SetSuspended(true);
    window->PlayCutscene(MediaArgument(record, 0));
    window->SetMenuButtonsHidden(true);
}

void CCutSceneCommand::Update()
{
    if (IsFinished())
        return;
    CGameWindow* window = MediaWindow(GetWidget());
    if (window && window->IsCutscenePlaying())
        return;
    if (window)
    {
        window->GetBackgroundSounds().SetSuspended(false);
        window->SetMenuButtonsHidden(false);
    }
    CCommandBase::Finish();
}

} // namespace game
