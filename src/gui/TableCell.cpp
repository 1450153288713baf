#include "gui/TableCell.h"

namespace lv::gui {

void CTableCell::SetSize(float width, float height)
{
    m_Size = CVector2(width, height);
    if (m_Content)
        m_Content->SetSize(width, height);
    if (m_Background)
        m_Background->SetSize(width, height);
}

void CTableCell::SetPosition(float x, float y)
{
    if (m_Content)
        m_Content->SetPosition(x, y);
    if (m_Background)
        m_Background->SetPosition(x, y);
}

void CTableCell::SetSelectionImage(bool selected, const CFixedString& name)
{
    if (!m_Background)
        return;
    m_Background->SetImage(selected ? name : m_BackgroundName);
    m_Background->GetImage().SetFlags(lv::graphics::CSprite::kNineSlice |
                                      lv::graphics::CSprite::kWholePixels);
}

} // namespace lv::gui
