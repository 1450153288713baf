#include "gui/LabelWidget.h"

#include <algorithm>
#include <string>

#include "core/IntRect.h"
#include "core/Matrix3.h"
#include "core/SettingsGroup.h"
#include "core/TextConvert.h"
#include "graphics/FontManager.h"
#include "graphics/Renderer.h"
#include "graphics/TextRender.h"

namespace lv::gui {

using lv::graphics::CTextRender;

namespace {

bool JustificationHolds(const std::string& text, const char* word)
{
    return text.find(word) != std::string::npos;
}

} // namespace

CLabelWidget::CLabelWidget() : CWidget(CFixedString(""), 0, 0) {}

CLabelWidget::CLabelWidget(const lv::graphics::CFont* font, WStringView text, const CFixedString& name,
                           u32 layer, u32 eventMask)
    : CWidget(name, layer, eventMask), m_Text(text), m_Font(font)
{
}

CLabelWidget::~CLabelWidget() = default;

void CLabelWidget::SetText(WStringView text)
{
    m_Text.SetSource(text);
}

void CLabelWidget::SetAlignment(s32 horizontal, s32 vertical)
{
    s32 flags = 0;
    if (horizontal == -1)
        flags |= CTextRender::kAlignLeft;
    else if (horizontal == 0)
        flags |= CTextRender::kAlignCenter;
    else if (horizontal == 1)
        flags |= CTextRender::kAlignRight;
    if (vertical == -1)
        flags |= CTextRender::kAlignTop;
    else if (vertical == 0)
        flags |= CTextRender::kAlignMiddle;
    else if (vertical == 1)
        flags |= CTextRender::kAlignBottom;
    m_TextFlags = flags;
}

void CLabelWidget::SetFontScale(float scale)
{
    // Also turns NaN into the smallest scale.
    m_FontScale = scale >= 0.1f ? std::min(scale, 100.0f) : 0.1f;
}

CIntRect CLabelWidget::TextRect() const
{
    const SInsets insets = GetInsets();
    const CVector2 size = GetSize();
    return CIntRect(static_cast<s32>(insets.Left), static_cast<s32>(insets.Top),
                    static_cast<s32>(size.X / m_FontScale - insets.Left - insets.Right),
                    static_cast<s32>(size.Y / m_FontScale - insets.Top - insets.Bottom));
}

s32 CLabelWidget::DrawFlags() const
{
    s32 flags = m_TextFlags;
    if (m_MultiLine)
        flags |= CTextRender::kWordWrap;
    if (m_Underline)
        flags |= CTextRender::kUnderline;
    return flags;
}

CVector2 CLabelWidget::GetPreferredSize() const
{
    if (!m_Font)
        return CVector2();
    const WString& text = m_Text.GetText();
    const CIntRect rect = TextRect();
    CTextRender measure;
    float width = 0;
    float height = 0;
    if (m_MultiLine) {
        width = static_cast<float>(rect.Width);
        CIntRect last;
        if (!text.empty() &&
            measure.GetCharRect(m_Font, text.c_str(), &rect, static_cast<u32>(m_TextFlags | CTextRender::kWordWrap),
                                static_cast<u32>(text.size()), static_cast<s32>(text.size()) - 1, &last))
            height = static_cast<float>(last.Y + last.Height);
    } else {
        CPoint2i size;
        if (!text.empty() && measure.MeasureText(m_Font, text.c_str(), &rect, static_cast<u32>(m_TextFlags),
                                                 static_cast<u32>(text.size()), &size)) {
            width = static_cast<float>(size.X);
            height = static_cast<float>(size.Y);
        }
    }
    const SInsets insets = GetInsets();
    return CVector2(width * m_FontScale + insets.Left + insets.Right,
                    height * m_FontScale + insets.Top + insets.Bottom);
}

void CLabelWidget::FitSize(bool shrink)
{
    CVector2 size = GetPreferredSize();
    if (!shrink) {
        const CVector2 current = GetSize();
        size.X = std::max(size.X, current.X);
        size.Y = std::max(size.Y, current.Y);
    }
    SetSize(size.X, size.Y);
}

void CLabelWidget::Update()
{
    CMatrix3 scale;
    CMatrix3::MakeScale(scale, m_FontScale, m_FontScale);
    SetTransform(scale);
}

void CLabelWidget::Draw(lv::graphics::CRenderer& renderer)
{
    CWidget::Draw(renderer);
    if (!m_Font)
        return;
    const WString& text = m_Text.GetText();
    if (text.empty())
        return;
    renderer.RenderTextString(m_Font, text, TextRect(), DrawFlags(), static_cast<u32>(text.size()),
                              CColor(0xFFFFFFFFu), m_BackgroundColor, CColor(), CColor(), -1, -1);
}

void CLabelWidget::LoadFromTemplate(const lv::core::CSettingsGroup& node,
                                    const lv::core::CSettingsGroup& templates)
{
    const lv::core::CSettingsGroup* labelTemplate =
        templates.FindChildByAttribute("label_template", "id", node.GetAttribute("label_template"));
    if (labelTemplate) {
        m_Font = lv::core::CFontManager::Instance()->FindFont(labelTemplate->GetAttribute("font").c_str());
        m_Underline = labelTemplate->GetBool("label_underline") ? 1 : 0;
    }
    if (node.HasAttribute("text"))
        SetText(ToWide(node.GetAttribute("text")));
    m_MultiLine = node.GetBool("multi_string_flag") ? 1 : 0;

    const std::string& justification = node.GetAttribute("justification");
    s32 flags = 0;
    if (JustificationHolds(justification, "left"))
        flags |= CTextRender::kAlignLeft;
    else if (JustificationHolds(justification, "right"))
        flags |= CTextRender::kAlignRight;
    else if (JustificationHolds(justification, "center"))
        flags |= CTextRender::kAlignCenter;
    if (JustificationHolds(justification, "top"))
        flags |= CTextRender::kAlignTop;
    else if (JustificationHolds(justification, "bottom"))
        flags |= CTextRender::kAlignBottom;
    else if (JustificationHolds(justification, "center"))
        flags |= CTextRender::kAlignMiddle;
    m_TextFlags = flags;

    CWidget::LoadFromTemplate(node, templates);

    float scale = 0;
    if (labelTemplate) {
        labelTemplate->ReadFloat("label_font_scale", scale);
        if (scale > 0.001f)
            SetFontScale(scale);
    }
    scale = 0;
    node.ReadFloat("label_font_scale", scale);
    if (scale > 0.001f)
        SetFontScale(scale);

    FitSize(false);
}

} // namespace lv::gui
