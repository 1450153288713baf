// Renders a paragraph in a bitmap font made from DejaVu Sans by the font builder, its glyph
// texture a declared image (PNG file, texture declarations, texture manager), through the
// OpenGL device layer into a hidden window, and compares it with a reference image.
// GAME_UPDATE_GOLDEN=1 writes the reference instead (check it by eye).
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <vector>

#include "FontTestSupport.h"
#include "LogCapture.h"
#include "content/FontRasterizer.h"
#include "content/ImageWriter.h"
#include "content/TextureDeclarationWriter.h"
#include "graphics/GraphicsDevice.h"
#include "graphics/Renderer.h"
#include "graphics/RendererHost.h"
#include "graphics/TextRender.h"
#include "graphics/TextureDeclarations.h"
#include "graphics/TextureManager.h"
#include "platform/SdlWindow.h"
#include "support/GoldenImage.h"

using namespace lv::graphics;

namespace {

constexpr s32 kWidth = 640, kHeight = 360;

class CWindowHost final : public CRendererHost
{
public:
    HWND m_Window = nullptr;
    HWND GetWindowHandle() override { return m_Window; }
    void GetClientSize(s32& w, s32& h) override
    {
        w = kWidth;
        h = kHeight;
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

const char16_t* kParagraph =
    u"Bitmap fonts are laid out by one walk over the text: it wraps words at the width of the box, "
    u"aligns and justifies the lines, applies kerning and advances, and hands every glyph to the "
    u"modules that draw it.\nA line break starts a new line.";

} // namespace

TEST(GoldenImage, TextParagraphThroughOpenGl)
{
    lv::content::CRasterizeOptions options;
    options.pixelSize = 15;
    lv::content::CRasterizedFont raster;
    std::string error;
    ASSERT_TRUE(lv::content::RasterizeFont(lv::content::DefaultFontFile(), options, raster, &error)) << error;

    CWindowHost host;
    host.m_Window = lv::platform::CreateSdlWindow("text test", kWidth, kHeight, false);
    ASSERT_NE(host.m_Window, nullptr);
    lv::platform::SetDirect3DFactory(nullptr);
    GetGraphicsDevice().Release(false);
    std::vector<u32> pixels;
    u32 width = 0, height = 0;
    {
        CRenderer renderer;
        renderer.SetHost(&host);
        renderer.SetSourceSize(kWidth, kHeight);
        ASSERT_TRUE(renderer.SetMode(false, true, kWidth, kHeight));
        ASSERT_NE(GetGraphicsDevice().GetDevice(), nullptr);
        // The glyph texture as a declared image "fnt" of the folder's textures.
        CTempFolder folder;
        CFontWorkingFolder cwd(folder.Path());
        std::vector<u8> png;
        ASSERT_TRUE(lv::content::EncodePngArgb(raster.width, raster.height, raster.pixels, true, png));
        folder.Write("fonts/f15.png", std::string(png.begin(), png.end()));
        folder.Write("fonts/f15.xml", raster.xml);
        std::vector<u8> blob;
        ASSERT_TRUE(lv::content::CompileTextureDeclarations(
            "<?xml version=\"1.0\"?><resources><surfaces><surface path=\"fonts/f15.png\"/></surfaces>"
            "<group id=\"fonts\"><image id=\"fnt\" path=\"fonts/f15.png\" cols=\"1\" "
            "rows=\"1\"/></group></resources>",
            blob));
        CTextureDeclarations declarations;
        ASSERT_TRUE(declarations.LoadBlob(blob.data(), static_cast<u32>(blob.size())));
        CTextureManager textures;
        textures.Init(&declarations);
        lv::core::CFileSystem files("");
        lv::core::CFontManager fonts(
            files,
            [](void* user, const char* name) { return static_cast<CTextureManager*>(user)->GetImage(name); },
            &textures);
        auto set = CDeclarationSet::Create();
        const std::string fontsXml = "<?xml version=\"1.0\"?><fonts><font id=\"font_15\" image=\"fnt\" "
                                     "file=\"fonts\\f15.xml\"/></fonts>";
        set->LoadXml(fontsXml.data(), fontsXml.size(), nullptr);
        CScratchLogCapture log;
        fonts.LoadAll(*set, nullptr);
        const CFont* font = fonts.FindFont("font_15");
        ASSERT_NE(font, nullptr) << log.Text();
        ASSERT_EQ(font->image->GetTexture()->GetWidth(), raster.width);

        ASSERT_TRUE(renderer.BeginFrame());
        renderer.FillQuad(CQuad(0, 0, kWidth, kHeight), CColor(0xFF203040u));
        const CColor none(0u), white(0xFFFFFFFFu);
        renderer.RenderText(font, u"Text rendering", CIntRect(0, 8, kWidth, 30), 0x40 | 0x1000, 0,
                            CColor(0xFFFFD060u), none, none, none, -1, -1);
        renderer.RenderText(font, kParagraph, CIntRect(20, 44, 290, 300), 0x8 | 0x800, 0, white, none,
                            CColor(0xFF202020u), CColor(0xFFA0C0FFu), 20, 38);
        renderer.RenderText(font, kParagraph, CIntRect(330, 44, 290, 300), 0x8 | 0x80, 0, CColor(0xFFC0FFC0u),
                            CColor(0x40FFFFFFu), none, none, -1, -1);
        renderer.DrawTextAt(font, u"centred on (320, 330)", 320, 330, 0, 0, 1, CColor(0xFFFF8080u), none);
        renderer.Flush();
        u32* read = nullptr;
        ASSERT_TRUE(renderer.ReadPixels(read, width, height, CIntRect()));
        pixels.assign(read, read + width * height);
        std::free(read);
        renderer.EndFrame();
    }
    lv::platform::DestroySdlWindow(host.m_Window);
    ASSERT_EQ(width, u32(kWidth));
    ASSERT_EQ(height, u32(kHeight));
    testsupport::ExpectGoldenImage(testsupport::GoldenFolder(__FILE__), "text_paragraph",
                                   width, height, pixels);
}
