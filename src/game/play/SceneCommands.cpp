#include "game/play/SceneCommands.h"

#include "core/FixedString.h"
#include "core/MessageBox.h"
#include "game/hud/Hud.h"
#include "game/play/GameWindow.h"
#include "game/play/SceneStack.h"
#include "qe/ImageObject.h"
#include "qe/SceneObject.h"

namespace game {

namespace {

using qe::CSceneObject;
using qe::scripts::CCommandRecord;

// The map marks the scene's location before the running hint is cancelled.
void AfterSceneOpened(CGameWindow& window, const char* sceneName)
{
    CHud& hud = window.GetHud();
    hud.GetMap().SetCurrentLocation(sceneName);
    hud.GetHint().Reset();
}

// The object of a flag command that takes one path (rule F) and an unread second argument.
CSceneObject* FlagCommandObject(const qe::scripts::CCommandBase& command, const CCommandRecord& record)
{
    const CGameCommandArgs args(record);
    if (args.GetCount() != 1 && args.GetCount() != 2)
        return nullptr;
    return FindObjectByPath(command, args.GetText(0));
}

// The group an action-search command names; only groups carry the two pictures.
CSceneObject* ActionHogGroup(const qe::scripts::CCommandBase& command, const char* path)
{
    CSceneObject* object = FindObjectByScenePath(command, path);
    return object && object->GetType() == CSceneObject::kTypeGroup ? object : nullptr;
}

void SetPictureHidden(const CSceneObject& group, const char* name, bool hidden)
{
    CSceneObject* picture = group.FindChildImage(CFixedString(name));
    if (hidden)
        picture->AddFlags(CSceneObject::kHidden);
    else
        picture->RemoveFlags(CSceneObject::kHidden);
}

} // namespace

COpenSceneCommand::COpenSceneCommand(const CCommandRecord& record, qe::CScene* scene, lv::gui::CBaseWidget* widget)
    : CInstantCommand(scene, widget)
{
    const CGameCommandArgs args(record);
    CGameWindow* window = GetGameWindowOf(*this);
    if (args.GetCount() == 1 && window) {
        window->SetPopupClipping(false);
        window->OpenScene(args.GetText(0), false, true);
        AfterSceneOpened(*window, args.GetText(0));
    }
    Finish();
}

COpenScenefadeFreeCommand::COpenScenefadeFreeCommand(const CCommandRecord& record, qe::CScene* scene,
                                                     lv::gui::CBaseWidget* widget)
    : CInstantCommand(scene, widget)
{
    const CGameCommandArgs args(record);
    CGameWindow* window = GetGameWindowOf(*this);
    if (args.GetCount() == 2 && window) {
        window->OpenScene(args.GetText(0), false, false);
        AfterSceneOpened(*window, args.GetText(0));
        if (args.GetBool(1))
            window->StopSyncedAnimations();
    }
    Finish();
}

CCloseMinisceneCommand::CCloseMinisceneCommand(const CCommandRecord& record, qe::CScene* scene,
                                               lv::gui::CBaseWidget* widget)
    : CInstantCommand(scene, widget)
{
    const CGameCommandArgs args(record);
    CGameWindow* window = GetGameWindowOf(*this);
    if (args.GetCount() == 1 && window) {
        window->GetSceneStack().CloseScene(args.GetText(0));
        window->SetPopupClipping(false);
    }
    Finish();
}

CEnableCommand::CEnableCommand(const CCommandRecord& record, qe::CScene* scene, lv::gui::CBaseWidget* widget)
    : CInstantCommand(scene, widget)
{
    const CGameCommandArgs args(record);
    if (args.GetCount() == 1) {
        if (CSceneObject* object = FindObjectByScenePath(*this, args.GetText(0)))
            object->RemoveFlags(CSceneObject::kDisabled);
        else
            lv::core::ShowMessageBoxF("Warning", "Enable command failed. Can't find '%s' object", args.GetText(0));
    }
    Finish();
}

CDisableCommand::CDisableCommand(const CCommandRecord& record, qe::CScene* scene, lv::gui::CBaseWidget* widget)
    : CInstantCommand(scene, widget)
{
    const CGameCommandArgs args(record);
    if (args.GetCount() == 1) {
        if (CSceneObject* object = FindObjectByScenePath(*this, args.GetText(0)))
            object->AddFlags(CSceneObject::kDisabled);
        else
            lv::core::ShowMessageBoxF("Warning", "Disable command failed. Can't find '%s' object", args.GetText(0));
    }
    Finish();
}

CHogRestoreCommand::CHogRestoreCommand(const CCommandRecord& record, qe::CScene* scene, lv::gui::CBaseWidget* widget)
    : CInstantCommand(scene, widget)
{
    if (CSceneObject* object = FlagCommandObject(*this, record))
        object->RemoveFlags(CSceneObject::kHidden | CSceneObject::kRemoved);
    Finish();
}

CHogToggleCommand::CHogToggleCommand(const CCommandRecord& record, qe::CScene* scene, lv::gui::CBaseWidget* widget)
    : CInstantCommand(scene, widget)
{
    if (CSceneObject* object = FlagCommandObject(*this, record)) {
        object->RemoveFlags(CSceneObject::kDisabled);
        object->RemoveFlags(CSceneObject::kHidden);
    }
    Finish();
}

CHogClearCommand::CHogClearCommand(const CCommandRecord& record, qe::CScene* scene, lv::gui::CBaseWidget* widget)
    : CInstantCommand(scene, widget)
{
    if (CSceneObject* object = FlagCommandObject(*this, record)) {
        object->AddFlags(CSceneObject::kDisabled);
        object->AddFlags(CSceneObject::kHidden);
    }
    Finish();
}

CHogInvertCommand::CHogInvertCommand(const CCommandRecord& record, qe::CScene* scene, lv::gui::CBaseWidget* widget)
    : CInstantCommand(scene, widget)
{
    if (CSceneObject* object = FlagCommandObject(*this, record)) {
        object->ToggleFlags(CSceneObject::kDisabled);
        object->ToggleFlags(CSceneObject::kHidden);
    }
    Finish();
}

CActionHOGHideCommand::CActionHOGHideCommand(const CCommandRecord& record, qe::CScene* scene,
                                             lv::gui::CBaseWidget* widget)
    : CInstantCommand(scene, widget)
{
    const CGameCommandArgs args(record);
    if (args.GetCount() == 1) {
        if (const CSceneObject* group = ActionHogGroup(*this, args.GetText(0))) {
            SetPictureHidden(*group, "__inv", true);
            SetPictureHidden(*group, "outline", true);
        }
    }
    Finish();
}

CActionHOGShowCommand::CActionHOGShowCommand(const CCommandRecord& record, qe::CScene* scene,
                                             lv::gui::CBaseWidget* widget)
    : CInstantCommand(scene, widget)
{
    const CGameCommandArgs args(record);
    if (args.GetCount() == 2) {
        if (const CSceneObject* group = ActionHogGroup(*this, args.GetText(0))) {
            const bool state = args.GetBool(1);
            SetPictureHidden(*group, "outline", state);
            SetPictureHidden(*group, "__inv", !state);
        }
    }
    Finish();
}

CClippingCommand::CClippingCommand(const CCommandRecord& record, qe::CScene* scene, lv::gui::CBaseWidget* widget)
    : CInstantCommand(scene, widget)
{
    const CGameCommandArgs args(record);
    CGameWindow* window = GetGameWindowOf(*this);
    if (args.GetCount() == 1 && window)
        window->SetPopupClipping(args.GetBool(0));
    Finish();
}

} // namespace game
