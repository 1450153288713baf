#include "graphics/Font.h"

#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "FontTestSupport.h"
#include "LogCapture.h"
#include "content/FontImageWriter.h"

using namespace lv::graphics;

namespace {

const char* kFontsXml = "<?xml version=\"1.0\"?><fonts><font id=\"f\" image=\"fnt\" file=\"fonts\\f.xml\" "
                        "color=\"-16711936\"/></fonts>";

std::vector<u8> BlockBytes(const CFont& font)
{
    const u8* p = reinterpret_cast<const u8*>(font.block);
    return std::vector<u8>(p, p + font.block->size);
}

// The compiled block of a font XML, as the tool writes it (texture 100 x 100).
struct CCompiled
{
    std::vector<u8> bytes;
    explicit CCompiled(const std::string& xml) : bytes(lv::content::CompileFontImage(xml, 100, 100)) {}
    const FontHeader& Header() const { return *reinterpret_cast<const FontHeader*>(bytes.data()); }
    const FontGlyph* Glyph(u16 code) const { return FindFontGlyph(&Header(), code); }
};

std::string Font(const std::string& attributes, const std::string& body)
{
    return "<?xml version=\"1.0\"?><font " + attributes + ">" + body + "</font>";
}

} // namespace

TEST(Font, ManagerBlockIsByteIdenticalToTheTool)
{
    CFontFixture fixture;
    const std::string xml = TestFontXml("<Pair Chars=\"AV\" Value=\"-2\"/>");
    fixture.Write("fonts/f.xml", xml);
    EXPECT_EQ(fixture.Load(kFontsXml), 1);
    const CFont* font = fixture.Manager().FindFont("f");
    ASSERT_NE(font, nullptr);
    EXPECT_EQ(font->colour.ToArgb(), 0xFF00FF00u);
    EXPECT_EQ(font->pixelHeight, 10);
    EXPECT_EQ(font->baseline, 8);
    EXPECT_EQ(font->image, &fixture.Image());
    EXPECT_EQ(BlockBytes(*font), lv::content::CompileFontImage(xml, 512, 16));

    // The tool's file, and the manager's own writer, give the same bytes.
    ASSERT_TRUE(lv::content::WriteFontImage("fonts/f.xml", 512, 16, "tool.bindump"));
    const std::string tool = fixture.Read("tool.bindump");
    EXPECT_EQ(std::vector<u8>(tool.begin(), tool.end()), BlockBytes(*font));
    fixture.Manager().SaveBindumps();
    const std::string saved = fixture.Read("fonts/f.xml.bindump");
    EXPECT_EQ(std::vector<u8>(saved.begin(), saved.end()), BlockBytes(*font));
}

TEST(Font, SoundBindumpIsReadInsteadOfTheXml)
{
    CFontFixture fixture;
    const std::vector<u8> image = lv::content::CompileFontImage(TestFontXml("", "Space=\"9\""), 512, 16);
    fixture.Write("fonts/f.xml.bindump", std::string(image.begin(), image.end()));
    fixture.Write("fonts/f.xml", TestFontXml());
    CScratchLogCapture log;
    fixture.Load(kFontsXml);
    const CFont* font = fixture.Manager().FindFont("f");
    ASSERT_NE(font, nullptr);
    EXPECT_EQ(font->space, 9);
    EXPECT_FALSE(log.Contains("corrupted"));
}

TEST(Font, CorruptBindumpTakesTheBoxAndTheXml)
{
    const std::vector<u8> good = lv::content::CompileFontImage(
        TestFontXml("<Pair Chars=\"AV\" Value=\"-2\"/>", "Space=\"9\""), 512, 16);
    const auto word = [](std::vector<u8>& b, size_t at, u32 v) { std::memcpy(b.data() + at, &v, 4); };
    const u32 count = reinterpret_cast<const FontHeader*>(good.data())->glyphCount;
    // The glyph of 'V' is the one with kerning.
    size_t v = 0;
    for (u32 i = 0; i < count; ++i)
        if (good[48 + i * 36] == 'V')
            v = 48 + i * 36;
    ASSERT_NE(v, 0u);
    struct Case
    {
        const char* what;
        std::vector<u8> bytes;
    };
    std::vector<Case> cases;
    cases.push_back({"size field one too large", good});
    word(cases.back().bytes, 4, static_cast<u32>(good.size() + 1));
    cases.push_back({"wrong magic", good});
    cases.back().bytes[3] = 1;
    cases.push_back({"glyph count past the size", good});
    word(cases.back().bytes, 44, count + 1000);
    cases.push_back({"kerning run past the size", good});
    word(cases.back().bytes, v + 28, 1000);
    cases.push_back({"kerning run inside the glyph table", good});
    word(cases.back().bytes, v + 32, 48);
    cases.push_back({"truncated header", std::vector<u8>(good.begin(), good.begin() + 20)});
    for (const Case& c : cases) {
        CFontFixture fixture;
        fixture.Write("fonts/f.xml.bindump", std::string(c.bytes.begin(), c.bytes.end()));
        fixture.Write("fonts/f.xml", TestFontXml());
        CScratchLogCapture log;
        fixture.Load(kFontsXml);
        EXPECT_TRUE(log.Contains("[message][1]: caption: Error"));
        EXPECT_TRUE(log.Contains("message: 'fonts/f.xml.bindump' has wrong format version or is corrupted."))
            << c.what;
        const CFont* font = fixture.Manager().FindFont("f");
        ASSERT_NE(font, nullptr) << c.what;
        EXPECT_EQ(font->space, 4) << c.what; // from the XML
    }
}

TEST(Font, LanguageCopyOfTheXmlIgnoresTheBindump)
{
    CFontFixture fixture("de");
    const std::vector<u8> image = lv::content::CompileFontImage(TestFontXml("", "Space=\"9\""), 512, 16);
    fixture.Write("fonts/f.xml.bindump", std::string(image.begin(), image.end()));
    fixture.Write("fonts/f.xml", TestFontXml("", "Space=\"7\""));
    fixture.Write("!langs/de/fonts/f.xml", TestFontXml("", "Space=\"6\""));
    fixture.Load(kFontsXml);
    ASSERT_NE(fixture.Manager().FindFont("f"), nullptr);
    EXPECT_EQ(fixture.Manager().FindFont("f")->space, 6);
}

TEST(Font, FontsOnOneFileShareTheBlock)
{
    CFontFixture fixture;
    fixture.Write("fonts/f.xml", TestFontXml());
    EXPECT_EQ(fixture.Load("<?xml version=\"1.0\"?><fonts><font id=\"a\" image=\"fnt\" file=\"fonts/f.xml\"/>"
                           "<group id=\"g\"><font id=\"b\" image=\"fnt\" file=\"fonts\\f.xml\"/></group>"
                           "<font id=\"c\" image=\"nope\" file=\"fonts/f.xml\"/></fonts>"),
              3);
    const CFont* a = fixture.Manager().FindFont("a");
    const CFont* b = fixture.Manager().FindFont("b");
    ASSERT_TRUE(a && b);
    EXPECT_EQ(a->block, b->block);
    EXPECT_EQ(fixture.Manager().FindFont("c"), nullptr);
    EXPECT_EQ(fixture.Manager().GetResourceCount(), 2u);
}

TEST(Font, MissingImageFileAndTexture)
{
    CFontFixture fixture;
    CScratchLogCapture log;
    fixture.Load("<?xml version=\"1.0\"?><fonts><font id=\"x\" image=\"nope\" file=\"fonts/f.xml\"/>"
                 "<font id=\"y\" image=\"fnt\" file=\"fonts/missing.xml\"/></fonts>");
    EXPECT_TRUE(log.Contains("[font][3]: Cannot find 'x' font's texture 'nope'"));
    EXPECT_TRUE(log.Contains("[font][3]: Cannot find 'y' font's properties file 'fonts/missing.xml'"));
    EXPECT_EQ(fixture.Manager().FindFont("x"), nullptr);
    EXPECT_EQ(fixture.Manager().FindFont("y"), nullptr);
    EXPECT_EQ(fixture.Manager().FindFont(nullptr), nullptr);

    fixture.Image().Release();
    fixture.Image().SetTexture(nullptr);
    CScratchLogCapture second;
    EXPECT_EQ(fixture.LoadOne(TestFontXml()), nullptr);
    EXPECT_TRUE(second.Contains("[font][3]: Font 'f' has no texture"));
}

TEST(Font, ParsingExamples)
{
    // No "Version": glyphs one pixel taller than their rect; version 2 as written.
    EXPECT_EQ(CCompiled(Font("", "<char code=\"a\" rect=\"1 2 5 9\"/>")).Glyph('a')->height, 8);
    EXPECT_EQ(CCompiled(Font("Version=\"2\"", "<Char Code=\"a\" Rect=\"1 2 5 9\"/>")).Glyph('a')->height, 7);
    // "010" is octal for Padding and Rect, decimal elsewhere.
    const CCompiled octal(Font("Padding=\"010 0x10 1 2\" Space=\"010\" PixHeight=\"030\" Baseline=\"4\"",
                               "<Char Code=\"b\" Rect=\"010 1 020 5\" Width=\"7.9\" TopOffset=\"258\"/>"));
    EXPECT_EQ(octal.Header().padLeft, 8);
    EXPECT_EQ(octal.Header().padTop, 16);
    EXPECT_EQ(octal.Header().padRight, 1);
    EXPECT_EQ(octal.Header().padBottom, 2);
    EXPECT_EQ(octal.Header().space, 10);
    EXPECT_EQ(octal.Header().pixelHeight, 30 - 18);
    EXPECT_EQ(octal.Header().baseline, 12 - 4);
    const FontGlyph* b = octal.Glyph('b');
    ASSERT_NE(b, nullptr);
    EXPECT_EQ(b->x, 8);
    EXPECT_EQ(b->width, 8);
    EXPECT_EQ(b->advance, 7);
    EXPECT_EQ(b->topOffset, 2); // low byte
    EXPECT_FLOAT_EQ(b->uLeft, 0.08f);
    EXPECT_FLOAT_EQ(b->uRight, 0.16f);
    // PixHeight before Padding is not reduced.
    EXPECT_EQ(CCompiled(Font("PixHeight=\"20\" Padding=\"1 2 3 4\"", "")).Header().pixelHeight, 20);
    // Missing rect values: x1, y1 keep the previous char's, x2, y2 count as 0; other attributes
    // carry over from the previous char.
    const CCompiled carry(Font("Version=\"2\"", "<Char Code=\"a\" Rect=\"3 4 9 14\" Width=\"6\"/>"
                                                "<Char Code=\"c\" Rect=\"\"/>"));
    EXPECT_EQ(carry.Glyph('c')->x, 3);
    EXPECT_EQ(carry.Glyph('c')->width, -3);
    EXPECT_EQ(carry.Glyph('c')->advance, 6);
}

TEST(Font, SyntheticSpaceAndNewlineAndPairs)
{
    const CCompiled font(
        Font("Version=\"2\" Space=\"6\"",
             "<Char Code=\" \" Rect=\"1 1 5 5\" Width=\"9\"/><Char Code=\"A\" Rect=\"0 0 4 4\" "
             "Width=\"5\"/><Char Code=\"V\" Width=\"5\"/>"
             "<Pair Chars=\"A\" Value=\"-9\"/><Pair Chars=\"AVx\" Value=\"-3\"/>"
             "<Pair Chars=\"A \" Value=\"-4\"/><Pair Chars=\"AVx\" Value=\"-7\"/>"));
    const FontGlyph* space = font.Glyph(' ');
    ASSERT_NE(space, nullptr);
    EXPECT_EQ(space->advance, 6);
    EXPECT_EQ(space->width, 0);
    EXPECT_EQ(space->pairCount, 0u);
    EXPECT_EQ(font.Glyph('\n')->advance, 0);
    const FontGlyph* v = font.Glyph('V');
    ASSERT_EQ(v->pairCount, 1u);
    EXPECT_EQ(FindFontKerning(&font.Header(), v, 'A'), -3); // the first of a repeated entry
    // Glyphs \n, space, A, V; two counted entries ("AVx", "A "), one of them stored.
    EXPECT_EQ(font.Header().glyphCount, 4u);
    EXPECT_EQ(font.bytes.size(), 48u + 4 * 36 + 2 * 4);
    EXPECT_EQ(font.Header().size, font.bytes.size());
    EXPECT_TRUE(IsValidFontBlock(font.bytes.data(), static_cast<u32>(font.bytes.size())));
}

TEST(Font, TextWidthAndLookups)
{
    CFontFixture fixture;
    const CFont* font = fixture.LoadOne(TestFontXml("<Pair Chars=\"AV\" Value=\"-2\"/>"));
    ASSERT_NE(font, nullptr);
    EXPECT_EQ(font->GetTextWidth(u"AV"), 5 + 5 + 2 * 1 - 2);
    EXPECT_EQ(font->GetTextWidth(u"VA"), 12);
    EXPECT_EQ(font->GetTextWidth(u"A\nA\x4E00"), 6 + 1 + 6); // newline: zero advance plus the gap
    EXPECT_EQ(font->GetTextWidth(u""), 0);
    EXPECT_EQ(font->FindGlyph(0x4E00), nullptr);
    const FontGlyph* empty = font->GetGlyphOrEmpty(0x4E00);
    EXPECT_EQ(empty->advance, 0);
    EXPECT_EQ(empty->pairCount, 0u);
    EXPECT_EQ(font->GetKerning(font->FindGlyph('V'), 'A'), -2);
    EXPECT_EQ(font->GetKerning(font->FindGlyph('V'), 'B'), 0);

    // A one-glyph table finds its glyph and nothing else.
    struct
    {
        FontHeader header;
        FontGlyph glyph;
    } one{};
    one.header = FontHeader{kFontMagic, sizeof one, 0, 0, 0, 0, 0, 0, 0, 0, 0, 1};
    one.glyph.code = 'q';
    EXPECT_EQ(FindFontGlyph(&one.header, 'q'), &one.glyph);
    EXPECT_EQ(FindFontGlyph(&one.header, 'p'), nullptr);
    EXPECT_EQ(FindFontGlyph(&one.header, 'r'), nullptr);
}
