#include "gui/WidgetEffectRegistry.h"

namespace lv::gui {

CWidgetEffectRegistry& CWidgetEffectRegistry::Instance()
{
    // Never destroyed: the functors' small-object allocator may be gone before a static
    // registry would be at exit.
    static CWidgetEffectRegistry* instance = new CWidgetEffectRegistry();
    return *instance;
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
