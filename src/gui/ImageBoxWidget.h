#pragma once
// A stretchable frame image that can show one content widget centred inside it, clipped to its
// insets. It swallows moves and the wheel over its whole area and reports every press as
// "on_mouse_down". The content is not a child and not owned: its owner keeps it alive.
#include "graphics/Sprite.h"
#include "gui/Widget.h"

namespace lv::gui {

class CImageBoxWidget : public CWidget
{
public:
    using Ptr = boost::intrusive_ptr<CImageBoxWidget>;

    enum EStretch : s32
    {
        StretchNo = 0,
        StretchFit = 1,
        StretchWidth = 2,
        StretchHeight = 3,
        StretchFill = 4
    };

    // No frame image: what the factory makes before loading a template.
    CImageBoxWidget();
    CImageBoxWidget(const CFixedString& frameImage, const CFixedString& name, u32 layer, u32 eventMask);
    CImageBoxWidget(const lv::graphics::CSprite& frame, const CFixedString& name, u32 layer, u32 eventMask);
    ~CImageBoxWidget() override;

    void SetSize(float width, float height) override;
    bool OnMouseMove(const CPoint2i& point, s32 keyFlags, u8 pass) override;
    bool OnMouseDown(const CPoint2i& point, s32 button, s32 keyFlags, u8 pass) override;
    bool OnMouseWheel(const CPoint2i& point, s32 notches, s32 keyFlags, u8 pass) override;
    void LoadFromTemplate(const lv::core::CSettingsGroup& node,
                          const lv::core::CSettingsGroup& templates) override;
    void Draw(lv::graphics::CRenderer& renderer) override;
    // Updates the content's subtree too.
    void Update() override;

    // Modes outside 0 .. 4 are ignored.
    void SetStretchMode(s32 mode);
    s32 GetStretchMode() const { return m_StretchMode; }
    // Null removes the content; a widget is centred in the box.
    void SetContent(CBaseWidget* content);
    CBaseWidget* GetContent() const { return m_Content; }
    lv::graphics::CSprite& GetFrame() { return m_Frame; }

private:
    void UpdateFrameRect();

    lv::graphics::CSprite m_Frame;
    CBaseWidget* m_Content = nullptr;
    s32 m_StretchMode = StretchFit;
};

} // namespace lv::gui
