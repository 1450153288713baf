#pragma once
// The text entry field: one wide text, a caret image, a selection made with the mouse or with
// Shift and the cursor keys, word deletion, select-all, undo and redo, a length limit, single- or
// multi-line text with optional scroll bars, and the events "text_changed", "got_focus" and
// "lost_focus".
#include "core/IntRect.h"
#include "graphics/Sprite.h"
#include "gui/EditHistory.h"
#include "gui/ImageWidget.h"
#include "gui/ScrollWidget.h"

namespace lv::graphics {
class CFont;
}

namespace lv::gui {

class CEditWidget : public CWidget
{
public:
    using Ptr = boost::intrusive_ptr<CEditWidget>;

    // No images, text or font: what the factory makes before loading a template.
    CEditWidget();
    CEditWidget(const lv::graphics::CSprite& background, const lv::graphics::CSprite& caret, WStringView text,
                const lv::graphics::CFont* font, const SInsets& insets, const CFixedString& name, u32 layer,
                u32 eventMask);
    ~CEditWidget() override;

    // Re-places the caret when one of the own scroll bars moved.
    void OnEvent(const char* eventName, CBaseWidget* sender) override;
    bool OnChar(u16 character, s32 keyFlags, s32 keyData, u8 pass) override;
    bool OnKeyDown(s32 key, s32 keyFlags, s32 keyData, u8 pass) override;
    bool OnMouseMove(const CPoint2i& point, s32 keyFlags, u8 pass) override;
    bool OnMouseDown(const CPoint2i& point, s32 button, s32 keyFlags, u8 pass) override;
    bool OnMouseUp(const CPoint2i& point, s32 button, s32 keyFlags, u8 pass) override;
    void LoadFromTemplate(const lv::core::CSettingsGroup& node,
                          const lv::core::CSettingsGroup& templates) override;
    void Draw(lv::graphics::CRenderer& renderer) override;
    // Shows the caret while focused; losing the focus ends a selection.
    void SetFocused(bool focused) override;

    // Sends "text_changed".
    virtual void NotifyChanged();

    // Cut to the maximum length, recorded in the history; the caret goes to the end.
    void SetText(WStringView text);
    // As SetText, but the caret stays.
    void SetTextKeepCaret(WStringView text);
    const WString& GetText() const { return m_Text; }
    // 0 is unlimited; the current text is not cut.
    void SetMaxChars(s32 maximum) { m_MaxChars = maximum; }
    void SetSelection(s32 start, s32 end);
    void SetCaret(s32 position, bool scroll);
    s32 GetCaret() const { return m_Caret; }
    s32 GetSelectionStart() const { return m_SelectionStart; }
    s32 GetSelectionEnd() const { return m_SelectionEnd; }
    bool IsMultiLine() const { return m_MultiLine != 0; }
    void SetMultiLine(bool multiLine);
    // The caret position for a point in widget coordinates.
    s32 HitIndex(const CPoint2i& point) const;
    // (x, y, width, height) of the text's layout box in widget coordinates.
    CIntRect GetTextRect() const;
    const CEditHistory& GetHistory() const { return m_History; }
    CImageWidget* GetCaretImage() const { return m_CaretImage.get(); }
    CImageWidget* GetBackground() const { return m_Background.get(); }
    CScrollWidget* GetHorizontalScroll() const { return m_HorizontalScroll.get(); }
    CScrollWidget* GetVerticalScroll() const { return m_VerticalScroll.get(); }
    void SetColors(const CColor& text, const CColor& selectedText, const CColor& selection);

private:
    // Scroll ranges, caret with scrolling, then "text_changed".
    void ApplyTextChange();
    void UpdateScrollRanges();
    void FitSize(float width, float height);
    u32 TextFlags() const { return static_cast<u32>(m_HorizontalFlags | m_VerticalFlags); }
    // The character rectangle the caret measures from, relative to the layout box.
    CIntRect ReferenceRect() const;
    // Moves the caret; with extend the selection runs from its anchor, else it collapses.
    void Move(s32 position, bool extend);
    void AnchorSelection();
    bool HasSelection() const { return m_SelectionStart != m_SelectionEnd; }
    // Removes the selected text; the caret goes to the selection's start.
    void RemoveSelection();

    CEditHistory m_History;
    const lv::graphics::CFont* m_Font;
    WString m_Text;
    s32 m_HorizontalFlags = 0x20;
    s32 m_VerticalFlags = 0x200;
    SInsets m_TextInsets;
    s32 m_MaxChars = 0;
    CColor m_TextColor{0xFFFFFFFFu};
    CColor m_SelectedTextColor{0xFF404040u};
    CColor m_SelectionColor{0xFFC0C0C0u};
    CImageWidget::Ptr m_Background;
    CImageWidget::Ptr m_CaretImage;
    CScrollWidget::Ptr m_HorizontalScroll;
    CScrollWidget::Ptr m_VerticalScroll;
    u8 m_MultiLine = 0;
    s32 m_Caret = 0;
    s32 m_SelectionStart = 0;
    s32 m_SelectionEnd = 0;
    u8 m_Selecting = 0;
};

} // namespace lv::gui
