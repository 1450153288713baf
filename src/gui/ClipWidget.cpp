#include "gui/ClipWidget.h"

#include "core/SettingsGroup.h"
#include "graphics/Renderer.h"

namespace lv::gui {

CClipWidget::CClipWidget() : CClipWidget(CFixedString(""), 0, 0) {}

CClipWidget::CClipWidget(const CFixedString& name, u32 layer, u32 eventMask) : CWidget(name, layer, eventMask)
{
}

CClipWidget::~CClipWidget() = default;

void CClipWidget::SetListener(CBaseWidget* listener)
{
    m_Clip.Stop();
    m_Clip.Play();
    CWidget::SetListener(listener);
}

void CClipWidget::SetSize(float width, float height)
{
    CWidget::SetSize(width, height);
    m_Clip.SetSize(CVector2(width, height));
}

CVector2 CClipWidget::GetPreferredSize() const
{
    return m_Clip.GetRectSize();
}

void CClipWidget::Update()
{
    m_Clip.Update();
}

void CClipWidget::Draw(lv::graphics::CRenderer& renderer)
{
    // The clip is drawn centred on its position: half its size in puts it in the widget's middle.
    const CVector2 size = m_Clip.GetSize();
    CMatrix3 half;
    CMatrix3::MakeTranslation(half, size.X / 2, size.Y / 2);
    renderer.MultiplyTransform(half);
    m_Clip.Draw(renderer);
}

void CClipWidget::LoadFromTemplate(const lv::core::CSettingsGroup& node,
                                   const lv::core::CSettingsGroup& templates)
{
    if (const std::string& clip = node.GetAttribute("clip"); !clip.empty())
        m_Clip.Load(clip.c_str(), true);
    const CVector2 preferred = GetPreferredSize();
    SetSize(preferred.X, preferred.Y);
    CWidget::LoadFromTemplate(node, templates);
}

} // namespace lv::gui
