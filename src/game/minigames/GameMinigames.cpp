#include "game/minigames/GameMinigames.h"

#include "game/play/Hog.h"
#include "qe/MinigameFactory.h"

namespace game {

namespace {

qe::CMinigameBase* CreateHog(const char*)
{
    return new CHog();
}

} // namespace

// The minigames register here as they are added.
void RegisterGameMinigames()
{
    qe::CMinigameFactory::Instance().Register("hog", CreateHog);
}

} // namespace game
