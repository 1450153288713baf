#include "qe/ScriptCompiler.h"

#include "core/ByteOrder.h"
#include "core/FixedString.h"
#include "core/MessageBox.h"
#include "core/SettingsGroup.h"
#include "qe/ChunkWriter.h"
#include "qe/QuestData.h"
#include "qe/ScriptImage.h"

#include <cstring>
#include <string>

namespace qe {

using lv::core::CSettingsGroup;
using lv::core::WriteU32;
using namespace qe::scripts;

namespace {

constexpr u32 kMaxCount16 = 0xFFFF;

void PutU16At(u8* p, u32 v)
{
    p[0] = static_cast<u8>(v);
    p[1] = static_cast<u8>(v >> 8);
}

void PutU64At(u8* p, u64 v)
{
    WriteU32(p, static_cast<u32>(v));
    WriteU32(p + 4, static_cast<u32>(v >> 32));
}

// A name record: the text up to its first zero and 87 characters at most, with its hash or 0.
void PutName(u8* out, std::string_view text, bool withHash)
{
    size_t length = std::min(text.size(), static_cast<size_t>(CScriptName::kTextSize - 1));
    if (const void* zero = std::memchr(text.data(), 0, length))
        length = static_cast<size_t>(static_cast<const char*>(zero) - text.data());
    PutU16At(out, static_cast<u32>(length));
    PutU16At(out + 2, CScriptName::kTextSize);
    PutU16At(out + 4, withHash ? FixedStringHash(text.data(), length) : 0);
    std::memcpy(out + 8, text.data(), length);
}

bool NameIs(const CSettingsGroup& group, const char* name)
{
    return group.GetName().CompareText(name) == 0;
}

class CSceneCompiler
{
public:
    CSceneCompiler(CChunkWriter& writer, const CSettingsGroup& root) : m_Writer(writer), m_Root(root) {}

    void CompileQuest(const CSettingsGroup& quest)
    {
        const u64 start = m_Writer.GetTotal();
        u8* head = m_Writer.Write(CQuestRecord::kHeadSize);
        PutName(head, quest.GetAttribute("id"), true);
        m_Writer.Flush();
        u32 scenes = 0;
        u64 blocks = 0;
        for (const CSettingsGroup::Ptr& child : quest.GetChildren()) {
            if (NameIs(*child, "scene")) {
                blocks += CompileScene(*child);
                ++scenes;
            } else if (NameIs(*child, "group")) {
                for (const CSettingsGroup::Ptr& scene : child->GetChildren()) {
                    blocks += CompileScene(*scene);
                    ++scenes;
                }
            }
        }
        m_Writer.PatchU32(start + 96, scenes);
        m_Writer.PatchU32(start + 100, static_cast<u32>(blocks));
        m_Writer.PatchU32(start + 104, static_cast<u32>(m_Writer.GetTotal() - start));
    }

private:
    u32 CompileScene(const CSettingsGroup& scene)
    {
        const std::string& guid = scene.GetAttribute("guid");
        const CSettingsGroup* content = m_Root.FindChildByAttribute("scene_content", "guid", guid);
        const CSettingsGroup* scripts = content ? content->FindChild("scripts") : nullptr;
        const u64 start = m_Writer.GetTotal();
        PutU64At(m_Writer.Write(CSceneRecord::kHeadSize), CQuestData::ParseGuid(guid));
        m_Writer.Flush();
        u32 total = 0;
        for (u32 k = 0; k < kBlockKindCount; ++k) {
            const EBlockKind kind = static_cast<EBlockKind>(k);
            const u32 field = CSceneRecord::CountField(kind);
            if (kind != EBlockKind::Action)
                m_Writer.PatchU32(start + field + 4, static_cast<u32>(m_Writer.GetTotal() - start));
            const char* element = GetBlockElementName(kind);
            u32 count = 0;
            for (const CSettingsGroup::Ptr& e : scripts ? scripts->GetChildren() : std::vector<CSettingsGroup::Ptr>()) {
                if (NameIs(*e, element))
                    count += CompileBlock(*e, kind);
                for (const CSettingsGroup::Ptr& column : e->GetChildren()) {
                    if (!NameIs(*column, "column"))
                        continue;
                    for (const CSettingsGroup::Ptr& member : column->GetChildren()) {
                        if (NameIs(*member, element))
                            count += CompileBlock(*member, kind);
                    }
                }
            }
            m_Writer.PatchU32(start + field, count);
            total += count;
        }
        m_Writer.PatchU32(start + 76, static_cast<u32>(m_Writer.GetTotal() - start));
        return total;
    }

    // 1 when the block was compiled, 0 when it was left out.
    u32 CompileBlock(const CSettingsGroup& e, EBlockKind kind)
    {
        const CChunkWriter::SMark mark = m_Writer.Mark();
        m_Error = nullptr;
        m_Start = m_Writer.GetTotal();
        if (WriteBlock(e, kind))
            return 1;
        m_Writer.Rollback(mark);
        lv::core::ShowMessageBoxF("Error", "Script block '%s' is not compiled: %s.", e.GetAttribute("id").c_str(),
                                  m_Error ? m_Error : "it does not fit the script image");
        return 0;
    }

    bool Fail(const char* error)
    {
        if (!m_Error)
            m_Error = error;
        return false;
    }

    void Patch16(u32 at, u32 value) { m_Writer.PatchU16(m_Start + at, static_cast<u16>(value)); }
    void Patch32(u32 at, u32 value) { m_Writer.PatchU32(m_Start + at, value); }
    u64 Here() const { return m_Writer.GetTotal() - m_Start; }

    bool Count16(u32 at, u64 count)
    {
        if (count > kMaxCount16)
            return Fail("more than 65535 entries in a list (the limit of its 16-bit count)");
        Patch16(at, static_cast<u32>(count));
        return true;
    }

    bool Offset16(u32 at)
    {
        if (Here() > kMaxCount16)
            return Fail("a command tree starts beyond 65535 bytes (the limit of its 16-bit offset)");
        Patch16(at, static_cast<u32>(Here()));
        return true;
    }

    void Guid(u64 value)
    {
        PutU64At(m_Writer.Write(8), value);
    }

    u64 GuidsOf(const CSettingsGroup* list)
    {
        if (!list)
            return 0;
        for (const CSettingsGroup::Ptr& entry : list->GetChildren())
            Guid(CQuestData::ParseGuid(entry->GetAttribute("guid")));
        if (!list->GetChildren().empty())
            m_Writer.Flush();
        return list->GetChildren().size();
    }

    u64 List(const CSettingsGroup& e, const char* name) { return GuidsOf(e.FindChild(name)); }

    u64 Members(const CSettingsGroup& e)
    {
        u64 count = 0;
        for (const CSettingsGroup::Ptr& column : e.GetChildren()) {
            if (NameIs(*column, "column"))
                count += GuidsOf(column.get());
        }
        return count;
    }

    // The first child of the element `name` as a tree; false in `present` when there is none.
    bool Tree(const CSettingsGroup& e, const char* name, bool& present)
    {
        const CSettingsGroup* holder = e.FindChild(name);
        const CSettingsGroup* root = holder ? holder->FindFirstChild() : nullptr;
        present = root != nullptr;
        return !root || Command(*root, 1);
    }

    bool Command(const CSettingsGroup& e, u32 depth)
    {
        if (depth > CCommandRecord::kMaxDepth)
            return Fail("command trees nested deeper than 256 levels");
        const u64 start = m_Writer.GetTotal();
        const bool parallel = NameIs(e, "parallel");
        if (parallel || NameIs(e, "sequence")) {
            u8* node = m_Writer.Write(CCommandRecord::kNodeSize);
            WriteU32(node + 4, parallel ? CCommandRecord::kParallel : CCommandRecord::kSequence);
            m_Writer.Flush();
            u32 count = 0;
            for (const CSettingsGroup::Ptr& child : e.GetChildren()) {
                if (!Command(*child, depth + 1))
                    return false;
                ++count;
            }
            m_Writer.PatchU32(start, static_cast<u32>(m_Writer.GetTotal() - start));
            m_Writer.PatchU32(start + 8, count);
            return true;
        }
        const u64 arguments = e.GetAttributeCount() + e.GetChildren().size();
        if (arguments > CCommandRecord::kMaxArguments)
            return Fail("a command with more than 682 arguments (the limit of the work buffer)");
        const u32 size = static_cast<u32>(CCommandRecord::NamedSizeFor(arguments));
        u8* record = m_Writer.Write(size);
        WriteU32(record, size);
        WriteU32(record + 4, CCommandRecord::kNamed);
        PutName(record + 8, e.GetName().GetText(), true);
        WriteU32(record + 104, static_cast<u32>(arguments));
        u8* slot = record + 108;
        for (const CSettingsGroup::CAttribute& attribute : e.GetAttributes()) {
            PutName(slot, attribute.Name->GetText(), true);
            PutName(slot + CScriptName::kSize, attribute.Value.GetString(), true);
            slot += CCommandRecord::kArgumentSize;
        }
        for (const CSettingsGroup::Ptr& child : e.GetChildren()) {
            const bool has = child->GetAttributeCount() > 0;
            PutName(slot, has ? child->GetAttributes()[0].Name->GetText() : "", true);
            PutName(slot + CScriptName::kSize, has ? child->GetAttributes()[0].Value.GetString() : std::string(), true);
            slot += CCommandRecord::kArgumentSize;
        }
        m_Writer.Flush();
        return true;
    }

    bool CommandSets(const CSettingsGroup& e, u64& count)
    {
        count = 0;
        for (const CSettingsGroup::Ptr& set : e.GetChildren()) {
            if (!NameIs(*set, "commands"))
                continue;
            const u64 start = m_Writer.GetTotal();
            PutName(m_Writer.Write(CCommandSetRecord::kHeadSize), set->GetAttribute("active_object"), true);
            m_Writer.Flush();
            const CSettingsGroup* root = set->FindFirstChild();
            if (root) {
                if (!Command(*root, 1))
                    return false;
                m_Writer.PatchU32(start + 100, 1);
            }
            m_Writer.PatchU32(start + 96, static_cast<u32>(m_Writer.GetTotal() - start));
            ++count;
        }
        return true;
    }

    bool WriteBlock(const CSettingsGroup& e, EBlockKind kind)
    {
        u8* head = m_Writer.Write(GetBlockRecordSize(kind));
        PutU64At(head, CQuestData::ParseGuid(e.GetAttribute("guid")));
        PutName(head + 12, e.GetAttribute("id"), true);
        bool present = false;
        u32 flags = 0;
        u64 count = 0;
        switch (kind) {
        case EBlockKind::Action:
            PutName(head + 112, e.GetAttribute("object"), true);
            PutName(head + 208, e.GetAttribute("active_object"), true);
            m_Writer.Flush();
            flags = e.GetAttribute("ignored_by_hint") == "true" ? kActionIgnoredByHint : 0;
            if (!Count16(304, List(e, "condition_inputs")) || !Count16(306, List(e, "unblock_inputs")))
                return false;
            if (!Tree(e, "correct_commands", present))
                return false;
            flags |= present ? kActionHasCorrect : 0;
            if (!Tree(e, "incorrect_commands", present))
                return false;
            flags |= present ? kActionHasIncorrect : 0;
            Patch16(308, flags);
            return CommandSets(e, count) && Count16(310, count) && Finish();
        case EBlockKind::Environment:
            PutName(head + 112, e.GetAttribute("object"), false);
            m_Writer.Flush();
            if (!Count16(208, List(e, "unblock_inputs")) || !Count16(210, List(e, "block_inputs")))
                return false;
            if (!CommandSets(e, count))
                return false;
            Patch32(212, static_cast<u32>(count));
            return Finish();
        case EBlockKind::AutoAction:
            m_Writer.Flush();
            if (!Tree(e, "commands", present))
                return false;
            Patch16(114, present ? kHasCommands : 0);
            return Count16(112, List(e, "unblock_inputs")) && Finish();
        case EBlockKind::Scene:
            PutName(head + 208, e.GetAttribute("scene"), false);
            PutName(head + 112, e.GetAttribute("object"), false);
            m_Writer.Flush();
            if (!Count16(304, List(e, "unblock_inputs")) || !Count16(308, List(e, "block_inputs")))
                return false;
            if (!Tree(e, "preopen_commands", present))
                return false;
            flags = present ? kScenePreOpen : 0;
            if (!Offset16(310) || !Tree(e, "postopen_commands", present))
                return false;
            Patch16(306, flags | (present ? kScenePostOpen : 0));
            return Finish();
        case EBlockKind::Minigame: {
            flags = e.GetAttribute("ignored_by_hint") == "true" ? kMinigameIgnoredByHint : 0;
            for (const CSettingsGroup::CAttribute& attribute : e.GetAttributes()) {
                if (attribute.Name->CompareText("guid") == 0)
                    PutU64At(head, CQuestData::ParseGuid(attribute.Value.GetString()));
                else if (attribute.Name->CompareText("minigame") == 0)
                    PutName(head + 112, attribute.Value.GetString(), false);
            }
            m_Writer.Flush();
            if (const CSettingsGroup* arguments = e.FindChild("arguments")) {
                for (const CSettingsGroup::Ptr& argument : arguments->GetChildren()) {
                    u8* slot = m_Writer.Write(CCommandRecord::kArgumentSize);
                    PutName(slot, argument->GetAttribute("key"), true);
                    PutName(slot + CScriptName::kSize, argument->GetAttribute("value"), true);
                    ++count;
                }
                m_Writer.Flush();
            }
            if (!Count16(214, count) || !Count16(208, List(e, "condition_inputs")) ||
                !Count16(210, List(e, "unblock_inputs")) || !Offset16(212) || !Tree(e, "commands", present))
                return false;
            Patch32(216, flags | (present ? kHasCommands : 0));
            return Finish();
        }
        case EBlockKind::SceneEvent:
            PutName(head + 112, "", true);
            m_Writer.Flush();
            flags = e.GetAttribute("event") == "open" ? kSceneEventOpen : 0;
            if (!Count16(208, List(e, "unblock_inputs")) || !Tree(e, "commands", present))
                return false;
            Patch16(210, flags | (present ? kHasCommands : 0));
            return Finish();
        case EBlockKind::Group:
            m_Writer.Flush();
            if (!Count16(112, List(e, "unblock_inputs")) || !Count16(114, List(e, "block_inputs")))
                return false;
            Patch32(116, static_cast<u32>(Members(e)));
            return Finish();
        case EBlockKind::Cycle:
            m_Writer.Flush();
            return Count16(112, List(e, "unblock_inputs")) && Count16(114, List(e, "block_inputs")) &&
                   Count16(116, List(e, "loop_blocks")) && Count16(118, Members(e)) && Finish();
        case EBlockKind::Or:
            m_Writer.Flush();
            Patch32(112, static_cast<u32>(List(e, "inputs")));
            return Finish();
        }
        return false;
    }

    bool Finish()
    {
        Patch32(8, static_cast<u32>(Here()));
        return true;
    }

    CChunkWriter& m_Writer;
    const CSettingsGroup& m_Root;
    u64 m_Start = 0;
    const char* m_Error = nullptr;
};

} // namespace

void CScriptCompiler::Compile(const CSettingsGroup& root, std::vector<u8>& image)
{
    CChunkWriter writer;
    WriteU32(writer.Write(4), CScriptImage::kTag);
    writer.Flush();
    if (const CSettingsGroup* structure = root.FindChild("Structure")) {
        CSceneCompiler compiler(writer, root);
        for (const CSettingsGroup::Ptr& quest : structure->GetChildren())
            compiler.CompileQuest(*quest);
    }
    writer.Join(image);
}

} // namespace qe
