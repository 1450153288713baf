#pragma once
// The horizontal slider: a track image stretched across the widget and a thumb that slides
// along it; the value in [0, 1] follows clicks and drags and is reported with "value_changed".
#include "graphics/Sprite.h"
#include "gui/ImageWidget.h"

namespace lv::gui {

class CSliderWidget : public CWidget
{
public:
    using Ptr = boost::intrusive_ptr<CSliderWidget>;

    // No images: what the factory makes before loading a template.
    CSliderWidget();
    CSliderWidget(const lv::graphics::CSprite& track, const lv::graphics::CSprite& thumb,
                  const CFixedString& name, u32 layer, u32 eventMask);
    ~CSliderWidget() override;

    // Takes the width; the height stays the natural one.
    void SetSize(float width, float height) override;
    CVector2 GetPreferredSize() const override;
    bool OnMouseMove(const CPoint2i& point, s32 keyFlags, u8 pass) override;
    bool OnMouseDown(const CPoint2i& point, s32 button, s32 keyFlags, u8 pass) override;
    bool OnMouseUp(const CPoint2i& point, s32 button, s32 keyFlags, u8 pass) override;
    void LoadFromTemplate(const lv::core::CSettingsGroup& node,
                          const lv::core::CSettingsGroup& templates) override;

    // Sends "value_changed".
    virtual void NotifyChanged();

    // Clamped into [0, 1]; the thumb follows.
    void SetValue(float value, bool notify);
    float GetValue() const { return m_Value; }
    // The value that puts the thumb's centre at x (widget coordinates).
    void SetValueFromX(s32 x);
    // Width minus the insets minus the thumb's width.
    float GetUsableLength() const;
    bool IsDragging() const { return m_Dragging != 0; }
    CImageWidget* GetThumb() const { return m_Thumb.get(); }
    CImageWidget* GetTrack() const { return m_Track.get(); }
    void SetSound(const char* sound) { m_Sound = CFixedString(sound); }

private:
    // Makes the track and thumb image widgets and adds them.
    void BuildParts(const lv::graphics::CSprite& track, const lv::graphics::CSprite& thumb);
    void PlaceThumb();

    float m_Value = 0;
    CImageWidget::Ptr m_Thumb;
    CImageWidget::Ptr m_Track;
    u8 m_Dragging = 0;
    CFixedString m_Sound;
};

} // namespace lv::gui
