#include "gui/EditWidget.h"

#include "core/SettingsGroup.h"
#include "core/TextConvert.h"
#include "graphics/Font.h"
#include "graphics/FontManager.h"
#include "graphics/Renderer.h"
#include "graphics/TextRender.h"
#include "gui/CursorManager.h"
#include "gui/InputDispatcher.h"
#include "gui/TextLocale.h"

#include <algorithm>
#include <cmath>
#include <strings.h>

namespace lv::gui {

namespace {

constexpr WChar kLineBreak = u'\n';

bool IsWordBreak(WChar c)
{
    return c == u' ' || CTextLocale::IsPunct(static_cast<u16>(c));
}

} // namespace

CEditWidget::CEditWidget()
    : CEditWidget(lv::graphics::CSprite(), lv::graphics::CSprite(), WStringView(), nullptr, SInsets(),
                  CFixedString(""), 0, 0)
{
}

CEditWidget::CEditWidget(const lv::graphics::CSprite& background, const lv::graphics::CSprite& caret,
                         WStringView text, const lv::graphics::CFont* font, const SInsets& insets,
                         const CFixedString& name, u32 layer, u32 eventMask)
    : CWidget(name, layer, eventMask | EvMouseMove | EvMouseUp), m_Font(font), m_Text(text), m_TextInsets(insets)
{
    m_Background.reset(new CImageWidget(background, CFixedString(""), 0, 0));
    m_CaretImage.reset(new CImageWidget(caret, CFixedString(""), 0, 0));
    const CVector2 size = m_Background->GetSize();
    FitSize(size.X, size.Y);
    m_Background->GetImage().SetFlags(1 | 2);
    m_Background->SetPosition(0, 0);
    m_Background->SetAnchors(AnchorLeft | AnchorRight | AnchorTop | AnchorBottom);
    AddChild(m_Background);
    AddChild(m_CaretImage);
    SetCaret(0, false);
    m_CaretImage->AddFlags(Hidden);
}

CEditWidget::~CEditWidget() = default;

void CEditWidget::FitSize(float width, float height)
{
    if (m_Font) {
        CPoint2i text;
        if (!m_Text.empty()) {
            lv::graphics::CTextRender measure;
            const CIntRect box(0, 0, 100000, 100000);
            measure.MeasureText(m_Font, m_Text.c_str(), &box, 0x20 | 0x100, static_cast<u32>(m_Text.size()), &text);
        }
        width = std::max(width, static_cast<float>(text.X) + m_TextInsets.Left + m_TextInsets.Right);
        height = std::max(height, static_cast<float>(m_Font->pixelHeight) + m_TextInsets.Top + m_TextInsets.Bottom);
    }
    SetSize(width, height);
}

void CEditWidget::SetColors(const CColor& text, const CColor& selectedText, const CColor& selection)
{
    m_TextColor = text;
    m_SelectedTextColor = selectedText;
    m_SelectionColor = selection;
}

void CEditWidget::SetMultiLine(bool multiLine)
{
    m_MultiLine = multiLine ? 1 : 0;
    m_VerticalFlags = multiLine ? 0x100 : 0x200;
}

CIntRect CEditWidget::GetTextRect() const
{
    const CVector2 size = GetSize();
    const float h = m_HorizontalScroll ? m_HorizontalScroll->GetValue() : 0;
    const float v = m_VerticalScroll ? m_VerticalScroll->GetValue() : 0;
    const float barWidth = m_VerticalScroll ? m_VerticalScroll->GetSize().X : 0;
    const float barHeight = m_HorizontalScroll ? m_HorizontalScroll->GetSize().Y : 0;
    return CIntRect(static_cast<s32>(m_TextInsets.Left - h), static_cast<s32>(m_TextInsets.Top - v),
                    static_cast<s32>(size.X - m_TextInsets.Left - m_TextInsets.Right - barWidth),
                    static_cast<s32>(size.Y - m_TextInsets.Top - m_TextInsets.Bottom - barHeight));
}

CIntRect CEditWidget::ReferenceRect() const
{
    const CIntRect area = GetTextRect();
    const CIntRect box(0, 0, area.Width, area.Height);
    lv::graphics::CTextRender measure;
    CIntRect out;
    if (m_Text.empty()) {
        measure.GetCharRect(m_Font, u" ", &box, TextFlags(), 1, 0, &out);
        return out;
    }
    const s32 length = static_cast<s32>(m_Text.size());
    s32 index = 0;
    if (m_Caret > 0) {
        index = m_Caret - 1;
        if (m_Text[static_cast<size_t>(index)] == kLineBreak)
            index = m_Caret;
    }
    if (index >= length) {
        // At the very end after a line break: measured as the start of one more line.
        const WString longer = m_Text + kLineBreak;
        measure.GetCharRect(m_Font, longer.c_str(), &box, TextFlags(), static_cast<u32>(longer.size()), index, &out);
        return out;
    }
    measure.GetCharRect(m_Font, m_Text.c_str(), &box, TextFlags(), static_cast<u32>(length), index, &out);
    return out;
}

void CEditWidget::SetCaret(s32 position, bool scroll)
{
    m_Caret = std::clamp(position, 0, static_cast<s32>(m_Text.size()));
    if (!m_CaretImage)
        return;
    if (!m_Font) {
        m_CaretImage->SetPosition(0, 0);
        return;
    }
    CIntRect r = ReferenceRect();
    const CVector2 caretSize = m_CaretImage->GetSize();
    if (m_Text.empty()) {
        const CIntRect area = GetTextRect();
        m_CaretImage->SetPosition(static_cast<float>(area.X + r.X) - caretSize.X / 2,
                                  static_cast<float>(area.Y + r.Y) + static_cast<float>(r.Height) / 2 - caretSize.Y / 2);
        return;
    }
    if (scroll) {
        const CIntRect area = GetTextRect();
        const auto follow = [this](CScrollWidget* bar, s32 start, s32 extent, s32 visible) {
            if (!bar)
                return;
            const float value = bar->GetValue();
            const float shown = static_cast<float>(start) - value;
            if (m_Caret == 0)
                bar->SetValue(0);
            else if (shown < 0)
                bar->SetValue(value + shown);
            else if (shown + static_cast<float>(extent) > static_cast<float>(visible))
                bar->SetValue(value + shown + static_cast<float>(extent) - static_cast<float>(visible));
        };
        follow(m_HorizontalScroll.get(), r.X, r.Width, area.Width);
        follow(m_VerticalScroll.get(), r.Y, r.Height, area.Height);
        r = ReferenceRect();
    }
    const CIntRect area = GetTextRect();
    const bool lineStart = m_Caret > 0 && m_Text[static_cast<size_t>(m_Caret - 1)] == kLineBreak;
    const float x = static_cast<float>(area.X + r.X + (m_Caret > 0 && !lineStart ? r.Width : 0));
    const float y = static_cast<float>(area.Y + r.Y) + static_cast<float>(r.Height) / 2;
    m_CaretImage->SetPosition(x - caretSize.X / 2, y - caretSize.Y / 2);
}

s32 CEditWidget::HitIndex(const CPoint2i& point) const
{
    if (!m_Font || m_Text.empty())
        return 0;
    const CIntRect area = GetTextRect();
    const CIntRect box(0, 0, area.Width, area.Height);
    const CVector2 local(static_cast<float>(point.X - area.X), static_cast<float>(point.Y - area.Y));
    lv::graphics::CTextRender measure;
    s32 index = -1;
    bool left = false, upper = false;
    if (!measure.HitTest(m_Font, m_Text.c_str(), &box, TextFlags(), static_cast<u32>(m_Text.size()), &local, false,
                         &index, &left, &upper) ||
        index < 0)
        return 0;
    if (left)
        return index;
    if (m_MultiLine && m_Text[static_cast<size_t>(index)] == kLineBreak)
        return index;
    return index + 1;
}

void CEditWidget::SetSelection(s32 start, s32 end)
{
    const s32 length = static_cast<s32>(m_Text.size());
    start = std::clamp(start, 0, length);
    end = std::clamp(end, 0, length);
    if (end < start)
        std::swap(start, end);
    m_SelectionStart = start;
    m_SelectionEnd = end;
    if (m_Caret != start && m_Caret != end)
        SetCaret(end, true);
}

void CEditWidget::SetText(WStringView text)
{
    m_Text = WString(text);
    if (m_MaxChars > 0 && static_cast<s32>(m_Text.size()) > m_MaxChars)
        m_Text.resize(static_cast<size_t>(m_MaxChars));
    m_History.Push(m_Text);
    m_Caret = static_cast<s32>(m_Text.size());
    ApplyTextChange();
}

void CEditWidget::SetTextKeepCaret(WStringView text)
{
    m_Text = WString(text);
    if (m_MaxChars > 0 && static_cast<s32>(m_Text.size()) > m_MaxChars)
        m_Text.resize(static_cast<size_t>(m_MaxChars));
    m_History.Push(m_Text);
    const s32 length = static_cast<s32>(m_Text.size());
    m_SelectionStart = std::min(m_SelectionStart, length);
    m_SelectionEnd = std::min(m_SelectionEnd, length);
    ApplyTextChange();
}

void CEditWidget::NotifyChanged()
{
    if (m_Listener)
        m_Listener->OnEvent("text_changed", this);
}

void CEditWidget::ApplyTextChange()
{
    // The bars take the new range before the caret scrolls them, so a first long text scrolls.
    UpdateScrollRanges();
    SetCaret(m_Caret, true);
    NotifyChanged();
}

void CEditWidget::UpdateScrollRanges()
{
    if (!m_Font || (!m_HorizontalScroll && !m_VerticalScroll))
        return;
    const CIntRect area = GetTextRect();
    CPoint2i size;
    if (!m_Text.empty()) {
        lv::graphics::CTextRender measure;
        const CIntRect box(0, 0, area.Width, area.Height);
        measure.MeasureText(m_Font, m_Text.c_str(), &box, TextFlags(), static_cast<u32>(m_Text.size()), &size);
    }
    const auto apply = [](CScrollWidget* bar, s32 extent, s32 visible) {
        if (!bar)
            return;
        const float value = bar->GetValue();
        bar->SetMaxValue(static_cast<float>(extent));
        bar->SetPageSize(static_cast<float>(visible));
        bar->SetValue(value);
    };
    apply(m_HorizontalScroll.get(), size.X, area.Width);
    apply(m_VerticalScroll.get(), size.Y, area.Height);
}

void CEditWidget::AnchorSelection()
{
    if (!HasSelection())
        m_SelectionStart = m_SelectionEnd = m_Caret;
}

void CEditWidget::Move(s32 position, bool extend)
{
    const s32 anchor = m_Caret == m_SelectionStart ? m_SelectionEnd : m_SelectionStart;
    SetCaret(position, true);
    if (extend) {
        m_SelectionStart = std::min(anchor, m_Caret);
        m_SelectionEnd = std::max(anchor, m_Caret);
    } else {
        m_SelectionStart = m_SelectionEnd = m_Caret;
    }
}

void CEditWidget::RemoveSelection()
{
    m_Text.erase(static_cast<size_t>(m_SelectionStart), static_cast<size_t>(m_SelectionEnd - m_SelectionStart));
    m_Caret = m_SelectionStart;
    m_SelectionEnd = m_SelectionStart;
}

bool CEditWidget::OnChar(u16 character, s32 keyFlags, s32 keyData, u8 pass)
{
    CWidget::OnChar(character, keyFlags, keyData, pass);
    const bool lineBreak = character == u'\n' || character == u'\r';
    if (!lineBreak && character != u' ' && !CTextLocale::IsAlnum(character))
        return false;
    if (lineBreak && !m_MultiLine)
        return false;
    // The space has its own advance in every font; other characters need a glyph.
    if (!lineBreak && character != u' ' && (!m_Font || !m_Font->FindGlyph(character)))
        return false;
    WString text = m_Text;
    if (HasSelection()) {
        RemoveSelection();
        text = m_Text;
    }
    if (m_MaxChars > 0 && static_cast<s32>(text.size()) >= m_MaxChars)
        return false;
    text.insert(static_cast<size_t>(m_Caret), 1, lineBreak ? kLineBreak : static_cast<WChar>(character));
    m_Text = text;
    m_Caret += 1;
    SetSelection(m_Caret, m_Caret);
    SetTextKeepCaret(text);
    return true;
}

bool CEditWidget::OnKeyDown(s32 key, s32 keyFlags, s32 keyData, u8 pass)
{
    CWidget::OnKeyDown(key, keyFlags, keyData, pass);
    const bool shift = (keyFlags & CInputDispatcher::kShift) != 0;
    const bool control = (keyFlags & CInputDispatcher::kCtrl) != 0;
    const s32 length = static_cast<s32>(m_Text.size());
    switch (key) {
    case CInputDispatcher::KeyLeft:
    case CInputDispatcher::KeyRight:
        AnchorSelection();
        Move(m_Caret + (key == CInputDispatcher::KeyLeft ? -1 : 1), shift);
        return true;
    case CInputDispatcher::KeyUp:
    case CInputDispatcher::KeyDown: {
        AnchorSelection();
        if (!m_Font) {
            Move(key == CInputDispatcher::KeyUp ? 0 : length, shift);
            return true;
        }
        const CIntRect r = ReferenceRect();
        const CIntRect area = GetTextRect();
        const float lineHeight = static_cast<float>(m_Font->pixelHeight);
        const float gap = static_cast<float>(m_Font->lineGap);
        const s32 x = area.X + r.X + r.Width / 2;
        if (key == CInputDispatcher::KeyUp) {
            const float y = static_cast<float>(area.Y + r.Y) - gap - lineHeight / 2;
            Move(HitIndex(CPoint2i(x, static_cast<s32>(std::floor(y)))), shift);
            return true;
        }
        // The last character's line against the reference's line.
        CIntRect last;
        bool below = false;
        if (length > 0) {
            lv::graphics::CTextRender measure;
            const CIntRect box(0, 0, area.Width, area.Height);
            measure.GetCharRect(m_Font, m_Text.c_str(), &box, TextFlags(), static_cast<u32>(length), length - 1,
                                &last);
            below = last.Y != r.Y;
        }
        if (below) {
            const float y = static_cast<float>(area.Y + r.Y) + lineHeight + gap + lineHeight / 2;
            Move(HitIndex(CPoint2i(x, static_cast<s32>(std::floor(y)))), shift);
        } else {
            Move(length, shift);
        }
        return true;
    }
    case CInputDispatcher::KeyPageUp:
        AnchorSelection();
        Move(0, shift);
        return true;
    case CInputDispatcher::KeyPageDown:
        AnchorSelection();
        Move(length, shift);
        return true;
    case CInputDispatcher::KeyHome: {
        if (m_Text.empty())
            return false;
        AnchorSelection();
        s32 target = 0;
        for (s32 i = m_Caret - 1; i >= 1; --i)
            if (m_Text[static_cast<size_t>(i)] == kLineBreak) {
                target = i + 1;
                break;
            }
        Move(target, shift);
        return true;
    }
    case CInputDispatcher::KeyEnd: {
        if (m_Text.empty())
            return false;
        AnchorSelection();
        const size_t found = m_Text.find(kLineBreak, static_cast<size_t>(m_Caret));
        Move(found == WString::npos ? length : static_cast<s32>(found), shift);
        return true;
    }
    case CInputDispatcher::KeyBackspace:
    case CInputDispatcher::KeyDelete: {
        WString text = m_Text;
        if (HasSelection()) {
            RemoveSelection();
            SetTextKeepCaret(m_Text);
            return true;
        }
        if (key == CInputDispatcher::KeyBackspace) {
            if (m_Caret <= 0)
                return true;
            s32 from = m_Caret - 1;
            if (control)
                while (from > 0 && !IsWordBreak(text[static_cast<size_t>(from)]))
                    --from;
            text.erase(static_cast<size_t>(from), static_cast<size_t>(m_Caret - from));
            m_Caret = from;
        } else {
            if (m_Caret >= length)
                return true;
            s32 to = m_Caret + 1;
            if (control) {
                to = length;
                for (s32 i = m_Caret + 1; i < length; ++i)
                    if (IsWordBreak(text[static_cast<size_t>(i)])) {
                        to = i;
                        break;
                    }
            }
            text.erase(static_cast<size_t>(m_Caret), static_cast<size_t>(to - m_Caret));
        }
        m_SelectionStart = m_SelectionEnd = m_Caret;
        SetTextKeepCaret(text);
        return true;
    }
    case CInputDispatcher::KeyEnter:
        if (m_MultiLine)
            OnChar(u'\n', keyFlags, keyData, pass);
        else
            SetFocus(this);
        return true;
    default:
        break;
    }
    if (!control)
        return false;
    if (key == 'A' || key == 'a') {
        if (!m_Text.empty()) {
            m_Caret = length;
            SetSelection(0, length);
            SetCaret(length, true);
        }
        return true;
    }
    if (key == 'Z' || key == 'z') {
        if (m_History.CanUndo())
            SetTextKeepCaret(WString(m_History.Undo()));
        return true;
    }
    if (key == 'Y' || key == 'y') {
        if (m_History.CanRedo())
            SetTextKeepCaret(WString(m_History.Redo()));
        return true;
    }
    return false;
}

bool CEditWidget::OnMouseDown(const CPoint2i& point, s32 button, s32 keyFlags, u8 pass)
{
    if (CWidget::OnMouseDown(point, button, keyFlags, pass))
        return true;
    if (!IsFocused())
        SetFocus(this);
    m_Selecting = 1;
    AnchorSelection();
    Move(HitIndex(point), (keyFlags & CInputDispatcher::kShift) != 0);
    return true;
}

bool CEditWidget::OnMouseMove(const CPoint2i& point, s32 keyFlags, u8 pass)
{
    if (CWidget::OnMouseMove(point, keyFlags, pass))
        return true;
    if (pass == 0)
        CCursorManager::Instance().SetCursor(CCursorManager::kText);
    if (m_Selecting)
        Move(HitIndex(point), true);
    return false;
}

bool CEditWidget::OnMouseUp(const CPoint2i& point, s32 button, s32 keyFlags, u8 pass)
{
    if (CWidget::OnMouseUp(point, button, keyFlags, pass))
        return true;
    m_Selecting = 0;
    return false;
}

void CEditWidget::SetFocused(bool focused)
{
    CWidget::SetFocused(focused);
    if (m_CaretImage) {
        if (focused)
            m_CaretImage->RemoveFlags(Hidden);
        else
            m_CaretImage->AddFlags(Hidden);
    }
    if (!focused) {
        m_Selecting = 0;
        m_SelectionStart = m_SelectionEnd = m_Caret;
    }
    if (m_Listener)
        m_Listener->OnEvent(focused ? "got_focus" : "lost_focus", this);
}

void CEditWidget::OnEvent(const char* eventName, CBaseWidget* sender)
{
    CWidget::OnEvent(eventName, sender);
    if (sender && eventName && (sender == m_HorizontalScroll.get() || sender == m_VerticalScroll.get()) &&
        strcasecmp(eventName, "value_changed") == 0)
        SetCaret(m_Caret, false);
}

void CEditWidget::Draw(lv::graphics::CRenderer& renderer)
{
    if (!m_Font)
        return;
    const CVector2 size = GetSize();
    renderer.IntersectClip(CQuad(0, 0, size.X, size.Y));
    CWidget::Draw(renderer);
    const float barWidth = m_VerticalScroll ? m_VerticalScroll->GetSize().X : 0;
    const float barHeight = m_HorizontalScroll ? m_HorizontalScroll->GetSize().Y : 0;
    renderer.IntersectClip(CQuad(m_TextInsets.Left, m_TextInsets.Top,
                                 size.X - m_TextInsets.Left - m_TextInsets.Right - barWidth,
                                 size.Y - m_TextInsets.Top - m_TextInsets.Bottom - barHeight));
    if (m_Text.empty())
        return;
    const bool selection = IsFocused() && HasSelection();
    renderer.RenderText(m_Font, m_Text.c_str(), GetTextRect(), static_cast<s32>(TextFlags()),
                        static_cast<u32>(m_Text.size()), m_TextColor, CColor(0u), m_SelectedTextColor,
                        selection ? m_SelectionColor : CColor(0u), selection ? m_SelectionStart : -1,
                        selection ? m_SelectionEnd - 1 : -1);
}

void CEditWidget::LoadFromTemplate(const lv::core::CSettingsGroup& node,
                                   const lv::core::CSettingsGroup& templates)
{
    CWidget::LoadFromTemplate(node, templates);
    const lv::core::CSettingsGroup* t =
        templates.FindChildByAttribute("edit_template", "id", node.GetAttribute("edit_template"));
    const lv::core::CSettingsGroup& tpl = t ? *t : lv::core::CSettingsGroup::EmptyGroup();
    m_Font = nullptr;
    if (lv::core::CFontManager* fonts = lv::core::CFontManager::Instance())
        m_Font = fonts->FindFont(tpl.GetAttribute("font").c_str());
    m_Text = ToWide(node.GetAttribute("text"));
    if (node.HasAttribute("max_chars"))
        m_MaxChars = node.GetInt("max_chars");
    SetMultiLine(node.GetAttribute("multiline") == "true");
    const std::string& justification = tpl.GetAttribute("justification");
    if (justification == "left")
        m_HorizontalFlags = 0x20;
    else if (justification == "right")
        m_HorizontalFlags = 0x80;
    else if (justification == "center")
        m_HorizontalFlags = 0x40;
    m_TextColor = CColor(0u);
    m_SelectedTextColor = CColor(0u);
    m_SelectionColor = CColor(0u);
    tpl.ReadColor("color_text", m_TextColor);
    tpl.ReadColor("color_selected_text", m_SelectedTextColor);
    tpl.ReadColor("color_selection", m_SelectionColor);
    if (const lv::core::CSettingsGroup* insets = tpl.FindNamedObject("insets")) {
        insets->ReadFloat("left", m_TextInsets.Left);
        insets->ReadFloat("top", m_TextInsets.Top);
        insets->ReadFloat("right", m_TextInsets.Right);
        insets->ReadFloat("bottom", m_TextInsets.Bottom);
    }
    for (CWidget* part : {static_cast<CWidget*>(m_Background.get()), static_cast<CWidget*>(m_CaretImage.get()),
                          static_cast<CWidget*>(m_HorizontalScroll.get()), static_cast<CWidget*>(m_VerticalScroll.get())})
        if (part)
            CloseChild(part);
    RemoveClosedChildren();
    m_HorizontalScroll.reset();
    m_VerticalScroll.reset();
    m_CaretImage.reset(new CImageWidget(CFixedString(tpl.GetAttribute("cursor_image").c_str()), CFixedString(""), 0, 0));
    m_Background.reset(new CImageWidget(CFixedString(tpl.GetAttribute("back_image").c_str()), CFixedString(""), 0, 0));
    const CVector2 back = m_Background->GetSize(), current = GetSize();
    FitSize(std::max(back.X, current.X), std::max(back.Y, current.Y));
    const CVector2 size = GetSize();
    m_Background->GetImage().SetFlags(1 | 2);
    m_Background->SetPosition(0, 0);
    m_Background->SetSize(size.X, size.Y);
    m_Background->SetAnchors(AnchorLeft | AnchorRight | AnchorTop | AnchorBottom);
    AddChild(m_Background);
    AddChild(m_CaretImage);
    const auto makeBar = [&](const char* attribute, const char* object, bool vertical) -> CScrollWidget::Ptr {
        if (node.GetAttribute(attribute) != "true")
            return nullptr;
        CScrollWidget::Ptr bar(new CScrollWidget(lv::graphics::CSprite(), lv::graphics::CSprite(),
                                                 lv::graphics::CSprite(), lv::graphics::CSprite(), vertical,
                                                 CFixedString(""), 0, 0));
        bar->LoadFromTemplate(tpl.GetNamedObject(object), templates);
        bar->SetValue(0);
        bar->SetButtonStep(20);
        return bar;
    };
    m_HorizontalScroll = makeBar("horz_scroll", "horizontal_scroll", false);
    m_VerticalScroll = makeBar("vert_scroll", "vertical_scroll", true);
    const float barWidth = m_VerticalScroll ? m_VerticalScroll->GetSize().X : 0;
    const float barHeight = m_HorizontalScroll ? m_HorizontalScroll->GetSize().Y : 0;
    if (m_HorizontalScroll) {
        m_HorizontalScroll->SetPosition(0, size.Y - barHeight);
        m_HorizontalScroll->SetSize(size.X - barWidth, barHeight);
        m_HorizontalScroll->SetAnchors(AnchorLeft | AnchorRight | AnchorBottom);
        AddChild(m_HorizontalScroll);
    }
    if (m_VerticalScroll) {
        m_VerticalScroll->SetPosition(size.X - barWidth, 0);
        m_VerticalScroll->SetSize(barWidth, size.Y - barHeight);
        m_VerticalScroll->SetAnchors(AnchorRight | AnchorTop | AnchorBottom);
        AddChild(m_VerticalScroll);
    }
    m_SelectionStart = m_SelectionEnd = 0;
    SetCaret(static_cast<s32>(m_Text.size()), true);
    m_CaretImage->AddFlags(Hidden);
}

} // namespace lv::gui
