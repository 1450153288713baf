#include "gui/LayoutBox.h"

#include "core/SettingsGroup.h"
#include "gui/WidgetFactory.h"

#include <algorithm>
#include <cstring>

namespace lv::gui {

CBaseWidget::CLayoutBox::CLayoutBox(CBaseWidget* widget) : m_Widget(widget) {}

void CBaseWidget::CLayoutBox::Load(const lv::core::CSettingsGroup& node,
                                   const lv::core::CSettingsGroup& templates, CBaseWidget* owner)
{
    CVector2 min;
    node.ReadFloat("width", min.X);
    node.ReadFloat("height", min.Y);
    SetMinSize(min);
    if (node.HasAttribute("abs_pos"))
        m_AbsolutePosition = node.GetBool("abs_pos") ? 1 : 0;
    if (const std::string& orient = node.GetAttribute("orient"); orient == "horizontal")
        m_Horizontal = 1;
    else if (orient == "vertical")
        m_Horizontal = 0;
    node.ReadUInt("flex", m_Flex);
    static const char* const kAligns[] = {"stretch", "start", "center", "end"};
    const std::string& align = node.GetAttribute("align");
    for (u32 i = 0; i < 4; ++i)
        if (align == kAligns[i])
            m_Align = i;
    const std::string& pack = node.GetAttribute("pack");
    for (u32 i = 0; i < 3; ++i)
        if (pack == kAligns[i + 1])
            m_Pack = i;
    if (const lv::core::CSettingsGroup* insets = node.FindNamedObject("insets")) {
        SInsets in;
        insets->ReadFloat("left", in.Left);
        insets->ReadFloat("right", in.Right);
        insets->ReadFloat("top", in.Top);
        insets->ReadFloat("bottom", in.Bottom);
        SetInsets(in);
    }

    // A snapshot holding references: loading a child may run arbitrary widget code.
    const std::vector<lv::core::CSettingsGroup::Ptr> children = node.GetChildren();
    CWidgetFactory& factory = CWidgetFactory::Instance();
    for (const auto& child : children) {
        if (!child)
            continue;
        const char* name = child->GetName().GetText();
        if (!std::strcmp(name, "vbox") || !std::strcmp(name, "hbox") || !std::strcmp(name, "spacer")) {
            Ptr box(new CLayoutBox(nullptr));
            box->m_Horizontal = std::strcmp(name, "hbox") == 0 ? 1 : 0;
            box->Load(*child, templates, owner);
            m_Boxes.push_back(box);
        } else if (factory.IsRegistered(name)) {
            CBaseWidget::Ptr widget(factory.CreateWidget(name));
            if (!widget)
                continue;
            widget->LoadFromTemplate(*child, templates);
            if (owner)
                owner->AddChild(widget);
            if (widget->m_LayoutBox)
                m_Boxes.push_back(widget->m_LayoutBox);
        }
    }
}

CVector2 CBaseWidget::CLayoutBox::SizeOf(const CLayoutBox& child, bool required) const
{
    return required ? child.GetRequiredSize() : const_cast<CLayoutBox&>(child).GetSize();
}

CBaseWidget::CLayoutBox::STotals CBaseWidget::CLayoutBox::Totals(bool required) const
{
    STotals t;
    for (const Ptr& box : m_Boxes) {
        if (!box || box->m_AbsolutePosition)
            continue;
        const CVector2 size = SizeOf(*box, required);
        t.Any = true;
        t.Flex += box->m_Flex;
        if (box->m_Flex == 0)
            t.FixedMain += Main(size);
        t.CrossMax = std::max(t.CrossMax, Cross(size));
    }
    return t;
}

void CBaseWidget::CLayoutBox::Measure()
{
    const std::vector<Ptr> boxes = m_Boxes;
    for (const Ptr& box : boxes)
        if (box)
            box->Measure();
    const STotals t = Totals(false);
    const SInsets in = GetInsets();
    if (!t.Any) {
        if (!m_Widget)
            return;
        const CVector2 size = GetSize();
        const CVector2 preferred = m_Widget->GetPreferredSize();
        const CVector2 wanted(std::max(size.X, preferred.X), std::max(size.Y, preferred.Y));
        if (wanted.X != size.X || wanted.Y != size.Y)
            SetSize(wanted.X, wanted.Y);
        return;
    }
    float flexNeed = 0;
    for (const Ptr& box : boxes)
        if (box && !box->m_AbsolutePosition && box->m_Flex > 0)
            flexNeed = std::max(flexNeed, Main(box->GetSize()) * float(t.Flex) / float(box->m_Flex));
    const float main = flexNeed + t.FixedMain;
    CVector2 result = Vec(main, t.CrossMax);
    result.X += in.Left + in.Right;
    result.Y += in.Top + in.Bottom;
    if (m_Widget) {
        const CVector2 preferred = m_Widget->GetPreferredSize();
        result = CVector2(std::max(result.X, preferred.X), std::max(result.Y, preferred.Y));
    }
    SetSize(result.X, result.Y);
}

void CBaseWidget::CLayoutBox::Distribute()
{
    const CVector2 size = GetSize();
    const SInsets in = GetInsets();
    const CVector2 available(size.X - in.Left - in.Right, size.Y - in.Top - in.Bottom);
    const STotals t = Totals(false);
    const std::vector<Ptr> boxes = m_Boxes;
    for (const Ptr& box : boxes) {
        if (!box || box->m_AbsolutePosition)
            continue;
        const CVector2 current = box->GetSize();
        if (box->m_Flex > 0) {
            const float share = float(box->m_Flex) / float(t.Flex);
            const float main = (Main(available) - t.FixedMain) * share;
            const float cross = m_Align == AlignStretch ? Cross(available) : Cross(current);
            const CVector2 next = Vec(main, cross);
            box->SetSize(next.X, next.Y);
        } else if (m_Align == AlignStretch) {
            const CVector2 next = Vec(Main(current), Cross(available));
            box->SetSize(next.X, next.Y);
        }
    }
}

void CBaseWidget::CLayoutBox::Place(float x, float y, bool keepWidget)
{
    if (m_Widget && !keepWidget) {
        m_Widget->SetPosition(x, y);
        x = y = 0;
    }
    float sumMain = 0;
    const std::vector<Ptr> boxes = m_Boxes;
    for (const Ptr& box : boxes)
        if (box && !box->m_AbsolutePosition)
            sumMain += Main(box->GetSize());
    const CVector2 size = GetSize();
    const SInsets in = GetInsets();
    const CVector2 available(size.X - in.Left - in.Right, size.Y - in.Top - in.Bottom);
    float main = m_Horizontal ? x + in.Left : y + in.Top;
    const float crossStart = m_Horizontal ? y + in.Top : x + in.Left;
    if (m_Pack == PackCenter)
        main += (Main(available) - sumMain) * 0.5f;
    else if (m_Pack == PackEnd)
        main += Main(available) - sumMain;
    for (const Ptr& box : boxes) {
        if (!box || box->m_AbsolutePosition)
            continue;
        const CVector2 childSize = box->GetSize();
        float cross = crossStart;
        if (m_Align == AlignCenter)
            cross += (Cross(available) - Cross(childSize)) * 0.5f;
        else if (m_Align == AlignEnd)
            cross += Cross(available) - Cross(childSize);
        const CVector2 at = Vec(main, cross);
        box->Place(at.X, at.Y, false);
        main += Main(childSize);
    }
}

void CBaseWidget::CLayoutBox::Layout()
{
    Measure();
    Place(0, 0, true);
}

void CBaseWidget::CLayoutBox::SetSize(float width, float height)
{
    m_BoxSize = CVector2(std::max(width, m_MinSize.X), std::max(height, m_MinSize.Y));
    if (m_Widget) {
        m_Widget->SetSize(m_BoxSize.X, m_BoxSize.Y);
        m_BoxSize = m_Widget->GetSize();
    } else {
        Distribute();
    }
}

void CBaseWidget::CLayoutBox::SetMinSize(const CVector2& size)
{
    m_MinSize = CVector2(std::max(m_MinSize.X, size.X), std::max(m_MinSize.Y, size.Y));
    const CVector2 current = GetSize();
    const CVector2 next(std::max(current.X, m_MinSize.X), std::max(current.Y, m_MinSize.Y));
    if (next.X != current.X || next.Y != current.Y)
        SetSize(next.X, next.Y);
}

CVector2 CBaseWidget::CLayoutBox::GetRequiredSize() const
{
    const STotals t = Totals(true);
    if (!t.Any) {
        if (!m_Widget)
            return CVector2();
        const CVector2 size = m_Widget->GetSize();
        const CVector2 preferred = m_Widget->GetPreferredSize();
        return CVector2(std::max({size.X, preferred.X, m_MinSize.X}), std::max({size.Y, preferred.Y, m_MinSize.Y}));
    }
    float flexNeed = 0;
    for (const Ptr& box : m_Boxes)
        if (box && !box->m_AbsolutePosition && box->m_Flex > 0)
            flexNeed = std::max(flexNeed, Main(box->GetRequiredSize()) * float(t.Flex) / float(box->m_Flex));
    const SInsets in = m_Widget ? m_Widget->GetInsets() : m_BoxInsets;
    CVector2 result = Vec(flexNeed + t.FixedMain, t.CrossMax);
    result.X += in.Left + in.Right;
    result.Y += in.Top + in.Bottom;
    if (m_Widget) {
        const CVector2 preferred = m_Widget->GetPreferredSize();
        result = CVector2(std::max(result.X, preferred.X), std::max(result.Y, preferred.Y));
    }
    return CVector2(std::max(result.X, m_MinSize.X), std::max(result.Y, m_MinSize.Y));
}

void CBaseWidget::CLayoutBox::RemoveBox(const Ptr& box)
{
    std::erase(m_Boxes, box);
    for (const Ptr& child : m_Boxes)
        if (child)
            child->RemoveBox(box);
}

CVector2 CBaseWidget::CLayoutBox::GetSize()
{
    if (m_Widget)
        m_BoxSize = m_Widget->GetSize();
    return m_BoxSize;
}

CBaseWidget::SInsets CBaseWidget::CLayoutBox::GetInsets()
{
    if (m_Widget)
        m_BoxInsets = m_Widget->GetInsets();
    return m_BoxInsets;
}

void CBaseWidget::CLayoutBox::SetInsets(const SInsets& insets)
{
    m_BoxInsets = insets;
    if (m_Widget)
        m_Widget->SetInsets(insets.Left, insets.Right, insets.Top, insets.Bottom);
}

} // namespace lv::gui
