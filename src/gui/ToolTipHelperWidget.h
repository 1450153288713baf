#pragma once
// Gives its owner a tool tip: an invisible child covering the owner that watches the mouse,
// asks the top window to show the text below the pointer once it has stayed over the owner for
// more than 500 ms, and has it hidden when the pointer leaves.
#include "core/LocalizedText.h"
#include "gui/Widget.h"

namespace lv::gui {

class CToolTipHelperWidget : public CWidget
{
public:
    using Ptr = boost::intrusive_ptr<CToolTipHelperWidget>;

    static constexpr s32 kDelayMs = 500;
    static constexpr s32 kOffsetY = 30;

    CToolTipHelperWidget();
    ~CToolTipHelperWidget() override;

    // Always false, so the move goes on to the other widgets.
    bool OnMouseMove(const CPoint2i& point, s32 keyFlags, u8 pass) override;
    void Update() override;
    // The base's, then all four anchors, so it stretches with its owner.
    void SetListener(CBaseWidget* listener) override;

    // The new source, expanded again.
    void SetText(WStringView text) { m_Text.SetSource(text); }
    const WString& GetText() const { return m_Text.GetText(); }
    bool IsShown() const { return m_Shown != 0; }

private:
    u32 m_HoverStart = 0;
    u8 m_Shown = 0;
    CPoint2i m_LastPoint;
    lv::core::CLocalizedText m_Text;
};

} // namespace lv::gui
