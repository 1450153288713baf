#include "gui/BaseWidget.h"

#include <algorithm>
#include <cmath>

namespace lv::gui {

namespace {

s32 RoundHalfAway(float v)
{
    return static_cast<s32>(v > 0 ? v + 0.5f : v - 0.5f);
}

} // namespace

CBaseWidget::CBaseWidget(const CFixedString& name) : m_Name(CFixedString::Intern(name))
{
    m_Transform.SetIdentity();
}

CBaseWidget::~CBaseWidget() = default;

void CBaseWidget::SetPosition(float x, float y)
{
    m_Position = CVector2(x, y);
}

void CBaseWidget::SetSize(float width, float height)
{
    m_Size = CVector2(width, height);
}

void CBaseWidget::SetTransform(const CMatrix3& transform)
{
    m_Transform = transform;
}

void CBaseWidget::SetColor(const CColor& color)
{
    m_Color = color;
}

void CBaseWidget::OnHiddenChanged(bool) {}

void CBaseWidget::OnDisabledChanged(bool) {}

bool CBaseWidget::OnChar(u16, s32, s32, u8)
{
    return false;
}

bool CBaseWidget::OnKeyDown(s32, s32, s32, u8)
{
    return false;
}

bool CBaseWidget::OnKeyUp(s32, s32, s32, u8)
{
    return false;
}

bool CBaseWidget::OnMouseMove(const CPoint2i&, s32, u8)
{
    return false;
}

bool CBaseWidget::OnMouseDown(const CPoint2i&, s32, s32, u8)
{
    return false;
}

bool CBaseWidget::OnMouseUp(const CPoint2i&, s32, s32, u8)
{
    return false;
}

bool CBaseWidget::OnMouseDoubleClick(const CPoint2i&, s32, u8)
{
    return false;
}

bool CBaseWidget::OnMouseWheel(const CPoint2i&, s32, s32, u8)
{
    return false;
}

bool CBaseWidget::HitTest(const CPoint2i& point) const
{
    return point.X >= 0 && point.Y >= 0 && point.X < static_cast<s32>(m_Size.X) &&
           point.Y < static_cast<s32>(m_Size.Y);
}

void CBaseWidget::Draw(lv::graphics::CRenderer& renderer)
{
    // Copy: a child's drawing must not invalidate the walk.
    const std::vector<Ptr> children = m_Children;
    for (auto it = children.rbegin(); it != children.rend(); ++it)
        if (*it && !((*it)->GetFlags() & Hidden))
            (*it)->Render(renderer);
}

void CBaseWidget::Update() {}

CVector2 CBaseWidget::GetSize() const
{
    return (m_Flags & Closed) ? CVector2() : m_Size;
}

void CBaseWidget::SetFlags(u32 flags)
{
    if ((flags ^ m_Flags) & Hidden)
        OnHiddenChanged((flags & Hidden) != 0);
    if ((flags ^ m_Flags) & Disabled)
        OnDisabledChanged((flags & Disabled) != 0);
    m_Flags = flags;
}

void CBaseWidget::AddChild(const Ptr& child)
{
    if (!child || child.get() == this ||
        std::find(m_Children.begin(), m_Children.end(), child) != m_Children.end())
        return;
    m_Children.insert(m_Children.begin(), child);
}

void CBaseWidget::RemoveClosedChildren()
{
    std::erase_if(m_Children, [](const Ptr& c) { return !c || (c->GetFlags() & Closed); });
}

CPoint2i CBaseWidget::ParentToLocal(const CPoint2i& point) const
{
    CMatrix3 inverse;
    CMatrix3::Inverse(inverse, m_Transform);
    CVector2 v(static_cast<float>(point.X) - m_Position.X, static_cast<float>(point.Y) - m_Position.Y);
    v.Transform(inverse);
    return CPoint2i(RoundHalfAway(v.X), RoundHalfAway(v.Y));
}

CPoint2i CBaseWidget::LocalToParent(const CPoint2i& point) const
{
    CVector2 v(static_cast<float>(point.X), static_cast<float>(point.Y));
    v.Transform(m_Transform);
    v += m_Position;
    return CPoint2i(RoundHalfAway(v.X), RoundHalfAway(v.Y));
}

void CBaseWidget::Render(lv::graphics::CRenderer& renderer)
{
    Draw(renderer);
}

void CBaseWidget::UpdateAll()
{
    RemoveClosedChildren();
    const std::vector<Ptr> children = m_Children;
    for (const Ptr& child : children)
        child->UpdateAll();
    if (!(m_Flags & Disabled))
        Update();
}

} // namespace lv::gui
