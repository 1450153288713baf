#include "gui/ScrollWidget.h"

#include "core/SettingsGroup.h"
#include "gui/GuiSound.h"

#include <algorithm>
#include <cmath>

namespace lv::gui {

CScrollWidget::CScrollWidget()
    : CScrollWidget(lv::graphics::CSprite(), lv::graphics::CSprite(), lv::graphics::CSprite(),
                    lv::graphics::CSprite(), true, CFixedString(""), 0, 0)
{
}

CScrollWidget::CScrollWidget(const lv::graphics::CSprite& back, const lv::graphics::CSprite& thumb,
                             const lv::graphics::CSprite& top, const lv::graphics::CSprite& bottom,
                             bool vertical, const CFixedString& name, u32 layer, u32 eventMask)
    : CWidget(name, layer, eventMask | EvMouseMove | EvMouseUp), m_Vertical(vertical ? 1 : 0)
{
    BuildParts(back, thumb, top, bottom);
}

CScrollWidget::~CScrollWidget() = default;

void CScrollWidget::BuildParts(const lv::graphics::CSprite& back, const lv::graphics::CSprite& thumb,
                               const lv::graphics::CSprite& top, const lv::graphics::CSprite& bottom)
{
    for (CWidget* part : {static_cast<CWidget*>(m_Track.get()), static_cast<CWidget*>(m_Thumb.get()),
                          static_cast<CWidget*>(m_TopArrow.get()), static_cast<CWidget*>(m_BottomArrow.get())})
        if (part)
            CloseChild(part);
    RemoveClosedChildren();
    m_Thumb.reset(new CButtonWidget(thumb, nullptr, CFixedString(""), 0, 0));
    m_Track.reset(new CImageWidget(back, CFixedString(""), 0, 0));
    m_TopArrow.reset(new CButtonWidget(top, nullptr, CFixedString(""), 0, 0));
    m_BottomArrow.reset(new CButtonWidget(bottom, nullptr, CFixedString(""), 0, 0));
    // Sized before the parts are children, so no anchors move them yet.
    const CVector2 preferred = GetPreferredSize();
    m_Size = preferred;
    LayOutParts();
    AddChild(m_Track);
    AddChild(m_Thumb);
    AddChild(m_TopArrow);
    AddChild(m_BottomArrow);
    UpdateThumbSize();
}

void CScrollWidget::LayOutParts()
{
    const float w = m_Size.X, h = m_Size.Y;
    const CVector2 top = m_TopArrow->GetSize(), bottom = m_BottomArrow->GetSize();
    const CVector2 thumb = m_Thumb->GetSize();
    m_Track->GetImage().SetFlags(1 | 2);
    if (m_Vertical) {
        const float length = h - top.Y - bottom.Y;
        m_Track->SetAnchors(AnchorTop | AnchorBottom);
        m_Track->SetPosition(0, top.Y);
        m_Track->SetSize(w, length);
        m_Thumb->SetAnchors(AnchorTop);
        m_Thumb->SetPosition((w - thumb.X) / 2, top.Y);
        m_TopArrow->SetAnchors(AnchorTop);
        m_TopArrow->SetPosition((w - top.X) / 2, 0);
        m_BottomArrow->SetAnchors(AnchorBottom);
        m_BottomArrow->SetPosition((w - bottom.X) / 2, top.Y + length);
    } else {
        const float length = w - top.X - bottom.X;
        m_Track->SetAnchors(AnchorLeft | AnchorRight);
        m_Track->SetPosition(top.X, 0);
        m_Track->SetSize(length, h);
        m_Thumb->SetAnchors(AnchorLeft);
        m_Thumb->SetPosition(top.X, (h - thumb.Y) / 2);
        m_TopArrow->SetAnchors(AnchorLeft);
        m_TopArrow->SetPosition(0, (h - top.Y) / 2);
        m_BottomArrow->SetAnchors(AnchorRight);
        m_BottomArrow->SetPosition(top.X + length, (h - bottom.Y) / 2);
    }
}

float CScrollWidget::GetTrackStart() const
{
    return m_Track ? Along(m_Track->GetPosition()) : 0;
}

float CScrollWidget::GetTrackLength() const
{
    return m_Track ? Along(m_Track->GetSize()) : 0;
}

float CScrollWidget::GetThumbStart() const
{
    return m_Thumb ? Along(m_Thumb->GetPosition()) : 0;
}

float CScrollWidget::GetThumbLength() const
{
    return m_Thumb ? Along(m_Thumb->GetSize()) : 0;
}

void CScrollWidget::UpdateThumbSize()
{
    if (!m_Thumb)
        return;
    const float length = std::ceil(GetTrackLength() * m_PageSize / m_MaxValue);
    const CVector2 size = m_Thumb->GetSize();
    if (m_Vertical)
        m_Thumb->SetSize(size.X, length);
    else
        m_Thumb->SetSize(length, size.Y);
    UpdateThumbPosition();
}

void CScrollWidget::UpdateThumbPosition()
{
    if (!m_Thumb)
        return;
    const float start = GetTrackStart() + GetTrackLength() * m_Value / m_MaxValue;
    const CVector2 at = m_Thumb->GetPosition();
    if (m_Vertical)
        m_Thumb->SetPosition(at.X, start);
    else
        m_Thumb->SetPosition(start, at.Y);
}

void CScrollWidget::SetValue(float value)
{
    if (value < 0)
        value = 0;
    else if (value > m_MaxValue - m_PageSize)
        value = m_MaxValue - m_PageSize;
    m_Value = value;
    UpdateThumbPosition();
    NotifyChanged();
}

void CScrollWidget::SetMaxValue(float maximum)
{
    if (maximum < 1)
        maximum = 1;
    m_Value *= maximum / m_MaxValue;
    m_MaxValue = maximum;
    if (maximum < m_PageSize)
        SetPageSize(maximum);
    UpdateThumbSize();
}

void CScrollWidget::SetPageSize(float page)
{
    if (page < 1)
        page = 1;
    m_PageSize = std::min(page, m_MaxValue);
    UpdateThumbSize();
}

void CScrollWidget::NotifyChanged()
{
    if (m_Listener)
        m_Listener->OnEvent("value_changed", this);
}

void CScrollWidget::SetSize(float width, float height)
{
    if (m_Vertical && m_Size.X != 0)
        width = m_Size.X;
    else if (!m_Vertical && m_Size.Y != 0)
        height = m_Size.Y;
    CWidget::SetSize(width, height);
    UpdateThumbSize();
}

CVector2 CScrollWidget::GetPreferredSize() const
{
    const CVector2 top = m_TopArrow ? m_TopArrow->GetPreferredSize() : CVector2();
    const CVector2 bottom = m_BottomArrow ? m_BottomArrow->GetPreferredSize() : CVector2();
    const CVector2 thumb = m_Thumb ? m_Thumb->GetPreferredSize() : CVector2();
    CPoint2i trackPixels;
    if (m_Track)
        trackPixels = const_cast<CImageWidget&>(*m_Track).GetImage().GetImageSize();
    const CVector2 track(static_cast<float>(trackPixels.X), static_cast<float>(trackPixels.Y));
    if (m_Vertical)
        return CVector2(std::max({top.X, bottom.X, track.X}), std::max(track.Y, thumb.Y) + top.Y + bottom.Y);
    return CVector2(std::max(track.X, thumb.X) + top.X + bottom.X, std::max({top.Y, bottom.Y, track.Y}));
}

bool CScrollWidget::OnMouseDown(const CPoint2i& point, s32 button, s32 keyFlags, u8 pass)
{
    const s32 thumbState = m_Thumb ? m_Thumb->GetState() : 0;
    if (CWidget::OnMouseDown(point, button, keyFlags, pass)) {
        if (m_Thumb && thumbState != CButtonWidget::StatePressed &&
            m_Thumb->GetState() == CButtonWidget::StatePressed) {
            CGuiSound::Play(m_DragSound);
            m_GrabOffset = Along(point) - GetThumbStart();
        }
        return true;
    }
    if (!m_Track || !m_Track->GetParentQuad().ContainsPoint(static_cast<float>(point.X), static_cast<float>(point.Y)))
        return false;
    CGuiSound::Play(m_PageSound);
    const float direction = GetThumbStart() <= Along(point) ? 1.0f : -1.0f;
    SetValue(m_Value + direction * m_PageSize);
    return true;
}

bool CScrollWidget::OnMouseMove(const CPoint2i& point, s32 keyFlags, u8 pass)
{
    CWidget::OnMouseMove(point, keyFlags, pass);
    // Dragging follows the broadcast pass only, which reaches the bar wherever the pointer is,
    // so one move gives one value change.
    if (pass != 1 || !m_Thumb || m_Thumb->GetState() != CButtonWidget::StatePressed)
        return false;
    const float d = GetTrackLength() - GetThumbLength();
    if (std::fabs(d) < 0.01f)
        return false;
    SetValue((Along(point) - m_GrabOffset - GetTrackStart()) * (m_MaxValue - m_PageSize) / d);
    return true;
}

bool CScrollWidget::OnMouseUp(const CPoint2i& point, s32 button, s32 keyFlags, u8 pass)
{
    const s32 top = m_TopArrow ? m_TopArrow->GetState() : 0;
    const s32 bottom = m_BottomArrow ? m_BottomArrow->GetState() : 0;
    const s32 thumb = m_Thumb ? m_Thumb->GetState() : 0;
    if (!CWidget::OnMouseUp(point, button, keyFlags, pass))
        return false;
    const auto released = [](s32 before, const CButtonWidget::Ptr& part) {
        return part && before == CButtonWidget::StatePressed && part->GetState() != CButtonWidget::StatePressed;
    };
    if (released(top, m_TopArrow)) {
        CGuiSound::Play(m_ButtonSound);
        SetValue(m_Value - m_ButtonStep);
    } else if (released(bottom, m_BottomArrow)) {
        CGuiSound::Play(m_ButtonSound);
        SetValue(m_Value + m_ButtonStep);
    } else if (released(thumb, m_Thumb)) {
        CGuiSound::Play(m_DragSound);
    }
    return true;
}

bool CScrollWidget::OnMouseWheel(const CPoint2i& point, s32 notches, s32 keyFlags, u8 pass)
{
    if (!CWidget::OnMouseWheel(point, notches, keyFlags, pass))
        SetValue(m_Value - static_cast<float>(notches) * m_WheelStep);
    return true;
}

void CScrollWidget::LoadFromTemplate(const lv::core::CSettingsGroup& node,
                                     const lv::core::CSettingsGroup& templates)
{
    const lv::core::CSettingsGroup* t =
        templates.FindChildByAttribute("scroll_template", "id", node.GetAttribute("scroll_template"));
    const auto text = [t](const char* key) { return CFixedString(t ? t->GetAttribute(key).c_str() : ""); };
    m_DragSound = text("sound_on_drag_and_drop");
    m_ButtonSound = text("sound_on_button_press");
    m_PageSound = text("sound_on_set_value");
    if (t && t->HasAttribute("vertical"))
        m_Vertical = t->GetAttribute("vertical") == "true" ? 1 : 0;
    const auto sprite = [&text](const char* key) { return lv::graphics::CSprite(text(key)); };
    BuildParts(sprite("back_image"), sprite("thumb_image"), sprite("top_image"), sprite("bottom_image"));
    float maximum = 0, page = 0, value = 0;
    node.ReadFloat("max_value", maximum);
    node.ReadFloat("page_size", page);
    node.ReadFloat("value", value);
    SetMaxValue(maximum);
    SetPageSize(page);
    SetValue(value);
    node.ReadFloat("mouse_wheel_k", m_WheelStep);
    node.ReadFloat("button_value", m_ButtonStep);
    CWidget::LoadFromTemplate(node, templates);
}

} // namespace lv::gui
