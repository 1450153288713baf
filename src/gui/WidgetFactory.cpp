#include "gui/WidgetFactory.h"

#include "gui/ButtonWidget.h"
#include "gui/CheckboxWidget.h"
#include "gui/ImageWidget.h"
#include "gui/LabelWidget.h"
#include "gui/SliderWidget.h"

namespace lv::gui {

CWidgetFactory& CWidgetFactory::Instance()
{
    // Never destroyed: templates may still be read while the process ends.
    static CWidgetFactory* instance = new CWidgetFactory();
    return *instance;
}

void CWidgetFactory::RegisterWidgetTypes()
{
    // Each widget class of the framework adds its row here, in this order: label, image,
    // button, checkbox, scroll, list, combo box, edit, slider, tab, table, image box,
    // progress bar, clip and Flash widgets. A second call registers nothing new.
    RegisterWidget<CLabelWidget>("label_widget");
    RegisterWidget<CImageWidget>("image_widget");
    RegisterWidget<CButtonWidget>("button_widget");
    RegisterWidget<CCheckboxWidget>("checkbox_widget");
    RegisterWidget<CSliderWidget>("slider_widget");
}

bool CWidgetFactory::Register(const char* typeName, const CCreator& creator)
{
    if (!typeName)
        return false;
    return m_Creators.emplace(typeName, creator).second;
}

bool CWidgetFactory::IsRegistered(const char* typeName) const
{
    return typeName && m_Creators.count(typeName) != 0;
}

CWidget* CWidgetFactory::CreateWidget(const char* typeName) const
{
    if (!typeName)
        return nullptr;
    const auto it = m_Creators.find(typeName);
    return it == m_Creators.end() ? nullptr : it->second();
}

} // namespace lv::gui
