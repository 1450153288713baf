#pragma once
// The push button: four state images (normal, over, pressed, disabled) cut from one strip image,
// an optional label on top with a text colour per state, a cross-fade between state images,
// sounds on hover and press, and the events "overed", "lost_over" and "pressed".
#include "core/TimerHandle.h"
#include "graphics/Sprite.h"
#include "gui/ImageWidget.h"
#include "gui/LabelWidget.h"

namespace lv::gui {

class CButtonWidget : public CWidget
{
public:
    using Ptr = boost::intrusive_ptr<CButtonWidget>;

    enum EState : s32
    {
        StateNormal = 0,
        StateOver = 1,
        StatePressed = 2,
        StateDisabled = 3
    };

    // No image, no label: what the factory makes before loading a template.
    CButtonWidget();
    CButtonWidget(const lv::graphics::CSprite& strip, const CLabelWidget::Ptr& label,
                  const CFixedString& name, u32 layer, u32 eventMask);
    ~CButtonWidget() override;

    // Grows the inner part (size minus the image's border thirds) to whole tile steps.
    void SetSize(float width, float height) override;
    CVector2 GetPreferredSize() const override;
    bool OnMouseMove(const CPoint2i& point, s32 keyFlags, u8 pass) override;
    bool OnMouseDown(const CPoint2i& point, s32 button, s32 keyFlags, u8 pass) override;
    bool OnMouseUp(const CPoint2i& point, s32 button, s32 keyFlags, u8 pass) override;
    // A double click is a press of the left button.
    bool OnMouseDoubleClick(const CPoint2i& point, s32 keyFlags, u8 pass) override;
    void LoadFromTemplate(const lv::core::CSettingsGroup& node,
                          const lv::core::CSettingsGroup& templates) override;
    // Inside the button and, with "use_alpha", on a visible pixel of the normal image.
    bool HitTest(const CPoint2i& point) const override;
    // Runs the fade between the shown and the other state.
    void Update() override;

    // Plays the press sound and sends "pressed".
    virtual void OnPressed();

    void SetDisabled(bool disabled);
    void SetText(WStringView text);
    s32 GetState() const { return m_State; }
    CImageWidget* GetStateImage(s32 state) const { return m_StateImages[state].get(); }
    CLabelWidget* GetLabel() const { return m_Label.get(); }
    void SetStateColor(s32 state, const CColor& color) { m_StateColors[state] = color; }
    void SetImageFadeTime(float ms) { m_ImageFadeTime = ms; }
    void SetTileStep(const CPoint2i& step) { m_TileStep = step; }
    void SetStatesMask(const char* mask) { m_StatesMask = CFixedString(mask); }
    void SetUseAlpha(bool useAlpha) { m_UseAlpha = useAlpha ? 1 : 0; }
    void SetSounds(const char* press, const char* over, const char* disabledPress);
    lv::core::CTimer* GetFadeTimer() const { return m_FadeTimer.Get(); }
    // Cuts the state images from the strip; false when the sprite has no image.
    bool BuildStateImages(const lv::graphics::CSprite& strip);

protected:
    void SetStatePair(s32 shown, s32 other);

private:
    s32 StateCount() const;
    void SetLabelColor(const CColor& color);

    s32 m_State = StateNormal;
    CImageWidget::Ptr m_StateImages[4];
    CLabelWidget::Ptr m_Label;
    CColor m_StateColors[4];
    float m_ImageFadeTime = 0;
    lv::core::CTimerHandle m_FadeTimer;
    s32 m_ShownState = 0;
    s32 m_OtherState = 1;
    CFixedString m_PressSound;
    CFixedString m_OverSound;
    CFixedString m_DisabledPressSound;
    CFixedString m_StatesMask{"nopd"};
    CPoint2i m_TileStep;
    u8 m_UseAlpha = 0;
    // The disabled-press sound of this release was played in the first pass.
    u8 m_DisabledSoundPlayed = 0;
};

} // namespace lv::gui
