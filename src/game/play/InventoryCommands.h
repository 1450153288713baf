#pragma once
// The script commands that move scene objects into the inventory and onto the cursor and back,
// and that drive the inventory's hidden-object searches. Each does its whole work in its
// constructor and finishes there; a wrong argument count does nothing.
#include "game/play/GameCommandArgs.h"

namespace game {

// "take" (scene path): into the inventory with its flight, then hidden in its scene.
class CTakeCommand : public CInstantCommand
{
public:
    CTakeCommand(const qe::scripts::CCommandRecord& record, qe::CScene* scene, lv::gui::CBaseWidget* widget);
};

// "take_interactive" (scene path, scene it opens): an item that opens its own scene.
class CTakeInteractiveCommand : public CInstantCommand
{
public:
    CTakeInteractiveCommand(const qe::scripts::CCommandRecord& record, qe::CScene* scene,
                            lv::gui::CBaseWidget* widget);
};

// "take_to_cursor" (picture or "", source), plain names in the command's scene: the source goes
// onto the cursor, shown by the picture (its own when empty), and is hidden meanwhile.
class CTakeToCursorCommand : public CInstantCommand
{
public:
    CTakeToCursorCommand(const qe::scripts::CCommandRecord& record, qe::CScene* scene, lv::gui::CBaseWidget* widget);
};

// "clear_cursor": drops what the cursor carries; its source shows again.
class CClearCursorCommand : public CInstantCommand
{
public:
    CClearCursorCommand(const qe::scripts::CCommandRecord& record, qe::CScene* scene, lv::gui::CBaseWidget* widget);
};

// "remove" (scene path): out of the inventory, else off the cursor, else removed from its scene.
class CRemoveCommand : public CInstantCommand
{
public:
    CRemoveCommand(const qe::scripts::CCommandRecord& record, qe::CScene* scene, lv::gui::CBaseWidget* widget);
};

// "set_inventory_mode" ("normal" | "hog_action" | "hog_text"[, search scene]).
class CSetInventoryModeCommand : public CInstantCommand
{
public:
    CSetInventoryModeCommand(const qe::scripts::CCommandRecord& record, qe::CScene* scene,
                             lv::gui::CBaseWidget* widget);
};

// "finish_action_hog" and "finish_text_hog" (reward's scene path, scene to open next).
class CEndActionHOGCommand : public CInstantCommand
{
public:
    CEndActionHOGCommand(const qe::scripts::CCommandRecord& record, qe::CScene* scene, lv::gui::CBaseWidget* widget);
};

// "text_hog_decrement": one object fewer to find in the running text search.
class CTextHOGDecrementCommand : public CInstantCommand
{
public:
    CTextHOGDecrementCommand(const qe::scripts::CCommandRecord& record, qe::CScene* scene,
                             lv::gui::CBaseWidget* widget);
};

// "key_view_delay" (ms): the inventory ignores input that much longer.
class CKeyDelayCommand : public CInstantCommand
{
public:
    CKeyDelayCommand(const qe::scripts::CCommandRecord& record, qe::CScene* scene, lv::gui::CBaseWidget* widget);
};

} // namespace game
