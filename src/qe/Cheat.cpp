#include "qe/Cheat.h"

#include "core/Color.h"
#include "core/FloatRect.h"
#include "core/MessageBox.h"
#include "core/Quad.h"
#include "core/TextConvert.h"
#include "graphics/Renderer.h"
#include "graphics/TextRender.h"
#include "qe/BlockBase.h"
#include "qe/ClipObject.h"
#include "qe/SceneObject.h"

namespace qe::scripts {

CCheat::CCheat(CBlockBase* block, CSceneObject* object, bool ready, s32 shared)
    : m_Block(block), m_Object(object), m_Ready(ready), m_Rect(0, 0, kSize, kSize)
{
    if (!object)
    {
        lv::core::ShowMessageBoxF("CCheat ctr", "Can't find scene object in block '%s'!", block ? block->GetId() : "");
        return;
    }
    const s32 type = object->GetType();
    if (type == CSceneObject::kTypeArea || type == CSceneObject::kTypeImage || type == CSceneObject::kTypeClip)
    {
        const CVector2 position = type == CSceneObject::kTypeClip
                                      ? static_cast<const CClipObject*>(object)->GetClip().GetPosition()
                                      : object->GetPosition();
        m_Rect.X = static_cast<s32>(position.X - 12.0f);
        m_Rect.Y = static_cast<s32>(position.Y - 12.0f);
    }
    switch (shared)
    {
    case 1: m_Rect.X -= kSpread; break;
    case 2: m_Rect.X += kSpread; break;
    case 3: m_Rect.Y -= kSpread; break;
    case 4: m_Rect.Y += kSpread; break;
    default: break;
    }
}

bool CCheat::HoverTest(const CPoint2i& point, const lv::graphics::CFont* font)
{
    if (!font)
        return false;
    m_Hovered = Contains(point);
    if (!m_Hovered)
        return false;
    m_TooltipPoint = point;
    const WString id = ToWide(m_Block ? m_Block->GetId() : "");
    lv::graphics::CTextRender measure;
    const CIntRect box(0, 0, 1000, 100);
    CPoint2i size;
    if (!id.empty() &&
        measure.MeasureText(font, id.c_str(), &box, 0, static_cast<u32>(id.size()), &size))
    {
        if (point.Y - size.Y > 0)
            m_TooltipPoint.Y = point.Y - size.Y;
        if (point.X - size.X > 0)
            m_TooltipPoint.X = point.X - size.X;
    }
    return true;
}

void CCheat::DrawBox(lv::graphics::CRenderer& renderer) const
{
    const CFloatRect rect(static_cast<float>(m_Rect.X), static_cast<float>(m_Rect.Y),
                          static_cast<float>(m_Rect.Width), static_cast<float>(m_Rect.Height));
    renderer.FillQuad(CQuad().FromRect(rect),
                      m_Ready ? CColor::CColorArgb(255, 255, 255, 255) : CColor::CColorArgb(255, 200, 0, 0));
    renderer.DrawRectOutline(rect, CColor::CColorArgb(255, 0, 0, 0));
}

void CCheat::DrawTooltip(lv::graphics::CRenderer& renderer, const lv::graphics::CFont* font) const
{
    if (!font || !m_Hovered)
        return;
    renderer.DrawTextAtString(font, ToWide(m_Block ? m_Block->GetId() : ""), static_cast<float>(m_TooltipPoint.X),
                              static_cast<float>(m_TooltipPoint.Y), -1, -1, 1.0f, CColor::CColorArgb(255, 255, 255, 255),
                              CColor::CColorArgb(255, 0, 0, 0));
}

} // namespace qe::scripts
