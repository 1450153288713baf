#include "gui/BaseWidget.h"

#include "gui/GuiServices.h"
#include "gui/LayoutBox.h"
#include "gui/ToolTipHelperWidget.h"
#include "gui/Widget.h"

#include "core/SettingsGroup.h"
#include "graphics/RenderStateScope.h"
#include "graphics/Renderer.h"

#include <algorithm>
#include <cmath>
#include <memory>
#include <vector>

namespace lv::gui {

namespace {

// A copy of a widget's children that holds references, so that handlers and drawing may close,
// remove or add children while a walk goes on. The copies come from a per-thread stack of
// buffers that keep their capacity, so that a steady frame walks its widget tree without
// allocating; nested walks take the next buffer.
class CChildrenSnapshot
{
public:
    explicit CChildrenSnapshot(const std::vector<CBaseWidget::Ptr>& children)
    {
        SPool& pool = Pool();
        if (pool.Depth == pool.Buffers.size())
            pool.Buffers.push_back(std::make_unique<std::vector<CBaseWidget::Ptr>>());
        m_Buffer = pool.Buffers[pool.Depth++].get();
        m_Buffer->assign(children.begin(), children.end());
    }
    ~CChildrenSnapshot()
    {
        // Releasing the references may destroy widgets whose destructors walk trees of their
        // own: the buffer stays taken until it is empty.
        m_Buffer->clear();
        --Pool().Depth;
    }
    CChildrenSnapshot(const CChildrenSnapshot&) = delete;
    CChildrenSnapshot& operator=(const CChildrenSnapshot&) = delete;

    const std::vector<CBaseWidget::Ptr>& Get() const { return *m_Buffer; }

private:
    struct SPool
    {
        std::vector<std::unique_ptr<std::vector<CBaseWidget::Ptr>>> Buffers;
        size_t Depth = 0;
    };
    static SPool& Pool()
    {
        thread_local SPool pool;
        return pool;
    }

    std::vector<CBaseWidget::Ptr>* m_Buffer = nullptr;
};

s32 RoundHalfAway(float v)
{
    return static_cast<s32>(v > 0 ? v + 0.5f : v - 0.5f);
}

// Children that are not controls (windows placed in a tree) sit in layer 1.
u32 LayerOf(const CBaseWidget* w)
{
    const auto* widget = dynamic_cast<const CWidget*>(w);
    return widget ? widget->GetLayer() : 1;
}

bool Routable(const CBaseWidget& w)
{
    return !(w.GetFlags() & (CBaseWidget::Disabled | CBaseWidget::Closed));
}

} // namespace

template <class TCall>
bool CBaseWidget::RoutePointer(u32 bit, const CPoint2i& point, u8 pass, const TCall& call)
{
    // A snapshot holding references: handlers may close, remove or add children meanwhile.
    const CChildrenSnapshot snapshot(m_Children);
    const std::vector<Ptr>& children = snapshot.Get();
    if (pass == 0) {
        for (const Ptr& child : children) {
            if (!child)
                continue;
            const CPoint2i local = child->ParentToLocal(point);
            if (!Routable(*child) || !child->HitTest(local))
                continue;
            if (call(*child, local, u8(0)))
                return true;
        }
        return false;
    }
    bool taken = false;
    for (const Ptr& child : children) {
        if (!child || !Routable(*child) || !(child->GetEventMask() & bit))
            continue;
        const CPoint2i local = child->ParentToLocal(point);
        const auto* widget = dynamic_cast<const CWidget*>(child.get());
        const u32 own = widget ? widget->GetOwnEventMask() : 0;
        if (own & bit)
            taken |= call(*child, local, pass);
        else
            taken |= child->RoutePointer(bit, local, pass, call);
    }
    return taken;
}

template <class TCall>
void CBaseWidget::RouteKey(u32 bit, const TCall& call)
{
    const CChildrenSnapshot snapshot(m_Children);
    const std::vector<Ptr>& children = snapshot.Get();
    for (const Ptr& child : children)
        if (child && Routable(*child) && (child->GetEventMask() & bit))
            call(*child);
}

CBaseWidget::CBaseWidget(const CFixedString& name) : m_Name(CFixedString::Intern(name))
{
    m_Transform.SetIdentity();
}

CBaseWidget::~CBaseWidget() = default;

void CBaseWidget::SetPosition(float x, float y)
{
    m_Position = CVector2(x, y);
}

void CBaseWidget::SetSize(float width, float height)
{
    const CVector2 old = m_Size;
    m_Size = CVector2(width, height);
    if (const auto box = m_LayoutBox) {
        box->Distribute();
        box->Place(0, 0, true);
    }
    const CVector2 now = GetSize();
    if (now.X == old.X && now.Y == old.Y)
        return;
    const std::vector<Ptr> children = m_Children;
    for (const Ptr& child : children)
        if (auto* widget = dynamic_cast<CWidget*>(child.get()))
            widget->ApplyAnchors(old.X, old.Y);
}

CVector2 CBaseWidget::GetPosition(bool) const
{
    return m_Position;
}

CQuad CBaseWidget::GetParentQuad() const
{
    CQuad quad(0, 0, m_Size.X, m_Size.Y);
    quad.Transform(m_Transform);
    quad.Translate(m_Position);
    return quad;
}

void CBaseWidget::SetToolTipText(const WString& text)
{
    boost::intrusive_ptr<CToolTipHelperWidget> helper(new CToolTipHelperWidget());
    helper->SetText(text);
    helper->SetPosition(0, 0);
    helper->SetSize(m_Size.X, m_Size.Y);
    AddChild(helper);
}

CVector2 CBaseWidget::GetPreferredSize() const
{
    return CVector2();
}

void CBaseWidget::LoadFromTemplate(const lv::core::CSettingsGroup& node,
                                   const lv::core::CSettingsGroup& templates)
{
    if (const std::string& id = node.GetAttribute("id"); !id.empty())
        m_Name = CFixedString::Intern(CFixedString(id.c_str()));
    node.ReadFloat("x", m_Position.X);
    node.ReadFloat("y", m_Position.Y);
    node.ReadColor("color", m_Color);
    m_LayoutBox = boost::shared_ptr<CLayoutBox>(new CLayoutBox(this));
    // Held here: reading the box may replace m_LayoutBox of a child, never this one's.
    const auto box = m_LayoutBox;
    box->Load(node, templates, this);
    WString toolTip;
    node.ReadWString("tool_tip_text", toolTip);
    if (!toolTip.empty())
        SetToolTipText(toolTip);
}

void CBaseWidget::ApplyLayout()
{
    if (const auto box = m_LayoutBox)
        box->Layout();
}

void CBaseWidget::PlaceLayout()
{
    if (const auto box = m_LayoutBox)
        box->Place(0, 0, true);
}

void CBaseWidget::SetTransform(const CMatrix3& transform)
{
    m_Transform = transform;
}

void CBaseWidget::SetColor(const CColor& color)
{
    m_Color = color;
}

void CBaseWidget::SetFocus(CBaseWidget*) {}

void CBaseWidget::OnEvent(const char*, CBaseWidget*) {}

void CBaseWidget::OnChildLayerChanged(CBaseWidget*)
{
    m_ChildrenOrderDirty = 1;
}

void CBaseWidget::OnHiddenChanged(bool) {}

void CBaseWidget::OnDisabledChanged(bool) {}

bool CBaseWidget::OnChar(u16 character, s32 keyFlags, s32 keyData, u8)
{
    RouteKey(EvChar, [&](CBaseWidget& c) { c.OnChar(character, keyFlags, keyData, 1); });
    return false;
}

bool CBaseWidget::OnKeyDown(s32 key, s32 keyFlags, s32 keyData, u8)
{
    RouteKey(EvKeyDown, [&](CBaseWidget& c) { c.OnKeyDown(key, keyFlags, keyData, 1); });
    return false;
}

bool CBaseWidget::OnKeyUp(s32 key, s32 keyFlags, s32 keyData, u8)
{
    RouteKey(EvKeyUp, [&](CBaseWidget& c) { c.OnKeyUp(key, keyFlags, keyData, 1); });
    return false;
}

bool CBaseWidget::OnMouseMove(const CPoint2i& point, s32 keyFlags, u8 pass)
{
    return RoutePointer(EvMouseMove, point, pass, [&](CBaseWidget& c, const CPoint2i& p, u8 n) {
        return c.OnMouseMove(p, keyFlags, n);
    });
}

bool CBaseWidget::OnMouseDown(const CPoint2i& point, s32 button, s32 keyFlags, u8 pass)
{
    return RoutePointer(EvMouseDown, point, pass, [&](CBaseWidget& c, const CPoint2i& p, u8 n) {
        return c.OnMouseDown(p, button, keyFlags, n);
    });
}

bool CBaseWidget::OnMouseUp(const CPoint2i& point, s32 button, s32 keyFlags, u8 pass)
{
    return RoutePointer(EvMouseUp, point, pass, [&](CBaseWidget& c, const CPoint2i& p, u8 n) {
        return c.OnMouseUp(p, button, keyFlags, n);
    });
}

bool CBaseWidget::OnMouseDoubleClick(const CPoint2i& point, s32 keyFlags, u8 pass)
{
    return RoutePointer(EvDoubleClick, point, pass, [&](CBaseWidget& c, const CPoint2i& p, u8 n) {
        return c.OnMouseDoubleClick(p, keyFlags, n);
    });
}

bool CBaseWidget::OnMouseWheel(const CPoint2i& point, s32 notches, s32 keyFlags, u8 pass)
{
    return RoutePointer(EvWheel, point, pass, [&](CBaseWidget& c, const CPoint2i& p, u8 n) {
        return c.OnMouseWheel(p, notches, keyFlags, n);
    });
}

bool CBaseWidget::OnGesture1(const CPoint2i& point, u8 pass)
{
    return RoutePointer(EvGesture1, point, pass, [&](CBaseWidget& c, const CPoint2i& p, u8 k) {
        return c.OnGesture1(p, k);
    });
}

bool CBaseWidget::OnGesture2(const CPoint2i& point, u8 pass)
{
    return RoutePointer(EvGesture2, point, pass, [&](CBaseWidget& c, const CPoint2i& p, u8 k) {
        return c.OnGesture2(p, k);
    });
}

bool CBaseWidget::OnGesture3(const CPoint2i& point, s32 value, u8 pass)
{
    return RoutePointer(EvGesture3, point, pass, [&](CBaseWidget& c, const CPoint2i& p, u8 k) {
        return c.OnGesture3(p, value, k);
    });
}

bool CBaseWidget::OnGesture4(const CPoint2i& point, s32 value, u8 pass)
{
    return RoutePointer(EvGesture4, point, pass, [&](CBaseWidget& c, const CPoint2i& p, u8 k) {
        return c.OnGesture4(p, value, k);
    });
}

bool CBaseWidget::OnGesture5(const CPoint2i& point, float a, float b, s32 value, u8 pass)
{
    return RoutePointer(EvGesture5, point, pass, [&](CBaseWidget& c, const CPoint2i& p, u8 k) {
        return c.OnGesture5(p, a, b, value, k);
    });
}

bool CBaseWidget::OnGesture6(const CPoint2i& point, float a, float b, s32 value, u8 pass)
{
    return RoutePointer(EvGesture6, point, pass, [&](CBaseWidget& c, const CPoint2i& p, u8 k) {
        return c.OnGesture6(p, a, b, value, k);
    });
}

bool CBaseWidget::OnGesture7(const CPoint2i& point, float a, s32 value, u8 pass)
{
    return RoutePointer(EvGesture7, point, pass, [&](CBaseWidget& c, const CPoint2i& p, u8 k) {
        return c.OnGesture7(p, a, value, k);
    });
}

bool CBaseWidget::HitTest(const CPoint2i& point) const
{
    return point.X >= 0 && point.Y >= 0 && point.X < static_cast<s32>(m_Size.X) &&
           point.Y < static_cast<s32>(m_Size.Y);
}

void CBaseWidget::Draw(lv::graphics::CRenderer& renderer)
{
    if (CGuiServices::Instance().IsDebugRender()) {
        // The outline in the widget's own units, so a scaled widget still outlines its area.
        const float sx = std::sqrt(m_Transform.M00 * m_Transform.M00 + m_Transform.M01 * m_Transform.M01 +
                                   m_Transform.M02 * m_Transform.M02);
        const float sy = std::sqrt(m_Transform.M10 * m_Transform.M10 + m_Transform.M11 * m_Transform.M11 +
                                   m_Transform.M12 * m_Transform.M12);
        const float w = sx != 0 ? m_Size.X / sx : 0, h = sy != 0 ? m_Size.Y / sy : 0;
        renderer.DrawLine(CVector2(0, 0), CVector2(w, 0), m_Color);
        renderer.DrawLine(CVector2(w, 0), CVector2(w, h), m_Color);
        renderer.DrawLine(CVector2(w, h), CVector2(0, h), m_Color);
        renderer.DrawLine(CVector2(0, h), CVector2(0, 0), m_Color);
    }
    // A snapshot: a child's drawing must not invalidate the walk.
    const CChildrenSnapshot snapshot(m_Children);
    const std::vector<Ptr>& children = snapshot.Get();
    for (auto it = children.rbegin(); it != children.rend(); ++it)
        if (*it && !((*it)->GetFlags() & Hidden))
            (*it)->Render(renderer);
}

void CBaseWidget::Update() {}

CVector2 CBaseWidget::GetSize() const
{
    return (m_Flags & Closed) ? CVector2() : m_Size;
}

void CBaseWidget::SetFlags(u32 flags)
{
    if ((flags ^ m_Flags) & Hidden)
        OnHiddenChanged((flags & Hidden) != 0);
    if ((flags ^ m_Flags) & Disabled)
        OnDisabledChanged((flags & Disabled) != 0);
    m_Flags = flags;
}

CBaseWidget::SInsets CBaseWidget::GetInsets() const
{
    return (m_Flags & Closed) ? SInsets() : m_Insets;
}

void CBaseWidget::SetInsets(float left, float right, float top, float bottom)
{
    m_Insets = SInsets{left, right, top, bottom};
}

void CBaseWidget::AddChild(const Ptr& child)
{
    if (!child || child.get() == this ||
        std::find(m_Children.begin(), m_Children.end(), child) != m_Children.end())
        return;
    auto* widget = dynamic_cast<CWidget*>(child.get());
    if (widget && widget->GetLayer() == 0) {
        u32 layer = 1;
        for (const Ptr& c : m_Children)
            if (c && LayerOf(c.get()) != 0xFFFFFFFFu) {
                layer = LayerOf(c.get());
                break;
            }
        widget->SetLayer(layer);
    }
    const u32 layer = LayerOf(child.get());
    const auto at = std::find_if(m_Children.begin(), m_Children.end(),
                                 [layer](const Ptr& c) { return !c || LayerOf(c.get()) <= layer; });
    m_Children.insert(at, child);
    if (widget)
        widget->SetListener(this);
}

bool CBaseWidget::CloseChild(CBaseWidget* widget)
{
    if (!widget || widget->GetListener() != this)
        return false;
    widget->AddFlags(Closed);
    return true;
}

void CBaseWidget::RemoveClosedChildren()
{
    // Take the leaving children out first: clearing a listener may run code that looks here.
    std::vector<Ptr> leaving;
    std::erase_if(m_Children, [&leaving](const Ptr& c) {
        if (c && !(c->GetFlags() & Closed))
            return false;
        leaving.push_back(c);
        return true;
    });
    for (const Ptr& c : leaving) {
        if (auto* widget = dynamic_cast<CWidget*>(c.get()); widget && widget->GetListener() == this)
            widget->ClearListener();
        if (m_LayoutBox && c && c->m_LayoutBox)
            m_LayoutBox->RemoveBox(c->m_LayoutBox);
    }
}

void CBaseWidget::RemoveAllChildren()
{
    std::vector<Ptr> leaving;
    leaving.swap(m_Children);
    m_LayoutBox.reset();
    for (const Ptr& c : leaving)
        if (auto* widget = dynamic_cast<CWidget*>(c.get()); widget && widget->GetListener() == this)
            widget->ClearListener();
}

void CBaseWidget::MoveChildBefore(CBaseWidget* moved, CBaseWidget* other)
{
    if (!moved || !other || moved == other)
        return;
    const auto from = std::find_if(m_Children.begin(), m_Children.end(),
                                   [moved](const Ptr& c) { return c.get() == moved; });
    if (from == m_Children.end())
        return;
    const Ptr keep = *from;
    if (auto* widget = dynamic_cast<CWidget*>(moved))
        widget->SetLayer(LayerOf(other));
    m_Children.erase(from);
    const auto to = std::find_if(m_Children.begin(), m_Children.end(),
                                 [other](const Ptr& c) { return c.get() == other; });
    m_Children.insert(to, keep);
}

void CBaseWidget::SortChildren(bool force)
{
    if (!m_ChildrenOrderDirty && !force)
        return;
    std::stable_sort(m_Children.begin(), m_Children.end(), [](const Ptr& a, const Ptr& b) {
        return LayerOf(a.get()) > LayerOf(b.get());
    });
    m_ChildrenOrderDirty = 0;
}

CBaseWidget::Ptr CBaseWidget::FindChild(const CFixedString& name, bool recursive) const
{
    for (const Ptr& c : m_Children)
        if (c && c->GetName() == name)
            return c;
    if (recursive)
        for (const Ptr& c : m_Children)
            if (c)
                if (Ptr hit = c->FindChild(name, true))
                    return hit;
    return Ptr();
}

u32 CBaseWidget::GetEventMask() const
{
    const auto* widget = dynamic_cast<const CWidget*>(this);
    u32 mask = widget ? widget->GetOwnEventMask() : 0;
    for (const Ptr& c : m_Children)
        if (c)
            mask |= c->GetEventMask();
    return mask;
}

CBaseWidget* CBaseWidget::GetListener() const
{
    return nullptr;
}

CPoint2i CBaseWidget::ParentToLocal(const CPoint2i& point) const
{
    CMatrix3 inverse;
    CMatrix3::Inverse(inverse, m_Transform);
    CVector2 v(static_cast<float>(point.X) - m_Position.X, static_cast<float>(point.Y) - m_Position.Y);
    v.Transform(inverse);
    return CPoint2i(RoundHalfAway(v.X), RoundHalfAway(v.Y));
}

CPoint2i CBaseWidget::LocalToParent(const CPoint2i& point) const
{
    CVector2 v(static_cast<float>(point.X), static_cast<float>(point.Y));
    v.Transform(m_Transform);
    v += m_Position;
    return CPoint2i(RoundHalfAway(v.X), RoundHalfAway(v.Y));
}

void CBaseWidget::AddEffect(const CWidgetEffect::Ptr& effect)
{
    if (!effect)
        return;
    m_Effects.push_back(effect);
    effect->Start(this);
}

void CBaseWidget::Render(lv::graphics::CRenderer& renderer)
{
    // Transform, colour and clip of this subtree end with the scope.
    lv::graphics::CRenderStateScope scope(renderer);
    CVector2 position = m_Position;
    if (!(m_Flags & ExactPosition)) {
        position.X = std::trunc(position.X);
        position.Y = std::trunc(position.Y);
    }
    CMatrix3 translation;
    CMatrix3::MakeTranslation(translation, position.X, position.Y);
    CMatrix3 local;
    m_Transform.Multiply(local, translation);
    renderer.MultiplyTransform(local);
    CColor color = renderer.GetColor();
    color *= m_Color;
    renderer.SetColor(color);
    if (m_Flags & ClipChildren)
        renderer.IntersectClip(CQuad(0, 0, m_Size.X, m_Size.Y));

    const std::vector<CWidgetEffect::Ptr> effects = m_Effects;
    for (const auto& effect : effects)
        effect->BeforeDraw(renderer);
    Draw(renderer);
    for (const auto& effect : effects)
        effect->AfterDraw(renderer);
}

void CBaseWidget::UpdateAll()
{
    RemoveClosedChildren();
    std::erase_if(m_Effects, [](const CWidgetEffect::Ptr& e) { return !e || e->IsFinished(); });
    const std::vector<CWidgetEffect::Ptr> effects = m_Effects;
    for (const auto& effect : effects)
        effect->Update(this);
    const CChildrenSnapshot snapshot(m_Children);
    const std::vector<Ptr>& children = snapshot.Get();
    for (const Ptr& child : children)
        if (child)
            child->UpdateAll();
    if (!(m_Flags & Disabled))
        Update();
    SortChildren(false);
}

} // namespace lv::gui
