// Draws a window built from templates (a tiled nine-part background, nested rows of labels and
// images, a shown tool tip on its own background) through the OpenGL device layer into a hidden
// window and compares it with a reference image. GAME_UPDATE_GOLDEN=1 writes the reference
// instead (check it by eye).
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <vector>

#include "GuiTestImages.h"
#include "content/FontRasterizer.h"
#include "core/Settings.h"
#include "graphics/FontTestSupport.h"
#include "graphics/GraphicsDevice.h"
#include "graphics/Renderer.h"
#include "graphics/RendererHost.h"
#include "graphics/Texture.h"
#include "gui/GuiServices.h"
#include "gui/Window.h"
#include "gui/WidgetFactory.h"
#include "platform/SdlWindow.h"
#include "support/GoldenImage.h"

using namespace lv::graphics;

namespace {

constexpr s32 kGoldenWidth = 256, kGoldenHeight = 160;

class CGoldenWindowHost final : public CRendererHost
{
public:
    HWND m_Window = nullptr;
    HWND GetWindowHandle() override { return m_Window; }
    void GetClientSize(s32& w, s32& h) override
    {
        w = kGoldenWidth;
        h = kGoldenHeight;
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

const char* const kGoldenGui = R"(<?xml version="1.0"?>
<root>
<GUI>
  <window id="golden_window" window_template="frame" x="8" y="8">
    <vbox>
      <label_widget id="title" text="Options" justification="center" width="150" height="18" color="#255 255 240 200"/>
      <hbox>
        <image_widget image="icon"/>
        <label_widget text="Sound" justification="left center" width="70" height="16"/>
        <image_widget image="icon" width="32"/>
      </hbox>
      <hbox>
        <vbox>
          <label_widget text="One" justification="left" width="40" height="14" color="#255 200 255 200"/>
          <label_widget text="Two" justification="left" width="40" height="14" color="#255 200 200 255"/>
        </vbox>
        <image_widget image="icon" width="24" height="24"/>
      </hbox>
    </vbox>
  </window>
</GUI>
<GUITemplates>
  <window_template id="frame" background="win_bg" tile_step_x="16" tile_step_y="16" label_template="tip_label"
      tool_tip_background="tip_bg" tool_tip_color="#255 60 30 0">
    <named_object name="insets"><insets left="10" top="8" right="10" bottom="8"/></named_object>
    <named_object name="tool_tip_background_insets"><i left="-5" right="-5" top="-3" bottom="-3"/></named_object>
  </window_template>
  <label_template id="tip_label"/>
</GUITemplates>
</root>
)";

void SetFontEverywhere(lv::gui::CBaseWidget& widget, const CFont* font)
{
    if (auto* label = dynamic_cast<lv::gui::CLabelWidget*>(&widget))
        label->SetFont(font);
    for (const auto& child : widget.GetChildren())
        if (child)
            SetFontEverywhere(*child, font);
}

} // namespace

TEST(GoldenImage, TemplatedWindowWithToolTipThroughOpenGl)
{
    guitest::DeclareGuiTestImages();
    lv::gui::CWidgetFactory::RegisterWidgetTypes();
    lv::content::CRasterizeOptions options;
    options.pixelSize = 12;
    lv::content::CRasterizedFont raster;
    std::string error;
    ASSERT_TRUE(lv::content::RasterizeFont(lv::content::DefaultFontFile(), options, raster, &error)) << error;

    CGoldenWindowHost host;
    host.m_Window = lv::platform::CreateSdlWindow("window test", kGoldenWidth, kGoldenHeight, false);
    ASSERT_NE(host.m_Window, nullptr);
    lv::platform::SetDirect3DFactory(nullptr);
    GetGraphicsDevice().Release(false);
    std::vector<u32> pixels;
    u32 width = 0, height = 0;
    {
        CRenderer renderer;
        renderer.SetHost(&host);
        renderer.SetSourceSize(kGoldenWidth, kGoldenHeight);
        ASSERT_TRUE(renderer.SetMode(false, true, kGoldenWidth, kGoldenHeight));
        ASSERT_NE(GetGraphicsDevice().GetDevice(), nullptr);

        CTexture* glyphs = CTextureManager::Instance().CreateTexture(raster.width, raster.height);
        ASSERT_NE(glyphs, nullptr);
        glyphs->UploadArgb(raster.pixels.data());
        CFontFixture fonts("", glyphs);
        const CFont* font = fonts.LoadOne(raster.xml);
        ASSERT_NE(font, nullptr);
        // The declared images load from their folder when first drawn.
        const CWorkingFolder cwd(guitest::ImagesFolder());

        lv::core::CSettings settings;
        ASSERT_TRUE(settings.LoadXmlText(kGoldenGui));
        lv::gui::CWindow::Ptr window(new lv::gui::CWindow());
        ASSERT_TRUE(window->LoadWindow(settings.GetChild("GUI", true), settings.GetChild("GUITemplates", true),
                                       "golden_window"));
        SetFontEverywhere(*window, font);
        window->GetToolTipLabel()->SetFont(font);
        window->ApplyLayout();
        window->SetSize(200, 120);
        window->ShowToolTip(CPoint2i(190, 96), u"Tool tip text");
        window->UpdateAll();

        ASSERT_TRUE(renderer.BeginFrame());
        renderer.FillQuad(CQuad(0, 0, kGoldenWidth, kGoldenHeight), CColor(0xFF304030u));
        window->Render(renderer);
        renderer.Flush();
        u32* read = nullptr;
        ASSERT_TRUE(renderer.ReadPixels(read, width, height, CIntRect()));
        pixels.assign(read, read + width * height);
        std::free(read);
        renderer.EndFrame();
        window.reset();
        CTextureManager::Instance().ReleaseAllDeviceTextures();
    }
    GetGraphicsDevice().Release(false);
    lv::platform::DestroySdlWindow(host.m_Window);
    ASSERT_EQ(width, u32(kGoldenWidth));
    ASSERT_EQ(height, u32(kGoldenHeight));
    testsupport::ExpectGoldenImage(testsupport::GoldenFolder(__FILE__), "templated_window",
                                   width, height, pixels);
}
