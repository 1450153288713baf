#pragma once
// A node of the declaration tree: child groups and font declarations, both in document order.
#include <list>
#include <vector>

#include "core/FixedString.h"
#include "core/Types.h"
#include "graphics/FontDeclaration.h"

namespace lv::graphics {

class CDeclarationGroup
{
public:
    CDeclarationGroup();

    // The first child group of that name; with `recursive`, each child's subtree in turn (depth
    // first) when no direct child matches. Null when none.
    CDeclarationGroup* FindGroup(const char* name, bool recursive);

    const CFixedString* GetName() const { return m_Name; }
    void SetName(const CFixedString* name) { m_Name = name; }
    s32 GetFlags() const { return m_Flags; }
    void SetFlags(s32 flags) { m_Flags = flags; }

    // Child groups keep their addresses while others are added.
    std::list<CDeclarationGroup>& GetGroups() { return m_Groups; }
    const std::list<CDeclarationGroup>& GetGroups() const { return m_Groups; }
    std::vector<lv::core::FontDeclaration>& GetDeclarations() { return m_Declarations; }
    const std::vector<lv::core::FontDeclaration>& GetDeclarations() const { return m_Declarations; }

private:
    const CFixedString* m_Name;
    s32 m_Flags = 0;
    std::list<CDeclarationGroup> m_Groups;
    std::vector<lv::core::FontDeclaration> m_Declarations;
};

} // namespace lv::graphics
