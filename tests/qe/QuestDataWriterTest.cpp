#include "content/QuestDataWriter.h"
#include "core/FixedString.h"

#include <gtest/gtest.h>

#include <cstring>

using namespace lv::content;

namespace {

u32 Read32(const std::vector<u8>& b, size_t at)
{
    return static_cast<u32>(b[at] | (b[at + 1] << 8) | (b[at + 2] << 16) | (b[at + 3] << 24));
}

float ReadFloat(const std::vector<u8>& b, size_t at)
{
    const u32 bits = Read32(b, at);
    float f;
    std::memcpy(&f, &bits, 4);
    return f;
}

CFixedString ReadName(const std::vector<u8>& b, size_t at)
{
    CFixedString name;
    EXPECT_TRUE(name.ReadRecord(b.data() + at, 96));
    return name;
}

} // namespace

TEST(QuestDataWriter, GuidTextDigits)
{
    const struct
    {
        const char* text;
        u64 guid;
    } cases[] = {{"1", 2}, {"A", 11}, {"+", 63}, {"10", 66}, {"", 0}, {"z", 62}, {"#", 0}};
    for (const auto& c : cases)
        EXPECT_EQ(CQuestDataWriter::ParseGuid(c.text), c.guid) << c.text;
    EXPECT_EQ(CQuestDataWriter::ParseGuid("abcdefghijkl"), CQuestDataWriter::ParseGuid("abcdefghijk"));
    EXPECT_EQ(CQuestDataWriter::ParseGuid("//////////+"), u64(15) << 60);
}

TEST(QuestDataWriter, ObjectRecordsOfEveryKind)
{
    const struct
    {
        EQuestObjectKind kind;
        size_t payload;
    } kinds[] = {{EQuestObjectKind::Image, 128}, {EQuestObjectKind::Clip, 128}, {EQuestObjectKind::Video, 228},
                 {EQuestObjectKind::Other, 0}};
    for (const auto& k : kinds)
    {
        SQuestObject o;
        o.kind = k.kind;
        o.id = "door";
        o.guid = 0x0102030405060708ull;
        o.flags = 0x12345;
        o.hint = "abcd";
        const auto record = CQuestDataWriter::BuildObjectRecord(o);
        ASSERT_EQ(record.size(), 216 + 8 + k.payload);
        const CFixedString name = ReadName(record, 0);
        EXPECT_TRUE(name == CFixedString("door"));
        EXPECT_EQ(name.GetCachedHash(), CFixedString("door").GetHash());
        EXPECT_EQ(Read32(record, 192), 0x12345u);
        EXPECT_EQ(Read32(record, 200), 0x05060708u);
        EXPECT_EQ(record[208], 8);
        EXPECT_EQ(record[210], static_cast<u8>(k.kind));
        EXPECT_EQ(std::string(reinterpret_cast<const char*>(record.data() + 216), 8), std::string("abcd\0\0\0\0", 8));
    }

    SQuestObject hint5;
    hint5.hint = "abcde";
    EXPECT_EQ(CQuestDataWriter::BuildObjectRecord(hint5)[208], 8);
    SQuestObject noHint;
    EXPECT_EQ(CQuestDataWriter::BuildObjectRecord(noHint).size(), 216u + 128u);

    SQuestObject clip;
    clip.kind = EQuestObjectKind::Clip;
    clip.resource = "fire";
    clip.useAlpha = true;
    clip.animationFlags = 0;
    clip.flipV = true;
    clip.angle = 0.5f;
    auto bytes = CQuestDataWriter::BuildObjectRecord(clip);
    EXPECT_TRUE(ReadName(bytes, 216) == CFixedString("fire"));
    EXPECT_EQ(ReadFloat(bytes, 216 + 120), 0.5f);
    EXPECT_EQ(bytes[216 + 124], 1);
    EXPECT_EQ(bytes[216 + 125], 0);
    EXPECT_EQ(bytes[216 + 127], 1);

    SQuestObject video;
    video.kind = EQuestObjectKind::Video;
    video.animationFlags = 3;
    video.angle = 2.0f;
    bytes = CQuestDataWriter::BuildObjectRecord(video);
    EXPECT_EQ(bytes[216 + 216], 1);
    EXPECT_EQ(bytes[216 + 217], 1);
    EXPECT_EQ(ReadFloat(bytes, 216 + 220), 2.0f);
}

TEST(QuestDataWriter, AreasAndNestedGroups)
{
    SQuestObject area;
    area.kind = EQuestObjectKind::Area;
    area.points = {{1, 2}, {3, 4}, {5, 6}};
    SQuestObject inner;
    inner.kind = EQuestObjectKind::Group;
    inner.children = {area};
    SQuestObject outer;
    outer.kind = EQuestObjectKind::Group;
    outer.children = {inner, SQuestObject{}};

    const auto bytes = CQuestDataWriter::BuildObjectRecord(outer);
    const size_t areaSize = 216 + 24 + 3 * 8;
    const size_t innerSize = 216 + 8 + areaSize;
    ASSERT_EQ(bytes.size(), 216 + 8 + innerSize + 216 + 128);
    EXPECT_EQ(Read32(bytes, 216), 8 + innerSize + 216 + 128);
    EXPECT_EQ(Read32(bytes, 220), 2u);
    EXPECT_EQ(Read32(bytes, 224 + 216), 8 + areaSize);
    const size_t areaPayload = 224 + 224 + 216;
    EXPECT_EQ(Read32(bytes, areaPayload + 20), 3u);
    EXPECT_EQ(ReadFloat(bytes, areaPayload + 24 + 8 * 2 + 4), 6.0f);
}

TEST(QuestDataWriter, ImageBlocksAndDeliberateFaults)
{
    SQuestObject image;
    image.id = "door";
    SQuestScene scene{"hall", 5, 1, {800, 600}, {1, 2, 3, 4}, {image, image}};
    std::vector<SQuest> quests = {{"main", {scene}}, {"second", {}}};
    std::vector<u8> bytes;
    ASSERT_TRUE(CQuestDataWriter::BuildImage(quests, bytes));
    EXPECT_EQ(std::vector<u8>(bytes.begin(), bytes.begin() + 4), (std::vector<u8>{'Q', 'S', 'T', 2}));
    const size_t sceneBlock = 144 + 2 * (216 + 128);
    ASSERT_EQ(bytes.size(), 4 + 104 + sceneBlock + 104);
    EXPECT_EQ(Read32(bytes, 4 + 96), 1u);
    EXPECT_EQ(Read32(bytes, 4 + 100), 104 + sceneBlock);
    EXPECT_TRUE(ReadName(bytes, 4 + 104) == CFixedString("hall"));
    EXPECT_EQ(Read32(bytes, 108 + 96), 5u);
    EXPECT_EQ(Read32(bytes, 108 + 104), 1u);
    EXPECT_EQ(Read32(bytes, 108 + 112), 600u);
    EXPECT_EQ(Read32(bytes, 108 + 128), 4u);
    EXPECT_EQ(Read32(bytes, 108 + 132), 2u);
    EXPECT_EQ(Read32(bytes, 108 + 136), sceneBlock);
    EXPECT_TRUE(ReadName(bytes, 4 + 104 + sceneBlock) == CFixedString("second"));

    std::vector<u8> broken;
    ASSERT_TRUE(CQuestDataWriter::BuildImage(quests, broken, EQuestImageFault::NameLengthTooLong));
    EXPECT_EQ(broken[108 + 144], 200);
    ASSERT_TRUE(CQuestDataWriter::BuildImage(quests, broken, EQuestImageFault::ObjectCountPastEnd));
    EXPECT_EQ(Read32(broken, 108 + 132), 3u);
    ASSERT_TRUE(CQuestDataWriter::BuildImage(quests, broken, EQuestImageFault::QuestBlockSizePastEnd));
    EXPECT_EQ(Read32(broken, 4 + 100), broken.size());
    std::string error;
    EXPECT_FALSE(CQuestDataWriter::BuildImage(quests, broken, EQuestImageFault::GroupSizePastEnd, &error));
    EXPECT_FALSE(error.empty());
    EXPECT_FALSE(CQuestDataWriter::BuildImage({{std::string(88, 'q'), {}}}, broken, EQuestImageFault::None, &error));
}
