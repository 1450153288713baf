#pragma once
// Registers the game's own script commands by name with the quest engine's command registry.
// Runs once during start-up, before the minigames are registered and the quest is loaded.
namespace game {

void RegisterGameCommands();

} // namespace game
