#pragma once
// Something that wraps a widget's drawing for a while (a fade, a slide): it starts with the
// widget, updates once per frame with it, and brackets its drawing. A finished effect is dropped
// by the widget at its next update.
#include "core/RefCountedObj.h"
#include "core/Types.h"

#include <boost/intrusive_ptr.hpp>

namespace lv::graphics {
class CRenderer;
}

namespace lv::gui {

class CBaseWidget;

class CWidgetEffect : public lv::misc::CRefCountedObj
{
public:
    using Ptr = boost::intrusive_ptr<CWidgetEffect>;

    ~CWidgetEffect() override;
    virtual void Start(CBaseWidget* widget);
    virtual void Update(CBaseWidget* widget);
    virtual void BeforeDraw(lv::graphics::CRenderer& renderer);
    virtual void AfterDraw(lv::graphics::CRenderer& renderer);

    bool IsFinished() const { return m_Finished != 0; }
    void SetFinished(bool finished) { m_Finished = finished ? 1 : 0; }

protected:
    u8 m_Finished = 0;
};

} // namespace lv::gui
