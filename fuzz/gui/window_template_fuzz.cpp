// Builds a window from arbitrary gui.xml and guitemplates.xml text (the input split at its
// first "\n--\n"; without it both come from the one text) with every registered widget type,
// then lays it out, resizes and updates it, and hands it input (presses of two buttons, double
// clicks, the wheel, keys), a modal window and a tool tip. The templates are the group
// "GUITemplates" when there is one, as the application reads them.
#include "core/Settings.h"
#include "gui/GuiServices.h"
#include "gui/Window.h"
#include "gui/WidgetFactory.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static const bool registered = [] {
        lv::gui::CWidgetFactory::RegisterWidgetTypes();
        lv::gui::CGuiServices& gui = lv::gui::CGuiServices::Instance();
        gui.Time = [] { return 1000; };
        gui.PlaySound = [](const char*) {};
        return true;
    }();
    (void)registered;
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    const size_t split = text.find("\n--\n");
    const std::string_view guiText = text.substr(0, split);
    const std::string_view templatesText = split == std::string_view::npos ? text : text.substr(split + 4);
    lv::core::CSettings gui, templates;
    if (!gui.ParseXmlText(guiText.data(), guiText.size()))
        return 0;
    if (!templates.ParseXmlText(templatesText.data(), templatesText.size()))
        return 0;
    // The first window element names the window to build.
    const lv::core::CSettingsGroup* first = gui.FindChild("window", true);
    const std::string id = first ? first->GetAttribute("id") : std::string("w");

    const lv::core::CSettingsGroup* section = templates.FindChild("GUITemplates", true);
    const lv::core::CSettingsGroup& templateGroup = section ? *section : templates;

    lv::gui::CWindow::Ptr window(new lv::gui::CWindow());
    window->LoadWindow(gui, templateGroup, id.c_str());
    lv::gui::CWindow::Ptr modal(new lv::gui::CWindow());
    modal->LoadWindow(gui, templateGroup, id.c_str());
    lv::gui::CGuiServices::Instance().TopWindow = [&window] { return window.get(); };
    window->SetSize(640, 480);
    window->SetSize(0, 0);
    window->SetSize(300, 200);
    window->UpdateAll();
    for (u8 pass = 0; pass < 2; ++pass) {
        window->OnMouseMove(CPoint2i(10, 10), 0, pass);
        window->OnMouseDown(CPoint2i(10, 10), 0, 0, pass);
        window->OnMouseMove(CPoint2i(-500, 900), 0, pass);
        window->OnMouseUp(CPoint2i(10, 10), 0, 0, pass);
        window->OnMouseDoubleClick(CPoint2i(20, 30), 0, pass);
        window->OnMouseWheel(CPoint2i(20, 30), pass ? 2 : -1, 0, pass);
        window->OnMouseDown(CPoint2i(20, 40), 1, 0, pass);
        window->OnKeyDown(13, 0, 0, pass);
        window->OnChar(u'a', 0, 0, pass);
    }
    window->ShowToolTip(CPoint2i(290, 190), u"tip");
    window->UpdateAll();
    window->ShowModal(modal);
    window->OnMouseDown(CPoint2i(1000, 1000), 0, 0, 0);
    window->OnKeyDown(27, 0, 0, 0);
    modal->AddFlags(lv::gui::CBaseWidget::Closed);
    window->UpdateAll();
    window->HideToolTip();
    window->OnActivate();
    window->OnDeactivate();
    lv::gui::CGuiServices::Instance().TopWindow = nullptr;
    return 0;
}
