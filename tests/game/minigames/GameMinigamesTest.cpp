#include "game/minigames/GameMinigames.h"

#include <gtest/gtest.h>

#include "game/play/Hog.h"
#include "qe/MinigameFactory.h"

#include <memory>

// Registering may run more than once; "hog" makes a hidden-object search.
TEST(GameMinigames, RegistersTheHiddenObjectSearch)
{
    game::RegisterGameMinigames();
    game::RegisterGameMinigames();
    ASSERT_TRUE(qe::CMinigameFactory::Instance().IsRegistered("hog"));
    std::unique_ptr<qe::CMinigameBase> made(qe::CMinigameFactory::Instance().Create(nullptr, "hog"));
    EXPECT_NE(dynamic_cast<game::CHog*>(made.get()), nullptr);
    qe::CMinigameFactory::Instance().Unregister("hog");
}
