#pragma once
// Decides which mouse cursor the player sees. Every cursor has an id; the current one is applied
// to the platform layer on Update. The manager also keeps the last mouse position in design
// coordinates. This cut shows system cursors only; image cursors come with the texture side.
#include "core/Point2i.h"
#include "core/SystemCursorSpec.h"
#include "core/Types.h"

#include <vector>

namespace lv::graphics {
class CRenderer;
}

namespace lv::gui {

class CCursorManager
{
public:
    static constexpr s32 kPointer = 100;
    static constexpr s32 kHand = 101;
    static constexpr s32 kText = 102;
    static constexpr s32 kHourglass = 103;

    // Created on first use with the four standard cursors; never destroyed.
    static CCursorManager& Instance();

    // Takes effect at the next Update; an id without cursor changes nothing visible.
    void SetCursor(s32 id);
    s32 GetCursor() const { return m_CurrentId; }
    void SetHidden(bool hidden);
    bool IsHidden() const { return m_Hidden; }
    // Adds a system cursor under an id (the first cursor with an id wins).
    void AddSystemCursor(s32 id, const CSystemCursorSpec& cursor);

    // Every mouse move comes here before the widgets see it: unless the cursor is hidden or the
    // hourglass, the pointer becomes current again, so the widget under the mouse can ask anew.
    void SetMousePosition(const CPoint2i& designPoint);
    const CPoint2i& GetMousePosition() const { return m_MousePosition; }

    // While set, the input dispatcher hands no mouse press, release or move to the widgets.
    void SetInputSuppressed(bool suppressed) { m_InputSuppressed = suppressed; }
    bool IsInputSuppressed() const { return m_InputSuppressed; }

    // Applies the current cursor to the platform layer: hidden shows no system cursor, else the
    // cursor's description is shown.
    void Update();
    // Draws the software cursor; system cursors need no drawing.
    void Draw(lv::graphics::CRenderer& renderer);

private:
    struct CCursor
    {
        s32 Id;
        CSystemCursorSpec System;
    };

    CCursorManager();
    const CCursor* FindCursor(s32 id) const;

    std::vector<CCursor> m_Cursors;
    s32 m_CurrentId = kPointer;
    bool m_Hidden = false;
    bool m_InputSuppressed = false;
    CPoint2i m_MousePosition;
};

} // namespace lv::gui
