#include "graphics/Texture.h"

#include <cstdlib>
#include <cstring>

#include "graphics/GraphicsDevice.h"
#include "graphics/TextureDeclarations.h"
#include "graphics/TextureManager.h"

namespace lv::graphics {

namespace {
constexpr u8 kBitsPerPixel[16] = {0, 32, 32, 16, 16, 16, 16, 16, 4, 2, 4, 4, 8, 8, 8, 8};

// The declaration of every texture made at run time: no file.
const CSurfaceRecord s_EmptyRecord{};
} // namespace

u32 TextureBitsPerPixel(u8 format)
{
    return format < 16 ? kBitsPerPixel[format] : 0;
}

u32 TextureByteSize(u8 format, u32 width, u32 height)
{
    return (width * TextureBitsPerPixel(format) * height) >> 3;
}

CTexture::CTexture(CTextureManager* manager, u16 width, u16 height, u8 flags)
    : m_Manager(manager), m_Width(width), m_Height(height), m_Flags(flags), m_Declaration(&s_EmptyRecord)
{
}

CTexture::~CTexture()
{
    ReleaseDeviceTexture();
    std::free(m_PixelCopy);
}

void CTexture::SetDeclaration(const CSurfaceRecord* record)
{
    m_Declaration = record ? record : &s_EmptyRecord;
}

bool CTexture::HasFile() const
{
    return !m_Declaration->path.IsEmpty();
}

IDirect3DTexture9* CTexture::GetDeviceTexture()
{
    if (m_Loading)
        return m_DeviceTexture;
    if (!m_DeviceTexture)
        Load();
    if (m_DeviceTexture)
        m_Manager->Touch(this);
    return m_DeviceTexture;
}

void CTexture::Load()
{
    if (m_Loading)
        return;
    m_Loading = true;
    m_Manager->LoadSurfaceData(this);
    m_Loading = false;
    m_Flags &= static_cast<u8>(~kPixelsNotLoaded);
}

void CTexture::ReleaseDeviceTexture()
{
    if (!m_DeviceTexture)
        return;
    m_DeviceTexture->Release();
    m_DeviceTexture = nullptr;
    m_Manager->SubUsedBytes(m_ByteSize);
    m_ByteSize = 0;
    m_Manager->Unlink(this);
    if (HasFile())
        FreePixelCopy();
}

void CTexture::Evict()
{
    ReleaseDeviceTexture();
    m_Flags |= kPixelsNotLoaded;
}

bool CTexture::UploadArgb(const u32* pixels)
{
    const u32 size = static_cast<u32>(m_Width) * m_Height * 4;
    if (pixels && !HasFile() && (m_Flags & kReloadable) && m_Format == 1 && pixels != m_PixelCopy) {
        if (!m_PixelCopy)
            m_PixelCopy = static_cast<u32*>(std::malloc(size ? size : 4));
        if (m_PixelCopy)
            std::memcpy(m_PixelCopy, pixels, size);
    }
    return UploadData(pixels, size, m_Width, m_Height, m_Format);
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

void CTexture::AllocPixelCopy()
{
    FreePixelCopy();
    GetDeviceTexture();
    const size_t size = static_cast<size_t>(m_Width) * 4 * m_Height;
    m_PixelCopy = static_cast<u32*>(std::calloc(size ? size : 4, 1));
}

void CTexture::FreePixelCopy()
{
    std::free(m_PixelCopy);
    m_PixelCopy = nullptr;
}

void CTexture::UploadPixelCopy()
{
    GetDeviceTexture();
    if (m_DeviceTexture && m_PixelCopy)
        UploadArgb(m_PixelCopy);
}

void CTexture::ReadBack()
{
    GetDeviceTexture();
    if (!m_DeviceTexture || !m_PixelCopy)
        return;
    D3DLOCKED_RECT locked = {};
    if (CheckD3DResult(m_DeviceTexture->LockRect(0, &locked, nullptr, 0), "LockRect", 3))
        return;
    D3DSURFACE_DESC desc = {};
    m_DeviceTexture->GetLevelDesc(0, &desc);
    const u32 bytesPerPixel = desc.Width ? static_cast<u32>(locked.Pitch) / desc.Width : 0;
    // Rows are packed; the copy holds at most 4 bytes per pixel.
    const size_t row = static_cast<size_t>(m_Width) * (bytesPerPixel < 4 ? bytesPerPixel : 4);
    for (u32 y = 0; y < m_Height && y < desc.Height; ++y)
        std::memcpy(reinterpret_cast<u8*>(m_PixelCopy) + static_cast<size_t>(y) * row,
                    static_cast<const u8*>(locked.pBits) + static_cast<size_t>(y) * locked.Pitch, row);
    CheckD3DResult(m_DeviceTexture->UnlockRect(0), "UnlockRect", 3);
}

} // namespace lv::graphics
