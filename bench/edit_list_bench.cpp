// Text entry and list filling: typing 1,000 characters into a multi-line edit field with scroll
// bars (layout and caret placement per character), and AddString of 1,000 lines into a list
// with a scroll bar.
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
#include "graphics/TextureDeclarations.h"
#include "graphics/TextureManager.h"
#include "gui/EditWidget.h"
#include "gui/ListWidget.h"
#include "gui/TextLocale.h"
#include "gui/WidgetFactory.h"

namespace {

const char* const kBenchTemplates =
    "<?xml version=\"1.0\"?><root><templates>"
    "<scroll_template id=\"sb\" back_image=\"bar\" thumb_image=\"strip\" top_image=\"strip\" "
    "bottom_image=\"strip\"/>"
    "<scroll_template id=\"hsb\" vertical=\"false\" back_image=\"bar\" thumb_image=\"strip\" "
    "top_image=\"strip\" bottom_image=\"strip\"/>"
    "<edit_template id=\"et\" font=\"bench_font\" back_image=\"bar\" cursor_image=\"bar\">"
    "<named_object name=\"insets\"><insets left=\"4\" top=\"4\" right=\"4\" bottom=\"4\"/></named_object>"
    "<named_object name=\"horizontal_scroll\"><scroll scroll_template=\"hsb\"/></named_object>"
    "<named_object name=\"vertical_scroll\"><scroll scroll_template=\"sb\"/></named_object>"
    "</edit_template>"
    "<list_template id=\"lt\" font=\"bench_font\" background=\"bar\" scroll_template=\"sb\"/>"
    "</templates>"
    "<edit_widget edit_template=\"et\" width=\"300\" height=\"200\" multiline=\"true\" horz_scroll=\"true\" "
    "vert_scroll=\"true\"/>"
    "<list_widget list_template=\"lt\" list_height=\"10\"/>"
    "</root>";

// Images, a font and templates in a scratch folder, declared once to the process-wide managers.
class CBenchContent
{
public:
    CBenchContent()
    {
        m_Folder = std::filesystem::temp_directory_path() /
                   ("edit_list_bench_" + std::to_string(std::random_device()()));
        std::filesystem::create_directories(m_Folder / "gfx");
        std::filesystem::create_directories(m_Folder / "fonts");
        const std::filesystem::path previous = std::filesystem::current_path();
        std::filesystem::current_path(m_Folder);
        std::string surfaces, group;
        const struct
        {
            const char* name;
            u32 width, height;
        } images[] = {{"glyphs", 512, 16}, {"bar", 16, 16}, {"strip", 64, 16}};
        for (const auto& image : images) {
            std::vector<u32> pixels(image.width * image.height, 0xFFFFFFFFu);
            std::vector<u8> png;
            lv::content::EncodePngArgb(image.width, image.height, pixels, true, png);
            const std::string path = std::string("gfx/") + image.name + ".png";
            std::ofstream(path, std::ios::binary)
                .write(reinterpret_cast<const char*>(png.data()), static_cast<std::streamsize>(png.size()));
            surfaces += "<surface path=\"" + path + "\" width=\"" + std::to_string(image.width) + "\" height=\"" +
                        std::to_string(image.height) + "\"/>";
            group += std::string("<image id=\"") + image.name + "\" path=\"" + path + "\" cols=\"1\" rows=\"1\"/>";
        }
        std::vector<u8> blob;
        lv::content::CompileTextureDeclarations("<?xml version=\"1.0\"?>\n<resources><surfaces>" + surfaces +
                                                    "</surfaces><group id=\"gui\">" + group + "</group></resources>",
                                                blob);
        auto* declarations = new lv::graphics::CTextureDeclarations();
        declarations->LoadBlob(blob.data(), static_cast<u32>(blob.size()));
        lv::graphics::CTextureManager::Instance().Init(declarations);

        std::string font = "<?xml version=\"1.0\"?>\n<Font Version=\"2\" Padding=\"0 0 0 0\" PixHeight=\"10\" "
                           "Baseline=\"2\" Space=\"4\" SymbolGap=\"1\" LineGap=\"2\">\n";
        int i = 0;
        for (char c = 'a'; c <= 'z'; ++c, ++i)
            font += "<Char Code=\"" + std::string(1, c) + "\" Rect=\"" + std::to_string(i * 8) + " 0 " +
                    std::to_string(i * 8 + 6) + " 10\" Width=\"5\" TopOffset=\"0\"/>\n";
        std::ofstream("fonts/bench_font.xml", std::ios::binary) << font << "</Font>\n";
        const std::string fonts = "<?xml version=\"1.0\"?><fonts><font id=\"bench_font\" image=\"glyphs\" "
                                  "file=\"fonts\\bench_font.xml\"/></fonts>";
        auto set = lv::graphics::CDeclarationSet::Create();
        set->LoadXml(fonts.data(), fonts.size(), nullptr);
        int counter = 0;
        lv::core::CFontManager::Instance()->LoadAll(*set, &counter);
        std::filesystem::current_path(previous);
        m_Settings.LoadXmlText(kBenchTemplates);
        lv::gui::CWidgetFactory::RegisterWidgetTypes();
        lv::gui::CTextLocale::Set(std::locale::classic());
    }
    ~CBenchContent()
    {
        std::error_code ignored;
        std::filesystem::remove_all(m_Folder, ignored);
    }

    const lv::core::CSettingsGroup& Templates() const { return m_Settings.GetFirstChild().GetChild("templates"); }
    const lv::core::CSettingsGroup& Node(const char* name) const
    {
        return m_Settings.GetFirstChild().GetChild(name);
    }

private:
    std::filesystem::path m_Folder;
    lv::core::CSettings m_Settings;
};

CBenchContent& Content()
{
    static CBenchContent content;
    return content;
}

void BM_EditTyping1000(benchmark::State& state)
{
    CBenchContent& content = Content();
    for (auto _ : state) {
        lv::gui::CEditWidget::Ptr edit(new lv::gui::CEditWidget());
        edit->LoadFromTemplate(content.Node("edit_widget"), content.Templates());
        for (int i = 0; i < 1000; ++i)
            edit->OnChar(static_cast<u16>(i % 40 == 39 ? '\r' : (i % 6 == 5 ? ' ' : 'a' + i % 26)), 0, 0, 0);
        benchmark::DoNotOptimize(edit->GetCaret());
        if (edit->GetText().size() != 1000)
            state.SkipWithError("typing lost characters");
    }
    state.SetItemsProcessed(state.iterations() * 1000);
}
BENCHMARK(BM_EditTyping1000)->Unit(benchmark::kMillisecond);

void BM_ListAddString1000(benchmark::State& state)
{
    CBenchContent& content = Content();
    const std::u16string line = u"line of the list";
    for (auto _ : state) {
        lv::gui::CListWidget::Ptr list(new lv::gui::CListWidget());
        list->LoadFromTemplate(content.Node("list_widget"), content.Templates());
        for (int i = 0; i < 1000; ++i)
            list->AddString(line);
        benchmark::DoNotOptimize(list->GetLineCount());
        if (list->GetLineCount() != 1000 || !list->GetScrollBar())
            state.SkipWithError("list not filled");
    }
    state.SetItemsProcessed(state.iterations() * 1000);
}
BENCHMARK(BM_ListAddString1000)->Unit(benchmark::kMillisecond);

} // namespace
