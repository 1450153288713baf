#include "graphics/Flash.h"

namespace lv::graphics {

namespace {

s32 g_PauseAllLevel = 0;

} // namespace

void CFlash::PauseAll(bool pause)
{
    // A resume without a pause has nothing to undo.
    if (pause)
        ++g_PauseAllLevel;
    else if (g_PauseAllLevel > 0)
        --g_PauseAllLevel;
}

s32 CFlash::GetPauseAllLevel()
{
    return g_PauseAllLevel;
}

} // namespace lv::graphics
