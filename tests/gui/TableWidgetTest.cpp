#include "RecordingRenderer.h"
#include "WidgetTestSupport.h"

#include "graphics/Sprite.h"
#include "gui/InputDispatcher.h"
#include "gui/TableWidget.h"
#include "gui/WidgetFactory.h"

#include <gtest/gtest.h>

using lv::gui::CTableWidget;

namespace {

// The scroll bar is 16 wide with 16-long arrows.
const char* const kTableTemplates =
    "<scroll_template id=\"tsb\" back_image=\"sb_back\" thumb_image=\"sb_thumb\" top_image=\"sb_arrow\" "
    "bottom_image=\"sb_arrow\"/>"
    "<table_template id=\"grid\" default_back_image=\"cell_bg\" lines_image=\"table_lines\" "
    "default_selection_back=\"cell_sel\" scroll_template=\"tsb\"/>"
    "<table_template id=\"bare\" default_back_image=\"cell_bg\" default_selection_back=\"cell_sel\"/>";

// A cell whose content needs width x 20.
std::string TableCellXml(int width, int flex = 0)
{
    return "<cell" + (flex ? " flex=\"" + std::to_string(flex) + "\"" : std::string()) +
           "><image_widget image=\"icon\" width=\"" + std::to_string(width) + "\" height=\"20\"/></cell>";
}

std::string TableRowsXml(const std::vector<std::string>& rows)
{
    std::string out = "<named_object name=\"rows\"><rows>";
    for (const std::string& cells : rows)
        out += "<row>" + cells + "</row>";
    return out + "</rows></named_object>";
}

std::vector<std::string> TableSameRows(int count, const std::string& cells)
{
    return std::vector<std::string>(static_cast<size_t>(count), cells);
}

lv::graphics::CImageHandle* TableImage(const char* name)
{
    return lv::graphics::CSprite(CFixedString(name)).GetImage();
}

class TableWidget : public testing::Test
{
protected:
    void SetUp() override
    {
        guitest::DeclareGuiTestImages();
        lv::gui::CWidgetFactory::RegisterWidgetTypes();
        Root.reset(new CEventWindow(Events));
        Dispatcher.SetRoot(Root);
        Dispatcher.Update();
    }

    // At (100, 100).
    CTableWidget::Ptr Load(const std::string& attributes, const std::vector<std::string>& rows)
    {
        const CTemplateXml xml(kTableTemplates, "<table_widget id=\"table\" x=\"100\" y=\"100\" " +
                                                    attributes + ">" + TableRowsXml(rows) +
                                                    "</table_widget>");
        CTableWidget::Ptr table(
            static_cast<CTableWidget*>(lv::gui::CWidgetFactory::Instance().CreateWidget("table_widget")));
        Root->AddChild(table);
        table->LoadFromTemplate(xml.Node(), xml.Templates());
        Events.clear();
        return table;
    }

    void Click(s32 x, s32 y)
    {
        Dispatcher.DispatchMouseDown(CPoint2i(x, y), 0, 0, 0);
        Dispatcher.DispatchMouseUp(CPoint2i(x, y), 0, 0, 0);
    }

    // The image each cell's background shows, row by row.
    static std::vector<lv::graphics::CImageHandle*> Backgrounds(const CTableWidget& table, s32 row)
    {
        std::vector<lv::graphics::CImageHandle*> out;
        for (const lv::gui::CTableCell& cell : *table.GetRow(row))
            if (cell.m_Background)
                out.push_back(cell.m_Background->GetImage().GetImage());
        return out;
    }

    std::vector<std::string> Events;
    boost::intrusive_ptr<CEventWindow> Root;
    lv::gui::CInputDispatcher Dispatcher;
};

} // namespace

TEST_F(TableWidget, FlexibleColumnsShareWhatTheFixedOnesLeave)
{
    auto table =
        Load("table_template=\"bare\"", {TableCellXml(100) + TableCellXml(50, 1) + TableCellXml(50, 3)});
    EXPECT_EQ(table->GetPreferredSize(), CVector2(100 + 50 * 4, 20));
    EXPECT_EQ(table->GetSize(), CVector2(300, 20));
    table->SetSize(400, 20);
    EXPECT_EQ(table->GetColumnWidths(), (std::vector<float>{100, 75, 225}));
    EXPECT_EQ(table->GetCell(0, 2)->GetSize(), CVector2(225, 20));
    EXPECT_EQ(table->GetCell(0, 2)->GetPosition(), CVector2(175, 0));
    EXPECT_EQ(table->GetPreferredSize(), CVector2(300, 20));
    EXPECT_TRUE(table->GetFlags() & lv::gui::CBaseWidget::ClipChildren);
    // Without flexible columns nothing is shared out.
    auto fixed = Load("table_template=\"bare\"", {TableCellXml(30) + TableCellXml(40), TableCellXml(50)});
    fixed->SetSize(400, 40);
    EXPECT_EQ(fixed->GetColumnWidths(), (std::vector<float>{50, 40}));
    EXPECT_EQ(fixed->GetPreferredSize(), CVector2(90, 40));
}

TEST_F(TableWidget, TitledTableScrollsByPixelsUnderAFixedTitle)
{
    auto table = Load("table_template=\"grid\" has_title=\"true\" table_height=\"5\"",
                      TableSameRows(10, TableCellXml(100)));
    lv::gui::CScrollWidget* bar = table->GetScrollBar();
    ASSERT_NE(bar, nullptr);
    EXPECT_EQ(table->GetSize(), CVector2(116, 100));
    EXPECT_FALSE(bar->GetFlags() & lv::gui::CBaseWidget::Hidden);
    EXPECT_EQ(bar->GetMaxValue(), 180);
    EXPECT_EQ(bar->GetPageSize(), 80);
    EXPECT_EQ(bar->GetPosition(), CVector2(100, 20));
    EXPECT_EQ(bar->GetSize().Y, 80);
    // One notch is a fifth of the page.
    Dispatcher.DispatchMouseWheel(CPoint2i(150, 150), -1, 0);
    EXPECT_EQ(bar->GetValue(), 16);
    EXPECT_EQ(table->GetCell(0, 0)->GetPosition().Y, 0);
    EXPECT_EQ(table->GetCell(1, 0)->GetPosition().Y, 20 - 16);
    EXPECT_EQ(table->GetCell(9, 0)->GetPosition().Y, 180 - 16);
    EXPECT_EQ(Events, (std::vector<std::string>{"value_changed grid"}));
    // The lower arrow, at the bar's end (table y 84 .. 100), steps 35 pixels.
    Click(205, 190);
    EXPECT_EQ(bar->GetValue(), 16 + 35);
    EXPECT_EQ(table->GetCell(2, 0)->GetPosition().Y, 40 - 51);
    // Flexible columns leave the shown bar its room.
    auto flexible = Load("table_template=\"grid\" table_height=\"3\"",
                         TableSameRows(6, TableCellXml(40) + TableCellXml(30, 1)));
    EXPECT_EQ(flexible->GetSize().X, 40 + 30 + 16);
    EXPECT_EQ(flexible->GetColumnWidths(), (std::vector<float>{40, 30}));
    // All rows shown: the bar hides and nothing moves.
    auto all = Load("table_template=\"grid\" table_height=\"10\"", TableSameRows(10, TableCellXml(100)));
    EXPECT_TRUE(all->GetScrollBar()->GetFlags() & lv::gui::CBaseWidget::Disabled);
    EXPECT_EQ(all->GetSize().Y, 200);
    EXPECT_EQ(all->GetCell(9, 0)->GetPosition().Y, 180);
}

TEST_F(TableWidget, SelectionAndDoubleClicksSkipTheTitle)
{
    auto table = Load("table_template=\"grid\" has_title=\"true\" enable_selection=\"true\"",
                      TableSameRows(8, TableCellXml(100)));
    Click(150, 105);
    Dispatcher.DispatchDoubleClick(CPoint2i(150, 105), 0);
    EXPECT_EQ(table->GetSelectedRow(), -1);
    EXPECT_TRUE(Events.empty());
    // Row 2 lies from y 140 to 160; any button selects.
    Dispatcher.DispatchMouseDown(CPoint2i(150, 145), 1, 0, 0);
    EXPECT_EQ(table->GetSelectedRow(), 2);
    Dispatcher.DispatchDoubleClick(CPoint2i(150, 145), 0);
    EXPECT_EQ(Events, (std::vector<std::string>{"row_selected table", "table_double_click table"}));
    // Double clicks work without selection too.
    auto plain = Load("table_template=\"grid\"", TableSameRows(3, TableCellXml(100)));
    Dispatcher.DispatchDoubleClick(CPoint2i(150, 105), 0);
    EXPECT_EQ(plain->GetSelectedRow(), -1);
    EXPECT_EQ(Events, (std::vector<std::string>{"table_double_click table"}));
}

// A row scrolled partly under the fixed title is hidden there: presses on the title reach
// neither its selection nor its double click.
TEST_F(TableWidget, RowsScrolledUnderTheTitleTakeNoPressesThere)
{
    auto table =
        Load("table_template=\"grid\" has_title=\"true\" table_height=\"4\" enable_selection=\"true\"",
             TableSameRows(8, TableCellXml(100)));
    table->GetScrollBar()->SetValue(10);
    Events.clear();
    // Row 1 now spans y 10 .. 30, under the title's 0 .. 20.
    Dispatcher.DispatchMouseDown(CPoint2i(150, 115), 0, 0, 0);
    Dispatcher.DispatchDoubleClick(CPoint2i(150, 115), 0);
    EXPECT_EQ(table->GetSelectedRow(), -1);
    EXPECT_TRUE(Events.empty());
    Dispatcher.DispatchMouseDown(CPoint2i(150, 125), 0, 0, 0);
    EXPECT_EQ(table->GetSelectedRow(), 1);
}

TEST_F(TableWidget, SelectingAnotherRowRestoresTheOldRowsBackgrounds)
{
    auto table = Load("table_template=\"bare\"", TableSameRows(8, TableCellXml(40) + TableCellXml(40)));
    table->SelectRow(3);
    Events.clear();
    table->SelectRow(5);
    table->SelectRow(5);
    table->SelectRow(8);
    table->SelectRow(-1);
    EXPECT_EQ(Events, (std::vector<std::string>{"row_selected table"}));
    using Images = std::vector<lv::graphics::CImageHandle*>;
    EXPECT_EQ(Backgrounds(*table, 3), (Images{TableImage("cell_bg"), TableImage("cell_bg")}));
    EXPECT_EQ(Backgrounds(*table, 5), (Images{TableImage("cell_sel"), TableImage("cell_sel")}));
    EXPECT_EQ(table->GetRow(5)->front().m_Background->GetImage().GetFlags(), 3);
}

TEST_F(TableWidget, ShortRowsArePaddedWithEmptyCells)
{
    auto table = Load("table_template=\"bare\"",
                      {TableCellXml(10) + TableCellXml(20) + TableCellXml(30) + TableCellXml(40),
                       TableCellXml(15) + TableCellXml(5)});
    EXPECT_EQ(table->GetColumnCount(), 4);
    ASSERT_EQ(table->GetRow(1)->size(), 4u);
    EXPECT_TRUE((*table->GetRow(1))[2].IsFiller());
    EXPECT_EQ(table->GetCell(1, 2), nullptr);
    EXPECT_EQ(table->GetCell(1, 4), nullptr);
    EXPECT_EQ(table->GetCell(2, 0), nullptr);
    EXPECT_NE(table->GetCell(1, 1), nullptr);
    EXPECT_EQ(table->GetColumnWidths(), (std::vector<float>{15, 20, 30, 40}));
    EXPECT_EQ(table->GetChildren().size(), 12u);
    CRecordingRenderer renderer;
    table->Render(*renderer.Renderer);
    renderer.Renderer->Flush();
    EXPECT_EQ(DrawnBounds(*renderer.Log), CFloatRect(100, 100, 105, 40));
}

// The selection follows its row when rows above it go, and leaves with its row: selecting
// afterwards touches only rows that exist.
TEST_F(TableWidget, RemovingRowsMovesOrClearsTheSelection)
{
    auto table = Load("table_template=\"grid\" enable_selection=\"true\" table_height=\"4\"",
                      TableSameRows(10, TableCellXml(40) + TableCellXml(40)));
    table->SelectRow(9);
    table->RemoveRow(9);
    EXPECT_EQ(table->GetSelectedRow(), -1);
    table->SelectRow(5);
    table->RemoveRow(2);
    EXPECT_EQ(table->GetSelectedRow(), 4);
    EXPECT_EQ(table->GetRowCount(), 8);
    EXPECT_EQ(Backgrounds(*table, 4)[0], TableImage("cell_sel"));
    table->RemoveRow(4);
    table->RemoveRow(20);
    EXPECT_EQ(table->GetSelectedRow(), -1);
    Root->UpdateAll();
    table->SelectRow(6);
    for (s32 row = 0; row < table->GetRowCount(); ++row)
        EXPECT_EQ(Backgrounds(*table, row)[0], TableImage(row == 6 ? "cell_sel" : "cell_bg")) << row;
    EXPECT_EQ(table->GetCell(3, 0)->GetPosition().Y, 60);
    // Scroll bar and two widgets per remaining cell.
    EXPECT_EQ(table->GetChildren().size(), 1u + 7 * 4);

    table->RemoveAllRows();
    EXPECT_EQ(table->GetRowCount(), 0);
    EXPECT_EQ(table->GetSelectedRow(), -1);
    table->RebuildRow(1);
    table->RebuildRow(10);
    table->FitToContent();
    EXPECT_EQ(table->GetRowCount(), 1);
    EXPECT_EQ(table->GetColumnCount(), 2);
    EXPECT_EQ(table->GetSize().Y, 20);
}

TEST_F(TableWidget, DrawsTheGridFromTheLineStrip)
{
    auto table = Load("table_template=\"grid\" has_title=\"true\" table_height=\"3\"",
                      TableSameRows(5, TableCellXml(40) + TableCellXml(40)));
    EXPECT_EQ(table->GetLinePiece(CTableWidget::PieceCross).GetSourceRect().x, 8 * 4 + 1);
    EXPECT_EQ(table->GetLinePiece(CTableWidget::PieceCross).GetSourceRect().width, 2);
    CRecordingRenderer renderer;
    table->Render(*renderer.Renderer);
    renderer.Renderer->Flush();
    // Cells, grid and scroll bar stay inside the table's 96 x 60.
    EXPECT_EQ(DrawnBounds(*renderer.Log), CFloatRect(100, 100, 96, 60));
    auto bare = Load("table_template=\"bare\"", {TableCellXml(40)});
    EXPECT_EQ(bare->GetLinePiece(0).GetImage(), nullptr);
}
