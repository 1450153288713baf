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

bool CTextureFactory::Resize(CTexture* source, CTexture* target)
{
    if (!source || !target || !target->m_PixelCopy || !source->m_Width || !source->m_Height ||
        !target->m_Width || !target->m_Height)
        return false;
    target->m_Flags = static_cast<u8>((target->m_Flags & ~CTexture::kRenderTarget) |
                                      (source->m_Flags & CTexture::kRenderTarget));
    if (!CreateDeviceTexture(target))
        return false;
    const bool temporaryCopy = !source->m_PixelCopy;
    if (temporaryCopy) {
        source->AllocPixelCopy();
        source->ReadBack();
        if (!source->m_PixelCopy)
            return false;
    }
    const u32 sw = source->m_Width, sh = source->m_Height, tw = target->m_Width, th = target->m_Height;
    const float ry = static_cast<float>(sh) / static_cast<float>(th);
    const float rx = static_cast<float>(sw) / static_cast<float>(tw);
    // A target larger than the source still samples one pixel per block.
    const u32 by = ry >= 1.0f ? static_cast<u32>(ry) : 1;
    const u32 bx = rx >= 1.0f ? static_cast<u32>(rx) : 1;
    const u32* from = source->m_PixelCopy;
    for (u32 i = 0; i < th; ++i) {
        const u32 row0 = static_cast<u32>(ry * static_cast<float>(i));
        for (u32 j = 0; j < tw; ++j) {
            const u32 col0 = static_cast<u32>(rx * static_cast<float>(j));
            u64 sum[4] = {};
            for (u32 y = 0; y < by; ++y) {
                const u32 row = row0 + y < sh ? row0 + y : sh - 1;
                for (u32 x = 0; x < bx; ++x) {
                    const u32 col = col0 + x < sw ? col0 + x : sw - 1;
                    const u32 p = from[static_cast<size_t>(row) * sw + col];
                    for (int c = 0; c < 4; ++c)
                        sum[c] += (p >> (8 * c)) & 0xFF;
                }
            }
            const u64 n = static_cast<u64>(by) * bx;
            u32 out = 0;
            for (int c = 0; c < 4; ++c)
                out |= static_cast<u32>(sum[c] / n) << (8 * c);
            target->m_PixelCopy[static_cast<size_t>(i) * tw + j] = out;
        }
    }
    target->UploadPixelCopy();
    if (temporaryCopy)
        source->FreePixelCopy();
    return true;
}

} // namespace lv::graphics
