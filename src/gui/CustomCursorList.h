#pragma once
// Up to 32 cursors, filled from slot 0 upwards: the cursor manager's own list, and the list game
// code builds and hands over.
#include "gui/CustomCursor.h"

namespace lv::gui {

class CCustomCursorList
{
public:
    static constexpr s32 kCapacity = 32;

    // Copies the record into the next slot; a full list refuses it (logged) and returns false.
    bool Add(const CCustomCursor& cursor);
    CCustomCursor& Get(s32 index) { return m_Cursors[index]; }
    const CCustomCursor& Get(s32 index) const { return m_Cursors[index]; }
    s32 GetCount() const { return m_Last + 1; }
    bool IsEmpty() const { return m_Last == -1; }
    s32 GetLastIndex() const { return m_Last; }

private:
    CCustomCursor m_Cursors[kCapacity];
    s32 m_Last = -1;
};

} // namespace lv::gui
