#include "game/play/GameCommands.h"

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

// The registration order. Every row is one name; a name whose command is not built yet is a
// comment at its place.
const SGameCommandEntry kGameCommands[] = {
    // "take"
    // "say_bubble"
    // "say"
    // "add_note"
    // "cut_scene"
    // "remove"
    // "open_scene"
    // "close_miniscene"
    // "complete_level"
    // "take_to_cursor"
    // "hog_toggle"
    // "hog_clear_obj"
    // "hog_invert_obj"
    // "play_anim_ex"
    // "stop_sound"
    // "play_sound_ex"
    // "enable"
    // "disable"
    // "restore"
    // "clear_cursor"
    // "back_sound_enable"
    // "clip_sound"
    // "tutorial_inc"
    // "open_scene_no_fade"
    // "sync_start"
    // "hidden_click"
    // "next_level"
    // "stop_music"
    // "popup_clipping"
    // "take_special"
    // "go_to_main_menu"
    // "end_main_part"
    // "end_bonus_part"
    // "disable_hide_hud"
    // "set_stream"
    // "set_inventory_mode"
    // "action_hog_obj_state"
    // "action_hog_obj_remove"
    // "finish_action_hog"
    // "finish_text_hog" (the same factory as "finish_action_hog")
    // "take_interactive"
    // "text_hog_decrement"
    // "lock_map_scene"
    // "add_task"
    // "recieve_achive"
    // "take_candy"
    // "key_view_delay"
    // "end_extras_minigame"
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
