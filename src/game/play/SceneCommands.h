#pragma once
// The script commands that move the player between scenes and switch scene objects: opening a
// scene (with or without the fade), closing a miniscene, enabling, disabling, hiding, showing
// and restoring objects, the two-state items of action searches, and the popup clipping. Each
// does its whole work in its constructor and finishes there; a wrong argument count does
// nothing.
#include "game/play/GameCommandArgs.h"

namespace game {

// "open_scene" (scene): clipping off, the scene opened with the fade, the map's location and the
// hint reset.
class COpenSceneCommand : public CInstantCommand
{
public:
    COpenSceneCommand(const qe::scripts::CCommandRecord& record, qe::CScene* scene, lv::gui::CBaseWidget* widget);
};

// "open_scene_no_fade" (scene, stop synchronised animations): the scene opened at once.
class COpenScenefadeFreeCommand : public CInstantCommand
{
public:
    COpenScenefadeFreeCommand(const qe::scripts::CCommandRecord& record, qe::CScene* scene,
                              lv::gui::CBaseWidget* widget);
};

// "close_miniscene" (scene).
class CCloseMinisceneCommand : public CInstantCommand
{
public:
    CCloseMinisceneCommand(const qe::scripts::CCommandRecord& record, qe::CScene* scene, lv::gui::CBaseWidget* widget);
};

// "enable" (scene path): clears the disabled flag; a missing object is reported.
class CEnableCommand : public CInstantCommand
{
public:
    CEnableCommand(const qe::scripts::CCommandRecord& record, qe::CScene* scene, lv::gui::CBaseWidget* widget);
};

// "disable" (scene path): sets the disabled flag; a missing object is reported.
class CDisableCommand : public CInstantCommand
{
public:
    CDisableCommand(const qe::scripts::CCommandRecord& record, qe::CScene* scene, lv::gui::CBaseWidget* widget);
};

// "restore" (path[, unused]): clears hidden and removed together; disabled stays.
class CHogRestoreCommand : public CInstantCommand
{
public:
    CHogRestoreCommand(const qe::scripts::CCommandRecord& record, qe::CScene* scene, lv::gui::CBaseWidget* widget);
};

// "hog_toggle" (path[, unused]): enabled, then visible.
class CHogToggleCommand : public CInstantCommand
{
public:
    CHogToggleCommand(const qe::scripts::CCommandRecord& record, qe::CScene* scene, lv::gui::CBaseWidget* widget);
};

// "hog_clear_obj" (path[, unused]): disabled, then hidden.
class CHogClearCommand : public CInstantCommand
{
public:
    CHogClearCommand(const qe::scripts::CCommandRecord& record, qe::CScene* scene, lv::gui::CBaseWidget* widget);
};

// "hog_invert_obj" (path[, unused]): flips disabled, then hidden.
class CHogInvertCommand : public CInstantCommand
{
public:
    CHogInvertCommand(const qe::scripts::CCommandRecord& record, qe::CScene* scene, lv::gui::CBaseWidget* widget);
};

// "action_hog_obj_remove" (scene path of a group): hides its "__inv" and "outline" pictures.
class CActionHOGHideCommand : public CInstantCommand
{
public:
    CActionHOGHideCommand(const qe::scripts::CCommandRecord& record, qe::CScene* scene, lv::gui::CBaseWidget* widget);
};

// "action_hog_obj_state" (scene path of a group, state): true shows "__inv" and hides
// "outline", false the other way round.
class CActionHOGShowCommand : public CInstantCommand
{
public:
    CActionHOGShowCommand(const qe::scripts::CCommandRecord& record, qe::CScene* scene, lv::gui::CBaseWidget* widget);
};

// "popup_clipping" (on): the flag miniscene views read when they draw.
class CClippingCommand : public CInstantCommand
{
public:
    CClippingCommand(const qe::scripts::CCommandRecord& record, qe::CScene* scene, lv::gui::CBaseWidget* widget);
};

} // namespace game
