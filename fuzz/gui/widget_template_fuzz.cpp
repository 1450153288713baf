// Builds a widget tree from arbitrary template text: the first element is the widget, the
// document is its templates group; then lays it out, resizes and updates it, and clicks and
// drags over it, turns the wheel and types.
#include "core/Settings.h"
#include "gui/Widget.h"
#include "gui/WidgetFactory.h"

#include <cstddef>
#include <cstdint>
#include <vector>

namespace {

struct CFuzzWidget : lv::gui::CWidget
{
    CFuzzWidget() : CWidget(CFixedString(""), 0, 0) {}
};

// Keys reach a window's focused widget only: every widget of the tree gets them here.
void TypeEverywhere(lv::gui::CBaseWidget& widget)
{
    for (u16 c : {u16('a'), u16(' '), u16('\r'), u16('7'), u16('-')})
        widget.OnChar(c, 0, 0, 0);
    for (s32 key : {10000, 10001, 10002, 10003, 10004, 10005, 10006, 10007, 10009, 10011, 10012})
        for (s32 flags : {0, 1, 2})
            widget.OnKeyDown(key, flags, 0, 0);
    for (s32 key : {'A', 'Z', 'Y', 'Z'})
        widget.OnKeyDown(key, 2, 0, 0);
    const std::vector<lv::gui::CBaseWidget::Ptr> children = widget.GetChildren();
    for (const auto& child : children)
        if (child)
            TypeEverywhere(*child);
}

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
    // Wheel, typing and editing keys (arrows, Home, End, Backspace, Delete, Enter, Ctrl+A/Z/Y),
    // each widget getting them as the focused one would.
    for (u8 pass : {u8(0), u8(1)})
        root->OnMouseWheel(CPoint2i(12, 8), pass ? -3 : 2, 0, pass);
    TypeEverywhere(*root);
    root->UpdateAll();
    return 0;
}
