#pragma once
// The script commands that move the story on outside one scene: completing a level, starting
// another quest record, ending the main and bonus parts, returning to the main menu, switching
// the story stream's resource packs, driving the tutorial and granting achievements. All finish
// in their constructor.
#include "game/play/GameCommandArgs.h"

namespace game {

// "complete_level" (any arguments): the game window moves on from the level at its next update.
class CCompleteLevelCommand : public CInstantCommand
{
public:
    CCompleteLevelCommand(const qe::scripts::CCommandRecord& record, qe::CScene* scene, lv::gui::CBaseWidget* widget);
};

// "next_level" ([index]): the quest record of that index (1 without one, or for 0 and below)
// becomes the running level.
class CNextLevelCommand : public CInstantCommand
{
public:
    CNextLevelCommand(const qe::scripts::CCommandRecord& record, qe::CScene* scene, lv::gui::CBaseWidget* widget);
};

// "end_main_part" (any): the profile's "standart" mark, in memory only.
class CEndMainPartCommand : public CInstantCommand
{
public:
    CEndMainPartCommand(const qe::scripts::CCommandRecord& record, qe::CScene* scene, lv::gui::CBaseWidget* widget);
};

// "end_bonus_part" (any): the HUD hidden and transparent, the menu buttons hidden.
class CEndBonusPartCommand : public CInstantCommand
{
public:
    CEndBonusPartCommand(const qe::scripts::CCommandRecord& record, qe::CScene* scene, lv::gui::CBaseWidget* widget);
};

// "end_extras_minigame" (any): only finishes.
class EndExtrasMinigameCommand : public CInstantCommand
{
public:
    EndExtrasMinigameCommand(const qe::scripts::CCommandRecord& record, qe::CScene* scene,
                             lv::gui::CBaseWidget* widget);
};

// "go_to_main_menu" (any): the quest saves, then the window returns to the main menu.
class CMainMenuReturnCommand : public CInstantCommand
{
public:
    CMainMenuReturnCommand(const qe::scripts::CCommandRecord& record, qe::CScene* scene, lv::gui::CBaseWidget* widget);
};

// "set_stream" (value): stores the profile's stream word at once and switches the packs.
class SetStreamCommand : public CInstantCommand
{
public:
    SetStreamCommand(const qe::scripts::CCommandRecord& record, qe::CScene* scene, lv::gui::CBaseWidget* widget);
};

// "tutorial_inc" (step): a step of 0 or more is set; a negative one moves on from the current.
class CTutorialIncCommand : public CInstantCommand
{
public:
    CTutorialIncCommand(const qe::scripts::CCommandRecord& record, qe::CScene* scene, lv::gui::CBaseWidget* widget);
};

// "recieve_achive" (id).
class CRecieveAchiveCommand : public CInstantCommand
{
public:
    CRecieveAchiveCommand(const qe::scripts::CCommandRecord& record, qe::CScene* scene, lv::gui::CBaseWidget* widget);
};

} // namespace game
