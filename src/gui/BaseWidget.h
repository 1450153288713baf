#pragma once
// A node of the GUI tree: name, position, size, transform, colour, flags and children, held
// through boost::intrusive_ptr. The node draws and updates itself and its subtree and receives
// the input that the dispatcher hands to the root. Input handlers take points in the node's own
// coordinates and a pass: 0 for the hit-tested pass, 1 for the broadcast pass.
#include "core/Color.h"
#include "core/FixedString.h"
#include "core/Matrix3.h"
#include "core/Point2i.h"
#include "core/Quad.h"
#include "core/RefCountedObj.h"
#include "core/Types.h"
#include "core/Vector2.h"
#include "gui/WidgetEffect.h"

#include <boost/intrusive_ptr.hpp>
#include <boost/shared_ptr.hpp>

#include <vector>

namespace lv::graphics {
class CRenderer;
}

namespace lv::core {
class CSettingsGroup;
}

namespace lv::gui {

class CBaseWidget : public lv::misc::CRefCountedObj
{
public:
    enum EFlags : u32
    {
        Hidden = 1,        // not drawn by its parent; input still reaches it
        Disabled = 2,      // no input, no own update; a disabled root is neither drawn nor updated
        ClipChildren = 4,  // drawing clipped to (0, 0, width, height)
        Closed = 8,        // leaves its parent at the parent's next update
        ExactPosition = 16 // drawn at the unrounded position
    };
    // A root with either flag gets no input and is not drawn.
    static constexpr u32 kInactiveFlags = Disabled | Closed;

    using Ptr = boost::intrusive_ptr<CBaseWidget>;
    class CLayoutBox;
    struct SInsets
    {
        float Left = 0, Right = 0, Top = 0, Bottom = 0;
    };

    explicit CBaseWidget(const CFixedString& name);
    ~CBaseWidget() override;

    virtual void SetPosition(float x, float y);
    // The position in root coordinates with withWindows; without, inside the own window.
    virtual CVector2 GetPosition(bool withWindows) const;
    // Stores the size; the layout box re-distributes, and the children's anchors follow a change.
    virtual void SetSize(float width, float height);
    // The lower bound the layout box takes when it measures.
    virtual CVector2 GetPreferredSize() const;
    virtual void SetTransform(const CMatrix3& transform);
    virtual void SetColor(const CColor& color);
    // Nothing here; widgets hand it to their listener, windows keep the focused widget.
    virtual void SetFocus(CBaseWidget* widget);
    // Nothing here; widgets hand it to their listener so it climbs up to a window.
    virtual void OnEvent(const char* eventName, CBaseWidget* sender);
    // Marks the children for a re-sort at the next update.
    virtual void OnChildLayerChanged(CBaseWidget* child);
    virtual void OnHiddenChanged(bool hidden);
    virtual void OnDisabledChanged(bool disabled);

    // The children are offered the key with pass 1; the node itself reports false.
    virtual bool OnChar(u16 character, s32 keyFlags, s32 keyData, u8 pass);
    virtual bool OnKeyDown(s32 key, s32 keyFlags, s32 keyData, u8 pass);
    virtual bool OnKeyUp(s32 key, s32 keyFlags, s32 keyData, u8 pass);
    // Pointer routing: pass 0 hit-tests the children, highest layer first, and stops at the
    // first that takes the event; pass 1 reaches every child whose subtree asked for it.
    virtual bool OnMouseMove(const CPoint2i& point, s32 keyFlags, u8 pass);
    virtual bool OnMouseDown(const CPoint2i& point, s32 button, s32 keyFlags, u8 pass);
    virtual bool OnMouseUp(const CPoint2i& point, s32 button, s32 keyFlags, u8 pass);
    virtual bool OnMouseDoubleClick(const CPoint2i& point, s32 keyFlags, u8 pass);
    virtual bool OnMouseWheel(const CPoint2i& point, s32 notches, s32 keyFlags, u8 pass);
    // Gestures of the recognisers an application may add; routed like the mouse events.
    virtual bool OnGesture1(const CPoint2i& point, u8 pass);
    virtual bool OnGesture2(const CPoint2i& point, u8 pass);
    virtual bool OnGesture3(const CPoint2i& point, s32 value, u8 pass);
    virtual bool OnGesture4(const CPoint2i& point, s32 value, u8 pass);
    virtual bool OnGesture5(const CPoint2i& point, float a, float b, s32 value, u8 pass);
    virtual bool OnGesture6(const CPoint2i& point, float a, float b, s32 value, u8 pass);
    virtual bool OnGesture7(const CPoint2i& point, float a, s32 value, u8 pass);

    // "id", "x", "y", "color", then a new layout box read from the node (which creates the
    // children) and "tool_tip_text".
    virtual void LoadFromTemplate(const lv::core::CSettingsGroup& node,
                                  const lv::core::CSettingsGroup& templates);

    // 0 <= x < trunc(width) and 0 <= y < trunc(height).
    virtual bool HitTest(const CPoint2i& point) const;
    // The outline when "debug_render" is on, then the children, last in the list first,
    // skipping hidden ones.
    virtual void Draw(lv::graphics::CRenderer& renderer);
    // The per-frame hook of this node.
    virtual void Update();

    const CFixedString& GetName() const { return *m_Name; }
    const CVector2& GetPosition() const { return m_Position; }
    // The corners of (0, 0, width, height) through the transform, moved by the position.
    CQuad GetParentQuad() const;
    // Adds a tool-tip helper with the text over the whole widget.
    void SetToolTipText(const WString& text);
    // (0, 0) once the node is closed.
    CVector2 GetSize() const;
    const CMatrix3& GetTransform() const { return m_Transform; }
    const CColor& GetColor() const { return m_Color; }

    u32 GetFlags() const { return m_Flags; }
    // Tells the node about a change of Hidden, then of Disabled, before storing the word.
    void SetFlags(u32 flags);
    // Zeros once the node is closed.
    SInsets GetInsets() const;
    void SetInsets(float left, float right, float top, float bottom);

    void AddFlags(u32 mask) { SetFlags(m_Flags | mask); }
    void RemoveFlags(u32 mask) { SetFlags(m_Flags & ~mask); }

    // A null or already present child is ignored. A layer-0 child takes the layer of the first
    // child below 0xFFFFFFFF (1 when none); it comes first among the children of its layer and
    // gets this node as its listener.
    void AddChild(const Ptr& child);
    // Marks a child of this node closed; false when the widget is not one of ours.
    bool CloseChild(CBaseWidget* widget);
    void RemoveClosedChildren();
    void RemoveAllChildren();
    // The moved child takes the other's layer and goes right before it.
    void MoveChildBefore(CBaseWidget* moved, CBaseWidget* other);
    // Stable sort by layer, highest first, when a layer changed or when forced.
    void SortChildren(bool force);
    Ptr FindChild(const CFixedString& name, bool recursive) const;
    const std::vector<Ptr>& GetChildren() const { return m_Children; }
    // The own mask of a widget ORed with those of all descendants.
    u32 GetEventMask() const;
    // The listener of a widget, the parent window of a window.
    virtual CBaseWidget* GetListener() const;

    // Parent coordinates to local ones: minus the position, through the inverse transform,
    // each coordinate rounded half away from zero.
    CPoint2i ParentToLocal(const CPoint2i& point) const;
    CPoint2i LocalToParent(const CPoint2i& point) const;

    // Measures the layout box and places the children.
    void ApplyLayout();
    // Places the children without measuring.
    void PlaceLayout();
    boost::shared_ptr<CLayoutBox> GetLayoutBox() const { return m_LayoutBox; }
    void SetLayoutBox(const boost::shared_ptr<CLayoutBox>& box) { m_LayoutBox = box; }

    // Appends the effect and starts it on this widget.
    void AddEffect(const CWidgetEffect::Ptr& effect);
    std::vector<CWidgetEffect::Ptr> GetEffects() const { return m_Effects; }
    void ClearEffects() { m_Effects.clear(); }

    // Draws this node and its subtree in place.
    void Render(lv::graphics::CRenderer& renderer);
    // The per-frame update of the subtree: closed children leave, the children update, then this
    // node unless it is disabled.
    void UpdateAll();

protected:
    enum ERoutedEvent : u32
    {
        EvChar = 1,
        EvKeyDown = 2,
        EvKeyUp = 4,
        EvMouseMove = 8,
        EvMouseDown = 32,
        EvMouseUp = 64,
        EvDoubleClick = 128,
        EvWheel = 256,
        EvGesture1 = 512,
        EvGesture2 = 1024,
        EvGesture3 = 2048,
        EvGesture4 = 4096,
        EvGesture5 = 8192,
        EvGesture6 = 16384,
        EvGesture7 = 32768
    };
    // Runs the pointer routing over the children; call(child, localPoint, pass) invokes the
    // child's handler of the event.
    template <class TCall>
    bool RoutePointer(u32 bit, const CPoint2i& point, u8 pass, const TCall& call);
    template <class TCall>
    void RouteKey(u32 bit, const TCall& call);

    const CFixedString* m_Name;
    CVector2 m_Position;
    CVector2 m_Size;
    CMatrix3 m_Transform;
    CColor m_Color;
    u32 m_Flags = 0;
    SInsets m_Insets;
    std::vector<Ptr> m_Children;
    boost::shared_ptr<CLayoutBox> m_LayoutBox;
    u8 m_ChildrenOrderDirty = 0;
    std::vector<CWidgetEffect::Ptr> m_Effects;
};

} // namespace lv::gui
