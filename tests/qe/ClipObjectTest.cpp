#include "anim/ClipManager.h"
#include "anim/ClipsBuilder.h"
#include "content/QuestDataWriter.h"
#include "core/MessageBox.h"
#include "graphics/LogCapture.h"
#include "qe/AreaObject.h"
#include "qe/ClipObject.h"
#include "qe/GroupObject.h"
#include "qe/ImageObject.h"
#include "qe/ObjectFactory.h"
#include "qe/PlaceholderSet.h"
#include "qe/Quest.h"
#include "qe/Scene.h"
#include "qe/VideoObject.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>

using lv::content::CQuestDataWriter;
using lv::content::EQuestObjectKind;
using lv::content::SQuestObject;

namespace {

const char* const kQeClips[] = {
    R"(<Clip id="box" x="0" y="0" w="40" h="20">
  <image id="a" p="20 10" py="-20 -10 20 -10 20 10 -20 10" vis="true"/>
</Clip>)",
};

class QeClipObjectTest : public testing::Test
{
protected:
    static void SetUpTestSuite()
    {
        lv::misc::anim::CClipsBuilder builder;
        for (const char* clip : kQeClips)
        {
            const std::string xml = std::string("<?xml version=\"1.0\" encoding=\"utf-8\"?>\n") + clip;
            ASSERT_TRUE(builder.AddXml(xml.data(), xml.size()));
        }
        const std::vector<u8> image = builder.Build();
        ASSERT_TRUE(lv::misc::anim::CClipManager::Instance().LoadImage(image.data(), static_cast<u32>(image.size())));
    }
    static void TearDownTestSuite() { lv::misc::anim::CClipManager::Instance().Release(); }
};

SQuestObject QeClip(const char* id, const char* clip, float x, float y, float w, float h)
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
    return o;
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
