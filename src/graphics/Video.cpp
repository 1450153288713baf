#include "graphics/Video.h"

#include "core/TimeSystem.h"
#include "graphics/Renderer.h"
#include "graphics/Texture.h"
#include "graphics/TextureManager.h"

namespace lv::graphics {

CVideo::~CVideo()
{
    m_Image.Release();
}

void CVideo::Draw(CRenderer& renderer, float x, float y, float w, float h)
{
    Draw(renderer, x, y, w, h, CColor());
}

void CVideo::Draw(CRenderer& renderer, float x, float y)
{
    Draw(renderer, x, y, -1.0f, -1.0f, CColor());
}

u32 CVideo::GetFrameDelta() const
{
    const lv::core::CTimeSystem& time = m_TimeSystem ? *m_TimeSystem : lv::core::CTimeSystem::Instance();
    const s32 delta = time.GetFrameDelta();
    return delta > 0 ? static_cast<u32>(delta) : 0;
}

bool CVideo::CreateFrameTexture(u32 width, u32 height)
{
    ReleaseFrameTexture();
    if (width == 0 || height == 0 || width > 0xFFFF || height > 0xFFFF)
        return false;
    m_Texture = CTextureManager::Instance().CreateTexture(width, height);
    if (!m_Texture)
        return false;
    m_Image.BindTexture(m_Texture);
    return true;
}

void CVideo::UploadFrame(const u8* rgba)
{
    if (m_Texture && rgba)
        m_Texture->UploadArgb(reinterpret_cast<const u32*>(rgba));
}

void CVideo::ReleaseFrameTexture()
{
    if (!m_Texture)
        return;
    m_Image.Release();
    // Nobody else draws a video's frame texture: its video memory goes now, not at the next
    // device reset.
    if (m_Texture->GetRefCount() <= 0)
        m_Texture->ReleaseDeviceTexture();
    m_Texture = nullptr;
}

void CVideo::DrawFrame(CRenderer& renderer, float x, float y, float w, float h, const CColor& color)
{
    if (!m_Texture)
        return;
    if (w < 0)
        w = m_Texture->GetWidth();
    if (h < 0)
        h = m_Texture->GetHeight();
    // Frame index -1 is past the single frame, which selects frame 0.
    renderer.DrawImageRect(&m_Image, CFloatRect(x, y, w, h), 0xFFFFFFFFu, color);
}

} // namespace lv::graphics
