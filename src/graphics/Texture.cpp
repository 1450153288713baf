#include "graphics/Texture.h"

#include <cstdlib>
#include <cstring>

#include "graphics/GraphicsDevice.h"
#include "graphics/TextureManager.h"

namespace lv::graphics {

namespace {
constexpr u8 kBitsPerPixel[16] = {0, 32, 32, 16, 16, 16, 16, 16, 4, 2, 4, 4, 8, 8, 8, 8};
}

u32 TextureBitsPerPixel(u8 format)
{
    return format < 16 ? kBitsPerPixel[format] : 0;
}

u32 TextureByteSize(u8 format, u32 width, u32 height)
{
    return (width * TextureBitsPerPixel(format) * height) >> 3;
}

CTexture::CTexture(u16 width, u16 height, u8 flags) : m_Width(width), m_Height(height), m_Flags(flags) {}

CTexture::~CTexture()
{
    ReleaseDeviceTexture();
    std::free(m_PixelCopy);
}

IDirect3DTexture9* CTexture::GetDeviceTexture()
{
    if (!m_DeviceTexture)
        Load();
    return m_DeviceTexture;
}

void CTexture::Load()
{
    CTextureManager::Instance().LoadSurfaceData(this);
    m_Flags &= static_cast<u8>(~kPixelsNotLoaded);
}

void CTexture::ReleaseDeviceTexture()
{
    if (!m_DeviceTexture)
        return;
    m_DeviceTexture->Release();
    m_DeviceTexture = nullptr;
    CTextureManager::Instance().SubUsedBytes(m_ByteSize);
    m_ByteSize = 0;
    std::free(m_PixelCopy);
    m_PixelCopy = nullptr;
}

bool CTexture::UploadArgb(const u32* pixels)
{
    return UploadData(pixels, static_cast<u32>(m_Width) * m_Height * 4, m_Width, m_Height, m_Format);
}

bool CTexture::UploadData(const void* data, u32 size, u32 width, u32 height, u8 /*format*/)
{
    IDirect3DTexture9* texture = GetDeviceTexture();
    if (!texture || !data || width != m_Width || height != m_Height)
        return false;
    const u32 bits = TextureBitsPerPixel(m_Format);
    const bool compressed = m_Format == 11 || m_Format == 13 || m_Format == 15;
    const u32 rowBytes = compressed ? bits * m_Width / 2 : bits * m_Width / 8;
    const u32 rows = compressed ? m_Height / 4 : m_Height;
    if (size < static_cast<u64>(rows) * rowBytes)
        return false;
    D3DLOCKED_RECT locked = {};
    if (CheckD3DResult(texture->LockRect(0, &locked, nullptr, D3DLOCK_DISCARD | D3DLOCK_NOSYSLOCK),
                       "LockRect", 3))
        return false;
    const u8* src = static_cast<const u8*>(data);
    u8* dst = static_cast<u8*>(locked.pBits);
    const u32 pitch = static_cast<u32>(locked.Pitch);
    if (pitch == rowBytes) {
        std::memcpy(dst, src, static_cast<size_t>(rows) * rowBytes);
    } else {
        for (u32 y = 0; y < rows; ++y)
            std::memcpy(dst + static_cast<size_t>(y) * pitch, src + static_cast<size_t>(y) * rowBytes,
                        rowBytes < pitch ? rowBytes : pitch);
    }
    CheckD3DResult(texture->UnlockRect(0), "UnlockRect", 3);
    return true;
}

} // namespace lv::graphics
