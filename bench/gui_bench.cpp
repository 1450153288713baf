// The GUI's per-frame and loading costs: a 200-widget window built and laid out from templates;
// UpdateAll + Render of a 500-widget tree per frame on the recording device; and the two routing
// passes of one mouse move through that tree.
#include <benchmark/benchmark.h>

#include <memory>
#include <string>

#include "core/Settings.h"
#include "graphics/GraphicsDevice.h"
#include "graphics/ImageHandle.h"
#include "graphics/Renderer.h"
#include "graphics/RendererHost.h"
#include "graphics/TextureManager.h"
#include "gui/GuiServices.h"
#include "gui/ImageWidget.h"
#include "gui/LabelWidget.h"
#include "gui/Window.h"
#include "gui/WidgetFactory.h"
#include "platform/d3d9/RecordingDirect3D.h"
#include "support/BenchRendererHost.h"

using namespace lv::graphics;
using lv::gui::CBaseWidget;
using lv::gui::CWidget;

namespace {

constexpr s32 kBenchWidth = 1366, kBenchHeight = 768;

// gui.xml and guitemplates.xml in one tree: a window of 20 rows of 10 labels and images.
std::string WindowXml()
{
    std::string xml = "<?xml version=\"1.0\"?><root><GUI><window id=\"bench\" window_template=\"t\"><vbox>";
    for (int row = 0; row < 20; ++row) {
        xml += "<hbox flex=\"1\">";
        for (int i = 0; i < 10; ++i) {
            const std::string id = std::to_string(row) + "_" + std::to_string(i);
            xml += (i % 2) ? "<image_widget id=\"i" + id + "\" width=\"16\" height=\"16\"/>"
                           : "<label_widget id=\"l" + id + "\" text=\"label " + id +
                                 "\" width=\"60\" height=\"16\" flex=\"1\" justification=\"center\"/>";
        }
        xml += "</hbox>";
    }
    xml += "</vbox></window></GUI><GUITemplates><window_template id=\"t\" background=\"bg\" tile_step_x=\"16\" "
           "tile_step_y=\"16\" label_template=\"l\"><named_object name=\"insets\"><i left=\"10\" right=\"10\" "
           "top=\"10\" bottom=\"10\"/></named_object></window_template><label_template id=\"l\"/></GUITemplates>"
           "</root>";
    return xml;
}

void WindowLoadAndLayout(benchmark::State& state)
{
    lv::gui::CWidgetFactory::RegisterWidgetTypes();
    lv::core::CSettings settings;
    if (!settings.LoadXmlText(WindowXml())) {
        state.SkipWithError("bad xml");
        return;
    }
    const auto& gui = settings.GetChild("GUI", true);
    const auto& templates = settings.GetChild("GUITemplates", true);
    size_t widgets = 0;
    for (auto _ : state) {
        lv::gui::CWindow::Ptr window(new lv::gui::CWindow());
        window->LoadWindow(gui, templates, "bench");
        widgets = window->GetChildren().size();
        benchmark::DoNotOptimize(window.get());
    }
    state.counters["widgets"] = static_cast<double>(widgets);
}
BENCHMARK(WindowLoadAndLayout)->Unit(benchmark::kMicrosecond);

// A control that listens to mouse moves and clicks.
struct CBenchControl : CWidget
{
    CBenchControl() : CWidget(CFixedString("c"), 0, 8 | 32 | 64) {}
    bool OnMouseMove(const CPoint2i& point, s32 keyFlags, u8 pass) override
    {
        ++Moves;
        return CWidget::OnMouseMove(point, keyFlags, pass);
    }
    static inline u64 Moves = 0;
};

// 500 widgets: 50 panels of 9 children (images, controls and label-less panels), on a root.
class CBenchTree
{
public:
    explicit CBenchTree(CImageHandle& image) : Root(new lv::gui::CBaseWindow(CFixedString("root")))
    {
        Root->SetSize(kBenchWidth, kBenchHeight);
        const CSprite sprite(&image);
        u32 count = 1;
        for (int p = 0; p < 50; ++p, ++count) {
            boost::intrusive_ptr<CWidget> panel(new CBenchControl());
            panel->SetPosition(static_cast<float>((p % 10) * 130), static_cast<float>((p / 10) * 150));
            panel->SetSize(120, 140);
            for (int c = 0; c < 9; ++c, ++count) {
                boost::intrusive_ptr<CWidget> child;
                if (c % 3 == 0)
                    child = new lv::gui::CImageWidget(sprite, CFixedString("img"), 0, 0);
                else
                    child = new CBenchControl();
                child->SetPosition(static_cast<float>((c % 3) * 40), static_cast<float>((c / 3) * 45));
                child->SetSize(36, 40);
                panel->AddChild(child);
            }
            Root->AddChild(panel);
        }
        Count = count;
    }
    boost::intrusive_ptr<lv::gui::CBaseWindow> Root;
    u32 Count = 0;
};

struct CRecordingSetup
{
    CRecordingSetup()
    {
        Log = lv::platform::InstallRecordingDirect3D();
        Log->WindowWidth = kBenchWidth;
        Log->WindowHeight = kBenchHeight;
        GetGraphicsDevice().Release(false);
        Renderer = std::make_unique<CRenderer>();
        Renderer->SetHost(&Host);
        Renderer->SetSourceSize(kBenchWidth, kBenchHeight);
        Renderer->SetMode(false, true, kBenchWidth, kBenchHeight);
        Image.BindTexture(CTextureManager::Instance().CreateTexture(16, 16));
    }
    ~CRecordingSetup()
    {
        Image.Release();
        Renderer.reset();
        GetGraphicsDevice().Release(false);
        lv::platform::SetDirect3DFactory(nullptr);
    }
    benchsupport::CBenchRendererHost Host{kBenchWidth, kBenchHeight};
    std::shared_ptr<lv::platform::CRecordingLog> Log;
    std::unique_ptr<CRenderer> Renderer;
    CImageHandle Image;
};

void UpdateAndRender500(benchmark::State& state)
{
    CRecordingSetup setup;
    CBenchTree tree(setup.Image);
    for (auto _ : state) {
        setup.Renderer->BeginFrame();
        tree.Root->UpdateAll();
        tree.Root->Render(*setup.Renderer);
        setup.Renderer->Flush();
        setup.Renderer->EndFrame();
        state.PauseTiming();
        setup.Log->Take();
        setup.Log->Draws.clear();
        state.ResumeTiming();
    }
    state.counters["widgets"] = tree.Count;
}
BENCHMARK(UpdateAndRender500)->Unit(benchmark::kMicrosecond);

void MouseMoveTwoPasses500(benchmark::State& state)
{
    CRecordingSetup setup;
    CBenchTree tree(setup.Image);
    s32 x = 0;
    for (auto _ : state) {
        const CPoint2i point(x % kBenchWidth, 300);
        x += 7;
        benchmark::DoNotOptimize(tree.Root->OnMouseMove(point, 0, 0));
        benchmark::DoNotOptimize(tree.Root->OnMouseMove(point, 0, 1));
    }
    state.counters["widgets"] = tree.Count;
    state.counters["moves_per_event"] =
        benchmark::Counter(static_cast<double>(CBenchControl::Moves), benchmark::Counter::kAvgIterations);
}
BENCHMARK(MouseMoveTwoPasses500)->Unit(benchmark::kMicrosecond);

} // namespace
