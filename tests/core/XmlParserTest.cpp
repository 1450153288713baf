#include "core/XmlParser.h"

#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <string>

using namespace lv::core;

namespace {

std::string Show(const XmlToken& t)
{
    std::string s;
    for (u32 i = 0; i < t.length; ++i)
        s += t.start[i] == '\0' ? std::string("\\0") : std::string(1, t.start[i]);
    return s;
}

// Records every callback as one line of a trace: "start a|attr x=1|attrs a|text a=t|end a".
// The element name is kept in the frame's first user word, which the parser must leave alone.
struct Recorder
{
    std::string trace;
    std::string utf8Flags;
    int ends = 0;
    bool userWordsKept = true;

    void Add(const std::string& event)
    {
        if (!trace.empty())
            trace += '|';
        trace += event;
    }

    static Recorder& Of(void* user) { return *static_cast<Recorder*>(user); }
    static std::string Name(XmlFrame* f, int d) { return Show(f[d].name); }

    static void Start(void* user, XmlFrame* f, int d)
    {
        f[d].user[0] = const_cast<char*>(f[d].name.start);
        Of(user).Add("start " + Name(f, d));
    }
    static void Attr(void* user, XmlFrame*, int, const XmlToken* name, const XmlToken* value, bool utf8)
    {
        Of(user).Add("attr " + Show(*name) + "=" + Show(*value));
        Of(user).utf8Flags += utf8 ? '1' : '0';
    }
    static void AttrsEnd(void* user, XmlFrame* f, int d) { Of(user).Add("attrs " + Name(f, d)); }
    static void End(void* user, XmlFrame* f, int d)
    {
        Recorder& r = Of(user);
        r.userWordsKept &= f[d].user[0] == f[d].name.start;
        ++r.ends;
        r.Add("end " + Name(f, d));
    }
    static void Text(void* user, XmlFrame* f, int d, bool utf8)
    {
        Of(user).Add("text " + Name(f, d) + "=" + Show(f[d].text));
        Of(user).utf8Flags += utf8 ? '1' : '0';
    }
};

// Parses a copy of exactly the document's bytes in its own heap block, so that the sanitizers
// see any read past the end.
int Parse(const std::string& doc, Recorder& r)
{
    std::unique_ptr<char[]> copy(new char[doc.size() ? doc.size() : 1]);
    if (!doc.empty())
        std::memcpy(copy.get(), doc.data(), doc.size());
    return ParseXml(copy.get(), doc.size(), &r, Recorder::Start, Recorder::Attr, Recorder::AttrsEnd,
                    Recorder::End, Recorder::Text);
}

struct TraceCase
{
    const char* what;
    std::string doc;
    int result;
    const char* trace;
};

const std::string P = "<?xml version=\"1.0\"?>";

std::string Repeat(const std::string& s, int n)
{
    std::string out;
    for (int i = 0; i < n; ++i)
        out += s;
    return out;
}

} // namespace

TEST(XmlParser, EventTraces)
{
    const TraceCase cases[] = {
        {"no prolog is rejected", "<root a=\"1\"/>", 0, ""},
        {"nothing but text", "no tags", 0, ""},
        {"prolog and empty root", P + "<root/>", 1, "start root|attrs root|end root"},
        {"attributes and text", P + "<a x='1' y = \"2\">t</a>", 1,
         "start a|attr x=1|attr y=2|attrs a|text a=t|end a"},
        {"only leaf text is reported", P + "<a><b>t</b>more</a>", 1,
         "start a|attrs a|start b|attrs b|text b=t|end b|end a"},
        {"a comment hides the text", P + "<a>t<!-- c --></a>", 1, "start a|attrs a|end a"},
        {"comment text is skipped", P + "<!-- <b/> --><a/>", 1, "start a|attrs a|end a"},
        {"decoded text counts its zero", P + "<a>x &amp; y</a>", 1, "start a|attrs a|text a=x & y\\0|end a"},
        {"plain text has no zero", P + "<a>x y</a>", 1, "start a|attrs a|text a=x y|end a"},
        {"empty element text", P + "<a></a>", 1, "start a|attrs a|text a=|end a"},
        {"other closing name", P + "<a><b></c></a>", 1,
         "start a|attrs a|start b|attrs b|text b=|end b|end a"},
        {"names stop at a hyphen", P + "<a a-b=\"1\"/>", 1, "start a|attr a=1|attrs a|end a"},
        {"empty closing tag reports nothing", P + "<a>t</>", 1, "start a|attrs a"},
        {"text outside the root", P + "out<a/>side", 1, "start a|attrs a|end a"},
        {"stray slash stops", P + "<a / b=\"1\"><c/></a>", 1, "start a|attrs a"},
        {"processing instruction is an element", P + "<?pi x?><a/>", 1, "start pi"},
    };
    for (const auto& c : cases) {
        Recorder r;
        EXPECT_EQ(Parse(c.doc, r), c.result) << c.what;
        EXPECT_EQ(r.trace, c.trace) << c.what;
        EXPECT_TRUE(r.userWordsKept) << c.what;
    }
}

TEST(XmlParser, EntityDecoding)
{
    struct Case
    {
        const char* value;
        std::string decoded;
    };
    const Case cases[] = {
        {"&lt;&gt;&amp;&quot;&apos;", "<>&\"'"},
        {"&#65;", "A"},
        {"&#x41;", "A"},
        {"&#9;", "\t"},
        {"&#xF;", "\x0F"},
        {"&#99;x", "cx"},
        {"&#x4a;", "&#x4a;"}, // lower-case hex is not a reference
        {"&zz", "&zz"},
        {"&zz;", "&zz;"},
        {"a&", "a&"},
        {"&#", "&#"},
        {"&#x", "&#x"},
        {"&#6", "&#6"},
        {"&#65", "&#65"},
        {"&#655;", "&#655;"},
        {"&#x414;", "&#x414;"},
        {"&amp", "&amp"},
        {"&&lt;", "&<"},
    };
    for (const auto& c : cases) {
        Recorder r;
        ASSERT_EQ(Parse(P + "<a v=\"" + c.value + "\"/>", r), 1) << c.value;
        EXPECT_EQ(r.trace, "start a|attr v=" + c.decoded + "|attrs a|end a") << c.value;
        // The same in text, where the appended zero is counted.
        Recorder t;
        ASSERT_EQ(Parse(P + "<a>" + c.value + "</a>", t), 1) << c.value;
        EXPECT_EQ(t.trace, "start a|attrs a|text a=" + c.decoded + "\\0|end a") << c.value;
    }
}

TEST(XmlParser, Utf8ModeFollowsTheProlog)
{
    const struct
    {
        const char* prolog;
        char flag;
    } cases[] = {
        {"<?xml version=\"1.0\" encoding=\"UTF-8\"?>", '1'},
        {"<?xml version=\"1.0\" encoding=\"utf-8\"?>", '1'},
        {"<?xml version=\"1.0\" encoding=\"Utf-8\"?>", '0'},
        {"<?xml version=\"1.0\" encoding=\"ISO-8859-1\"?>", '0'},
    };
    for (const auto& c : cases) {
        Recorder r;
        ASSERT_EQ(Parse(std::string(c.prolog) + "<a x=\"1\">t</a>", r), 1);
        EXPECT_EQ(r.utf8Flags, std::string(2, c.flag)) << c.prolog;
    }
    // In UTF-8 mode the scans step over whole sequences: text keeps its multi-byte characters.
    Recorder r;
    ASSERT_EQ(Parse("<?xml encoding=\"UTF-8\"?><a v=\"\xC3\xA9&amp;\">\xE2\x82\xAC&lt;</a>", r), 1);
    EXPECT_EQ(r.trace, "start a|attr v=\xC3\xA9&|attrs a|text a=\xE2\x82\xAC<\\0|end a");
}

TEST(XmlParser, NestingLimit)
{
    // 63 open elements fit, with one more empty element inside; a 64th open element does not.
    Recorder ok;
    EXPECT_EQ(Parse(P + Repeat("<a>", 63) + "<b/>" + Repeat("</a>", 63), ok), 1);
    EXPECT_EQ(ok.ends, 64);
    Recorder deep;
    EXPECT_EQ(Parse(P + Repeat("<a>", 64) + Repeat("</a>", 64), deep), 0);
    EXPECT_EQ(deep.ends, 0);
}

// Inputs outside the dialect: each must end quietly with the given result, with no sanitizer
// report.
TEST(XmlParser, MalformedInputs)
{
    const std::string longProlog = "<?xml" + std::string(300, ' ') + "?>";
    const TraceCase cases[] = {
        {"unterminated comment", P + "<a><!-- x --", 1, "start a|attrs a"},
        {"unterminated tag", P + "<a x=\"1\"", 1, "start a|attr x=1"},
        {"unterminated quote", P + "<a x=\"1>t</a>", 1, "start a"},
        {"unterminated closing tag", P + "<a>t</a", 1, "start a|attrs a|text a=t|end a"},
        {"lone '<' at the end", P + "<a>t<", 1, "start a|attrs a"},
        {"closing tag at depth 0", P + "</x>", 0, ""},
        {"closing tag after the root", P + "<a/></a>", 0, "start a|attrs a|end a"},
        {"100-deep nesting", P + Repeat("<a>", 100), 0, nullptr},
        {"300-byte prolog", longProlog + "<a/>", 1, "start a|attrs a|end a"},
        {"300-byte first tag without xml", "<a" + std::string(300, ' ') + "><b/>", 0, ""},
        {"unknown entity", P + "<a v=\"&zz\">&zz</a>", 1, "start a|attr v=&zz|attrs a|text a=&zz\\0|end a"},
        {"name at the very end", P + "<abc", 1, "start abc"},
        {"only '<!' at the end", P + "<!", 1, ""},
        {"UTF-8 lead byte before the end", "<?xml encoding=\"UTF-8\"?><a v=\"\xF0", 1, "start a"},
        {"UTF-8 lead byte swallows the quote", "<?xml encoding=\"UTF-8\"?><a v=\"\xC3\"/>", 1, "start a"},
        {"UTF-8 lead byte at the end of text", "<?xml encoding=\"UTF-8\"?><a>&amp;\xF0</a>", 1,
         "start a|attrs a|text a=&\xF0\\0|end a"},
        {"doctype is walked over", P + "<!DOCTYPE a><a/>", 1, "start DOCTYPE"},
    };
    for (const auto& c : cases) {
        Recorder r;
        EXPECT_EQ(Parse(c.doc, r), c.result) << c.what;
        if (c.trace) {
            EXPECT_EQ(r.trace, c.trace) << c.what;
        }
    }
}

TEST(XmlParser, EveryTruncationOfAValidFileIsSafe)
{
    const std::string doc =
        "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
        "<settings debug=\"true\" name='caf\xC3\xA9 &amp; bar'>\n"
        "  <!-- a comment -->\n"
        "  <named_object name=\"ok\"><button id=\"b1\" text=\"&#65;&#x42;\"/></named_object>\n"
        "  <string id=\"7\">Line &lt;one&gt; \xE2\x82\xAC</string>\n"
        "  <empty></empty>\n"
        "</settings>\n";
    Recorder full;
    ASSERT_EQ(Parse(doc, full), 1);
    EXPECT_EQ(full.ends, 5);
    for (size_t n = 0; n <= doc.size(); ++n) {
        Recorder r;
        const int result = Parse(doc.substr(0, n), r);
        EXPECT_EQ(result, n < doc.find('>') + 1 ? 0 : 1) << n;
        EXPECT_LE(r.ends, full.ends) << n;
    }
}

TEST(XmlParser, NullCallbacksAndEmptyInput)
{
    const std::string doc = P + "<a x=\"&amp;\">t&amp;</a>";
    EXPECT_EQ(ParseXml(doc.data(), doc.size(), nullptr, nullptr, nullptr, nullptr, nullptr, nullptr), 1);
    EXPECT_EQ(ParseXml(nullptr, 0, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr), 0);
}
