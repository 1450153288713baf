#include "gui/CheckboxWidget.h"

#include "core/SettingsGroup.h"
#include "core/TextConvert.h"
#include "core/TimeSystem.h"
#include "core/Timer.h"
#include "graphics/FontManager.h"
#include "gui/GuiSound.h"

#include <algorithm>

namespace lv::gui {

namespace {

void SetAlpha(CImageWidget* image, s32 alpha)
{
    if (!image)
        return;
    CColor color = image->GetColor();
    color.A = static_cast<s16>(alpha);
    image->SetColor(color);
}

void ShowImage(CImageWidget* image, bool show)
{
    if (!image)
        return;
    if (show)
        image->RemoveFlags(CBaseWidget::Hidden);
    else
        image->AddFlags(CBaseWidget::Hidden);
}

} // namespace

CCheckboxWidget::CCheckboxWidget()
    : CCheckboxWidget(lv::graphics::CSprite(), lv::graphics::CSprite(), nullptr, WStringView(),
                      CFixedString(""), 0, 0)
{
}

CCheckboxWidget::CCheckboxWidget(const lv::graphics::CSprite& box, const lv::graphics::CSprite& check,
                                 const lv::graphics::CFont* font, WStringView text, const CFixedString& name,
                                 u32 layer, u32 eventMask)
    : CWidget(name, layer, eventMask | 8)
{
    m_Box.reset(new CImageWidget(box, CFixedString(""), 0, 0));
    m_Check.reset(new CImageWidget(check, CFixedString(""), 0, 0));
    m_Label.reset(new CLabelWidget(font, text, CFixedString(""), 0, 0));
    m_CheckTimer.Assign(lv::core::CTimeSystem::Instance().CreateTimer(nullptr));
    m_CheckTimer->Pause(true);
    m_CheckTimer->SetSpeed(-1);
    Layout();
    AddChild(m_Label);
    AddChild(m_Box);
    AddChild(m_Check);
    SetAlpha(m_Check.get(), 0);
    SetChecked(false, true);
}

CCheckboxWidget::~CCheckboxWidget() = default;

void CCheckboxWidget::Layout()
{
    if (!m_Box || !m_Label)
        return;
    const CVector2 box = m_Box->GetSize();
    const float labelWidth = m_Label->GetPreferredSize().X;
    m_Label->SetSize(labelWidth, box.Y);
    if (m_TextPosition == 0) {
        m_Label->SetPosition(0, 0);
        m_Box->SetPosition(labelWidth + m_Indent, 0);
    } else {
        m_Box->SetPosition(0, 0);
        m_Label->SetPosition(box.X + m_Indent, 0);
    }
    const CVector2 at = m_Box->GetPosition();
    if (m_Check) {
        const CVector2 check = m_Check->GetSize();
        m_Check->SetPosition(at.X + (box.X - check.X) / 2, at.Y + (box.Y - check.Y) / 2);
        if (m_GreyCheck)
            m_GreyCheck->SetPosition(m_Check->GetPosition().X, m_Check->GetPosition().Y);
    }
    if (m_GreyBox)
        m_GreyBox->SetPosition(at.X, at.Y);
    SetSize(labelWidth + box.X + m_Indent, box.Y);
}

CVector2 CCheckboxWidget::GetPreferredSize() const
{
    if (!m_Box)
        return CVector2();
    const CPoint2i image = m_Box->GetImage().GetImageSize();
    const float label = m_Label ? m_Label->GetSize().X : 0;
    return CVector2(static_cast<float>(image.X) + label, static_cast<float>(image.Y));
}

void CCheckboxWidget::SetChecked(bool checked, bool notify)
{
    ShowImage(m_Check.get(), true);
    ShowImage(m_GreyBox.get(), false);
    ShowImage(m_GreyCheck.get(), false);
    CImageWidget* mark = (GetFlags() & Disabled) ? m_GreyCheck.get() : m_Check.get();
    if (m_CheckTime > 0) {
        if (m_CheckTimer)
            m_CheckTimer->SetSpeed(checked ? 1.0f : -1.0f);
    } else {
        // Without a fade the mark shows at once, whatever alpha an earlier fade left.
        ShowImage(mark, checked);
        if (checked)
            SetAlpha(mark, 255);
    }
    m_Checked = checked ? 1 : 0;
    if (notify)
        NotifyChanged();
}

void CCheckboxWidget::NotifyChanged()
{
    if (m_Listener)
        m_Listener->OnEvent("check_changed", this);
}

void CCheckboxWidget::Update()
{
    CWidget::Update();
    if (m_CheckTime <= 0 || !m_CheckTimer)
        return;
    const s32 time = std::clamp(m_CheckTimer->GetTime(), 0, m_CheckTime);
    m_CheckTimer->SetTime(time);
    SetAlpha(m_Check.get(),
             static_cast<s32>(static_cast<float>(time) / static_cast<float>(m_CheckTime) * 255));
}

void CCheckboxWidget::Draw(lv::graphics::CRenderer& renderer)
{
    const bool disabled = (GetFlags() & Disabled) != 0;
    CImageWidget* normal = m_Checked ? m_Check.get() : m_Box.get();
    CImageWidget* grey = m_Checked ? m_GreyCheck.get() : m_GreyBox.get();
    CImageWidget* show = disabled ? grey : normal;
    CImageWidget* hide = disabled ? normal : grey;
    // The other image goes too: a value set while disabled may have shown both.
    if (show && show->GetImage().GetImage()) {
        ShowImage(show, true);
        ShowImage(hide, false);
    }
    CWidget::Draw(renderer);
}

bool CCheckboxWidget::OnMouseMove(const CPoint2i& point, s32 keyFlags, u8 pass)
{
    CWidget::OnMouseMove(point, keyFlags, pass);
    const CVector2 size = GetSize();
    if (pass == 1 && (point.X < 0 || point.Y < 0 || static_cast<float>(point.X) >= size.X ||
                      static_cast<float>(point.Y) >= size.Y)) {
        if (m_Over && m_Listener)
            m_Listener->OnEvent("lost_over", this);
        m_Over = 0;
        return false;
    }
    if (m_Over)
        return true;
    m_Over = 1;
    if (m_Listener)
        m_Listener->OnEvent("overed", this);
    return true;
}

bool CCheckboxWidget::OnMouseDown(const CPoint2i&, s32, s32, u8 pass)
{
    if (pass == 1)
        return false;
    SetChecked(!IsChecked(), true);
    CGuiSound::Play(m_CheckSound);
    CGuiSound::Play(IsChecked() ? m_CheckTrueSound : m_CheckFalseSound);
    return true;
}

void CCheckboxWidget::LoadFromTemplate(const lv::core::CSettingsGroup& node,
                                       const lv::core::CSettingsGroup& templates)
{
    for (CBaseWidget* part :
         {static_cast<CBaseWidget*>(m_Label.get()), static_cast<CBaseWidget*>(m_Box.get()),
          static_cast<CBaseWidget*>(m_Check.get()), static_cast<CBaseWidget*>(m_GreyBox.get()),
          static_cast<CBaseWidget*>(m_GreyCheck.get())})
        if (part)
            CloseChild(part);
    RemoveClosedChildren();

    const lv::core::CSettingsGroup* t =
        templates.FindChildByAttribute("checkbox_template", "id", node.GetAttribute("checkbox_template"));
    const auto text = [t](const char* key) { return CFixedString(t ? t->GetAttribute(key).c_str() : ""); };
    const auto image = [&](const char* key) {
        return CImageWidget::Ptr(new CImageWidget(lv::graphics::CSprite(text(key)), CFixedString(""), 0, 0));
    };
    m_Box = image("box_image");
    m_Check = image("check_image");
    m_GreyBox = image("gray_box_image");
    m_GreyCheck = image("gray_check_image");
    if (t)
        t->ReadFloat("indent", m_Indent);
    m_CheckSound = text("sound_on_check");
    m_CheckTrueSound = text("sound_on_check_true");
    m_CheckFalseSound = text("sound_on_check_false");

    const lv::graphics::CFont* font =
        t && t->HasAttribute("font")
            ? lv::core::CFontManager::Instance()->FindFont(t->GetAttribute("font").c_str())
            : nullptr;
    m_Label.reset(new CLabelWidget(font, ToWide(node.GetAttribute("text")), CFixedString(""), 0, 0));
    m_Label->SetAlignment(-1, 0);

    const std::string& location = t ? t->GetAttribute("text_loc") : node.GetAttribute("");
    if (location == "left")
        m_TextPosition = 0;
    else if (location == "right")
        m_TextPosition = 1;
    Layout();

    float checkTime = 0;
    if (t)
        t->ReadFloat("check_time", checkTime);
    m_CheckTime = static_cast<s32>(checkTime);
    if (m_CheckTime != 0 && m_CheckTimer && m_CheckTimer->IsPaused())
        m_CheckTimer->Pause(false);

    AddChild(m_Label);
    AddChild(m_Box);
    AddChild(m_Check);
    AddChild(m_GreyCheck);
    AddChild(m_GreyBox);
    SetChecked(node.GetBool("checked"), true);
    CWidget::LoadFromTemplate(node, templates);
}

} // namespace lv::gui
