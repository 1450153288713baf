#include "gui/ImageBoxWidget.h"

#include "core/SettingsGroup.h"
#include "graphics/Renderer.h"

#include <cstring>

namespace lv::gui {

CImageBoxWidget::CImageBoxWidget() : CImageBoxWidget(lv::graphics::CSprite(), CFixedString(""), 0, 0) {}

CImageBoxWidget::CImageBoxWidget(const CFixedString& frameImage, const CFixedString& name, u32 layer,
                                 u32 eventMask)
    : CImageBoxWidget(lv::graphics::CSprite(frameImage), name, layer, eventMask)
{
}

CImageBoxWidget::CImageBoxWidget(const lv::graphics::CSprite& frame, const CFixedString& name, u32 layer,
                                 u32 eventMask)
    : CWidget(name, layer, eventMask), m_Frame(frame)
{
    m_Frame.SetFlags(lv::graphics::CSprite::kNineSlice);
    const CFloatRect& rect = m_Frame.GetRect();
    SetSize(rect.Width, rect.Height);
}

CImageBoxWidget::~CImageBoxWidget() = default;

void CImageBoxWidget::UpdateFrameRect()
{
    const CVector2 size = GetSize();
    m_Frame.SetRect(CFloatRect(0, 0, size.X, size.Y));
}

void CImageBoxWidget::SetSize(float width, float height)
{
    CWidget::SetSize(width, height);
    UpdateFrameRect();
}

void CImageBoxWidget::SetStretchMode(s32 mode)
{
    if (mode >= StretchNo && mode <= StretchFill)
        m_StretchMode = mode;
    UpdateFrameRect();
}

void CImageBoxWidget::SetContent(CBaseWidget* content)
{
    m_Content = content;
    if (m_Content) {
        const CVector2 box = GetSize(), size = m_Content->GetSize();
        m_Content->SetPosition(box.X / 2 - size.X / 2, box.Y / 2 - size.Y / 2);
    }
    UpdateFrameRect();
}

void CImageBoxWidget::Update()
{
    CWidget::Update();
    if (m_Content)
        m_Content->UpdateAll();
}

void CImageBoxWidget::Draw(lv::graphics::CRenderer& renderer)
{
    CWidget::Draw(renderer);
    m_Frame.Draw(renderer);
    const SInsets insets = GetInsets();
    const CVector2 size = GetSize();
    renderer.IntersectClip(CQuad(insets.Left, insets.Top, size.X - insets.Right - insets.Left,
                                 size.Y - insets.Bottom - insets.Top));
    if (m_Content)
        m_Content->Render(renderer);
}

bool CImageBoxWidget::OnMouseMove(const CPoint2i&, s32, u8)
{
    return true;
}

bool CImageBoxWidget::OnMouseWheel(const CPoint2i&, s32, s32, u8)
{
    return true;
}

bool CImageBoxWidget::OnMouseDown(const CPoint2i&, s32, s32, u8)
{
    if (m_Listener)
        m_Listener->OnEvent("on_mouse_down", this);
    return true;
}

void CImageBoxWidget::LoadFromTemplate(const lv::core::CSettingsGroup& node,
                                       const lv::core::CSettingsGroup& templates)
{
    const lv::core::CSettingsGroup* t =
        templates.FindChildByAttribute("imagebox_template", "id", node.GetAttribute("imagebox_template"));
    SInsets insets;
    if (const lv::core::CSettingsGroup* group = t ? t->FindNamedObject("insets") : nullptr) {
        group->ReadFloat("left", insets.Left);
        group->ReadFloat("top", insets.Top);
        group->ReadFloat("right", insets.Right);
        group->ReadFloat("bottom", insets.Bottom);
    }
    SetInsets(insets.Left, insets.Right, insets.Top, insets.Bottom);
    if (node.HasAttribute("frame_image"))
        m_Frame.SetImageByName(CFixedString(node.GetAttribute("frame_image").c_str()), true);
    m_Frame.SetFlags(lv::graphics::CSprite::kNineSlice);
    // Exact spelling only: "Fill" is not "fill".
    static const char* const kModes[] = {"no", "fit", "width", "height", "fill"};
    if (const auto* stretch = node.FindAttribute("stretch"))
        for (s32 mode = 0; mode < 5; ++mode)
            if (std::strcmp(stretch->c_str(), kModes[mode]) == 0) {
                m_StretchMode = mode;
                break;
            }
    CVector2 size = GetSize();
    const CFloatRect& rect = m_Frame.GetRect();
    if (size.X == 0)
        size.X = rect.Width;
    if (size.Y == 0)
        size.Y = rect.Height;
    SetSize(size.X, size.Y);
    CWidget::LoadFromTemplate(node, templates);
}

} // namespace lv::gui
