#include "game/play/GameCommands.h"

#include "game/play/HiddenClickCommand.h"
#include "game/play/HudCommands.h"
#include "game/play/InventoryCommands.h"
#include "game/play/MediaCommands.h"
#include "game/play/ProgressCommands.h"
#include "game/play/SceneCommands.h"
#include "qe/CommandFactory.h"

#include <new>

namespace game {

namespace {

using qe::scripts::CCommandFactory;

// One factory per command class: null when the allocation fails; a throwing constructor frees
// the object and passes the exception on.
template <typename T>
qe::scripts::CCommandBase* MakeGameCommand(const qe::scripts::CCommandRecord& record, qe::CScene* scene,
                                           lv::gui::CBaseWidget* widget)
{
    return new (std::nothrow) T(record, scene, widget);
}

struct SGameCommandEntry
{
    const char* Name;
    CCommandFactory::Factory Factory;
};

// The registration order, one row per name.
const SGameCommandEntry kGameCommands[] = {
    {"take", &MakeGameCommand<CTakeCommand>},
    {"say_bubble", &MakeGameCommand<CSayBubbleCommand>},
    {"say", &MakeGameCommand<CSayCommand>},
    {"add_note", &MakeGameCommand<CAddNoteCommand>},
    {"cut_scene", &MakeGameCommand<CCutSceneCommand>},
    {"remove", &MakeGameCommand<CRemoveCommand>},
    {"open_scene", &MakeGameCommand<COpenSceneCommand>},
    {"close_miniscene", &MakeGameCommand<CCloseMinisceneCommand>},
    {"complete_level", &MakeGameCommand<CCompleteLevelCommand>},
    {"take_to_cursor", &MakeGameCommand<CTakeToCursorCommand>},
    {"hog_toggle", &MakeGameCommand<CHogToggleCommand>},
    {"hog_clear_obj", &MakeGameCommand<CHogClearCommand>},
    {"hog_invert_obj", &MakeGameCommand<CHogInvertCommand>},
    {"play_anim_ex", &MakeGameCommand<CPlayAnimationCommandEx>},
    {"stop_sound", &MakeGameCommand<CStopSoundCommand>},
    {"play_sound_ex", &MakeGameCommand<CPlaySoundExCommand>},
    {"enable", &MakeGameCommand<CEnableCommand>},
    {"disable", &MakeGameCommand<CDisableCommand>},
    {"restore", &MakeGameCommand<CHogRestoreCommand>},
    {"clear_cursor", &MakeGameCommand<CClearCursorCommand>},
    {"back_sound_enable", &MakeGameCommand<CEnableBackgroundSoundCommand>},
    {"clip_sound", &MakeGameCommand<CClipSoundCommand>},
    {"tutorial_inc", &MakeGameCommand<CTutorialIncCommand>},
    {"open_scene_no_fade", &MakeGameCommand<COpenScenefadeFreeCommand>},
    {"sync_start", &MakeGameCommand<CSyncAnimationCommand>},
    {"hidden_click", &MakeGameCommand<CHiddenClickCommand>},
    {"next_level", &MakeGameCommand<CNextLevelCommand>},
    {"stop_music", &MakeGameCommand<CStopMusicCommand>},
    {"popup_clipping", &MakeGameCommand<CClippingCommand>},
    {"take_special", &MakeGameCommand<CSecialObjectCommand>},
    {"go_to_main_menu", &MakeGameCommand<CMainMenuReturnCommand>},
    {"end_main_part", &MakeGameCommand<CEndMainPartCommand>},
    {"end_bonus_part", &MakeGameCommand<CEndBonusPartCommand>},
    {"disable_hide_hud", &MakeGameCommand<CDisableHideHUD>},
    {"set_stream", &MakeGameCommand<SetStreamCommand>},
    {"set_inventory_mode", &MakeGameCommand<CSetInventoryModeCommand>},
    {"action_hog_obj_state", &MakeGameCommand<CActionHOGShowCommand>},
    {"action_hog_obj_remove", &MakeGameCommand<CActionHOGHideCommand>},
    {"finish_action_hog", &MakeGameCommand<CEndActionHOGCommand>},
    {"finish_text_hog", &MakeGameCommand<CEndActionHOGCommand>},
    {"take_interactive", &MakeGameCommand<CTakeInteractiveCommand>},
    {"text_hog_decrement", &MakeGameCommand<CTextHOGDecrementCommand>},
    {"lock_map_scene", &MakeGameCommand<CMapSceneLockCommand>},
    {"add_task", &MakeGameCommand<CTaskCommand>},
    {"recieve_achive", &MakeGameCommand<CRecieveAchiveCommand>},
    {"take_candy", &MakeGameCommand<CTakeLilypopCommand>},
    {"key_view_delay", &MakeGameCommand<CKeyDelayCommand>},
    {"end_extras_minigame", &MakeGameCommand<EndExtrasMinigameCommand>},
    {nullptr, nullptr},
};

} // namespace

void RegisterGameCommands()
{
    CCommandFactory& registry = CCommandFactory::Instance();
    for (const SGameCommandEntry& entry : kGameCommands)
        if (entry.Name)
            registry.Register(entry.Name, entry.Factory);
}

} // namespace game
