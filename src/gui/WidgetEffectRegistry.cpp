#include "gui/WidgetEffectRegistry.h"

namespace lv::gui {

CWidgetEffectRegistry& CWidgetEffectRegistry::Instance()
{
    static CWidgetEffectRegistry instance;
    return instance;
}

bool CWidgetEffectRegistry::Register(const WString& name, const CCreator& creator)
{
    return m_Creators.emplace(name, creator).second;
}

bool CWidgetEffectRegistry::Has(const WString& name) const
{
    return m_Creators.count(name) != 0;
}

CWidgetEffect::Ptr CWidgetEffectRegistry::Create(const WString& name) const
{
    const auto it = m_Creators.find(name);
    return it == m_Creators.end() ? CWidgetEffect::Ptr() : CWidgetEffect::Ptr(it->second());
}

} // namespace lv::gui
