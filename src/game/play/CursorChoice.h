#pragma once
// Picks the game's cursor from what lies under the pointer in the top scene view: the plain
// pointer, the hand, or one of the game's own cursors 0 to 5 (item pointer, gear pointer,
// magnifier, puzzle magnifier, arrow back, empty), which the first cursor choice of the process
// registers with the cursor manager.
#include "core/Types.h"

namespace qe {
class CSceneView;
}

namespace game {

class CMinigameManager;

class CCursorChoice
{
public:
    // The game's cursor ids.
    enum ECursor : s32
    {
        kCursorItem = 0,
        kCursorGear = 1,
        kCursorMagnifier = 2,
        kCursorPuzzle = 3,
        kCursorArrow = 4,
        kCursorEmpty = 5,
    };

    CCursorChoice();

    void Attach(CMinigameManager* host) { m_Host = host; }
    // After each top-view change, each move that nothing took and each refresh after a click:
    // reads the pointer classification of the view's scene.
    void ChooseForView(qe::CSceneView* view);
    // While the quest's scripts run: the pointer in mode 1, else the hourglass.
    void ShowBusy();
    // Mode 1 makes the plain pointer win everywhere.
    void SetMode(s32 mode) { m_Mode = mode; }
    s32 GetMode() const { return m_Mode; }

    // Adds the game's cursors to the cursor manager once per process.
    static void RegisterGameCursors();

private:
    CMinigameManager* m_Host = nullptr;
    s32 m_Mode = 0;
};

} // namespace game
