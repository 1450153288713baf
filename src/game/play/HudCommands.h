#pragma once
// The script commands that talk through the HUD: the speech bubble, notes, tasks, map locks,
// the symbol counter's collectibles and hiding the HUD for good. All but the two collectible
// commands finish in their constructor; a wrong argument count does nothing.
#include "game/play/GameCommandArgs.h"

namespace game {

// "say" (string id).
class CSayCommand : public CInstantCommand
{
public:
    CSayCommand(const qe::scripts::CCommandRecord& record, qe::CScene* scene, lv::gui::CBaseWidget* widget);
};

// "say_bubble" (string id, x, y).
class CSayBubbleCommand : public CInstantCommand
{
public:
    CSayBubbleCommand(const qe::scripts::CCommandRecord& record, qe::CScene* scene, lv::gui::CBaseWidget* widget);
};

// "add_note" (note id).
class CAddNoteCommand : public CInstantCommand
{
public:
    CAddNoteCommand(const qe::scripts::CCommandRecord& record, qe::CScene* scene, lv::gui::CBaseWidget* widget);
};

// "add_task" (add?, task id): adds the task, or removes it.
class CTaskCommand : public CInstantCommand
{
public:
    CTaskCommand(const qe::scripts::CCommandRecord& record, qe::CScene* scene, lv::gui::CBaseWidget* widget);
};

// "lock_map_scene" (scene, locked?).
class CMapSceneLockCommand : public CInstantCommand
{
public:
    CMapSceneLockCommand(const qe::scripts::CCommandRecord& record, qe::CScene* scene, lv::gui::CBaseWidget* widget);
};

// The collectibles: the object (a plain name in the command's scene) is counted by the symbol
// counter, which flies it from where it lay, and is removed from its scene. The command waits
// while the count started the counter's completion display.
class CCollectibleCommand : public qe::scripts::CCommandBase
{
public:
    void Update() override;
    bool IsWaiting() const { return m_Waiting; }

protected:
    CCollectibleCommand(qe::CScene* scene, lv::gui::CBaseWidget* widget) : CCommandBase(scene, widget) {}
    // special: a special object (also lowers the map's count for the command's scene), else a
    // candy.
    void Collect(const char* name, bool special);

private:
    bool m_Waiting = false;
};

// "take_candy" (object): never waits.
class CTakeLilypopCommand : public CCollectibleCommand
{
public:
    CTakeLilypopCommand(const qe::scripts::CCommandRecord& record, qe::CScene* scene, lv::gui::CBaseWidget* widget);
};

// "take_special" (object).
class CSecialObjectCommand : public CCollectibleCommand
{
public:
    CSecialObjectCommand(const qe::scripts::CCommandRecord& record, qe::CScene* scene, lv::gui::CBaseWidget* widget);
};

// "disable_hide_hud": the HUD hidden for good (mode 9, transparent) and the game saved.
class CDisableHideHUD : public CInstantCommand
{
public:
    CDisableHideHUD(const qe::scripts::CCommandRecord& record, qe::CScene* scene, lv::gui::CBaseWidget* widget);
};

} // namespace game
