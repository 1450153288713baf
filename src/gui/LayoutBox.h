#pragma once
// A flexible row or column that sizes and places the children of a widget. Boxes nest: a
// template's "vbox", "hbox" and "spacer" elements make boxes without widget, and the box of each
// child widget joins the box it is written in. Nothing is rounded here.
#include "gui/BaseWidget.h"

namespace lv::core {
class CSettingsGroup;
}

namespace lv::gui {

class CBaseWidget::CLayoutBox
{
public:
    using Ptr = boost::shared_ptr<CLayoutBox>;

    enum EPack : u32
    {
        PackStart,
        PackCenter,
        PackEnd
    };
    enum EAlign : u32
    {
        AlignStretch,
        AlignStart,
        AlignCenter,
        AlignEnd
    };

    explicit CLayoutBox(CBaseWidget* widget);

    // Reads the box attributes, then the child elements: nested boxes, widgets the factory
    // knows (created, loaded and added to owner), anything else skipped.
    void Load(const lv::core::CSettingsGroup& node, const lv::core::CSettingsGroup& templates,
              CBaseWidget* owner);
    // Bottom-up sizing of the box tree.
    void Measure();
    // Gives the counted children their sizes from this box's size.
    void Distribute();
    // Positions the widget (unless keepWidget) and the children.
    void Place(float x, float y, bool keepWidget);
    void Layout();
    void SetSize(float width, float height);
    void SetMinSize(const CVector2& size);
    CVector2 GetRequiredSize() const;
    void RemoveBox(const Ptr& box);
    void AddBox(const Ptr& box) { m_Boxes.push_back(box); }

    CVector2 GetSize();
    SInsets GetInsets();
    void SetInsets(const SInsets& insets);
    u32 GetFlex() const { return m_Flex; }
    void SetFlex(u32 flex) { m_Flex = flex; }
    void SetHorizontal(bool horizontal) { m_Horizontal = horizontal ? 1 : 0; }
    void SetAbsolutePosition(bool absolute) { m_AbsolutePosition = absolute ? 1 : 0; }
    void SetPack(u32 pack) { m_Pack = pack; }
    void SetAlign(u32 align) { m_Align = align; }
    const CVector2& GetMinSize() const { return m_MinSize; }
    const std::vector<Ptr>& GetBoxes() const { return m_Boxes; }

private:
    struct STotals
    {
        u64 Flex = 0; // wide: template flex values may sum past 32 bits
        float FixedMain = 0;
        float CrossMax = 0;
        bool Any = false;
    };
    STotals Totals(bool required) const;
    float Main(const CVector2& v) const { return m_Horizontal ? v.X : v.Y; }
    float Cross(const CVector2& v) const { return m_Horizontal ? v.Y : v.X; }
    CVector2 Vec(float main, float cross) const
    {
        return m_Horizontal ? CVector2(main, cross) : CVector2(cross, main);
    }
    CVector2 SizeOf(const CLayoutBox& child, bool required) const;

    CBaseWidget* m_Widget;
    std::vector<Ptr> m_Boxes;
    CVector2 m_BoxSize;
    CVector2 m_MinSize;
    u8 m_Horizontal = 1;
    u8 m_AbsolutePosition = 0;
    u32 m_Pack = PackStart;
    u32 m_Align = AlignStretch;
    u32 m_Flex = 0;
    SInsets m_BoxInsets;
};

} // namespace lv::gui
