#include "gui/InputDispatcher.h"

#include "core/SystemIntegration.h"
#include "gui/CursorManager.h"
#include "gui/InputReplayer.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace lv::gui {

namespace {

// Truncation toward zero that saturates instead of overflowing (a zero scale gives inf).
s32 Trunc(float v)
{
    if (std::isnan(v))
        return 0;
    if (v >= 2147483520.0f)
        return std::numeric_limits<s32>::max();
    if (v <= -2147483648.0f)
        return std::numeric_limits<s32>::min();
    return static_cast<s32>(v);
}

lv::core::CSystemIntegration* Platform()
{
    return lv::core::CSystemIntegration::Current();
}

bool KeyHeld(s32 virtualKey)
{
    lv::core::CSystemIntegration* platform = Platform();
    return platform && (platform->GetAsyncKeyState(virtualKey) & 0x8000);
}

} // namespace

void CGestureRecognizerList::Add(const CGestureRecognizer::Ptr& recognizer)
{
    if (!recognizer || Contains(recognizer))
        return;
    m_Recognizers.push_back(recognizer);
    if (lv::core::CSystemIntegration* platform = Platform())
        platform->SetGestureEnabled(recognizer->GetKind(), true);
}

void CGestureRecognizerList::Remove(const CGestureRecognizer::Ptr& recognizer)
{
    const auto it = std::find(m_Recognizers.begin(), m_Recognizers.end(), recognizer);
    if (it != m_Recognizers.end())
        m_Recognizers.erase(it);
}

bool CGestureRecognizerList::Contains(const CGestureRecognizer::Ptr& recognizer) const
{
    return std::find(m_Recognizers.begin(), m_Recognizers.end(), recognizer) != m_Recognizers.end();
}

void CGestureRecognizerList::TouchesBegan(const CGestureRecognizer::CPoints& points, s32 time)
{
    // A copy: a recogniser may change the list from its handler.
    const std::vector<CGestureRecognizer::Ptr> list = m_Recognizers;
    for (const auto& r : list)
        if (r->IsFinished())
            r->Reset();
    for (const auto& r : list)
        if (!r->IsFinished())
            r->TouchesBegan(points, time);
}

void CGestureRecognizerList::TouchesMoved(const CGestureRecognizer::CPoints& points, s32 time)
{
    const std::vector<CGestureRecognizer::Ptr> list = m_Recognizers;
    for (const auto& r : list)
        if (!r->IsFinished())
            r->TouchesMoved(points, time);
}

void CGestureRecognizerList::TouchesEnded(const CGestureRecognizer::CPoints& points, s32 time)
{
    const std::vector<CGestureRecognizer::Ptr> list = m_Recognizers;
    for (const auto& r : list)
        if (!r->IsFinished())
            r->TouchesEnded(points, time);
}

void CGestureRecognizerList::Update()
{
    const std::vector<CGestureRecognizer::Ptr> list = m_Recognizers;
    for (const auto& r : list)
        if (!r->IsFinished())
            r->Update();
}

CInputDispatcher::CInputDispatcher() = default;

CInputDispatcher::~CInputDispatcher() = default;

void CInputDispatcher::SetScreenArea(const CFloatRect& viewport, const CVector2& scale)
{
    m_ScreenArea = viewport;
    m_Scale = scale;
}

void CInputDispatcher::SetRoot(const CBaseWindow::Ptr& window)
{
    m_PendingRoot = window;
}

void CInputDispatcher::Update()
{
    m_GestureRecognizers.Update();
    if (m_PendingRoot) {
        if (const CBaseWindow::Ptr old = m_Root)
            old->OnDeactivate();
        m_Root = m_PendingRoot;
        m_PendingRoot.reset();
        const CBaseWindow::Ptr root = m_Root;
        root->OnActivate();
    }
    const CBaseWindow::Ptr root = m_Root;
    if (!root)
        return;
    if (root->GetFlags() & CBaseWidget::Closed) {
        if (m_Root == root)
            m_Root.reset();
        return;
    }
    if (!(root->GetFlags() & CBaseWidget::Disabled))
        root->UpdateAll();
}

void CInputDispatcher::Render(lv::graphics::CRenderer& renderer)
{
    const CBaseWindow::Ptr root = m_Root;
    if (root && !(root->GetFlags() & CBaseWidget::kInactiveFlags))
        root->Render(renderer);
}

void CInputDispatcher::Release()
{
    m_Root.reset();
    m_PendingRoot.reset();
}

CPoint2i CInputDispatcher::ClampToScreenArea(const CPoint2i& point) const
{
    const float x =
        std::clamp(static_cast<float>(point.X), m_ScreenArea.X, m_ScreenArea.X + m_ScreenArea.Width);
    const float y =
        std::clamp(static_cast<float>(point.Y), m_ScreenArea.Y, m_ScreenArea.Y + m_ScreenArea.Height);
    return CPoint2i(Trunc(x), Trunc(y));
}

CPoint2i CInputDispatcher::ScreenToRoot(const CPoint2i& clientPoint) const
{
    if (!m_Root)
        return clientPoint;
    const float x = static_cast<float>(clientPoint.X - Trunc(m_ScreenArea.X));
    const float y = static_cast<float>(clientPoint.Y - Trunc(m_ScreenArea.Y));
    return m_Root->ParentToLocal(CPoint2i(Trunc(x / m_Scale.X), Trunc(y / m_Scale.Y)));
}

CPoint2i CInputDispatcher::RootToScreen(const CPoint2i& rootPoint) const
{
    if (!m_Root)
        return rootPoint;
    const CPoint2i p = m_Root->LocalToParent(rootPoint);
    return CPoint2i(Trunc(static_cast<float>(p.X) * m_Scale.X) + Trunc(m_ScreenArea.X),
                    Trunc(static_cast<float>(p.Y) * m_Scale.Y) + Trunc(m_ScreenArea.Y));
}

s32 CInputDispatcher::TranslateKey(s32 virtualKey)
{
    if ((virtualKey >= '0' && virtualKey <= '9') || (virtualKey >= 'A' && virtualKey <= 'Z'))
        return virtualKey;
    if (virtualKey >= VK_F1 && virtualKey <= VK_F12)
        return KeyF1 + (virtualKey - VK_F1);
    switch (virtualKey) {
    case VK_LEFT:
        return KeyLeft;
    case VK_RIGHT:
        return KeyRight;
    case VK_UP:
        return KeyUp;
    case VK_DOWN:
        return KeyDown;
    case VK_HOME:
        return KeyHome;
    case VK_END:
        return KeyEnd;
    case VK_PRIOR:
        return KeyPageUp;
    case VK_NEXT:
        return KeyPageDown;
    case VK_INSERT:
        return KeyInsert;
    case VK_DELETE:
        return KeyDelete;
    case VK_SPACE:
        return KeySpace;
    case VK_BACK:
        return KeyBackspace;
    case VK_RETURN:
        return KeyEnter;
    case VK_TAB:
        return KeyTab;
    case VK_ESCAPE:
        return KeyEscape;
    case VK_OEM_2:
        return KeySlash;
    case VK_OEM_MINUS:
        return KeyMinus;
    case VK_OEM_PLUS:
        return KeyEquals;
    default:
        return 0;
    }
}

s32 CInputDispatcher::KeyboardFlags() const
{
    return (KeyHeld(VK_SHIFT) ? kShift : 0) | (KeyHeld(VK_CONTROL) ? kCtrl : 0) |
           (KeyHeld(VK_MENU) ? kAlt : 0);
}

s32 CInputDispatcher::MouseFlags(WPARAM wParam) const
{
    return ((wParam & MK_SHIFT) ? kShift : 0) | ((wParam & MK_CONTROL) ? kCtrl : 0) |
           (KeyHeld(VK_MENU) ? kAlt : 0);
}

void CInputDispatcher::Press()
{
    if (++m_CaptureCount == 1)
        if (lv::core::CSystemIntegration* platform = Platform())
            platform->SetCapture();
}

void CInputDispatcher::Unpress()
{
    // A release whose press went elsewhere (pressed outside the window) must not drive the
    // count below zero, or the next press would not capture the mouse.
    if (m_CaptureCount <= 0)
        return;
    if (--m_CaptureCount == 0)
        ReleaseMouseCapture();
}

void CInputDispatcher::ReleaseMouseCapture()
{
    m_CaptureCount = 0;
    if (lv::core::CSystemIntegration* platform = Platform())
        platform->ReleaseCapture();
}

bool CInputDispatcher::HasPicture() const
{
    return m_Scale.X != 0 && m_Scale.Y != 0;
}

s32 CInputDispatcher::HandleMessage(HWND, u32 message, WPARAM wParam, LPARAM lParam)
{
    if (CInputReplayer::Instance().IsPlaying())
        return 0;
    // While the window is minimised the renderer reports a zero scale: no client point maps
    // into the picture then.
    if (message >= WM_MOUSEMOVE && message <= WM_MOUSEWHEEL && !HasPicture())
        return 0;
    lv::core::CSystemIntegration* platform = Platform();
    const s32 time = platform ? static_cast<s32>(platform->GetCurrentMessage().Time) : 0;
    const CPoint2i point(GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam));

    switch (message) {
    case WM_MOUSEMOVE: {
        const bool outside = point.X < m_ScreenArea.X || point.X > m_ScreenArea.X + m_ScreenArea.Width ||
                             point.Y < m_ScreenArea.Y || point.Y > m_ScreenArea.Y + m_ScreenArea.Height;
        const CPoint2i inside = ClampToScreenArea(point);
        if (m_Fullscreen && outside) {
            // The pointer cannot leave the picture in full screen: it is put back on its edge.
            if (platform) {
                CPoint2i screen = inside;
                platform->ClientToScreen(screen);
                platform->SetCursorPos(screen);
            }
            return 0;
        }
        const float dx = static_cast<float>(inside.X - Trunc(m_ScreenArea.X));
        const float dy = static_cast<float>(inside.Y - Trunc(m_ScreenArea.Y));
        CCursorManager::Instance().SetMousePosition(CPoint2i(Trunc(dx / m_Scale.X), Trunc(dy / m_Scale.Y)));
        const s32 result = DispatchMouseMove(ScreenToRoot(inside), MouseFlags(wParam), time);
        CCursorManager::Instance().Update();
        return result;
    }
    case WM_LBUTTONDOWN:
        Press();
        return DispatchMouseDown(ScreenToRoot(point), 0, MouseFlags(wParam), time);
    case WM_LBUTTONUP:
        Unpress();
        return DispatchMouseUp(ScreenToRoot(point), 0, MouseFlags(wParam), time);
    case WM_LBUTTONDBLCLK:
        Press();
        return DispatchDoubleClick(ScreenToRoot(point), MouseFlags(wParam));
    case WM_RBUTTONDOWN:
        Press();
        return DispatchMouseDown(ScreenToRoot(point), 1, MouseFlags(wParam), time);
    case WM_RBUTTONUP:
        Unpress();
        return DispatchMouseUp(ScreenToRoot(point), 1, MouseFlags(wParam), time);
    case WM_RBUTTONDBLCLK:
        // A second right press, not a double click.
        Press();
        return DispatchMouseDown(ScreenToRoot(point), 1, MouseFlags(wParam), 0);
    case WM_MBUTTONDOWN:
        Press();
        return DispatchMouseDown(ScreenToRoot(point), 2, MouseFlags(wParam), 0);
    case WM_MBUTTONUP:
        Unpress();
        return DispatchMouseUp(ScreenToRoot(point), 2, MouseFlags(wParam), 0);
    case WM_MOUSEWHEEL: {
        // The wheel message carries a screen position.
        CPoint2i client = point;
        if (platform)
            platform->ScreenToClient(client);
        const s32 notches = GET_WHEEL_DELTA_WPARAM(wParam) / WHEEL_DELTA;
        return DispatchMouseWheel(ScreenToRoot(client), notches, MouseFlags(LOWORD(wParam)));
    }
    case WM_KEYDOWN:
    case WM_SYSKEYDOWN:
        return DispatchKeyDown(TranslateKey(static_cast<s32>(wParam)), KeyboardFlags(),
                               static_cast<s32>(lParam));
    case WM_KEYUP:
    case WM_SYSKEYUP:
        return DispatchKeyUp(TranslateKey(static_cast<s32>(wParam)), KeyboardFlags(),
                             static_cast<s32>(lParam));
    case WM_CHAR:
        return DispatchChar(LOWORD(wParam), KeyboardFlags(), static_cast<s32>(lParam));
    default:
        return 0;
    }
}

template <typename THandler> s32 CInputDispatcher::DispatchPointer(THandler handler)
{
    const CBaseWindow::Ptr root = m_Root;
    if (!root)
        return -1;
    if (root->GetFlags() & CBaseWidget::kInactiveFlags)
        return 0;
    bool handled = handler(*root, u8(0));
    // The first pass may have closed or disabled the root, or replaced it.
    if (m_Root == root && !(root->GetFlags() & CBaseWidget::kInactiveFlags))
        handled = handler(*root, u8(1)) || handled;
    return handled ? 1 : 0;
}

bool CInputDispatcher::IsRootActive() const
{
    return m_Root && !(m_Root->GetFlags() & CBaseWidget::kInactiveFlags);
}

s32 CInputDispatcher::DispatchMouseDown(const CPoint2i& point, s32 button, s32 keyFlags, s32 time)
{
    if (IsRootActive() && m_GestureRecognizers.GetCount())
        m_GestureRecognizers.TouchesBegan({RootToScreen(point)}, time);
    return DispatchPointer(
        [&](CBaseWindow& root, u8 pass) { return root.OnMouseDown(point, button, keyFlags, pass); });
}

s32 CInputDispatcher::DispatchMouseUp(const CPoint2i& point, s32 button, s32 keyFlags, s32 time)
{
    if (IsRootActive() && m_GestureRecognizers.GetCount())
        m_GestureRecognizers.TouchesEnded({RootToScreen(point)}, time);
    return DispatchPointer(
        [&](CBaseWindow& root, u8 pass) { return root.OnMouseUp(point, button, keyFlags, pass); });
}

s32 CInputDispatcher::DispatchMouseMove(const CPoint2i& point, s32 keyFlags, s32 time)
{
    if (IsRootActive() && m_GestureRecognizers.GetCount())
        m_GestureRecognizers.TouchesMoved({RootToScreen(point)}, time);
    return DispatchPointer(
        [&](CBaseWindow& root, u8 pass) { return root.OnMouseMove(point, keyFlags, pass); });
}

s32 CInputDispatcher::DispatchDoubleClick(const CPoint2i& point, s32 keyFlags)
{
    return DispatchPointer(
        [&](CBaseWindow& root, u8 pass) { return root.OnMouseDoubleClick(point, keyFlags, pass); });
}

s32 CInputDispatcher::DispatchMouseWheel(const CPoint2i& point, s32 notches, s32 keyFlags)
{
    return DispatchPointer(
        [&](CBaseWindow& root, u8 pass) { return root.OnMouseWheel(point, notches, keyFlags, pass); });
}

s32 CInputDispatcher::DispatchGesture1(const CPoint2i& clientPoint)
{
    const CPoint2i point = ScreenToRoot(clientPoint);
    return DispatchPointer([&](CBaseWindow& root, u8 pass) { return root.OnGesture1(point, pass); });
}

s32 CInputDispatcher::DispatchGesture2(const CPoint2i& clientPoint)
{
    const CPoint2i point = ScreenToRoot(clientPoint);
    return DispatchPointer([&](CBaseWindow& root, u8 pass) { return root.OnGesture2(point, pass); });
}

s32 CInputDispatcher::DispatchGesture3(const CPoint2i& clientPoint, s32 value)
{
    const CPoint2i point = ScreenToRoot(clientPoint);
    return DispatchPointer([&](CBaseWindow& root, u8 pass) { return root.OnGesture3(point, value, pass); });
}

s32 CInputDispatcher::DispatchGesture4(const CPoint2i& clientPoint, s32 value)
{
    const CPoint2i point = ScreenToRoot(clientPoint);
    return DispatchPointer([&](CBaseWindow& root, u8 pass) { return root.OnGesture4(point, value, pass); });
}

s32 CInputDispatcher::DispatchGesture5(const CPoint2i& clientPoint, float a, float b, s32 value)
{
    const CPoint2i point = ScreenToRoot(clientPoint);
    return DispatchPointer([&](CBaseWindow& root, u8 pass) { return root.OnGesture5(point, a, b, value, pass); });
}

s32 CInputDispatcher::DispatchGesture6(const CPoint2i& clientPoint, float a, float b, s32 value)
{
    const CPoint2i point = ScreenToRoot(clientPoint);
    return DispatchPointer([&](CBaseWindow& root, u8 pass) { return root.OnGesture6(point, a, b, value, pass); });
}

s32 CInputDispatcher::DispatchGesture7(const CPoint2i& clientPoint, float a, s32 value)
{
    const CPoint2i point = ScreenToRoot(clientPoint);
    return DispatchPointer([&](CBaseWindow& root, u8 pass) { return root.OnGesture7(point, a, value, pass); });
}

template <typename THandler> s32 CInputDispatcher::DispatchKey(THandler handler)
{
    const CBaseWindow::Ptr root = m_Root;
    if (!root)
        return -1;
    if (root->GetFlags() & CBaseWidget::kInactiveFlags)
        return 0;
    return handler(*root) ? 1 : 0;
}

s32 CInputDispatcher::DispatchKeyDown(s32 key, s32 keyFlags, s32 keyData)
{
    return DispatchKey([&](CBaseWindow& root) { return root.OnKeyDown(key, keyFlags, keyData, 0); });
}

s32 CInputDispatcher::DispatchKeyUp(s32 key, s32 keyFlags, s32 keyData)
{
    return DispatchKey([&](CBaseWindow& root) { return root.OnKeyUp(key, keyFlags, keyData, 0); });
}

s32 CInputDispatcher::DispatchChar(s32 character, s32 keyFlags, s32 keyData)
{
    return DispatchKey(
        [&](CBaseWindow& root) { return root.OnChar(static_cast<u16>(character), keyFlags, keyData, 0); });
}

} // namespace lv::gui
