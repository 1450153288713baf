#pragma once
// A templated screen: a background drawn as a nine-part frame whose centre grows in whole tile
// steps, open and close sounds, show and hide effects, dragging, and a tool tip (a label over a
// background) that tool-tip helpers of its widgets show and hide. Loaded from a "window"
// element and its "window_template".
#include "gui/BaseWindow.h"
#include "gui/ImageWidget.h"
#include "gui/LabelWidget.h"

namespace lv::gui {

class CWindow : public CBaseWindow
{
public:
    using Ptr = boost::intrusive_ptr<CWindow>;

    CWindow();
    ~CWindow() override;

    // Rounds the background's centre up to whole tile steps.
    void SetSize(float width, float height) override;
    // The background image's size.
    CVector2 GetPreferredSize() const override;
    // Dragging by any button inside the window, kept on the screen.
    bool OnMouseMove(const CPoint2i& point, s32 keyFlags, u8 pass) override;
    bool OnMouseDown(const CPoint2i& point, s32 button, s32 keyFlags, u8 pass) override;
    bool OnMouseUp(const CPoint2i& point, s32 button, s32 keyFlags, u8 pass) override;
    // The template first (sounds, effects, tile steps, insets, background, tool tip), then the
    // element's own attributes and children.
    void LoadFromTemplate(const lv::core::CSettingsGroup& node,
                          const lv::core::CSettingsGroup& templates) override;
    // The window, then the tool tip over everything.
    void Draw(lv::graphics::CRenderer& renderer) override;
    // Fits the tool-tip background around the label first.
    void Update() override;
    // Plays the open sound; the show effect is tried on the first activation only.
    void OnActivate() override;
    bool OnDeactivate() override;

    // Shows the text centred on point.x with its top at point.y, kept inside the window.
    void ShowToolTip(const CPoint2i& point, const WString& text);
    void HideToolTip();

    CImageWidget* GetBackground() const { return m_Background.get(); }
    CLabelWidget* GetToolTipLabel() const { return m_ToolTipLabel.get(); }
    CImageWidget* GetToolTipBackground() const { return m_ToolTipBackground.get(); }
    const CPoint2i& GetTileStep() const { return m_TileStep; }
    bool IsMoveable() const { return m_Moveable != 0; }
    void SetMoveable(bool moveable) { m_Moveable = moveable ? 1 : 0; }
    bool IsDragging() const { return m_Dragging != 0; }

protected:
    CImageWidget::Ptr m_Background;
    CImageWidget::Ptr m_ToolTipBackground;
    s32 m_ToolTipInsets[4] = {0, 0, 0, 0}; // left, right, top, bottom
    CLabelWidget::Ptr m_ToolTipLabel;
    u8 m_Moveable = 1;
    u8 m_Dragging = 0;
    CVector2 m_DragAnchor;
    WString m_ShowEffect;
    WString m_HideEffect;
    CFixedString m_OpenSound;
    CFixedString m_CloseSound;
    CPoint2i m_TileStep;

private:
    u8 m_Tiling = 0;
};

} // namespace lv::gui
