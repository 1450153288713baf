// Builds a widget tree from arbitrary template text: the first element is the widget, the
// document is its templates group; then lays it out, resizes and updates it, and clicks and
// drags over it.
#include "core/Settings.h"
#include "gui/Widget.h"
#include "gui/WidgetFactory.h"

#include <cstddef>
#include <cstdint>

namespace {

struct CFuzzWidget : lv::gui::CWidget
{
    CFuzzWidget() : CWidget(CFixedString(""), 0, 0) {}
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static const bool registered = [] {
        lv::gui::CWidgetFactory::RegisterWidgetTypes();
        lv::gui::CWidgetFactory::RegisterWidget<CFuzzWidget>("fuzz_widget");
        return true;
    }();
    (void)registered;
    lv::core::CSettings settings;
    if (!settings.ParseXmlText(reinterpret_cast<const char*>(data), size))
        return 0;
    const lv::core::CSettingsGroup* node = settings.FindFirstChild();
    if (!node)
        return 0;
    boost::intrusive_ptr<lv::gui::CWidget> root(new CFuzzWidget);
    root->LoadFromTemplate(*node, settings);
    root->ApplyLayout();
    root->SetSize(640, 480);
    root->SetSize(0, 0);
    root->UpdateAll();
    root->OnMouseMove(CPoint2i(10, 10), 0, 0);
    root->OnMouseMove(CPoint2i(10, 10), 0, 1);
    for (u8 pass : {u8(0), u8(1)})
        root->OnMouseDown(CPoint2i(12, 8), 1, 0, pass);
    root->OnMouseMove(CPoint2i(400, 8), 0, 1);
    for (u8 pass : {u8(0), u8(1)})
        root->OnMouseUp(CPoint2i(12, 8), 1, 0, pass);
    root->UpdateAll();
    return 0;
}
