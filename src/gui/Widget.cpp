#include "gui/Widget.h"

#include "core/SettingsGroup.h"

namespace lv::gui {

namespace {

// One axis of the anchors: position p and extent e inside a parent going from oldExtent to
// newExtent.
void Anchor(bool low, bool high, float oldExtent, float newExtent, float& p, float& e)
{
    if (low && high) {
        const float margin = oldExtent - (p + e);
        e = newExtent - margin - p;
    } else if (high) {
        const float margin = oldExtent - (p + e);
        p = newExtent - margin - e;
    } else if (!low) {
        // A parent that was empty gives no ratio to scale by.
        const float k = oldExtent != 0 ? newExtent / oldExtent : 1.0f;
        p *= k;
        e *= k;
    }
}

} // namespace

CWidget::CWidget(const CFixedString& name, u32 layer, u32 eventMask)
    : CBaseWidget(name), m_Layer(layer), m_EventMask(eventMask)
{
}

CWidget::~CWidget() = default;

CVector2 CWidget::GetPosition(bool withWindows) const
{
    return m_Listener ? m_Listener->GetPosition(withWindows) + m_Position : m_Position;
}

void CWidget::SetFocus(CBaseWidget* widget)
{
    if (m_Listener)
        m_Listener->SetFocus(widget);
}

void CWidget::OnEvent(const char* eventName, CBaseWidget* sender)
{
    if (m_Listener)
        m_Listener->OnEvent(eventName, sender);
}

void CWidget::LoadFromTemplate(const lv::core::CSettingsGroup& node,
                               const lv::core::CSettingsGroup& templates)
{
    CBaseWidget::LoadFromTemplate(node, templates);
    node.ReadUInt("layer", m_Layer);
}

void CWidget::SetListener(CBaseWidget* listener)
{
    m_Listener = listener;
}

void CWidget::ClearListener()
{
    m_Listener = nullptr;
}

void CWidget::SetFocused(bool focused)
{
    m_Focused = focused ? 1 : 0;
}

void CWidget::ApplyAnchors(float oldParentWidth, float oldParentHeight)
{
    if (!m_Listener)
        return;
    const CVector2 parent = m_Listener->GetSize();
    float x = m_Position.X, y = m_Position.Y, w = m_Size.X, h = m_Size.Y;
    Anchor(m_Anchors & AnchorLeft, m_Anchors & AnchorRight, oldParentWidth, parent.X, x, w);
    Anchor(m_Anchors & AnchorTop, m_Anchors & AnchorBottom, oldParentHeight, parent.Y, y, h);
    if (x != m_Position.X || y != m_Position.Y)
        SetPosition(x, y);
    if (w != m_Size.X || h != m_Size.Y)
        SetSize(w, h);
}

void CWidget::SetLayer(u32 layer)
{
    m_Layer = layer;
    if (m_Listener)
        m_Listener->OnChildLayerChanged(this);
}

} // namespace lv::gui
