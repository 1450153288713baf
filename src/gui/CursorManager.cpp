#include "gui/CursorManager.h"

#include "core/SystemIntegration.h"

namespace lv::gui {

CCursorManager& CCursorManager::Instance()
{
    // Never destroyed: widgets may still ask for cursors while the process ends.
    static CCursorManager* instance = new CCursorManager();
    return *instance;
}

CCursorManager::CCursorManager()
{
    const struct
    {
        s32 id;
        u32 system;
    } standard[] = {{kPointer, IDC_ARROW}, {kHand, IDC_HAND}, {kText, IDC_IBEAM}, {kHourglass, IDC_WAIT}};
    for (const auto& s : standard) {
        CSystemCursorSpec cursor;
        cursor.CursorId = s.system;
        AddSystemCursor(s.id, cursor);
    }
}

void CCursorManager::SetCursor(s32 id)
{
    m_CurrentId = id;
}

void CCursorManager::SetHidden(bool hidden)
{
    m_Hidden = hidden;
}

void CCursorManager::AddSystemCursor(s32 id, const CSystemCursorSpec& cursor)
{
    m_Cursors.push_back({id, cursor});
}

void CCursorManager::SetMousePosition(const CPoint2i& designPoint)
{
    if (!m_Hidden && m_CurrentId != kHourglass)
        m_CurrentId = kPointer;
    m_MousePosition = designPoint;
}

const CCursorManager::CCursor* CCursorManager::FindCursor(s32 id) const
{
    for (const CCursor& c : m_Cursors)
        if (c.Id == id)
            return &c;
    return nullptr;
}

void CCursorManager::Update()
{
    const CCursor* cursor = FindCursor(m_CurrentId);
    lv::core::CSystemIntegration* platform = lv::core::CSystemIntegration::Current();
    if (!cursor || !platform)
        return;
    if (m_Hidden)
        platform->ShowSystemCursor(false);
    else
        platform->SetCursorInfo(cursor->System, true);
}

void CCursorManager::Draw(lv::graphics::CRenderer&) {}

} // namespace lv::gui
