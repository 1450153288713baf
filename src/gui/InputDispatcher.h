#pragma once
// Connects the GUI tree to the application: holds the root window, switches it once per frame,
// updates and draws it, and turns window messages into widget input. Mouse positions in the
// window's client area are mapped to design coordinates through the picture area and scale the
// renderer reports, and then into the root's own coordinates. Mouse events reach the root in two
// passes (hit-tested, then broadcast); keyboard events in one.
#include "core/FloatRect.h"
#include "core/Point2i.h"
#include "core/Types.h"
#include "core/Vector2.h"
#include "gui/BaseWindow.h"
#include "platform/WindowMessages.h"

namespace lv::graphics {
class CRenderer;
}

namespace lv::gui {

class CInputDispatcher
{
public:
    // Key codes of the GUI for keys that are not letters or digits.
    enum EKey : s32
    {
        KeyLeft = 10000,
        KeyRight,
        KeyUp,
        KeyDown,
        KeyHome,
        KeyEnd,
        KeyPageUp,
        KeyPageDown,
        KeyInsert,
        KeyDelete,
        KeySpace,
        KeyBackspace,
        KeyEnter,
        KeyTab,
        KeyEscape,
        KeyF1,
        KeyF12 = KeyF1 + 11,
        KeySlash = 10027,
        KeyMinus = 10029,
        KeyEquals = 10030,
    };
    // Modifier bits of the key flags.
    static constexpr s32 kShift = 1;
    static constexpr s32 kCtrl = 2;
    static constexpr s32 kAlt = 4;

    CInputDispatcher();
    ~CInputDispatcher();
    CInputDispatcher(const CInputDispatcher&) = delete;
    CInputDispatcher& operator=(const CInputDispatcher&) = delete;

    // The picture area in client pixels (x, y, width, height) and the design-to-client scale.
    void SetScreenArea(const CFloatRect& viewport, const CVector2& scale);
    const CFloatRect& GetScreenArea() const { return m_ScreenArea; }
    const CVector2& GetScale() const { return m_Scale; }
    // In full screen the pointer cannot leave the picture; the application reports each change.
    void SetFullscreen(bool fullscreen) { m_Fullscreen = fullscreen; }

    // Becomes the root at the next Update.
    void SetRoot(const CBaseWindow::Ptr& window);
    CBaseWindow::Ptr GetRoot() const { return m_Root; }

    // Once per frame: switches in a pending root (the old root is deactivated, the new one
    // activated), drops a closed root, updates a root that is not disabled.
    void Update();
    // Draws the root and its subtree unless it is disabled or closed.
    void Draw(lv::graphics::CRenderer& renderer);
    // Drops the current and the pending root.
    void Clear();

    // Translates one window message into widget input; ignored while recorded input plays.
    s32 HandleMessage(HWND window, u32 message, WPARAM wParam, LPARAM lParam);
    void ReleaseMouseCapture();

    // Client pixels to the root's coordinates and back.
    CPoint2i ScreenToRoot(const CPoint2i& clientPoint) const;
    CPoint2i RootToScreen(const CPoint2i& rootPoint) const;

    // The GUI key code of a virtual key (0 for keys the GUI does not know).
    static s32 TranslateKey(s32 virtualKey);

    // Input in the root's coordinates, from the messages and from input playback. Each does
    // nothing without a root (-1), with a disabled or closed root, or (mouse presses, releases
    // and moves) while the cursor manager suppresses input. Otherwise the result is 1 when a
    // handler took the event, else 0.
    s32 DispatchMouseDown(const CPoint2i& point, s32 button, s32 keyFlags, s32 time);
    s32 DispatchMouseUp(const CPoint2i& point, s32 button, s32 keyFlags, s32 time);
    s32 DispatchMouseMove(const CPoint2i& point, s32 keyFlags, s32 time);
    s32 DispatchDoubleClick(const CPoint2i& point, s32 keyFlags);
    s32 DispatchMouseWheel(const CPoint2i& point, s32 notches, s32 keyFlags);
    s32 DispatchKeyDown(s32 key, s32 keyFlags, s32 keyData);
    s32 DispatchKeyUp(s32 key, s32 keyFlags, s32 keyData);
    s32 DispatchChar(s32 character, s32 keyFlags, s32 keyData);

private:
    template <typename THandler> s32 DispatchPointer(bool suppressible, THandler handler);
    // Key input goes to the root alone, in one pass: -1 without a root, 0 when it is hidden or
    // disabled, else whether it took the key.
    template <typename THandler> s32 DispatchKey(THandler handler);
    s32 KeyboardFlags() const;
    s32 MouseFlags(WPARAM wParam) const;
    // The point clamped into the picture area, each coordinate truncated.
    CPoint2i ClampToScreenArea(const CPoint2i& point) const;
    void Press();
    void Release();

    CBaseWindow::Ptr m_PendingRoot;
    CBaseWindow::Ptr m_Root;
    CFloatRect m_ScreenArea;
    CVector2 m_Scale{1, 1};
    s32 m_CaptureCount = 0;
    bool m_Fullscreen = false;
};

} // namespace lv::gui
