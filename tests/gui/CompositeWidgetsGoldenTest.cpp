// One window of the composite widgets loaded from templates (an open combo box, a tab strip with
// its second tab selected, a titled and scrolled table with a selected row and its grid lines, a
// progress bar at a quarter and an image box with content), drawn on the real OpenGL layer and
// compared with a reference image. GAME_UPDATE_GOLDEN=1 writes the reference instead (check it
// by eye).
#include "GlWindowTestSupport.h"
#include "WidgetTestSupport.h"
#include "support/GoldenImage.h"

#include "graphics/Renderer.h"
#include "graphics/TextureManager.h"
#include "gui/ComboBoxWidget.h"
#include "gui/ImageBoxWidget.h"
#include "gui/ProgressBarWidget.h"
#include "gui/TabWidget.h"
#include "gui/TableWidget.h"
#include "gui/WidgetFactory.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>

namespace {

constexpr s32 kCompositeWidth = 320;
constexpr s32 kCompositeHeight = 240;

const char* const kCompositeTemplates =
    "<scroll_template id=\"sb\" back_image=\"sb_back\" thumb_image=\"sb_thumb\" top_image=\"sb_arrow\" "
    "bottom_image=\"sb_arrow\"/>"
    "<label_template id=\"text\" font=\"gui_font\"/>"
    "<button_template id=\"cbtn\" image=\"combo_btn\"/>"
    "<list_template id=\"clist\" font=\"gui_font\" background=\"box\" color_text_normal=\"-16777216\" "
    "color_text_selected=\"-1\" color_selection=\"-12558128\">"
    "<named_object name=\"insets\"><insets left=\"3\" top=\"2\" right=\"3\" bottom=\"2\"/></named_object>"
    "<named_object name=\"label_insets\"><insets top=\"1\" bottom=\"1\"/></named_object></list_template>"
    "<combobox_template id=\"combo\" button_template=\"cbtn\" label_template=\"text\" "
    "list_template=\"clist\" "
    "back_image=\"frame24\"><named_object name=\"label_insets\"><insets left=\"4\"/></named_object>"
    "</combobox_template>"
    "<button_template id=\"tabbtn\" image=\"tab60\" label_template=\"text\" color_normal=\"-1\" "
    "color_disabled=\"-256\"/>"
    "<tab_template id=\"tabs\" button_template=\"tabbtn\" tab_offset_left=\"6\" tab_space=\"4\" "
    "tab_offset_bottom=\"2\" back_image=\"frame24\">"
    "<named_object name=\"tab_insets\"><insets left=\"6\" top=\"6\" right=\"6\" bottom=\"6\"/></named_object>"
    "</tab_template>"
    "<table_template id=\"grid\" default_back_image=\"cell_bg\" lines_image=\"table_lines\" "
    "default_selection_back=\"cell_sel\" scroll_template=\"sb\"/>"
    "<imagebox_template id=\"ibox\"><named_object name=\"insets\"><insets left=\"4\" top=\"4\" right=\"4\" "
    "bottom=\"4\"/></named_object></imagebox_template>";

std::string CompositeTableRows()
{
    std::string rows =
        "<named_object name=\"rows\"><rows><row>"
        "<cell back_image=\"cell_title\"><label_widget label_template=\"text\" text=\"Name\" "
        "justification=\"center\" width=\"50\" height=\"18\" color=\"#255 60 30 0\"/></cell>"
        "<cell back_image=\"cell_title\" flex=\"1\"><label_widget label_template=\"text\" text=\"Vv\" "
        "justification=\"center\" width=\"40\" height=\"18\" color=\"#255 60 30 0\"/></cell></row>";
    for (int i = 0; i < 8; ++i)
        rows += "<row><cell><label_widget label_template=\"text\" text=\"" +
                std::string(static_cast<size_t>(1 + i % 4), 'r') +
                "\" justification=\"left center\" width=\"50\" height=\"18\" color=\"#255 40 40 40\"/></cell>"
                "<cell flex=\"1\"><image_widget image=\"icon\" width=\"16\" height=\"16\"/></cell></row>";
    return rows + "</rows></named_object>";
}

std::string CompositeWindow()
{
    return "<window id=\"w\">"
           "<combobox_widget id=\"combo\" combobox_template=\"combo\" abs_pos=\"true\" x=\"10\" y=\"10\" "
           "list_height=\"4\" selected=\"1\"><named_object name=\"strings\"><strings><string text=\"alpha\"/>"
           "<string text=\"beta\"/><string text=\"gamma\"/><string text=\"delta\"/><string text=\"epsilon\"/>"
           "</strings></named_object></combobox_widget>"
           "<tab_widget id=\"tabs\" tab_template=\"tabs\" abs_pos=\"true\" x=\"120\" y=\"10\">"
           "<named_object name=\"tabs\"><tabs>"
           "<tab caption=\"One\"><image_widget image=\"win_bg\" width=\"60\" height=\"40\"/></tab>"
           "<tab caption=\"Two\"><hbox><image_widget image=\"icon\" width=\"40\" height=\"30\"/>"
           "<label_widget label_template=\"text\" text=\"panel\" width=\"60\" height=\"30\" "
           "justification=\"center\" color=\"#255 20 40 80\"/></hbox></tab>"
           "<tab caption=\"Three\"/></tabs></named_object></tab_widget>"
           "<table_widget id=\"table\" table_template=\"grid\" has_title=\"true\" table_height=\"4\" "
           "enable_selection=\"true\" abs_pos=\"true\" x=\"10\" y=\"110\">" +
           CompositeTableRows() +
           "</table_widget>"
           "<progress_bar_widget id=\"progress\" frame=\"pb_frame\" progress=\"pb_fill\" width=\"120\" "
           "height=\"12\" "
           "abs_pos=\"true\" x=\"170\" y=\"130\"/>"
           "<image_box_widget id=\"box\" imagebox_template=\"ibox\" frame_image=\"frame24\" width=\"100\" "
           "height=\"60\" abs_pos=\"true\" x=\"170\" y=\"160\"/>"
           "</window>";
}

template <class T> T* FindWidget(lv::gui::CBaseWidget& root, const char* name)
{
    return dynamic_cast<T*>(root.FindChild(CFixedString(name), true).get());
}

} // namespace

TEST(GoldenImage, CompositeWidgetsThroughOpenGl)
{
    ASSERT_NE(guitest::DeclareGuiTestFont(), nullptr);
    lv::gui::CWidgetFactory::RegisterWidgetTypes();
    guitest::CGlWindowHost host(kCompositeWidth, kCompositeHeight);
    ASSERT_TRUE(host.Open("composite test"));
    const CWorkingFolder cwd(guitest::ImagesFolder());
    std::vector<u32> pixels;
    std::vector<std::string> events;
    {
        lv::graphics::CRenderer renderer;
        ASSERT_TRUE(host.StartRenderer(renderer));

        boost::intrusive_ptr<CEventWindow> window(new CEventWindow(events));
        const CTemplateXml xml(kCompositeTemplates, CompositeWindow());
        window->LoadFromTemplate(xml.Node(), xml.Templates());
        window->SetSize(kCompositeWidth, kCompositeHeight);

        auto* combo = FindWidget<lv::gui::CComboBoxWidget>(*window, "combo");
        auto* tabs = FindWidget<lv::gui::CTabWidget>(*window, "tabs");
        auto* table = FindWidget<lv::gui::CTableWidget>(*window, "table");
        auto* progress = FindWidget<lv::gui::CProgressBarWidget>(*window, "progress");
        auto* box = FindWidget<lv::gui::CImageBoxWidget>(*window, "box");
        ASSERT_TRUE(combo && tabs && table && progress && box);
        combo->ShowList(true);
        tabs->SelectPanel(1);
        table->GetScrollBar()->SetValue(10);
        table->SelectRow(3);
        progress->SetValue(0.25f);
        lv::gui::CImageWidget::Ptr content(
            new lv::gui::CImageWidget(CFixedString("icon"), CFixedString(""), 0, 0));
        content->SetSize(40, 20);
        box->SetContent(content.get());
        window->UpdateAll();
        EXPECT_EQ(combo->GetLabel()->GetText(), u"beta");
        EXPECT_EQ(table->GetSelectedRow(), 3);

        ASSERT_TRUE(renderer.BeginFrame());
        renderer.Clear(CColor(0xFF304030u));
        window->Render(renderer);
        ASSERT_NO_FATAL_FAILURE(guitest::ReadFrame(renderer, kCompositeWidth, kCompositeHeight, pixels));
        window.reset();
        lv::graphics::CTextureManager::Instance().ReleaseAllDeviceTextures();
    }
    host.Close();

    testsupport::ExpectGoldenImage(testsupport::GoldenFolder(__FILE__), "composite_widgets",
                                   kCompositeWidth, kCompositeHeight, pixels);
}
