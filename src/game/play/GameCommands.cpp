#include "game/play/GameCommands.h"

namespace game {

// The game's script commands register here as they are added.
void RegisterGameCommands() {}

} // namespace game
