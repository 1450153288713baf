#pragma once
// The script commands that play the game's media: a clip or video scene object as a blocking
// animation that may be skipped ("play_anim_ex"), a video started with its sound ("sync_start"),
// sounds ("play_sound_ex", "stop_sound"), the level music ("stop_music"), the sounds inside a clip
// ("clip_sound"), the ambient sounds ("back_sound_enable") and cutscenes ("cut_scene"). Only
// "play_anim_ex" and "cut_scene" keep the script waiting; the others finish when made.
#include "core/Types.h"
#include "game/play/GameCommandArgs.h"
#include "qe/CommandBase.h"
#include "qe/CommandRecord.h"

namespace qe {
class CClipObject;
class CVideoObject;
} // namespace qe

namespace game {

// The program-wide flag of a running skippable "play_anim_ex": while it is set the game window
// shows its skip button.
bool IsAnimationSkipAllowed();
void SetAnimationSkipAllowed(bool allowed);

class CPlayAnimationCommandEx : public qe::scripts::CCommandBase
{
public:
    // Below this position (ms) a video has not really started, and the countdown waits.
    static constexpr u32 kVideoStartPosition = 10;

    CPlayAnimationCommandEx(const qe::scripts::CCommandRecord& record, qe::CScene* scene, lv::gui::CBaseWidget* widget);
    void Update() override;

    s32 GetTimeLeft() const { return m_TimeLeft; }
    s32 GetSecondElapsed() const { return m_SecondElapsed; }
    qe::CClipObject* GetSecondClip() const { return m_SecondClip; }

private:
    // The common end of a skipped and a finished animation.
    void End(bool skipped);

    qe::CClipObject* m_SecondClip = nullptr;
    u8 m_AmbientSuspended = 0;
    qe::CVideoObject* m_Video = nullptr;
    qe::CClipObject* m_Clip = nullptr;
    s32 m_TimeLeft = 0;
    s32 m_SecondElapsed = 0;
};

class CSyncAnimationCommand : public CInstantCommand
{
public:
    CSyncAnimationCommand(const qe::scripts::CCommandRecord& record, qe::CScene* scene, lv::gui::CBaseWidget* widget);
};

class CPlaySoundExCommand : public CInstantCommand
{
public:
    CPlaySoundExCommand(const qe::scripts::CCommandRecord& record, qe::CScene* scene, lv::gui::CBaseWidget* widget);
};

class CStopSoundCommand : public CInstantCommand
{
public:
    CStopSoundCommand(const qe::scripts::CCommandRecord& record, qe::CScene* scene, lv::gui::CBaseWidget* widget);
};

class CStopMusicCommand : public CInstantCommand
{
public:
    CStopMusicCommand(const qe::scripts::CCommandRecord& record, qe::CScene* scene, lv::gui::CBaseWidget* widget);
};

class CClipSoundCommand : public CInstantCommand
{
public:
    CClipSoundCommand(const qe::scripts::CCommandRecord& record, qe::CScene* scene, lv::gui::CBaseWidget* widget);
};

class CEnableBackgroundSoundCommand : public CInstantCommand
{
public:
    CEnableBackgroundSoundCommand(const qe::scripts::CCommandRecord& record, qe::CScene* scene,
                                  lv::gui::CBaseWidget* widget);
};

class CCutSceneCommand : public qe::scripts::CCommandBase
{
public:
    CCutSceneCommand(const qe::scripts::CCommandRecord& record, qe::CScene* scene, lv::gui::CBaseWidget* widget);
    void Update() override;
};

} // namespace game
