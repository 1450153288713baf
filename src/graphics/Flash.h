#pragma once
// Host of Flash movies. This cut holds what the application needs: pausing and resuming every
// player at once when the application stops and starts running; the players come with the Flash
// widget.
#include "core/Types.h"

namespace lv::graphics {

class CFlash
{
public:
    // Pauses (true) or resumes (false) every live player by one level.
    static void PauseAll(bool pause);
    // Pause levels that PauseAll holds on all players now (never negative).
    static s32 GetPauseAllLevel();
};

} // namespace lv::graphics
