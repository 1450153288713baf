#include "core/FixedString.h"
#include "core/FixedWString.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

TEST(FixedString, HashVectors)
{
    const struct
    {
        const char* text;
        u16 hash;
    } cases[] = {{"", 1}, {"a", 0x0061}, {"ab", 0x6261}, {"abc", 0xB193}, {"properties/strings.xml", 0x94D3}};
    for (const auto& c : cases)
    {
        CFixedString name(c.text);
        EXPECT_EQ(name.GetCachedHash(), 0) << c.text;
        EXPECT_EQ(name.GetHash(), c.hash) << c.text;
        EXPECT_EQ(name.GetCachedHash(), c.hash) << c.text;
    }
    EXPECT_EQ(CFixedWString<15>(u"ab").GetHash(), 0x8092);
}

TEST(FixedString, EqualityUsesLengthHashAndTextAcrossCapacities)
{
    CFixedString a("hello");
    CLongFixedString b("hello");
    EXPECT_TRUE(a.Equals(b));
    EXPECT_TRUE(b == a);
    EXPECT_FALSE(a.Equals(CShortString("hellO")));
    EXPECT_FALSE(a.Equals(CShortString("hell")));

    a.Append("!");
    EXPECT_EQ(a.GetCachedHash(), 0);
    EXPECT_FALSE(a.Equals(b));
    b.AppendFixed(CShortString("!"));
    EXPECT_TRUE(a.Equals(b));
    EXPECT_NE(a.GetCachedHash(), 0);
    EXPECT_EQ(a.GetLength(), 6);
}

TEST(FixedString, CompareTextOrdersAsUnsignedCharacters)
{
    const struct
    {
        const char* stored;
        const char* other;
        s32 result;
    } cases[] = {{"abc", "abd", -1}, {"abc", "ab", 1}, {"abc", "abc", 0}, {"ab", "abc", -1},
                 {"\xE9", "z", 1},   {"", "", 0},       {"", "a", -1}};
    for (const auto& c : cases)
    {
        CFixedString name(c.stored);
        EXPECT_EQ(name.CompareText(c.other), c.result) << c.stored << " vs " << c.other;
        EXPECT_EQ(name.NotEquals(c.other), c.result != 0);
        EXPECT_EQ(name.IsGreater(CFixedString(c.other)), c.result > 0);
    }
}

TEST(FixedString, FindFromStart)
{
    const struct
    {
        const char* what;
        s32 start;
        s32 index;
    } cases[] = {{"lo", 0, 3}, {"lo", 4, -1}, {"h", 0, 0}, {"o", 4, 4}, {"", 5, 5},
                 {"", 6, -1},  {"o", 99, -1}, {"h", -1, -1}, {"hellox", 0, -1}};
    const CFixedString hello("hello");
    for (const auto& c : cases)
        EXPECT_EQ(hello.Find(c.what, c.start), c.index) << c.what << " from " << c.start;
}

TEST(FixedString, TextsAreCutAtCapacityMinusOne)
{
    const std::string fits(87, 'x');
    CFixedString name(fits.c_str());
    EXPECT_EQ(name.GetLength(), 87);
    EXPECT_FALSE(name.IsTruncated());

    name.Append("y");
    EXPECT_EQ(name.GetLength(), 87);
    EXPECT_TRUE(name.IsTruncated());
    EXPECT_EQ(std::string(name.GetText()), fits);

    CShortString shortName("abcdefghijklmnopqrstuvwxyz");
    EXPECT_EQ(std::string(shortName.GetText()), "abcdefghijklmnopqrstuvw");
    EXPECT_EQ((CShortString("abc") + "defghijklmnopqrstuvwxyz0123").GetLength(), 30); // 88-capacity result

    CFixedWString<15> wide(u"0123456789abcdefgh");
    EXPECT_EQ(wide.GetLength(), 14);
    EXPECT_TRUE(wide.IsTruncated());
    wide.Clear();
    EXPECT_FALSE(wide.IsTruncated());
}

// A name too long for its record must not find the shorter name its cut text spells.
TEST(FixedString, CutProbeNeverMatches)
{
    const std::string stored(87, 'n');
    const std::string tooLong = stored + "suffix";
    const CFixedString probe(tooLong.c_str());
    const CFixedString entry(stored.c_str());

    EXPECT_FALSE(probe.Equals(entry));
    EXPECT_FALSE(entry.Equals(probe));
    EXPECT_FALSE(probe.Equals(probe));
    EXPECT_NE(probe.CompareText(stored.c_str()), 0);

    // Binary search as the sorted name indexes do it.
    std::vector<CFixedString> index = {CFixedString("a"), entry, CFixedString("z")};
    int lo = 0, hi = static_cast<int>(index.size()) - 1, found = -1;
    while (lo <= hi)
    {
        const int mid = (lo + hi) / 2;
        if (index[mid].Equals(probe))
        {
            found = mid;
            break;
        }
        if (index[mid].IsGreater(probe))
            hi = mid - 1;
        else
            lo = mid + 1;
    }
    EXPECT_EQ(found, -1);
    EXPECT_FALSE(entry.IsGreater(probe));
    EXPECT_TRUE(probe.IsGreater(entry));
}

TEST(FixedString, WideCharacterAccess)
{
    CFixedWString<28> name(u"abc");
    EXPECT_EQ(name.GetAt(1), u'b');
    EXPECT_EQ(name.GetAt(3), 0);
    EXPECT_EQ(name.GetAt(500), 0);
    name.GetHash();
    name.SetAt(1, u'X');
    EXPECT_EQ(name.GetCachedHash(), 0);
    name.SetAt(3, u'Y'); // outside the text: ignored
    name.Append(u"de");
    EXPECT_EQ(std::u16string(name.GetText()), u"aXcde");
    EXPECT_EQ(CFixedString("xyz").GetAt(2), 'z');
}

TEST(FixedString, ConcatenationMakesOrdinaryNames)
{
    const CShortString prefix("item_");
    const CFixedString joined = prefix + "7";
    EXPECT_EQ(joined.CompareText("item_7"), 0);
    EXPECT_EQ(prefix.ConcatName(CFixedString("key")).CompareText("item_key"), 0);
    CFixedString name("a");
    name += CShortString("b");
    EXPECT_EQ(name.CompareText("ab"), 0);
}

TEST(FixedString, RecordsRoundTripLittleEndian)
{
    CFixedString name("ab");
    name.UpdateHash();
    u8 record[CFixedString::kRecordSize];
    ASSERT_TRUE(name.WriteRecord(record));
    EXPECT_EQ(record[0], 2);
    EXPECT_EQ(record[2], 88);
    EXPECT_EQ(record[4], 0x61);
    EXPECT_EQ(record[5], 0x62);
    EXPECT_EQ(record[8], 'a');
    EXPECT_EQ(record[10], 0);
    EXPECT_EQ(record[95], 0);

    CFixedString back;
    ASSERT_TRUE(back.ReadRecord(record, sizeof(record)));
    EXPECT_EQ(back.GetCachedHash(), 0x6261); // stored hash is trusted
    EXPECT_TRUE(back.Equals(name));

    // A stored length that leaves no room for the terminator, or too little data, is refused.
    record[0] = 88;
    EXPECT_FALSE(back.ReadRecord(record, sizeof(record)));
    record[0] = 2;
    EXPECT_FALSE(back.ReadRecord(record, sizeof(record) - 1));
    EXPECT_EQ(back.CompareText("ab"), 0);

    const CFixedString cut(std::string(100, 'c').c_str());
    EXPECT_FALSE(cut.WriteRecord(record));

    CFixedWString<15> wide(u"\u00e9z");
    u8 wideRecord[CFixedWString<15>::kRecordSize];
    ASSERT_TRUE(wide.WriteRecord(wideRecord));
    EXPECT_EQ(wideRecord[8], 0xE9);
    EXPECT_EQ(wideRecord[9], 0x00);
    CFixedWString<15> wideBack;
    ASSERT_TRUE(wideBack.ReadRecord(wideRecord, sizeof(wideRecord)));
    EXPECT_TRUE(wideBack.Equals(wide));
}

// Compact records (as pooled) are used in place, never read beyond their own bytes.
TEST(FixedString, CompactRecordsStayInsideTheirMemory)
{
    for (const char* text : {"", "x", "settings"})
    {
        const CFixedString name(text);
        const size_t size = CFixedString::CompactRecordSize(name.GetLength());
        auto memory = std::make_unique<u8[]>(size);
        const CFixedString* compact = CFixedString::MakeCompact(memory.get(), name);
        EXPECT_TRUE(compact->Equals(name)) << text;
        EXPECT_EQ(compact->CompareText(text), 0);
        EXPECT_EQ(compact->GetCapacity(), name.GetLength() + 1);
    }
}
