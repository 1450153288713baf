// Glyphs per millisecond of the text renderer: layout and queueing of a 2,000-character
// paragraph (word wrap and justification) drawn in whole frames through the OpenGL device
// layer, and, in the same run, the same glyph quads with their positions precomputed drawn by
// SDL2's own renderer (SDL_RenderGeometry). Prints both rates and their ratio.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "content/FontRasterizer.h"
#include "graphics/Font.h"
#include "graphics/FontBuilder.h"
#include "graphics/GraphicsDevice.h"
#include "graphics/ImageHandle.h"
#include "graphics/Renderer.h"
#include "graphics/RendererHost.h"
#include "graphics/TextRender.h"
#include "graphics/Texture.h"
#include "graphics/TextureManager.h"
#include "platform/SdlQuadRenderer.h"
#include "platform/SdlWindow.h"
#include "platform/d3d9/RecordingDirect3D.h"

namespace {

using namespace lv::graphics;

constexpr s32 kWidth = 1366, kHeight = 768;
const CIntRect kBox(20, 20, 1326, 728);
constexpr u32 kFlags = CTextRender::kWordWrap | CTextRender::kJustify;

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

// The font (DejaVu Sans at 15 pixels), its texture pixels and the paragraph.
struct CBenchFont
{
    lv::content::CRasterizedFont raster;
    u8* block = nullptr;
    WString text;
    u32 glyphs = 0; // units that draw a quad

    CBenchFont()
    {
        lv::content::CRasterizeOptions options;
        options.pixelSize = 15;
        if (!lv::content::RasterizeFont(lv::content::DefaultFontFile(), options, raster))
            return;
        CFontBuilder builder;
        builder.Parse(raster.xml.data(), raster.xml.size());
        builder.Finalize(static_cast<u16>(raster.width), static_cast<u16>(raster.height));
        u32 size = 0;
        block = builder.Build(size);
        const char16_t* words[] = {u"layout",   u"of",       u"a",      u"paragraph", u"with",
                                   u"kerning,", u"wrapping", u"and",    u"justified", u"lines",
                                   u"Text",     u"renders",  u"glyphs."};
        for (size_t i = 0; text.size() < 2000; ++i) {
            text += words[(i * 7) % 13];
            text += u' ';
        }
        text.resize(2000);
        for (WChar c : text)
            glyphs += c != u' ';
    }
    ~CBenchFont() { std::free(block); }

    void Bind(CFont& font, CImageHandle& image) const
    {
        font.block = reinterpret_cast<const FontHeader*>(block);
        font.CopyMetrics(*font.block);
        font.image = &image;
    }
};

const CBenchFont& BenchFont()
{
    static const CBenchFont s_Font;
    return s_Font;
}

// The vertices our renderer queues for the paragraph, captured once on the recording device.
const std::vector<u8>& ParagraphVertices()
{
    static const std::vector<u8> s_Vertices = [] {
        std::vector<u8> out;
        auto log = lv::platform::InstallRecordingDirect3D();
        log->WindowWidth = kWidth;
        log->WindowHeight = kHeight;
        GetGraphicsDevice().Release(false);
        {
            CWindowHost host;
            CRenderer renderer;
            renderer.SetHost(&host);
            renderer.SetSourceSize(kWidth, kHeight);
            renderer.SetMode(false, true, kWidth, kHeight);
            renderer.BeginFrame();
            CImageHandle image;
            image.BindTexture(CTextureManager::Instance().CreateTexture(BenchFont().raster.width,
                                                                        BenchFont().raster.height));
            CFont font;
            BenchFont().Bind(font, image);
            log->Draws.clear();
            renderer.RenderText(&font, BenchFont().text.c_str(), kBox, kFlags, 0, CColor(), CColor(0u),
                                CColor(0u), CColor(0u), -1, -1);
            renderer.Flush();
            for (const auto& draw : log->Draws)
                out.insert(out.end(), draw.Vertices.begin(), draw.Vertices.end());
            image.Release();
        }
        GetGraphicsDevice().Release(false);
        lv::platform::SetDirect3DFactory(nullptr);
        return out;
    }();
    return s_Vertices;
}

void TextLayoutAndQueue(benchmark::State& state)
{
    if (!BenchFont().block) {
        state.SkipWithError("no font");
        return;
    }
    ParagraphVertices(); // before the real device exists
    CWindowHost host;
    host.m_Window = lv::platform::CreateSdlWindow("bench", kWidth, kHeight, false);
    GetGraphicsDevice().Release(false);
    {
        CRenderer renderer;
        renderer.SetHost(&host);
        renderer.SetSourceSize(kWidth, kHeight);
        if (!host.m_Window || !renderer.SetMode(false, true, kWidth, kHeight) ||
            !GetGraphicsDevice().GetDevice()) {
            state.SkipWithError("no OpenGL device");
            return;
        }
        CImageHandle image;
        image.BindTexture(
            CTextureManager::Instance().CreateTexture(BenchFont().raster.width, BenchFont().raster.height));
        image.GetTexture()->UploadArgb(BenchFont().raster.pixels.data());
        CFont font;
        BenchFont().Bind(font, image);
        for (auto _ : state) {
            renderer.BeginFrame();
            renderer.RenderText(&font, BenchFont().text.c_str(), kBox, kFlags, 0, CColor(), CColor(0u),
                                CColor(0u), CColor(0u), -1, -1);
            renderer.EndFrame();
        }
        image.Release();
    }
    state.counters["glyphs"] =
        benchmark::Counter(double(state.iterations()) * BenchFont().glyphs, benchmark::Counter::kIsRate);
    GetGraphicsDevice().Release(false);
    lv::platform::DestroySdlWindow(host.m_Window);
}

void SdlRenderGeometry(benchmark::State& state)
{
    const std::vector<u8>& vertices = ParagraphVertices();
    HWND window = lv::platform::CreateSdlWindow("bench", kWidth, kHeight, false);
    std::unique_ptr<lv::platform::CSdlQuadRenderer> renderer =
        window ? lv::platform::CSdlQuadRenderer::Create(window) : nullptr;
    const auto& raster = BenchFont().raster;
    if (!renderer || vertices.empty() ||
        !renderer->SetTexture(raster.pixels.data(), int(raster.width), int(raster.height))) {
        state.SkipWithError("no SDL renderer or no vertices");
        lv::platform::DestroySdlWindow(window);
        return;
    }
    state.SetLabel(renderer->GetName());
    for (auto _ : state) {
        renderer->Clear(0xFF000000);
        renderer->DrawTriangles(vertices.data(), int(vertices.size() / 32));
        renderer->Finish();
        renderer->Present();
    }
    state.counters["glyphs"] =
        benchmark::Counter(double(state.iterations()) * BenchFont().glyphs, benchmark::Counter::kIsRate);
    renderer.reset();
    lv::platform::DestroySdlWindow(window);
}

BENCHMARK(TextLayoutAndQueue)->UseRealTime()->Unit(benchmark::kMillisecond);
BENCHMARK(SdlRenderGeometry)->UseRealTime()->Unit(benchmark::kMillisecond);

class CComparingReporter : public benchmark::ConsoleReporter
{
public:
    void ReportRuns(const std::vector<Run>& runs) override
    {
        ConsoleReporter::ReportRuns(runs);
        for (const Run& run : runs)
            if (!run.error_occurred && run.iterations > 0)
                m_Ms[run.run_name.function_name] = run.GetAdjustedRealTime();
    }
    void PrintComparison() const
    {
        const auto ours = m_Ms.find("TextLayoutAndQueue"), sdl = m_Ms.find("SdlRenderGeometry");
        if (ours == m_Ms.end() || sdl == m_Ms.end())
            return;
        const double glyphs = BenchFont().glyphs;
        std::printf(
            "%u glyphs: layout + queueing %.1f glyphs/ms | SDL_RenderGeometry (precomputed) %.1f glyphs/ms "
            "| ratio ours/SDL %.2f\n",
            BenchFont().glyphs, glyphs / ours->second, glyphs / sdl->second, sdl->second / ours->second);
    }

private:
    std::map<std::string, double> m_Ms; // real ms per frame
};

} // namespace

int main(int argc, char** argv)
{
    benchmark::Initialize(&argc, argv);
    CComparingReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    reporter.PrintComparison();
    benchmark::Shutdown();
    return 0;
}
