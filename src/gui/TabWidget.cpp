#include "gui/TabWidget.h"

#include "core/SettingsGroup.h"
#include "core/TextConvert.h"

#include <algorithm>
#include <cstring>
#include <strings.h>

namespace lv::gui {

namespace {

// Drawn over every other tab button.
constexpr u32 kSelectedTabLayer = 0xFFFFFFFFu;

} // namespace

CTabWidget::CTabWidget() : CTabWidget(CFixedString(""), 0, 0) {}

CTabWidget::CTabWidget(const CFixedString& name, u32 layer, u32 eventMask) : CWidget(name, layer, eventMask)
{
}

CTabWidget::~CTabWidget() = default;

void CTabWidget::NotifyChanged()
{
    if (m_Listener)
        m_Listener->OnEvent("panel_selected", this);
}

CWidget* CTabWidget::GetPanel(s32 index) const
{
    return index >= 0 && index < GetPanelCount() ? m_Tabs[static_cast<size_t>(index)].second.get() : nullptr;
}

CButtonWidget* CTabWidget::GetTabButton(s32 index) const
{
    return index >= 0 && index < GetPanelCount() ? m_Tabs[static_cast<size_t>(index)].first.get() : nullptr;
}

CWidget* CTabWidget::FindPanel(const CFixedString& name) const
{
    return GetPanel(FindPanelIndex(name));
}

s32 CTabWidget::FindPanelIndex(const CFixedString& name) const
{
    for (size_t i = 0; i < m_Tabs.size(); ++i)
        if (m_Tabs[i].second->GetName() == name)
            return static_cast<s32>(i);
    return -1;
}

void CTabWidget::SelectPanel(s32 index)
{
    if (index < 0 || index >= GetPanelCount() || index == m_SelectedIndex)
        return;
    const CTab& tab = m_Tabs[static_cast<size_t>(index)];
    tab.second->RemoveFlags(Hidden | Disabled);
    tab.first->SetDisabled(true);
    tab.first->SetLayer(kSelectedTabLayer);
    if (m_SelectedIndex >= 0) {
        const CTab& old = m_Tabs[static_cast<size_t>(m_SelectedIndex)];
        old.second->AddFlags(Hidden | Disabled);
        old.first->SetDisabled(false);
        old.first->SetLayer(ButtonLayer(m_SelectedIndex));
    }
    m_SelectedIndex = index;
    NotifyChanged();
}

void CTabWidget::OnEvent(const char* eventName, CBaseWidget* sender)
{
    CWidget::OnEvent(eventName, sender);
    if (!sender || !eventName || strcasecmp(eventName, "pressed") != 0)
        return;
    for (size_t i = 0; i < m_Tabs.size(); ++i)
        if (m_Tabs[i].first.get() == sender) {
            SelectPanel(static_cast<s32>(i));
            return;
        }
}

CVector2 CTabWidget::GetPreferredSize() const
{
    if (m_Tabs.empty())
        return CVector2();
    const CVector2 panel = m_Tabs.back().second->GetSize();
    const CVector2 button = m_Tabs.back().first->GetSize();
    return m_AlignmentLeft ? CVector2(panel.X + button.X, panel.Y) : CVector2(panel.X, panel.Y + button.Y);
}

void CTabWidget::LayoutPanels()
{
    if (m_Tabs.empty())
        return;
    const CVector2 size = GetSize();
    const CButtonWidget& last = *m_Tabs.back().first;
    float w, h;
    if (m_AlignmentLeft) {
        w = size.X - m_TabOffsetBottom;
        h = std::max(size.Y, last.GetPosition().Y + last.GetSize().Y + m_TabOffsetRight);
    } else {
        w = std::max(size.X, last.GetPosition().X + last.GetSize().X + m_TabOffsetRight);
        h = size.Y - m_TabOffsetBottom;
    }
    for (const CTab& tab : m_Tabs) {
        tab.second->ApplyLayout();
        const CVector2 panel = tab.second->GetSize();
        w = std::max(w, panel.X);
        h = std::max(h, panel.Y);
    }
    // Sizing a panel places its layout box's contents again.
    for (const CTab& tab : m_Tabs)
        tab.second->SetSize(w, h);
}

void CTabWidget::LoadFromTemplate(const lv::core::CSettingsGroup& node,
                                  const lv::core::CSettingsGroup& templates)
{
    for (const CTab& tab : m_Tabs) {
        CloseChild(tab.first.get());
        CloseChild(tab.second.get());
    }
    if (m_Background)
        CloseChild(m_Background.get());
    RemoveClosedChildren();
    m_Tabs.clear();
    m_Background.reset();
    m_SelectedIndex = -1;

    const lv::core::CSettingsGroup* t =
        templates.FindChildByAttribute("tab_template", "id", node.GetAttribute("tab_template"));
    const lv::core::CSettingsGroup& tpl = t ? *t : lv::core::CSettingsGroup::EmptyGroup();
    SInsets insets;
    if (const lv::core::CSettingsGroup* group = tpl.FindNamedObject("tab_insets")) {
        group->ReadFloat("left", insets.Left);
        group->ReadFloat("top", insets.Top);
        group->ReadFloat("right", insets.Right);
        group->ReadFloat("bottom", insets.Bottom);
    }
    tpl.ReadFloat("tab_offset_left", m_TabOffsetLeft);
    tpl.ReadFloat("tab_offset_right", m_TabOffsetRight);
    tpl.ReadFloat("tab_offset_bottom", m_TabOffsetBottom);
    float space = 0;
    tpl.ReadFloat("tab_space", space);
    if (tpl.HasAttribute("alignment_left"))
        m_AlignmentLeft = tpl.GetBool("alignment_left") ? 1 : 0;

    std::vector<const lv::core::CSettingsGroup*> elements;
    if (const lv::core::CSettingsGroup* tabs = node.FindNamedObject("tabs"))
        for (const lv::core::CSettingsGroup* e = tabs->FindFirstChild(); e; e = e->FindNextSibling())
            if (std::strcmp(e->GetName().GetText(), "tab") == 0)
                elements.push_back(e);
    const s32 n = static_cast<s32>(elements.size());
    for (s32 i = 0; i < n; ++i) {
        const lv::core::CSettingsGroup& element = *elements[static_cast<size_t>(i)];
        CButtonWidget::Ptr button(
            new CButtonWidget(lv::graphics::CSprite(), nullptr, CFixedString(""), 0, 0));
        button->LoadFromTemplate(tpl, templates);
        button->SetAnchors(AnchorLeft | AnchorTop);
        button->SetText(ToWide(element.GetAttribute("caption")));
        const CVector2 preferred = button->GetPreferredSize();
        button->SetSize(preferred.X, preferred.Y);
        if (i == 0) {
            if (m_AlignmentLeft)
                button->SetPosition(0, m_TabOffsetLeft);
            else
                button->SetPosition(m_TabOffsetLeft, 0);
        } else {
            // A positive space makes neighbouring buttons overlap.
            const CButtonWidget& previous = *m_Tabs.back().first;
            if (m_AlignmentLeft)
                button->SetPosition(0, previous.GetPosition().Y + previous.GetSize().Y - space);
            else
                button->SetPosition(previous.GetPosition().X + previous.GetSize().X - space, 0);
        }
        CWidget::Ptr panel(new CWidget(CFixedString(""), 0, 0));
        panel->LoadFromTemplate(element, templates);
        panel->SetInsets(insets.Left, insets.Right, insets.Top, insets.Bottom);
        const CVector2 buttonSize = button->GetSize();
        if (m_AlignmentLeft)
            panel->SetPosition(buttonSize.X, 0);
        else
            panel->SetPosition(0, buttonSize.Y);
        panel->SetLayer(2);
        button->SetLayer(static_cast<u32>(n + 2 - i));
        m_Tabs.emplace_back(button, panel);
    }
    if (m_AlignmentLeft) {
        float widest = 0;
        for (const CTab& tab : m_Tabs)
            widest = std::max(widest, tab.first->GetSize().X);
        for (const CTab& tab : m_Tabs) {
            tab.first->SetSize(widest, tab.first->GetSize().Y);
            tab.second->SetPosition(widest, 0);
        }
    }
    if (!m_Tabs.empty()) {
        m_Background.reset(
            new CImageWidget(lv::graphics::CSprite(CFixedString(tpl.GetAttribute("back_image").c_str())),
                             CFixedString(""), 0, 0));
        for (const CTab& tab : m_Tabs) {
            tab.second->SetAnchors(AnchorLeft | AnchorRight | AnchorTop | AnchorBottom);
            AddChild(tab.first);
        }
        LayoutPanels();
        const CVector2 preferred = GetPreferredSize();
        SetSize(preferred.X, preferred.Y);
        const CVector2 size = GetSize();
        m_Background->SetLayer(1);
        m_Background->GetImage().SetFlags(lv::graphics::CSprite::kNineSlice |
                                          lv::graphics::CSprite::kWholePixels);
        m_Background->SetAnchors(AnchorLeft | AnchorRight | AnchorTop | AnchorBottom);
        const CVector2 at = m_Tabs.back().second->GetPosition();
        if (m_AlignmentLeft) {
            m_Background->SetPosition(at.X - m_TabOffsetBottom, 0);
            m_Background->SetSize(size.X - at.X + m_TabOffsetBottom, size.Y);
        } else {
            m_Background->SetPosition(0, at.Y - m_TabOffsetBottom);
            m_Background->SetSize(size.X, size.Y - at.Y + m_TabOffsetBottom);
        }
        AddChild(m_Background);
        for (const CTab& tab : m_Tabs) {
            tab.second->AddFlags(Hidden | Disabled);
            AddChild(tab.second);
        }
        SelectPanel(node.GetInt("selected"));
    }
    CWidget::LoadFromTemplate(node, templates);
}

} // namespace lv::gui
