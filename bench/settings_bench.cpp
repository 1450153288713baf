// Loading a generated 1 MB GUI-template-like document into a settings tree (from memory and
// from a disk file), and attribute lookups per second on the loaded tree.
#include "core/Settings.h"
#include "core/TextConvert.h"

#include <benchmark/benchmark.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>
#include <vector>

using namespace lv::core;

namespace {

const char* const kWidgetTypes[] = {"button", "label", "image", "checkbox",
                                    "slider", "edit",  "list",  "progress"};
const char* const kFonts[] = {"main_font", "title_font", "small_font"};
const char* const kAligns[] = {"left", "center", "right"};

// Windows of widgets in the shape of the game's template files: a dozen attributes per widget,
// shared values, colours, insets and row lists under named_object elements.
std::string MakeTemplates(size_t targetBytes)
{
    std::mt19937 engine(12345);
    auto random = [&engine] { return static_cast<unsigned>(engine()); };
    std::string xml = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<GUITemplates>\n";
    char line[512];
    for (int window = 0; xml.size() < targetBytes; ++window) {
        std::snprintf(
            line, sizeof(line),
            "  <window id=\"window_%d\" x=\"0\" y=\"0\" width=\"1366\" height=\"768\" modal=\"true\">\n",
            window);
        xml += line;
        xml += "    <named_object name=\"insets\"><insets left=\"8\" top=\"8\" right=\"8\" "
               "bottom=\"8\"/></named_object>\n";
        for (int w = 0; w < 24; ++w) {
            const char* type = kWidgetTypes[random() % 8];
            std::snprintf(line, sizeof(line),
                          "    <%s id=\"%s_%d\" x=\"%u\" y=\"%u\" width=\"%u\" height=\"%u\" font=\"%s\" "
                          "align=\"%s\" color=\"#255 %u %u %u\" visible=\"true\" enabled=\"%s\" text=\"$%u\" "
                          "sound=\"click\" tooltip=\"%u\"/>\n",
                          type, type, w, random() % 1366, random() % 768, 20 + random() % 300,
                          20 + random() % 100, kFonts[random() % 3], kAligns[random() % 3], random() % 256,
                          random() % 256, random() % 256, random() % 4 ? "true" : "false",
                          1000 + random() % 500, random() % 100);
            xml += line;
        }
        xml += "    <named_object name=\"rows\">";
        for (int r = 0; r < 6; ++r) {
            std::snprintf(line, sizeof(line), "<row id=\"%d\" height=\"24\"/>", r);
            xml += line;
        }
        xml += "</named_object>\n  </window>\n";
    }
    xml += "</GUITemplates>\n";
    return xml;
}

const std::string& Templates()
{
    static const std::string text = MakeTemplates(1 << 20);
    return text;
}

void BM_ParseTemplatesFromMemory(benchmark::State& state)
{
    const std::string& text = Templates();
    for (auto _ : state) {
        CSettings settings;
        benchmark::DoNotOptimize(settings.ParseXmlText(text.data(), text.size()));
    }
    state.SetBytesProcessed(static_cast<s64>(state.iterations() * text.size()));
}
BENCHMARK(BM_ParseTemplatesFromMemory)->Unit(benchmark::kMillisecond);

void BM_LoadTemplatesFromDisk(benchmark::State& state)
{
    const std::filesystem::path path = std::filesystem::temp_directory_path() /
                                       ("settings_bench-" + std::to_string(std::random_device()()) + ".xml");
    std::ofstream(path, std::ios::binary) << Templates();
    const WString wide = Utf8ToWide(path.string());
    for (auto _ : state) {
        CSettings settings;
        benchmark::DoNotOptimize(settings.LoadXml(wide.c_str()));
    }
    state.SetBytesProcessed(static_cast<s64>(state.iterations() * Templates().size()));
    std::error_code ec;
    std::filesystem::remove(path, ec);
}
BENCHMARK(BM_LoadTemplatesFromDisk)->Unit(benchmark::kMillisecond);

// One element with 100,000 attributes in reverse name order (about 1.2 MB), as a damaged
// profile could hold: loading must stay near linear, not move every attribute per insertion.
void BM_LoadManyAttributesInReverseOrder(benchmark::State& state)
{
    const int count = static_cast<int>(state.range(0));
    std::string xml = "<?xml version=\"1.0\"?>\n<profile";
    char attribute[32];
    for (int i = count - 1; i >= 0; --i) {
        std::snprintf(attribute, sizeof(attribute), " a%06d=\"1\"", i);
        xml += attribute;
    }
    xml += "/>\n";
    for (auto _ : state) {
        CSettings settings;
        benchmark::DoNotOptimize(settings.ParseXmlText(xml.data(), xml.size()));
    }
    state.SetBytesProcessed(static_cast<s64>(state.iterations() * xml.size()));
}
BENCHMARK(BM_LoadManyAttributesInReverseOrder)->Arg(100000)->Arg(300000)->Unit(benchmark::kMillisecond);

// Every widget of the loaded tree asked for the attributes a widget loader reads, half of
// which a given widget usually lacks.
void BM_AttributeLookups(benchmark::State& state)
{
    CSettings settings;
    settings.ParseXmlText(Templates().data(), Templates().size());
    std::vector<const CSettingsGroup*> widgets;
    for (const auto& window : settings.GetFirstChild().GetChildren())
        for (const auto& widget : window->GetChildren())
            widgets.push_back(widget.get());
    const char* const names[] = {"id",      "x",     "y",    "width", "height", "font",   "align",   "color",
                                 "visible", "alpha", "text", "sound", "hint",   "cursor", "tooltip", "layer"};
    s64 found = 0;
    for (auto _ : state) {
        for (const CSettingsGroup* widget : widgets) {
            for (const char* name : names)
                found += widget->HasAttribute(name);
        }
    }
    benchmark::DoNotOptimize(found);
    state.SetItemsProcessed(static_cast<s64>(state.iterations() * widgets.size() * std::size(names)));
}
BENCHMARK(BM_AttributeLookups);

// Typed reads through the same lookups.
void BM_TypedGetters(benchmark::State& state)
{
    CSettings settings;
    settings.ParseXmlText(Templates().data(), Templates().size());
    const CSettingsGroup& window = settings.GetFirstChild().GetChild("window");
    s64 sum = 0;
    for (auto _ : state) {
        for (const auto& widget : window.GetChildren()) {
            sum += widget->GetInt("x") + widget->GetInt("width") + widget->GetBool("visible");
            CColor color;
            widget->ReadColor("color", color);
            sum += color.R;
        }
    }
    benchmark::DoNotOptimize(sum);
    state.SetItemsProcessed(static_cast<s64>(state.iterations() * window.GetChildren().size() * 4));
}
BENCHMARK(BM_TypedGetters);

// Windows are found by element name and id among hundreds of templates.
void BM_FindWindowById(benchmark::State& state)
{
    CSettings settings;
    settings.ParseXmlText(Templates().data(), Templates().size());
    const CSettingsGroup& root = settings.GetFirstChild();
    const u32 windows = root.CountChildren("window");
    u32 i = 0;
    for (auto _ : state) {
        const std::string id = "window_" + std::to_string(i++ % windows);
        benchmark::DoNotOptimize(root.FindChildByAttribute("window", "id", id));
    }
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_FindWindowById);

} // namespace
