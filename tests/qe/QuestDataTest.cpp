#include "../core/ContentTestSupport.h"
#include "QuestFixture.h"
#include "content/PackWriter.h"
#include "content/QuestDataWriter.h"
#include "core/ByteOrder.h"
#include "core/FileSystem.h"
#include "qe/AreaObject.h"
#include "qe/ByteBuffer.h"
#include "qe/ImageObject.h"
#include "qe/ObjectFactory.h"
#include "qe/Quest.h"
#include "qe/QuestData.h"
#include "qe/QuestXmlBuilder.h"
#include "qe/Scene.h"

#include <gtest/gtest.h>

#include <functional>
#include <memory>

using lv::content::CQuestDataWriter;
using lv::content::EQuestImageFault;
using lv::content::EQuestObjectKind;
using lv::content::SQuest;
using lv::content::SQuestObject;

namespace {

std::vector<u8> FixtureImage(EQuestImageFault fault = EQuestImageFault::None)
{
    std::vector<u8> image;
    std::string error;
    EXPECT_TRUE(CQuestDataWriter::BuildImage(QuestFixtureQuests(), image, fault, &error)) << error;
    return image;
}

std::vector<u8> QuestStateOf(qe::CQuest& quest)
{
    qe::CByteBuffer buffer;
    buffer.Allocate(quest.GetStateSize());
    quest.Save(buffer);
    EXPECT_FALSE(buffer.HasOverflowed());
    EXPECT_EQ(buffer.GetLength(), quest.GetStateSize());
    return std::vector<u8>(buffer.GetData(), buffer.GetData() + buffer.GetLength());
}

// Object names of every scene, in list order.
std::string Outline(const qe::CQuest& quest)
{
    std::string text;
    for (s32 i = 0; i < quest.GetSceneCount(); ++i)
    {
        const qe::CScene* scene = quest.GetScene(i);
        text += scene->GetName().GetText();
        text += ":";
        for (const qe::CSceneObject* object : scene->GetObjects())
            text += std::string(object->GetNameCStr()) + "," + std::to_string(object->GetType()) + ";";
        text += "\n";
    }
    return text;
}

// Zeroes the stored hash of every name in the quest, scene and object records.
void ClearNameHashes(std::vector<u8>& image)
{
    using lv::core::ReadU32;
    const auto clear = [&](size_t at) { image[at + 4] = image[at + 5] = 0; };
    std::function<size_t(size_t)> object = [&](size_t at) -> size_t {
        clear(at);
        clear(at + 96);
        const size_t payload = at + 216 + lv::core::ReadU16(image.data() + at + 208);
        switch (lv::core::ReadU16(image.data() + at + 210))
        {
        case 3:
        case 4: return payload + 128;
        case 5: return payload + 228;
        case 2: return payload + 24 + 8 * ReadU32(image.data() + payload + 20);
        case 1:
        {
            size_t child = payload + 8;
            for (u32 i = 0; i < ReadU32(image.data() + payload + 4); ++i)
                child = object(child);
            return payload + ReadU32(image.data() + payload);
        }
        default: return payload;
        }
    };
    for (size_t quest = 4; quest < image.size(); quest += ReadU32(image.data() + quest + 100))
    {
        clear(quest);
        size_t scene = quest + 104;
        for (u32 s = 0; s < ReadU32(image.data() + quest + 96); ++s)
        {
            clear(scene);
            size_t at = scene + 144;
            for (u32 o = 0; o < ReadU32(image.data() + scene + 132); ++o)
                at = object(at);
            scene += ReadU32(image.data() + scene + 136);
        }
    }
}

std::string ObjectsXml(const std::string& objects, const std::string& extraScenes = "")
{
    return "<?xml version=\"1.0\"?><q><Structure><quest id=\"main\"><scene id=\"hall\" guid=\"1\" flags=\"1\"/>" + extraScenes +
           "</quest></Structure><scene_content guid=\"1\"><objects>" + objects + "</objects></scene_content></q>";
}

std::vector<u8> WriterImageOf(std::vector<SQuestObject> objects)
{
    SQuest quest;
    quest.id = "main";
    quest.scenes.resize(1);
    quest.scenes[0].id = "hall";
    quest.scenes[0].guid = 2;
    quest.scenes[0].flags = 1;
    quest.scenes[0].objects = std::move(objects);
    std::vector<u8> image;
    EXPECT_TRUE(CQuestDataWriter::BuildImage({quest}, image));
    return image;
}

std::vector<u8> BuiltImage(const std::string& xml)
{
    qe::CQuestData data;
    EXPECT_TRUE(data.BuildFromXmlText(xml));
    return std::vector<u8>(data.GetImage(), data.GetImage() + data.GetImageSize());
}

} // namespace

TEST(QuestData, XmlBuildIsTheWritersImageAndSavesUnchanged)
{
    CTempFolder tmp;
    qe::CQuestData data;
    ASSERT_TRUE(data.BuildFromXmlText(QuestFixtureXml()));
    EXPECT_TRUE(data.IsBuiltFromXml());
    const std::vector<u8> expected = FixtureImage();
    ASSERT_EQ(std::vector<u8>(data.GetImage(), data.GetImage() + data.GetImageSize()), expected);
    EXPECT_EQ(data.GetQuestCount(), 2);
    EXPECT_EQ(qe::GetRecordsAfterMagic(data.GetImage()), data.GetQuestRecord(0));
    EXPECT_EQ(data.GetQuestRecord(2), nullptr);

    ASSERT_TRUE(data.SaveBindump((tmp / "quest.bindump").c_str()));
    EXPECT_EQ(tmp.Read("quest.bindump"), std::string(expected.begin(), expected.end()));

    // A loaded file is not saved back.
    qe::CQuestData loaded;
    ASSERT_TRUE(loaded.LoadImage(expected.data(), static_cast<u32>(expected.size())));
    EXPECT_FALSE(loaded.SaveBindump((tmp / "again.bindump").c_str()));
}

TEST(QuestData, BinaryAndXmlGiveTheSameQuestAndState)
{
    const std::vector<u8> image = FixtureImage();
    qe::CQuestData binary;
    ASSERT_TRUE(binary.LoadImage(image.data(), static_cast<u32>(image.size())));
    qe::CQuestData xml;
    ASSERT_TRUE(xml.BuildFromXmlText(QuestFixtureXml()));
    std::unique_ptr<qe::CQuest> a(binary.CreateQuest("main", nullptr, nullptr));
    std::unique_ptr<qe::CQuest> b(xml.CreateQuest("main", nullptr, nullptr));
    ASSERT_TRUE(a && b);
    EXPECT_EQ(a->GetSceneCount(), 3);
    EXPECT_EQ(Outline(*a), Outline(*b));
    EXPECT_NE(Outline(*a).find("hall:door,2;"), std::string::npos) << Outline(*a);
    EXPECT_EQ(QuestStateOf(*a), QuestStateOf(*b));
    EXPECT_EQ(a->GetScene(1)->GetName().GetText(), std::string("attic"));
    EXPECT_TRUE(a->GetScene(1)->HasFlags(qe::CScene::kMiniscene));
    EXPECT_EQ(a->GetScene(0)->GetWorkArea().X, 171);
    EXPECT_EQ(a->GetScene(0)->GetSize().X, 1366);

    std::unique_ptr<qe::CQuest> second(binary.CreateQuest("second", nullptr, nullptr));
    ASSERT_TRUE(second);
    EXPECT_EQ(second->GetScene(0)->GetGuid(), 66u);
    EXPECT_EQ(binary.CreateQuest("third", nullptr, nullptr), nullptr);
    qe::CQuestData empty;
    EXPECT_EQ(empty.CreateQuest("main", nullptr, nullptr), nullptr);
    EXPECT_EQ(empty.GetQuestCount(), 0);
}

TEST(QuestData, GuidTextsAreBase64LeastSignificantFirst)
{
    const struct
    {
        const char* text;
        u64 guid;
    } cases[] = {{"1", 2}, {"A", 11}, {"+", 63}, {"10", 66}, {"", 0}, {"?", 0}, {"z", 62}, {"/", 0}};
    for (const auto& c : cases)
        EXPECT_EQ(qe::CQuestData::ParseGuid(c.text), c.guid) << c.text;
    EXPECT_EQ(qe::CQuestData::ParseGuid("abcdefghijkl"), qe::CQuestData::ParseGuid("abcdefghijk"));
    EXPECT_EQ(qe::CQuestData::ParseGuid("abcdefghijk"), CQuestDataWriter::ParseGuid("abcdefghijk"));
}

TEST(QuestData, HintsColoursAndAnimationFlagsOfTheXml)
{
    const auto image = BuiltImage(ObjectsXml("<image id=\"a\" hint=\"abcd\" color=\"#128 255 0 0\"/>"
                                             "<image id=\"b\" hint=\"abcde\" color=\"#\"/>"
                                             "<image id=\"c\" color=\"\"/>"
                                             "<clip id=\"d\"/><clip id=\"e\" animation_flags=\"0\"/>"));
    using lv::core::ReadU16;
    size_t at = 4 + 104 + 144;
    EXPECT_EQ(ReadU16(image.data() + at + 208), 8); // four characters and four NULs
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(image.data() + at + 216)), "abcd");
    const u8* payload = image.data() + at + 216 + 8;
    EXPECT_EQ(std::vector<u16>({ReadU16(payload + 96), ReadU16(payload + 98), ReadU16(payload + 100), ReadU16(payload + 102)}),
              std::vector<u16>({255, 0, 0, 128}));
    at += 216 + 8 + 128;
    EXPECT_EQ(ReadU16(image.data() + at + 208), 8);
    payload = image.data() + at + 216 + 8;
    for (int i = 0; i < 4; ++i)
        EXPECT_EQ(ReadU16(payload + 96 + 2 * i), 255);
    at += 216 + 8 + 128;
    payload = image.data() + at + 216;
    for (int i = 0; i < 4; ++i)
        EXPECT_EQ(ReadU16(payload + 96 + 2 * i), 0);
    at += 216 + 128;
    EXPECT_EQ(image[at + 216 + 125], 1); // plays without "animation_flags"
    at += 216 + 128;
    EXPECT_EQ(image[at + 216 + 125], 0);
}

TEST(QuestData, OldVersionIsRefusedWithoutTryingTheXml)
{
    CTempFolder tmp;
    tmp.Write("properties/quest.bindump", std::string("QST\x01", 4) + std::string(200, '\0'));
    tmp.Write("properties/quest.xml", QuestFixtureXml());
    CLogCapture log(tmp);
    const CWorkingFolder cwd(tmp.Path());
    lv::core::CFileSystem files("");
    qe::CQuestData data;
    EXPECT_FALSE(data.Load(files));
    // The log ends its lines with CR LF.
    EXPECT_TRUE(log.Contains("quest.bindump is corrupted or has incompatible version.Supported version 2, version in "
                             "bindump 1.\r\n"));
    EXPECT_EQ(data.GetQuestCount(), 0);
    EXPECT_EQ(data.CreateQuest("main", nullptr, nullptr), nullptr);
}

TEST(QuestData, MissingBindumpBuildsFromTheXml)
{
    CTempFolder tmp;
    tmp.Write("properties/quest.xml", QuestFixtureXml());
    const CWorkingFolder cwd(tmp.Path());
    lv::core::CFileSystem files("");
    qe::CQuestData data;
    ASSERT_TRUE(data.Load(files));
    EXPECT_TRUE(data.IsBuiltFromXml());
    EXPECT_EQ(data.GetQuestCount(), 2);
}

TEST(QuestData, BrokenImagesAreRefusedAsCorrupted)
{
    CTempFolder tmp;
    CLogCapture log(tmp);
    const auto refused = [&](const std::vector<u8>& image, const std::string& what) {
        qe::CQuestData data;
        const size_t before = log.Count("quest.bindump is corrupted.");
        EXPECT_FALSE(data.LoadImage(image.data(), static_cast<u32>(image.size()))) << what;
        EXPECT_EQ(log.Count("quest.bindump is corrupted."), before + 1) << what;
        EXPECT_EQ(data.GetQuestCount(), 0) << what;
        EXPECT_EQ(data.CreateQuest("main", nullptr, nullptr), nullptr) << what;
    };
    const EQuestImageFault faults[] = {
        EQuestImageFault::QuestBlockSizePastEnd, EQuestImageFault::SceneCountPastEnd,
        EQuestImageFault::ObjectCountPastEnd,    EQuestImageFault::SceneBlockSizeTooSmall,
        EQuestImageFault::NameWithoutTerminator, EQuestImageFault::NameLengthTooLong,
        EQuestImageFault::HintSizePastEnd,       EQuestImageFault::GroupSizePastEnd,
        EQuestImageFault::AreaPointCountPastEnd,
    };
    for (EQuestImageFault fault : faults)
        refused(FixtureImage(fault), "fault " + std::to_string(static_cast<int>(fault)));

    // Cut anywhere inside a quest block: only a cut between whole quest blocks leaves an image.
    const std::vector<u8> image = FixtureImage();
    const size_t secondQuest = 4 + lv::core::ReadU32(image.data() + 4 + 100);
    for (size_t cut = 5; cut < image.size(); cut += 4)
        if (cut != secondQuest)
            refused(std::vector<u8>(image.begin(), image.begin() + static_cast<std::ptrdiff_t>(cut)),
                    "cut at " + std::to_string(cut));

    std::vector<u8> unknownKind = FixtureImage();
    unknownKind[4 + 104 + 144 + 210] = 9;
    refused(unknownKind, "unknown kind");
}

TEST(QuestData, NamesWithoutHashesInAMountedPackAreNeverWritten)
{
    std::vector<u8> image = FixtureImage();
    ClearNameHashes(image);
    CTempFolder tmp;
    lv::content::CPackWriter pack;
    ASSERT_TRUE(pack.AddFile("properties/quest.bindump", image));
    WritePack(tmp, "game.pack", pack);
    const CWorkingFolder cwd(tmp.Path());
    lv::core::CFileSystem files("");
    ASSERT_TRUE(files.MountPack("game.pack"));
    qe::CQuestData data;
    ASSERT_TRUE(data.Load(files));
    EXPECT_FALSE(data.IsBuiltFromXml());
    std::unique_ptr<qe::CQuest> quest(data.CreateQuest("main", nullptr, nullptr));
    ASSERT_TRUE(quest);
    qe::CScene* hall = quest->FindScene("hall");
    ASSERT_TRUE(hall);
    ASSERT_NE(hall->FindObject("door"), nullptr);
    EXPECT_NE(quest->FindObjectByPath("hall/a/b"), nullptr);
    qe::CSceneObject* shelf = hall->FindObject("shelf");
    ASSERT_NE(shelf, nullptr);
    EXPECT_NE(shelf->FindChild(CFixedString("box")), nullptr);
    EXPECT_EQ(hall->FindObject("nothing"), nullptr);
    data.Clear();
    quest.reset();
}

TEST(QuestData, AreaPointsComeOnlyFromPointChildren)
{
    const auto built = BuiltImage(ObjectsXml("<area id=\"r\" guid=\"1\"><point offset=\"1 2\"/><label offset=\"9 9\"/>"
                                             "<point offset=\"3 4\"/></area><image id=\"after\" guid=\"2\"/>"));
    SQuestObject area;
    area.kind = EQuestObjectKind::Area;
    area.id = "r";
    area.guid = 2;
    area.points = {{1, 2}, {3, 4}};
    SQuestObject after;
    after.id = "after";
    after.guid = 3;
    EXPECT_EQ(built, WriterImageOf({area, after}));
}

TEST(QuestData, OverlongHintsAndAreasAreCutWithALogLine)
{
    CTempFolder tmp;
    CLogCapture log(tmp);
    std::string points;
    for (int i = 0; i < 16390; ++i)
        points += "<point offset=\"" + std::to_string(i) + " 1\"/>";
    const auto built = BuiltImage(ObjectsXml("<image id=\"talker\" hint=\"" + std::string(70000, 'h') +
                                             "\"/><area id=\"big\">" + points + "</area><image id=\"last\"/>"));
    ASSERT_TRUE(qe::CQuestData::CheckImage(built.data(), built.size()));
    size_t at = 4 + 104 + 144;
    EXPECT_EQ(lv::core::ReadU16(built.data() + at + 208), 65532);
    at += 216 + 65532 + 128;
    const size_t payload = at + 216;
    EXPECT_EQ(lv::core::ReadU32(built.data() + payload + 20), 16384u);
    EXPECT_TRUE(log.Contains("][qe][2]: Hint of object 'talker' is too long"));
    EXPECT_TRUE(log.Contains("][qe][2]: Area 'big' has 16390 points"));

    qe::CQuestData data;
    ASSERT_TRUE(data.LoadImage(built.data(), static_cast<u32>(built.size())));
    std::unique_ptr<qe::CQuest> quest(data.CreateQuest("main", nullptr, nullptr));
    ASSERT_TRUE(quest);
    EXPECT_NE(quest->FindObjectByPath("hall/last"), nullptr);
}

TEST(QuestData, UnknownObjectsAndMissingContentAreSkipped)
{
    CTempFolder tmp;
    CLogCapture log(tmp);
    qe::CQuestData data;
    ASSERT_TRUE(data.BuildFromXmlText(ObjectsXml(
        "<statue id=\"odd\" guid=\"1\"/><image id=\"fancy\" ctype=\"nobody\" guid=\"2\"/><image id=\"kept\" guid=\"3\"/>",
        "<scene id=\"void\" guid=\"Z\"/>")));
    std::unique_ptr<qe::CQuest> quest(data.CreateQuest("main", nullptr, nullptr));
    ASSERT_TRUE(quest);
    ASSERT_EQ(quest->GetSceneCount(), 2);
    EXPECT_EQ(quest->GetScene(0)->GetObjectCount(), 1);
    EXPECT_NE(quest->FindObjectByPath("hall/kept"), nullptr);
    EXPECT_EQ(quest->GetScene(1)->GetObjectCount(), 0);
    EXPECT_TRUE(log.Contains("][qe][2]: Object 'odd'"));
    EXPECT_TRUE(log.Contains("][qe][2]: Object 'fancy' has the unregistered type 'nobody'"));
    EXPECT_TRUE(log.Contains("][qe][2]: Scene 'void' has no scene_content"));
    // The state still covers exactly the objects built.
    EXPECT_EQ(QuestStateOf(*quest).size(), static_cast<size_t>(quest->GetStateSize()));
}

namespace {

class CFancyImage : public qe::CImageObject
{
public:
    using CImageObject::CImageObject;
};

} // namespace

TEST(QuestData, CustomTypesComeFromTheRegistry)
{
    qe::RegisterCustomObjectType("fancy", [](qe::CScene* scene) -> qe::CSceneObject* { return new CFancyImage(scene); });
    qe::RegisterCustomObjectType("wrongkind",
                                 [](qe::CScene* scene) -> qe::CSceneObject* { return new qe::CAreaObject(scene); });
    qe::CQuestData data;
    ASSERT_TRUE(data.BuildFromXmlText(ObjectsXml("<image id=\"f\" ctype=\"fancy\" guid=\"1\" image_id=\"pic\"/>"
                                                 "<image id=\"w\" ctype=\"wrongkind\" guid=\"2\"/>")));
    std::unique_ptr<qe::CQuest> quest(data.CreateQuest("main", nullptr, nullptr));
    qe::UnregisterCustomObjectType("fancy");
    qe::UnregisterCustomObjectType("wrongkind");
    ASSERT_TRUE(quest);
    qe::CScene* hall = quest->GetScene(0);
    ASSERT_EQ(hall->GetObjectCount(), 1);
    EXPECT_NE(dynamic_cast<CFancyImage*>(hall->GetPrototypes()[0]), nullptr);
}

TEST(QuestData, ANulInsideANameEndsIt)
{
    qe::CQuestData data;
    const std::string xml("<?xml version=\"1.0\"?><q><Structure><quest id=\"ma\0in\"/></Structure></q>", 70);
    ASSERT_TRUE(data.BuildFromXmlText(xml));
    ASSERT_EQ(data.GetQuestCount(), 1);
    std::unique_ptr<qe::CQuest> quest(data.CreateQuest("ma", nullptr, nullptr));
    EXPECT_TRUE(quest);
}
