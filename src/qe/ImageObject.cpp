#include "qe/ImageObject.h"

#include "core/Matrix3.h"
#include "core/TimerGroup.h"
#include "graphics/ImageHandle.h"
#include "graphics/ImageInfo.h"
#include "graphics/Renderer.h"
#include "graphics/TextureManager.h"
#include "graphics/TexturesAlpha.h"
#include "qe/Quest.h"
#include "qe/RecordFields.h"
#include "qe/Scene.h"

#include <cmath>
#include <cstring>

namespace qe {

namespace {

constexpr float kMinAngle = 0.008726389f;

bool IsTurned(float angle)
{
    return angle != 0.0f && std::fabs(angle) >= kMinAngle;
}

} // namespace

void CImageObject::InitFromRecord(const u8* record)
{
    SetRecord(record);
    if (!record)
        return;
    const u8* payload = GetPayloadOf(record);
    m_Color = ReadRecordColor(payload + 96);
    m_Position = CVector2(ReadRecordFloat(payload + 104), ReadRecordFloat(payload + 108));
    m_Size = CVector2(ReadRecordFloat(payload + 112), ReadRecordFloat(payload + 116));
    m_Angle = ReadRecordFloat(payload + 120);
    m_Image = lv::graphics::CTextureManager::Instance().GetImage(*reinterpret_cast<const CFixedString*>(payload));
    m_FlipFlags = static_cast<u8>((payload[124] ? kFlipH : 0) | (payload[125] ? kFlipV : 0));
}

void CImageObject::SetImageByName(const char* name)
{
    m_Image = lv::graphics::CTextureManager::Instance().GetImage(name);
}

void CImageObject::Update()
{
    if (!m_Image || !m_Image->IsMultiFrame() || m_Paused)
        return;
    const CScene* scene = GetScene();
    const CQuest* quest = scene ? scene->GetQuest() : nullptr;
    const lv::core::CTimerGroup* group = quest ? quest->GetTimerGroup() : nullptr;
    if (group)
        m_AnimationTime += static_cast<s32>(static_cast<float>(group->GetDelta()) * m_Speed);
}

s32 CImageObject::GetAnimationLength() const
{
    if (!m_Image || !m_Image->GetInfo() || m_Speed == 0.0f)
        return 0;
    return static_cast<s32>(static_cast<float>(m_Image->GetInfo()->totalDuration) / m_Speed);
}

void CImageObject::SeekToFramePosition(u32 n)
{
    m_AnimationTime = m_Image ? m_Image->GetMapEntryStartTime(n) : 0;
}

s32 CImageObject::GetCurrentFrame() const
{
    return m_Image ? m_Image->GetFrameForTime(m_AnimationTime) : -1;
}

void CImageObject::Draw(lv::graphics::CRenderer& renderer)
{
    if (!m_Image)
        return;
    const s32 frame = m_Image->IsMultiFrame() ? m_Image->GetFrameForTime(m_AnimationTime) : -1;
    const u32 drawnFrame = frame < 0 ? 0 : static_cast<u32>(frame);
    if (!m_FlipFlags && !IsTurned(m_Angle))
    {
        renderer.DrawImageRect(m_Image,
                               CFloatRect(m_Position.X - m_Size.X / 2, m_Position.Y - m_Size.Y / 2, m_Size.X, m_Size.Y),
                               drawnFrame, m_Color);
        return;
    }
    CMatrix3 transform, step, product;
    CMatrix3::MakeScale(transform, (m_FlipFlags & kFlipH) ? -1.0f : 1.0f, (m_FlipFlags & kFlipV) ? -1.0f : 1.0f);
    CMatrix3::MakeRotation(step, m_Angle);
    transform.Multiply(product, step);
    CMatrix3::MakeTranslation(step, m_Position.X, m_Position.Y);
    product.Multiply(transform, step);
    renderer.PushTransform();
    renderer.MultiplyTransform(transform);
    renderer.DrawImageRect(m_Image, CFloatRect(-m_Size.X / 2, -m_Size.Y / 2, m_Size.X, m_Size.Y), drawnFrame, m_Color);
    renderer.PopTransform();
}

bool CImageObject::HitTest(const CVector2& point)
{
    if (!m_Image)
        return false;
    const CVector2 p(static_cast<float>(static_cast<s32>(point.X)), static_cast<float>(static_cast<s32>(point.Y)));
    CVector2 local;
    if (!GetLocalPoint(p, m_Position, m_Size, m_Angle, m_Image->GetWidth(), m_Image->GetHeight(), local))
        return false;
    return HitTestImagePixel(m_Image, static_cast<s32>(local.X), static_cast<s32>(local.Y),
                             m_Image->GetFrameForTime(m_AnimationTime));
}

bool CImageObject::HitTestImagePixel(lv::graphics::CImageHandle* image, s32 x, s32 y, s32 frame)
{
    if (!image || x < 0 || y < 0 || x >= image->GetWidth() || y >= image->GetHeight())
        return false;
    const auto& alpha = lv::graphics::CTexturesAlpha::Instance();
    if (alpha.IsLoaded())
        return alpha.HitTest(image, x, y);
    const u32* pixel = image->GetPixelAddress(static_cast<u32>(x), static_cast<u32>(y), frame);
    if (!pixel)
    {
        image->EnsurePixelCopy();
        image->ReadPixels();
        pixel = image->GetPixelAddress(static_cast<u32>(x), static_cast<u32>(y), frame);
    }
    return pixel && *pixel > 0x00FFFFFFu;
}

} // namespace qe
