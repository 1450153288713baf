#pragma once
// The task button with its box of up to three current tasks; a new task changes the button's
// look until clicked, and the box closes by itself. This first cut keeps the slots, the
// new-task look and the box's countdown; its drawing joins later.
#include "core/Types.h"
#include "core/Vector2.h"

namespace lv::graphics {
class CRenderer;
}

namespace game {

class CHudTaskList
{
public:
    static constexpr s32 kSlotCount = 3;

    CHudTaskList();
    CHudTaskList(const CHudTaskList&) = delete;
    CHudTaskList& operator=(const CHudTaskList&) = delete;

    void AddTask(s32 taskId);
    void RemoveTask(s32 taskId);
    // Hides the task box at once.
    void CancelAutoClose() { m_BoxShown = false; }
    void ShowBox(s32 ms);
    s32 GetTask(s32 slot) const { return m_Tasks[slot]; }
    bool IsBoxShown() const { return m_BoxShown; }
    bool HasNewTask() const { return m_NewTask; }
    s32 GetState() const { return m_State; }

    void Update();
    void Draw(lv::graphics::CRenderer&) {}
    bool OnClick(const CVector2&) { return false; }
    bool OnMouseMove(const CVector2&) { return false; }
    void SetAlpha(u16) {}
    void Layout() {}

private:
    s32 m_State = 0;
    bool m_NewTask = false;
    s32 m_Tasks[kSlotCount] = {-1, -1, -1};
    bool m_BoxShown = false;
    s32 m_BoxTime = 0;
};

} // namespace game
