#include "game/minigames/GameMinigames.h"

#include <gtest/gtest.h>

#include "qe/MinigameFactory.h"

// The minigames come with their own changes; until then registering adds no name and may run
// more than once.
TEST(GameMinigames, RegistrationRunsAndAddsNoNameYet)
{
    game::RegisterGameMinigames();
    game::RegisterGameMinigames();
    EXPECT_FALSE(qe::CMinigameFactory::Instance().IsRegistered("hog"));
}
