#pragma once
// A vertical list of one-line texts over a stretched background: one selected line, a hovered
// line, a text colour per state, a filled selection band, a click sound and a vertical scroll
// bar shown only when the lines do not fit. Raises "line_selected".
#include "graphics/Sprite.h"
#include "gui/ImageWidget.h"
#include "gui/LabelWidget.h"
#include "gui/ScrollWidget.h"

#include <map>
#include <vector>

namespace lv::gui {

class CListWidget : public CWidget
{
public:
    using Ptr = boost::intrusive_ptr<CListWidget>;

    enum EColorKey : s32
    {
        ColorNormal = 0,
        ColorSelected = 1,
        ColorOver = 2,
        ColorSelection = 3
    };

    // No background, no font: what the factory makes before loading a template.
    CListWidget();
    CListWidget(const lv::graphics::CSprite& background, const lv::graphics::CFont* font,
                const CFixedString& name, u32 layer, u32 eventMask);
    ~CListWidget() override;

    void SetSize(float width, float height) override;
    CVector2 GetPreferredSize() const override;
    // Scrolls on the own scroll bar's "value_changed"; every event goes on to the listener.
    void OnEvent(const char* eventName, CBaseWidget* sender) override;
    bool OnMouseMove(const CPoint2i& point, s32 keyFlags, u8 pass) override;
    bool OnMouseDown(const CPoint2i& point, s32 button, s32 keyFlags, u8 pass) override;
    bool OnMouseWheel(const CPoint2i& point, s32 notches, s32 keyFlags, u8 pass) override;
    void LoadFromTemplate(const lv::core::CSettingsGroup& node,
                          const lv::core::CSettingsGroup& templates) override;
    void Draw(lv::graphics::CRenderer& renderer) override;

    // Sends "line_selected".
    virtual void NotifyChanged();

    // Nothing without a font.
    void AddString(WStringView text);
    void RemoveString(u32 index);
    void Clear();
    u32 GetLineCount() const { return static_cast<u32>(m_Lines.size()); }
    WString GetString(u32 index) const;
    void SetString(u32 index, WStringView text);
    s32 FindString(WStringView text) const;
    s32 GetSelectedIndex() const { return m_SelectedIndex; }
    // -1 or a line's index; others are ignored. Notifies also when nothing changed.
    void SetSelectedIndex(s32 index, bool notify);
    s32 GetHoveredIndex() const { return m_HoveredIndex; }
    void SetJustification(s32 horizontal, s32 vertical);
    void SetLineColor(s32 key, const CColor& color) { m_Colors[key] = color; }
    CColor GetLineColor(s32 key) const;
    void SetListHeight(s32 lines) { m_ListHeight = lines <= 0 ? 5 : lines; }
    float GetHeightForLines(s32 lines) const;
    float GetScrollBarWidth() const;
    // In lines; nothing while the scroll bar is disabled.
    void SetScrollPosition(s32 firstLine);
    s32 GetScrollPosition() const;
    float GetLineHeight() const;
    float GetScrollOffset() const { return m_ScrollOffset; }
    CLabelWidget* GetLine(u32 index) const { return index < m_Lines.size() ? m_Lines[index].get() : nullptr; }
    CScrollWidget* GetScrollBar() const { return m_ScrollBar.get(); }
    CImageWidget* GetBackground() const { return m_Background.get(); }
    // The first line under a point in list coordinates, or -1.
    s32 LineAt(const CPoint2i& point) const;

private:
    void LayoutLines();
    void UpdateScrollBar();
    void UpdateLineColors();
    void ClearHover();
    bool ScrollBarShown() const { return m_ScrollBar && !(m_ScrollBar->GetFlags() & Hidden); }

    CScrollWidget::Ptr m_ScrollBar;
    CImageWidget::Ptr m_Background;
    const lv::graphics::CFont* m_Font;
    std::vector<CLabelWidget::Ptr> m_Lines;
    std::map<s32, CColor> m_Colors;
    s32 m_ListHeight = 5;
    s32 m_HorizontalJustification = 0;
    s32 m_VerticalJustification = 0;
    s32 m_SelectedIndex = -1;
    s32 m_HoveredIndex = -1;
    float m_ScrollOffset = 0;
    CFixedString m_SelectSound;
    SInsets m_LabelInsets;
};

} // namespace lv::gui
