#include "content/QuestDataWriter.h"
#include "qe/AreaObject.h"
#include "qe/BinaryReader.h"
#include "qe/ByteBuffer.h"
#include "qe/GroupObject.h"
#include "qe/ObjectFactory.h"

#include <gtest/gtest.h>

#include <memory>

using namespace lv::content;

namespace {

SQuestObject Area(const char* id, u64 guid, float x0, s32 flags = 0)
{
    SQuestObject o;
    o.kind = EQuestObjectKind::Area;
    o.id = id;
    o.guid = guid;
    o.flags = flags;
    o.points = {{x0, 0}, {x0 + 10, 0}, {x0 + 10, 10}, {x0, 10}};
    return o;
}

SQuestObject Group(const char* id, u64 guid, std::vector<SQuestObject> children)
{
    SQuestObject o;
    o.kind = EQuestObjectKind::Group;
    o.id = id;
    o.guid = guid;
    o.hint = "group hint";
    o.children = std::move(children);
    return o;
}

std::unique_ptr<qe::CGroupObject> Build(const std::vector<u8>& record)
{
    std::unique_ptr<qe::CSceneObject> object(qe::CreateObjectFromRecord(nullptr, record.data()));
    EXPECT_NE(object, nullptr);
    EXPECT_EQ(object->GetType(), qe::CSceneObject::kTypeGroup);
    EXPECT_EQ(qe::GetRecordEnd(record.data()), record.data() + record.size());
    return std::unique_ptr<qe::CGroupObject>(static_cast<qe::CGroupObject*>(object.release()));
}

} // namespace

TEST(GroupObject, ChildrenFromNestedRecords)
{
    const auto record = CQuestDataWriter::BuildObjectRecord(
        Group("g", 1, {Area("a", 2, 0), Group("inner", 3, {Area("b", 4, 100)}), Area("c", 5, 200)}));
    auto group = Build(record);
    ASSERT_EQ(group->GetChildCount(), 3);
    EXPECT_STREQ(group->FindChild(CFixedString("c"))->GetNameCStr(), "c");
    EXPECT_EQ(group->FindChild(CFixedString("b")), nullptr);
    auto* inner = static_cast<qe::CGroupObject*>(group->FindChild(CFixedString("inner")));
    ASSERT_NE(inner, nullptr);
    EXPECT_STREQ(inner->FindChild(CFixedString("b"))->GetNameCStr(), "b");
    EXPECT_EQ(group->GetStateSize(), 16 + 12 + (16 + 12) + 12);

    EXPECT_TRUE(group->HitTest({5, 5}));
    EXPECT_TRUE(group->HitTest({105, 5}));
    EXPECT_FALSE(group->HitTest({50, 5}));
    group->GetChildren()[0]->AddFlags(qe::CSceneObject::kDisabled);
    EXPECT_FALSE(group->HitTest({5, 5}));

    std::unique_ptr<qe::CSceneObject> clone(group->Clone());
    EXPECT_TRUE(clone->HitTest({205, 5}));
    EXPECT_NE(clone->FindChild(CFixedString("c")), group->FindChild(CFixedString("c")));

    qe::CGroupObject empty(nullptr);
    EXPECT_FALSE(empty.HitTest({0, 0}));
    EXPECT_EQ(empty.GetPosition().X, 0.0f);
    EXPECT_EQ(empty.GetAngle(), 0.0f);
    EXPECT_EQ(empty.FindChild(CFixedString("a")), nullptr);
}

TEST(GroupObject, StateCarriesTheChildrenAndChecksTheirCount)
{
    const auto three = CQuestDataWriter::BuildObjectRecord(Group("g", 9, {Area("a", 1, 0), Area("b", 2, 0), Area("c", 3, 0)}));
    const auto two = CQuestDataWriter::BuildObjectRecord(Group("g", 9, {Area("a", 1, 0), Area("b", 2, 0)}));
    auto group = Build(three);
    group->GetChildren()[2]->SetFlags(6);
    qe::CByteBuffer buffer;
    buffer.Allocate(group->GetStateSize());
    group->Save(buffer);
    EXPECT_EQ(buffer.GetLength(), 16 + 3 * 12);
    EXPECT_FALSE(buffer.HasOverflowed());

    auto again = Build(three);
    qe::CBinaryReader reader(buffer.GetData(), buffer.GetLength());
    EXPECT_TRUE(again->Load(reader));
    EXPECT_EQ(again->GetChildren()[2]->GetFlags(), 6);

    auto smaller = Build(two);
    qe::CBinaryReader other(buffer.GetData(), buffer.GetLength());
    EXPECT_FALSE(smaller->Load(other));

    // A child whose guid differs stops the load.
    const auto otherGuid =
        CQuestDataWriter::BuildObjectRecord(Group("g", 9, {Area("a", 1, 0), Area("b", 7, 0), Area("c", 3, 0)}));
    auto swapped = Build(otherGuid);
    qe::CBinaryReader third(buffer.GetData(), buffer.GetLength());
    EXPECT_FALSE(swapped->Load(third));
}

TEST(GroupObject, SettersReachEveryChild)
{
    SQuestObject image;
    image.kind = EQuestObjectKind::Image;
    image.id = "i";
    image.offset[0] = 7;
    const auto record = CQuestDataWriter::BuildObjectRecord(Group("g", 1, {image, image}));
    auto group = Build(record);
    ASSERT_EQ(group->GetChildCount(), 2);
    EXPECT_EQ(group->GetPosition().X, 7.0f);
    group->SetPosition({30, 40});
    group->SetSize({5, 6});
    group->SetAngle(0.5f);
    for (auto* child : group->GetChildren())
    {
        EXPECT_EQ(child->GetPosition().X, 30.0f);
        EXPECT_EQ(child->GetPosition().Y, 40.0f);
        EXPECT_EQ(child->GetSize().Y, 6.0f);
        EXPECT_EQ(child->GetAngle(), 0.5f);
    }
}
