#pragma once
// One texture of the program: its size, format and flags, and the device texture that is made
// on first use.
#include "core/Types.h"
#include "platform/d3d9/d3d9.h"

namespace lv::graphics {

class CTexture
{
public:
    // Texture flags.
    static constexpr u8 kReloadable = 0x02;
    static constexpr u8 kPixelsNotLoaded = 0x04;
    static constexpr u8 kRenderTarget = 0x08;

    CTexture(u16 width, u16 height, u8 flags);
    ~CTexture();
    CTexture(const CTexture&) = delete;
    CTexture& operator=(const CTexture&) = delete;

    void AddRef() { ++m_RefCount; }
    void Release() { --m_RefCount; }
    s32 GetRefCount() const { return m_RefCount; }

    // The only way the renderer gets the device texture; loads it on first use.
    IDirect3DTexture9* GetDeviceTexture();
    // The device texture as it is, without loading.
    IDirect3DTexture9* PeekDeviceTexture() const { return m_DeviceTexture; }

    u16 GetWidth() const { return m_Width; }
    u16 GetHeight() const { return m_Height; }
    u8 GetFlags() const { return m_Flags; }
    void SetFlags(u8 flags) { m_Flags = flags; }
    u8 GetFormat() const { return m_Format; }
    void SetFormat(u8 format) { m_Format = format; }
    u32 GetByteSize() const { return m_ByteSize; }

    // Uploads width x height 32-bit pixels (0xAARRGGBB), creating the device texture when
    // missing.
    bool UploadArgb(const u32* pixels);
    // Copies rows in the texture's own format; fails when the size differs from the texture's or
    // `size` is shorter than the whole level.
    bool UploadData(const void* data, u32 size, u32 width, u32 height, u8 format);

    void ReleaseDeviceTexture();
    void Load();

private:
    friend class CTextureFactory;

    IDirect3DTexture9* m_DeviceTexture = nullptr;
    u32* m_PixelCopy = nullptr;
    u16 m_Width = 0;
    u16 m_Height = 0;
    s32 m_RefCount = 0;
    u8 m_Flags = 0;
    u8 m_Format = 1;
    u32 m_ByteSize = 0;
};

// Video memory of a texture: width x bits per pixel x height / 8.
u32 TextureByteSize(u8 format, u32 width, u32 height);
// Bits per pixel of a texture format code (0 for unknown codes).
u32 TextureBitsPerPixel(u8 format);

} // namespace lv::graphics
