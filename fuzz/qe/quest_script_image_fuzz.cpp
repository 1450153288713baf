// The quest script image from arbitrary bytes: checked, and when accepted walked record by
// record (quests, scenes, blocks, lists, arguments, command sets and every command tree); then
// each quest record builds a script environment over a fixed quest, which is ticked, clicked,
// saved and loaded back.
#include "content/QuestDataWriter.h"
#include "core/MessageBox.h"
#include "qe/BinaryReader.h"
#include "qe/ByteBuffer.h"
#include "qe/CommandBase.h"
#include "qe/CommandFactory.h"
#include "qe/Quest.h"
#include "qe/QuestData.h"
#include "qe/Scene.h"
#include "qe/SceneObject.h"
#include "qe/ScriptEnvironment.h"
#include "qe/ScriptImage.h"
#include "qe/ScriptSet.h"

#include <cstring>
#include <memory>
#include <string>
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

 // Every command finishes as soon as it is made: the blocks' life cycles run without the game.
class CInstantCommand : public CCommandBase
{
public:
    CInstantCommand(qe::CScene* scene, lv::gui::CBaseWidget* widget) : CCommandBase(scene, widget) { Finish(); }
    void Update() override {}
};

CCommandBase* MakeInstantCommand(const CCommandRecord&, qe::CScene* scene, lv::gui::CBaseWidget* widget)
{
    return new CInstantCommand(scene, widget);
}

// Scenes with guids 1 to 3, each with the objects "door" and "box".
struct SFixedQuest
{
    SFixedQuest()
    {
        lv::core::SetQuietMessageBoxes(true);
        for (const std::string& name : CCommandFactory::Instance().GetNames())
            CCommandFactory::Instance().Register(name.c_str(), MakeInstantCommand);
        CCommandFactory::Instance().Register("open_scene", MakeInstantCommand);
        lv::content::SQuest quest;
        quest.id = "q";
        for (u64 guid = 1; guid <= 3; ++guid) {
            lv::content::SQuestScene scene;
            scene.id = "s" + std::to_string(guid);
            scene.guid = guid;
            for (const char* name : {"door", "box"}) {
                lv::content::SQuestObject object;
                object.kind = lv::content::EQuestObjectKind::Area;
                object.id = name;
                object.guid = guid * 10 + scene.objects.size();
                object.points = {{0, 0}, {10, 0}, {10, 10}};
                scene.objects.push_back(object);
            }
            quest.scenes.push_back(scene);
        }
        lv::content::CQuestDataWriter::BuildImage({quest}, image);
        data.LoadImage(image.data(), static_cast<u32>(image.size()));
    }
    std::vector<u8> image;
    qe::CQuestData data;
};

void RunEnvironment(const CQuestRecord& record)
{
    static SFixedQuest fixed;
    std::unique_ptr<qe::CQuest> quest(fixed.data.CreateQuest("q", nullptr, nullptr));
    if (!quest)
        return;
    quest->SetScriptEnvironment(std::make_unique<CScriptEnvironment>(record, quest.get(), nullptr));
    CScriptEnvironment& env = *quest->GetScriptEnvironment();
    for (int frame = 0; frame < 3; ++frame) {
        quest->UpdateScripts();
        for (u32 s = 0; s < env.GetSetCount(); ++s) {
            CScriptSet& set = *env.GetSet(s);
            set.OnSceneEvent(frame == 0);
            if (qe::CScene* scene = set.GetScene()) {
                for (const char* object : {"door", "box"})
                    set.OnObjectUsed(scene->FindObject(object), frame == 1 ? "" : object);
                g_Sink += static_cast<u64>(env.PathDistance(&set, "s1", ""));
            }
        }
    }
    qe::CByteBuffer buffer;
    buffer.Allocate(quest->GetStateSize());
    quest->Save(buffer);
    if (buffer.HasOverflowed() || buffer.GetLength() != quest->GetStateSize())
        __builtin_trap();
    if (!quest->Load(buffer.GetData(), buffer.GetLength()))
        __builtin_trap();
    quest->RefreshScripts();
    // A state cut short is refused, never read past.
    if (buffer.GetLength() > 0 && quest->Load(buffer.GetData(), buffer.GetLength() - 1))
        __builtin_trap();
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
        // Linking tests every pair of blocks: keep the inputs that build small.
        u64 blocks = 0;
        scene = quest.GetFirstScene();
        for (u32 s = 0; s < quest.GetSceneCount(); ++s, scene = scene.GetNext())
            blocks += scene.GetTotalBlockCount();
        if (blocks <= 2000)
            RunEnvironment(quest);
    }
    return 0;
}
