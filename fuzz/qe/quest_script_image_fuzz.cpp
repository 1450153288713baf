// The quest script image from arbitrary bytes: checked, and when accepted walked record by
// record (quests, scenes, blocks, lists, arguments, command sets and every command tree).
#include "qe/ScriptImage.h"

#include <cstring>
#include <vector>

using namespace qe::scripts;

namespace {

u64 g_Sink = 0;

void WalkTree(CCommandRecord command)
{
    g_Sink += command.GetSize();
    if (!command.IsNode()) {
        g_Sink += command.GetName().GetHash();
        for (u32 i = 0; i < command.GetArgumentCount(); ++i)
            g_Sink += command.GetArgumentName(i).GetLength() + std::strlen(command.GetArgument(i));
        return;
    }
    CCommandRecord child = command.GetFirstChild();
    for (u32 i = 0; i < command.GetChildCount(); ++i, child = child.GetNextSibling())
        WalkTree(child);
}

void WalkBlock(const CBlockRecord& block)
{
    g_Sink += block.GetGuid() + block.GetId().GetHash() + block.GetFlags() + block.GetObjectName().GetHash();
    for (u32 l = 0; l < kBlockListCount; ++l) {
        const SGuidList list = block.GetList(static_cast<EBlockList>(l));
        for (u32 i = 0; i < list.count; ++i)
            g_Sink += list.Get(i);
    }
    for (u32 a = 0; a < block.GetArgumentCount(); ++a)
        g_Sink += block.GetArgumentKey(a).GetHash() + block.GetArgumentValue(a).GetLength();
    for (u32 t = 0; t < kBlockTreeCount; ++t) {
        if (const CCommandRecord tree = block.GetTree(static_cast<EBlockTree>(t)); tree.IsValid())
            WalkTree(tree);
    }
    CCommandSetRecord set = block.GetFirstCommandSet();
    for (u32 i = 0; i < block.GetCommandSetCount(); ++i, set = set.GetNext()) {
        g_Sink += set.GetActiveObjectName().GetHash();
        if (set.HasTree())
            WalkTree(set.GetTree());
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    // An exact-size copy with the tag in front, so that most inputs reach the record checks.
    std::vector<u8> image(size + 4);
    const u32 tag = CScriptImage::kTag;
    std::memcpy(image.data(), &tag, 4);
    if (size)
        std::memcpy(image.data() + 4, data, size);
    if (!CScriptImage::Validate(image.data(), image.size()))
        return 0;
    for (CQuestRecord quest = CScriptImage::GetFirstQuest(image.data(), image.size()); quest.IsValid();
         quest = CScriptImage::GetNextQuest(image.data(), image.size(), quest)) {
        CSceneRecord scene = quest.GetFirstScene();
        for (u32 s = 0; s < quest.GetSceneCount(); ++s, scene = scene.GetNext()) {
            for (u32 k = 0; k < kBlockKindCount; ++k) {
                const EBlockKind kind = static_cast<EBlockKind>(k);
                CBlockRecord block = scene.GetFirstBlock(kind);
                for (u32 i = 0; i < scene.GetBlockCount(kind); ++i, block = block.GetNext())
                    WalkBlock(block);
            }
        }
    }
    return 0;
}
