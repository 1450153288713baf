#pragma once
// One marker of the developer overlay: a 25 x 25 box on the object of a block, white while the
// block is ready and red otherwise, with the block's id as a tooltip while hovered.
#include "core/IntRect.h"
#include "core/Point2i.h"
#include "core/Types.h"

namespace lv::graphics {
class CFont;
class CRenderer;
} // namespace lv::graphics

namespace qe {
class CSceneObject;
}

namespace qe::scripts {

class CBlockBase;

class CCheat
{
public:
    static constexpr s32 kSize = 25;
    // How far markers that share an object move apart.
    static constexpr s32 kSpread = 27;

    // `shared` counts the markers already on the same object: 1 to 4 move this one left, right,
    // up or down. Without an object the marker stays at the scene's origin, reported.
    CCheat(CBlockBase* block, CSceneObject* object, bool ready, s32 shared);

    CBlockBase* GetBlock() const { return m_Block; }
    CSceneObject* GetObject() const { return m_Object; }
    bool IsReady() const { return m_Ready; }
    const CIntRect& GetRect() const { return m_Rect; }
    bool IsHovered() const { return m_Hovered; }
    const CPoint2i& GetTooltipPoint() const { return m_TooltipPoint; }
    bool Contains(const CPoint2i& point) const { return m_Rect.Contains(point.X, point.Y); }

    // Without a font nothing is hovered. The tooltip goes up by the id's height and left by its
    // width, each only while it stays inside the scene.
    bool HoverTest(const CPoint2i& point, const lv::graphics::CFont* font);
    void ClearHover() { m_Hovered = false; }
    void DrawBox(lv::graphics::CRenderer& renderer) const;
    void DrawTooltip(lv::graphics::CRenderer& renderer, const lv::graphics::CFont* font) const;

private:
    CBlockBase* m_Block = nullptr;
    CSceneObject* m_Object = nullptr;
    bool m_Ready = false;
    CIntRect m_Rect;
    bool m_Hovered = false;
    CPoint2i m_TooltipPoint;
};

} // namespace qe::scripts
