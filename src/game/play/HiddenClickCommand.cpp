#include "game/play/HiddenClickCommand.h"

#include "game/hud/Hud.h"
#include "game/play/GameWindow.h"
#include "game/play/Hog.h"
#include "gui/CursorManager.h"

namespace game {

CHiddenClickCommand::CHiddenClickCommand(const qe::scripts::CCommandRecord& record, qe::CScene* scene,
                                         lv::gui::CBaseWidget* widget)
    : CInstantCommand(scene, widget)
{
    const CGameCommandArgs args(record);
    const CGameWindow* window = GetGameWindowOf(*this);
    CHog* hog = CHog::GetInstance();
    const u32 count = args.GetCount();
    if (window && hog && window->GetHud().GetMode() == CHud::kModeHog) {
        if (count == 0)
            hog->OnMouseDown(lv::gui::CCursorManager::Instance().GetMousePosition());
        else if (count == 2)
            hog->ClickAt(args.GetInt(0), args.GetInt(1), false);
    }
    Finish();
}

} // namespace game
