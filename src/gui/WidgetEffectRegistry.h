#pragma once
// Effect kinds by name, for windows that name their show and hide effects. The framework
// registers none; a game or a test may add its own.
#include "core/Types.h"
#include "gui/WidgetEffect.h"

#include <loki/Functor.h>

#include <map>

namespace lv::gui {

class CWidgetEffectRegistry
{
public:
    using CCreator = Loki::Functor<CWidgetEffect*>;

    // Created empty on first use; lives until the process ends.
    static CWidgetEffectRegistry& Instance();

    // False, keeping the first creator, when the name is registered already.
    bool Register(const WString& name, const CCreator& creator);
    bool Has(const WString& name) const;
    // Null for an unknown name.
    CWidgetEffect::Ptr Create(const WString& name) const;

private:
    std::map<WString, CCreator> m_Creators;
};

} // namespace lv::gui
