// The table's column and row sizing and its drawing: SetSize of a 50 x 6 table of templated cells
// (each a label in a box; the sizing walks every cell's layout box), and one frame of drawing it
// with a fixed title, 20 rows shown, selection and grid lines on the recording device.
#include <benchmark/benchmark.h>

#include <filesystem>
#include <fstream>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include "content/ImageWriter.h"
#include "content/TextureDeclarationWriter.h"
#include "core/Settings.h"
#include "graphics/DeclarationSet.h"
#include "graphics/FontManager.h"
#include "graphics/GraphicsDevice.h"
#include "graphics/Renderer.h"
#include "graphics/RendererHost.h"
#include "graphics/TextureDeclarations.h"
#include "graphics/TextureManager.h"
#include "gui/TableWidget.h"
#include "gui/WidgetFactory.h"
#include "platform/d3d9/RecordingDirect3D.h"
#include "support/BenchRendererHost.h"

namespace {

constexpr s32 kTableBenchWidth = 1366, kTableBenchHeight = 768;

// A title row and 49 rows of six cells; the last two columns are flexible.
std::string TableXml()
{
    std::string xml =
        "<?xml version=\"1.0\"?><root><templates>"
        "<scroll_template id=\"sb\" back_image=\"cell\" thumb_image=\"strip\" top_image=\"strip\" "
        "bottom_image=\"strip\"/>"
        "<label_template id=\"l\" font=\"bench_font\"/>"
        "<table_template id=\"t\" default_back_image=\"cell\" lines_image=\"lines\" "
        "default_selection_back=\"strip\" scroll_template=\"sb\"/></templates>"
        "<table_widget table_template=\"t\" has_title=\"true\" table_height=\"20\" "
        "enable_selection=\"true\"><named_object name=\"rows\"><rows>";
    for (int row = 0; row < 50; ++row) {
        xml += "<row>";
        for (int column = 0; column < 6; ++column)
            xml += "<cell" + std::string(column >= 4 ? " flex=\"1\"" : "") +
                   "><hbox><label_widget label_template=\"l\" text=\"cell " + std::to_string(row) + " " +
                   std::to_string(column) + "\" width=\"" + std::to_string(40 + 10 * column) +
                   "\" height=\"18\" justification=\"left center\"/></hbox></cell>";
        xml += "</row>";
    }
    return xml + "</rows></named_object></table_widget></root>";
}

// Images, a font and the table's templates in a scratch folder, declared once to the process-wide
// managers; then the recording device and a renderer over it.
class CTableBenchContent
{
public:
    CTableBenchContent()
    {
        m_Folder = std::filesystem::temp_directory_path() /
                   ("table_bench_" + std::to_string(std::random_device()()));
        std::filesystem::create_directories(m_Folder / "gfx");
        std::filesystem::create_directories(m_Folder / "fonts");
        m_Previous = std::filesystem::current_path();
        std::filesystem::current_path(m_Folder);
        std::string surfaces, group;
        const struct
        {
            const char* name;
            u32 width, height;
        } images[] = {{"glyphs", 512, 16}, {"cell", 16, 16}, {"strip", 64, 16}, {"lines", 60, 2}};
        for (const auto& image : images) {
            std::vector<u32> pixels(image.width * image.height, 0xFF808080u);
            std::vector<u8> png;
            lv::content::EncodePngArgb(image.width, image.height, pixels, true, png);
            const std::string path = std::string("gfx/") + image.name + ".png";
            std::ofstream(path, std::ios::binary)
                .write(reinterpret_cast<const char*>(png.data()), static_cast<std::streamsize>(png.size()));
            surfaces += "<surface path=\"" + path + "\" width=\"" + std::to_string(image.width) +
                        "\" height=\"" + std::to_string(image.height) + "\"/>";
            group +=
                std::string("<image id=\"") + image.name + "\" path=\"" + path + "\" cols=\"1\" rows=\"1\"/>";
        }
        std::vector<u8> blob;
        lv::content::CompileTextureDeclarations("<?xml version=\"1.0\"?>\n<resources><surfaces>" + surfaces +
                                                    "</surfaces><group id=\"gui\">" + group +
                                                    "</group></resources>",
                                                blob);
        auto* declarations = new lv::graphics::CTextureDeclarations();
        declarations->LoadBlob(blob.data(), static_cast<u32>(blob.size()));
        lv::graphics::CTextureManager::Instance().Init(declarations);

        std::string font =
            "<?xml version=\"1.0\"?>\n<Font Version=\"2\" Padding=\"0 0 0 0\" PixHeight=\"10\" "
            "Baseline=\"2\" Space=\"4\" SymbolGap=\"1\" LineGap=\"2\">\n";
        int i = 0;
        for (const char* range : {"az", "09"})
            for (char c = range[0]; c <= range[1]; ++c, ++i)
                font += "<Char Code=\"" + std::string(1, c) + "\" Rect=\"" + std::to_string(i * 8) + " 0 " +
                        std::to_string(i * 8 + 6) + " 10\" Width=\"5\" TopOffset=\"0\"/>\n";
        std::ofstream("fonts/bench_font.xml", std::ios::binary) << font << "</Font>\n";
        const std::string fonts = "<?xml version=\"1.0\"?><fonts><font id=\"bench_font\" image=\"glyphs\" "
                                  "file=\"fonts\\bench_font.xml\"/></fonts>";
        auto set = lv::graphics::CDeclarationSet::Create();
        set->LoadXml(fonts.data(), fonts.size(), nullptr);
        int counter = 0;
        lv::core::CFontManager::Instance()->LoadAll(*set, &counter);
        m_Settings.LoadXmlText(TableXml());
        lv::gui::CWidgetFactory::RegisterWidgetTypes();

        Log = lv::platform::InstallRecordingDirect3D();
        Log->WindowWidth = kTableBenchWidth;
        Log->WindowHeight = kTableBenchHeight;
        lv::graphics::GetGraphicsDevice().Release(false);
        Renderer = std::make_unique<lv::graphics::CRenderer>();
        Renderer->SetHost(&m_Host);
        Renderer->SetSourceSize(kTableBenchWidth, kTableBenchHeight);
        Renderer->SetMode(false, true, kTableBenchWidth, kTableBenchHeight);
    }
    ~CTableBenchContent()
    {
        Renderer.reset();
        lv::graphics::GetGraphicsDevice().Release(false);
        lv::platform::SetDirect3DFactory(nullptr);
        std::filesystem::current_path(m_Previous);
        std::error_code ignored;
        std::filesystem::remove_all(m_Folder, ignored);
    }

    lv::gui::CTableWidget::Ptr LoadTable() const
    {
        const lv::core::CSettingsGroup& root = m_Settings.GetFirstChild();
        lv::gui::CTableWidget::Ptr table(new lv::gui::CTableWidget());
        table->LoadFromTemplate(root.GetChild("table_widget"), root.GetChild("templates"));
        return table;
    }

    std::shared_ptr<lv::platform::CRecordingLog> Log;
    std::unique_ptr<lv::graphics::CRenderer> Renderer;

private:
    std::filesystem::path m_Folder;
    std::filesystem::path m_Previous;
    lv::core::CSettings m_Settings;
    benchsupport::CBenchRendererHost m_Host{kTableBenchWidth, kTableBenchHeight};
};

CTableBenchContent& TableContent()
{
    static CTableBenchContent content;
    return content;
}

void BM_TableSetSize50x6(benchmark::State& state)
{
    const lv::gui::CTableWidget::Ptr table = TableContent().LoadTable();
    if (table->GetRowCount() != 50 || table->GetColumnCount() != 6) {
        state.SkipWithError("table not loaded");
        return;
    }
    float width = 600;
    for (auto _ : state) {
        // Alternating widths, so every call moves the flexible columns.
        width = width == 600 ? 640 : 600;
        table->SetSize(width, table->GetSize().Y);
        benchmark::DoNotOptimize(table->GetColumnWidths().data());
    }
    state.SetItemsProcessed(state.iterations() * 50 * 6);
}
BENCHMARK(BM_TableSetSize50x6)->Unit(benchmark::kMicrosecond);

void BM_TableDraw50x6(benchmark::State& state)
{
    CTableBenchContent& content = TableContent();
    const lv::gui::CTableWidget::Ptr table = content.LoadTable();
    table->SelectRow(7);
    table->GetScrollBar()->SetValue(100);
    size_t draws = 0;
    for (auto _ : state) {
        content.Renderer->BeginFrame();
        table->Render(*content.Renderer);
        content.Renderer->Flush();
        content.Renderer->EndFrame();
        state.PauseTiming();
        draws = content.Log->Draws.size();
        content.Log->Take();
        content.Log->Draws.clear();
        state.ResumeTiming();
    }
    state.counters["draw_calls"] = static_cast<double>(draws);
}
BENCHMARK(BM_TableDraw50x6)->Unit(benchmark::kMicrosecond);

} // namespace
