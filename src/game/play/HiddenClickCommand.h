#pragma once
// "hidden_click" ([x, y]): a scripted click into the running hidden-object search, only while
// the HUD is in the search's mode. Without arguments the click lands at the mouse position as a
// mouse click would; with a point it goes there in the game's own coordinates, unshifted.
#include "game/play/GameCommandArgs.h"

namespace game {

class CHiddenClickCommand : public CInstantCommand
{
public:
    CHiddenClickCommand(const qe::scripts::CCommandRecord& record, qe::CScene* scene, lv::gui::CBaseWidget* widget);
};

} // namespace game
