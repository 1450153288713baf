#include "game/minigames/GameMinigames.h"

namespace game {

// The minigames register here as they are added.
void RegisterGameMinigames() {}

} // namespace game
