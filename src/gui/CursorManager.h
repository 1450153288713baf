#pragma once
// Decides which mouse cursor the player sees. Every cursor has an id and shows either as a system
// cursor (with an optional icon image drawn beside it) or, in custom mode, as an image drawn by
// the renderer in its place. Requests take effect at the next Update; Draw paints the image
// cursor or the icon at the end of each frame. The manager also keeps the last mouse position
// in design coordinates.
#include "core/Point2i.h"
#include "core/Types.h"
#include "gui/CustomCursorList.h"

namespace lv::graphics {
class CRenderer;
class CSprite;
} // namespace lv::graphics

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
    bool IsHidden() const { return m_Hidden != 0; }
    // Image cursors (true) or system cursors (false): the player's "custom_cursors" option.
    void SetCustomCursors(bool custom);
    bool IsCustomCursors() const { return m_CustomMode != 0; }
    // Appends the game's cursors (the standard ones come first) and binds their images.
    void AddCursors(const CCustomCursorList& cursors);
    const CCustomCursorList& GetCursors() const { return m_Cursors; }
    // The first cursor with the id, null when none.
    const CCustomCursor* FindCursor(s32 id) const;
    // Binds the images of every cursor not yet loaded.
    void LoadResources();
    // Image cursors change only while the application is active.
    void SetApplicationActive(bool active) { m_ApplicationActive = active ? 1 : 0; }

    // Every mouse move comes here before the widgets see it: unless the cursor is hidden or the
    // hourglass, the pointer becomes current again, so the widget under the mouse can ask anew.
    void SetMousePosition(const CPoint2i& designPoint);
    CPoint2i GetMousePosition() const { return m_MousePosition; }

    // Applies the current cursor to the platform layer.
    void Update();
    // Draws the image cursor (custom mode) or the icon beside the system cursor.
    void Draw(lv::graphics::CRenderer& renderer);

    // What Update chose to draw last: the image cursor and the icon (null when none).
    const lv::graphics::CSprite* GetSoftwareCursor() const { return m_SoftwareCursor; }
    const lv::graphics::CSprite* GetIcon() const { return m_Icon; }

private:
    CCursorManager();
    void AddStandardCursors();

    u8 m_Initialised = 0;
    CCustomCursorList m_Cursors;
    s32 m_CurrentId = kPointer;
    const lv::graphics::CSprite* m_SoftwareCursor = nullptr;
    const lv::graphics::CSprite* m_Icon = nullptr;
    u8 m_Hidden = 0;
    u8 m_CustomMode = 0;
    u8 m_ApplicationActive = 1;
    CPoint2i m_MousePosition;
};

} // namespace lv::gui
