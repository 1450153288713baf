#pragma once
// A drop-down choice: a label showing the chosen text over a background, a button at its right
// end and a list that opens below them. Raises "list_showed" when the list opens and
// "line_selected" when the shown text changes; the events of its list and button reach its
// listener too, forwarded.
#include "gui/ButtonWidget.h"
#include "gui/ImageWidget.h"
#include "gui/LabelWidget.h"
#include "gui/ListWidget.h"

namespace lv::gui {

class CComboBoxWidget : public CWidget
{
public:
    using Ptr = boost::intrusive_ptr<CComboBoxWidget>;

    // No parts but the list: what the factory makes before loading a template.
    CComboBoxWidget();
    CComboBoxWidget(const CFixedString& name, u32 layer, u32 eventMask);
    ~CComboBoxWidget() override;

    // The height is the button's, plus the list's while the list is open.
    void SetSize(float width, float height) override;
    CVector2 GetPreferredSize() const override;
    // Closes the list and shows the line a list selection names; toggles on the button's press.
    void OnEvent(const char* eventName, CBaseWidget* sender) override;
    // Presses on the label toggle the list; presses outside the parts (either pass) close it.
    bool OnMouseDown(const CPoint2i& point, s32 button, s32 keyFlags, u8 pass) override;
    void LoadFromTemplate(const lv::core::CSettingsGroup& node,
                          const lv::core::CSettingsGroup& templates) override;

    // Sends "line_selected".
    virtual void NotifyChanged();

    u32 GetLineCount() const { return m_List->GetLineCount(); }
    void AddString(WStringView text) { m_List->AddString(text); }
    WString GetString(u32 index) const { return m_List->GetString(index); }
    s32 FindString(WStringView text) const { return m_List->FindString(text); }
    void SetString(u32 index, WStringView text) { m_List->SetString(index, text); }
    void RemoveString(u32 index) { m_List->RemoveString(index); }
    s32 GetSelectedIndex() const { return m_List->GetSelectedIndex(); }
    // With notify the list's event does the rest; without, the list closes and the label shows
    // the selected line, silently.
    void SetSelectedIndex(s32 index, bool notify);
    // Empties the list and shows an empty text (which notifies).
    void Clear();
    // Shows the text and notifies.
    void SetText(WStringView text);
    void ShowList(bool show);
    bool IsListShown() const { return !(m_List->GetFlags() & (Hidden | Disabled)); }

    CLabelWidget* GetLabel() const { return m_Label.get(); }
    CButtonWidget* GetButton() const { return m_Button.get(); }
    CImageWidget* GetBackground() const { return m_Background.get(); }
    CListWidget* GetList() const { return m_List.get(); }

private:
    float ButtonHeight() const { return m_Button ? m_Button->GetSize().Y : 0; }
    bool Inside(const CBaseWidget* part, const CPoint2i& point) const;
    void SelectedLineToLabel();

    CLabelWidget::Ptr m_Label;
    CButtonWidget::Ptr m_Button;
    CImageWidget::Ptr m_Background;
    CListWidget::Ptr m_List;
    CFixedString m_OpenSound;
    CFixedString m_SelectSound;
};

} // namespace lv::gui
