#include "graphics/Sprite.h"

#include "core/TimeSystem.h"
#include "core/Timer.h"
#include "graphics/ImageHandle.h"
#include "graphics/ImageInfo.h"
#include "graphics/Renderer.h"
#include "graphics/Texture.h"
#include "graphics/TextureManager.h"

namespace lv::graphics {

namespace {

CMatrix3 Identity()
{
    CMatrix3 m;
    m.SetIdentity();
    return m;
}

float Truncated(float value)
{
    return static_cast<float>(static_cast<s64>(value));
}

} // namespace

CSprite::CSprite(const CFixedString& name) : m_Image(CTextureManager::Instance().GetImage(name))
{
    ResetAnimation();
}

CSprite::CSprite(CImageHandle* image) : m_Image(image)
{
    ResetAnimation();
}

CSprite::CSprite(const CSprite& other)
{
    *this = other;
}

CSprite& CSprite::operator=(const CSprite& other)
{
    if (this == &other)
        return *this;
    m_Timer = other.m_Timer;
    m_Image = other.m_Image;
    m_Rect = other.m_Rect;
    m_Transform = other.m_Transform;
    m_Scale = other.m_Scale;
    m_Color = other.m_Color;
    m_Flags = other.m_Flags;
    if (other.m_SourceRect) {
        if (!m_SourceRect)
            m_SourceRect = new CShortRect;
        *m_SourceRect = *other.m_SourceRect;
    } else {
        delete m_SourceRect;
        m_SourceRect = nullptr;
    }
    return *this;
}

CSprite::~CSprite()
{
    delete m_SourceRect;
}

void CSprite::CreateTimer()
{
    m_Timer.Assign(core::CTimeSystem::Instance().CreateTimer(nullptr));
}

void CSprite::SetImage(CImageHandle* image, bool reset)
{
    m_Image = image;
    if (reset)
        ResetAnimation();
    else if (m_Image && m_Image->IsMultiFrame() && !m_Timer)
        CreateTimer();
}

void CSprite::SetImageByName(const CFixedString& name, bool reset)
{
    SetImage(CTextureManager::Instance().GetImage(name), reset);
}

void CSprite::SetRect(const CFloatRect& rect)
{
    m_Rect = rect;
    if (m_Image) {
        if (m_Rect.Width == 0)
            m_Rect.Width = m_Image->GetWidth();
        if (m_Rect.Height == 0)
            m_Rect.Height = m_Image->GetHeight();
    }
}

void CSprite::SetSourceRect(const CIntRect& rect)
{
    if (m_Image && m_Image->IsMultiFrame())
        return;
    if (rect.Width == -1 || rect.Height == -1) {
        delete m_SourceRect;
        m_SourceRect = nullptr;
        return;
    }
    if (!m_SourceRect)
        m_SourceRect = new CShortRect;
    m_SourceRect->x = static_cast<s16>(rect.X);
    m_SourceRect->y = static_cast<s16>(rect.Y);
    m_SourceRect->width = static_cast<s16>(rect.Width);
    m_SourceRect->height = static_cast<s16>(rect.Height);
}

const CShortRect& CSprite::GetSourceRect() const
{
    if (m_SourceRect)
        return *m_SourceRect;
    static CShortRect s_Whole;
    s_Whole = CShortRect();
    if (m_Image && m_Image->GetTexture()) {
        const CFloatRect& uv = m_Image->GetFirstFrameUv();
        const float w = m_Image->GetTexture()->GetWidth();
        const float h = m_Image->GetTexture()->GetHeight();
        s_Whole.x = static_cast<s16>(static_cast<s32>(w * uv.X));
        s_Whole.y = static_cast<s16>(static_cast<s32>(h * uv.Y));
        s_Whole.width = static_cast<s16>(static_cast<s32>(w * (uv.Width - uv.X)));
        s_Whole.height = static_cast<s16>(static_cast<s32>(h * (uv.Height - uv.Y)));
    }
    return s_Whole;
}

CPoint2i CSprite::GetImageSize() const
{
    return m_Image ? CPoint2i(m_Image->GetWidth(), m_Image->GetHeight()) : CPoint2i(0, 0);
}

void CSprite::DrawInRectWithTransform(CRenderer& renderer, const CFloatRect& rect, const CMatrix3& transform) const
{
    if (!m_Image)
        return;
    CFloatRect r = rect;
    r.Width *= m_Scale;
    r.Height *= m_Scale;
    if (r.Width == 0 || r.Height == 0)
        return;
    renderer.PushTransform();
    renderer.MultiplyTransform(transform);
    if (m_Flags & kWholePixels)
        r = CFloatRect(Truncated(r.X), Truncated(r.Y), Truncated(r.Width), Truncated(r.Height));
    if (m_SourceRect) {
        if (m_Flags & kNineSlice)
            renderer.DrawTiledFramePart(m_Image, r, *m_SourceRect, m_Color);
        else
            renderer.DrawImagePart(m_Image, r, *m_SourceRect, m_Color);
    } else {
        const CFloatRect& uv = m_Image->IsMultiFrame()
                                   ? m_Image->GetFrameUv(static_cast<u32>(m_Image->GetFrameForTime(GetAnimationTime())))
                                   : m_Image->GetFirstFrameUv();
        if (m_Flags & kNineSlice)
            renderer.DrawTiledFrameUv(m_Image, r, uv, m_Color);
        else
            renderer.DrawImageUv(m_Image, r, uv, m_Color);
    }
    renderer.PopTransform();
}

void CSprite::Draw(CRenderer& renderer) const
{
    DrawInRectWithTransform(renderer, m_Rect, m_Transform);
}

void CSprite::DrawInRect(CRenderer& renderer, const CFloatRect& rect) const
{
    DrawInRectWithTransform(renderer, rect, m_Transform);
}

void CSprite::DrawWithTransform(CRenderer& renderer, const CMatrix3& transform) const
{
    DrawInRectWithTransform(renderer, m_Rect, transform);
}

void CSprite::DrawAt(CRenderer& renderer, float x, float y) const
{
    if (!m_Image)
        return;
    DrawInRectWithTransform(renderer, CFloatRect(x, y, m_Image->GetWidth(), m_Image->GetHeight()), m_Transform);
}

void CSprite::ResetAnimation()
{
    if (!m_Image || !m_Image->IsMultiFrame()) {
        m_Timer.Reset();
    } else if (m_Timer) {
        m_Timer->SetTime(0);
        m_Timer->SetSpeed(1.0f);
    } else {
        CreateTimer();
    }
    if (m_Image) {
        m_Transform = Identity();
        m_Scale = 1.0f;
        m_Color = CColor(0xFFFFFFFFu);
        SetRect(CFloatRect(0, 0, 0, 0));
        m_Flags = 0;
    }
}

void CSprite::SeekToMapEntry(u32 entry)
{
    if (m_Timer && m_Image)
        m_Timer->SetTime(m_Image->GetMapEntryStartTime(entry));
}

void CSprite::PauseAnimation(bool pause)
{
    if (m_Timer)
        m_Timer->Pause(pause);
}

void CSprite::SetAnimationSpeed(float speed)
{
    if (m_Timer)
        m_Timer->SetSpeed(speed);
}

float CSprite::GetAnimationSpeed() const
{
    return m_Timer ? m_Timer->GetSpeed() : 1.0f;
}

s32 CSprite::GetAnimationTime() const
{
    return m_Timer ? m_Timer->GetTime() : 0;
}

} // namespace lv::graphics
