#pragma once
// Turns declarations into resources: walks a declaration tree (nested groups first, then the
// group's own declarations in document order) and keeps one resource record per declaration id.
// Records are held by value in a map, so their addresses stay valid while it grows.
#include <map>

#include "core/FixedString.h"
#include "graphics/DeclarationGroup.h"

namespace lv::core {

template <class Resource, class Decl> class CResourceManager
{
public:
    virtual ~CResourceManager() = default;

    // The start-up load. Every declaration counts once in `counter` (when given), built or not.
    virtual void LoadAll(const lv::graphics::CDeclarationGroup& set, int* counter)
    {
        for (const lv::graphics::CDeclarationGroup& group : set.GetGroups())
            LoadAll(group, counter);
        for (const Decl& declaration : set.GetDeclarations()) {
            Resource resource;
            if (CreateResource(declaration, resource))
                m_Resources[declaration.GetName()] = resource;
            if (counter)
                ++*counter;
        }
    }

    // The same walk for a set that may hold resources already loaded: those are rebuilt in place.
    virtual void ReloadAll(const lv::graphics::CDeclarationGroup& set, bool flag, int* counter)
    {
        for (const lv::graphics::CDeclarationGroup& group : set.GetGroups())
            ReloadAll(group, flag, counter);
        for (const Decl& declaration : set.GetDeclarations()) {
            const auto found = m_Resources.find(declaration.GetName());
            if (found != m_Resources.end()) {
                CreateResource(declaration, found->second);
            } else {
                Resource resource;
                if (CreateResource(declaration, resource))
                    m_Resources[declaration.GetName()] = resource;
            }
            if (counter)
                ++*counter;
        }
    }

    virtual bool CreateResource(const Decl& declaration, Resource& resource) = 0;
    virtual bool RecreateResource(const Decl& declaration, Resource& resource, void* extra) = 0;

    size_t GetResourceCount() const { return m_Resources.size(); }

protected:
    // Keyed by the pooled declaration id: equal ids share one pooled name.
    std::map<const CFixedString*, Resource> m_Resources;
};

} // namespace lv::core
