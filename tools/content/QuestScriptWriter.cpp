#include "content/QuestScriptWriter.h"

#include "core/FixedString.h"
#include "core/Guid.h"

#include <cstring>
#include <fstream>

namespace lv::content {

namespace {

// Record sizes of the nine kinds, in the order of the scene record.
const u32 kScriptBlockSizes[9] = {312, 216, 120, 312, 224, 216, 120, 120, 120};
// Where each kind keeps its unblock input count.
const u32 kScriptUnblockCountAt[9] = {306, 208, 112, 304, 210, 208, 112, 112, 112};

struct SScriptOut
{
    std::vector<u8> bytes;
    bool ok = true;
    std::string message;
    // Offsets of the first records, for the deliberate faults (SIZE_MAX: none yet).
    size_t firstQuest = SIZE_MAX, firstScene = SIZE_MAX, firstBlock = SIZE_MAX, firstNode = SIZE_MAX,
           firstNamed = SIZE_MAX;
    u32 firstBlockKind = 0;

    size_t Reserve(size_t size)
    {
        const size_t at = bytes.size();
        bytes.resize(at + size, 0);
        return at;
    }
    void Put16(size_t at, u32 v)
    {
        bytes[at] = static_cast<u8>(v);
        bytes[at + 1] = static_cast<u8>(v >> 8);
    }
    void Put32(size_t at, u32 v)
    {
        Put16(at, v);
        Put16(at + 2, v >> 16);
    }
    void Put64(size_t at, u64 v)
    {
        Put32(at, static_cast<u32>(v));
        Put32(at + 4, static_cast<u32>(v >> 32));
    }
    void Name(size_t at, const std::string& text, bool withHash)
    {
        if (!CQuestScriptWriter::WriteName(text, withHash, bytes.data() + at) && ok) {
            ok = false;
            message = "name too long: " + text;
        }
    }
    void Guids(const std::vector<u64>& guids)
    {
        for (u64 guid : guids)
            Put64(Reserve(8), guid);
    }

    void Command(const SScriptCommand& c)
    {
        const size_t start = bytes.size();
        if (c.type == SScriptCommand::EType::Named) {
            if (firstNamed == SIZE_MAX)
                firstNamed = start;
            const size_t count = c.arguments.size();
            const size_t size = 300 + 192 * (count ? count - 1 : 0);
            Reserve(size);
            Put32(start, static_cast<u32>(size));
            Put32(start + 4, 2);
            Name(start + 8, c.name, true);
            Put32(start + 104, static_cast<u32>(count));
            for (size_t i = 0; i < count; ++i) {
                Name(start + 108 + 192 * i, c.arguments[i].name, true);
                Name(start + 108 + 192 * i + 96, c.arguments[i].value, true);
            }
            return;
        }
        if (firstNode == SIZE_MAX)
            firstNode = start;
        Reserve(12);
        Put32(start + 4, c.type == SScriptCommand::EType::Parallel ? 0 : 1);
        Put32(start + 8, static_cast<u32>(c.children.size()));
        for (const SScriptCommand& child : c.children)
            Command(child);
        Put32(start, static_cast<u32>(bytes.size() - start));
    }

    // Writes the tree when there is one; true when it did.
    bool Tree(const SScriptTree& tree)
    {
        if (tree.empty())
            return false;
        Command(tree.front());
        return true;
    }

    void Sets(const std::vector<SScriptCommandSet>& sets)
    {
        for (const SScriptCommandSet& set : sets) {
            const size_t start = Reserve(104);
            Name(start, set.activeObject, true);
            Put32(start + 100, Tree(set.tree) ? 1 : 0);
            Put32(start + 96, static_cast<u32>(bytes.size() - start));
        }
    }

    void Block(const SScriptBlock& b)
    {
        const u32 kind = static_cast<u32>(b.kind);
        const size_t s = Reserve(kScriptBlockSizes[kind]);
        if (firstBlock == SIZE_MAX) {
            firstBlock = s;
            firstBlockKind = kind;
        }
        Put64(s, b.guid);
        Name(s + 12, b.id, true);
        u32 flags = 0;
        switch (b.kind) {
        case EScriptBlockKind::Action:
            Name(s + 112, b.object, true);
            Name(s + 208, b.activeObject, true);
            Put16(s + 304, static_cast<u32>(b.conditionInputs.size()));
            Put16(s + 306, static_cast<u32>(b.unblockInputs.size()));
            Put16(s + 310, static_cast<u32>(b.commandSets.size()));
            Guids(b.conditionInputs);
            Guids(b.unblockInputs);
            flags = b.ignoredByHint ? 4 : 0;
            flags |= Tree(b.correct) ? 1 : 0;
            flags |= Tree(b.incorrect) ? 2 : 0;
            Put16(s + 308, flags);
            Sets(b.commandSets);
            break;
        case EScriptBlockKind::Environment:
            Name(s + 112, b.object, false);
            Put16(s + 208, static_cast<u32>(b.unblockInputs.size()));
            Put16(s + 210, static_cast<u32>(b.blockInputs.size()));
            Put32(s + 212, static_cast<u32>(b.commandSets.size()));
            Guids(b.unblockInputs);
            Guids(b.blockInputs);
            Sets(b.commandSets);
            break;
        case EScriptBlockKind::AutoAction:
            Put16(s + 112, static_cast<u32>(b.unblockInputs.size()));
            Put16(s + 114, Tree(b.commands) ? 1 : 0);
            Guids(b.unblockInputs);
            break;
        case EScriptBlockKind::Scene:
            Name(s + 112, b.object, false);
            Name(s + 208, b.targetScene, false);
            Put16(s + 304, static_cast<u32>(b.unblockInputs.size()));
            Put16(s + 308, static_cast<u32>(b.blockInputs.size()));
            Guids(b.unblockInputs);
            Guids(b.blockInputs);
            flags = Tree(b.preOpen) ? 1 : 0;
            Put16(s + 310, static_cast<u32>(bytes.size() - s));
            flags |= Tree(b.postOpen) ? 2 : 0;
            Put16(s + 306, flags);
            break;
        case EScriptBlockKind::Minigame:
            Name(s + 112, b.minigame, false);
            Put16(s + 208, static_cast<u32>(b.conditionInputs.size()));
            Put16(s + 210, static_cast<u32>(b.unblockInputs.size()));
            Put16(s + 214, static_cast<u32>(b.arguments.size()));
            for (const SScriptArgument& argument : b.arguments) {
                const size_t at = Reserve(192);
                Name(at, argument.name, true);
                Name(at + 96, argument.value, true);
            }
            Guids(b.conditionInputs);
            Guids(b.unblockInputs);
            Put16(s + 212, static_cast<u32>(bytes.size() - s));
            flags = b.ignoredByHint ? 2 : 0;
            flags |= Tree(b.commands) ? 1 : 0;
            Put32(s + 216, flags);
            break;
        case EScriptBlockKind::SceneEvent:
            Name(s + 112, "", true);
            Put16(s + 208, static_cast<u32>(b.unblockInputs.size()));
            Guids(b.unblockInputs);
            flags = b.openEvent ? 2 : 0;
            flags |= Tree(b.commands) ? 1 : 0;
            Put16(s + 210, flags);
            break;
        case EScriptBlockKind::Group:
            Put16(s + 112, static_cast<u32>(b.unblockInputs.size()));
            Put16(s + 114, static_cast<u32>(b.blockInputs.size()));
            Put32(s + 116, static_cast<u32>(b.members.size()));
            Guids(b.unblockInputs);
            Guids(b.blockInputs);
            Guids(b.members);
            break;
        case EScriptBlockKind::Cycle:
            Put16(s + 112, static_cast<u32>(b.unblockInputs.size()));
            Put16(s + 114, static_cast<u32>(b.blockInputs.size()));
            Put16(s + 116, static_cast<u32>(b.loopInputs.size()));
            Put16(s + 118, static_cast<u32>(b.members.size()));
            Guids(b.unblockInputs);
            Guids(b.blockInputs);
            Guids(b.loopInputs);
            Guids(b.members);
            break;
        case EScriptBlockKind::Or:
            Put32(s + 112, static_cast<u32>(b.inputs.size()));
            Guids(b.inputs);
            break;
        }
        Put32(s + 8, static_cast<u32>(bytes.size() - s));
    }

    u32 Scene(const SScriptScene& scene)
    {
        const size_t s = Reserve(80);
        if (firstScene == SIZE_MAX)
            firstScene = s;
        Put64(s, scene.guid);
        u32 total = 0;
        for (u32 kind = 0; kind < 9; ++kind) {
            const size_t countAt = kind == 0 ? s + 8 : s + 12 + 8 * (kind - 1);
            if (kind)
                Put32(countAt + 4, static_cast<u32>(bytes.size() - s));
            u32 count = 0;
            for (const SScriptBlock& block : scene.blocks) {
                if (static_cast<u32>(block.kind) == kind) {
                    Block(block);
                    ++count;
                }
            }
            Put32(countAt, count);
            total += count;
        }
        Put32(s + 76, static_cast<u32>(bytes.size() - s));
        return total;
    }

    void Quest(const SScriptQuest& quest)
    {
        const size_t q = Reserve(108);
        if (firstQuest == SIZE_MAX)
            firstQuest = q;
        Name(q, quest.id, true);
        u32 blocks = 0;
        for (const SScriptScene& scene : quest.scenes)
            blocks += Scene(scene);
        Put32(q + 96, static_cast<u32>(quest.scenes.size()));
        Put32(q + 100, blocks);
        Put32(q + 104, static_cast<u32>(bytes.size() - q));
    }

    u32 Get32(size_t at) const
    {
        return bytes[at] | (bytes[at + 1] << 8) | (bytes[at + 2] << 16) | (static_cast<u32>(bytes[at + 3]) << 24);
    }

    // False when the image has no record the fault needs.
    bool Break(EScriptImageFault fault)
    {
        switch (fault) {
        case EScriptImageFault::None:
            return true;
        case EScriptImageFault::WrongVersion:
            bytes[3] = 2;
            return true;
        case EScriptImageFault::BlockSizePastScene:
            if (firstBlock == SIZE_MAX)
                return false;
            Put32(firstBlock + 8, Get32(firstBlock + 8) + Get32(firstScene + 76));
            return true;
        case EScriptImageFault::ListCountPastRecord: {
            if (firstBlock == SIZE_MAX)
                return false;
            const size_t at = firstBlock + kScriptUnblockCountAt[firstBlockKind];
            Put16(at, (bytes[at] | (bytes[at + 1] << 8)) + 1000);
            return true;
        }
        case EScriptImageFault::TreeChildrenOverrun:
            if (firstNode == SIZE_MAX)
                return false;
            Put32(firstNode + 8, Get32(firstNode + 8) + 1);
            return true;
        case EScriptImageFault::ArgumentCountMismatch:
            if (firstNamed == SIZE_MAX)
                return false;
            Put32(firstNamed + 104, Get32(firstNamed + 104) + 1);
            return true;
        case EScriptImageFault::NameWithoutTerminator:
            if (firstBlock == SIZE_MAX)
                return false;
            std::memset(bytes.data() + firstBlock + 12 + 8, 'x', 88);
            return true;
        case EScriptImageFault::QuestSizePastEnd:
            if (firstQuest == SIZE_MAX)
                return false;
            Put32(firstQuest + 104, Get32(firstQuest + 104) + 4);
            return true;
        }
        return false;
    }
};

} // namespace

u64 CQuestScriptWriter::ParseGuid(const std::string& text)
{
    return lv::core::ParseGuid(text);
}

bool CQuestScriptWriter::WriteName(const std::string& text, bool withHash, u8* out)
{
    std::memset(out, 0, 96);
    if (text.size() > CFixedString::kMaxLength)
        return false;
    CFixedString name(text.c_str(), text.size());
    if (withHash)
        FixedStringUpdateHash(name);
    return name.WriteRecord(out);
}

std::vector<u8> CQuestScriptWriter::BuildCommand(const SScriptCommand& command)
{
    SScriptOut out;
    out.Command(command);
    return out.bytes;
}

bool CQuestScriptWriter::BuildImage(const std::vector<SScriptQuest>& quests, std::vector<u8>& image,
                                    EScriptImageFault fault, std::string* error)
{
    SScriptOut out;
    out.Put32(out.Reserve(4), kTag);
    for (const SScriptQuest& quest : quests)
        out.Quest(quest);
    if (out.ok && !out.Break(fault)) {
        out.ok = false;
        out.message = "the image has no record for that fault";
    }
    if (error)
        *error = out.message;
    image = std::move(out.bytes);
    return out.ok;
}

bool CQuestScriptWriter::WriteFile(const std::vector<SScriptQuest>& quests, const std::filesystem::path& file,
                                   EScriptImageFault fault, std::string* error)
{
    std::vector<u8> image;
    if (!BuildImage(quests, image, fault, error))
        return false;
    std::filesystem::create_directories(file.parent_path());
    std::ofstream out(file, std::ios::binary);
    out.write(reinterpret_cast<const char*>(image.data()), static_cast<std::streamsize>(image.size()));
    return static_cast<bool>(out);
}

} // namespace lv::content
