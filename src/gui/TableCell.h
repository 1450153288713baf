#pragma once
// One cell of a table: a container widget loaded from the cell's element and its background
// image, both children of the table that the table draws itself. A filler cell that pads a
// short row has neither.
#include "core/FixedString.h"
#include "core/Vector2.h"
#include "gui/ImageWidget.h"

namespace lv::gui {

class CTableCell
{
public:
    // Stores the size and gives it to content and background.
    void SetSize(float width, float height);
    void SetPosition(float x, float y);
    // The background shows the image of that name while selected, else its own.
    void SetSelectionImage(bool selected, const CFixedString& name);
    bool IsFiller() const { return !m_Content; }

    CWidget::Ptr m_Content;
    CImageWidget::Ptr m_Background;
    s32 m_Flex = 0;
    CFixedString m_BackgroundName;
    CVector2 m_Size;
};

} // namespace lv::gui
