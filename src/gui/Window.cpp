#include "gui/Window.h"

#include "core/SettingsGroup.h"
#include "graphics/Renderer.h"
#include "gui/GuiServices.h"
#include "gui/WidgetEffectRegistry.h"

#include <algorithm>
#include <cmath>

namespace lv::gui {

namespace {

constexpr u32 kAllAnchors = CWidget::AnchorLeft | CWidget::AnchorRight | CWidget::AnchorTop | CWidget::AnchorBottom;

// Sizes of damaged templates stay within integer range.
s32 WholeUnits(float v)
{
    if (!(v > -1e9f))
        return v != v ? 0 : -1000000000;
    return v < 1e9f ? static_cast<s32>(v) : 1000000000;
}

// The axis of a "label_justification" text: -1 for low, 1 for high, 0 otherwise.
s32 JustificationAxis(const std::string& text, const char* low, const char* high)
{
    if (text.find(low) != std::string::npos)
        return -1;
    return text.find(high) != std::string::npos ? 1 : 0;
}

} // namespace

CWindow::CWindow() : CBaseWindow(CFixedString("")) {}

CWindow::~CWindow() = default;

void CWindow::SetSize(float width, float height)
{
    CBaseWindow::SetSize(width, height);
    if ((m_TileStep.X == 0 && m_TileStep.Y == 0) || !m_Background || m_Tiling)
        return;
    const CPoint2i image = m_Background->GetImage().GetImageSize();
    const CVector2 size = GetSize();
    const s32 border[2] = {image.X / 3, image.Y / 3};
    s32 middle[2] = {WholeUnits(size.X) - 2 * border[0], WholeUnits(size.Y) - 2 * border[1]};
    const s32 step[2] = {m_TileStep.X, m_TileStep.Y};
    bool rounded = false;
    for (int axis = 0; axis < 2; ++axis)
        if (step[axis] != 0 && middle[axis] % step[axis] != 0) {
            middle[axis] = (middle[axis] / step[axis] + 1) * step[axis];
            rounded = true;
        }
    if (!rounded)
        return;
    // Once: a size beyond float precision must not round again and again.
    m_Tiling = 1;
    SetSize(static_cast<float>(middle[0] + 2 * border[0]), static_cast<float>(middle[1] + 2 * border[1]));
    m_Tiling = 0;
}

CVector2 CWindow::GetPreferredSize() const
{
    if (!m_Background)
        return CVector2();
    const CPoint2i image = m_Background->GetImage().GetImageSize();
    return CVector2(static_cast<float>(image.X), static_cast<float>(image.Y));
}

bool CWindow::OnMouseDown(const CPoint2i& point, s32 button, s32 keyFlags, u8 pass)
{
    if (CBaseWindow::OnMouseDown(point, button, keyFlags, pass))
        return true;
    if (pass != 0)
        return false;
    if (m_Moveable && CBaseWidget::HitTest(point)) {
        m_Dragging = 1;
        m_DragAnchor = CVector2(static_cast<float>(point.X), static_cast<float>(point.Y));
    }
    return m_Dragging != 0;
}

bool CWindow::OnMouseMove(const CPoint2i& point, s32 keyFlags, u8 pass)
{
    if (!m_Dragging)
        return CBaseWindow::OnMouseMove(point, keyFlags, pass);
    // The root hands both passes the same point: the first one moves.
    if (pass != 0)
        return true;
    const CVector2 delta(static_cast<float>(point.X) - m_DragAnchor.X, static_cast<float>(point.Y) - m_DragAnchor.Y);
    const CVector2 root = GetPosition(true);
    const CPoint2i screen = CGuiServices::Instance().GetScreenSize();
    const CVector2 size = GetSize();
    float lowX = 0, highX = static_cast<float>(screen.X) - size.X;
    float lowY = 0, highY = static_cast<float>(screen.Y) - size.Y;
    if (highX < lowX)
        std::swap(lowX, highX);
    if (highY < lowY)
        std::swap(lowY, highY);
    const float x = std::clamp(root.X + delta.X, lowX, highX);
    const float y = std::clamp(root.Y + delta.Y, lowY, highY);
    SetPosition(m_Position.X + (x - root.X), m_Position.Y + (y - root.Y));
    return true;
}

bool CWindow::OnMouseUp(const CPoint2i& point, s32 button, s32 keyFlags, u8 pass)
{
    m_Dragging = 0;
    return CBaseWindow::OnMouseUp(point, button, keyFlags, pass);
}

void CWindow::LoadFromTemplate(const lv::core::CSettingsGroup& node, const lv::core::CSettingsGroup& templates)
{
    const lv::core::CSettingsGroup& tmpl =
        templates.GetChildByAttribute("window_template", "id", node.GetAttribute("window_template"));
    m_OpenSound = CFixedString(tmpl.GetAttribute("open_sound").c_str());
    m_CloseSound = CFixedString(tmpl.GetAttribute("close_sound").c_str());
    tmpl.ReadWString("show_effect", m_ShowEffect);
    tmpl.ReadWString("hide_effect", m_HideEffect);
    tmpl.ReadInt("tile_step_x", m_TileStep.X);
    tmpl.ReadInt("tile_step_y", m_TileStep.Y);
    SInsets insets;
    if (const lv::core::CSettingsGroup* in = tmpl.FindNamedObject("insets")) {
        in->ReadFloat("left", insets.Left);
        in->ReadFloat("top", insets.Top);
        in->ReadFloat("right", insets.Right);
        in->ReadFloat("bottom", insets.Bottom);
    }
    SetInsets(insets.Left, insets.Right, insets.Top, insets.Bottom);
    if (node.HasAttribute("moveable"))
        m_Moveable = node.GetBool("moveable") ? 1 : 0;

    m_Background = new CImageWidget(CFixedString(tmpl.GetAttribute("background").c_str()), CFixedString(""), 0, 0);

    if (!tmpl.GetAttribute("label_template").empty()) {
        m_ToolTipLabel = new CLabelWidget();
        m_ToolTipLabel->LoadFromTemplate(tmpl, templates);
        m_ToolTipLabel->SetAlignment(0, -1);
        m_ToolTipLabel->SetFlags(Hidden);
        m_ToolTipLabel->SetInsets(0, 0, 0, 0);
        if (const std::string& image = tmpl.GetAttribute("tool_tip_background"); !image.empty()) {
            m_ToolTipBackground = new CImageWidget(CFixedString(image.c_str()), CFixedString(""), 0, 0);
            lv::graphics::CSprite& sprite = m_ToolTipBackground->GetImage();
            sprite.SetFlags(sprite.GetFlags() | lv::graphics::CSprite::kNineSlice);
        }
        if (m_ToolTipBackground) {
            if (const lv::core::CSettingsGroup* in = tmpl.FindNamedObject("tool_tip_background_insets")) {
                float v[4] = {0, 0, 0, 0};
                in->ReadFloat("left", v[0]);
                in->ReadFloat("right", v[1]);
                in->ReadFloat("top", v[2]);
                in->ReadFloat("bottom", v[3]);
                for (int i = 0; i < 4; ++i)
                    m_ToolTipInsets[i] = WholeUnits(v[i]);
            }
            const std::string& justification = tmpl.GetAttribute("label_justification");
            m_ToolTipLabel->SetAlignment(JustificationAxis(justification, "left", "right"),
                                         JustificationAxis(justification, "top", "bottom"));
            const bool multiLine = tmpl.GetBool("multi_string_flag");
            m_ToolTipLabel->SetMultiLine(multiLine);
            if (multiLine) {
                float width = 0;
                tmpl.ReadFloat("label_width", width);
                m_ToolTipLabel->SetSize(width, 0);
            }
        }
        if (tmpl.HasAttribute("tool_tip_color")) {
            CColor color = m_ToolTipLabel->GetColor();
            tmpl.ReadColor("tool_tip_color", color);
            m_ToolTipLabel->SetColor(color);
        }
        if (tmpl.HasAttribute("tool_tip_bkcolor")) {
            CColor color;
            tmpl.ReadColor("tool_tip_bkcolor", color);
            m_ToolTipLabel->SetBackgroundColor(color);
        }
    }

    const CVector2 image = m_Background->GetSize();
    SetSize(image.X, image.Y);
    const CVector2 size = GetSize();
    m_Background->SetSize(size.X, size.Y);
    m_Background->SetAnchors(kAllAnchors);
    lv::graphics::CSprite& sprite = m_Background->GetImage();
    sprite.SetFlags(sprite.GetFlags() | lv::graphics::CSprite::kNineSlice | lv::graphics::CSprite::kWholePixels);
    AddChild(m_Background);

    CBaseWindow::LoadFromTemplate(node, templates);
}

void CWindow::Draw(lv::graphics::CRenderer& renderer)
{
    CBaseWindow::Draw(renderer);
    if (const CLabelWidget::Ptr label = m_ToolTipLabel; label && !(label->GetFlags() & Hidden)) {
        if (const CImageWidget::Ptr background = m_ToolTipBackground)
            background->Render(renderer);
        label->Render(renderer);
    }
}

void CWindow::Update()
{
    if (m_ToolTipLabel && m_ToolTipBackground) {
        const CQuad quad = m_ToolTipLabel->GetParentQuad();
        float left = quad.Corners[0].X, top = quad.Corners[0].Y, right = left, bottom = top;
        for (const CVector2& c : quad.Corners) {
            left = std::min(left, c.X);
            right = std::max(right, c.X);
            top = std::min(top, c.Y);
            bottom = std::max(bottom, c.Y);
        }
        const s32* in = m_ToolTipInsets;
        m_ToolTipBackground->SetPosition(left + in[0], top + in[2]);
        m_ToolTipBackground->SetSize(right - left - in[0] - in[1], bottom - top - in[2] - in[3]);
    }
    CBaseWindow::Update();
}

void CWindow::OnActivate()
{
    CGuiServices::Instance().Play(m_OpenSound.GetText());
    if (!m_ShowEffect.empty()) {
        CWidgetEffectRegistry& registry = CWidgetEffectRegistry::Instance();
        if (registry.Has(m_ShowEffect))
            AddEffect(registry.Create(m_ShowEffect));
        m_ShowEffect.clear();
    }
}

bool CWindow::OnDeactivate()
{
    CGuiServices::Instance().Play(m_CloseSound.GetText());
    if (!m_HideEffect.empty()) {
        CWidgetEffectRegistry& registry = CWidgetEffectRegistry::Instance();
        if (registry.Has(m_HideEffect)) {
            AddEffect(registry.Create(m_HideEffect));
            m_HideEffect.clear();
        }
    }
    return true;
}

void CWindow::ShowToolTip(const CPoint2i& point, const WString& text)
{
    const CLabelWidget::Ptr label = m_ToolTipLabel;
    if (!label)
        return;
    label->SetText(text);
    label->SetFlags(0);
    label->FitSize(true);
    const CVector2 size = label->GetSize();
    label->SetPosition(static_cast<float>(point.X) - size.X / 2, static_cast<float>(point.Y));
    const bool framed = m_ToolTipBackground != nullptr;
    const s32* in = m_ToolTipInsets;
    float x = label->GetPosition().X, y = label->GetPosition().Y, w = size.X, h = size.Y;
    if (framed) {
        x += in[0];
        y += in[2];
        w -= in[0] + in[1];
        h -= in[2] + in[3];
    }
    const CVector2 window = GetSize();
    if (x < 0)
        x = 0;
    else if (x + w > window.X)
        x = window.X - w;
    if (y < 0)
        y = 0;
    else if (y + h > window.Y)
        y = window.Y - h;
    if (framed) {
        x -= in[0];
        y -= in[2];
    }
    label->SetPosition(x, y);
}

void CWindow::HideToolTip()
{
    if (m_ToolTipLabel)
        m_ToolTipLabel->AddFlags(Hidden);
}

} // namespace lv::gui
