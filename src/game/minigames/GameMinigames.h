#pragma once
// Registers every minigame of the game by name with the quest engine's minigame registry. Runs
// once during start-up, after the script commands and before the quest is loaded.
namespace game {

void RegisterGameMinigames();

} // namespace game
