#include "gui/ComboBoxWidget.h"

#include "core/SettingsGroup.h"
#include "core/TextConvert.h"
#include "gui/GuiSound.h"

#include <algorithm>
#include <cstring>
#include <strings.h>

namespace lv::gui {

CComboBoxWidget::CComboBoxWidget() : CComboBoxWidget(CFixedString(""), 0, 0) {}

CComboBoxWidget::CComboBoxWidget(const CFixedString& name, u32 layer, u32 eventMask)
    : CWidget(name, layer, eventMask | EvMouseDown)
{
    m_List.reset(new CListWidget(lv::graphics::CSprite(), nullptr, CFixedString(""), 0, 0));
}

CComboBoxWidget::~CComboBoxWidget() = default;

void CComboBoxWidget::NotifyChanged()
{
    if (m_Listener)
        m_Listener->OnEvent("line_selected", this);
}

void CComboBoxWidget::SetText(WStringView text)
{
    if (m_Label)
        m_Label->SetText(text);
    NotifyChanged();
}

void CComboBoxWidget::Clear()
{
    m_List->Clear();
    SetText(u"");
}

void CComboBoxWidget::SelectedLineToLabel()
{
    if (!m_Label)
        return;
    const s32 selected = m_List->GetSelectedIndex();
    m_Label->SetText(selected >= 0 ? m_List->GetString(static_cast<u32>(selected)) : WString());
}

void CComboBoxWidget::SetSelectedIndex(s32 index, bool notify)
{
    m_List->SetSelectedIndex(index, notify);
    if (notify)
        return;
    ShowList(false);
    SelectedLineToLabel();
}

void CComboBoxWidget::ShowList(bool show)
{
    const float width = GetSize().X;
    if (show) {
        m_List->RemoveFlags(Hidden | Disabled);
        SetSize(width, 0);
        m_List->SetPosition(0, ButtonHeight());
        if (m_Listener)
            m_Listener->OnEvent("list_showed", this);
    } else {
        m_List->AddFlags(Hidden | Disabled);
        SetSize(width, 0);
    }
}

void CComboBoxWidget::SetSize(float width, float height)
{
    height = ButtonHeight();
    if (IsListShown())
        height += m_List->GetSize().Y;
    CWidget::SetSize(width, height);
}

CVector2 CComboBoxWidget::GetPreferredSize() const
{
    float width = m_List->GetPreferredSize().X - m_List->GetScrollBarWidth();
    if (m_Background)
        width = std::max(width, static_cast<float>(m_Background->GetImage().GetImageSize().X));
    if (m_Label)
        width = std::max(width, m_Label->GetPreferredSize().X);
    const CVector2 button = m_Button ? m_Button->GetPreferredSize() : CVector2();
    return CVector2(width + button.X, button.Y);
}

void CComboBoxWidget::OnEvent(const char* eventName, CBaseWidget* sender)
{
    CWidget::OnEvent(eventName, sender);
    if (!sender || !eventName)
        return;
    if (sender == m_List.get() && strcasecmp(eventName, "line_selected") == 0) {
        ShowList(false);
        const s32 selected = m_List->GetSelectedIndex();
        SetText(selected >= 0 ? m_List->GetString(static_cast<u32>(selected)) : WString());
    } else if (m_Button && sender == m_Button.get() && strcasecmp(eventName, "pressed") == 0) {
        ShowList(!IsListShown());
    }
}

bool CComboBoxWidget::Inside(const CBaseWidget* part, const CPoint2i& point) const
{
    return part &&
           part->GetParentQuad().ContainsPoint(static_cast<float>(point.X), static_cast<float>(point.Y));
}

bool CComboBoxWidget::OnMouseDown(const CPoint2i& point, s32 button, s32 keyFlags, u8 pass)
{
    const u32 listFlags = m_List->GetFlags();
    bool taken = CWidget::OnMouseDown(point, button, keyFlags, 0);
    const bool onLabel = Inside(m_Label.get(), point);
    const bool onButton = Inside(m_Button.get(), point);
    const bool onList = Inside(m_List.get(), point);
    if (pass == 0 && onLabel) {
        if (!IsListShown()) {
            CGuiSound::Play(m_OpenSound);
            ShowList(true);
        } else {
            ShowList(false);
        }
        taken = true;
    }
    // The list closed itself through OnEvent: a line was chosen.
    if (pass == 0 && m_List->GetFlags() != listFlags && onList && !onButton && !onLabel)
        CGuiSound::Play(m_SelectSound);
    if (!onLabel && !onList && !onButton)
        ShowList(false);
    return taken;
}

void CComboBoxWidget::LoadFromTemplate(const lv::core::CSettingsGroup& node,
                                       const lv::core::CSettingsGroup& templates)
{
    for (CWidget* part : {static_cast<CWidget*>(m_Background.get()), static_cast<CWidget*>(m_Label.get()),
                          static_cast<CWidget*>(m_Button.get()), static_cast<CWidget*>(m_List.get())})
        if (part)
            CloseChild(part);
    RemoveClosedChildren();
    const lv::core::CSettingsGroup* t =
        templates.FindChildByAttribute("combobox_template", "id", node.GetAttribute("combobox_template"));
    const lv::core::CSettingsGroup& tpl = t ? *t : lv::core::CSettingsGroup::EmptyGroup();
    m_OpenSound = CFixedString(tpl.GetAttribute("sound_on_open").c_str());
    m_SelectSound = CFixedString(tpl.GetAttribute("sound_on_select").c_str());

    m_Button.reset(new CButtonWidget(lv::graphics::CSprite(), nullptr, CFixedString(""), 0, 0));
    m_Button->LoadFromTemplate(tpl, templates);

    m_Label.reset(new CLabelWidget());
    m_Label->LoadFromTemplate(tpl, templates);
    SInsets insets;
    if (const lv::core::CSettingsGroup* group = tpl.FindNamedObject("label_insets")) {
        group->ReadFloat("left", insets.Left);
        group->ReadFloat("top", insets.Top);
        group->ReadFloat("right", insets.Right);
        group->ReadFloat("bottom", insets.Bottom);
    }
    m_Label->SetInsets(insets.Left, insets.Right, insets.Top, insets.Bottom);

    m_Background.reset(new CImageWidget(
        lv::graphics::CSprite(CFixedString(tpl.GetAttribute("back_image").c_str())), CFixedString(""), 0, 0));
    m_Background->GetImage().SetFlags(lv::graphics::CSprite::kNineSlice |
                                      lv::graphics::CSprite::kWholePixels);

    // Wheel turns reach the list in the broadcast pass too.
    m_List.reset(new CListWidget(lv::graphics::CSprite(), nullptr, CFixedString(""), 0, EvWheel));
    m_List->LoadFromTemplate(tpl, templates);
    if (node.HasAttribute("list_height"))
        m_List->SetListHeight(node.GetInt("list_height"));
    m_List->AddFlags(Hidden | Disabled);
    m_Label->SetColor(m_List->GetLineColor(CListWidget::ColorNormal));
    if (const lv::core::CSettingsGroup* strings = node.FindNamedObject("strings"))
        for (const lv::core::CSettingsGroup* s = strings->FindFirstChild(); s; s = s->FindNextSibling())
            if (std::strcmp(s->GetName().GetText(), "string") == 0)
                m_List->AddString(ToWide(s->GetAttribute("text")));

    const CVector2 preferred = GetPreferredSize();
    SetSize(preferred.X, preferred.Y);
    const CVector2 size = GetSize();
    const float buttonWidth = m_Button->GetSize().X;
    m_Label->SetSize(size.X - buttonWidth, size.Y);
    m_Label->SetAnchors(AnchorLeft | AnchorRight | AnchorTop);
    m_Background->SetSize(m_Label->GetSize().X, size.Y);
    m_Background->SetAnchors(AnchorLeft | AnchorRight | AnchorTop);
    m_Button->SetPosition(m_Label->GetSize().X, 0);
    m_Button->SetAnchors(AnchorRight | AnchorTop);
    m_List->SetSize(size.X - buttonWidth + m_List->GetScrollBarWidth(), m_List->GetPreferredSize().Y);
    m_List->SetAnchors(AnchorLeft | AnchorRight | AnchorTop);

    AddChild(m_Background);
    AddChild(m_Label);
    AddChild(m_Button);
    AddChild(m_List);
    SetSelectedIndex(node.GetInt("selected"), true);
    CWidget::LoadFromTemplate(node, templates);
}

} // namespace lv::gui
