#include "gui/ToolTipHelperWidget.h"

#include "gui/GuiServices.h"
#include "gui/Window.h"

namespace lv::gui {

CToolTipHelperWidget::CToolTipHelperWidget() : CWidget(CFixedString("ToolTipHelperWidget"), 0, EvMouseMove)
{
    // Never drawn, but hidden widgets still hear the mouse.
    SetFlags(Hidden);
}

CToolTipHelperWidget::~CToolTipHelperWidget() = default;

bool CToolTipHelperWidget::OnMouseMove(const CPoint2i& point, s32, u8 pass)
{
    const bool inside = HitTest(point);
    if (pass == 0) {
        if (inside) {
            if (m_HoverStart == 0)
                m_HoverStart = static_cast<u32>(CGuiServices::Instance().GetTime());
            m_LastPoint = point;
        }
        return false;
    }
    if (!inside) {
        if (m_Shown) {
            if (auto* window = dynamic_cast<CWindow*>(CGuiServices::Instance().GetTopWindow()))
                window->HideToolTip();
            m_Shown = 0;
        }
        m_HoverStart = 0;
    }
    return false;
}

void CToolTipHelperWidget::Update()
{
    if (m_HoverStart == 0 || m_Shown)
        return;
    const u32 now = static_cast<u32>(CGuiServices::Instance().GetTime());
    if (now - m_HoverStart <= static_cast<u32>(kDelayMs))
        return;
    const CVector2 root = GetPosition(true);
    CBaseWidget* owner = GetListener();
    while (owner && !dynamic_cast<CBaseWindow*>(owner))
        owner = owner->GetListener();
    CBaseWindow* top = CGuiServices::Instance().GetTopWindow();
    if (owner && owner == top)
        if (auto* window = dynamic_cast<CWindow*>(top))
            window->ShowToolTip(CPoint2i(m_LastPoint.X + static_cast<s32>(root.X),
                                         m_LastPoint.Y + static_cast<s32>(root.Y) + kOffsetY),
                                m_Text.GetText());
    // Requested once per hover, also when the window was not on top.
    m_HoverStart = 0;
    m_Shown = 1;
}

void CToolTipHelperWidget::SetListener(CBaseWidget* listener)
{
    CWidget::SetListener(listener);
    m_Anchors = AnchorLeft | AnchorRight | AnchorTop | AnchorBottom;
}

} // namespace lv::gui
