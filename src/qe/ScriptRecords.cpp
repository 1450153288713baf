#include "qe/ScriptRecords.h"

namespace qe::scripts {

using lv::core::ReadU16;
using lv::core::ReadU32;

namespace {

const char* const kBlockElementNames[kBlockKindCount] = {
    "action_block", "environment_block", "auto_action_block", "scene_block", "minigame_block",
    "scene_event_block", "group", "cycle", "or_block",
};
const u32 kBlockRecordSizes[kBlockKindCount] = {312, 216, 120, 312, 224, 216, 120, 120, 120};

bool RecordFault(std::string* error, const char* what)
{
    if (error)
        *error = what;
    return false;
}

bool CheckCommandRecord(const u8* p, u64 available, u32 depth, std::string* error)
{
    if (depth > CCommandRecord::kMaxDepth)
        return RecordFault(error, "command tree nested deeper than 256 levels");
    if (available < CCommandRecord::kNodeSize)
        return RecordFault(error, "command record past its parent");
    const CCommandRecord record(p);
    const u32 size = record.GetSize();
    if (size < CCommandRecord::kNodeSize || size > available)
        return RecordFault(error, "command record size past its parent");
    const u32 type = record.GetType();
    if (type == CCommandRecord::kParallel || type == CCommandRecord::kSequence) {
        const u32 count = record.GetChildCount();
        u64 at = CCommandRecord::kNodeSize;
        for (u32 i = 0; i < count; ++i) {
            if (at >= size)
                return RecordFault(error, "command node children past the node");
            if (!CheckCommandRecord(p + at, size - at, depth + 1, error))
                return false;
            at += ReadU32(p + at);
        }
        if (at != size)
            return RecordFault(error, "command node children do not fill the node");
        return true;
    }
    if (type != CCommandRecord::kNamed)
        return RecordFault(error, "unknown command record type");
    if (size < CCommandRecord::kNamedSize || size != CCommandRecord::NamedSizeFor(record.GetArgumentCount()))
        return RecordFault(error, "command size does not match its argument count");
    if (!CScriptName::IsWellFormed(p + 8))
        return RecordFault(error, "command name not terminated");
    const u32 slots = record.GetArgumentCount() ? record.GetArgumentCount() : 1;
    for (u32 i = 0; i < slots; ++i) {
        if (!CScriptName::IsWellFormed(record.GetArgumentName(i).GetRecord()) ||
            !CScriptName::IsWellFormed(record.GetArgumentValue(i).GetRecord()))
            return RecordFault(error, "command argument not terminated");
    }
    return true;
}

// Steps through a block record's parts in order.
struct SPartCursor
{
    const u8* record;
    u32 size;
    bool check;
    std::string* error;
    CBlockLayout& layout;
    u64 pos;
    bool ok = true;

    bool Fail(const char* what)
    {
        if (ok)
            RecordFault(error, what);
        ok = false;
        return false;
    }

    void List(EBlockList list, u32 count)
    {
        if (!ok)
            return;
        const u32 index = static_cast<u32>(list);
        layout.listOffset[index] = static_cast<u32>(pos);
        layout.listCount[index] = count;
        pos += 8ull * count;
        if (check && pos > size)
            Fail("guid list past its block");
    }

    void Tree(EBlockTree tree, bool present)
    {
        if (!ok || !present)
            return;
        if (check && (pos + 4 > size || !CheckCommandRecord(record + pos, size - pos, 1, error))) {
            ok = false;
            if (pos + 4 > size)
                RecordFault(error, "command tree past its block");
            return;
        }
        layout.treeOffset[static_cast<u32>(tree)] = static_cast<u32>(pos);
        pos += ReadU32(record + pos);
    }

    void Arguments(u32 count)
    {
        if (!ok)
            return;
        layout.argumentsOffset = static_cast<u32>(pos);
        layout.argumentCount = count;
        if (check && pos + static_cast<u64>(CCommandRecord::kArgumentSize) * count > size) {
            Fail("minigame arguments past their block");
            return;
        }
        for (u32 i = 0; check && i < 2 * count; ++i) {
            if (!CScriptName::IsWellFormed(record + pos + i * CScriptName::kSize)) {
                Fail("minigame argument not terminated");
                return;
            }
        }
        pos += static_cast<u64>(CCommandRecord::kArgumentSize) * count;
    }

    void Sets(u32 count)
    {
        if (!ok)
            return;
        layout.setsOffset = static_cast<u32>(pos);
        layout.setCount = count;
        for (u32 i = 0; i < count; ++i) {
            if (check && pos + CCommandSetRecord::kHeadSize > size) {
                Fail("command set past its block");
                return;
            }
            const CCommandSetRecord set(record + pos);
            const u32 setSize = set.GetSize();
            if (check) {
                const u32 present = ReadU32(record + pos + 100);
                if (present > 1)
                    return void(Fail("command set tree flag is neither 0 nor 1"));
                if (setSize < CCommandSetRecord::kHeadSize || pos + setSize > size)
                    return void(Fail("command set size past its block"));
                if (!CScriptName::IsWellFormed(record + pos))
                    return void(Fail("command set name not terminated"));
                const u32 room = setSize - CCommandSetRecord::kHeadSize;
                if (present) {
                    if (!CheckCommandRecord(record + pos + CCommandSetRecord::kHeadSize, room, 1, error)) {
                        ok = false;
                        return;
                    }
                    if (ReadU32(record + pos + CCommandSetRecord::kHeadSize) != room)
                        return void(Fail("command set size does not match its tree"));
                } else if (room != 0) {
                    return void(Fail("command set without a tree has bytes after its head"));
                }
            }
            pos += setSize;
        }
    }

    void Name(u32 offset)
    {
        if (ok && check && !CScriptName::IsWellFormed(record + offset))
            Fail("block name not terminated");
    }

    // A 16-bit offset field that must name the current position.
    void OffsetField(u32 offset)
    {
        if (ok && check && ReadU16(record + offset) != pos)
            Fail("block tree offset does not match its parts");
    }
};

} // namespace

const char* GetBlockElementName(EBlockKind kind)
{
    return kBlockElementNames[static_cast<u32>(kind)];
}

u32 GetBlockRecordSize(EBlockKind kind)
{
    return kBlockRecordSizes[static_cast<u32>(kind)];
}

bool ValidateCommandTree(const u8* data, u64 available, std::string* error)
{
    return CheckCommandRecord(data, available, 1, error);
}

bool CBlockLayout::Compute(const u8* record, u32 size, EBlockKind kind, bool check, std::string* error)
{
    *this = CBlockLayout();
    const u32 head = GetBlockRecordSize(kind);
    if (size < head)
        return RecordFault(error, "block record smaller than its head");
    SPartCursor c{record, size, check, error, *this, head};
    c.Name(12);
    switch (kind) {
    case EBlockKind::Action: {
        c.Name(112);
        c.Name(208);
        const u16 flags = ReadU16(record + 308);
        c.List(EBlockList::Condition, ReadU16(record + 304));
        c.List(EBlockList::Unblock, ReadU16(record + 306));
        c.Tree(EBlockTree::Correct, flags & kActionHasCorrect);
        c.Tree(EBlockTree::Incorrect, flags & kActionHasIncorrect);
        c.Sets(ReadU16(record + 310));
        break;
    }
    case EBlockKind::Environment:
        c.Name(112);
        c.List(EBlockList::Unblock, ReadU16(record + 208));
        c.List(EBlockList::Block, ReadU16(record + 210));
        c.Sets(ReadU32(record + 212));
        break;
    case EBlockKind::AutoAction:
        c.Tree(EBlockTree::Commands, ReadU16(record + 114) & kHasCommands);
        c.List(EBlockList::Unblock, ReadU16(record + 112));
        break;
    case EBlockKind::Scene: {
        c.Name(112);
        c.Name(208);
        const u16 flags = ReadU16(record + 306);
        c.List(EBlockList::Unblock, ReadU16(record + 304));
        c.List(EBlockList::Block, ReadU16(record + 308));
        c.Tree(EBlockTree::PreOpen, flags & kScenePreOpen);
        c.OffsetField(310);
        c.Tree(EBlockTree::PostOpen, flags & kScenePostOpen);
        break;
    }
    case EBlockKind::Minigame:
        c.Name(112);
        c.Arguments(ReadU16(record + 214));
        c.List(EBlockList::Condition, ReadU16(record + 208));
        c.List(EBlockList::Unblock, ReadU16(record + 210));
        c.OffsetField(212);
        c.Tree(EBlockTree::Commands, ReadU32(record + 216) & kHasCommands);
        break;
    case EBlockKind::SceneEvent:
        c.Name(112);
        c.List(EBlockList::Unblock, ReadU16(record + 208));
        c.Tree(EBlockTree::Commands, ReadU16(record + 210) & kHasCommands);
        break;
    case EBlockKind::Group:
        c.List(EBlockList::Unblock, ReadU16(record + 112));
        c.List(EBlockList::Block, ReadU16(record + 114));
        c.List(EBlockList::Members, ReadU32(record + 116));
        break;
    case EBlockKind::Cycle:
        c.List(EBlockList::Unblock, ReadU16(record + 112));
        c.List(EBlockList::Block, ReadU16(record + 114));
        c.List(EBlockList::Loop, ReadU16(record + 116));
        c.List(EBlockList::Members, ReadU16(record + 118));
        break;
    case EBlockKind::Or:
        c.List(EBlockList::Inputs, ReadU32(record + 112));
        break;
    }
    end = c.pos;
    if (!c.ok)
        return false;
    if (check && end != size)
        return RecordFault(error, "block parts do not fill the block record");
    return true;
}

CBlockRecord::CBlockRecord(const u8* data, EBlockKind kind) : m_Data(data), m_Kind(kind)
{
}

const CBlockLayout& CBlockRecord::GetLayout() const
{
    if (!m_HasLayout && m_Data)
        m_Layout.Compute(m_Data, GetSize(), m_Kind, false);
    m_HasLayout = true;
    return m_Layout;
}

u32 CBlockRecord::GetFlags() const
{
    switch (m_Kind) {
    case EBlockKind::Action:
        return ReadU16(m_Data + 308);
    case EBlockKind::AutoAction:
        return ReadU16(m_Data + 114);
    case EBlockKind::Scene:
        return ReadU16(m_Data + 306);
    case EBlockKind::Minigame:
        return ReadU32(m_Data + 216);
    case EBlockKind::SceneEvent:
        return ReadU16(m_Data + 210);
    default:
        return 0;
    }
}

SGuidList CBlockRecord::GetList(EBlockList list) const
{
    const u32 index = static_cast<u32>(list);
    const CBlockLayout& layout = GetLayout();
    if (!layout.listOffset[index])
        return {};
    return {m_Data + layout.listOffset[index], layout.listCount[index]};
}

CCommandRecord CBlockRecord::GetTree(EBlockTree tree) const
{
    const u32 offset = GetLayout().treeOffset[static_cast<u32>(tree)];
    return offset ? CCommandRecord(m_Data + offset) : CCommandRecord();
}

CScriptName CBlockRecord::GetArgumentKey(u32 index) const
{
    return CScriptName(m_Data + GetLayout().argumentsOffset + index * CCommandRecord::kArgumentSize);
}

CScriptName CBlockRecord::GetArgumentValue(u32 index) const
{
    return CScriptName(m_Data + GetLayout().argumentsOffset + index * CCommandRecord::kArgumentSize +
                       CScriptName::kSize);
}

u32 CSceneRecord::GetTotalBlockCount() const
{
    u32 total = 0;
    for (u32 kind = 0; kind < kBlockKindCount; ++kind)
        total += GetBlockCount(static_cast<EBlockKind>(kind));
    return total;
}

} // namespace qe::scripts
