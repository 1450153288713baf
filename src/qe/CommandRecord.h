#pragma once
// One node of a compiled command tree inside the quest script image: a parallel or sequence node
// followed by its children, or a named command with its (name, value) arguments. Every record
// starts with its total size, so adding it to the record's address gives the next sibling. Views
// are made only over validated images.
#include "core/ByteOrder.h"
#include "core/Types.h"
#include "qe/ScriptName.h"

namespace qe::scripts {

class CCommandRecord
{
public:
    enum EType : u32
    {
        kParallel = 0,
        kSequence = 1,
        kNamed = 2,
    };
    static constexpr u32 kNodeSize = 12;
    static constexpr u32 kNamedSize = 300;
    static constexpr u32 kArgumentSize = 2 * CScriptName::kSize;
    // Arguments that fit the compiler's work buffer with the command.
    static constexpr u32 kMaxArguments = 682;
    // Levels of nesting a tree may have, its root being the first.
    static constexpr u32 kMaxDepth = 256;

    CCommandRecord() = default;
    explicit CCommandRecord(const u8* data) : m_Data(data) {}

    bool IsValid() const { return m_Data != nullptr; }
    const u8* GetData() const { return m_Data; }
    u32 GetSize() const { return lv::core::ReadU32(m_Data); }
    u32 GetType() const { return lv::core::ReadU32(m_Data + 4); }
    bool IsNode() const { return GetType() == kParallel || GetType() == kSequence; }

    // Nodes.
    u32 GetChildCount() const { return lv::core::ReadU32(m_Data + 8); }
    CCommandRecord GetFirstChild() const { return CCommandRecord(m_Data + kNodeSize); }
    CCommandRecord GetNextSibling() const { return CCommandRecord(m_Data + GetSize()); }

    // Named commands.
    CScriptName GetName() const { return CScriptName(m_Data + 8); }
    u32 GetArgumentCount() const { return lv::core::ReadU32(m_Data + 104); }
    CScriptName GetArgumentName(u32 index) const { return CScriptName(m_Data + 108 + index * kArgumentSize); }
    CScriptName GetArgumentValue(u32 index) const
    {
        return CScriptName(m_Data + 108 + index * kArgumentSize + CScriptName::kSize);
    }
    const char* GetArgument(u32 index) const
    {
        return index < GetArgumentCount() ? GetArgumentValue(index).GetText() : "";
    }

    // The size a named command of that many arguments has: the first slot is always there.
    static u64 NamedSizeFor(u64 arguments) { return kNamedSize + kArgumentSize * (arguments ? arguments - 1 : 0); }

private:
    const u8* m_Data = nullptr;
};

} // namespace qe::scripts
