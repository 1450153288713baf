#include "game/play/HudCommands.h"

#include "core/FixedString.h"
#include "core/MessageBox.h"
#include "game/hud/Hud.h"
#include "game/play/GameWindow.h"
#include "game/play/SceneStack.h"
#include "qe/Quest.h"
#include "qe/Scene.h"
#include "qe/SceneObject.h"

namespace game {

namespace {

using qe::CSceneObject;
using qe::scripts::CCommandRecord;

CHud* PanelHudOf(const qe::scripts::CCommandBase& command)
{
    CGameWindow* window = GetGameWindowOf(command);
    return window ? &window->GetHud() : nullptr;
}

} // namespace

CSayCommand::CSayCommand(const CCommandRecord& record, qe::CScene* scene, lv::gui::CBaseWidget* widget)
    : CInstantCommand(scene, widget)
{
    const CGameCommandArgs args(record);
    CHud* hud = PanelHudOf(*this);
    if (args.GetCount() == 1 && hud)
        hud->GetSpeechBubble().SayStringId(args.GetInt(0));
    Finish();
}

CSayBubbleCommand::CSayBubbleCommand(const CCommandRecord& record, qe::CScene* scene, lv::gui::CBaseWidget* widget)
    : CInstantCommand(scene, widget)
{
    const CGameCommandArgs args(record);
    CHud* hud = PanelHudOf(*this);
    if (args.GetCount() == 3 && hud)
        hud->GetSpeechBubble().ShowStringId(args.GetInt(0), args.GetInt(1), args.GetInt(2));
    Finish();
}

CAddNoteCommand::CAddNoteCommand(const CCommandRecord& record, qe::CScene* scene, lv::gui::CBaseWidget* widget)
    : CInstantCommand(scene, widget)
{
    const CGameCommandArgs args(record);
    CHud* hud = PanelHudOf(*this);
    if (args.GetCount() == 1 && hud)
        hud->GetNotepad().AddNote(CFixedString(args.GetText(0)).GetText());
    Finish();
}

CTaskCommand::CTaskCommand(const CCommandRecord& record, qe::CScene* scene, lv::gui::CBaseWidget* widget)
    : CInstantCommand(scene, widget)
{
    const CGameCommandArgs args(record);
    CHud* hud = PanelHudOf(*this);
    if (args.GetCount() == 2 && hud) {
        if (args.GetBool(0))
            hud->GetTaskList().AddTask(args.GetInt(1));
        else
            hud->GetTaskList().RemoveTask(args.GetInt(1));
    }
    Finish();
}

CMapSceneLockCommand::CMapSceneLockCommand(const CCommandRecord& record, qe::CScene* scene,
                                           lv::gui::CBaseWidget* widget)
    : CInstantCommand(scene, widget)
{
    const CGameCommandArgs args(record);
    CHud* hud = PanelHudOf(*this);
    if (args.GetCount() == 2 && hud)
        hud->GetMap().SetLocationLocked(args.GetText(0), args.GetBool(1));
    Finish();
}

void CCollectibleCommand::Collect(const char* name, bool special)
{
    CGameWindow* window = GetGameWindowOf(*this);
    CSceneObject* object = FindObjectByName(*this, name);
    if (!object) {
        lv::core::ShowMessageBoxF("Error", "Object '%s' not found.", name);
        return;
    }
    if (window) {
        CHud& hud = window->GetHud();
        const CVector2 point = CHud::SceneToScreen(&window->GetSceneStack(), object->GetPosition());
        if (special) {
            m_Waiting = hud.GetSymbolCounter().CountSpecialObject(point);
            if (GetScene())
                hud.GetMap().DecrementLocationCount(GetScene()->GetName().GetText());
        } else {
            m_Waiting = hud.GetSymbolCounter().CountCandy(point);
        }
    }
    object->AddFlags(CSceneObject::kDisabled | CSceneObject::kHidden | CSceneObject::kRemoved);
}

void CCollectibleCommand::Update()
{
    if (IsFinished())
        return;
    CGameWindow* window = GetGameWindowOf(*this);
    if (!window || !window->GetHud().GetSymbolCounter().IsBusy())
        Finish();
}

CTakeLilypopCommand::CTakeLilypopCommand(const CCommandRecord& record, qe::CScene* scene,
                                         lv::gui::CBaseWidget* widget)
    : CCollectibleCommand(scene, widget)
{
    const CGameCommandArgs args(record);
    if (args.GetCount() != 1)
        lv::core::ShowMessageBoxF("Error", "Incorrect params number in CTakeLilypopCommand");
    else
        Collect(args.GetText(0), false);
    if (!IsWaiting())
        Finish();
}

CSecialObjectCommand::CSecialObjectCommand(const CCommandRecord& record, qe::CScene* scene,
                                           lv::gui::CBaseWidget* widget)
    : CCollectibleCommand(scene, widget)
{
    const CGameCommandArgs args(record);
    if (args.GetCount() == 1)
        Collect(args.GetText(0), true);
    if (!IsWaiting())
        Finish();
}

CDisableHideHUD::CDisableHideHUD(const CCommandRecord&, qe::CScene* scene, lv::gui::CBaseWidget* widget)
    : CInstantCommand(scene, widget)
{
    if (CHud* hud = PanelHudOf(*this)) {
        hud->PushMode(CHud::kModeHidden);
        hud->SetAlpha(0);
    }
    if (GetScene() && GetScene()->GetQuest())
        GetScene()->GetQuest()->SaveState();
    Finish();
}

} // namespace game
