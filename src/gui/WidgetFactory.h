#pragma once
// Maps widget type names ("button_widget", "label_widget" ...) to creators of new, empty
// widgets, so that window templates can name the widgets they contain. Filled once at start-up,
// then only read.
#include "gui/Widget.h"

#include <loki/Functor.h>

#include <map>
#include <string>

namespace lv::gui {

class CWidgetFactory
{
public:
    // Makes a new widget with an empty name; the caller takes it into an intrusive pointer.
    using CCreator = Loki::Functor<CWidget*>;

    // Created empty on first use; lives until the process ends.
    static CWidgetFactory& Instance();

    // Registers the framework's widget types. Called once by the application's Init; a second
    // call registers nothing new.
    static void RegisterWidgetTypes();

    // Registers the creator of T, made with an empty name and its default arguments.
    template <class T>
    static bool RegisterWidget(const char* typeName)
    {
        return Instance().Register(typeName, CCreator([]() -> CWidget* { return new T(); }));
    }

    // False, keeping the first creator, when the name is registered already. Names are exact
    // and case-sensitive.
    bool Register(const char* typeName, const CCreator& creator);
    bool IsRegistered(const char* typeName) const;
    // Null for a name without creator.
    CWidget* CreateWidget(const char* typeName) const;
    size_t GetTypeCount() const { return m_Creators.size(); }

private:
    CWidgetFactory() = default;

    std::map<std::string, CCreator> m_Creators;
};

} // namespace lv::gui
