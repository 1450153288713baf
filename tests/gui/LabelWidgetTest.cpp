#include "gui/LabelWidget.h"

#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "core/FileSystem.h"
#include "core/Matrix3.h"
#include "core/Settings.h"
#include "core/StringTable.h"
#include "graphics/FontTestSupport.h"
#include "graphics/GraphicsDevice.h"
#include "graphics/Renderer.h"
#include "graphics/RendererHost.h"
#include "graphics/TextRender.h"
#include "graphics/TextureManager.h"
#include "gui/ImageWidget.h"
#include "gui/WidgetFactory.h"
#include "platform/d3d9/RecordingDirect3D.h"

using namespace lv::graphics;
using lv::gui::CLabelWidget;

namespace {

class CLabelHost final : public CRendererHost
{
public:
    HWND GetWindowHandle() override { return nullptr; }
    void GetClientSize(s32& w, s32& h) override
    {
        w = 800;
        h = 600;
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

// Loads a label from one "label_widget" element and the templates section.
CLabelWidget::Ptr LoadLabel(const std::string& node, const std::string& templates = "")
{
    lv::core::CSettings s;
    EXPECT_TRUE(s.LoadXmlText("<?xml version=\"1.0\"?><root><templates>" + templates + "</templates>" + node +
                              "</root>"));
    const auto& root = s.GetFirstChild();
    CLabelWidget::Ptr label(new CLabelWidget());
    label->LoadFromTemplate(root.GetChild("label_widget"), root.GetChild("templates"));
    return label;
}

// The test font (letters advance 5 + gap 1, lines 12 apart, cells 10 high) over the recording
// device, one frame open.
class LabelWidgetTest : public testing::Test
{
protected:
    void SetUp() override
    {
        m_Log = lv::platform::InstallRecordingDirect3D();
        m_Log->WindowWidth = 800;
        m_Log->WindowHeight = 600;
        GetGraphicsDevice().Release(false);
        m_Renderer = std::make_unique<CRenderer>();
        m_Renderer->SetHost(&m_Host);
        m_Renderer->SetSourceSize(800, 600);
        ASSERT_TRUE(m_Renderer->SetMode(false, true, 800, 600));
        ASSERT_TRUE(m_Renderer->BeginFrame());
        CTexture* texture = CTextureManager::Instance().CreateTexture(512, 16);
        ASSERT_NE(texture, nullptr);
        m_Fonts = std::make_unique<CFontFixture>("", texture);
        m_Font = m_Fonts->LoadOne(TestFontXml());
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

    // Left edges of the glyph quads drawn, in order.
    std::vector<float> GlyphXs()
    {
        m_Renderer->Flush();
        std::vector<float> out;
        for (const auto& d : m_Log->Draws) {
            const auto* v = reinterpret_cast<const CVertex*>(d.Vertices.data());
            const size_t n = d.Vertices.size() / sizeof(CVertex);
            if (d.Type != D3DPT_TRIANGLELIST || n % 6 != 0 || (n > 0 && v[1].u == 0 && v[5].v == 0))
                continue;
            for (size_t i = 0; i < n; i += 6)
                out.push_back(v[i].x + 0.5f);
        }
        m_Log->Draws.clear();
        return out;
    }

    CLabelHost m_Host;
    std::shared_ptr<lv::platform::CRecordingLog> m_Log;
    std::unique_ptr<CRenderer> m_Renderer;
    std::unique_ptr<CFontFixture> m_Fonts;
    CFont* m_Font = nullptr;
};

} // namespace

TEST(LabelWidget, JustificationBuildsTextFlags)
{
    const struct
    {
        const char* justification;
        s32 flags;
    } cases[] = {{"right bottom", 0x80 | 0x400}, {"center", 0x40 | 0x200}, {"left", 0x20},
                 {"left center", 0x20 | 0x200}, {"", 0}};
    for (const auto& c : cases) {
        const auto label =
            LoadLabel(std::string("<label_widget justification=\"") + c.justification + "\"/>");
        EXPECT_EQ(label->GetTextFlags(), c.flags) << c.justification;
    }
}

TEST(LabelWidget, AlignmentAndFontScaleLimits)
{
    CLabelWidget label;
    label.SetAlignment(1, -1);
    EXPECT_EQ(label.GetTextFlags(), 0x80 | 0x100);
    label.SetAlignment(0, 7);
    EXPECT_EQ(label.GetTextFlags(), 0x40);
    EXPECT_EQ(label.GetFontScale(), 1.0f);
    label.SetFontScale(0.05f);
    EXPECT_FLOAT_EQ(label.GetFontScale(), 0.1f);
    label.SetFontScale(500);
    EXPECT_FLOAT_EQ(label.GetFontScale(), 100.0f);

    const char* templates = "<label_template id=\"t\" label_font_scale=\"0\"/>";
    EXPECT_EQ(LoadLabel("<label_widget label_template=\"t\"/>", templates)->GetFontScale(), 1.0f);
    EXPECT_EQ(LoadLabel("<label_widget label_template=\"t\" label_font_scale=\"3\"/>", templates)->GetFontScale(),
              3.0f);
}

TEST(LabelWidget, WithoutFontNaturalSizeIsZeroAndTemplateSizeStays)
{
    CLabelWidget label(nullptr, u"text", CFixedString("l"), 0, 0);
    EXPECT_EQ(label.GetPreferredSize(), CVector2());
    const auto loaded = LoadLabel("<label_widget width=\"40\" height=\"20\" text=\"abc\"/>");
    EXPECT_EQ(loaded->GetSize(), CVector2(40, 20));
    EXPECT_EQ(loaded->GetText(), u"abc");
}

TEST(LabelWidget, StringReferencesAreExpanded)
{
    CTempFolder folder;
    CFontWorkingFolder cwd(folder.Path());
    folder.Write("properties/strings.xml",
                 "<?xml version=\"1.0\" encoding=\"utf-8\"?>\n<strings>\n<s id=\"12\">twelve</s>\n</strings>\n");
    lv::core::CFileSystem files("");
    auto& table = lv::core::CStringTable::Instance();
    table.Load(files);
    CLabelWidget label;
    label.SetText(u"$12!");
    EXPECT_EQ(label.GetText(), u"twelve!");
    table.Release();
}

TEST(LabelWidget, FactoryCreatesLabels)
{
    auto& factory = lv::gui::CWidgetFactory::Instance();
    lv::gui::CWidgetFactory::RegisterWidgetTypes();
    EXPECT_FALSE(factory.Register("label_widget", lv::gui::CWidgetFactory::CCreator(
                                                      []() -> lv::gui::CWidget* { return nullptr; })));
    boost::intrusive_ptr<lv::gui::CWidget> widget(factory.CreateWidget("label_widget"));
    ASSERT_NE(dynamic_cast<CLabelWidget*>(widget.get()), nullptr);
    EXPECT_EQ(widget->GetName(), CFixedString(""));
    boost::intrusive_ptr<lv::gui::CWidget> image(factory.CreateWidget("image_widget"));
    ASSERT_NE(dynamic_cast<lv::gui::CImageWidget*>(image.get()), nullptr);
    EXPECT_EQ(image->GetName(), CFixedString(""));
}

TEST_F(LabelWidgetTest, NaturalSizeScalesWithFontAndInsets)
{
    CLabelWidget label(m_Font, u"ab", CFixedString("l"), 0, 0);
    label.SetInsets(1, 2, 3, 4);
    EXPECT_EQ(label.GetPreferredSize(), CVector2(12 + 3, 10 + 7));
    label.SetFontScale(2);
    EXPECT_EQ(label.GetPreferredSize(), CVector2(24 + 3, 20 + 7));
    label.FitSize(true);
    EXPECT_EQ(label.GetSize(), CVector2(27, 27));
    label.SetSize(100, 5);
    label.FitSize(false);
    EXPECT_EQ(label.GetSize(), CVector2(100, 27));
}

TEST_F(LabelWidgetTest, ScaledLabelLaysTextOutInTheScaledWidth)
{
    CLabelWidget label(m_Font, u"ab", CFixedString("l"), 0, 0);
    label.SetSize(200, 40);
    label.SetFontScale(2);
    label.SetAlignment(1, -1);
    label.Update();
    EXPECT_EQ(label.GetTransform().M00, 2.0f);
    EXPECT_EQ(label.GetTransform().M11, 2.0f);
    EXPECT_EQ(label.GetTransform().M20, 0.0f);
    label.Draw(*m_Renderer);
    // Right-aligned in 100 units: "ab" measures 12, its last glyph cell 6.
    const std::vector<float> xs = GlyphXs();
    ASSERT_EQ(xs.size(), 2u);
    EXPECT_FLOAT_EQ(xs[1], 100 - 6);

    // Nothing but the two glyphs: no background behind the text unless one is set.
    EXPECT_EQ(label.GetBackgroundColor(), CColor(0u));
    label.Draw(*m_Renderer);
    m_Renderer->Flush();
    size_t vertices = 0;
    for (const auto& d : m_Log->Draws)
        vertices += d.Vertices.size() / sizeof(CVertex);
    EXPECT_EQ(vertices, 12u);
    m_Log->Draws.clear();

    label.SetFont(nullptr);
    label.Draw(*m_Renderer);
    EXPECT_TRUE(GlyphXs().empty());
}

TEST_F(LabelWidgetTest, ImageWidgetTakesTheImageSizeAndNoInput)
{
    const CSprite sprite(&m_Fonts->Image()); // 512 x 16
    lv::gui::CImageWidget::Ptr image(new lv::gui::CImageWidget(sprite, CFixedString("i"), 0, 0));
    EXPECT_EQ(image->GetSize(), CVector2(512, 16));
    EXPECT_NE(image->GetFlags() & lv::gui::CBaseWidget::Disabled, 0u);
    EXPECT_EQ(image->GetImage().GetRect(), CFloatRect(0, 0, 512, 16));

    lv::core::CSettings s;
    ASSERT_TRUE(s.LoadXmlText("<?xml version=\"1.0\"?><root><image_widget width=\"50\"/><image_widget/></root>"));
    const auto& narrow = s.GetFirstChild().GetFirstChild();
    image->SetSize(0, 0);
    image->LoadFromTemplate(narrow, s);
    EXPECT_EQ(image->GetSize(), CVector2(50, 16));
    EXPECT_EQ(image->GetImage().GetRect(), CFloatRect(0, 0, 50, 16));
    image->SetSize(0, 0);
    image->LoadFromTemplate(narrow.GetNextSibling(), s);
    EXPECT_EQ(image->GetSize(), CVector2(512, 16));

    // An undeclared image leaves nothing to draw and keeps the size.
    image->SetImage(CFixedString("no_such_image"));
    EXPECT_EQ(image->GetImage().GetImage(), nullptr);
    EXPECT_EQ(image->GetSize(), CVector2(512, 16));
    image->Draw(*m_Renderer);
    m_Renderer->Flush();
    EXPECT_TRUE(m_Log->Draws.empty());

    image->SetImage(sprite);
    image->Draw(*m_Renderer);
    m_Renderer->Flush();
    EXPECT_FALSE(m_Log->Draws.empty());
}

namespace {

// Records the renderer's transform and colour while it is drawn.
struct CStateProbe : lv::gui::CWidget
{
    CStateProbe() : CWidget(CFixedString("p"), 0, 0) {}
    void Draw(CRenderer& renderer) override
    {
        Transform = renderer.GetTransform();
        Color = renderer.GetColor();
        CWidget::Draw(renderer);
    }
    CMatrix3 Transform;
    CColor Color;
};

} // namespace

TEST_F(LabelWidgetTest, RenderAppliesTransformPositionAndColourInsideAScope)
{
    boost::intrusive_ptr<CStateProbe> parent(new CStateProbe), child(new CStateProbe);
    parent->AddChild(child);
    parent->SetPosition(10.7f, 5);
    CMatrix3 scale;
    CMatrix3::MakeScale(scale, 2, 2);
    parent->SetTransform(scale);
    parent->SetColor(CColor(0x80FF8000u));
    child->SetPosition(3, 4);
    child->SetColor(CColor(0xFF808080u));
    const CMatrix3 before = m_Renderer->GetTransform();
    const CColor colourBefore = m_Renderer->GetColor();

    parent->Render(*m_Renderer);
    // Whole units unless the position is exact; the own matrix applies before the position.
    EXPECT_FLOAT_EQ(parent->Transform.M00, 2 * before.M00);
    EXPECT_FLOAT_EQ(parent->Transform.M20, 10 + before.M20);
    EXPECT_FLOAT_EQ(parent->Transform.M21, 5 + before.M21);
    EXPECT_FLOAT_EQ(child->Transform.M20, 10 + 6 + before.M20);
    EXPECT_FLOAT_EQ(child->Transform.M21, 5 + 8 + before.M21);
    EXPECT_EQ(parent->Color, CColor(0x80FF8000u));
    EXPECT_EQ(child->Color, CColor(0x80804000u)); // trunc(c * k / 255) per channel
    EXPECT_EQ(m_Renderer->GetTransform().M20, before.M20);
    EXPECT_EQ(m_Renderer->GetColor(), colourBefore);

    parent->AddFlags(lv::gui::CBaseWidget::ExactPosition);
    parent->Render(*m_Renderer);
    EXPECT_FLOAT_EQ(parent->Transform.M20, 10.7f + before.M20);
}
