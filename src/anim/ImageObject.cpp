#include "anim/ImageObject.h"

#include "anim/ClipItem.h"
#include "core/FloatRect.h"
#include "core/TimeSystem.h"
#include "graphics/ImageHandle.h"
#include "graphics/ImageInfo.h"
#include "graphics/Renderer.h"
#include "graphics/TextureManager.h"

#include <cmath>
#include <utility>

namespace lv::misc::anim {

namespace {

// Geometry changes below these do not count.
constexpr float kMoveThreshold = 0.1f;
constexpr float kAngleThreshold = 0.001f;

bool Moved(const CVector2& a, const CVector2& b)
{
    return std::fabs(a.X - b.X) >= kMoveThreshold || std::fabs(a.Y - b.Y) >= kMoveThreshold;
}

graphics::CImageHandle* FindImage(const char* name)
{
    return graphics::CTextureManager::Instance().GetImage(name);
}

} // namespace

CImageObject::CImageObject(const char* imageName)
{
    m_Image = FindImage(imageName);
    ResetGeometry();
}

void CImageObject::SetImage(const char* imageName)
{
    m_Image = FindImage(imageName);
}

const CFixedString& CImageObject::GetResourceName() const
{
    if (m_Image && m_Image->GetInfo())
        return m_Image->GetInfo()->name;
    return CClipObject::GetResourceName();
}

void CImageObject::DoSetPosition(const CVector2& position)
{
    if (!Moved(position, m_Quad.Position))
        return;
    m_Quad.Position = position;
    m_Dirty = 1;
}

void CImageObject::SetCorners(const CQuad& corners)
{
    bool moved = false;
    for (int i = 0; i < 4 && !moved; ++i)
        moved = Moved(corners.Corners[i], m_Quad.Corners.Corners[i]);
    if (!moved)
        return;
    m_Quad.Corners = corners;
    m_Dirty = 1;
}

void CImageObject::ResetGeometry()
{
    if (!m_Image)
        return;
    const s32 w = m_Image->GetWidth();
    const s32 h = m_Image->GetHeight();
    CFloatRect rect;
    rect.FromPositionSize(-w / 2.0f, -h / 2.0f, w, h);
    CQuad corners;
    corners.FromRect(rect);
    SetCorners(corners);
}

void CImageObject::SetAngle(float angle)
{
    if (std::fabs(angle - m_Quad.Angle) <= kAngleThreshold)
        return;
    m_Quad.Angle = angle;
    m_Dirty = 1;
}

void CImageObject::SetFlipFlags(s32 flags)
{
    const u8 value = static_cast<u8>(flags);
    if (value == m_FlipFlags)
        return;
    m_FlipFlags = value;
    m_Dirty = 1;
}

void CImageObject::LoadFromDefinition(const CClipItem& item, LoadPathHelper* paths)
{
    m_Image = FindImage(item.GetImageData().ImageName.GetText());
    CClipObject::LoadFromDefinition(item, paths);
}

void CImageObject::Update()
{
    m_FrameTime += core::CTimeSystem::Instance().GetFrameDelta();
}

void CImageObject::Play()
{
    CClipObject::Play();
    m_FrameTime = 0;
}

void CImageObject::Draw(graphics::CRenderer& renderer)
{
    if (!IsVisible() || !m_Image)
        return;
    if (m_Dirty) {
        m_Quad.GetCorners(m_ScreenQuad);
        // Mirroring exchanges where the picture's corners land (c0 top-left, c1 top-right,
        // c2 bottom-right, c3 bottom-left), not the texture coordinates.
        CVector2* c = m_ScreenQuad.Corners;
        if (m_FlipFlags & 2) {
            std::swap(c[0], c[3]);
            std::swap(c[1], c[2]);
        }
        if (m_FlipFlags & 1) {
            std::swap(c[0], c[1]);
            std::swap(c[3], c[2]);
        }
        m_Dirty = 0;
    }
    if (m_Additive) {
        renderer.PushBlendMode();
        renderer.SetBlendMode(3);
    }
    if (m_Image->IsMultiFrame())
        renderer.DrawImageQuadFrame(m_Image, m_ScreenQuad, m_Image->GetFrameForTime(m_FrameTime), m_Color);
    else
        renderer.DrawImageQuad(m_Image, m_ScreenQuad, m_Image->GetFirstFrameUv(), m_Color);
    if (m_Additive)
        renderer.PopBlendMode();
}

} // namespace lv::misc::anim
