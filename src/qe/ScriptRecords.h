#pragma once
// Read-only views over the records of the quest script image: quest, scene and block records,
// command sets. Every view is made over a validated image (CScriptImage::Validate), which has
// checked each count, size and name once, so the views read without further checks.
//
// A block record is a fixed head followed by its parts in the order of its kind: guid lists
// (8 bytes an entry), minigame arguments, command trees (present when their flag is set) and
// command sets. CBlockLayout finds the parts from the counts and flags.
#include "core/ByteOrder.h"
#include "core/Types.h"
#include "qe/CommandRecord.h"
#include "qe/ScriptName.h"

#include <string>

namespace qe::scripts {

enum class EBlockKind : u32
{
    Action,
    Environment,
    AutoAction,
    Scene,
    Minigame,
    SceneEvent,
    Group,
    Cycle,
    Or,
};
constexpr u32 kBlockKindCount = 9;

// The element name under which quest.xml lists blocks of the kind.
const char* GetBlockElementName(EBlockKind kind);
// The size of the kind's fixed record, head included.
u32 GetBlockRecordSize(EBlockKind kind);

enum class EBlockList : u32
{
    Condition, // "condition_inputs"
    Unblock,   // "unblock_inputs"
    Block,     // "block_inputs"
    Loop,      // "loop_blocks"
    Members,   // the guids of the blocks in the element's columns
    Inputs,    // "inputs" of an or block
};
constexpr u32 kBlockListCount = 6;

enum class EBlockTree : u32
{
    Correct,   // action: flag 1
    Incorrect, // action: flag 2
    Commands,  // auto-action, minigame, scene event: flag 1
    PreOpen,   // scene: flag 1
    PostOpen,  // scene: flag 2
};
constexpr u32 kBlockTreeCount = 5;

// Record flags.
constexpr u32 kActionHasCorrect = 1;
constexpr u32 kActionHasIncorrect = 2;
constexpr u32 kActionIgnoredByHint = 4;
constexpr u32 kHasCommands = 1;
constexpr u32 kScenePreOpen = 1;
constexpr u32 kScenePostOpen = 2;
constexpr u32 kMinigameIgnoredByHint = 2;
constexpr u32 kSceneEventOpen = 2;

struct SGuidList
{
    const u8* data = nullptr;
    u32 count = 0;

    u64 Get(u32 index) const
    {
        const u8* p = data + 8 * static_cast<size_t>(index);
        return lv::core::ReadU32(p) | (static_cast<u64>(lv::core::ReadU32(p + 4)) << 32);
    }
};

// Offsets from the start of a block record; 0 marks a part the record lacks.
struct CBlockLayout
{
    u32 listOffset[kBlockListCount] = {};
    u32 listCount[kBlockListCount] = {};
    u32 treeOffset[kBlockTreeCount] = {};
    u32 setsOffset = 0;
    u32 setCount = 0;
    u32 argumentsOffset = 0;
    u32 argumentCount = 0;
    // Where the parts end: the record's size in a sound image.
    u64 end = 0;

    // Finds the parts of a record of `size` bytes (its head must be there). With `check`, each
    // part must lie inside the record, every name and command tree must be well formed and the
    // stored tree offsets must agree; the error then says what is wrong.
    bool Compute(const u8* record, u32 size, EBlockKind kind, bool check, std::string* error = nullptr);
};

// Checks a command tree of `available` bytes at most: sizes, child counts, names and nesting.
bool ValidateCommandTree(const u8* data, u64 available, std::string* error = nullptr);

// A command set of an action or environment block: the item it answers and its tree.
class CCommandSetRecord
{
public:
    static constexpr u32 kHeadSize = 104;

    CCommandSetRecord() = default;
    explicit CCommandSetRecord(const u8* data) : m_Data(data) {}

    const u8* GetData() const { return m_Data; }
    CScriptName GetActiveObjectName() const { return CScriptName(m_Data); }
    u32 GetSize() const { return lv::core::ReadU32(m_Data + 96); }
    bool HasTree() const { return lv::core::ReadU32(m_Data + 100) == 1; }
    CCommandRecord GetTree() const { return HasTree() ? CCommandRecord(m_Data + kHeadSize) : CCommandRecord(); }
    CCommandSetRecord GetNext() const { return CCommandSetRecord(m_Data + GetSize()); }

private:
    const u8* m_Data = nullptr;
};

class CBlockRecord
{
public:
    static constexpr u32 kHeadSize = 112;

    CBlockRecord() = default;
    CBlockRecord(const u8* data, EBlockKind kind);

    bool IsValid() const { return m_Data != nullptr; }
    const u8* GetData() const { return m_Data; }
    EBlockKind GetKind() const { return m_Kind; }
    u64 GetGuid() const { return SGuidList{m_Data, 1}.Get(0); }
    u32 GetSize() const { return lv::core::ReadU32(m_Data + 8); }
    CScriptName GetId() const { return CScriptName(m_Data + 12); }
    // The next record of the same kind (valid only while the scene's count says there is one).
    CBlockRecord GetNext() const { return CBlockRecord(m_Data + GetSize(), m_Kind); }

    // The object the player uses (action, environment; the door of a scene block).
    CScriptName GetObjectName() const { return CScriptName(m_Data + 112); }
    // The item the player must hold (action).
    CScriptName GetActiveObjectName() const { return CScriptName(m_Data + 208); }
    // The scene a scene block opens.
    CScriptName GetTargetSceneName() const { return CScriptName(m_Data + 208); }
    CScriptName GetMinigameName() const { return CScriptName(m_Data + 112); }
    // The record's flag word (0 for the kinds without one).
    u32 GetFlags() const;
    bool HasFlags(u32 flags) const { return (GetFlags() & flags) != 0; }

    SGuidList GetList(EBlockList list) const;
    // An invalid record when the block has no such tree.
    CCommandRecord GetTree(EBlockTree tree) const;
    u32 GetCommandSetCount() const { return GetLayout().setCount; }
    CCommandSetRecord GetFirstCommandSet() const { return CCommandSetRecord(m_Data + GetLayout().setsOffset); }
    u32 GetArgumentCount() const { return GetLayout().argumentCount; }
    CScriptName GetArgumentKey(u32 index) const;
    CScriptName GetArgumentValue(u32 index) const;

    // Found on first use, so that a view one past the last record (the end of a walk) reads
    // nothing.
    const CBlockLayout& GetLayout() const;

private:
    const u8* m_Data = nullptr;
    EBlockKind m_Kind = EBlockKind::Action;
    mutable bool m_HasLayout = false;
    mutable CBlockLayout m_Layout;
};

class CSceneRecord
{
public:
    static constexpr u32 kHeadSize = 80;

    CSceneRecord() = default;
    explicit CSceneRecord(const u8* data) : m_Data(data) {}

    const u8* GetData() const { return m_Data; }
    u64 GetGuid() const { return SGuidList{m_Data, 1}.Get(0); }
    u32 GetBlockCount(EBlockKind kind) const { return lv::core::ReadU32(m_Data + CountField(kind)); }
    u32 GetBlockOffset(EBlockKind kind) const
    {
        return kind == EBlockKind::Action ? kHeadSize : lv::core::ReadU32(m_Data + CountField(kind) + 4);
    }
    u32 GetTotalBlockCount() const;
    // The first record of the kind; invalid when the scene has none.
    CBlockRecord GetFirstBlock(EBlockKind kind) const
    {
        return GetBlockCount(kind) ? CBlockRecord(m_Data + GetBlockOffset(kind), kind) : CBlockRecord();
    }
    u32 GetSize() const { return lv::core::ReadU32(m_Data + 76); }
    CSceneRecord GetNext() const { return CSceneRecord(m_Data + GetSize()); }

    // The offset of the kind's count field in the head.
    static u32 CountField(EBlockKind kind)
    {
        return kind == EBlockKind::Action ? 8 : 12 + 8 * (static_cast<u32>(kind) - 1);
    }

private:
    const u8* m_Data = nullptr;
};

class CQuestRecord
{
public:
    static constexpr u32 kHeadSize = 108;

    CQuestRecord() = default;
    explicit CQuestRecord(const u8* data) : m_Data(data) {}

    bool IsValid() const { return m_Data != nullptr; }
    const u8* GetData() const { return m_Data; }
    CScriptName GetId() const { return CScriptName(m_Data); }
    u32 GetSceneCount() const { return lv::core::ReadU32(m_Data + 96); }
    u32 GetBlockCount() const { return lv::core::ReadU32(m_Data + 100); }
    u32 GetSize() const { return lv::core::ReadU32(m_Data + 104); }
    CSceneRecord GetFirstScene() const { return CSceneRecord(m_Data + kHeadSize); }

private:
    const u8* m_Data = nullptr;
};

} // namespace qe::scripts
