#include "game/hud/HudTaskList.h"

#include "core/TimeSystem.h"
#include "game/hud/Hud.h"

namespace game {

CHudTaskList::CHudTaskList() = default;

void CHudTaskList::AddTask(s32 taskId)
{
    m_NewTask = true;
    m_State = 2;
    for (s32& slot : m_Tasks)
        if (slot == -1) {
            slot = taskId;
            return;
        }
}

void CHudTaskList::RemoveTask(s32 taskId)
{
    for (s32& slot : m_Tasks)
        if (slot == taskId) {
            slot = -1;
            return;
        }
}

void CHudTaskList::ShowBox(s32 ms)
{
    m_BoxShown = true;
    m_BoxTime = ms;
}

void CHudTaskList::Update()
{
    if (!m_BoxShown)
        return;
    m_BoxTime -= CHud::GetClock().GetFrameDelta();
    if (m_BoxTime <= 0) {
        m_BoxTime = 0;
        m_BoxShown = false;
    }
}

} // namespace game
