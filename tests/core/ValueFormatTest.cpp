#include "core/Color.h"
#include "core/FloatRect.h"
#include "core/Quad.h"
#include "core/ValueFormat.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <iterator>
#include <limits>
#include <string>

TEST(ValueFormat, ValueToStringForms)
{
    const struct
    {
        std::string actual;
        std::string expected;
    } cases[] = {
        {ValueToString(3.0f), "3"},
        {ValueToString(3.25f), "3.250"},
        {ValueToString(-1.5f), "-1.500"},
        {ValueToString(-0.25f), "-0.250"},
        {ValueToString(0.0001f), "0.000"},
        {ValueToString(CVector2(1, 0.5f)), "1 0.500"},
        {ValueToString(CPoint2i(-3, 4)), "-3 4"},
        {ValueToString(CFloatRect(1, 2.5f, 3, 4)), "1 2.500 3 4"},
        {ValueToString(s16(-5), s16(0)), "-5 0"},
        {ValueToString(s16(-32768), s16(32767)), "-32768 32767"},
        {ValueToString(0.0f, -0.25f, 2.0f, 1.125f), "0 -0.250 2 1.125"},
        {ValueToString(-3.0f, 0.5f, -0.0f, 7.0001f), "-3 0.500 -0 7.000"},
        {ValueToString(CColor()), "-1"},
        {ValueToString(CColor(0xFF000000u)), "-16777216"},
        {ValueToString(s32(-42)), "-42"},
        {IntToString(INT_MIN), "-2147483648"},
        {ValueToString(true), "true"},
        {BoolToString(false), "false"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(c.actual, c.expected);
    EXPECT_EQ(ValuePrecision(std::numeric_limits<float>::quiet_NaN()), 3);
}

TEST(ValueFormat, LongResultsAreCutToTheBuffer)
{
    const float huge = 3.0e38f; // 39 digits and three decimals per value
    CQuad quad(huge, huge, 0, 0);
    quad.Corners[0].X = 0.5f;
    const std::string text = ValueToString(quad);
    EXPECT_EQ(text.size(), 255u);
    EXPECT_EQ(text.substr(0, 6), "0.500 ");
}

namespace {

std::u16string Wide(size_t capacity, const WChar* format, auto... args)
{
    WChar out[64];
    std::fill(std::begin(out), std::end(out), u'#');
    const size_t written = FormatWide(out, capacity, format, args...);
    const std::u16string text(out);
    EXPECT_EQ(written, text.size());
    return text;
}

} // namespace

TEST(ValueFormat, FormatWide)
{
    const struct
    {
        std::u16string actual;
        std::u16string expected;
    } cases[] = {
        {Wide(5, u"%s", u"abcdefg"), u"abcd"},
        {Wide(64, u"%05d", 42), u"00042"},
        {Wide(64, u"%5d", 42), u"   42"},
        {Wide(64, u"%i", 0), u"0"},
        {Wide(64, u"%3s", u"ab"), u" ab"},
        {Wide(64, u"100%%"), u"100%"},
        {Wide(64, u"%x", 7), u"x"},
        {Wide(1, u"abc"), u""},
        {Wide(64, u"%ls.%s", u"a", u"b"), u"a.b"},
        {Wide(64, u"%.2f|%6.1f", 3.14159, -2.0), u"3.14|  -2.0"},
        {Wide(64, u"ab%5"), u"ab"},
        // Negative numbers and unsigned conversions.
        {Wide(64, u"! string %i is not found !", -7), u"! string -7 is not found !"},
        {Wide(64, u"%05d|%5d", -42, -42), u"-0042|  -42"},
        {Wide(64, u"%d", INT_MIN), u"-2147483648"},
        {Wide(64, u"%u", 4294967295u), u"4294967295"},
        {Wide(6, u"%d", -123456), u"-1234"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(c.actual, c.expected);

    WChar untouched = u'#';
    EXPECT_EQ(FormatWide(&untouched, 0, u"abc"), 0u);
    EXPECT_EQ(untouched, u'#');
}
