#include "anim/AnimRenderSupport.h"
#include "anim/ClipManager.h"
#include "anim/ClipsBuilder.h"
#include "anim/ImageObject.h"
#include "content/QuestDataWriter.h"
#include "content/TexturesAlphaWriter.h"
#include "core/MessageBox.h"
#include "graphics/ImageHandle.h"
#include "graphics/LogCapture.h"
#include "graphics/TexturesAlpha.h"
#include "qe/BinaryReader.h"
#include "qe/ByteBuffer.h"
#include "qe/AreaObject.h"
#include "qe/ClipObject.h"
#include "qe/GroupObject.h"
#include "qe/ImageObject.h"
#include "qe/ObjectFactory.h"
#include "qe/PlaceholderSet.h"
#include "qe/Quest.h"
#include "qe/Scene.h"
#include "qe/VideoObject.h"
#include "sound/SoundTestSupport.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>

using lv::content::CQuestDataWriter;
using lv::content::EQuestObjectKind;
using lv::content::SQuestObject;

namespace {

// "box" shows the 40 x 20 image "pic" over its whole frame; "track" has a one-shot track of
// 1000 ms with sounds at its ends and a ping-pong track of 800 ms; "flat" has no width.
const char* const kQeClips[] = {
    R"(<Clip id="box" x="0" y="0" w="40" h="20">
  <image id="a" i_id="pic" p="20 10" py="-20 -10 20 -10 20 10 -20 10" vis="true"/>
</Clip>)",
    R"(<Clip id="track" x="0" y="0" w="40" h="20">
  <image id="once" i_id="spark" p="0 10" py="-4 -2 4 -2 4 2 -4 2" vis="true">
    <kp t="0" p="0 10" itpl="true"/><kp t="1000" p="40 10" itpl="true"/><sd k="0" id="a"/><sd k="1000" id="b"/>
  </image>
  <image id="pp" i_id="spark" at="2" vis="true"><kp t="0" p="0 0"/><kp t="800" p="10 0"/></image>
</Clip>)",
    R"(<Clip id="swing" x="0" y="0" w="40" h="20">
  <image id="pp" i_id="spark" at="2" vis="true"><kp t="0" p="0 0"/><kp t="800" p="10 0"/></image>
</Clip>)",
    R"(<Clip id="flat" x="0" y="0" w="0" h="20">
  <image id="a" i_id="pic" p="0 10" py="-20 -10 20 -10 20 10 -20 10" vis="true"/>
</Clip>)",
    R"(<Clip id="bare" x="0" y="0" w="40" h="20"/>)",
    R"(<Clip id="nest" x="0" y="0" w="80" h="40">
  <clip id="inner" clip_id="box" p="40 20" py="-20 -10 20 -10 20 10 -20 10" vis="true"/>
</Clip>)",
};

void LoadQeClipDefinitions()
{
    lv::graphics::DeclareAnimTestImages();
    lv::misc::anim::CClipsBuilder builder;
    for (const char* clip : kQeClips)
    {
        const std::string xml = std::string("<?xml version=\"1.0\" encoding=\"utf-8\"?>\n") + clip;
        ASSERT_TRUE(builder.AddXml(xml.data(), xml.size()));
    }
    const std::vector<u8> image = builder.Build();
    ASSERT_TRUE(lv::misc::anim::CClipManager::Instance().LoadImage(image.data(), static_cast<u32>(image.size())));
}

class QeClipObjectTest : public testing::Test
{
protected:
    static void SetUpTestSuite() { LoadQeClipDefinitions(); }
    static void TearDownTestSuite() { lv::misc::anim::CClipManager::Instance().Release(); }
};

// Clip objects play their sound points through this test's recording audio manager.
class QeClipSoundTest : public SoundTest
{
protected:
    static void SetUpTestSuite() { LoadQeClipDefinitions(); }
    static void TearDownTestSuite() { lv::misc::anim::CClipManager::Instance().Release(); }

    QeClipSoundTest()
    {
        lv::misc::anim::CClipObject::SetAudioManager(m_Audio.get());
        Declare(R"(<sound id="a" file="a.ogg"/><sound id="b" file="b.ogg"/>)");
    }
    ~QeClipSoundTest() override { lv::misc::anim::CClipObject::SetAudioManager(nullptr); }

    std::vector<std::string> Played() const
    {
        std::vector<std::string> files;
        for (const auto& voice : m_Pool.m_Voices)
            files.push_back(voice->m_OpenedFile);
        return files;
    }
};

using QeFiles = std::vector<std::string>;

SQuestObject QeClip(const char* id, const char* clip, float x, float y, float w, float h, s32 animationFlags = 1)
{
    SQuestObject o;
    o.kind = EQuestObjectKind::Clip;
    o.id = id;
    o.guid = 0x51;
    o.resource = clip;
    o.color = {10, 20, 30, 40};
    o.offset[0] = x;
    o.offset[1] = y;
    o.size[0] = w;
    o.size[1] = h;
    o.animationFlags = animationFlags;
    return o;
}

// A clip object with the record it points into.
struct SQeClip
{
    std::vector<u8> record;
    std::unique_ptr<qe::CClipObject> clip;

    qe::CClipObject* operator->() const { return clip.get(); }
    qe::CClipObject& operator*() const { return *clip; }
};

SQeClip QeClipFrom(const SQuestObject& o)
{
    SQeClip made{CQuestDataWriter::BuildObjectRecord(o), std::make_unique<qe::CClipObject>(nullptr)};
    made.clip->InitFromRecord(made.record.data());
    return made;
}

const lv::misc::anim::CClipObject* QeTrack(const qe::CClipObject& clip, const char* name)
{
    const lv::misc::anim::CClipObject* track = clip.GetClip().FindObject(name);
    EXPECT_NE(track, nullptr) << name;
    return track;
}

SQuestObject QeArea(const char* id)
{
    SQuestObject o;
    o.kind = EQuestObjectKind::Area;
    o.id = id;
    o.points = {{0, 0}, {10, 0}, {10, 10}};
    return o;
}

} // namespace

TEST_F(QeClipObjectTest, RecordPlacesTheClip)
{
    SQuestObject o = QeClip("c", "box", 100, 50, 80, 40);
    o.angle = 0.25f;
    o.flipV = true;
    const auto record = CQuestDataWriter::BuildObjectRecord(o);
    std::unique_ptr<qe::CSceneObject> object(qe::CreateObjectFromRecord(nullptr, record.data()));
    ASSERT_NE(object, nullptr);
    ASSERT_EQ(object->GetType(), qe::CSceneObject::kTypeClip);
    EXPECT_EQ(qe::GetRecordEnd(record.data()), record.data() + record.size());
    auto& clip = static_cast<qe::CClipObject&>(*object);
    EXPECT_STREQ(clip.GetClip().GetName().GetText(), "box");
    EXPECT_EQ(clip.GetPosition(), CVector2(100, 50));
    EXPECT_EQ(clip.GetSize(), CVector2(80, 40));
    EXPECT_EQ(clip.GetAngle(), 0.25f);
    EXPECT_EQ(clip.GetClip().GetColor(), CColor::CColorArgb(40, 10, 20, 30));
    EXPECT_EQ(clip.GetClip().GetFlags(), 2);
    EXPECT_TRUE(clip.IsPlaying());
    EXPECT_EQ(clip.GetClipFlags(), qe::CClipObject::kPlaying);

    clip.SetPosition({1, 2});
    clip.SetSize({3, 4});
    clip.SetAngle(0.5f);
    EXPECT_EQ(clip.GetClip().GetPosition(), CVector2(1, 2));
    EXPECT_EQ(clip.GetClip().GetSize(), CVector2(3, 4));
    EXPECT_EQ(clip.GetClip().GetAngle(), 0.5f);
    std::unique_ptr<qe::CSceneObject> copy(clip.Clone());
    EXPECT_EQ(copy->GetPosition(), CVector2(1, 2));
    EXPECT_STREQ(copy->GetNameCStr(), "c");
}

TEST_F(QeClipObjectTest, PlaceholdersAreOneOfEachKindWithoutRecords)
{
    qe::CQuest quest("main");
    qe::CScene start(&quest, "start");
    EXPECT_EQ(quest.GetPlaceholders(), nullptr);
    quest.CreatePlaceholders(&start);
    const qe::CPlaceholderSet* set = quest.GetPlaceholders();
    ASSERT_NE(set, nullptr);
    const qe::CSceneObject* objects[] = {set->GetArea(), set->GetGroup(), set->GetImage(), set->GetClip(),
                                         set->GetVideo()};
    for (s32 type = 0; type < 5; ++type)
    {
        ASSERT_NE(objects[type], nullptr);
        EXPECT_EQ(objects[type]->GetType(), type);
        EXPECT_EQ(set->Get(type), objects[type]);
        EXPECT_EQ(objects[type]->GetScene(), &start);
        EXPECT_EQ(objects[type]->GetRecord(), nullptr);
        EXPECT_EQ(objects[type]->GetGuid(), 0u);
        EXPECT_TRUE(objects[type]->GetName().IsEmpty());
    }
    EXPECT_EQ(set->Get(5), nullptr);
    EXPECT_EQ(&qe::CPlaceholderSet::For(&start), set);
    EXPECT_FALSE(set->GetArea()->HitTest({0, 0}));
    EXPECT_EQ(set->GetArea()->GetPosition(), CVector2());
    EXPECT_EQ(set->GetArea()->GetSize(), CVector2());
    EXPECT_FALSE(set->GetClip()->HitTest({0, 0}));
    EXPECT_EQ(set->GetClip()->GetDuration(), -1);
    EXPECT_FALSE(set->GetImage()->HitTest({0, 0}));
    EXPECT_FALSE(set->GetVideo()->HitTest({0, 0}));
    EXPECT_FALSE(set->GetGroup()->HitTest({0, 0}));

    // A scene without a quest still gets usable objects.
    const qe::CPlaceholderSet& detached = qe::CPlaceholderSet::For(nullptr);
    EXPECT_NE(&detached, set);
    EXPECT_EQ(detached.GetClip()->GetType(), qe::CSceneObject::kTypeClip);
}

TEST_F(QeClipObjectTest, TypedChildLookupsReportAndHandBackThePlaceholder)
{
    qe::CQuest quest("main");
    qe::CScene hall(&quest, "hall");
    quest.CreatePlaceholders(&hall);
    SQuestObject group;
    group.kind = EQuestObjectKind::Group;
    group.id = "g";
    group.children = {QeClip("c", "box", 0, 0, 40, 20), QeArea("x")};
    const auto record = CQuestDataWriter::BuildObjectRecord(group);
    qe::CGroupObject object(&hall);
    object.InitFromRecord(record.data());
    ASSERT_EQ(object.GetChildCount(), 2);
    qe::CSceneObject* clipChild = object.GetChildren()[0];
    qe::CSceneObject* areaChild = object.GetChildren()[1];
    const qe::CPlaceholderSet& set = *quest.GetPlaceholders();

    CScratchLogCapture log;
    const char* const report = "Can't find object or object has different type.\nId: 'x'  Type: 'Clip'  Scene: 'hall'.";
    EXPECT_EQ(object.FindChild("c"), clipChild);
    EXPECT_EQ(object.FindChild("none"), nullptr);
    EXPECT_EQ(object.FindChildClip("c"), clipChild);
    EXPECT_EQ(object.FindChildArea("x"), areaChild);
    EXPECT_FALSE(log.Contains("Can't find object"));
    for (int call = 0; call < 2; ++call)
    {
        qe::CClipObject* found = object.FindChildClip("x");
        EXPECT_EQ(found, set.GetClip()) << call;
        EXPECT_EQ(found->GetType(), qe::CSceneObject::kTypeClip);
    }
    std::string text = log.Text();
    std::erase(text, '\r');
    const size_t first = text.find(report);
    ASSERT_NE(first, std::string::npos) << text;
    EXPECT_NE(text.find(report, first + 1), std::string::npos) << "reported on every call";
    EXPECT_EQ(object.FindChildImage("c"), set.GetImage());
    EXPECT_EQ(object.FindChildVideo("c"), set.GetVideo());
    EXPECT_EQ(object.FindChildArea("nothing"), set.GetArea());
    EXPECT_TRUE(log.Contains("Id: 'c'  Type: 'Image'  Scene: 'hall'."));
    EXPECT_TRUE(log.Contains("Id: 'c'  Type: 'Video'  Scene: 'hall'."));
    EXPECT_TRUE(log.Contains("Id: 'nothing'  Type: 'Area'  Scene: 'hall'."));

    // The silent forms report nothing.
    CScratchLogCapture quiet;
    qe::CClipObject* clip = nullptr;
    EXPECT_TRUE(object.TryFindChildClip("c", clip));
    EXPECT_EQ(clip, clipChild);
    EXPECT_FALSE(object.TryFindChildClip("x", clip));
    EXPECT_EQ(clip, set.GetClip());
    qe::CImageObject* image = nullptr;
    EXPECT_FALSE(object.TryFindChildImage("c", image));
    EXPECT_EQ(image, set.GetImage());
    qe::CVideoObject* video = nullptr;
    EXPECT_FALSE(object.TryFindChildVideo("c", video));
    EXPECT_EQ(video, set.GetVideo());
    qe::CAreaObject* area = nullptr;
    EXPECT_TRUE(object.TryFindChildArea("x", area));
    EXPECT_EQ(area, areaChild);
    EXPECT_FALSE(quiet.Contains("Can't find object"));

    // Objects that are no group have no children.
    EXPECT_EQ(clipChild->FindChild("c"), nullptr);
    EXPECT_EQ(clipChild->FindChildClip("c"), set.GetClip());
}

TEST_F(QeClipObjectTest, HitTestTable)
{
    // "pic" gets one transparent column at x = 30 and alpha 1 at x = 31.
    std::vector<u32> pixels(40 * 20);
    for (u32 y = 0; y < 20; ++y)
        for (u32 x = 0; x < 40; ++x)
            pixels[y * 40 + x] = x == 30 ? 0x00FFFFFFu : (x == 31 ? 0x01000000u : 0xFF000000u);
    lv::content::CTexturesAlphaWriter masks;
    masks.AddPixels("pic", 40, 20, pixels);
    const std::vector<u8> maskImage = masks.Build();
    lv::graphics::CImageHandle* image = lv::graphics::CTextureManager::Instance().GetImage("pic");
    ASSERT_NE(image, nullptr);
    image->EnsurePixelCopy();

    constexpr float kQuarter = 1.5707964f;
    const struct
    {
        const char* clip;
        float w, h, angle;
        bool useAlpha;
        CVector2 point;
        bool hit;
    } cases[] = {
        // The clip stands at (100, 100), twice its 40 x 20 frame.
        {"box", 80, 40, 0, false, {121, 100}, true},       // transparent pixel 30, but no pixel test
        {"box", 80, 40, 0, true, {121, 100}, false},       // local 30.5: transparent
        {"box", 80, 40, 0, true, {123, 100}, true},        // local 31.5: alpha 1
        {"box", 80, 40, 0, true, {80, 100}, true},         // local 10: opaque
        {"box", 80, 40, 0, true, {141, 100}, false},       // outside the frame
        {"box", 80, 40, kQuarter, false, {100, 135}, true}, // inside the turned rectangle only
        {"box", 80, 40, kQuarter, false, {135, 100}, false},
        {"box", 80, 40, kQuarter, true, {100, 121}, false}, // turned onto the transparent column
        {"box", 80, 40, kQuarter, true, {100, 80}, true},
        {"box", 0, 40, 0, false, {100, 100}, false},       // no width
        {"box", 80, 0, 0, false, {100, 100}, false},       // no height
        {"flat", 80, 40, 0, false, {100, 100}, false},     // a frame without width
        {"flat", 80, 40, 0, true, {100, 100}, false},
        {"missing", 80, 40, 0, false, {100, 100}, false},  // no such clip: empty
        {"bare", 80, 40, 0, false, {100, 100}, true},      // no objects, no pixel test
        {"bare", 80, 40, 0, true, {100, 100}, false},      // no objects to hit
        // "nest" holds "box" at its own size in the middle of an 80 x 40 frame, shown 1:1.
        {"nest", 80, 40, 0, true, {110, 100}, false},      // the nested clip's pixel 30: transparent
        {"nest", 80, 40, 0, true, {111, 100}, true},       // its pixel 31: alpha 1
        {"nest", 80, 40, 0, true, {90, 100}, true},        // its pixel 10
        {"nest", 80, 40, 0, true, {70, 100}, false},       // beside the nested clip
        {"nest", 80, 40, 0, false, {70, 100}, true},       // but inside the outer frame
        {"nest", 160, 80, 0, true, {120, 100}, false},     // scaled twice: pixel 30 again
        {"nest", 160, 80, 0, true, {80, 100}, true},
    };
    for (const bool throughMasks : {false, true})
    {
        // With the masks loaded the pixel copy is all opaque, so only the masks can miss.
        for (u32 y = 0; y < 20; ++y)
            for (u32 x = 0; x < 40; ++x)
                *image->GetPixelAddress(x, y, -1) = throughMasks ? 0xFF000000u : pixels[y * 40 + x];
        auto& alpha = lv::graphics::CTexturesAlpha::Instance();
        if (throughMasks)
            ASSERT_TRUE(alpha.LoadData(maskImage.data(), static_cast<u32>(maskImage.size())));
        else
            alpha.Release();
        for (size_t i = 0; i < std::size(cases); ++i)
        {
            const auto& c = cases[i];
            SQuestObject o = QeClip("c", c.clip, 100, 100, c.w, c.h);
            o.angle = c.angle;
            o.useAlpha = c.useAlpha;
            const auto clip = QeClipFrom(o);
            EXPECT_EQ(clip->HitTest(c.point), c.hit) << i << (throughMasks ? " through the masks" : " through the pixels");
        }

        // An object switched off in the clip is not hit.
        SQuestObject o = QeClip("c", "box", 100, 100, 80, 40);
        o.useAlpha = true;
        const auto clip = QeClipFrom(o);
        EXPECT_TRUE(clip->HitTest({80, 100}));
        clip->GetClip().FindObject("a")->SetActive(false);
        EXPECT_FALSE(clip->HitTest({80, 100}));
        alpha.Release();
    }
}

TEST_F(QeClipObjectTest, DurationCountsOneShotTracks)
{
    const auto track = QeClipFrom(QeClip("c", "track", 0, 0, 40, 20));
    EXPECT_EQ(QeTrack(*track, "pp")->GetDuration(), 1600); // ping-pong passes count twice
    EXPECT_EQ(track->GetDuration(), 1000);                   // but only one-shot tracks end
    const auto swing = QeClipFrom(QeClip("c", "swing", 0, 0, 40, 20));
    EXPECT_EQ(swing->GetDuration(), -1);
    const auto bare = QeClipFrom(QeClip("c", "bare", 0, 0, 40, 20));
    EXPECT_EQ(bare->GetDuration(), -1);
    qe::CClipObject empty(nullptr);
    EXPECT_EQ(empty.GetDuration(), -1);
}

TEST_F(QeClipObjectTest, StateCarriesThePlayingBit)
{
    for (const bool playing : {true, false})
    {
        auto saved = QeClipFrom(QeClip("c", "track", 0, 0, 40, 20, playing ? 1 : 0));
        saved->SetFlags(0x12);
        qe::CByteBuffer buffer;
        buffer.Allocate(qe::CSceneObject::kStateSize);
        saved->Save(buffer);
        ASSERT_EQ(buffer.GetLength(), 12);
        EXPECT_EQ(buffer.GetData()[8], 0x12);
        EXPECT_EQ(buffer.GetData()[11], playing ? 0x40 : 0x00);

        auto loaded = QeClipFrom(QeClip("c", "track", 0, 0, 40, 20, playing ? 0 : 1));
        qe::CBinaryReader reader(buffer.GetData(), buffer.GetLength());
        EXPECT_TRUE(loaded->Load(reader));
        EXPECT_EQ(loaded->IsPlaying(), playing);
        EXPECT_EQ(loaded->GetFlags(), 0x12);
        // Loading runs the first-use set-up: a playing clip shows the end of its one-shot track.
        EXPECT_EQ(loaded->GetClipFlags() & qe::CClipObject::kPrepared, qe::CClipObject::kPrepared);
        EXPECT_EQ(QeTrack(*loaded, "once")->GetPosition().X, playing ? 40.0f : 0.0f);
    }

    // Another guid is refused and changes nothing.
    auto clip = QeClipFrom(QeClip("c", "track", 0, 0, 40, 20, 0));
    SQuestObject other = QeClip("c", "track", 0, 0, 40, 20);
    other.guid = 0x52;
    auto stranger = QeClipFrom(other);
    qe::CByteBuffer buffer;
    buffer.Allocate(qe::CSceneObject::kStateSize);
    stranger->Save(buffer);
    qe::CBinaryReader reader(buffer.GetData(), buffer.GetLength());
    EXPECT_FALSE(clip->Load(reader));
    EXPECT_FALSE(clip->IsPlaying());
}

TEST_F(QeClipSoundTest, FirstUpdateJumpsSilentlyToTheEndOfOneShotTracks)
{
    // Without "animation_flags" the clip plays.
    auto clip = QeClipFrom(QeClip("c", "track", 0, 0, 40, 20));
    EXPECT_TRUE(clip->IsPlaying());
    const lv::misc::anim::CClipObject* once = QeTrack(*clip, "once");
    clip->Update();
    EXPECT_EQ(once->GetCurrentTime(), 1000);
    EXPECT_EQ(once->GetPosition().X, 40.0f);
    EXPECT_EQ(once->GetState(), lv::misc::anim::CClipObject::StatePlaying);
    EXPECT_EQ(Played(), QeFiles({}));
    EXPECT_TRUE(clip->IsSoundEnabled());
    EXPECT_FALSE(clip->GetClip().IsSoundMuted());
    clip->Update(); // continues from there: no second jump, no sound
    EXPECT_EQ(once->GetCurrentTime(), 1000);
    EXPECT_EQ(Played(), QeFiles({}));

    // "animation_flags" 0: stays at time 0 until played, and playing starts the sounds.
    auto still = QeClipFrom(QeClip("s", "track", 0, 0, 40, 20, 0));
    EXPECT_FALSE(still->IsPlaying());
    const lv::misc::anim::CClipObject* start = QeTrack(*still, "once");
    still->Update();
    EXPECT_EQ(start->GetPosition().X, 0.0f);
    EXPECT_EQ(Played(), QeFiles({}));
    still->Play();
    EXPECT_TRUE(still->IsPlaying());
    still->Update();
    EXPECT_EQ(Played(), QeFiles({"a.ogg"}));
    still->Stop();
    EXPECT_FALSE(still->IsPlaying());

    // Sound switched off: playing starts nothing; switched on again it sounds.
    still->SetSoundEnabled(false);
    EXPECT_FALSE(still->IsSoundEnabled());
    EXPECT_TRUE(still->GetClip().IsSoundMuted());
    still->Play();
    still->Update();
    EXPECT_EQ(Played(), QeFiles({"a.ogg"}));
    still->SetSoundEnabled(true);
    EXPECT_FALSE(still->GetClip().IsSoundMuted());
    still->Play();
    still->Update();
    EXPECT_EQ(Played(), QeFiles({"a.ogg", "a.ogg"}));

    // A clone keeps the clip flags and the sound setting.
    still->SetSoundEnabled(false);
    std::unique_ptr<qe::CSceneObject> copy(still->Clone());
    auto& twin = static_cast<qe::CClipObject&>(*copy);
    EXPECT_EQ(twin.GetClipFlags(), still->GetClipFlags());
    EXPECT_FALSE(twin.IsSoundEnabled());
    EXPECT_TRUE(twin.GetClip().IsSoundMuted());
}
