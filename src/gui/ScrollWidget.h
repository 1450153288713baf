#pragma once
// The scroll bar, vertical or horizontal: a stretched track image, a draggable thumb and an arrow
// button at each end. The value runs over 0 .. maximum - page size; every change is reported to
// the listener as "value_changed". Lists and multi-line edits make their own and drive them.
#include "graphics/Sprite.h"
#include "gui/ButtonWidget.h"
#include "gui/ImageWidget.h"

namespace lv::gui {

class CScrollWidget : public CWidget
{
public:
    using Ptr = boost::intrusive_ptr<CScrollWidget>;

    // Vertical, no images: what the factory makes before loading a template.
    CScrollWidget();
    CScrollWidget(const lv::graphics::CSprite& back, const lv::graphics::CSprite& thumb,
                  const lv::graphics::CSprite& top, const lv::graphics::CSprite& bottom, bool vertical,
                  const CFixedString& name, u32 layer, u32 eventMask);
    ~CScrollWidget() override;

    // A vertical bar keeps its width, a horizontal one its height (unless still 0).
    void SetSize(float width, float height) override;
    CVector2 GetPreferredSize() const override;
    bool OnMouseMove(const CPoint2i& point, s32 keyFlags, u8 pass) override;
    bool OnMouseDown(const CPoint2i& point, s32 button, s32 keyFlags, u8 pass) override;
    bool OnMouseUp(const CPoint2i& point, s32 button, s32 keyFlags, u8 pass) override;
    bool OnMouseWheel(const CPoint2i& point, s32 notches, s32 keyFlags, u8 pass) override;
    void LoadFromTemplate(const lv::core::CSettingsGroup& node,
                          const lv::core::CSettingsGroup& templates) override;

    // Sends "value_changed".
    virtual void NotifyChanged();

    // Clamped into 0 .. maximum - page size; always notifies.
    void SetValue(float value);
    // At least 1; the value keeps its proportion. No event.
    void SetMaxValue(float maximum);
    // 1 .. maximum. No event.
    void SetPageSize(float page);
    float GetValue() const { return m_Value; }
    float GetMaxValue() const { return m_MaxValue; }
    float GetPageSize() const { return m_PageSize; }
    void SetButtonStep(float step) { m_ButtonStep = step; }
    void SetWheelStep(float step) { m_WheelStep = step; }
    bool IsVertical() const { return m_Vertical != 0; }

    CButtonWidget* GetThumb() const { return m_Thumb.get(); }
    CButtonWidget* GetTopArrow() const { return m_TopArrow.get(); }
    CButtonWidget* GetBottomArrow() const { return m_BottomArrow.get(); }
    CImageWidget* GetTrack() const { return m_Track.get(); }
    // Along the bar's axis.
    float GetTrackStart() const;
    float GetTrackLength() const;
    float GetThumbStart() const;
    float GetThumbLength() const;

private:
    void BuildParts(const lv::graphics::CSprite& back, const lv::graphics::CSprite& thumb,
                    const lv::graphics::CSprite& top, const lv::graphics::CSprite& bottom);
    void LayOutParts();
    void UpdateThumbSize();
    void UpdateThumbPosition();
    float Along(const CVector2& v) const { return m_Vertical ? v.Y : v.X; }
    float Along(const CPoint2i& p) const { return static_cast<float>(m_Vertical ? p.Y : p.X); }

    CButtonWidget::Ptr m_Thumb;
    CButtonWidget::Ptr m_TopArrow;
    CButtonWidget::Ptr m_BottomArrow;
    CImageWidget::Ptr m_Track;
    float m_GrabOffset = 0;
    float m_Value = 0;
    float m_MaxValue = 1;
    float m_PageSize = 1;
    float m_ButtonStep = 1;
    float m_WheelStep = 1;
    u8 m_Vertical;
    CFixedString m_DragSound;
    CFixedString m_ButtonSound;
    CFixedString m_PageSound;
};

} // namespace lv::gui
