#pragma once
// A node of the GUI tree: name, position, size, transform, colour, flags and children, held
// through boost::intrusive_ptr. The node draws and updates itself and its subtree and receives
// the input that the dispatcher hands to the root. Input handlers take points in the node's own
// coordinates and a pass: 0 for the hit-tested pass, 1 for the broadcast pass.
#include "core/Color.h"
#include "core/FixedString.h"
#include "core/Matrix3.h"
#include "core/Point2i.h"
#include "core/RefCountedObj.h"
#include "core/Types.h"
#include "core/Vector2.h"

#include <boost/intrusive_ptr.hpp>

#include <vector>

namespace lv::graphics {
class CRenderer;
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

    explicit CBaseWidget(const CFixedString& name);
    ~CBaseWidget() override;

    virtual void SetPosition(float x, float y);
    virtual void SetSize(float width, float height);
    virtual void SetTransform(const CMatrix3& transform);
    virtual void SetColor(const CColor& color);
    virtual void OnHiddenChanged(bool hidden);
    virtual void OnDisabledChanged(bool disabled);

    virtual bool OnChar(u16 character, s32 keyFlags, s32 keyData, u8 pass);
    virtual bool OnKeyDown(s32 key, s32 keyFlags, s32 keyData, u8 pass);
    virtual bool OnKeyUp(s32 key, s32 keyFlags, s32 keyData, u8 pass);
    virtual bool OnMouseMove(const CPoint2i& point, s32 keyFlags, u8 pass);
    virtual bool OnMouseDown(const CPoint2i& point, s32 button, s32 keyFlags, u8 pass);
    virtual bool OnMouseUp(const CPoint2i& point, s32 button, s32 keyFlags, u8 pass);
    virtual bool OnMouseDoubleClick(const CPoint2i& point, s32 keyFlags, u8 pass);
    virtual bool OnMouseWheel(const CPoint2i& point, s32 notches, s32 keyFlags, u8 pass);

    // 0 <= x < trunc(width) and 0 <= y < trunc(height).
    virtual bool HitTest(const CPoint2i& point) const;
    // Draws the children, last in the list first, skipping hidden ones.
    virtual void Draw(lv::graphics::CRenderer& renderer);
    // The per-frame hook of this node.
    virtual void Update();

    const CFixedString& GetName() const { return *m_Name; }
    const CVector2& GetPosition() const { return m_Position; }
    // (0, 0) once the node is closed.
    CVector2 GetSize() const;
    const CMatrix3& GetTransform() const { return m_Transform; }
    const CColor& GetColor() const { return m_Color; }

    u32 GetFlags() const { return m_Flags; }
    // Tells the node about a change of Hidden, then of Disabled, before storing the word.
    void SetFlags(u32 flags);
    void AddFlags(u32 mask) { SetFlags(m_Flags | mask); }
    void RemoveFlags(u32 mask) { SetFlags(m_Flags & ~mask); }

    // A null or already present child is ignored; a new child comes first.
    void AddChild(const Ptr& child);
    void RemoveClosedChildren();
    const std::vector<Ptr>& GetChildren() const { return m_Children; }

    // Parent coordinates to local ones: minus the position, through the inverse transform,
    // each coordinate rounded half away from zero.
    CPoint2i ParentToLocal(const CPoint2i& point) const;
    CPoint2i LocalToParent(const CPoint2i& point) const;

    // Draws this node and its subtree in place.
    void Render(lv::graphics::CRenderer& renderer);
    // The per-frame update of the subtree: closed children leave, the children update, then this
    // node unless it is disabled.
    void UpdateAll();

protected:
    const CFixedString* m_Name;
    CVector2 m_Position;
    CVector2 m_Size;
    CMatrix3 m_Transform;
    CColor m_Color;
    u32 m_Flags = 0;
    std::vector<Ptr> m_Children;
};

} // namespace lv::gui
