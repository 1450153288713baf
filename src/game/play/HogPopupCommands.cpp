#include "game/play/HogPopupCommands.h"

namespace game {

bool CHogPopupCommands::Load(const char*, qe::CQuest*)
{
    return true;
}

} // namespace game
