#include "core/TextConvert.h"

#include <gtest/gtest.h>

TEST(TextConvert, RoundTripsUtf8AndUtf16)
{
    const std::string samples[] = {"", "plain", "caf\xC3\xA9", "\xE2\x82\xAC 5", "\xF0\x9F\x98\x80 smile"};
    for (const auto& s : samples)
        EXPECT_EQ(WideToUtf8(Utf8ToWide(s)), s) << s;
    EXPECT_EQ(Utf8ToWide("\xF0\x9F\x98\x80"), (WString{0xD83D, 0xDE00}));
}

TEST(TextConvert, MalformedInputBecomesReplacement)
{
    EXPECT_EQ(Utf8ToWide("a\xFF" "b"), (WString{u'a', 0xFFFD, u'b'}));
    EXPECT_EQ(Utf8ToWide("\xC3"), (WString{0xFFFD}));           // truncated sequence
    EXPECT_EQ(Utf8ToWide("\xC0\xAF"), (WString{0xFFFD}));       // overlong
    EXPECT_EQ(WideToUtf8(WString{0xD800, u'x'}), "\xEF\xBF\xBDx"); // lone surrogate
}

TEST(TextConvert, StopsAtZeroAndHasNoLengthLimit)
{
    EXPECT_EQ(ToWide(std::string_view("ab\0cd", 5)), u"ab");
    std::string big(70000, 'x');
    EXPECT_EQ(ToWide(big).size(), 70000u);
    EXPECT_EQ(Utf8ToAnsi("caf\xC3\xA9"), "caf\xC3\xA9");
}
