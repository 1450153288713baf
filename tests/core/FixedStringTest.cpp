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

namespace {

// The table cases below are written in narrow text and run on both widths.
template <typename Ch>
std::basic_string<Ch> Text(const char* narrow)
{
    return std::basic_string<Ch>(narrow, narrow + std::char_traits<char>::length(narrow));
}

// A record of capacity 8 holds at most 7 characters.
template <typename Ch>
using CSmall = CBasicFixedString<Ch, 8>;

template <typename Ch>
void ExpectRecord(const CSmall<Ch>& name, const char* text, bool cut, const std::string& what)
{
    const std::basic_string<Ch> expected = Text<Ch>(text);
    EXPECT_EQ(std::basic_string<Ch>(name.GetText(), name.GetLength()), expected) << what;
    EXPECT_EQ(name.GetText()[name.GetLength()], Ch(0)) << what;
    EXPECT_EQ(name.GetCachedHash(), 0) << what;
    EXPECT_EQ(name.IsTruncated(), cut) << what;
    // A cut record never matches, not even its own text.
    EXPECT_EQ(name.Equals(CSmall<Ch>(expected.c_str())), !cut) << what;
}

template <typename Ch>
void CheckAssignSubstring()
{
    const struct
    {
        const char* text;
        size_t start, count;
        const char* expected;
        bool cut;
    } cases[] = {
        {"", 0, 3, "", false},                   // empty
        {"abcdefghij", 2, 7, "cdefghi", false},  // exact capacity
        {"abcdefghij", 1, 8, "bcdefgh", true},   // one past capacity
        {"abc", 3, 1, "", false},                // start at the end
        {"abc", 9, 1, "", false},                // start beyond the length
        {"abcdef", 4, 100, "ef", false},         // count beyond the text
        {"abcdef", 1, 0, "", false},
    };
    for (const auto& c : cases)
    {
        CSmall<Ch> name(Text<Ch>("old").c_str());
        name.GetHash();
        name.AssignSubstring(Text<Ch>(c.text).c_str(), c.start, c.count);
        ExpectRecord(name, c.expected, c.cut, std::string(c.text) + " from " + std::to_string(c.start));
    }
}

template <typename Ch>
void CheckResize()
{
    const struct
    {
        const char* text;
        size_t length;
        char fill;
        const char* expected;
        bool cut;
    } cases[] = {
        {"", 0, 'x', "", false},             // empty stays empty
        {"", 3, 'x', "xxx", false},          // growing an empty text
        {"ab", 7, '.', "ab.....", false},    // exact capacity
        {"ab", 8, '.', "ab.....", true},     // one past capacity
        {"abcdef", 2, 'x', "ab", false},     // shrinking
        {"abc", 0, 'x', "", false},
    };
    for (const auto& c : cases)
    {
        CSmall<Ch> name(Text<Ch>(c.text).c_str());
        name.GetHash();
        name.Resize(c.length, Ch(c.fill));
        if (c.length == std::char_traits<char>::length(c.text))
            EXPECT_NE(name.GetCachedHash(), 0) << "the same length changes nothing";
        else
            ExpectRecord(name, c.expected, c.cut, std::string(c.text) + " to " + std::to_string(c.length));
    }
    // The default fill is the zero character: the length counts it.
    CSmall<Ch> zeros(Text<Ch>("a").c_str());
    zeros.Resize(3);
    EXPECT_EQ(zeros.GetLength(), 3);
    EXPECT_EQ(zeros.GetAt(1), Ch(0));
    EXPECT_EQ(zeros.GetAt(2), Ch(0));
}

template <typename Ch>
void CheckErase()
{
    const struct
    {
        const char* text;
        size_t from, to;
        const char* expected;
    } cases[] = {
        {"", 0, 3, ""},                // empty
        {"abcdefg", 2, 4, "abefg"},    // full record, middle
        {"abcdefg", 0, 7, ""},         // everything
        {"abcdefg", 5, 8, "abcde"},    // to one past the end
        {"abc", 3, 5, "abc"},          // from at the end
        {"abc", 9, 12, "abc"},         // from beyond the length
        {"abc", 2, 1, "abc"},          // to before from
        {"abc", 1, 1, "abc"},
    };
    for (const auto& c : cases)
    {
        CSmall<Ch> name(Text<Ch>(c.text).c_str());
        name.Erase(c.from, c.to);
        const std::string what = std::string(c.text) + " [" + std::to_string(c.from) + "," + std::to_string(c.to) + ")";
        EXPECT_EQ(std::basic_string<Ch>(name.GetText(), name.GetLength()), Text<Ch>(c.expected)) << what;
        EXPECT_EQ(name.GetText()[name.GetLength()], Ch(0)) << what;
        EXPECT_TRUE(name.Equals(CSmall<Ch>(Text<Ch>(c.expected).c_str()))) << what;
    }

    // A cut record stays cut while its lost tail is still part of it.
    CSmall<Ch> cut(Text<Ch>("abcdefghij").c_str());
    cut.Erase(1, 2);
    ExpectRecord(cut, "acdefg", true, "cut, middle erased");
    cut.Erase(3, 6);
    ExpectRecord(cut, "acd", false, "cut, tail erased");
}

} // namespace

TEST(FixedString, AssignSubstringTable)
{
    CheckAssignSubstring<char>();
    CheckAssignSubstring<WChar>();
}

TEST(FixedString, ResizeTable)
{
    CheckResize<char>();
    CheckResize<WChar>();
}

TEST(FixedString, EraseTable)
{
    CheckErase<char>();
    CheckErase<WChar>();
}
