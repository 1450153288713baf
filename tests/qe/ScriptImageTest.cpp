#include "content/PackWriter.h"
#include "content/QuestScriptWriter.h"
#include "core/ContentTestSupport.h"
#include "core/FileSystem.h"
#include "core/MessageBox.h"
#include "core/Settings.h"
#include "platform/AtomicFile.h"
#include "qe/QuestData.h"
#include "qe/ScriptData.h"
#include "qe/ScriptImage.h"

#include <gtest/gtest.h>

#include <cstring>
#include <sstream>

using namespace lv::content;
using namespace qe::scripts;
using qe::CScriptData;

namespace {

// Every block kind, blocks in the columns of other blocks, action and environment command sets,
// minigame arguments, empty command elements and nested trees.
const char kScriptXml[] = R"(<?xml version="1.0"?>
<quest>
 <Structure>
  <level id="q1">
   <scene guid="hall"/>
   <group><anything guid="cellar"/><x guid="empty1"/></group>
   <other guid="skipped"/>
   <scene guid="nocontent"/>
  </level>
  <level id="q2"><scene guid="noscripts"/></level>
 </Structure>
 <scene_content guid="hall">
  <scripts>
   <action_block guid="a1" id="act" object="door" active_object="key" ignored_by_hint="true">
    <condition_inputs><i guid="c1"/><i guid="c2"/></condition_inputs>
    <unblock_inputs><i guid="u1"/></unblock_inputs>
    <correct_commands><sequence><hide a1="door" a2="500"/><sleep a1="0"/>
     <parallel><show a1="x"/><play_sound a1="-1" a2="s"/></parallel></sequence></correct_commands>
    <incorrect_commands/>
    <commands active_object="coin"><show a1="coin"/></commands>
    <commands active_object=""/>
   </action_block>
   <environment_block guid="e1" id="env" object="wall">
    <unblock_inputs><i guid="u2"/></unblock_inputs><block_inputs><i guid="b2"/><i guid="b3"/></block_inputs>
    <commands active_object="hammer"><parallel/></commands>
   </environment_block>
   <auto_action_block guid="aa" id="auto">
    <commands><x b="2" a="1"><p q="3" r="4"/><n/></x></commands>
    <unblock_inputs><i guid="u3"/></unblock_inputs>
   </auto_action_block>
   <scene_block guid="sb" id="toCellar" object="stairs" scene="cellar">
    <unblock_inputs/><block_inputs><i guid="b1"/></block_inputs>
    <preopen_commands><sleep a1="100"/></preopen_commands><postopen_commands><show a1="lamp"/></postopen_commands>
   </scene_block>
   <scene_block guid="sb2" id="noPre" object="d" scene="s"><postopen_commands><hide a1="y"/></postopen_commands></scene_block>
   <minigame_block guid="mg" id="puzzle" minigame="lock" pos="1,2" ignored_by_hint="true">
    <arguments><a key="code" value="1234"/><a key="tries" value="3"/></arguments>
    <condition_inputs><i guid="c3"/></condition_inputs><commands><stop_video a1="v"/></commands>
   </minigame_block>
   <scene_event_block guid="se" id="onOpen" event="open"><commands><sleep a1="1"/></commands></scene_event_block>
   <scene_event_block guid="se2" id="onClose" event="close"><commands/></scene_event_block>
   <group guid="g" id="grp"><unblock_inputs><i guid="u4"/></unblock_inputs>
    <column><action_block guid="m1" id="member1" object="o1"/><or_block guid="m2" id="member2"><inputs><i guid="a1"/></inputs></or_block></column>
    <column><cycle guid="m3" id="member3"/></column>
   </group>
   <cycle guid="cy" id="cyc"><loop_blocks><i guid="g"/></loop_blocks>
    <column><scene_event_block guid="m4" id="member4" event="open"/></column>
   </cycle>
   <or_block guid="or" id="or"><inputs><i guid="a1"/><i guid="se"/></inputs></or_block>
  </scripts>
 </scene_content>
 <scene_content guid="cellar"><scripts/></scene_content>
 <scene_content guid="noscripts"/>
</quest>
)";

u64 G(const char* text)
{
    return CQuestScriptWriter::ParseGuid(text);
}

SScriptCommand Cmd(const char* name, std::vector<SScriptArgument> arguments)
{
    return SScriptCommand::Named(name, std::move(arguments));
}

SScriptBlock Block(EScriptBlockKind kind, const char* guid, const char* id)
{
    SScriptBlock b;
    b.kind = kind;
    b.guid = G(guid);
    b.id = id;
    return b;
}

// The same content as kScriptXml, described for the writer.
std::vector<SScriptQuest> ScriptContent()
{
    using K = EScriptBlockKind;
    using T = SScriptCommand::EType;
    SScriptBlock act = Block(K::Action, "a1", "act");
    act.object = "door";
    act.activeObject = "key";
    act.ignoredByHint = true;
    act.conditionInputs = {G("c1"), G("c2")};
    act.unblockInputs = {G("u1")};
    act.correct = {SScriptCommand::Node(
        T::Sequence, {Cmd("hide", {{"a1", "door"}, {"a2", "500"}}), Cmd("sleep", {{"a1", "0"}}),
                      SScriptCommand::Node(T::Parallel, {Cmd("show", {{"a1", "x"}}),
                                                         Cmd("play_sound", {{"a1", "-1"}, {"a2", "s"}})})})};
    act.commandSets = {{"coin", {Cmd("show", {{"a1", "coin"}})}}, {"", {}}};
    SScriptBlock member1 = Block(K::Action, "m1", "member1");
    member1.object = "o1";
    SScriptBlock env = Block(K::Environment, "e1", "env");
    env.object = "wall";
    env.unblockInputs = {G("u2")};
    env.blockInputs = {G("b2"), G("b3")};
    env.commandSets = {{"hammer", {SScriptCommand::Node(T::Parallel, {})}}};
    SScriptBlock autoAction = Block(K::AutoAction, "aa", "auto");
    autoAction.commands = {Cmd("x", {{"a", "1"}, {"b", "2"}, {"q", "3"}, {"", ""}})};
    autoAction.unblockInputs = {G("u3")};
    SScriptBlock toCellar = Block(K::Scene, "sb", "toCellar");
    toCellar.object = "stairs";
    toCellar.targetScene = "cellar";
    toCellar.blockInputs = {G("b1")};
    toCellar.preOpen = {Cmd("sleep", {{"a1", "100"}})};
    toCellar.postOpen = {Cmd("show", {{"a1", "lamp"}})};
    SScriptBlock noPre = Block(K::Scene, "sb2", "noPre");
    noPre.object = "d";
    noPre.targetScene = "s";
    noPre.postOpen = {Cmd("hide", {{"a1", "y"}})};
    SScriptBlock puzzle = Block(K::Minigame, "mg", "puzzle");
    puzzle.minigame = "lock";
    puzzle.ignoredByHint = true;
    puzzle.arguments = {{"code", "1234"}, {"tries", "3"}};
    puzzle.conditionInputs = {G("c3")};
    puzzle.commands = {Cmd("stop_video", {{"a1", "v"}})};
    SScriptBlock onOpen = Block(K::SceneEvent, "se", "onOpen");
    onOpen.openEvent = true;
    onOpen.commands = {Cmd("sleep", {{"a1", "1"}})};
    SScriptBlock onClose = Block(K::SceneEvent, "se2", "onClose");
    SScriptBlock member4 = Block(K::SceneEvent, "m4", "member4");
    member4.openEvent = true;
    SScriptBlock group = Block(K::Group, "g", "grp");
    group.unblockInputs = {G("u4")};
    group.members = {G("m1"), G("m2"), G("m3")};
    SScriptBlock member3 = Block(K::Cycle, "m3", "member3");
    SScriptBlock cycle = Block(K::Cycle, "cy", "cyc");
    cycle.loopInputs = {G("g")};
    cycle.members = {G("m4")};
    SScriptBlock member2 = Block(K::Or, "m2", "member2");
    member2.inputs = {G("a1")};
    SScriptBlock orBlock = Block(K::Or, "or", "or");
    orBlock.inputs = {G("a1"), G("se")};

    SScriptScene hall{G("hall"), {act, member1, env, autoAction, toCellar, noPre, puzzle, onOpen, onClose, member4,
                                  group, member3, cycle, member2, orBlock}};
    return {{"q1", {hall, {G("cellar"), {}}, {G("empty1"), {}}, {G("nocontent"), {}}}},
            {"q2", {{G("noscripts"), {}}}}};
}

std::vector<u8> WriterImage(EScriptImageFault fault = EScriptImageFault::None)
{
    std::vector<u8> image;
    std::string error;
    EXPECT_TRUE(CQuestScriptWriter::BuildImage(ScriptContent(), image, fault, &error)) << error;
    return image;
}

void CompileXml(CScriptData& data, const std::string& xml)
{
    lv::core::CSettings settings;
    ASSERT_TRUE(settings.LoadXmlText(xml));
    data.Compile(settings.GetFirstChild());
}

void DumpTree(std::ostream& out, CCommandRecord c)
{
    if (c.IsNode()) {
        out << (c.GetType() == CCommandRecord::kParallel ? "par(" : "seq(");
        CCommandRecord child = c.GetFirstChild();
        for (u32 i = 0; i < c.GetChildCount(); ++i, child = child.GetNextSibling()) {
            DumpTree(out, child);
            out << ' ';
        }
        out << ')';
        return;
    }
    out << c.GetName().GetText() << '[';
    for (u32 i = 0; i < c.GetArgumentCount(); ++i)
        out << c.GetArgumentName(i).GetText() << '=' << c.GetArgumentValue(i).GetText() << ';';
    out << ']';
}

// Walks every record of an image into text: blocks, lists, arguments, sets and trees.
std::string Walk(const u8* image, size_t size)
{
    std::ostringstream out;
    for (CQuestRecord q = CScriptImage::GetFirstQuest(image, size); q.IsValid();
         q = CScriptImage::GetNextQuest(image, size, q)) {
        out << "quest " << q.GetId().GetText() << " blocks " << q.GetBlockCount() << '\n';
        CSceneRecord scene = q.GetFirstScene();
        for (u32 s = 0; s < q.GetSceneCount(); ++s, scene = scene.GetNext()) {
            out << " scene " << scene.GetGuid() << " size " << scene.GetSize() << '\n';
            for (u32 k = 0; k < kBlockKindCount; ++k) {
                const EBlockKind kind = static_cast<EBlockKind>(k);
                CBlockRecord b = scene.GetFirstBlock(kind);
                for (u32 i = 0; i < scene.GetBlockCount(kind); ++i, b = b.GetNext()) {
                    out << "  " << GetBlockElementName(kind) << ' ' << b.GetId().GetText() << ' ' << b.GetGuid()
                        << " flags " << b.GetFlags() << " object " << b.GetObjectName().GetText();
                    for (u32 l = 0; l < kBlockListCount; ++l) {
                        const SGuidList list = b.GetList(static_cast<EBlockList>(l));
                        out << " L" << l << ':';
                        for (u32 e = 0; e < list.count; ++e)
                            out << list.Get(e) << ',';
                    }
                    for (u32 a = 0; a < b.GetArgumentCount(); ++a)
                        out << " arg " << b.GetArgumentKey(a).GetText() << '=' << b.GetArgumentValue(a).GetText();
                    for (u32 t = 0; t < kBlockTreeCount; ++t) {
                        if (const CCommandRecord tree = b.GetTree(static_cast<EBlockTree>(t)); tree.IsValid()) {
                            out << " T" << t << ':';
                            DumpTree(out, tree);
                        }
                    }
                    CCommandSetRecord set = b.GetFirstCommandSet();
                    for (u32 i2 = 0; i2 < b.GetCommandSetCount(); ++i2, set = set.GetNext()) {
                        out << " set " << set.GetActiveObjectName().GetText() << ':';
                        if (set.HasTree())
                            DumpTree(out, set.GetTree());
                    }
                    out << '\n';
                }
            }
        }
    }
    return out.str();
}

class ScriptImageTest : public testing::Test
{
protected:
    void SetUp() override { lv::core::SetQuietMessageBoxes(true); }

    CTempFolder m_Tmp;
    CWorkingFolder m_Cwd{m_Tmp.Path()};
    CLogCapture m_Log{m_Tmp};
};

} // namespace

TEST_F(ScriptImageTest, CompiledXmlEqualsTheWriterImageAndSavesAndLoadsTheSame)
{
    m_Tmp.Write("properties/quest.xml", kScriptXml);
    CScriptData compiled;
    lv::core::CFileSystem fileSystem("");
    ASSERT_TRUE(compiled.Load(fileSystem));
    ASSERT_TRUE(compiled.IsOwned());
    const std::vector<u8> expected = WriterImage();
    ASSERT_EQ(compiled.GetSize(), expected.size());
    EXPECT_EQ(std::memcmp(compiled.GetImage(), expected.data(), expected.size()), 0);
    std::string error;
    EXPECT_TRUE(CScriptImage::Validate(compiled.GetImage(), compiled.GetSize(), &error)) << error;
    const std::string walked = Walk(compiled.GetImage(), compiled.GetSize());

    ASSERT_TRUE(compiled.Save());
    EXPECT_EQ(m_Tmp.Read("properties/quest_script.bindump"), std::string(expected.begin(), expected.end()));

    CScriptData loaded;
    ASSERT_TRUE(loaded.Load(fileSystem));
    EXPECT_FALSE(loaded.IsOwned());
    EXPECT_FALSE(loaded.Save()); // only a compiled image is saved
    EXPECT_EQ(Walk(loaded.GetImage(), loaded.GetSize()), walked);

    // Spot checks of the walk.
    EXPECT_NE(walked.find("action_block act " + std::to_string(G("a1")) + " flags 5 object door"), std::string::npos);
    EXPECT_NE(walked.find("T0:seq(hide[a1=door;a2=500;] sleep[a1=0;] par(show[a1=x;] play_sound[a1=-1;a2=s;] ) )"),
              std::string::npos);
    EXPECT_NE(walked.find("set coin:show[a1=coin;] set :"), std::string::npos);
    EXPECT_NE(walked.find("T2:x[a=1;b=2;q=3;=;]"), std::string::npos);
    EXPECT_NE(walked.find("arg code=1234 arg tries=3"), std::string::npos);
    EXPECT_NE(walked.find("quest q2 blocks 0"), std::string::npos);
}

TEST_F(ScriptImageTest, SceneShapesGroupsColumnsArgumentsAndEmptyCommands)
{
    CScriptData data;
    CompileXml(data, kScriptXml);
    const CQuestRecord q1 = data.FindQuest(CFixedString("q1"));
    ASSERT_TRUE(q1.IsValid());
    // "group" gives one scene per child; "other" is skipped.
    ASSERT_EQ(q1.GetSceneCount(), 4u);
    EXPECT_EQ(q1.GetBlockCount(), 15u);
    CSceneRecord scene = q1.GetFirstScene();
    const CSceneRecord hall = scene;
    // Scenes without blocks, without "scripts" or without content: 80 bytes, counts 0, offsets 80.
    for (const char* guid : {"cellar", "empty1", "nocontent"}) {
        scene = scene.GetNext();
        EXPECT_EQ(scene.GetGuid(), G(guid));
        EXPECT_EQ(scene.GetSize(), 80u);
        for (u32 k = 0; k < kBlockKindCount; ++k) {
            EXPECT_EQ(scene.GetBlockCount(static_cast<EBlockKind>(k)), 0u);
            EXPECT_EQ(scene.GetBlockOffset(static_cast<EBlockKind>(k)), 80u);
        }
    }
    const CQuestRecord q2 = data.FindQuest(CFixedString("q2"));
    ASSERT_TRUE(q2.IsValid());
    EXPECT_EQ(q2.GetFirstScene().GetSize(), 80u);

    // A block in a column is compiled as its own kind, and listed among the group's members.
    EXPECT_EQ(hall.GetBlockCount(EBlockKind::Action), 2u);
    EXPECT_EQ(hall.GetFirstBlock(EBlockKind::Action).GetNext().GetGuid(), G("m1"));
    EXPECT_EQ(hall.GetFirstBlock(EBlockKind::Or).GetGuid(), G("m2"));
    EXPECT_EQ(hall.GetFirstBlock(EBlockKind::Cycle).GetGuid(), G("m3"));
    const SGuidList members = hall.GetFirstBlock(EBlockKind::Group).GetList(EBlockList::Members);
    ASSERT_EQ(members.count, 3u);
    EXPECT_EQ(members.Get(0), G("m1"));
    EXPECT_EQ(members.Get(2), G("m3"));

    // <x b="2" a="1"><p q="3" r="4"/><n/></x>: attributes by name, then each child's first one.
    const CCommandRecord x = hall.GetFirstBlock(EBlockKind::AutoAction).GetTree(EBlockTree::Commands);
    ASSERT_EQ(x.GetArgumentCount(), 4u);
    EXPECT_STREQ(x.GetArgumentName(0).GetText(), "a");
    EXPECT_STREQ(x.GetArgument(0), "1");
    EXPECT_STREQ(x.GetArgumentName(1).GetText(), "b");
    EXPECT_STREQ(x.GetArgument(2), "3");
    EXPECT_EQ(x.GetSize(), 300u + 3 * 192u);

    // Empty command elements give no tree and a clear flag.
    const CBlockRecord act = hall.GetFirstBlock(EBlockKind::Action);
    EXPECT_FALSE(act.HasFlags(kActionHasIncorrect));
    EXPECT_FALSE(act.GetTree(EBlockTree::Incorrect).IsValid());
    const CBlockRecord onClose = hall.GetFirstBlock(EBlockKind::SceneEvent).GetNext();
    EXPECT_EQ(onClose.GetFlags(), 0u);
    EXPECT_FALSE(onClose.GetTree(EBlockTree::Commands).IsValid());
    EXPECT_FALSE(act.GetFirstCommandSet().GetNext().HasTree());

    // Names the compiler leaves unhashed, and those it hashes.
    EXPECT_EQ(hall.GetFirstBlock(EBlockKind::Environment).GetObjectName().GetStoredHash(), 0);
    EXPECT_EQ(hall.GetFirstBlock(EBlockKind::Minigame).GetMinigameName().GetStoredHash(), 0);
    EXPECT_NE(act.GetObjectName().GetStoredHash(), 0);
    EXPECT_TRUE(hall.GetFirstBlock(EBlockKind::Environment).GetObjectName().Equals(CFixedString("wall")));
}

TEST_F(ScriptImageTest, GuidTexts)
{
    EXPECT_EQ(qe::CQuestData::ParseGuid("abc"), 162213u);
    EXPECT_EQ(CQuestScriptWriter::ParseGuid("abc"), 162213u);
    for (const char* text : {"", "/", "+", "Zz09+/", "abcdefghijkl", "a-b"})
        EXPECT_EQ(qe::CQuestData::ParseGuid(text), CQuestScriptWriter::ParseGuid(text)) << text;
}

TEST_F(ScriptImageTest, OtherTagIsIncompatibleAndTheXmlIsNotCompiled)
{
    m_Tmp.Write("properties/quest.xml", kScriptXml);
    ASSERT_TRUE(CQuestScriptWriter::WriteFile(ScriptContent(), m_Tmp.Path() / "properties/quest_script.bindump",
                                              EScriptImageFault::WrongVersion));
    lv::core::CFileSystem fileSystem("");
    CScriptData data;
    EXPECT_FALSE(data.Load(fileSystem));
    EXPECT_FALSE(data.HasImage());
    EXPECT_TRUE(m_Log.Contains("quest_script.bindump has incompatible version."));
    EXPECT_FALSE(data.FindQuest(CFixedString("q1")).IsValid());
}

TEST_F(ScriptImageTest, BrokenImagesAreRefusedAsCorrupted)
{
    for (const EScriptImageFault fault :
         {EScriptImageFault::BlockSizePastScene, EScriptImageFault::ListCountPastRecord,
          EScriptImageFault::TreeChildrenOverrun, EScriptImageFault::ArgumentCountMismatch,
          EScriptImageFault::NameWithoutTerminator, EScriptImageFault::QuestSizePastEnd}) {
        SCOPED_TRACE(static_cast<int>(fault));
        // Exactly the bytes, so that any read past them is a sanitizer report.
        const std::vector<u8> broken = WriterImage(fault);
        EXPECT_FALSE(CScriptImage::Validate(broken.data(), broken.size()));
        std::filesystem::create_directories(m_Tmp.Path() / "properties");
        ASSERT_TRUE(WriteDiskFile(m_Tmp.Path() / "properties/quest_script.bindump", broken));
        lv::core::CFileSystem fileSystem("");
        CScriptData data;
        const size_t before = m_Log.Count("quest_script.bindump is corrupted.");
        EXPECT_FALSE(data.Load(fileSystem));
        EXPECT_FALSE(data.HasImage());
        EXPECT_EQ(m_Log.Count("quest_script.bindump is corrupted."), before + 1);
    }
}

TEST_F(ScriptImageTest, EveryCutOfAnImageIsCheckedInsideItsBytes)
{
    const std::vector<u8> image = WriterImage();
    const CQuestRecord first = CScriptImage::GetFirstQuest(image.data(), image.size());
    const size_t firstEnd = 4 + first.GetSize();
    for (size_t cut = 0; cut < image.size(); ++cut) {
        const std::vector<u8> prefix(image.begin(), image.begin() + static_cast<std::ptrdiff_t>(cut));
        // Only the tag alone and the first quest alone are whole images.
        EXPECT_EQ(CScriptImage::Validate(prefix.data(), prefix.size()), cut == 4 || cut == firstEnd) << cut;
    }
}

TEST_F(ScriptImageTest, TreesNestDeeperThan256LevelsAreRefused)
{
    for (const u32 depth : {256u, 257u}) {
        SScriptCommand tree = SScriptCommand::Named("sleep", {{"a1", "1"}});
        for (u32 i = 1; i < depth; ++i)
            tree = SScriptCommand::Node(SScriptCommand::EType::Sequence, {tree});
        const std::vector<u8> bytes = CQuestScriptWriter::BuildCommand(tree);
        EXPECT_EQ(ValidateCommandTree(bytes.data(), bytes.size()), depth == 256) << depth;
    }
}

TEST_F(ScriptImageTest, BlocksBeyondTheLimitsAreReportedAndLeftOut)
{
    std::string wide = "<hide";
    for (int i = 0; i < 683; ++i)
        wide += " a" + std::to_string(1000 + i) + "=\"v\"";
    wide += "/>";
    std::string many = "<unblock_inputs>";
    for (int i = 0; i < 65536; ++i)
        many += "<i guid=\"a\"/>";
    many += "</unblock_inputs>";
    const std::string xml = "<?xml version=\"1.0\"?><quest><Structure><level id=\"q\"><scene guid=\"s\"/></level></Structure>"
                            "<scene_content guid=\"s\"><scripts>"
                            "<auto_action_block guid=\"1\" id=\"deep\"><commands/></auto_action_block>"
                            "<auto_action_block guid=\"2\" id=\"fine\"><commands><sleep a1=\"5\"/></commands></auto_action_block>"
                            "<auto_action_block guid=\"3\" id=\"wide\"><commands>" + wide + "</commands></auto_action_block>"
                            "<group guid=\"4\" id=\"many\">" + many + "</group>"
                            "<or_block guid=\"5\" id=\"after\"/>"
                            "</scripts></scene_content></quest>";
    lv::core::CSettings settings;
    ASSERT_TRUE(settings.LoadXmlText(xml));
    // XML documents nest only 63 elements deep; the tree itself may be deeper.
    using lv::core::CSettingsGroup;
    CSettingsGroup::Ptr chain(new CSettingsGroup(CFixedString("sleep")));
    chain->SetAttribute("a1", "1");
    for (int i = 0; i < 256; ++i) {
        CSettingsGroup::Ptr node(new CSettingsGroup(CFixedString("sequence")));
        node->AddChild(chain);
        chain = node;
    }
    const CSettingsGroup* commands =
        settings.GetFirstChild().GetChild("scene_content").GetChild("scripts").GetChild("auto_action_block").FindChild("commands");
    ASSERT_NE(commands, nullptr);
    const_cast<CSettingsGroup*>(commands)->AddChild(chain);
    CScriptData data;
    data.Compile(settings.GetFirstChild());
    std::string error;
    ASSERT_TRUE(CScriptImage::Validate(data.GetImage(), data.GetSize(), &error)) << error;
    for (const char* id : {"deep", "wide", "many"})
        EXPECT_TRUE(m_Log.Contains(std::string("Script block '") + id + "' is not compiled")) << id;
    EXPECT_TRUE(m_Log.Contains("256 levels"));
    EXPECT_TRUE(m_Log.Contains("682 arguments"));
    EXPECT_TRUE(m_Log.Contains("65535"));
    const CSceneRecord scene = data.FindQuest(CFixedString("q")).GetFirstScene();
    ASSERT_EQ(scene.GetBlockCount(EBlockKind::AutoAction), 1u);
    EXPECT_STREQ(scene.GetFirstBlock(EBlockKind::AutoAction).GetId().GetText(), "fine");
    EXPECT_EQ(scene.GetBlockCount(EBlockKind::Group), 0u);
    EXPECT_EQ(scene.GetBlockCount(EBlockKind::Or), 1u);
    EXPECT_EQ(data.FindQuest(CFixedString("q")).GetBlockCount(), 2u);
}

TEST_F(ScriptImageTest, FileImageInAPackIsWalkedAndComparedWithoutWritingIt)
{
    std::vector<u8> image = WriterImage();
    const std::vector<u8> original = image;
    CPackWriter pack;
    ASSERT_TRUE(pack.AddFile("properties/quest_script.bindump", std::move(image)));
    ASSERT_TRUE(pack.WriteFile(m_Tmp.Path() / "game.pack"));
    lv::core::CFileSystem fileSystem("");
    ASSERT_TRUE(fileSystem.MountPack("game.pack"));
    CScriptData data;
    ASSERT_TRUE(data.Load(fileSystem));
    // The pack is mapped read-only: comparing names stored with hash 0 must not store one.
    const CSceneRecord hall = data.FindQuest(CFixedString("q1")).GetFirstScene();
    EXPECT_TRUE(hall.GetFirstBlock(EBlockKind::Environment).GetObjectName().Equals(CFixedString("wall")));
    EXPECT_FALSE(hall.GetFirstBlock(EBlockKind::Scene).GetTargetSceneName().Equals(CFixedString("hall")));
    EXPECT_TRUE(hall.GetFirstBlock(EBlockKind::Minigame).GetMinigameName().Equals(CFixedString("lock")));
    EXPECT_FALSE(Walk(data.GetImage(), data.GetSize()).empty());
    EXPECT_EQ(std::memcmp(data.GetImage(), original.data(), original.size()), 0);
    EXPECT_FALSE(data.FindQuest(CFixedString("nothing")).IsValid());
}

TEST_F(ScriptImageTest, SaveFailsWithoutACompiledImageOrAWritablePlace)
{
    CScriptData data;
    EXPECT_FALSE(data.Save());
    CompileXml(data, kScriptXml);
    EXPECT_FALSE(data.Save((m_Tmp.Path() / "missing/folder/quest_script.bindump").string().c_str()));
    // A folder in the way of the target: the write succeeds, the rename does not.
    std::filesystem::create_directories(m_Tmp.Path() / "blocked");
    EXPECT_FALSE(data.Save((m_Tmp.Path() / "blocked").string().c_str()));
    const std::string out = (m_Tmp.Path() / "out.bindump").string();
    EXPECT_TRUE(data.Save(out.c_str()));
    EXPECT_EQ(m_Tmp.Read("out.bindump").size(), data.GetSize());
    // A short write is a failure, and the earlier file stays whole.
    m_Tmp.Write("out.bindump", "earlier");
    lv::platform::SetAtomicWriteFailAfter(100);
    EXPECT_FALSE(data.Save(out.c_str()));
    lv::platform::SetAtomicWriteFailAfter(-1);
    EXPECT_EQ(m_Tmp.Read("out.bindump"), "earlier");
}
