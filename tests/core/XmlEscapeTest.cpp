#include "core/XmlEscape.h"

#include <gtest/gtest.h>

using namespace lv::core;

TEST(XmlEscape, Bytes)
{
    const struct
    {
        std::string in, out;
    } cases[] = {
        {"", ""},
        {"plain text", "plain text"},
        {"a\t\xC3\xA9<", "a&#x09;\xC3\xA9&lt;"},
        {"&<>\"'", "&amp;&lt;&gt;&quot;&apos;"},
        {std::string("\x00\x1F\x20\x7F", 4), "&#x00;&#x1F; \x7F"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(XmlEscape(c.in), c.out) << c.in;
}

TEST(XmlEscape, WideAndNarrowForms)
{
    EXPECT_EQ(XmlEscapeWide(u"A&B \u00E9\u20AC"), "A&amp;B \xC3\xA9\xE2\x82\xAC");
    EXPECT_EQ(XmlEscapeAnsi("caf\xC3\xA9 \"x\""), "caf\xC3\xA9 &quot;x&quot;");
    // No length limit on the conversions.
    EXPECT_EQ(XmlEscapeWide(WString(70000, u'<')).size(), 70000u * 4);
}
