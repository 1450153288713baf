#include "core/TextScan.h"

#include <gtest/gtest.h>

using namespace lv::core;

TEST(TextScan, IntLikeAtoiWrapping)
{
    const std::pair<const char*, s32> cases[] = {
        {"42", 42},
        {"  -7x", -7},
        {"+3", 3},
        {"", 0},
        {"abc", 0},
        {"010", 10},
        {"4294967295", -1},
        {"4294967296", 0},
        {"-2147483648", -2147483647 - 1},
        {"99999999999", 1215752191},
    };
    for (const auto& [text, value] : cases) {
        EXPECT_EQ(ScanInt(std::string_view(text)), value) << text;
        const std::string narrow(text);
        EXPECT_EQ(ScanInt(WStringView(WString(narrow.begin(), narrow.end()))), value) << text;
    }
}

TEST(TextScan, IntAnyBaseLikePercentI)
{
    const std::pair<const char*, s32> cases[] = {
        {"010", 8}, {"0x10", 16}, {" -0X1f", -31}, {"12", 12}, {"0", 0}, {"09", 0}, {"0x", 0},
    };
    for (const auto& [text, value] : cases) {
        size_t pos = 0;
        s32 v = -99;
        EXPECT_TRUE(ScanIntAnyBase(text, pos, v)) << text;
        EXPECT_EQ(v, value) << text;
    }
    size_t pos = 0;
    s32 v = 5;
    EXPECT_FALSE(ScanIntAnyBase("  x1", pos, v));
    EXPECT_EQ(pos, 0u);
    EXPECT_EQ(v, 5);
}

TEST(TextScan, RealAndTruncation)
{
    EXPECT_DOUBLE_EQ(ScanReal(" 7.9px"), 7.9);
    EXPECT_DOUBLE_EQ(ScanReal("-2e1"), -20.0);
    EXPECT_DOUBLE_EQ(ScanReal("x"), 0.0);
    EXPECT_EQ(TruncateToInt(ScanReal("7.9")), 7);
    EXPECT_EQ(TruncateToInt(ScanReal("-7.9")), -7);
    EXPECT_EQ(TruncateToInt(ScanReal("1e300")), 2147483647);
    EXPECT_EQ(TruncateToInt(ScanReal("nan")), 0);
}

TEST(TextScan, WideSpaces)
{
    for (WChar c : {u' ', u'\t', u'\n', u'\r', u'\x0B', u'\x0C', u'\x85', u'\u2003', u'\u3000', u'\u2028'})
        EXPECT_TRUE(IsWideSpace(c)) << int(c);
    for (WChar c : {u'a', u'\0', u'\xA0', u'\u2007', u'\u202F', u'\u200B'})
        EXPECT_FALSE(IsWideSpace(c)) << int(c);
}
