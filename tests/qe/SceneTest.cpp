#include "../core/ContentTestSupport.h"
#include "QuestFixture.h"
#include "content/QuestDataWriter.h"
#include "qe/AreaObject.h"
#include "qe/BinaryReader.h"
#include "qe/ClipObject.h"
#include "qe/PlaceholderSet.h"
#include "qe/ByteBuffer.h"
#include "qe/GroupObject.h"
#include "qe/ImageObject.h"
#include "qe/Quest.h"
#include "qe/QuestData.h"
#include "qe/SavableState.h"
#include "qe/Scene.h"
#include "qe/VideoObject.h"

#include <gtest/gtest.h>

#include <cstring>
#include <memory>

using lv::content::CQuestDataWriter;
using lv::content::EQuestObjectKind;
using lv::content::SQuestObject;

namespace {

std::unique_ptr<qe::CQuest> FixtureQuest(const char* name = "main", const char* xml = QuestFixtureXml())
{
    static qe::CQuestData* data = nullptr;
    static std::string built;
    if (!data)
        data = new qe::CQuestData();
    if (built != xml)
    {
        EXPECT_TRUE(data->BuildFromXmlText(xml));
        built = xml;
    }
    return std::unique_ptr<qe::CQuest>(data->CreateQuest(name, nullptr, nullptr));
}

// Records for hand-built scenes; they live as long as the program.
const u8* SceneAreaRecord(const char* id, u64 guid)
{
    static std::vector<std::vector<u8>> records;
    SQuestObject o;
    o.kind = EQuestObjectKind::Area;
    o.id = id;
    o.guid = guid;
    o.points = {{0, 0}, {10, 0}, {10, 10}, {0, 10}};
    records.push_back(CQuestDataWriter::BuildObjectRecord(o));
    return records.back().data();
}

qe::CSceneObject* NewArea(qe::CScene& scene, const char* id, u64 guid)
{
    auto* area = new qe::CAreaObject(&scene);
    area->InitFromRecord(SceneAreaRecord(id, guid));
    return area;
}

// A scene of areas a, b, c ... with guids 1, 2, 3 ... built as from the data.
std::unique_ptr<qe::CScene> AreaScene(qe::CQuest& quest, int count)
{
    auto scene = std::make_unique<qe::CScene>(&quest, "room");
    for (int i = 0; i < count; ++i)
    {
        const char name[2] = {static_cast<char>('a' + i), 0};
        scene->AddPrototype(NewArea(*scene, name, static_cast<u64>(i + 1)));
    }
    return scene;
}

std::string Order(const qe::CScene& scene)
{
    std::string text;
    for (const qe::CSceneObject* object : scene.GetObjects())
        text += object->GetNameCStr();
    return text;
}

std::vector<u8> SceneState(qe::CScene& scene)
{
    qe::CByteBuffer buffer;
    buffer.Allocate(scene.GetStateSize());
    scene.Save(buffer);
    EXPECT_FALSE(buffer.HasOverflowed());
    EXPECT_EQ(buffer.GetLength(), scene.GetStateSize());
    return std::vector<u8>(buffer.GetData(), buffer.GetData() + buffer.GetLength());
}

bool LoadScene(qe::CScene& scene, const std::vector<u8>& state)
{
    qe::CBinaryReader reader(state.data(), static_cast<s32>(state.size()));
    return scene.Load(reader);
}

} // namespace

TEST(Scene, LookupsByPathAndName)
{
    auto quest = FixtureQuest();
    ASSERT_TRUE(quest);
    const qe::CSceneObject* door = quest->FindObjectByPath("hall/door");
    ASSERT_NE(door, nullptr);
    EXPECT_EQ(door->GetType(), qe::CSceneObject::kTypeImage);
    EXPECT_EQ(quest->FindObjectByPath("door"), nullptr);
    EXPECT_EQ(quest->FindObjectByPath("nowhere/door"), nullptr);
    const qe::CSceneObject* ab = quest->FindObjectByPath("hall/a/b");
    ASSERT_NE(ab, nullptr);
    EXPECT_EQ(ab->GetType(), qe::CSceneObject::kTypeArea);
    EXPECT_EQ(quest->GetStartScene(), quest->FindScene("hall"));
    EXPECT_EQ(quest->FindSceneByGuid(11), quest->FindScene("attic"));
    EXPECT_EQ(quest->FindScene("nowhere"), nullptr);

    qe::CScene* hall = quest->FindScene("hall");
    EXPECT_EQ(hall->FindImageObject("door"), door);
    qe::CGroupObject* shelf = nullptr;
    EXPECT_TRUE(hall->TryFindGroupObject("shelf", shelf));
    ASSERT_NE(shelf, nullptr);
    EXPECT_NE(shelf->FindChild(CFixedString("box")), nullptr);

    auto twins = FixtureQuest("main", "<?xml version=\"1.0\"?><q><Structure><quest id=\"main\"><scene id=\"x\" guid=\"1\"/>"
                                      "<scene id=\"x\" guid=\"2\"/></quest></Structure></q>");
    ASSERT_TRUE(twins);
    EXPECT_EQ(twins->FindScene("x"), twins->GetScene(0));
}

TEST(Scene, FailedTypedLookupsReportAndHandOutPlaceholders)
{
    CTempFolder tmp;
    CLogCapture log(tmp);
    auto quest = FixtureQuest();
    qe::CScene* hall = quest->FindScene("hall");
    const std::string report = "Can't find object or object has different type.\r\nId: 'door'  Type: 'Clip'  Scene: 'hall'.";
    qe::CClipObject* first = hall->FindClipObject("door");
    qe::CClipObject* second = hall->FindClipObject("door");
    EXPECT_EQ(log.Count(report), 2u);
    ASSERT_NE(first, nullptr);
    EXPECT_EQ(first, second);
    EXPECT_EQ(first, quest->GetPlaceholders()->GetClip());
    EXPECT_EQ(first->GetType(), qe::CSceneObject::kTypeClip);
    EXPECT_EQ(hall->FindClipObject("fire")->GetNameCStr(), std::string("fire"));
    EXPECT_EQ(hall->IndexOf(first), hall->GetObjectCount());
    EXPECT_EQ(first->GetScene(), hall);

    qe::CImageObject* image = nullptr;
    EXPECT_FALSE(hall->TryFindImageObject("nothing", image));
    EXPECT_EQ(image, quest->GetPlaceholders()->GetImage());
    EXPECT_EQ(log.Count("Can't find object"), 2u);
}

TEST(Scene, QuestWithoutStartSceneStillHasPlaceholders)
{
    auto quest = FixtureQuest("second");
    ASSERT_TRUE(quest);
    EXPECT_EQ(quest->GetStartScene(), nullptr);
    ASSERT_NE(quest->GetPlaceholders(), nullptr);
    qe::CScene* yard = quest->GetScene(0);
    qe::CAreaObject* area = yard->FindAreaObject("nothing");
    ASSERT_NE(area, nullptr);
    EXPECT_FALSE(area->HitTest(CVector2(1, 1)));
    qe::CGroupObject* group = yard->FindGroupObject("gate");
    ASSERT_NE(group, nullptr);
    EXPECT_EQ(group->GetChildCount(), 0);
    ASSERT_NE(yard->FindImageObject("x"), nullptr);
    yard->FindImageObject("x")->Update();
    EXPECT_NE(yard->FindImageObject("x")->GetScene(), nullptr);
}

TEST(Scene, EnterAndLeaveReachTheVideos)
{
    CTempFolder tmp;
    CLogCapture log(tmp);
    auto quest = FixtureQuest();
    qe::CScene* hall = quest->FindScene("hall");
    qe::CVideoObject* tv = hall->FindVideoObject("tv");
    auto* radio = static_cast<qe::CVideoObject*>(hall->FindGroupObject("shelf")->FindChild(CFixedString("radio")));
    ASSERT_NE(radio, nullptr);
    for (int i = 0; i < 3; ++i)
        hall->Enter();
    EXPECT_EQ(hall->GetOpenCounter(), 2u);
    // The players were asked for (the files are missing, so each reports).
    EXPECT_TRUE(log.Contains("top.webm"));
    EXPECT_TRUE(log.Contains("inner.webm"));

    hall->Leave(false);
    EXPECT_TRUE(tv->GetVideoFlags() & qe::CVideoObject::kAutoPlay);
    EXPECT_TRUE(radio->GetVideoFlags() & qe::CVideoObject::kAutoPlay);
    hall->Leave(true);
    EXPECT_FALSE(tv->GetVideoFlags() & qe::CVideoObject::kAutoPlay);
    EXPECT_FALSE(radio->GetVideoFlags() & qe::CVideoObject::kAutoPlay);
    // No script set: clicks are not taken.
    EXPECT_FALSE(hall->HandleClick(CPoint2i(100, 50), ""));
}

TEST(Scene, DepthOrderWithinEpsilonGoesByGuid)
{
    qe::CQuest quest("q");
    auto scene = AreaScene(quest, 2);
    const struct
    {
        float a, b;
        const char* order;
    } cases[] = {{5.0f, 5.0000001f, "ba"}, {5.0000001f, 5.0f, "ba"}, {5.0f, 5.001f, "ba"}, {5.001f, 5.0f, "ab"}};
    for (const auto& c : cases)
    {
        qe::CSceneObject* a = scene->FindObject("a");
        qe::CSceneObject* b = scene->FindObject("b");
        a->SetDepth(c.a);
        b->SetDepth(c.b);
        scene->SetDepthSorting(true);
        scene->Update();
        EXPECT_EQ(Order(*scene), c.order) << c.a << " " << c.b;
    }
}

TEST(Scene, FreshSceneHasTheFirstObjectNearest)
{
    qe::CQuest quest("q");
    auto scene = AreaScene(quest, 3);
    EXPECT_EQ(Order(*scene), "abc");
    EXPECT_EQ(scene->GetObject(0)->GetDepth(), 1.0f);
    EXPECT_EQ(scene->GetObject(2)->GetDepth(), -1.0f);
    EXPECT_EQ(scene->GetPrototypes().size(), 3u);
    EXPECT_NE(scene->GetPrototypes()[0], scene->GetObject(0));

    scene->FindObject("c")->SetDepth(10.0f);
    scene->Update();
    EXPECT_EQ(Order(*scene), "abc"); // not until sorting is on
    scene->SetDepthSorting(true);
    scene->Update();
    EXPECT_EQ(Order(*scene), "cab");
}

TEST(Scene, QueuedAdditionsAndRemovals)
{
    qe::CQuest quest("q");
    qe::CScene empty(&quest, "empty");
    qe::CSceneObject* first = NewArea(empty, "x", 10);
    empty.AddObject(first);
    EXPECT_EQ(empty.GetObjectCount(), 1); // at once into an empty scene
    empty.AddObject(first);
    empty.Update();
    EXPECT_EQ(empty.GetObjectCount(), 1);

    auto scene = AreaScene(quest, 3);
    qe::CSceneObject* front = NewArea(*scene, "f", 20);
    qe::CSceneObject* tail = NewArea(*scene, "t", 21);
    qe::CSceneObject* middle = NewArea(*scene, "m", 22);
    qe::CSceneObject* stranger = NewArea(*scene, "s", 23);
    scene->AddObject(front);
    scene->AddObjectAfter(tail, stranger); // absent anchor: the end
    scene->AddObjectAfter(middle, scene->FindObject("a"));
    EXPECT_EQ(Order(*scene), "abc");
    scene->Update();
    EXPECT_EQ(Order(*scene), "famb" + std::string("ct"));

    scene->RemoveObject(scene->FindObject("b"));
    scene->RemoveObject(stranger); // never live: skipped, not deleted
    EXPECT_EQ(Order(*scene), "fambct");
    scene->Update();
    EXPECT_EQ(Order(*scene), "famct");

    // An addition taken back before it applied is not deleted by the scene.
    qe::CSceneObject* late = NewArea(*scene, "l", 24);
    scene->AddObjectBefore(late, front);
    scene->RemoveObject(late);
    scene->Update();
    EXPECT_EQ(Order(*scene), "famct");
    delete late;
    delete stranger;
}

TEST(Scene, SaveAndLoadKeepDepthsFlagsAndOpenCounter)
{
    qe::CQuest quest("q");
    auto saved = AreaScene(quest, 3);
    saved->Enter();
    saved->FindObject("b")->SetDepth(7.5f);
    saved->FindObject("c")->SetFlags(qe::CSceneObject::kHidden);
    saved->SetDepthSorting(true);
    saved->Update();
    const std::vector<u8> state = SceneState(*saved);
    EXPECT_EQ(state.size(), 8u + 3 * (12 + 12));

    auto loaded = AreaScene(quest, 3);
    ASSERT_TRUE(LoadScene(*loaded, state));
    EXPECT_EQ(Order(*loaded), "bac");
    EXPECT_EQ(loaded->FindObject("b")->GetDepth(), 7.5f);
    EXPECT_EQ(loaded->FindObject("c")->GetFlags(), qe::CSceneObject::kHidden);
    EXPECT_EQ(loaded->GetOpenCounter(), 1u);
}

TEST(Scene, SaveWithSortingOffStillLoads)
{
    qe::CQuest quest("q");
    auto saved = AreaScene(quest, 3);
    saved->FindObject("c")->SetDepth(9.0f); // out of order, sorting off
    saved->FindObject("a")->SetFlags(qe::CSceneObject::kDisabled);
    EXPECT_EQ(Order(*saved), "abc");
    const std::vector<u8> state = SceneState(*saved);
    EXPECT_EQ(Order(*saved), "abc"); // the list itself is not touched

    auto loaded = AreaScene(quest, 3);
    ASSERT_TRUE(LoadScene(*loaded, state));
    EXPECT_EQ(Order(*loaded), "cab");
    EXPECT_EQ(loaded->FindObject("a")->GetFlags(), qe::CSceneObject::kDisabled);
}

TEST(Scene, LoadRefusesAnotherSceneAndFillsMissingDepths)
{
    qe::CQuest quest("q");
    auto three = AreaScene(quest, 3);
    const std::vector<u8> state = SceneState(*three);
    auto two = AreaScene(quest, 2);
    EXPECT_FALSE(LoadScene(*two, state));

    // The object states in another order than the depth table gives: a guid out of place.
    std::vector<u8> swapped = state;
    const size_t states = 8 + 3 * 12;
    std::swap_ranges(swapped.begin() + states, swapped.begin() + states + 12, swapped.begin() + states + 12);
    auto other = AreaScene(quest, 3);
    EXPECT_FALSE(LoadScene(*other, swapped));

    // Depth table: an unknown guid is ignored, a missing one gives depth 0.
    three->FindObject("b")->SetDepth(0.5f);
    std::vector<u8> table = SceneState(*three);
    const s64 unknown = 99;
    std::memcpy(table.data() + 8 + 12, &unknown, 8); // b's entry
    auto filled = AreaScene(quest, 3);
    filled->FindObject("b")->SetDepth(0.25f);
    ASSERT_TRUE(LoadScene(*filled, table));
    EXPECT_EQ(filled->FindObject("b")->GetDepth(), 0.0f);
    EXPECT_EQ(Order(*filled), "abc");
}

TEST(Scene, QuestStateSizeAndOneSceneMore)
{
    auto quest = FixtureQuest();
    s32 expected = 4 + 4;
    for (s32 i = 0; i < quest->GetSceneCount(); ++i)
        expected += 8 + quest->GetScene(i)->GetStateSize();
    EXPECT_EQ(quest->GetStateSize(), expected);
    qe::CByteBuffer buffer;
    buffer.Allocate(quest->GetStateSize());
    quest->Save(buffer);
    EXPECT_EQ(buffer.GetLength(), expected);
    EXPECT_FALSE(buffer.HasOverflowed());
    EXPECT_TRUE(quest->Load(buffer.GetData(), buffer.GetLength()));

    auto smaller = FixtureQuest("second");
    EXPECT_FALSE(smaller->Load(buffer.GetData(), buffer.GetLength()));
    std::vector<u8> bad(buffer.GetData(), buffer.GetData() + buffer.GetLength());
    bad[4] ^= 1; // the first scene's guid
    EXPECT_FALSE(quest->Load(bad.data(), static_cast<s32>(bad.size())));
}

namespace {

class CCountingOwner : public qe::CSavableState
{
public:
    bool SaveState() override
    {
        ++Saves;
        return true;
    }
    int Saves = 0;
};

} // namespace

TEST(Scene, QuestAsksItsOwnerToSave)
{
    CCountingOwner owner;
    qe::CQuest quest("q", nullptr, &owner);
    EXPECT_TRUE(quest.SaveState());
    EXPECT_EQ(owner.Saves, 1);
    qe::CQuest alone("q");
    EXPECT_FALSE(alone.SaveState());
    EXPECT_FALSE(alone.IsScriptPaused());
}
