#pragma once
// A grid of cells loaded from templates (each cell a container for any widgets), with grid
// lines cut from a strip of 15 pieces, an optional title row that stays in place, row selection
// shown by a cell background, vertical scrolling by pixels when only the first rows fit, and a
// double-click event. Raises "row_selected" and "table_double_click".
#include "graphics/Sprite.h"
#include "gui/ScrollWidget.h"
#include "gui/TableCell.h"

#include <boost/shared_ptr.hpp>

#include <vector>

namespace lv::core {
class CSettingsGroup;
}

namespace lv::gui {

class CTableWidget : public CWidget
{
public:
    using Ptr = boost::intrusive_ptr<CTableWidget>;
    using CRow = std::vector<CTableCell>;

    enum ELinePiece : s32
    {
        PieceTopLeft,
        PieceTopRight,
        PieceBottomLeft,
        PieceBottomRight,
        PieceLeftT,
        PieceTopT,
        PieceRightT,
        PieceBottomT,
        PieceCross,
        PieceTopEdge,
        PieceBottomEdge,
        PieceLeftEdge,
        PieceRightEdge,
        PieceHorizontal,
        PieceVertical,
        PieceCount
    };

    // No rows: what the factory makes before loading a template.
    CTableWidget();
    CTableWidget(const CFixedString& name, u32 layer, u32 eventMask);
    ~CTableWidget() override;

    // Sizes the columns (flexible ones share what the fixed ones leave) and the rows.
    void SetSize(float width, float height) override;
    CVector2 GetPreferredSize() const override;
    // Moves the rows when the own scroll bar's value changes.
    void OnEvent(const char* eventName, CBaseWidget* sender) override;
    // Selects the row under the point when selection is enabled.
    bool OnMouseDown(const CPoint2i& point, s32 button, s32 keyFlags, u8 pass) override;
    bool OnMouseDoubleClick(const CPoint2i& point, s32 keyFlags, u8 pass) override;
    // Children first, then the scroll bar; true when there is one.
    bool OnMouseWheel(const CPoint2i& point, s32 notches, s32 keyFlags, u8 pass) override;
    void LoadFromTemplate(const lv::core::CSettingsGroup& node,
                          const lv::core::CSettingsGroup& templates) override;
    void Draw(lv::graphics::CRenderer& renderer) override;

    // Sends "row_selected".
    virtual void NotifyChanged();

    // The cell's content; null out of range and for filler cells.
    CWidget* GetCell(s32 row, s32 column) const;
    s32 GetSelectedRow() const { return m_SelectedRow; }
    // Rows out of range, the selected row and a title row are ignored.
    void SelectRow(s32 row);
    // Builds a row from the cell elements of a row element and appends it.
    void AddRow(const lv::core::CSettingsGroup& rowElement, const lv::core::CSettingsGroup& templates);
    // The selection follows its row, or is cleared with it.
    void RemoveRow(s32 row);
    void RemoveAllRows();
    // Appends the row built again from its stored element.
    void RebuildRow(s32 index);
    void FitToContent();

    s32 GetRowCount() const { return m_RowCount; }
    s32 GetColumnCount() const { return m_ColumnCount; }
    const std::vector<float>& GetColumnWidths() const { return m_ColumnWidths; }
    const std::vector<float>& GetRowHeights() const { return m_RowHeights; }
    const CRow* GetRow(s32 row) const;
    CScrollWidget* GetScrollBar() const { return m_ScrollBar.get(); }
    bool HasTitle() const { return m_HasTitle != 0; }
    s32 GetTableHeight() const { return m_TableHeight; }
    const lv::graphics::CSprite& GetLinePiece(s32 piece) const { return m_Lines[piece]; }
    // Sum of the heights of the rows shown at once.
    float GetVisibleHeight() const { return VisibleHeight(m_RowHeights); }

private:
    struct SMeasure
    {
        std::vector<float> Widths, Heights;
        std::vector<s32> Flex;
        s32 TotalFlex = 0;
        float FixedWidth = 0;
    };
    SMeasure Measure() const;
    bool Scrolling() const { return m_TableHeight > 0 && m_TableHeight < m_RowCount; }
    float VisibleHeight(const std::vector<float>& heights) const;
    bool ScrollBarActive() const { return m_ScrollBar && !(m_ScrollBar->GetFlags() & Disabled); }
    float ScrollValue() const { return ScrollBarActive() ? m_ScrollBar->GetValue() : 0; }
    void UpdateTableScrollBar();
    void UpdateCellPositions();
    void PadRows();
    void CloseRow(CRow& row);
    void DrawRow(lv::graphics::CRenderer& renderer, const CRow& row) const;
    void DrawPiece(lv::graphics::CRenderer& renderer, s32 piece, float x, float y, float w, float h) const;
    void LoadLinePieces(const CFixedString& imageName);
    // The rows whose cells may take a point: under a fixed title only the title.
    bool RowTakesPoint(size_t row, const CPoint2i& point) const;

    std::vector<CRow> m_Rows;
    CFixedString m_DefaultBackground;
    s32 m_ColumnCount = 0;
    s32 m_RowCount = 0;
    std::vector<float> m_ColumnWidths;
    std::vector<float> m_RowHeights;
    s32 m_TableHeight = 0;
    CScrollWidget::Ptr m_ScrollBar;
    u8 m_HasTitle = 0;
    u8 m_SelectionEnabled = 0;
    CFixedString m_SelectionBackground;
    s32 m_SelectedRow = -1;
    lv::graphics::CSprite m_Lines[PieceCount];
    CVector2 m_PieceSize;
    std::vector<boost::shared_ptr<lv::core::CSettingsGroup>> m_RowElements;
    // A copy: rows are built again from it after the caller's templates are gone.
    boost::shared_ptr<lv::core::CSettingsGroup> m_Templates;
};

} // namespace lv::gui
