#include "game/play/InventoryCommands.h"

#include "core/FixedString.h"
#include "core/MessageBox.h"
#include "game/hud/Hud.h"
#include "game/play/GameWindow.h"
#include "qe/SceneObject.h"

#include <cstring>

namespace game {

namespace {

using qe::CSceneObject;
using qe::scripts::CCommandRecord;

void ReportMissingItem(const char* path)
{
    lv::core::ShowMessageBoxF("Error", "Object not found '%s'.", path);
}

// The HUD of the command's game window; null outside a game.
CHud* InventoryHudOf(const qe::scripts::CCommandBase& command)
{
    CGameWindow* window = GetGameWindowOf(command);
    return window ? &window->GetHud() : nullptr;
}

// The commands that move a scene object into the inventory: with exactly `count` arguments, the
// object at the first one's scene path is handed to the inventory by `give`, then leaves the scene.
template <class TGive>
void MoveObjectIntoInventory(const qe::scripts::CCommandBase& command, const CGameCommandArgs& args, u32 count,
                             TGive give)
{
    CHud* hud = InventoryHudOf(command);
    if (args.GetCount() != count || !hud)
        return;
    if (CSceneObject* object = FindObjectByScenePath(command, args.GetText(0))) {
        give(hud->GetInventory(), object);
        object->AddFlags(CSceneObject::kHidden);
    } else {
        ReportMissingItem(args.GetText(0));
    }
}

} // namespace

CTakeCommand::CTakeCommand(const CCommandRecord& record, qe::CScene* scene, lv::gui::CBaseWidget* widget)
    : CInstantCommand(scene, widget)
{
    const CGameCommandArgs args(record);
    MoveObjectIntoInventory(*this, args, 1,
                            [](CHudInventory& inventory, CSceneObject* object) { inventory.AddItem(object, true); });
    Finish();
}

CTakeInteractiveCommand::CTakeInteractiveCommand(const CCommandRecord& record, qe::CScene* scene,
                                                 lv::gui::CBaseWidget* widget)
    : CInstantCommand(scene, widget)
{
    const CGameCommandArgs args(record);
    MoveObjectIntoInventory(*this, args, 2, [&args](CHudInventory& inventory, CSceneObject* object) {
        inventory.AddInteractiveItem(object, CFixedString(args.GetText(1)));
    });
    Finish();
}

CTakeToCursorCommand::CTakeToCursorCommand(const CCommandRecord& record, qe::CScene* scene,
                                           lv::gui::CBaseWidget* widget)
    : CInstantCommand(scene, widget)
{
    const CGameCommandArgs args(record);
    CHud* hud = InventoryHudOf(*this);
    if (args.GetCount() == 2 && hud) {
        CSceneObject* source = FindObjectByName(*this, args.GetText(1));
        if (!source) {
            ReportMissingItem(args.GetText(1));
        } else if (args.IsEmpty(0)) {
            hud->GetCursorItem().Take(source, source, true);
        } else if (CSceneObject* picture = FindObjectByName(*this, args.GetText(0))) {
            hud->GetCursorItem().Take(source, picture, true);
        } else {
            ReportMissingItem(args.GetText(0));
        }
    }
    Finish();
}

CClearCursorCommand::CClearCursorCommand(const CCommandRecord&, qe::CScene* scene, lv::gui::CBaseWidget* widget)
    : CInstantCommand(scene, widget)
{
    if (CHud* hud = InventoryHudOf(*this))
        hud->GetCursorItem().Release();
    Finish();
}

CRemoveCommand::CRemoveCommand(const CCommandRecord& record, qe::CScene* scene, lv::gui::CBaseWidget* widget)
    : CInstantCommand(scene, widget)
{
    const CGameCommandArgs args(record);
    CHud* hud = InventoryHudOf(*this);
    if (args.GetCount() == 1 && hud) {
        // The keys ring leaves with its panel, found or not.
        if (std::strcmp(args.GetText(0), "arch_cache/Keys") == 0)
            hud->GetInventory().CloseKeysPanel();
        if (CSceneObject* object = FindObjectByScenePath(*this, args.GetText(0)))
            if (!hud->GetInventory().RemoveItem(object) && !hud->GetCursorItem().DropIfHolding(object))
                object->AddFlags(CSceneObject::kDisabled | CSceneObject::kHidden | CSceneObject::kRemoved);
    }
    Finish();
}

CSetInventoryModeCommand::CSetInventoryModeCommand(const CCommandRecord& record, qe::CScene* scene,
                                                   lv::gui::CBaseWidget* widget)
    : CInstantCommand(scene, widget)
{
    const CGameCommandArgs args(record);
    if (CHud* hud = InventoryHudOf(*this)) {
        const char* name = args.GetText(0);
        s32 mode = CHudInventory::kModeNormal;
        if (std::strcmp(name, "hog_action") == 0)
            mode = CHudInventory::kModeActionSearch;
        else if (std::strcmp(name, "hog_text") == 0)
            mode = CHudInventory::kModeTextSearch;
        const char* text = args.GetCount() != 1 && mode != CHudInventory::kModeNormal ? args.GetText(1) : nullptr;
        hud->GetInventory().SetMode(mode, text);
    }
    Finish();
}

CEndActionHOGCommand::CEndActionHOGCommand(const CCommandRecord& record, qe::CScene* scene,
                                           lv::gui::CBaseWidget* widget)
    : CInstantCommand(scene, widget)
{
    const CGameCommandArgs args(record);
    MoveObjectIntoInventory(*this, args, 2, [&args](CHudInventory& inventory, CSceneObject* object) {
        inventory.FinishHogMode(object, args.GetText(1));
    });
    Finish();
}

CTextHOGDecrementCommand::CTextHOGDecrementCommand(const CCommandRecord&, qe::CScene* scene,
                                                   lv::gui::CBaseWidget* widget)
    : CInstantCommand(scene, widget)
{
    if (CHud* hud = InventoryHudOf(*this))
        hud->GetInventory().DecrementTextHogCount();
    Finish();
}

CKeyDelayCommand::CKeyDelayCommand(const CCommandRecord& record, qe::CScene* scene, lv::gui::CBaseWidget* widget)
    : CInstantCommand(scene, widget)
{
    const CGameCommandArgs args(record);
    CHud* hud = InventoryHudOf(*this);
    if (args.GetCount() == 1 && hud)
        hud->GetInventory().AddInputDelay(args.GetInt(0));
    Finish();
}

} // namespace game
