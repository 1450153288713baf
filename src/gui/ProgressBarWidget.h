#pragma once
// A frame image with a progress image revealed from the left in proportion to a value in 0 .. 1.
// The progress image keeps its full size; only its left part is drawn.
#include "graphics/Sprite.h"
#include "gui/ImageWidget.h"

namespace lv::gui {

class CProgressBarWidget : public CWidget
{
public:
    using Ptr = boost::intrusive_ptr<CProgressBarWidget>;

    // No images: what the factory makes before loading a template.
    CProgressBarWidget();
    CProgressBarWidget(const CFixedString& name, u32 layer, u32 eventMask);
    ~CProgressBarWidget() override;

    void SetSize(float width, float height) override;
    // "frame" and "progress" images, the base's loading, then the size (a missing width or
    // height taken from the progress image).
    void LoadFromTemplate(const lv::core::CSettingsGroup& node,
                          const lv::core::CSettingsGroup& templates) override;

    void SetImages(const lv::graphics::CSprite& frame, const lv::graphics::CSprite& progress);
    // Clamped into 0 .. 1.
    void SetValue(float value);
    float GetValue() const { return m_Value; }
    CImageWidget* GetFrame() const { return m_Frame.get(); }
    CImageWidget* GetProgress() const { return m_Progress.get(); }

private:
    void UpdateProgress();

    CImageWidget::Ptr m_Frame;
    CImageWidget::Ptr m_Progress;
    float m_Value = 0;
};

} // namespace lv::gui
