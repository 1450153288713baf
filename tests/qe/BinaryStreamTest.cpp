#include "core/MappedFile.h"
#include "qe/BinaryReader.h"
#include "qe/ByteBuffer.h"
#include "../core/TempFolder.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

using qe::CBinaryReader;
using qe::CByteBuffer;

namespace {

std::vector<u8> Bytes(const CByteBuffer& buffer)
{
    return std::vector<u8>(buffer.GetData(), buffer.GetData() + buffer.GetLength());
}

std::vector<u8> NameRecord(u16 length, const char* text, u16 hash = 0)
{
    std::vector<u8> record(96, 0);
    record[0] = static_cast<u8>(length);
    record[1] = static_cast<u8>(length >> 8);
    record[2] = 88;
    record[4] = static_cast<u8>(hash);
    record[5] = static_cast<u8>(hash >> 8);
    std::memcpy(record.data() + 8, text, std::strlen(text));
    return record;
}

} // namespace

TEST(BinaryStream, EncodesValuesLittleEndian)
{
    CByteBuffer buffer;
    buffer.Allocate(64);
    buffer.WriteInt64((s64(1) << 32) | 2);
    buffer.WriteFloat(1.0f);
    buffer.WriteBool(true);
    buffer.WriteByte(0x1FF);
    buffer.WriteBlob(nullptr, 0);
    const std::vector<u8> expected = {2, 0, 0, 0, 1, 0, 0, 0, 0x00, 0x00, 0x80, 0x3F, 1, 0, 0, 0, 0xFF, 0, 0, 0, 0};
    EXPECT_EQ(Bytes(buffer), expected);
    EXPECT_FALSE(buffer.HasOverflowed());

    CBinaryReader reader(buffer.GetData(), buffer.GetLength());
    EXPECT_EQ(reader.ReadInt64(), (s64(1) << 32) | 2);
    EXPECT_EQ(reader.ReadFloat(), 1.0f);
    EXPECT_TRUE(reader.ReadBool());
    EXPECT_EQ(reader.ReadByte(), 0xFF);
    s32 count = -1;
    auto blob = reader.ReadBlob(count);
    EXPECT_EQ(count, 0);
    EXPECT_NE(blob, nullptr);
    EXPECT_EQ(reader.GetPosition(), reader.GetSize());
    EXPECT_FALSE(reader.HasError());

    const u8 seven[4] = {7, 0, 0, 0};
    CBinaryReader sevenReader(seven, 4);
    EXPECT_TRUE(sevenReader.ReadBool());
}

TEST(BinaryStream, NamesTakeNinetySixBytesAndRoundTrip)
{
    CByteBuffer buffer;
    buffer.Allocate(96 * 2 + 4 + 3);
    buffer.WriteNameString(CFixedString("a"));
    EXPECT_EQ(buffer.GetLength(), 96);
    buffer.WriteNameString(CFixedString(std::string(87, 'x').c_str()));
    EXPECT_EQ(buffer.GetLength(), 192);
    const u8 blob[3] = {9, 8, 7};
    buffer.WriteBlob(blob, 3);

    CBinaryReader reader(buffer.GetData(), buffer.GetLength());
    EXPECT_TRUE(reader.ReadNameString() == CFixedString("a"));
    EXPECT_TRUE(reader.ReadNameString() == CFixedString(std::string(87, 'x').c_str()));
    s32 count = 0;
    auto read = reader.ReadBlob(count);
    ASSERT_EQ(count, 3);
    EXPECT_EQ(std::vector<u8>(read.get(), read.get() + 3), std::vector<u8>(blob, blob + 3));
    EXPECT_FALSE(reader.HasError());
}

TEST(BinaryStream, ClearRewindsOverTheSameStorage)
{
    CByteBuffer buffer;
    buffer.Allocate(8);
    buffer.WriteInt32(0x11111111);
    buffer.WriteInt32(0x22222222);
    u8* storage = buffer.GetData();
    buffer.Clear();
    EXPECT_EQ(buffer.GetLength(), 0);
    buffer.WriteInt32(5);
    EXPECT_EQ(buffer.GetData(), storage);
    EXPECT_EQ(buffer.GetCapacity(), 8);
    EXPECT_EQ(Bytes(buffer), (std::vector<u8>{5, 0, 0, 0}));
    EXPECT_EQ(storage[4], 0x22);
}

TEST(BinaryStream, WritesPastTheCapacityWriteNothingAndFlagTheOverflow)
{
    const auto fill = [](CByteBuffer& buffer) {
        buffer.Allocate(7);
        buffer.WriteInt32(1);
        buffer.WriteByte(2);
        buffer.WriteByte(3);
        buffer.WriteByte(4);
        EXPECT_FALSE(buffer.HasOverflowed());
    };
    const std::vector<void (*)(CByteBuffer&)> writes = {
        [](CByteBuffer& b) { b.WriteByte(9); },
        [](CByteBuffer& b) { b.WriteInt32(9); },
        [](CByteBuffer& b) { b.WriteInt64(9); },
        [](CByteBuffer& b) { b.WriteNameString(CFixedString("n")); },
        [](CByteBuffer& b) {
            const u8 x = 1;
            b.WriteBlob(&x, 1);
        },
        [](CByteBuffer& b) { b.WriteBlob(nullptr, -1); },
    };
    for (size_t i = 0; i < writes.size(); ++i)
    {
        CByteBuffer buffer;
        fill(buffer);
        const std::vector<u8> before = Bytes(buffer);
        writes[i](buffer);
        EXPECT_TRUE(buffer.HasOverflowed()) << i;
        EXPECT_EQ(Bytes(buffer), before) << i;
        buffer.WriteByte(1); // sticky
        EXPECT_TRUE(buffer.HasOverflowed()) << i;
        buffer.Clear();
        EXPECT_FALSE(buffer.HasOverflowed()) << i;
    }
    CByteBuffer empty;
    empty.WriteByte(1);
    EXPECT_TRUE(empty.HasOverflowed());
}

TEST(BinaryStream, BadReadsYieldZeroAndFlagTheError)
{
    // Blob counts -1 and 1000 with 10 bytes left, a read past the end and invalid name records.
    struct Case
    {
        std::vector<u8> bytes;
        int what; // 0 int32, 1 int64, 2 blob, 3 name
    };
    std::vector<u8> minusOne = {0xFF, 0xFF, 0xFF, 0xFF};
    minusOne.resize(14, 1);
    std::vector<u8> thousand = {0xE8, 0x03, 0, 0};
    thousand.resize(14, 1);
    std::vector<u8> noTerminator = NameRecord(3, "abc");
    noTerminator[8 + 3] = 'd';
    const Case cases[] = {
        {{1, 2, 3}, 0},
        {{1, 2, 3, 4, 5, 6, 7}, 1},
        {minusOne, 2},
        {thousand, 2},
        {NameRecord(200, "abc"), 3},
        {NameRecord(88, "abc"), 3},
        {noTerminator, 3},
        {std::vector<u8>(95, 0), 3},
    };
    for (size_t i = 0; i < std::size(cases); ++i)
    {
        const Case& c = cases[i];
        CBinaryReader reader(c.bytes.data(), static_cast<s32>(c.bytes.size()));
        switch (c.what)
        {
        case 0: EXPECT_EQ(reader.ReadInt32(), 0) << i; break;
        case 1: EXPECT_EQ(reader.ReadInt64(), 0) << i; break;
        case 2:
        {
            s32 count = 5;
            EXPECT_EQ(reader.ReadBlob(count), nullptr) << i;
            EXPECT_EQ(count, 0) << i;
            break;
        }
        case 3: EXPECT_TRUE(reader.ReadNameString().IsEmpty()) << i; break;
        }
        EXPECT_TRUE(reader.HasError()) << i;
        EXPECT_EQ(reader.ReadInt32(), 0) << i;
        EXPECT_TRUE(reader.HasError()) << i;
    }
}

TEST(BinaryStream, NameWithHashZeroFromAReadOnlyMappingCompares)
{
    CTempFolder folder;
    const std::vector<u8> record = NameRecord(4, "door", 0);
    folder.Write("save.bin", std::string(record.begin(), record.end()));
    u32 size = 0;
    const void* view = lv::core::MapFileReadOnlyA((folder / "save.bin").c_str(), &size);
    ASSERT_NE(view, nullptr);
    ASSERT_EQ(size, 96u);
    {
        CBinaryReader reader(view, static_cast<s32>(size));
        const CFixedString& name = reader.ReadNameString();
        EXPECT_TRUE(name == CFixedString("door"));
        EXPECT_FALSE(reader.HasError());
    }
    lv::core::UnmapFile(view);
}
