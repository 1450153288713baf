#pragma once
// A two-state check box with a text label beside it: a box image, a check mark centred on it,
// grey variants of both for the disabled look, an optional fade of the mark, click sounds, and
// the events "check_changed", "overed" and "lost_over". A press anywhere on it toggles.
#include "core/TimerHandle.h"
#include "graphics/Sprite.h"
#include "gui/ImageWidget.h"
#include "gui/LabelWidget.h"

namespace lv::gui {

class CCheckboxWidget : public CWidget
{
public:
    using Ptr = boost::intrusive_ptr<CCheckboxWidget>;

    // No images, no font, no text: what the factory makes before loading a template.
    CCheckboxWidget();
    CCheckboxWidget(const lv::graphics::CSprite& box, const lv::graphics::CSprite& check,
                    const lv::graphics::CFont* font, WStringView text, const CFixedString& name, u32 layer,
                    u32 eventMask);
    ~CCheckboxWidget() override;

    CVector2 GetPreferredSize() const override;
    bool OnMouseMove(const CPoint2i& point, s32 keyFlags, u8 pass) override;
    bool OnMouseDown(const CPoint2i& point, s32 button, s32 keyFlags, u8 pass) override;
    void LoadFromTemplate(const lv::core::CSettingsGroup& node,
                          const lv::core::CSettingsGroup& templates) override;
    // Shows the grey images in place of the normal ones while the widget is disabled.
    void Draw(lv::graphics::CRenderer& renderer) override;
    // Fades the check mark.
    void Update() override;

    // Sends "check_changed".
    virtual void NotifyChanged();

    bool IsChecked() const { return m_Checked == 1; }
    void SetChecked(bool checked, bool notify);
    CImageWidget* GetBox() const { return m_Box.get(); }
    CImageWidget* GetCheck() const { return m_Check.get(); }
    CImageWidget* GetGreyBox() const { return m_GreyBox.get(); }
    CImageWidget* GetGreyCheck() const { return m_GreyCheck.get(); }
    CLabelWidget* GetLabel() const { return m_Label.get(); }
    lv::core::CTimer* GetCheckTimer() const { return m_CheckTimer.Get(); }
    s32 GetCheckTime() const { return m_CheckTime; }

private:
    void Layout();

    s32 m_Over = 0;
    s32 m_Checked = 0;
    CImageWidget::Ptr m_Box;
    CImageWidget::Ptr m_Check;
    CImageWidget::Ptr m_GreyBox;
    CImageWidget::Ptr m_GreyCheck;
    CLabelWidget::Ptr m_Label;
    // 0: label left of the box, 1: right of it.
    s32 m_TextPosition = 1;
    float m_Indent = 0;
    CFixedString m_CheckSound;
    CFixedString m_CheckTrueSound;
    CFixedString m_CheckFalseSound;
    lv::core::CTimerHandle m_CheckTimer;
    s32 m_CheckTime = 0;
};

} // namespace lv::gui
