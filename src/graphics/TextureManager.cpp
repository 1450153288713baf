#include "graphics/TextureManager.h"

#include "graphics/Texture.h"
#include "graphics/TextureFactory.h"

namespace lv::graphics {

CTextureManager& CTextureManager::Instance()
{
    // Never destroyed: textures may still be released during process exit.
    static CTextureManager* const s_Manager = new CTextureManager;
    return *s_Manager;
}

CTextureManager::CTextureManager() : m_Factory(new CTextureFactory) {}

CTexture* CTextureManager::CreateRuntime(u32 width, u32 height, u8 flags)
{
    CTexture* texture = m_Factory->Create(static_cast<u16>(width), static_cast<u16>(height), flags);
    if (!m_Factory->CreateDeviceTexture(texture))
        return nullptr;
    return texture;
}

CTexture* CTextureManager::CreateTexture(u32 width, u32 height)
{
    return CreateRuntime(width, height, 0);
}

CTexture* CTextureManager::CreateRenderTarget(u32 width, u32 height)
{
    return CreateRuntime(width, height, CTexture::kRenderTarget);
}

void CTextureManager::LoadSurfaceData(CTexture* texture)
{
    // Declared textures also load their file here once the declarations exist; run-time
    // textures only need their device texture.
    m_Factory->PrepareSurface(texture);
}

void CTextureManager::ReleaseAllDeviceTextures()
{
    m_Factory->ForEach([](CTexture& t) { t.ReleaseDeviceTexture(); });
}

void CTextureManager::ReleaseRenderTargets()
{
    m_Factory->ForEach([](CTexture& t) {
        if (t.GetFlags() & CTexture::kRenderTarget)
            t.ReleaseDeviceTexture();
    });
}

const char* CTextureManager::GetTexturePath(CTexture*) const
{
    // Only run-time textures exist until the declarations are turned into textures.
    return "";
}

CTexture* CTextureManager::FindTextureByDeviceTexture(IDirect3DBaseTexture9* deviceTexture)
{
    CTexture* found = nullptr;
    m_Factory->ForEach([&](CTexture& t) {
        if (!found && deviceTexture &&
            static_cast<IDirect3DBaseTexture9*>(t.PeekDeviceTexture()) == deviceTexture)
            found = &t;
    });
    return found;
}

} // namespace lv::graphics
