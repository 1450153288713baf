#include "graphics/DeclarationGroup.h"

#include "core/NamePool.h"

namespace lv::graphics {

CDeclarationGroup::CDeclarationGroup() : m_Name(lv::core::InternName(CFixedString())) {}

CDeclarationGroup* CDeclarationGroup::FindGroup(const char* name, bool recursive)
{
    for (CDeclarationGroup& group : m_Groups)
        if (group.m_Name->CompareText(name) == 0)
            return &group;
    if (recursive)
        for (CDeclarationGroup& group : m_Groups)
            if (CDeclarationGroup* found = group.FindGroup(name, true))
                return found;
    return nullptr;
}

} // namespace lv::graphics
