#include "gui/TableWidget.h"

#include "core/SettingsGroup.h"
#include "graphics/Renderer.h"
#include "gui/LayoutBox.h"

#include <algorithm>
#include <cstring>
#include <strings.h>

namespace lv::gui {

namespace {

constexpr float kTableButtonStep = 35;

bool IsNamed(const lv::core::CSettingsGroup& group, const char* name)
{
    return std::strcmp(group.GetName().GetText(), name) == 0;
}

} // namespace

CTableWidget::CTableWidget() : CTableWidget(CFixedString(""), 0, 0) {}

CTableWidget::CTableWidget(const CFixedString& name, u32 layer, u32 eventMask)
    : CWidget(name, layer, eventMask)
{
    AddFlags(ClipChildren);
}

CTableWidget::~CTableWidget() = default;

void CTableWidget::NotifyChanged()
{
    if (m_Listener)
        m_Listener->OnEvent("row_selected", this);
}

const CTableWidget::CRow* CTableWidget::GetRow(s32 row) const
{
    return row >= 0 && row < static_cast<s32>(m_Rows.size()) ? &m_Rows[static_cast<size_t>(row)] : nullptr;
}

CWidget* CTableWidget::GetCell(s32 row, s32 column) const
{
    const CRow* cells = GetRow(row);
    if (!cells || column < 0 || column >= static_cast<s32>(cells->size()))
        return nullptr;
    return (*cells)[static_cast<size_t>(column)].m_Content.get();
}

void CTableWidget::SelectRow(s32 row)
{
    if (row < 0 || row >= m_RowCount || row == m_SelectedRow || (m_HasTitle && row == 0))
        return;
    if (m_SelectedRow >= 0 && m_SelectedRow < static_cast<s32>(m_Rows.size()))
        for (CTableCell& cell : m_Rows[static_cast<size_t>(m_SelectedRow)])
            cell.SetSelectionImage(false, m_SelectionBackground);
    m_SelectedRow = row;
    for (CTableCell& cell : m_Rows[static_cast<size_t>(row)])
        cell.SetSelectionImage(true, m_SelectionBackground);
    NotifyChanged();
}

void CTableWidget::AddRow(const lv::core::CSettingsGroup& rowElement,
                          const lv::core::CSettingsGroup& templates)
{
    CRow row;
    for (const lv::core::CSettingsGroup* element = rowElement.FindFirstChild(); element;
         element = element->FindNextSibling()) {
        if (!IsNamed(*element, "cell"))
            continue;
        CTableCell cell;
        cell.m_Content.reset(new CWidget(CFixedString(""), 0, 0));
        cell.m_Content->LoadFromTemplate(*element, templates);
        cell.m_Content->AddFlags(Hidden);
        const std::string& back = element->GetAttribute("back_image");
        cell.m_BackgroundName = back.empty() ? m_DefaultBackground : CFixedString(back.c_str());
        cell.m_Background.reset(new CImageWidget(cell.m_BackgroundName, CFixedString(""), 0, 0));
        cell.m_Background->AddFlags(Hidden);
        cell.m_Background->GetImage().SetFlags(lv::graphics::CSprite::kNineSlice |
                                               lv::graphics::CSprite::kWholePixels);
        element->ReadInt("flex", cell.m_Flex);
        AddChild(cell.m_Background);
        AddChild(cell.m_Content);
        row.push_back(std::move(cell));
    }
    m_ColumnCount = std::max(m_ColumnCount, static_cast<s32>(row.size()));
    m_Rows.push_back(std::move(row));
    ++m_RowCount;
    // Every row keeps one cell per column, so a rebuilt row never leaves the grid ragged.
    PadRows();
}

void CTableWidget::PadRows()
{
    for (CRow& row : m_Rows)
        if (static_cast<s32>(row.size()) < m_ColumnCount)
            row.resize(static_cast<size_t>(m_ColumnCount));
}

void CTableWidget::CloseRow(CRow& row)
{
    for (CTableCell& cell : row) {
        if (cell.m_Content)
            CloseChild(cell.m_Content.get());
        if (cell.m_Background)
            CloseChild(cell.m_Background.get());
    }
}

void CTableWidget::RemoveRow(s32 row)
{
    if (row < 0 || row >= static_cast<s32>(m_Rows.size()))
        return;
    CloseRow(m_Rows[static_cast<size_t>(row)]);
    m_Rows.erase(m_Rows.begin() + row);
    if (row < static_cast<s32>(m_RowHeights.size()))
        m_RowHeights.erase(m_RowHeights.begin() + row);
    m_RowCount = static_cast<s32>(m_Rows.size());
    // The selection names a row by index: it goes with its row and follows the rows that move up.
    if (m_SelectedRow == row)
        m_SelectedRow = -1;
    else if (m_SelectedRow > row)
        --m_SelectedRow;
    m_ColumnCount = 0;
    for (const CRow& cells : m_Rows) {
        s32 used = static_cast<s32>(cells.size());
        while (used > 0 && cells[static_cast<size_t>(used - 1)].IsFiller())
            --used;
        m_ColumnCount = std::max(m_ColumnCount, used);
    }
    for (CRow& cells : m_Rows)
        cells.resize(static_cast<size_t>(m_ColumnCount));
    if (static_cast<s32>(m_ColumnWidths.size()) > m_ColumnCount)
        m_ColumnWidths.resize(static_cast<size_t>(m_ColumnCount));
    UpdateCellPositions();
}

void CTableWidget::RemoveAllRows()
{
    if (!m_Rows.empty())
        SetFocus(nullptr);
    for (CRow& row : m_Rows)
        CloseRow(row);
    m_Rows.clear();
    m_RowHeights.clear();
    m_ColumnWidths.clear();
    m_RowCount = 0;
    m_ColumnCount = 0;
    m_SelectedRow = -1;
}

void CTableWidget::RebuildRow(s32 index)
{
    if (index >= 0 && index < static_cast<s32>(m_RowElements.size()) && m_Templates)
        AddRow(*m_RowElements[static_cast<size_t>(index)], *m_Templates);
}

void CTableWidget::FitToContent()
{
    const CVector2 preferred = GetPreferredSize();
    SetSize(preferred.X, preferred.Y);
}

CTableWidget::SMeasure CTableWidget::Measure() const
{
    SMeasure m;
    const size_t columns = static_cast<size_t>(m_ColumnCount);
    m.Widths.assign(columns, 0);
    m.Flex.assign(columns, 0);
    m.Heights.assign(m_Rows.size(), 0);
    for (size_t r = 0; r < m_Rows.size(); ++r) {
        const CRow& row = m_Rows[r];
        for (size_t c = 0; c < row.size() && c < columns; ++c) {
            const CTableCell& cell = row[c];
            if (!cell.m_Content)
                continue;
            const auto box = cell.m_Content->GetLayoutBox();
            const CVector2 required = box ? box->GetRequiredSize() : CVector2();
            m.Heights[r] = std::max(m.Heights[r], required.Y);
            m.Widths[c] = std::max(m.Widths[c], required.X);
            m.Flex[c] = std::max(m.Flex[c], cell.m_Flex);
        }
    }
    for (size_t c = 0; c < columns; ++c) {
        m.TotalFlex += m.Flex[c];
        if (m.Flex[c] == 0)
            m.FixedWidth += m.Widths[c];
    }
    return m;
}

float CTableWidget::VisibleHeight(const std::vector<float>& heights) const
{
    const size_t shown =
        Scrolling() ? std::min(heights.size(), static_cast<size_t>(m_TableHeight)) : heights.size();
    float sum = 0;
    for (size_t i = 0; i < shown; ++i)
        sum += heights[i];
    return sum;
}

void CTableWidget::SetSize(float width, float height)
{
    CWidget::SetSize(width, height);
    float available = GetSize().X;
    if (ScrollBarActive())
        available -= m_ScrollBar->GetSize().X;
    SMeasure m = Measure();
    if (m.TotalFlex > 0)
        for (size_t c = 0; c < m.Widths.size(); ++c)
            if (m.Flex[c] > 0)
                m.Widths[c] = static_cast<float>(m.Flex[c]) * (available - m.FixedWidth) /
                              static_cast<float>(m.TotalFlex);
    m_ColumnWidths = m.Widths;
    m_RowHeights = m.Heights;
    for (size_t r = 0; r < m_Rows.size(); ++r)
        for (size_t c = 0; c < m_Rows[r].size() && c < m_ColumnWidths.size(); ++c)
            m_Rows[r][c].SetSize(m_ColumnWidths[c], m_RowHeights[r]);
    UpdateTableScrollBar();
}

CVector2 CTableWidget::GetPreferredSize() const
{
    const SMeasure m = Measure();
    float flexible = 0;
    for (size_t c = 0; c < m.Widths.size(); ++c)
        if (m.Flex[c] > 0)
            flexible = std::max(flexible, m.Widths[c] * static_cast<float>(m.TotalFlex) /
                                              static_cast<float>(m.Flex[c]));
    float width = m.FixedWidth + flexible;
    if (m_ScrollBar)
        width += m_ScrollBar->GetSize().X;
    return CVector2(width, VisibleHeight(m.Heights));
}

void CTableWidget::UpdateTableScrollBar()
{
    if (m_RowCount < 1 || m_ColumnCount < 1)
        return;
    if (m_ScrollBar) {
        if (Scrolling()) {
            float total = 0;
            for (float h : m_RowHeights)
                total += h;
            float page = GetVisibleHeight();
            const float title = m_HasTitle && !m_RowHeights.empty() ? m_RowHeights[0] : 0;
            total -= title;
            page -= title;
            m_ScrollBar->RemoveFlags(Hidden | Disabled);
            m_ScrollBar->SetMaxValue(total);
            m_ScrollBar->SetPageSize(page);
            m_ScrollBar->SetWheelStep(0.2f * page);
            const float barWidth = m_ScrollBar->GetSize().X;
            m_ScrollBar->SetPosition(GetSize().X - barWidth, title);
            m_ScrollBar->SetSize(barWidth, GetSize().Y - title);
        } else {
            m_ScrollBar->SetMaxValue(0);
            m_ScrollBar->SetPageSize(0);
            m_ScrollBar->AddFlags(Hidden | Disabled);
        }
    }
    UpdateCellPositions();
}

void CTableWidget::UpdateCellPositions()
{
    const float scroll = ScrollValue();
    float y = 0;
    for (size_t r = 0; r < m_Rows.size(); ++r) {
        float x = 0;
        const float rowY = m_HasTitle && r == 0 ? 0 : y - scroll;
        for (size_t c = 0; c < m_Rows[r].size(); ++c) {
            m_Rows[r][c].SetPosition(x, rowY);
            if (c < m_ColumnWidths.size())
                x += m_ColumnWidths[c];
        }
        if (r < m_RowHeights.size())
            y += m_RowHeights[r];
    }
}

void CTableWidget::OnEvent(const char* eventName, CBaseWidget* sender)
{
    CWidget::OnEvent(eventName, sender);
    if (sender && m_ScrollBar && sender == m_ScrollBar.get() && eventName &&
        strcasecmp(eventName, "value_changed") == 0)
        UpdateCellPositions();
}

bool CTableWidget::RowTakesPoint(size_t row, const CPoint2i& point) const
{
    // Rows scrolled under a fixed title are hidden there.
    if (m_HasTitle && row != 0 && Scrolling() && !m_RowHeights.empty() &&
        static_cast<float>(point.Y) < m_RowHeights[0])
        return false;
    return true;
}

bool CTableWidget::OnMouseDown(const CPoint2i& point, s32 button, s32 keyFlags, u8 pass)
{
    if (m_SelectionEnabled) {
        for (size_t r = 0; r < m_Rows.size(); ++r) {
            if (!RowTakesPoint(r, point))
                continue;
            for (const CTableCell& cell : m_Rows[r])
                if (cell.m_Content && cell.m_Content->GetParentQuad().ContainsPoint(
                                          static_cast<float>(point.X), static_cast<float>(point.Y))) {
                    SelectRow(static_cast<s32>(r));
                    break;
                }
        }
    }
    return CWidget::OnMouseDown(point, button, keyFlags, pass);
}

bool CTableWidget::OnMouseDoubleClick(const CPoint2i& point, s32 keyFlags, u8 pass)
{
    for (size_t r = m_HasTitle ? 1 : 0; r < m_Rows.size(); ++r) {
        if (!RowTakesPoint(r, point))
            continue;
        for (const CTableCell& cell : m_Rows[r])
            if (cell.m_Content && cell.m_Content->GetParentQuad().ContainsPoint(
                                      static_cast<float>(point.X), static_cast<float>(point.Y))) {
                if (m_Listener)
                    m_Listener->OnEvent("table_double_click", this);
                break;
            }
    }
    return CWidget::OnMouseDoubleClick(point, keyFlags, pass);
}

bool CTableWidget::OnMouseWheel(const CPoint2i& point, s32 notches, s32 keyFlags, u8 pass)
{
    if (CWidget::OnMouseWheel(point, notches, keyFlags, pass))
        return true;
    if (!m_ScrollBar)
        return false;
    if (ScrollBarActive())
        m_ScrollBar->OnMouseWheel(m_ScrollBar->ParentToLocal(point), notches, keyFlags, pass);
    return true;
}

void CTableWidget::DrawPiece(lv::graphics::CRenderer& renderer, s32 piece, float x, float y, float w,
                             float h) const
{
    if (m_Lines[piece].GetImage())
        m_Lines[piece].DrawInRect(renderer, CFloatRect(x, y, w, h));
}

void CTableWidget::DrawRow(lv::graphics::CRenderer& renderer, const CRow& row) const
{
    for (const CTableCell& cell : row) {
        if (!cell.m_Content)
            continue;
        if (cell.m_Background)
            cell.m_Background->Render(renderer);
        cell.m_Content->Render(renderer);
    }
}

void CTableWidget::Draw(lv::graphics::CRenderer& renderer)
{
    CWidget::Draw(renderer);
    const float a = GetVisibleHeight();
    float w = 0;
    for (float width : m_ColumnWidths)
        w += width;
    const float g = -ScrollValue();
    const float pw = m_PieceSize.X, ph = m_PieceSize.Y;
    // Boundaries between rows and between columns only.
    std::vector<float> rowBounds, columnBounds;
    float sum = 0;
    for (size_t i = 0; i + 1 < m_RowHeights.size(); ++i)
        rowBounds.push_back(sum += m_RowHeights[i]);
    const float allRows = m_RowHeights.empty() ? 0 : sum + m_RowHeights.back();
    sum = 0;
    for (size_t i = 0; i + 1 < m_ColumnWidths.size(); ++i)
        columnBounds.push_back(sum += m_ColumnWidths[i]);

    size_t firstScrolled = 0;
    const bool fixedTitle = m_HasTitle && Scrolling() && !m_Rows.empty() && !m_RowHeights.empty();
    if (fixedTitle) {
        const float h0 = m_RowHeights[0];
        DrawRow(renderer, m_Rows[0]);
        DrawPiece(renderer, PieceTopEdge, 0, 0, w, ph);
        DrawPiece(renderer, PieceLeftEdge, 0, 0, pw, a);
        DrawPiece(renderer, PieceRightEdge, w - pw, 0, pw, a);
        DrawPiece(renderer, PieceHorizontal, 0, h0 - ph / 2, w, ph);
        for (float x : columnBounds) {
            DrawPiece(renderer, PieceVertical, x - pw / 2, 0, pw, h0);
            DrawPiece(renderer, PieceCross, x - pw / 2, h0 - ph / 2, pw, ph);
        }
        DrawPiece(renderer, PieceLeftT, 0, h0 - ph / 2, pw, ph);
        DrawPiece(renderer, PieceRightT, w - pw, h0 - ph / 2, pw, ph);
        renderer.PushState();
        renderer.IntersectClip(CQuad(0, h0, w, a - h0));
        firstScrolled = 1;
    }
    // Upper rows over lower ones; rows scrolled wholly out of the shown band are skipped, the
    // clip would drop all of them anyway.
    const float bandTop = fixedTitle ? m_RowHeights[0] : 0;
    for (size_t r = m_Rows.size(); r-- > firstScrolled;) {
        if (r < m_RowHeights.size()) {
            const float top = g + (r == 0 ? 0 : rowBounds[r - 1]);
            if (top >= a || top + m_RowHeights[r] <= bandTop)
                continue;
        }
        DrawRow(renderer, m_Rows[r]);
    }

    for (float y : rowBounds)
        DrawPiece(renderer, PieceHorizontal, 0, g + y - ph / 2, w, ph);
    for (float x : columnBounds)
        DrawPiece(renderer, PieceVertical, x - pw / 2, g, pw, allRows);
    for (float x : columnBounds)
        for (float y : rowBounds)
            DrawPiece(renderer, PieceCross, x - pw / 2, g + y - ph / 2, pw, ph);

    DrawPiece(renderer, PieceTopEdge, 0, 0, w, ph);
    DrawPiece(renderer, PieceBottomEdge, 0, a - ph, w, ph);
    DrawPiece(renderer, PieceLeftEdge, 0, 0, pw, a);
    DrawPiece(renderer, PieceRightEdge, w - pw, 0, pw, a);
    for (float x : columnBounds) {
        DrawPiece(renderer, PieceTopT, x - pw / 2, 0, pw, ph);
        DrawPiece(renderer, PieceBottomT, x - pw / 2, a - ph, pw, ph);
    }
    for (float y : rowBounds) {
        DrawPiece(renderer, PieceLeftT, 0, g + y - ph / 2, pw, ph);
        DrawPiece(renderer, PieceRightT, w - pw, g + y - ph / 2, pw, ph);
    }
    DrawPiece(renderer, PieceTopLeft, 0, 0, pw, ph);
    DrawPiece(renderer, PieceTopRight, w - pw, 0, pw, ph);
    DrawPiece(renderer, PieceBottomRight, w - pw, a - ph, pw, ph);
    DrawPiece(renderer, PieceBottomLeft, 0, a - ph, pw, ph);
    if (fixedTitle)
        renderer.PopState();
}

void CTableWidget::LoadLinePieces(const CFixedString& imageName)
{
    const lv::graphics::CSprite strip(imageName);
    const CPoint2i image = strip.GetImageSize();
    const s32 pieceWidth = image.X / PieceCount;
    m_PieceSize = CVector2();
    for (s32 k = 0; k < PieceCount; ++k) {
        m_Lines[k] = strip;
        if (strip.GetImage() && pieceWidth > 2) {
            // One pixel off each side keeps the neighbouring piece out of filtering.
            m_Lines[k].SetSourceRect(CIntRect(k * pieceWidth + 1, 0, pieceWidth - 2, image.Y));
        } else {
            // Too narrow to cut: nothing of the grid is drawn.
            m_Lines[k] = lv::graphics::CSprite();
        }
        m_Lines[k].SetFlags(lv::graphics::CSprite::kWholePixels);
    }
    if (m_Lines[0].GetImage())
        m_PieceSize = CVector2(static_cast<float>(pieceWidth - 2), static_cast<float>(image.Y));
}

void CTableWidget::LoadFromTemplate(const lv::core::CSettingsGroup& node,
                                    const lv::core::CSettingsGroup& templates)
{
    RemoveAllRows();
    m_Templates.reset(new lv::core::CSettingsGroup());
    templates.CopyTo(*m_Templates);
    const lv::core::CSettingsGroup* t =
        templates.FindChildByAttribute("table_template", "id", node.GetAttribute("table_template"));
    const lv::core::CSettingsGroup& tpl = t ? *t : lv::core::CSettingsGroup::EmptyGroup();
    m_DefaultBackground = CFixedString(tpl.GetAttribute("default_back_image").c_str());
    LoadLinePieces(CFixedString(tpl.GetAttribute("lines_image").c_str()));

    node.ReadInt("table_height", m_TableHeight);
    if (node.HasAttribute("has_title"))
        m_HasTitle = node.GetBool("has_title") ? 1 : 0;
    if (node.HasAttribute("enable_selection"))
        m_SelectionEnabled = node.GetBool("enable_selection") ? 1 : 0;
    const std::string& selection = node.GetAttribute("selection_back");
    m_SelectionBackground =
        CFixedString((selection.empty() ? tpl.GetAttribute("default_selection_back") : selection).c_str());

    if (m_ScrollBar) {
        CloseChild(m_ScrollBar.get());
        RemoveClosedChildren();
        m_ScrollBar.reset();
    }
    if (!tpl.GetAttribute("scroll_template").empty()) {
        m_ScrollBar.reset(new CScrollWidget());
        m_ScrollBar->LoadFromTemplate(tpl, templates);
        m_ScrollBar->AddFlags(Hidden | Disabled);
        m_ScrollBar->SetButtonStep(kTableButtonStep);
    }

    m_RowElements.clear();
    if (const lv::core::CSettingsGroup* rows = node.FindNamedObject("rows")) {
        for (const lv::core::CSettingsGroup* element = rows->FindFirstChild(); element;
             element = element->FindNextSibling()) {
            if (!IsNamed(*element, "row"))
                continue;
            boost::shared_ptr<lv::core::CSettingsGroup> copy(new lv::core::CSettingsGroup());
            element->CopyTo(*copy);
            m_RowElements.push_back(copy);
            AddRow(*element, templates);
        }
    }
    if (m_HasTitle && !m_Rows.empty())
        for (CTableCell& cell : m_Rows[0]) {
            if (cell.m_Content)
                cell.m_Content->SetLayer(0xFFFFFFFFu);
            if (cell.m_Background)
                cell.m_Background->SetLayer(0xFFFFFFFFu);
        }
    PadRows();
    FitToContent();
    if (m_ScrollBar) {
        m_ScrollBar->SetValue(0);
        m_ScrollBar->SetAnchors(AnchorRight | AnchorTop | AnchorBottom);
        m_ScrollBar->SetPosition(GetSize().X - m_ScrollBar->GetSize().X, 0);
        m_ScrollBar->SetSize(0, GetSize().Y);
        AddChild(m_ScrollBar);
        UpdateTableScrollBar();
        // The columns were sized while the bar was still off: they must leave it room, or the
        // last column is drawn over it.
        if (ScrollBarActive())
            SetSize(GetSize().X, GetSize().Y);
    }
    CWidget::LoadFromTemplate(node, templates);
}

} // namespace lv::gui
