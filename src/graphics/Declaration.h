#pragma once
// A declared resource: a named set of parameters read from a declaration file, which a resource
// manager later turns into the resource itself.
#include "core/FixedString.h"
#include "core/Types.h"

#include <string_view>

namespace lv::core {

class Declaration
{
public:
    // Attribute names and values as they stand in the file (not zero-terminated).
    virtual void SetAttribute(std::string_view name, std::string_view value) = 0;
    // After the last attribute of the declaration's element.
    virtual void Finish() = 0;

    // The pooled id (never null; empty until an "id" attribute names it).
    const CFixedString* GetName() const { return m_Name; }
    void SetName(const CFixedString* name) { m_Name = name; }
    s32 GetFlags() const { return m_Flags; }
    void SetFlags(s32 flags) { m_Flags = flags; }

    // Pools the text as a name, cutting it (with a warning on `channel`) to what a name holds.
    static const CFixedString* PoolName(std::string_view text, const char* channel);

protected:
    Declaration();
    Declaration(const Declaration&) = default;
    Declaration& operator=(const Declaration&) = default;
    ~Declaration() = default;

    const CFixedString* m_Name;
    s32 m_Flags = 0;
};

} // namespace lv::core
