#include "gui/WidgetFactory.h"

#include "gui/ButtonWidget.h"
#include "gui/CheckboxWidget.h"
#include "gui/ClipWidget.h"
#include "gui/ComboBoxWidget.h"
#include "gui/EditWidget.h"
#include "gui/FlashWidget.h"
#include "gui/ImageBoxWidget.h"
#include "gui/ImageWidget.h"
#include "gui/LabelWidget.h"
#include "gui/ListWidget.h"
#include "gui/ProgressBarWidget.h"
#include "gui/ScrollWidget.h"
#include "gui/SliderWidget.h"
#include "gui/TabWidget.h"
#include "gui/TableWidget.h"

namespace lv::gui {

CWidgetFactory& CWidgetFactory::Instance()
{
    // Never destroyed: templates may still be read while the process ends.
    static CWidgetFactory* instance = new CWidgetFactory();
    return *instance;
}

void CWidgetFactory::RegisterWidgetTypes()
{
    // In this order; a second call registers nothing new.
    RegisterWidget<CLabelWidget>("label_widget");
    RegisterWidget<CImageWidget>("image_widget");
    RegisterWidget<CButtonWidget>("button_widget");
    RegisterWidget<CCheckboxWidget>("checkbox_widget");
    RegisterWidget<CScrollWidget>("scroll_widget");
    RegisterWidget<CListWidget>("list_widget");
    RegisterWidget<CComboBoxWidget>("combobox_widget");
    RegisterWidget<CEditWidget>("edit_widget");
    RegisterWidget<CSliderWidget>("slider_widget");
    RegisterWidget<CTabWidget>("tab_widget");
    RegisterWidget<CTableWidget>("table_widget");
    RegisterWidget<CImageBoxWidget>("image_box_widget");
    RegisterWidget<CProgressBarWidget>("progress_bar_widget");
    RegisterWidget<CClipWidget>("clip_widget");
    RegisterWidget<CFlashWidget>("flash_widget");
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
