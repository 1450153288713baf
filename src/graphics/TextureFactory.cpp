#include "graphics/TextureFactory.h"

#include "core/Log.h"
#include "graphics/GraphicsDevice.h"
#include "graphics/Texture.h"
#include "graphics/TextureDeclarations.h"
#include "graphics/TextureManager.h"

namespace lv::graphics {

namespace {

D3DFORMAT DeviceFormat(u8 format)
{
    switch (format) {
    case 1:
        return D3DFMT_A8R8G8B8;
    case 3:
        return D3DFMT_A4R4G4B4;
    case 5:
        return D3DFMT_R5G6B5;
    case 6:
        return D3DFMT_A1R5G5B5;
    case 11:
        return D3DFMT_DXT1;
    case 13:
        return D3DFMT_DXT3;
    case 15:
        return D3DFMT_DXT5;
    default:
        return D3DFMT_UNKNOWN;
    }
}

} // namespace

CTexture* CTextureFactory::Create(u16 width, u16 height, u8 flags)
{
    return &m_Textures.emplace_back(m_Manager, width, height, flags);
}

bool CTextureFactory::CreateDeviceTexture(CTexture* texture)
{
    texture->ReleaseDeviceTexture();
    const D3DFORMAT format = DeviceFormat(texture->m_Format);
    if (format == D3DFMT_UNKNOWN) {
        core::CLog::Instance().Print("texman", 3, "unknown format for windows texture: %d",
                                     texture->m_Format);
        texture->m_ByteSize = 0;
        return false;
    }
    IDirect3DDevice9* device = GetGraphicsDevice().GetDevice();
    if (!device)
        return false;
    const bool target = (texture->m_Flags & CTexture::kRenderTarget) != 0;
    IDirect3DTexture9* created = nullptr;
    if (CheckD3DResult(device->CreateTexture(texture->m_Width, texture->m_Height, 1,
                                             target ? D3DUSAGE_RENDERTARGET : 0, format,
                                             target ? D3DPOOL_DEFAULT : D3DPOOL_MANAGED, &created, nullptr),
                       "Create texture", 3))
        return false;
    texture->m_DeviceTexture = created;
    texture->m_ByteSize = TextureByteSize(texture->m_Format, texture->m_Width, texture->m_Height);
    m_Manager->AddUsedBytes(texture->m_ByteSize);
    return true;
}

bool CTextureFactory::PrepareSurface(CTexture* texture)
{
    if (!texture->m_DeviceTexture && !CreateDeviceTexture(texture)) {
        core::CLog::Instance().Print("texman", 3, "Can't create surface");
        return false;
    }
    if (texture->m_PixelCopy)
        texture->UploadArgb(texture->m_PixelCopy);
    return true;
}

CTexture* CTextureFactory::FindByPath(const char* path)
{
    if (!path || !*path)
        return nullptr;
    for (CTexture& t : m_Textures)
        if (t.m_Declaration->path.CompareText(path) == 0)
            return &t;
    return nullptr;
}

} // namespace lv::graphics
