#pragma once
// A strip of tab buttons along the top or down the left side, and one panel per tab below or
// beside it; exactly one panel is shown. Each panel is a plain widget loaded from its tab's
// element, so templates can put any widgets into it. Raises "panel_selected".
#include "gui/ButtonWidget.h"
#include "gui/ImageWidget.h"

#include <utility>
#include <vector>

namespace lv::gui {

class CTabWidget : public CWidget
{
public:
    using Ptr = boost::intrusive_ptr<CTabWidget>;
    using CTab = std::pair<CButtonWidget::Ptr, CWidget::Ptr>;

    // No tabs: what the factory makes before loading a template.
    CTabWidget();
    CTabWidget(const CFixedString& name, u32 layer, u32 eventMask);
    ~CTabWidget() override;

    // The last panel's size plus its button across the strip; (0, 0) without tabs.
    CVector2 GetPreferredSize() const override;
    // A tab button's "pressed" selects its tab.
    void OnEvent(const char* eventName, CBaseWidget* sender) override;
    void LoadFromTemplate(const lv::core::CSettingsGroup& node,
                          const lv::core::CSettingsGroup& templates) override;

    // Sends "panel_selected".
    virtual void NotifyChanged();

    s32 GetPanelCount() const { return static_cast<s32>(m_Tabs.size()); }
    s32 GetSelectedPanel() const { return m_SelectedIndex; }
    // Null from the count up.
    CWidget* GetPanel(s32 index) const;
    CButtonWidget* GetTabButton(s32 index) const;
    CWidget* FindPanel(const CFixedString& name) const;
    s32 FindPanelIndex(const CFixedString& name) const;
    // Indices outside the tabs and the selected one change nothing.
    void SelectPanel(s32 index);
    CImageWidget* GetBackground() const { return m_Background.get(); }
    bool IsAlignedLeft() const { return m_AlignmentLeft != 0; }

private:
    // Gives every panel one size, large enough for the largest laid-out panel.
    void LayoutPanels();
    u32 ButtonLayer(s32 index) const { return static_cast<u32>(static_cast<s32>(m_Tabs.size()) + 2 - index); }

    CImageWidget::Ptr m_Background;
    std::vector<CTab> m_Tabs;
    s32 m_SelectedIndex = -1;
    float m_TabOffsetLeft = 0;
    float m_TabOffsetRight = 0;
    float m_TabOffsetBottom = 0;
    u8 m_AlignmentLeft = 0;
};

} // namespace lv::gui
