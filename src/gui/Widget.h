#pragma once
// The base of every control: the listener that receives the widget's events and focus
// requests (its parent once added), the drawing layer among siblings, the events the widget
// itself handles, the anchors that hold it to its parent's edges, and the focused flag.
#include "gui/BaseWidget.h"

namespace lv::gui {

class CWidget : public CBaseWidget
{
public:
    using Ptr = boost::intrusive_ptr<CWidget>;

    enum EAnchors : u32
    {
        AnchorLeft = 1,
        AnchorRight = 2,
        AnchorTop = 4,
        AnchorBottom = 8
    };

    CWidget(const CFixedString& name, u32 layer, u32 eventMask);
    ~CWidget() override;

    using CBaseWidget::GetPosition;
    // The listener's position plus the own one.
    CVector2 GetPosition(bool withWindows) const override;
    void SetFocus(CBaseWidget* widget) override;
    void OnEvent(const char* eventName, CBaseWidget* sender) override;
    CBaseWidget* GetListener() const override { return m_Listener; }
    // The base's loading, then "layer".
    void LoadFromTemplate(const lv::core::CSettingsGroup& node,
                          const lv::core::CSettingsGroup& templates) override;

    virtual void SetListener(CBaseWidget* listener);
    virtual void ClearListener();
    virtual void SetFocused(bool focused);
    // Keeps the anchored margins after the listener changed size from (oldWidth, oldHeight).
    virtual void ApplyAnchors(float oldParentWidth, float oldParentHeight);

    // Stores the layer, then tells the listener so it re-sorts at its next update.
    void SetLayer(u32 layer);
    u32 GetLayer() const { return m_Layer; }
    void SetAnchors(u32 anchors) { m_Anchors = anchors; }
    u32 GetAnchors() const { return m_Anchors; }
    u32 GetOwnEventMask() const { return m_EventMask; }
    bool IsFocused() const { return m_Focused != 0; }

protected:
    CBaseWidget* m_Listener = nullptr;
    u32 m_Layer;
    u32 m_EventMask;
    u32 m_Anchors = AnchorLeft | AnchorTop;
    u8 m_Focused = 0;
};

} // namespace lv::gui
