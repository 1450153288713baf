#include "core/XmlColor.h"

#include <gtest/gtest.h>

TEST(XmlColor, ParsesBothForms)
{
    const struct
    {
        const char* text;
        CColor expected;
    } cases[] = {
        {"", CColor(0u)},
        {"-1", CColor(0xFFFFFFFFu)},
        {"-16777216", CColor(0xFF000000u)},
        {"16711680", CColor(0x00FF0000u)},
        {"  +255xyz", CColor(0x000000FFu)},
        {"abc", CColor(0u)},
        {"4294967295", CColor(0x7FFFFFFFu)},  // saturates at the signed 32-bit limits
        {"-99999999999", CColor(0x80000000u)},
        {"#128 255 0 64", CColor::CColorArgb(128, 255, 0, 64)},
        {"#128", CColor::CColorArgb(128, 255, 255, 255)},
        {"#", CColor()},
        {"#1,2,3,4", CColor::CColorArgb(1, 255, 255, 255)},
        {"#  10\t20\n30 40 50", CColor::CColorArgb(10, 20, 30, 40)},
        {"#300 -5 0x10 010", CColor::CColorArgb(300, -5, 16, 8)}, // not clamped; %i bases
        {"#65536 65535 -32769 99999999999999999999", CColor::CColorArgb(0, -1, 32767, -1)}, // modulo 2^16
    };
    for (const auto& c : cases)
    {
        CColor color = CColor::CColorArgb(1, 2, 3, 4);
        ParseXmlColor(color, c.text);
        EXPECT_EQ(color, c.expected) << '"' << c.text << '"';
    }
}
