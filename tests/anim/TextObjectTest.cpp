#include "AnimRenderSupport.h"
#include "ClipTestSupport.h"
#include "anim/TextObject.h"
#include "core/FileSystem.h"
#include "core/StringTable.h"
#include "graphics/FontTestSupport.h"
#include "graphics/GraphicsDevice.h"
#include "graphics/Renderer.h"
#include "graphics/TextRender.h"
#include "platform/d3d9/RecordingDirect3D.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <memory>
#include <string>

using namespace lv::misc::anim;
using namespace lv::graphics;

namespace {

constexpr s32 kTopLeftGrowRightDown = CTextObject::AlignLeft | CTextObject::AlignTop | CTextObject::GrowRight |
                                      CTextObject::GrowDown;

// Text objects over the recording device with one frame open, and the test font "f".
class TextObjectTest : public testing::Test
{
protected:
    void SetUp() override
    {
        DeclareAnimTestImages();
        m_Log = lv::platform::InstallRecordingDirect3D();
        m_Log->WindowWidth = 1366;
        m_Log->WindowHeight = 768;
        GetGraphicsDevice().Release(false);
        m_Renderer = std::make_unique<CRenderer>();
        m_Renderer->SetHost(&m_Host);
        m_Renderer->SetSourceSize(1366, 768);
        ASSERT_TRUE(m_Renderer->SetMode(false, true, 1366, 768));
        ASSERT_TRUE(m_Renderer->BeginFrame());
        m_Fonts = std::make_unique<CFontFixture>();
        m_Font = m_Fonts->LoadOne(TestFontXml());
        ASSERT_NE(m_Font, nullptr);
        m_Log->Draws.clear();
    }
    void TearDown() override
    {
        m_Renderer.reset();
        m_Fonts.reset();
        CTextureManager::Instance().ReleaseAllDeviceTextures();
        lv::platform::SetDirect3DFactory(nullptr);
    }

    // Width of the text on one line in the test font.
    s32 MeasuredWidth(const WString& text)
    {
        CTextRender render;
        const CIntRect box(0, 0, 1000, 100);
        CPoint2i size;
        EXPECT_TRUE(render.MeasureText(m_Font, text.c_str(), &box, 0x20 | 0x100, u32(text.size()), &size));
        return size.X;
    }

    // The x coordinates of every vertex drawn since the last call, moved back by the half pixel
    // the device shifts them by.
    std::vector<float> DrawnX()
    {
        m_Renderer->Flush();
        std::vector<float> xs;
        for (const auto& draw : m_Log->Draws)
            for (size_t at = 0; at + draw.Stride <= draw.Vertices.size(); at += draw.Stride) {
                float x;
                std::memcpy(&x, draw.Vertices.data() + at, sizeof x);
                xs.push_back(x + 0.5f);
            }
        m_Log->Draws.clear();
        return xs;
    }

    CAnimTestHost m_Host;
    std::shared_ptr<lv::platform::CRecordingLog> m_Log;
    std::unique_ptr<CRenderer> m_Renderer;
    std::unique_ptr<CFontFixture> m_Fonts;
    CFont* m_Font = nullptr;
};

void ExpectTextQuad(const CQuad& actual, const CQuad& expected)
{
    for (int i = 0; i < 4; ++i) {
        EXPECT_NEAR(actual.Corners[i].X, expected.Corners[i].X, 1e-3) << i;
        EXPECT_NEAR(actual.Corners[i].Y, expected.Corners[i].Y, 1e-3) << i;
    }
}

TEST_F(TextObjectTest, RenderFlagsAndDefaults)
{
    CTextObject text;
    EXPECT_EQ(text.GetTextFlags(), 0x1492);
    EXPECT_EQ(text.GetRenderFlags(), 0x40 | 0x200 | 0x8);
    EXPECT_EQ(text.GetInsets().X, 5);
    text.SetTextFlags(kTopLeftGrowRightDown);
    EXPECT_EQ(text.GetRenderFlags(), 0x20 | 0x100);
    EXPECT_STREQ(text.GetTypeName(), "text");
    EXPECT_TRUE(text.GetFontName().IsEmpty());
}

// The text needs twice its bounds' width: the shape doubles to the right, its key frames too,
// and the position keeps its place a quarter of the way across.
TEST_F(TextObjectTest, LongerTextGrowsShapeAndKeyFramesFromTheAnchoredEdge)
{
    const WString line = u"abcdefgh";
    const float half = MeasuredWidth(line) / 2.0f;
    const std::string corners = "-10 -6 30 -6 30 6 -10 6";
    const CTestClips clips("<Clip id=\"c\" w=\"100\" h=\"100\"><text id=\"t\" p=\"100 50\" py=\"" + corners +
                           "\" tx_fl=\"" + std::to_string(kTopLeftGrowRightDown) + "\" bnd=\"0 0 " +
                           std::to_string(half) + " 40\" vis=\"true\"><kp t=\"0\" p=\"100 50\" py=\"" + corners +
                           "\"/><kp t=\"100\" p=\"200 50\" py=\"" + corners + "\"/></text></Clip>");
    CTextObject text;
    text.LoadFromDefinition(clips.Item("c"), nullptr);
    EXPECT_EQ(text.GetBounds().Width, half);
    text.SetFont(m_Font);
    text.SetText(line);
    EXPECT_NEAR(text.GetBounds().Width, 2 * half, 1e-3);
    EXPECT_EQ(text.GetBounds().Height, 40);
    const CQuad grown(-20, -6, 80, 12);
    ExpectTextQuad(text.GetCorners(), grown);
    EXPECT_NEAR(text.GetPosition().X, 110, 1e-3);
    EXPECT_NEAR(text.GetPosition().Y, 50, 1e-3);
    ASSERT_EQ(text.GetKeyPointCount(), 2u);
    ExpectTextQuad(text.GetKeyPoints()[1].Corners, grown);
    EXPECT_NEAR(text.GetKeyPoints()[1].Position.X, 210, 1e-3);
    // The definition's key points stay as they were.
    EXPECT_EQ(clips.Item("c").GetKeyPoints()[1].Corners.Corners[0], CVector2(-10, -6));
}

TEST_F(TextObjectTest, ShorterTextNeverShrinksTheBox)
{
    CTextObject text;
    text.SetTextFlags(kTopLeftGrowRightDown);
    text.SetBounds(CFloatRect(0, 0, 200, 40), false);
    text.SetCorners(CQuad(0, 0, 200, 40));
    text.SetFont(m_Font);
    text.SetText(u"ab");
    EXPECT_EQ(text.GetBounds().Width, 200);
    EXPECT_EQ(text.GetBounds().Height, 40);
    ExpectTextQuad(text.GetCorners(), CQuad(0, 0, 200, 40));
    text.SetText(u"");
    EXPECT_EQ(text.GetBounds().Width, 200);
}

TEST_F(TextObjectTest, WrappedTextGrowsToTheBottomOfItsLastCharacter)
{
    const WString words = u"ab cd ef gh ij";
    const s32 flags = kTopLeftGrowRightDown | CTextObject::WordWrap;
    CTextObject text;
    text.SetTextFlags(flags);
    text.SetBounds(CFloatRect(0, 0, 30, 12), false);
    text.SetCorners(CQuad(0, 0, 30, 12));
    text.SetFont(m_Font);
    text.SetText(words);
    CTextRender render;
    const CIntRect box(0, 0, 30, 12);
    CIntRect last;
    ASSERT_TRUE(render.GetCharRect(m_Font, words.c_str(), &box, u32(text.GetRenderFlags()), u32(words.size()),
                                   s32(words.size() - 1), &last));
    ASSERT_GT(last.Y + last.Height, 12);
    EXPECT_EQ(text.GetBounds().Width, 30);
    EXPECT_EQ(text.GetBounds().Height, last.Y + last.Height);
    EXPECT_NEAR(text.GetCorners().Corners[2].Y, last.Y + last.Height, 1e-3);
}

TEST_F(TextObjectTest, StringReferencesAreShownAndClearTheKey)
{
    CTempFolder folder;
    CFontWorkingFolder cwd(folder.Path());
    folder.Write("properties/strings.xml",
                 "<?xml version=\"1.0\" encoding=\"utf-8\"?>\n<strings>\n<s id=\"12\">twelve</s>\n</strings>\n");
    lv::core::CFileSystem files("");
    auto& table = lv::core::CStringTable::Instance();
    table.Load(files);
    CTextObject text;
    text.SetTextKey("$12 keys");
    EXPECT_EQ(text.GetText(), u"twelve keys");
    EXPECT_EQ(text.GetTextKey(), "$12 keys");
    text.SetText(u"$12");
    EXPECT_EQ(text.GetText(), u"twelve");
    EXPECT_TRUE(text.GetTextKey().empty());
    table.Release();
}

TEST_F(TextObjectTest, WithoutAFontOnlyTheBackgroundIsDrawn)
{
    CTextObject text;
    text.SetBounds(CFloatRect(0, 0, 100, 20), false);
    text.SetCorners(CQuad(0, 0, 100, 20));
    text.DoSetPosition(CVector2(200, 100));
    text.SetText(u"abc");
    text.Draw(*m_Renderer);
    EXPECT_TRUE(DrawnX().empty());
    text.SetBackgroundImageByName("pic");
    ASSERT_NE(text.GetBackgroundImage(), nullptr);
    EXPECT_STREQ(text.GetBackgroundImageName().GetText(), "pic");
    text.Draw(*m_Renderer);
    const std::vector<float> xs = DrawnX();
    ASSERT_FALSE(xs.empty());
    // The background reaches the insets beyond the bounds: 5 units either side.
    EXPECT_NEAR(*std::min_element(xs.begin(), xs.end()), 195, 1e-3);
    EXPECT_NEAR(*std::max_element(xs.begin(), xs.end()), 305, 1e-3);
    text.SetBackgroundImageByName("no_such_image");
    EXPECT_EQ(text.GetBackgroundImage(), nullptr);
}

TEST_F(TextObjectTest, FlipMirrorsTheTextInsideTheShape)
{
    CTextObject text;
    text.SetTextFlags(kTopLeftGrowRightDown);
    text.SetBounds(CFloatRect(0, 0, 100, 20), false);
    text.SetCorners(CQuad(0, 0, 100, 20));
    text.DoSetPosition(CVector2(200, 100));
    text.SetFont(m_Font);
    text.SetText(u"a");
    text.Draw(*m_Renderer);
    std::vector<float> xs = DrawnX();
    ASSERT_FALSE(xs.empty());
    EXPECT_NEAR(*std::min_element(xs.begin(), xs.end()), 200, 1e-3);
    EXPECT_LT(*std::max_element(xs.begin(), xs.end()), 210);
    text.SetFlipFlags(1);
    text.Draw(*m_Renderer);
    xs = DrawnX();
    ASSERT_FALSE(xs.empty());
    EXPECT_NEAR(*std::max_element(xs.begin(), xs.end()), 300, 1e-3);
    EXPECT_GT(*std::min_element(xs.begin(), xs.end()), 290);
}

// Bounds without extent have no scale: nothing is drawn and fitting keeps the shape's size.
TEST_F(TextObjectTest, ZeroBoundsDrawNothingAndFitWithUnitScale)
{
    for (const CFloatRect& bounds : {CFloatRect(0, 0, 0, 20), CFloatRect(0, 0, 100, 0)}) {
        CTextObject text;
        text.SetBounds(bounds, false);
        text.SetCorners(CQuad(0, 0, 100, 20));
        text.SetBackgroundImageByName("pic");
        text.SetFont(m_Font);
        text.Draw(*m_Renderer);
        EXPECT_TRUE(DrawnX().empty());
    }
    CTextObject flat;
    flat.SetTextFlags(kTopLeftGrowRightDown);
    flat.SetBounds(CFloatRect(0, 0, 50, 20), false);
    flat.SetCorners(CQuad(0, 0, 0, 10));
    flat.ResetGeometry();
    ExpectTextQuad(flat.GetCorners(), CQuad(0, 0, 0, 20));
}

TEST(TextObjectFit, AnchorsOnEachSide)
{
    const struct
    {
        s32 flags;
        CQuad expected;
    } cases[] = {{CTextObject::GrowRight | CTextObject::GrowDown, CQuad(-10, -5, 40, 20)},
                 {CTextObject::GrowLeft | CTextObject::GrowUp, CQuad(-30, -15, 40, 20)},
                 {CTextObject::GrowBothWays | CTextObject::GrowUpAndDown, CQuad(-20, -10, 40, 20)},
                 {0, CQuad(-10, -5, 20, 10)}};
    for (const auto& c : cases) {
        CBoundingQuad quad(CVector2(0, 0), CQuad(-10, -5, 20, 10), 0);
        FitBoundingQuad(quad, 2, 2, c.flags);
        // The screen shape is the expected one, the position at the same relative place.
        CQuad screen = quad.GetCorners();
        for (int i = 0; i < 4; ++i) {
            EXPECT_NEAR(screen.Corners[i].X, c.expected.Corners[i].X, 1e-3) << c.flags;
            EXPECT_NEAR(screen.Corners[i].Y, c.expected.Corners[i].Y, 1e-3) << c.flags;
        }
        CVector2 uv;
        quad.ToUV(uv, quad.Position);
        EXPECT_NEAR(uv.X, 0.5f, 1e-3) << c.flags;
        EXPECT_NEAR(uv.Y, 0.5f, 1e-3) << c.flags;
    }
}

} // namespace
