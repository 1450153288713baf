#pragma once
// Shows an animation clip centred in the widget. The clip restarts from its beginning whenever
// the widget gets a listener (being added to a parent), and advances only through Update.
#include "anim/Clip.h"
#include "gui/Widget.h"

namespace lv::gui {

class CClipWidget : public CWidget
{
public:
    using Ptr = boost::intrusive_ptr<CClipWidget>;

    // An empty clip: what the factory makes before loading a template.
    CClipWidget();
    CClipWidget(const CFixedString& name, u32 layer, u32 eventMask);
    ~CClipWidget() override;

    // The clip takes the widget's size.
    void SetSize(float width, float height) override;
    // The size of the clip definition's rectangle.
    CVector2 GetPreferredSize() const override;
    // "clip", the preferred size, then the base's loading.
    void LoadFromTemplate(const lv::core::CSettingsGroup& node,
                          const lv::core::CSettingsGroup& templates) override;
    // The clip only: no outline, no children.
    void Draw(lv::graphics::CRenderer& renderer) override;
    // Advances the clip only.
    void Update() override;
    // Rewinds and plays the clip, then takes the listener.
    void SetListener(CBaseWidget* listener) override;

    CClip& GetClip() { return m_Clip; }

private:
    CClip m_Clip;
};

} // namespace lv::gui
