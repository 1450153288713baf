#include "gui/ProgressBarWidget.h"

#include "core/SettingsGroup.h"

#include <cmath>

namespace lv::gui {

CProgressBarWidget::CProgressBarWidget() : CProgressBarWidget(CFixedString(""), 0, 0) {}

CProgressBarWidget::CProgressBarWidget(const CFixedString& name, u32 layer, u32 eventMask)
    : CWidget(name, layer, eventMask)
{
    m_Frame.reset(new CImageWidget(lv::graphics::CSprite(), CFixedString(""), 0, 0));
    m_Progress.reset(new CImageWidget(lv::graphics::CSprite(), CFixedString(""), 0, 0));
    AddChild(m_Frame);
    AddChild(m_Progress);
    // The progress image is cut at the widget's edge by clipping, not scaled.
    m_Progress->AddFlags(ClipChildren);
}

CProgressBarWidget::~CProgressBarWidget() = default;

void CProgressBarWidget::SetImages(const lv::graphics::CSprite& frame, const lv::graphics::CSprite& progress)
{
    for (auto* part : {&m_Frame, &m_Progress}) {
        (*part)->SetImage(part == &m_Frame ? frame : progress);
        const CPoint2i image = (*part)->GetImage().GetImageSize();
        (*part)->SetSize(static_cast<float>(image.X), static_cast<float>(image.Y));
        (*part)->GetImage().SetFlags(lv::graphics::CSprite::kNineSlice);
    }
    UpdateProgress();
}

void CProgressBarWidget::SetValue(float value)
{
    // NaN becomes 0 too.
    m_Value = value >= 0 ? std::fmin(value, 1.0f) : 0.0f;
    UpdateProgress();
}

void CProgressBarWidget::SetSize(float width, float height)
{
    CWidget::SetSize(width, height);
    if (m_Frame)
        m_Frame->SetSize(width, height);
    UpdateProgress();
}

void CProgressBarWidget::UpdateProgress()
{
    if (!m_Progress)
        return;
    const CVector2 size = GetSize();
    m_Progress->SetSize(size.X * m_Value, size.Y);
    // After the widget's own sizing, which fits the sprite to the (narrower) widget.
    m_Progress->GetImage().SetRect(CFloatRect(0, 0, size.X, size.Y));
}

void CProgressBarWidget::LoadFromTemplate(const lv::core::CSettingsGroup& node,
                                          const lv::core::CSettingsGroup& templates)
{
    SetImages(lv::graphics::CSprite(CFixedString(node.GetAttribute("frame").c_str())),
              lv::graphics::CSprite(CFixedString(node.GetAttribute("progress").c_str())));
    CWidget::LoadFromTemplate(node, templates);
    CVector2 size = GetSize();
    const CPoint2i image = m_Progress->GetImage().GetImageSize();
    if (std::fabs(size.X) < 0.001f)
        size.X = static_cast<float>(image.X);
    if (std::fabs(size.Y) < 0.001f)
        size.Y = static_cast<float>(image.Y);
    SetSize(size.X, size.Y);
}

} // namespace lv::gui
