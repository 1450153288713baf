#include "graphics/TextRender.h"

#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "FontTestSupport.h"
#include "LogCapture.h"
#include "graphics/GraphicsDevice.h"
#include "graphics/Renderer.h"
#include "graphics/RendererHost.h"
#include "graphics/TextureManager.h"
#include "platform/d3d9/RecordingDirect3D.h"

using namespace lv::graphics;

namespace {

class CHost final : public CRendererHost
{
public:
    HWND GetWindowHandle() override { return nullptr; }
    void GetClientSize(s32& w, s32& h) override
    {
        w = 1366;
        h = 768;
    }
    bool GetDesktopSize(s32& w, s32& h) override
    {
        GetClientSize(w, h);
        return true;
    }
    bool SetScreenMode(bool, bool, s32, s32) override { return true; }
    void GetRequestedWindowSize(s32& w, s32& h) override { GetClientSize(w, h); }
    void SetScreenArea(const CFloatRect&, const CVector2&) override {}
};

// Top-left corner and colour of a drawn glyph quad.
struct CQuadSeen
{
    float x, y;
    u32 colour;
};

// The test font (letters advance 5 + symbol gap 1, space 4 + 1, lines 12 apart, cells 10 high)
// over the recording device, design size = back buffer, one frame open.
class TextRenderTest : public testing::Test
{
protected:
    void SetUp() override
    {
        m_Log = lv::platform::InstallRecordingDirect3D();
        m_Log->WindowWidth = 1366;
        m_Log->WindowHeight = 768;
        GetGraphicsDevice().Release(false);
        m_Renderer = std::make_unique<CRenderer>();
        m_Renderer->SetHost(&m_Host);
        m_Renderer->SetSourceSize(1366, 768);
        ASSERT_TRUE(m_Renderer->SetMode(false, true, 1366, 768));
        ASSERT_TRUE(m_Renderer->BeginFrame());
        CTexture* texture = CTextureManager::Instance().CreateTexture(512, 16);
        ASSERT_NE(texture, nullptr);
        m_Fonts = std::make_unique<CFontFixture>("", texture);
        m_Font = m_Fonts->LoadOne(TestFontXml("<Pair Chars=\"xy\" Value=\"-20\"/>"));
        ASSERT_NE(m_Font, nullptr);
        m_Log->Take();
        m_Log->Draws.clear();
    }
    void TearDown() override
    {
        m_Fonts.reset();
        m_Renderer.reset();
        lv::platform::SetDirect3DFactory(nullptr);
    }

    CTextRender& Text() { return m_Renderer->GetTextRenderer(); }

    // Glyph quads drawn (textured triangle lists, six vertices each), in order.
    std::vector<CQuadSeen> Glyphs()
    {
        m_Renderer->Flush();
        std::vector<CQuadSeen> out;
        for (const auto& d : m_Log->Draws) {
            const auto* v = reinterpret_cast<const CVertex*>(d.Vertices.data());
            const size_t n = d.Vertices.size() / sizeof(CVertex);
            if (d.Type != D3DPT_TRIANGLELIST || n % 6 != 0 || (n > 0 && v[1].u == 0 && v[5].v == 0))
                continue;
            for (size_t i = 0; i < n; i += 6)
                out.push_back({v[i].x + 0.5f, v[i].y + 0.5f, v[i].diffuse});
        }
        m_Log->Draws.clear();
        return out;
    }
    CIntRect CharRect(const char16_t* text, s32 index, const CIntRect& box, u32 flags = 0)
    {
        CIntRect out(-1, -1, -1, -1);
        EXPECT_TRUE(Text().GetCharRect(m_Font, text, &box, flags, 0, index, &out)) << index;
        return out;
    }

    CHost m_Host;
    std::shared_ptr<lv::platform::CRecordingLog> m_Log;
    std::unique_ptr<CRenderer> m_Renderer;
    std::unique_ptr<CFontFixture> m_Fonts;
    CFont* m_Font = nullptr;
};

} // namespace

TEST_F(TextRenderTest, ContradictingFlagsAndNullTextFail)
{
    CScratchLogCapture log;
    const CIntRect box(0, 0, 100, 100);
    CPoint2i size;
    EXPECT_FALSE(Text().MeasureText(m_Font, nullptr, &box, 0, 0, &size));
    EXPECT_TRUE(log.Contains("[graphics][3]: CTextRender::RenderText - invalid string pointer"));
    EXPECT_FALSE(m_Renderer->RenderText(m_Font, u"ab", box, 0x40 | 0x80, 0, CColor(), CColor(0u), CColor(0u),
                                        CColor(0u), -1, -1));
    EXPECT_TRUE(log.Contains("[graphics][2]: Invalid horizontal text alignment"));
    EXPECT_FALSE(m_Renderer->RenderText(m_Font, u"ab", box, 0x200 | 0x400, 0, CColor(), CColor(0u),
                                        CColor(0u), CColor(0u), -1, -1));
    EXPECT_TRUE(log.Contains("[graphics][2]: Invalid vertical text alignment"));
    EXPECT_FALSE(m_Renderer->RenderText(m_Font, u"ab", box, 0x8 | 0x4, 0, CColor(), CColor(0u), CColor(0u),
                                        CColor(0u), -1, -1));
    EXPECT_TRUE(log.Contains("[graphics][2]: Invalid text wrapping flags"));
    EXPECT_TRUE(Glyphs().empty());

    // Plain layout drops alignment and wrapping: left, one line.
    u32 flags = 0x1 | 0x40 | 0x8;
    u32 length = 0;
    EXPECT_TRUE(CTextRender::CheckTextArgs(u"ab cd", flags, length));
    EXPECT_EQ(flags, 0x1u | 0x2u | 0x20u | 0x100u);
    EXPECT_EQ(length, 5u);
    EXPECT_EQ(CharRect(u"ab cd", 3, CIntRect(0, 0, 10, 100), 0x1 | 0x40 | 0x8), CIntRect(17, 0, 5, 10));
}

TEST_F(TextRenderTest, WordWrap)
{
    const CIntRect box(100, 50, 20, 200);
    // Breaking at a space consumes it: it stays visited at the end of the first line.
    EXPECT_EQ(CharRect(u"ab cd", 2, box, 0x8), CIntRect(112, 50, 4, 10));
    EXPECT_EQ(CharRect(u"ab cd", 3, box, 0x8), CIntRect(100, 62, 5, 10));
    // A word wider than the box gets its own line, including the unit that reached the width.
    EXPECT_EQ(CharRect(u"ab cdefgh", 6, box, 0x8), CIntRect(118, 62, 5, 10));
    EXPECT_EQ(CharRect(u"ab cdefgh", 7, box, 0x8), CIntRect(100, 74, 5, 10));
    // Centring uses the width without the break space.
    EXPECT_EQ(CharRect(u"ab cd", 0, box, 0x8 | 0x40), CIntRect(104, 50, 5, 10));
    EXPECT_EQ(CharRect(u"ab cd", 3, box, 0x8 | 0x40), CIntRect(104, 62, 5, 10));
    // A line break starts a new line; right alignment.
    EXPECT_EQ(CharRect(u"a\nbc", 2, CIntRect(0, 0, 40, 100), 0x80), CIntRect(28, 12, 5, 10));
}

TEST_F(TextRenderTest, Justification)
{
    // Two words: nothing added.
    EXPECT_EQ(CharRect(u"ab cd", 3, CIntRect(0, 0, 60, 100), 0x800).X, 17);
    // Three words share the rest: (60 - 46) / 2 per space.
    EXPECT_EQ(CharRect(u"ab cd ef", 3, CIntRect(0, 0, 60, 100), 0x800).X, 24);
    EXPECT_EQ(CharRect(u"ab cd ef", 6, CIntRect(0, 0, 60, 100), 0x800).X, 48);
    // Wider than the box: no extra space.
    EXPECT_EQ(CharRect(u"ab cd ef", 6, CIntRect(0, 0, 40, 100), 0x800).X, 34);
}

TEST_F(TextRenderTest, VerticalAlignment)
{
    const CIntRect box(0, 0, 100, 100);
    EXPECT_EQ(CharRect(u"ab", 0, box, 0x400).Y, 88);
    EXPECT_EQ(CharRect(u"ab\n", 0, box, 0x400).Y, 76); // one more, empty line
    EXPECT_EQ(CharRect(u"ab", 0, box, 0x200).Y, 44);
    // Taller than the box: starts at the top.
    EXPECT_EQ(CharRect(u"a\nb\nc", 0, CIntRect(0, 0, 100, 20), 0x200).Y, 0);
}

TEST_F(TextRenderTest, MeasureCharRectAndHitTest)
{
    const CIntRect box(10, 20, 15, 100);
    CPoint2i size;
    EXPECT_TRUE(Text().MeasureText(m_Font, u"ab\nabcd", &box, 0x40 | 0x8, 0, &size));
    EXPECT_EQ(size, CPoint2i(24, 22));

    CIntRect out;
    EXPECT_FALSE(Text().GetCharRect(m_Font, u"ab", &box, 0, 0, 2, &out));
    EXPECT_TRUE(Text().GetCharRect(m_Font, u"", &box, 0, 0, 0, &out));
    EXPECT_EQ(out, CIntRect(10, 20, 0, 0));

    struct Case
    {
        CVector2 point;
        bool exact;
        s32 index;
        bool leftHalf;
    };
    const Case cases[] = {
        {CVector2(-5, 5), false, 0, true},    // left of the first character
        {CVector2(8, 5), false, 1, false},    // inside b's span, right half
        {CVector2(40, 5), false, 1, false},   // right of the last: nearest
        {CVector2(5, 100), false, -1, false}, // below the last line
        {CVector2(-5, 5), true, -1, false},   {CVector2(7, 2), true, 1, true},
    };
    for (const Case& c : cases) {
        s32 index = 99;
        bool left = false, upper = false;
        EXPECT_TRUE(Text().HitTest(m_Font, u"ab", &box, 0, 0, &c.point, c.exact, &index, &left, &upper));
        EXPECT_EQ(index, c.index) << c.point.X << "," << c.point.Y;
        if (c.index >= 0) {
            EXPECT_EQ(left, c.leftHalf) << c.point.X;
        }
    }
}

TEST_F(TextRenderTest, NegativeKerningNeverMovesThePenLeftOfTheBox)
{
    // x then y with the pair {x, y, -20}: the pen would go to 6 - 20.
    m_Renderer->RenderText(m_Font, u"xy", CIntRect(100, 10, 300, 100), 0, 0, CColor(), CColor(0u), CColor(0u),
                           CColor(0u), -1, -1);
    const std::vector<CQuadSeen> glyphs = Glyphs();
    ASSERT_EQ(glyphs.size(), 2u);
    EXPECT_FLOAT_EQ(glyphs[1].x, 100);
    // A line made narrower by kerning does not overflow a wrap box.
    EXPECT_EQ(CharRect(u"xyz", 2, CIntRect(0, 0, 10, 100), 0x8), CIntRect(6, 0, 5, 10));
}

TEST_F(TextRenderTest, ColoursSelectionAndLines)
{
    m_Renderer->SetColor(CColor(0xFF808080u));
    m_Renderer->RenderText(m_Font, u"abc", CIntRect(0, 0, 300, 100), 0x1000, 0, CColor(0xFFFF0000u),
                           CColor(0u), CColor(0xFF00FF00u), CColor(0u), -1, -1);
    std::vector<CQuadSeen> glyphs = Glyphs();
    ASSERT_EQ(glyphs.size(), 3u);
    for (const CQuadSeen& g : glyphs)
        EXPECT_EQ(g.colour, 0xFF800000u);
    EXPECT_FALSE(m_Log->Matching("DrawPrimitiveUP(2").empty()); // the underline

    m_Renderer->SetColor(CColor());
    m_Log->Take();
    m_Renderer->RenderText(m_Font, u"abc", CIntRect(0, 0, 300, 100), 0, 0, CColor(0xFFFF0000u), CColor(0u),
                           CColor(0xFF00FF00u), CColor(0xFF0000FFu), 1, 2);
    glyphs = Glyphs();
    ASSERT_EQ(glyphs.size(), 3u);
    EXPECT_EQ(glyphs[0].colour, 0xFFFF0000u);
    EXPECT_EQ(glyphs[1].colour, 0xFF00FF00u);
    EXPECT_EQ(glyphs[2].colour, 0xFF00FF00u);
}

TEST_F(TextRenderTest, DrawTextAtAnchors)
{
    struct Case
    {
        s32 h, v;
        float x, y; // of the first glyph for "ab" (12 wide, lines 12 apart) anchored at (200, 300)
    };
    const Case cases[] = {{0, 0, 194, 294}, {1, 1, 188, 288}, {-1, -1, 200, 300}};
    for (const Case& c : cases) {
        m_Renderer->DrawTextAt(m_Font, u"ab", 200, 300, c.h, c.v, 2.0f, CColor(), CColor(0u));
        const std::vector<CQuadSeen> glyphs = Glyphs();
        ASSERT_EQ(glyphs.size(), 2u) << c.h;
        EXPECT_FLOAT_EQ(glyphs[0].x, c.x) << c.h;
        EXPECT_FLOAT_EQ(glyphs[0].y, c.y) << c.h;
    }
    m_Renderer->DrawTextAtString(m_Font, WString(), 0, 0, -1, -1, 1, CColor(), CColor(0u));
    m_Renderer->DrawTextAt(nullptr, u"ab", 0, 0, -1, -1, 1, CColor(), CColor(0u));
    EXPECT_TRUE(Glyphs().empty());
}

TEST_F(TextRenderTest, DamagedFontMetricsLayOutWithoutOverflow)
{
    // Metrics no real font has are held to 32767, so lines and cells never overflow (UBSan).
    std::string xml = TestFontXml();
    xml.replace(xml.find("PixHeight=\"10\""), 14, "PixHeight=\"2147483000\"");
    CFontFixture fonts("", CTextureManager::Instance().CreateTexture(512, 16));
    const CFont* tall = fonts.LoadOne(xml);
    ASSERT_NE(tall, nullptr);
    EXPECT_EQ(tall->pixelHeight, 32767);
    const CIntRect box(0, 0, 100, 100);
    CPoint2i size;
    EXPECT_TRUE(Text().MeasureText(tall, u"a\nb", &box, 0, 0, &size));
    EXPECT_EQ(size.Y, 32767 + 2 + 32767);
}
