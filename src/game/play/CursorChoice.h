#pragma once
// Picks the game's cursor from what lies under the pointer in the top scene view. This first
// cut shows the plain pointer, the busy cursor while the scripts run, and keeps its mode.
#include "core/Types.h"

namespace qe {
class CSceneView;
}

namespace game {

class CMinigameManager;

class CCursorChoice
{
public:
    CCursorChoice() = default;

    void Attach(CMinigameManager* host) { m_Host = host; }
    // After each top-view change, each move that nothing took and each refresh after a click.
    void ChooseForView(qe::CSceneView* view);
    // While the quest's scripts run: the pointer in mode 1, else the hourglass.
    void ShowBusy();
    void SetMode(s32 mode) { m_Mode = mode; }
    s32 GetMode() const { return m_Mode; }

private:
    CMinigameManager* m_Host = nullptr;
    s32 m_Mode = 0;
};

} // namespace game
