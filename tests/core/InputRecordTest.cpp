#include "core/InputRecord.h"

#include <gtest/gtest.h>

using lv::core::CInputRecord;
using lv::core::EInputRecordingStatus;
using lv::core::ParseInputRecording;
using lv::core::WriteInputRecording;

namespace {

std::string U32(u32 v)
{
    std::string s;
    for (int i = 0; i < 4; ++i)
        s.push_back(static_cast<char>(v >> (8 * i)));
    return s;
}

EInputRecordingStatus Parse(const std::string& bytes, std::vector<CInputRecord>& records)
{
    return ParseInputRecording(reinterpret_cast<const u8*>(bytes.data()), bytes.size(), records);
}

} // namespace

TEST(InputRecord, FieldsDecodeFromTheirBytes)
{
    // time 0x01020304, type 2 with flags 0xA, param 0x1234, x -3, y 700, trailing zero word.
    const std::string bytes = U32(16) + U32(1) + U32(0x01020304) + std::string("\xA2\x00\x34\x12", 4) +
                              std::string("\xFD\xFF\xBC\x02", 4) + U32(0);
    std::vector<CInputRecord> records;
    ASSERT_EQ(Parse(bytes, records), EInputRecordingStatus::Ok);
    ASSERT_EQ(records.size(), 1u);
    EXPECT_EQ(records[0].Time, 0x01020304u);
    EXPECT_EQ(records[0].Type, 2);
    EXPECT_EQ(records[0].Flags, 0xA);
    EXPECT_EQ(records[0].Param, 0x1234);
    EXPECT_EQ(records[0].GetX(), -3);
    EXPECT_EQ(records[0].GetY(), 700);
}

TEST(InputRecord, CountIsCheckedAgainstTheData)
{
    const std::string record(16, '\0');
    struct Case
    {
        const char* name;
        std::string bytes;
        EInputRecordingStatus status;
        size_t count;
    } cases[] = {
        {"empty file", "", EInputRecordingStatus::BadRecordSize, 0},
        {"record size 12", U32(12) + U32(0), EInputRecordingStatus::BadRecordSize, 0},
        {"record size only", U32(16), EInputRecordingStatus::Truncated, 0},
        {"count 0", U32(16) + U32(0), EInputRecordingStatus::Ok, 0},
        {"count 2, one record", U32(16) + U32(2) + record, EInputRecordingStatus::Truncated, 0},
        {"count 2, 31 bytes", U32(16) + U32(2) + record + record.substr(1), EInputRecordingStatus::Truncated,
         0},
        {"count 2^28", U32(16) + U32(1u << 28) + record, EInputRecordingStatus::Truncated, 0},
        {"count 2^32-1", U32(16) + U32(0xFFFFFFFFu) + record, EInputRecordingStatus::Truncated, 0},
        {"trailing bytes", U32(16) + U32(1) + record + "xyz", EInputRecordingStatus::Ok, 1},
    };
    for (const Case& c : cases) {
        std::vector<CInputRecord> records(3);
        EXPECT_EQ(Parse(c.bytes, records), c.status) << c.name;
        EXPECT_EQ(records.size(), c.count) << c.name;
    }
}

TEST(InputRecord, WriteThenParseGivesTheSameRecords)
{
    const std::vector<CInputRecord> records = {
        CInputRecord::Pointer(0, CInputRecord::Move, 0, 0, 10, 20),
        CInputRecord::Pointer(10, CInputRecord::ButtonDown, 1, 0x2, -1, 40000), // y cut to 16 bits
        CInputRecord::Key(20, CInputRecord::Char, u'ж', 0x7, 0xDEADBEEF),
    };
    const std::string bytes = WriteInputRecording(records);
    EXPECT_EQ(bytes.size(), 8u + 16u * 3);
    EXPECT_EQ(bytes.substr(0, 8), U32(16) + U32(3));
    EXPECT_EQ(records[1].GetY(), static_cast<s16>(40000));
    std::vector<CInputRecord> back;
    ASSERT_EQ(Parse(bytes, back), EInputRecordingStatus::Ok);
    EXPECT_EQ(back, records);
}
