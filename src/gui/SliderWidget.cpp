#include "gui/SliderWidget.h"

#include "core/SettingsGroup.h"
#include "gui/GuiSound.h"

#include <algorithm>

namespace lv::gui {

CSliderWidget::CSliderWidget()
    : CSliderWidget(lv::graphics::CSprite(), lv::graphics::CSprite(), CFixedString(""), 0, 0)
{
}

CSliderWidget::CSliderWidget(const lv::graphics::CSprite& track, const lv::graphics::CSprite& thumb,
                             const CFixedString& name, u32 layer, u32 eventMask)
    : CWidget(name, layer, eventMask | 8 | 64)
{
    BuildParts(track, thumb);
}

CSliderWidget::~CSliderWidget() = default;

void CSliderWidget::BuildParts(const lv::graphics::CSprite& track, const lv::graphics::CSprite& thumb)
{
    for (CImageWidget::Ptr* part : {&m_Track, &m_Thumb}) {
        if (*part)
            CloseChild(part->get());
        part->reset();
    }
    RemoveClosedChildren();
    m_Track.reset(new CImageWidget(track, CFixedString(""), 0, 0));
    m_Track->SetAnchors(AnchorLeft | AnchorRight | AnchorTop | AnchorBottom);
    const CPoint2i trackSize = m_Track->GetImage().GetImageSize();
    m_Thumb.reset(new CImageWidget(thumb, CFixedString(""), 0, 0));
    SetSize(static_cast<float>(trackSize.X), static_cast<float>(trackSize.Y));
    const CVector2 size = GetSize();
    m_Thumb->SetPosition(0, (size.Y - m_Thumb->GetSize().Y) / 2);
    m_Thumb->SetAnchors(AnchorLeft | AnchorTop);
    m_Thumb->GetImage().SetFlags(2);
    m_Track->GetImage().SetFlags(1 | 2);
    m_Track->SetPosition(m_Track->GetPosition().X, (size.Y - m_Track->GetSize().Y) / 2);
    AddChild(m_Track);
    AddChild(m_Thumb);
    PlaceThumb();
}

float CSliderWidget::GetUsableLength() const
{
    const SInsets insets = GetInsets();
    const float thumb = m_Thumb ? m_Thumb->GetSize().X : 0;
    return GetSize().X - insets.Left - insets.Right - thumb;
}

void CSliderWidget::PlaceThumb()
{
    if (!m_Thumb)
        return;
    m_Thumb->SetPosition(GetInsets().Left + GetUsableLength() * m_Value, m_Thumb->GetPosition().Y);
}

void CSliderWidget::SetValue(float value, bool notify)
{
    m_Value = std::clamp(value, 0.0f, 1.0f);
    PlaceThumb();
    if (notify)
        NotifyChanged();
}

void CSliderWidget::NotifyChanged()
{
    if (m_Listener)
        m_Listener->OnEvent("value_changed", this);
}

void CSliderWidget::SetValueFromX(s32 x)
{
    const float usable = GetUsableLength();
    // A thumb as wide as the inner width leaves nothing to slide along.
    if (usable <= 0) {
        SetValue(0, true);
        return;
    }
    const float thumb = m_Thumb ? m_Thumb->GetSize().X : 0;
    const float offset = std::clamp(static_cast<float>(x) - GetInsets().Left - thumb / 2, 0.0f, usable);
    SetValue(offset / usable, true);
}

void CSliderWidget::SetSize(float width, float)
{
    CWidget::SetSize(width, GetPreferredSize().Y);
    PlaceThumb();
}

CVector2 CSliderWidget::GetPreferredSize() const
{
    const CPoint2i track = m_Track ? m_Track->GetImage().GetImageSize() : CPoint2i();
    const CPoint2i thumb = m_Thumb ? m_Thumb->GetImage().GetImageSize() : CPoint2i();
    return CVector2(static_cast<float>(track.X), static_cast<float>(std::max(track.Y, thumb.Y)));
}

bool CSliderWidget::OnMouseDown(const CPoint2i& point, s32 button, s32 keyFlags, u8 pass)
{
    CWidget::OnMouseDown(point, button, keyFlags, pass);
    const auto inside = [&point](const CVector2& at, const CVector2& size) {
        return static_cast<float>(point.X) >= at.X && static_cast<float>(point.X) < at.X + size.X &&
               static_cast<float>(point.Y) >= at.Y && static_cast<float>(point.Y) < at.Y + size.Y;
    };
    if (m_Thumb && inside(m_Thumb->GetPosition(), m_Thumb->GetSize())) {
        m_Dragging = 1;
    } else if (m_Track &&
               inside(CVector2(0, m_Track->GetPosition().Y), CVector2(GetSize().X, m_Track->GetSize().Y))) {
        SetValueFromX(point.X);
    } else {
        return false;
    }
    CGuiSound::Play(m_Sound);
    return true;
}

bool CSliderWidget::OnMouseMove(const CPoint2i& point, s32 keyFlags, u8 pass)
{
    CWidget::OnMouseMove(point, keyFlags, pass);
    if (!m_Dragging)
        return false;
    SetValueFromX(point.X);
    return true;
}

bool CSliderWidget::OnMouseUp(const CPoint2i& point, s32 button, s32 keyFlags, u8 pass)
{
    CWidget::OnMouseUp(point, button, keyFlags, pass);
    if (!m_Dragging)
        return false;
    SetValueFromX(point.X);
    CGuiSound::Play(m_Sound);
    m_Dragging = 0;
    return true;
}

void CSliderWidget::LoadFromTemplate(const lv::core::CSettingsGroup& node,
                                     const lv::core::CSettingsGroup& templates)
{
    const lv::core::CSettingsGroup* t =
        templates.FindChildByAttribute("slider_template", "id", node.GetAttribute("slider_template"));
    if (t) {
        m_Sound = CFixedString(t->GetAttribute("sound").c_str());
        if (const lv::core::CSettingsGroup* insets = t->FindNamedObject("insets")) {
            SInsets in;
            insets->ReadFloat("left", in.Left);
            insets->ReadFloat("top", in.Top);
            insets->ReadFloat("right", in.Right);
            insets->ReadFloat("bottom", in.Bottom);
            SetInsets(in.Left, in.Right, in.Top, in.Bottom);
        }
    }
    const auto sprite = [t](const char* key) {
        return lv::graphics::CSprite(CFixedString(t ? t->GetAttribute(key).c_str() : ""));
    };
    BuildParts(sprite("slider_image"), sprite("thumb_image"));
    float value = 0;
    node.ReadFloat("value", value);
    SetValue(value, true);
    CWidget::LoadFromTemplate(node, templates);
}

} // namespace lv::gui
