#include "anim/PathObject.h"
#include "anim/ClipItem.h"

namespace lv::misc::anim {

void CPathObject::Draw(graphics::CRenderer& renderer)
{
    if (IsVisible())
        m_Path.Draw(renderer, CColor(0xFFFFFF00));
}

void CPathObject::SetCorners(const CQuad& corners)
{
    CBoundingQuad frame = m_Path.GetFrame();
    frame.Corners = corners;
    m_Path.SetFrame(frame);
}

void CPathObject::SetAngle(float angle)
{
    CBoundingQuad frame = m_Path.GetFrame();
    frame.Angle = angle;
    m_Path.SetFrame(frame);
}

void CPathObject::DoSetPosition(const CVector2& position)
{
    CBoundingQuad frame = m_Path.GetFrame();
    frame.Position = position;
    m_Path.SetFrame(frame);
}

bool CPathObject::HitTest(const CVector2& point) const
{
    CVector2 offset;
    m_Path.NearestFraction(point, offset);
    return offset.X * offset.X + offset.Y * offset.Y <= 9;
}

void CPathObject::LoadFromDefinition(const CClipItem& item, LoadPathHelper* paths)
{
    CClipObject::LoadFromDefinition(item, paths);
    const CClipPathData& data = item.GetPathData();
    m_Path.SetClosed(data.Closed != 0);
    const CClipPathPoint* points = data.GetPoints();
    for (u32 i = 0; i < data.PointCount; ++i) {
        CPathPoint point;
        point.OutHandle = points[i].P1;
        point.InHandle = points[i].P2;
        point.Position = points[i].Anchor;
        m_Path.AddPoint(point);
    }
}

} // namespace lv::misc::anim
