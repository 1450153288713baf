#include "gui/CustomCursorList.h"

#include "core/Log.h"

namespace lv::gui {

bool CCustomCursorList::Add(const CCustomCursor& cursor)
{
    if (m_Last + 1 >= kCapacity) {
        lv::core::CLog::Instance().Print("gui", 2, "cursor list full (%d cursors): cursor %d not added",
                                         kCapacity, cursor.Id);
        return false;
    }
    m_Cursors[++m_Last] = cursor;
    return true;
}

} // namespace lv::gui
