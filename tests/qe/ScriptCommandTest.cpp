#include "anim/AnimRenderSupport.h"
#include "anim/ClipManager.h"
#include "anim/ClipsBuilder.h"
#include "content/QuestDataWriter.h"
#include "content/QuestScriptWriter.h"
#include "core/MessageBox.h"
#include "qe/CommandBase.h"
#include "qe/ClipObject.h"
#include "qe/CommandFactory.h"
#include "qe/HideCommand.h"
#include "qe/ImageObject.h"
#include "qe/ObjectFactory.h"
#include "qe/Quest.h"
#include "qe/Scene.h"
#include "qe/VideoObject.h"
#include "sound/SoundTestSupport.h"

#include <gtest/gtest.h>

#include <deque>
#include <memory>

using namespace lv::content;
using namespace qe::scripts;

namespace {

using SArgs = std::vector<SScriptArgument>;

SScriptCommand Named(const char* name, std::vector<std::string> values)
{
    SArgs arguments;
    for (size_t i = 0; i < values.size(); ++i)
        arguments.push_back({"a" + std::to_string(i + 1), values[i]});
    return SScriptCommand::Named(name, arguments);
}

SScriptCommand Seq(std::vector<SScriptCommand> children)
{
    return SScriptCommand::Node(SScriptCommand::EType::Sequence, std::move(children));
}

SScriptCommand Par(std::vector<SScriptCommand> children)
{
    return SScriptCommand::Node(SScriptCommand::EType::Parallel, std::move(children));
}

SQuestObject Object(EQuestObjectKind kind, const char* id, u64 guid)
{
    SQuestObject o;
    o.kind = kind;
    o.id = id;
    o.guid = guid;
    if (kind == EQuestObjectKind::Area)
        o.points = {{0, 0}, {10, 0}, {10, 10}, {0, 10}};
    return o;
}

// "once" has a one-shot track of 1000 ms; "still" has no track that ends.
const char* const kScriptClips[] = {
    R"(<Clip id="once" x="0" y="0" w="40" h="20">
  <image id="t" i_id="spark" p="0 10" py="-4 -2 4 -2 4 2 -4 2" vis="true">
    <kp t="0" p="0 10" itpl="true"/><kp t="1000" p="40 10" itpl="true"/>
  </image>
</Clip>)",
    R"(<Clip id="still" x="0" y="0" w="40" h="20"/>)",
};

// Scenes "room" (where the commands run) and "hall" of one quest, on a hand-moved clock with a
// recording audio manager; every command reads the frame delta of that clock.
class ScriptCommandTest : public SoundTest
{
protected:
    static void SetUpTestSuite()
    {
        lv::graphics::DeclareAnimTestImages();
        lv::misc::anim::CClipsBuilder builder;
        for (const char* clip : kScriptClips) {
            const std::string xml = std::string("<?xml version=\"1.0\" encoding=\"utf-8\"?>\n") + clip;
            ASSERT_TRUE(builder.AddXml(xml.data(), xml.size()));
        }
        const std::vector<u8> image = builder.Build();
        ASSERT_TRUE(lv::misc::anim::CClipManager::Instance().LoadImage(image.data(), static_cast<u32>(image.size())));
    }
    static void TearDownTestSuite() { lv::misc::anim::CClipManager::Instance().Release(); }

    void SetUp() override
    {
        lv::core::SetQuietMessageBoxes(true);
        CCommandBase::SetTimeSystem(&m_Time);
        CCommandBase::SetAudioManager(m_Audio.get());
        Declare(R"(<sound id="bell" file="a.ogg" group_template="sound"/>)");

        SQuestObject video = Object(EQuestObjectKind::Video, "film", 20);
        video.resource = "video/missing.webm";
        video.animationFlags = 1; // auto-play, not looped
        SQuestObject loop = video;
        loop.id = "loop";
        loop.guid = 21;
        loop.animationFlags = 3;
        SQuestObject walk = Object(EQuestObjectKind::Image, "walk", 22);
        walk.resource = "walk";
        walk.size[0] = walk.size[1] = 16;
        SQuestObject once = Object(EQuestObjectKind::Clip, "fire", 23);
        once.resource = "once";
        once.size[0] = 40;
        once.size[1] = 20;
        once.animationFlags = 0;
        SQuestObject still = once;
        still.id = "smoke";
        still.guid = 24;
        still.resource = "still";
        m_Room = AddScene("room", {Object(EQuestObjectKind::Area, "X", 10), Object(EQuestObjectKind::Area, "Y", 11),
                                   video, loop, walk, once, still});
        SQuestObject group = Object(EQuestObjectKind::Group, "g", 30);
        group.children = {Object(EQuestObjectKind::Area, "b", 31), Object(EQuestObjectKind::Area, "c", 32)};
        AddScene("hall", {group});
    }

    void TearDown() override
    {
        CCommandBase::SetTimeSystem(nullptr);
        CCommandBase::SetAudioManager(nullptr);
    }

    qe::CScene* AddScene(const char* name, const std::vector<SQuestObject>& objects)
    {
        auto scene = std::make_unique<qe::CScene>(&m_Quest, name);
        for (const SQuestObject& object : objects) {
            m_Records.push_back(CQuestDataWriter::BuildObjectRecord(object));
            scene->AddObject(qe::CreateObjectFromRecord(scene.get(), m_Records.back().data()));
        }
        scene->Update();
        return m_Quest.AddScene(std::move(scene));
    }

    std::unique_ptr<CCommandBase> Make(const SScriptCommand& command)
    {
        m_Commands.push_back(CQuestScriptWriter::BuildCommand(command));
        return std::unique_ptr<CCommandBase>(
            CCommandFactory::Instance().Create(CCommandRecord(m_Commands.back().data()), m_Room, nullptr));
    }

    qe::CSceneObject* Find(const char* name) const { return m_Room->FindObject(name); }

    // One frame of `ms` and one update of the command.
    void Step(CCommandBase& command, double ms)
    {
        Advance(ms);
        command.Update();
    }

    qe::CQuest m_Quest{"q", &m_Time};
    qe::CScene* m_Room = nullptr;
    std::deque<std::vector<u8>> m_Records;
    std::deque<std::vector<u8>> m_Commands;
};

} // namespace

TEST_F(ScriptCommandTest, RegistryHoldsTheBuiltInsAndReplacesOnRegister)
{
    const std::vector<std::string> names = CCommandFactory::Instance().GetNames();
    EXPECT_EQ(names, (std::vector<std::string>{"hide", "play_animation", "play_sound", "show", "sleep", "stop_video"}));

    static int custom = 0;
    CCommandFactory::Instance().Register("hide", [](const CCommandRecord&, qe::CScene*, lv::gui::CBaseWidget*) -> CCommandBase* {
        ++custom;
        return nullptr;
    });
    EXPECT_EQ(Make(Named("hide", {"X"})), nullptr);
    EXPECT_EQ(custom, 1);
    EXPECT_FALSE(Find("X")->HasFlags(qe::CSceneObject::kHidden));
    CCommandFactory::Instance().Register(
        "hide", [](const CCommandRecord& r, qe::CScene* s, lv::gui::CBaseWidget* w) -> CCommandBase* {
            return new CHideCommand(r, s, w);
        });
    EXPECT_EQ(CCommandFactory::Instance().GetNames().size(), 6u);
}

TEST_F(ScriptCommandTest, UnregisteredNameIsReportedAndItsSiblingsRun)
{
    CLogCapture log(m_Tmp);
    EXPECT_EQ(Make(Named("foo", {})), nullptr);
    EXPECT_TRUE(log.Contains("Command is not registered: 'foo'"));
    auto sequence = Make(Seq({Named("foo", {}), Named("hide", {"X"})}));
    EXPECT_TRUE(sequence->IsFinished());
    EXPECT_TRUE(Find("X")->HasFlags(qe::CSceneObject::kHidden));
    auto parallel = Make(Par({Named("foo", {}), Named("hide", {"Y"})}));
    EXPECT_TRUE(parallel->IsFinished());
    EXPECT_TRUE(Find("Y")->HasFlags(qe::CSceneObject::kHidden));
    EXPECT_EQ(log.Count("Command is not registered: 'foo'"), 3u);
}

TEST_F(ScriptCommandTest, StructuralNodes)
{
    EXPECT_TRUE(Make(Seq({}))->IsFinished());
    EXPECT_TRUE(Make(Par({}))->IsFinished());
    EXPECT_TRUE(Make(Par({Named("sleep", {"0"}), Named("hide", {"Y"})}))->IsFinished());

    auto chain = Make(Seq({Named("sleep", {"0"}), Named("sleep", {"0"}), Named("hide", {"X"})}));
    EXPECT_TRUE(chain->IsFinished());
    EXPECT_TRUE(Find("X")->HasFlags(qe::CSceneObject::kHidden));

    // A sequence waits for each child; a parallel node for the last.
    auto sequence = Make(Seq({Named("sleep", {"100"}), Named("sleep", {"100"})}));
    auto parallel = Make(Par({Named("sleep", {"100"}), Named("sleep", {"300"})}));
    const bool expected[][2] = {{false, false}, {true, false}, {true, true}};
    for (const auto& row : expected) {
        Advance(100);
        sequence->Update();
        parallel->Update();
        EXPECT_EQ(sequence->IsFinished(), row[0]);
        EXPECT_EQ(parallel->IsFinished(), row[1]);
    }
    sequence->Update(); // safe once finished
}

TEST_F(ScriptCommandTest, Sleep)
{
    EXPECT_TRUE(Make(Named("sleep", {"0.05"}))->IsFinished());
    EXPECT_TRUE(Make(Named("sleep", {}))->IsFinished());
    EXPECT_TRUE(Make(Named("sleep", {"500", "1"}))->IsFinished());
    EXPECT_FALSE(Make(Named("sleep", {"1e30"}))->IsFinished()); // held within 32 bits
    auto half = Make(Named("sleep", {"0.5"}));
    EXPECT_FALSE(half->IsFinished());
    Step(*half, 16);
    EXPECT_TRUE(half->IsFinished());
    auto second = Make(Named("sleep", {"1000"}));
    for (int i = 0; i < 2; ++i) {
        Step(*second, 400);
        EXPECT_FALSE(second->IsFinished());
    }
    Step(*second, 400);
    EXPECT_TRUE(second->IsFinished());
}

TEST_F(ScriptCommandTest, HideAndShowFade)
{
    qe::CSceneObject* x = Find("X");
    auto hide = Make(Named("hide", {"X", "1000"}));
    EXPECT_FLOAT_EQ(x->GetOpacity(), 1.0f);
    for (const float opacity : {0.6f, 0.2f}) {
        Step(*hide, 400);
        EXPECT_FLOAT_EQ(x->GetOpacity(), opacity);
        EXPECT_FALSE(x->HasFlags(qe::CSceneObject::kHidden));
    }
    Step(*hide, 400);
    EXPECT_TRUE(hide->IsFinished());
    EXPECT_TRUE(x->HasFlags(qe::CSceneObject::kHidden));
    EXPECT_EQ(x->GetOpacity(), -1.0f);

    auto show = Make(Named("show", {"X", "1000"}));
    EXPECT_FALSE(x->HasFlags(qe::CSceneObject::kHidden));
    EXPECT_FLOAT_EQ(x->GetOpacity(), 0.0f);
    for (const float opacity : {0.4f, 0.8f}) {
        Step(*show, 400);
        EXPECT_FLOAT_EQ(x->GetOpacity(), opacity);
    }
    Step(*show, 400);
    EXPECT_TRUE(show->IsFinished());
    EXPECT_EQ(x->GetOpacity(), -1.0f);
}

TEST_F(ScriptCommandTest, HideAndShowWithoutChangeOrWithWrongArguments)
{
    qe::CSceneObject* x = Find("X");
    EXPECT_TRUE(Make(Named("show", {"X", "500"}))->IsFinished()); // visible already
    EXPECT_EQ(x->GetOpacity(), -1.0f);
    EXPECT_TRUE(Make(Named("hide", {}))->IsFinished());
    EXPECT_TRUE(Make(Named("hide", {"X", "1", "2"}))->IsFinished());
    EXPECT_FALSE(x->HasFlags(qe::CSceneObject::kHidden));
    EXPECT_TRUE(Make(Named("hide", {"X", "0"}))->IsFinished());
    EXPECT_TRUE(x->HasFlags(qe::CSceneObject::kHidden));
    x->SetOpacity(0.5f);
    EXPECT_TRUE(Make(Named("hide", {"X", "500"}))->IsFinished()); // hidden already
    EXPECT_EQ(x->GetOpacity(), 0.5f);
    EXPECT_TRUE(Make(Named("show", {"nothing"}))->IsFinished());
    // A fade under one millisecond still waits for the first update.
    auto brief = Make(Named("show", {"X", "0.5"}));
    EXPECT_FALSE(brief->IsFinished());
    EXPECT_EQ(x->GetOpacity(), 0.0f);
    Step(*brief, 16);
    EXPECT_TRUE(brief->IsFinished());
    EXPECT_EQ(x->GetOpacity(), -1.0f);
}

TEST_F(ScriptCommandTest, PlaySound)
{
    auto once = Make(Named("play_sound", {"-1", "bell"}));
    EXPECT_TRUE(once->IsFinished());
    EXPECT_EQ(m_Audio->GetPlayingCount(), 1);
    EXPECT_TRUE(Make(Named("play_sound", {"bell"}))->IsFinished());
    EXPECT_EQ(m_Audio->GetPlayingCount(), 2);
    EXPECT_TRUE(Make(Named("play_sound", {}))->IsFinished());
    EXPECT_EQ(m_Audio->GetPlayingCount(), 2);
    m_Audio->StopAll(0);
    Advance(10);
    ASSERT_EQ(m_Audio->GetPlayingCount(), 0);

    auto timed = Make(Named("play_sound", {"0", "bell"}));
    EXPECT_FALSE(timed->IsFinished());
    ASSERT_EQ(m_Audio->GetPlayingCount(), 1);
    Step(*timed, 100);
    EXPECT_TRUE(timed->IsFinished());
    // Stopped with a 300 ms fade: still there during it, gone after it.
    Advance(150);
    EXPECT_EQ(m_Audio->GetPlayingCount(), 1);
    Advance(200);
    Advance(10);
    EXPECT_EQ(m_Audio->GetPlayingCount(), 0);
}

TEST_F(ScriptCommandTest, PlayAnimation)
{
    auto image = Make(Named("play_animation", {"walk"}));
    auto* walk = static_cast<qe::CImageObject*>(Find("walk"));
    ASSERT_EQ(walk->GetAnimationLength(), 400);
    EXPECT_EQ(walk->GetAnimationTime(), 0);
    for (int i = 0; i < 3; ++i) {
        Step(*image, 100);
        EXPECT_FALSE(image->IsFinished());
    }
    Step(*image, 100);
    EXPECT_TRUE(image->IsFinished());

    auto timed = Make(Named("play_animation", {"film", "250"}));
    EXPECT_FALSE(timed->IsFinished());
    Step(*timed, 200);
    EXPECT_FALSE(timed->IsFinished());
    Step(*timed, 200);
    EXPECT_TRUE(timed->IsFinished());

    auto* fire = static_cast<qe::CClipObject*>(Find("fire"));
    ASSERT_EQ(fire->GetDuration(), 1000);
    EXPECT_FALSE(fire->IsPlaying());
    auto clip = Make(Named("play_animation", {"fire"}));
    EXPECT_TRUE(fire->IsPlaying());
    for (int i = 0; i < 2; ++i) {
        Step(*clip, 400);
        EXPECT_FALSE(clip->IsFinished());
    }
    Step(*clip, 400);
    EXPECT_TRUE(clip->IsFinished());
    auto still = Make(Named("play_animation", {"smoke"})); // no length: the first update ends it
    EXPECT_FALSE(still->IsFinished());
    Step(*still, 16);
    EXPECT_TRUE(still->IsFinished());

    // A looped video, areas, groups, missing objects and wrong counts finish at once.
    EXPECT_TRUE(Make(Named("play_animation", {"loop"}))->IsFinished());
    EXPECT_TRUE(Make(Named("play_animation", {"X"}))->IsFinished());
    EXPECT_TRUE(Make(Named("play_animation", {"hall/g"}))->IsFinished());
    EXPECT_TRUE(Make(Named("play_animation", {"nothing"}))->IsFinished());
    EXPECT_TRUE(Make(Named("play_animation", {"walk", "1", "2"}))->IsFinished());
    // Areas inside a sequence no longer hold it.
    EXPECT_TRUE(Make(Seq({Named("play_animation", {"X"}), Named("hide", {"Y"})}))->IsFinished());
}

TEST_F(ScriptCommandTest, StopVideoByPlainName)
{
    auto* film = static_cast<qe::CVideoObject*>(Find("film"));
    ASSERT_TRUE(film->GetVideoFlags() & qe::CVideoObject::kAutoPlay);
    EXPECT_TRUE(Make(Named("stop_video", {"room/film"}))->IsFinished());
    EXPECT_TRUE(film->GetVideoFlags() & qe::CVideoObject::kAutoPlay);
    EXPECT_TRUE(Make(Named("stop_video", {"X"}))->IsFinished());
    EXPECT_TRUE(Make(Named("stop_video", {}))->IsFinished());
    EXPECT_TRUE(film->GetVideoFlags() & qe::CVideoObject::kAutoPlay);
    EXPECT_TRUE(Make(Named("stop_video", {"film"}))->IsFinished());
    EXPECT_FALSE(film->GetVideoFlags() & qe::CVideoObject::kAutoPlay);
}

TEST_F(ScriptCommandTest, ObjectPaths)
{
    CLogCapture log(m_Tmp);
    const std::string before = log.Text();
    auto command = Make(Named("sleep", {"100"}));
    qe::CScene* hall = m_Quest.FindScene("hall");
    ASSERT_NE(hall, nullptr);
    const qe::CSceneObject* c = command->FindObject("hall/g.c");
    ASSERT_NE(c, nullptr);
    EXPECT_STREQ(c->GetNameCStr(), "c");
    EXPECT_EQ(command->FindObject("hall/g"), hall->FindObject("g"));
    EXPECT_EQ(command->FindObject("X"), Find("X"));
    EXPECT_EQ(command->FindObject("room/X"), Find("X"));
    EXPECT_EQ(command->FindObject("g.c"), nullptr); // g stands in the hall
    EXPECT_EQ(command->FindObject("hall/g.z"), nullptr);
    EXPECT_EQ(command->FindObject("nowhere/x"), nullptr);
    EXPECT_EQ(command->FindObject(""), nullptr);
    EXPECT_EQ(log.Text(), before); // nothing reported
}
