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

#include <boost/shared_ptr.hpp>

#include <vector>

namespace lv::graphics {
class CRenderer;
}

namespace lv::gui {

// Watches the mouse for a gesture of its kind. States 3, 4 and 5 mean finished; a finished
// recogniser is reset at the next press.
class CGestureRecognizer
{
public:
    using Ptr = boost::shared_ptr<CGestureRecognizer>;
    using CPoints = std::vector<CPoint2i>;

    explicit CGestureRecognizer(s32 kind) : m_Kind(kind) {}
    virtual ~CGestureRecognizer() = default;
    // Points in client pixels; time is the message time in ms.
    virtual void TouchesBegan(const CPoints& points, s32 time) = 0;
    virtual void TouchesMoved(const CPoints& points, s32 time) = 0;
    virtual void TouchesEnded(const CPoints& points, s32 time) = 0;
    virtual void Update() = 0;
    virtual void Reset() = 0;

    s32 GetState() const { return m_State; }
    s32 GetKind() const { return m_Kind; }
    bool IsFinished() const { return m_State >= 3 && m_State <= 5; }

protected:
    s32 m_State = 0;
    s32 m_Kind;
};

// The recognisers that watch the mouse; the dispatcher feeds them.
class CGestureRecognizerList
{
public:
    // Appends a recogniser not yet listed and tells the platform layer its kind.
    void Add(const CGestureRecognizer::Ptr& recognizer);
    void Remove(const CGestureRecognizer::Ptr& recognizer);
    bool Contains(const CGestureRecognizer::Ptr& recognizer) const;
    size_t GetCount() const { return m_Recognizers.size(); }

    // Finished recognisers are reset first, so each press starts every one anew.
    void TouchesBegan(const CGestureRecognizer::CPoints& points, s32 time);
    void TouchesMoved(const CGestureRecognizer::CPoints& points, s32 time);
    void TouchesEnded(const CGestureRecognizer::CPoints& points, s32 time);
    void Update();

private:
    std::vector<CGestureRecognizer::Ptr> m_Recognizers;
};

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
    void Render(lv::graphics::CRenderer& renderer);
    // Drops the current and the pending root (at shutdown).
    void Release();

    // Translates one window message into widget input; ignored while recorded input plays.
    s32 HandleMessage(HWND window, u32 message, WPARAM wParam, LPARAM lParam);
    void ReleaseMouseCapture();

    // Client pixels to the root's coordinates and back.
    CPoint2i ScreenToRoot(const CPoint2i& clientPoint) const;
    CPoint2i RootToScreen(const CPoint2i& rootPoint) const;

    // The GUI key code of a virtual key (0 for keys the GUI does not know).
    static s32 TranslateKey(s32 virtualKey);

    CGestureRecognizerList& GetGestureRecognizers() { return m_GestureRecognizers; }

    // Input in the root's coordinates, from the messages and from input playback. Each does
    // nothing without a root (-1) or with a disabled or closed root. Otherwise the result is 1
    // when a handler took the event, else 0.
    s32 DispatchMouseDown(const CPoint2i& point, s32 button, s32 keyFlags, s32 time);
    s32 DispatchMouseUp(const CPoint2i& point, s32 button, s32 keyFlags, s32 time);
    s32 DispatchMouseMove(const CPoint2i& point, s32 keyFlags, s32 time);
    s32 DispatchDoubleClick(const CPoint2i& point, s32 keyFlags);
    s32 DispatchMouseWheel(const CPoint2i& point, s32 notches, s32 keyFlags);
    // Gestures carry client points, as the recognisers see them.
    s32 DispatchGesture1(const CPoint2i& clientPoint);
    s32 DispatchGesture2(const CPoint2i& clientPoint);
    s32 DispatchGesture3(const CPoint2i& clientPoint, s32 value);
    s32 DispatchGesture4(const CPoint2i& clientPoint, s32 value);
    s32 DispatchGesture5(const CPoint2i& clientPoint, float a, float b, s32 value);
    s32 DispatchGesture6(const CPoint2i& clientPoint, float a, float b, s32 value);
    s32 DispatchGesture7(const CPoint2i& clientPoint, float a, s32 value);
    s32 DispatchKeyDown(s32 key, s32 keyFlags, s32 keyData);
    s32 DispatchKeyUp(s32 key, s32 keyFlags, s32 keyData);
    s32 DispatchChar(s32 character, s32 keyFlags, s32 keyData);

private:
    template <typename THandler> s32 DispatchPointer(THandler handler);
    // Key input goes to the root alone, in one pass: -1 without a root, 0 when it is hidden or
    // disabled, else whether it took the key.
    template <typename THandler> s32 DispatchKey(THandler handler);
    s32 KeyboardFlags() const;
    s32 MouseFlags(WPARAM wParam) const;
    // The point clamped into the picture area, each coordinate truncated.
    CPoint2i ClampToScreenArea(const CPoint2i& point) const;
    // Screen area and scale can map client points to design units (no component is 0).
    bool HasPicture() const;
    bool IsRootActive() const;
    void Press();
    void Unpress();

    CBaseWindow::Ptr m_PendingRoot;
    CBaseWindow::Ptr m_Root;
    CFloatRect m_ScreenArea;
    CVector2 m_Scale{1, 1};
    s32 m_CaptureCount = 0;
    CGestureRecognizerList m_GestureRecognizers;
    bool m_Fullscreen = false;
};

} // namespace lv::gui
