#include "game/play/ProgressCommands.h"

#include "core/FileSystem.h"
#include "game/frontend/ProfileManager.h"
#include "game/hud/Hud.h"
#include "game/play/GameWindow.h"
#include "qe/Quest.h"
#include "qe/Scene.h"

namespace game {

namespace {

using qe::scripts::CCommandRecord;

// The story streams that bring their own packs.
constexpr s32 kStreamSecond = 10;
constexpr s32 kStreamFourth = 11;

void SwitchStreamPacks(s32 value, s32 old)
{
    lv::core::CFileSystem& files = lv::core::CFileSystem::Instance();
    if (value == kStreamSecond) {
        if (old == kStreamFourth) {
            files.UnmountPack("game4v2.pack");
            files.MountPack("game4v1.pack");
        } else {
            files.UnmountPack("game2v1.pack");
            files.MountPack("game2v2.pack");
        }
    } else if (value == kStreamFourth) {
        files.UnmountPack("game4v1.pack");
        files.MountPack("game4v2.pack");
    } else {
        files.MountPack("game2v3.pack");
        files.MountPack("game4v3.pack");
    }
}

} // namespace

CCompleteLevelCommand::CCompleteLevelCommand(const CCommandRecord&, qe::CScene* scene, lv::gui::CBaseWidget* widget)
    : CInstantCommand(scene, widget)
{
    if (CGameWindow* window = GetGameWindowOf(*this))
        window->SetLevelCompleted();
    Finish();
}

CNextLevelCommand::CNextLevelCommand(const CCommandRecord& record, qe::CScene* scene, lv::gui::CBaseWidget* widget)
    : CInstantCommand(scene, widget)
{
    const CGameCommandArgs args(record);
    CGameWindow* window = GetGameWindowOf(*this);
    if (window && args.GetCount() <= 1) {
        s32 index = args.GetCount() == 0 ? 1 : args.GetInt(0);
        if (index <= 0)
            index = 1;
        // The running quest holds this command: the level starts at the window's next update.
        window->RequestQuestByIndex(index);
    }
    Finish();
}

CEndMainPartCommand::CEndMainPartCommand(const CCommandRecord&, qe::CScene* scene, lv::gui::CBaseWidget* widget)
    : CInstantCommand(scene, widget)
{
    CProfileManager* profiles = CProfileManager::Instance();
    if (SProfileValues* values = profiles ? profiles->GetCurrentValues() : nullptr)
        values->Standart = true;
    Finish();
}

CEndBonusPartCommand::CEndBonusPartCommand(const CCommandRecord&, qe::CScene* scene, lv::gui::CBaseWidget* widget)
    : CInstantCommand(scene, widget)
{
    if (CGameWindow* window = GetGameWindowOf(*this)) {
        CHud& hud = window->GetHud();
        hud.PushMode(CHud::kModeHidden);
        hud.SetAlpha(0);
        window->SetMenuButtonsHidden(true);
    }
    Finish();
}

EndExtrasMinigameCommand::EndExtrasMinigameCommand(const CCommandRecord&, qe::CScene* scene,
                                                   lv::gui::CBaseWidget* widget)
    : CInstantCommand(scene, widget)
{
    Finish();
}

CMainMenuReturnCommand::CMainMenuReturnCommand(const CCommandRecord&, qe::CScene* scene, lv::gui::CBaseWidget* widget)
    : CInstantCommand(scene, widget)
{
    if (qe::CQuest* quest = scene ? scene->GetQuest() : nullptr)
        quest->SaveState();
    if (CGameWindow* window = GetGameWindowOf(*this))
        window->ReturnToMainMenu();
    Finish();
}

SetStreamCommand::SetStreamCommand(const CCommandRecord& record, qe::CScene* scene, lv::gui::CBaseWidget* widget)
    : CInstantCommand(scene, widget)
{
    const CGameCommandArgs args(record);
    CProfileManager* profiles = CProfileManager::Instance();
    SProfileValues* values = profiles ? profiles->GetCurrentValues() : nullptr;
    if (args.GetCount() == 1 && values) {
        s32 value = args.GetInt(0);
        if (value < 0)
            value = 0;
        const s32 old = values->Stream;
        values->Stream = static_cast<u16>(value);
        profiles->Save();
        if (value != old && value != 0)
            SwitchStreamPacks(value, old);
    }
    Finish();
}

CTutorialIncCommand::CTutorialIncCommand(const CCommandRecord& record, qe::CScene* scene, lv::gui::CBaseWidget* widget)
    : CInstantCommand(scene, widget)
{
    const CGameCommandArgs args(record);
    CGameWindow* window = GetGameWindowOf(*this);
    if (window && args.GetCount() == 1 && !args.IsEmpty(0)) {
        const s32 step = args.GetInt(0);
        if (step >= 0) {
            window->SetTutorialStep(step);
        } else {
            switch (window->GetTutorialStep()) {
            case -1:
                break;
            case 11:
                window->EndTutorial(true);
                break;
            case 7:
                window->SetTutorialStep(12);
                break;
            case 13:
                window->SetTutorialStep(8);
                break;
            default:
                window->AdvanceTutorial();
                break;
            }
        }
    }
    Finish();
}

CRecieveAchiveCommand::CRecieveAchiveCommand(const CCommandRecord& record, qe::CScene* scene,
                                             lv::gui::CBaseWidget* widget)
    : CInstantCommand(scene, widget)
{
    const CGameCommandArgs args(record);
    CGameWindow* window = GetGameWindowOf(*this);
    if (window && args.GetCount() == 1)
        window->AwardAchievement(args.GetText(0));
    Finish();
}

} // namespace game
