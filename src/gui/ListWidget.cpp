#include "gui/ListWidget.h"

#include "core/SettingsGroup.h"
#include "core/TextConvert.h"
#include "graphics/Font.h"
#include "graphics/FontManager.h"
#include "graphics/Renderer.h"
#include "gui/GuiSound.h"

#include <algorithm>
#include <cstring>
#include <strings.h>

namespace lv::gui {

CListWidget::CListWidget() : CListWidget(lv::graphics::CSprite(), nullptr, CFixedString(""), 0, 0) {}

CListWidget::CListWidget(const lv::graphics::CSprite& background, const lv::graphics::CFont* font,
                         const CFixedString& name, u32 layer, u32 eventMask)
    : CWidget(name, layer, eventMask | EvMouseMove | EvMouseUp), m_Font(font)
{
    m_Background.reset(new CImageWidget(background, CFixedString(""), 0, 0));
    const CVector2 size = m_Background->GetSize();
    SetSize(size.X, size.Y);
    m_Background->GetImage().SetFlags(1 | 2);
    m_Background->SetAnchors(AnchorLeft | AnchorRight | AnchorTop | AnchorBottom);
    AddChild(m_Background);
}

CListWidget::~CListWidget() = default;

float CListWidget::GetLineHeight() const
{
    if (!m_Font)
        return 0;
    return static_cast<float>(m_Font->pixelHeight) + m_LabelInsets.Top + m_LabelInsets.Bottom;
}

void CListWidget::AddString(WStringView text)
{
    if (!m_Font)
        return;
    CLabelWidget::Ptr line(new CLabelWidget(m_Font, text, CFixedString(""), 0, 0));
    line->SetAlignment(m_HorizontalJustification, m_VerticalJustification);
    m_Lines.push_back(line);
    if (m_ScrollBar)
        UpdateScrollBar();
    else
        LayoutLines();
}

void CListWidget::RemoveString(u32 index)
{
    if (index >= m_Lines.size())
        return;
    const s32 removed = static_cast<s32>(index);
    // The hovered line, or any after it, would be gone or shifted: the next move finds it again.
    if (m_HoveredIndex >= removed)
        ClearHover();
    m_Lines.erase(m_Lines.begin() + removed);
    if (m_SelectedIndex == removed)
        SetSelectedIndex(-1, true);
    else if (m_SelectedIndex > removed)
        SetSelectedIndex(m_SelectedIndex - 1, true);
    UpdateScrollBar();
    LayoutLines();
}

void CListWidget::Clear()
{
    ClearHover();
    m_Lines.clear();
    m_SelectedIndex = -1;
    UpdateScrollBar();
}

WString CListWidget::GetString(u32 index) const
{
    return index < m_Lines.size() ? m_Lines[index]->GetText() : WString();
}

void CListWidget::SetString(u32 index, WStringView text)
{
    if (index < m_Lines.size())
        m_Lines[index]->SetText(text);
}

s32 CListWidget::FindString(WStringView text) const
{
    for (size_t i = 0; i < m_Lines.size(); ++i)
        if (m_Lines[i]->GetText() == text)
            return static_cast<s32>(i);
    return -1;
}

void CListWidget::SetSelectedIndex(s32 index, bool notify)
{
    if (index < -1 || index >= static_cast<s32>(m_Lines.size()))
        return;
    m_SelectedIndex = index;
    UpdateLineColors();
    if (notify)
        NotifyChanged();
}

void CListWidget::NotifyChanged()
{
    if (m_Listener)
        m_Listener->OnEvent("line_selected", this);
}

void CListWidget::SetJustification(s32 horizontal, s32 vertical)
{
    m_HorizontalJustification = horizontal;
    m_VerticalJustification = vertical;
    for (const CLabelWidget::Ptr& line : m_Lines)
        line->SetAlignment(horizontal, vertical);
}

CColor CListWidget::GetLineColor(s32 key) const
{
    const auto it = m_Colors.find(key);
    // Never set: fully transparent, as a template without the colour gives.
    return it == m_Colors.end() ? CColor(0u) : it->second;
}

float CListWidget::GetHeightForLines(s32 lines) const
{
    if (!m_Font)
        return 0;
    const SInsets insets = GetInsets();
    return insets.Top + insets.Bottom + static_cast<float>(lines) * GetLineHeight();
}

float CListWidget::GetScrollBarWidth() const
{
    return m_ScrollBar ? m_ScrollBar->GetSize().X : 0;
}

void CListWidget::SetScrollPosition(s32 firstLine)
{
    if (m_ScrollBar && !(m_ScrollBar->GetFlags() & Disabled))
        m_ScrollBar->SetValue(static_cast<float>(firstLine));
}

s32 CListWidget::GetScrollPosition() const
{
    if (!m_ScrollBar || (m_ScrollBar->GetFlags() & Disabled))
        return 0;
    return static_cast<s32>(m_ScrollBar->GetValue());
}

void CListWidget::LayoutLines()
{
    if (!m_Font)
        return;
    const SInsets insets = GetInsets();
    const float lineHeight = GetLineHeight();
    const float width = m_Background ? m_Background->GetSize().X : 0;
    for (size_t i = 0; i < m_Lines.size(); ++i) {
        CLabelWidget& line = *m_Lines[i];
        line.SetInsets(m_LabelInsets.Left + insets.Left, m_LabelInsets.Right + insets.Right, m_LabelInsets.Top,
                       m_LabelInsets.Bottom);
        line.SetSize(width, lineHeight);
        line.SetPosition(0, insets.Top + static_cast<float>(i) * lineHeight - m_ScrollOffset);
    }
}

void CListWidget::UpdateScrollBar()
{
    if (!m_ScrollBar || !m_Font)
        return;
    const SInsets insets = GetInsets();
    const float lineHeight = GetLineHeight();
    const float visible = lineHeight > 0 ? (GetSize().Y - insets.Top - insets.Bottom) / lineHeight : 0;
    const float count = static_cast<float>(m_Lines.size());
    if (m_Lines.empty()) {
        m_ScrollOffset = 0;
        m_ScrollBar->SetValue(0);
        m_ScrollBar->SetMaxValue(0);
    }
    const float backgroundHeight = m_Background ? m_Background->GetSize().Y : 0;
    if (visible > count) {
        m_ScrollBar->AddFlags(Hidden | Disabled);
        if (m_Background)
            m_Background->SetSize(GetSize().X, backgroundHeight);
    } else {
        if (m_Background)
            m_Background->SetSize(GetSize().X - m_ScrollBar->GetSize().X, backgroundHeight);
        m_ScrollBar->RemoveFlags(Hidden | Disabled);
        m_ScrollBar->SetMaxValue(count);
        m_ScrollBar->SetPageSize(static_cast<float>(static_cast<s32>(visible)));
    }
    LayoutLines();
}

void CListWidget::UpdateLineColors()
{
    for (size_t i = 0; i < m_Lines.size(); ++i) {
        const s32 index = static_cast<s32>(i);
        const s32 key = index == m_HoveredIndex ? ColorOver : index == m_SelectedIndex ? ColorSelected : ColorNormal;
        m_Lines[i]->SetColor(GetLineColor(key));
    }
}

void CListWidget::ClearHover()
{
    if (m_HoveredIndex >= 0 && m_HoveredIndex < static_cast<s32>(m_Lines.size()))
        m_Lines[static_cast<size_t>(m_HoveredIndex)]->SetColor(GetLineColor(ColorNormal));
    m_HoveredIndex = -1;
}

void CListWidget::OnEvent(const char* eventName, CBaseWidget* sender)
{
    CWidget::OnEvent(eventName, sender);
    if (sender && sender == m_ScrollBar.get() && eventName && strcasecmp(eventName, "value_changed") == 0 &&
        m_Font) {
        m_ScrollOffset = std::max(0.0f, m_ScrollBar->GetValue() * GetLineHeight());
        LayoutLines();
    }
}

s32 CListWidget::LineAt(const CPoint2i& point) const
{
    const SInsets insets = GetInsets();
    const float x = static_cast<float>(point.X) - insets.Left, y = static_cast<float>(point.Y) - insets.Top;
    for (size_t i = 0; i < m_Lines.size(); ++i)
        if (m_Lines[i]->GetParentQuad().ContainsPoint(x, y))
            return static_cast<s32>(i);
    return -1;
}

bool CListWidget::OnMouseDown(const CPoint2i& point, s32 button, s32 keyFlags, u8 pass)
{
    if (CWidget::OnMouseDown(point, button, keyFlags, pass))
        return true;
    if (ScrollBarShown() && m_Background && static_cast<float>(point.X) >= m_Background->GetSize().X)
        return false;
    const s32 hit = LineAt(point);
    if (hit >= 0) {
        CGuiSound::Play(m_SelectSound);
        SetSelectedIndex(hit, true);
    }
    UpdateLineColors();
    return true;
}

bool CListWidget::OnMouseMove(const CPoint2i& point, s32 keyFlags, u8 pass)
{
    const bool taken = CWidget::OnMouseMove(point, keyFlags, pass);
    m_HoveredIndex = -1;
    m_HoveredIndex = LineAt(point);
    UpdateLineColors();
    return pass != 1 || taken;
}

bool CListWidget::OnMouseWheel(const CPoint2i& point, s32 notches, s32 keyFlags, u8 pass)
{
    if (CWidget::OnMouseWheel(point, notches, keyFlags, pass))
        return true;
    if (!m_ScrollBar)
        return false;
    m_ScrollBar->OnMouseWheel(point, notches, keyFlags, pass);
    return true;
}

void CListWidget::Draw(lv::graphics::CRenderer& renderer)
{
    CWidget::Draw(renderer);
    const SInsets insets = GetInsets();
    const CVector2 size = GetSize();
    float right = size.X - insets.Right;
    if (ScrollBarShown())
        right -= m_ScrollBar->GetPreferredSize().X;
    CQuad content(insets.Left, insets.Top, right - insets.Left, size.Y - insets.Bottom - insets.Top);
    renderer.IntersectClip(content);
    if (m_SelectedIndex >= 0 && m_SelectedIndex < static_cast<s32>(m_Lines.size())) {
        CQuad band = m_Lines[static_cast<size_t>(m_SelectedIndex)]->GetParentQuad();
        for (CVector2& corner : band.Corners)
            corner.X += insets.Left;
        renderer.FillQuad(band, GetLineColor(ColorSelection));
    }
    for (const CLabelWidget::Ptr& line : m_Lines)
        line->Render(renderer);
}

CVector2 CListWidget::GetPreferredSize() const
{
    const SInsets insets = GetInsets();
    float widest = 0;
    for (const CLabelWidget::Ptr& line : m_Lines)
        widest = std::max(widest, line->GetPreferredSize().X);
    const CVector2 bar = m_ScrollBar ? m_ScrollBar->GetPreferredSize() : CVector2();
    CPoint2i image;
    if (m_Background)
        image = const_cast<CImageWidget&>(*m_Background).GetImage().GetImageSize();
    CVector2 size(std::max(widest + bar.X + insets.Left + insets.Right, static_cast<float>(image.X)),
                  std::max(bar.Y, static_cast<float>(image.Y)));
    if (m_Font)
        size.Y = std::max(size.Y, static_cast<float>(m_ListHeight) * GetLineHeight() + insets.Top + insets.Bottom);
    return size;
}

void CListWidget::SetSize(float width, float height)
{
    CWidget::SetSize(width, height);
    LayoutLines();
    UpdateScrollBar();
}

void CListWidget::LoadFromTemplate(const lv::core::CSettingsGroup& node,
                                   const lv::core::CSettingsGroup& templates)
{
    const lv::core::CSettingsGroup* t =
        templates.FindChildByAttribute("list_template", "id", node.GetAttribute("list_template"));
    const lv::core::CSettingsGroup& tpl = t ? *t : lv::core::CSettingsGroup::EmptyGroup();
    m_SelectSound = CFixedString(tpl.GetAttribute("sound_on_select").c_str());
    const auto readInsets = [&tpl](const char* name, SInsets& out) {
        if (const lv::core::CSettingsGroup* group = tpl.FindNamedObject(name)) {
            group->ReadFloat("left", out.Left);
            group->ReadFloat("top", out.Top);
            group->ReadFloat("right", out.Right);
            group->ReadFloat("bottom", out.Bottom);
        }
    };
    SInsets insets;
    readInsets("insets", insets);
    SetInsets(insets.Left, insets.Right, insets.Top, insets.Bottom);
    readInsets("label_insets", m_LabelInsets);
    const char* colorNames[4] = {"color_text_normal", "color_text_selected", "color_text_over", "color_selection"};
    for (s32 key = 0; key < 4; ++key) {
        CColor color(0u);
        tpl.ReadColor(colorNames[key], color);
        m_Colors[key] = color;
    }
    m_Font = nullptr;
    if (lv::core::CFontManager* fonts = lv::core::CFontManager::Instance())
        m_Font = fonts->FindFont(tpl.GetAttribute("font").c_str());
    if (node.HasAttribute("list_height"))
        SetListHeight(node.GetInt("list_height"));
    const std::string& justification = tpl.GetAttribute("justification");
    if (justification.find("left") != std::string::npos)
        m_HorizontalJustification = -1;
    else if (justification.find("right") != std::string::npos)
        m_HorizontalJustification = 1;
    else if (justification.find("center") != std::string::npos)
        m_HorizontalJustification = 0;
    if (justification.find("top") != std::string::npos)
        m_VerticalJustification = -1;
    else if (justification.find("bottom") != std::string::npos)
        m_VerticalJustification = 1;
    else if (justification.find("center") != std::string::npos)
        m_VerticalJustification = 0;
    if (m_ScrollBar)
        CloseChild(m_ScrollBar.get());
    m_ScrollBar.reset();
    if (!tpl.GetAttribute("scroll_template").empty()) {
        m_ScrollBar.reset(new CScrollWidget());
        m_ScrollBar->LoadFromTemplate(tpl, templates);
        m_ScrollBar->AddFlags(Hidden | Disabled);
        m_ScrollBar->SetWheelStep(1);
        if (m_Font)
            m_ScrollBar->SetButtonStep(1);
    }
    ClearHover();
    m_Lines.clear();
    m_SelectedIndex = -1;
    if (const lv::core::CSettingsGroup* strings = node.FindNamedObject("strings"))
        for (const lv::core::CSettingsGroup* s = strings->FindFirstChild(); s; s = s->FindNextSibling())
            if (std::strcmp(s->GetName().GetText(), "string") == 0)
                AddString(ToWide(s->GetAttribute("text")));
    if (m_Background)
        CloseChild(m_Background.get());
    RemoveClosedChildren();
    m_Background.reset(new CImageWidget(lv::graphics::CSprite(CFixedString(tpl.GetAttribute("background").c_str())),
                                        CFixedString(""), 0, 0));
    const CVector2 preferred = GetPreferredSize();
    SetSize(preferred.X, preferred.Y);
    const CVector2 size = GetSize();
    m_Background->GetImage().SetFlags(1 | 2);
    m_Background->SetAnchors(AnchorLeft | AnchorRight | AnchorTop | AnchorBottom);
    m_Background->SetSize(size.X - GetScrollBarWidth(), size.Y);
    AddChild(m_Background);
    if (m_ScrollBar) {
        m_ScrollBar->SetValue(0);
        m_ScrollBar->SetAnchors(AnchorRight | AnchorTop | AnchorBottom);
        m_ScrollBar->SetPosition(m_Background->GetSize().X, 0);
        m_ScrollBar->SetSize(0, size.Y);
        AddChild(m_ScrollBar);
        UpdateScrollBar();
    }
    SetSelectedIndex(node.GetInt("selected"), true);
    CWidget::LoadFromTemplate(node, templates);
}

} // namespace lv::gui
