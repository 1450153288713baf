#pragma once
// One texture of the program: its size, format and flags, the device texture made on first use,
// an optional CPU copy of its pixels, its surface declaration and its place in the manager's
// least-recently-used list.
#include "core/Types.h"
#include "platform/d3d9/d3d9.h"

namespace lv::graphics {

struct CSurfaceRecord;
class CTextureManager;

class CTexture
{
public:
    // Texture flags.
    static constexpr u8 kReloadable = 0x02;
    static constexpr u8 kPixelsNotLoaded = 0x04;
    static constexpr u8 kRenderTarget = 0x08;
    static constexpr u8 kNearest = 0x10;
    static constexpr u8 kSizeFromFile = 0x20;

    CTexture(CTextureManager* manager, u16 width, u16 height, u8 flags);
    ~CTexture();
    CTexture(const CTexture&) = delete;
    CTexture& operator=(const CTexture&) = delete;

    void AddRef() { ++m_RefCount; }
    void Release() { --m_RefCount; }
    s32 GetRefCount() const { return m_RefCount; }

    // The only way the renderer gets the device texture: loads it on first use and moves the
    // texture to the newest end of the least-recently-used list (once per time-system tick).
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
    u32 GetUseStamp() const { return m_UseStamp; }
    const CSurfaceRecord* GetDeclaration() const { return m_Declaration; }
    void SetDeclaration(const CSurfaceRecord* record);
    // Run-time textures have no file: their declaration path is empty.
    bool HasFile() const;
    // Linked in the least-recently-used list (next = more recently used).
    CTexture* GetNewer() const { return m_Next; }
    CTexture* GetOlder() const { return m_Prev; }

    // Uploads width x height 32-bit pixels (0xAARRGGBB), creating the device texture when
    // missing. A reloadable run-time texture also keeps them as its CPU copy, the only source
    // it can be restored from after the device texture is lost.
    bool UploadArgb(const u32* pixels);
    // Copies rows in the texture's own format; fails when the size differs from the texture's or
    // `size` is shorter than the whole level.
    bool UploadData(const void* data, u32 size, u32 width, u32 height, u8 format);

    // The CPU copy: width x height 32-bit pixels, or null.
    u32* GetPixelCopy() const { return m_PixelCopy; }
    // Replaces any copy by a zeroed one (creating the device texture when missing).
    void AllocPixelCopy();
    void FreePixelCopy();
    // Uploads the copy (creating the device texture when missing) when there is one.
    void UploadPixelCopy();
    // Fills the copy from the device texture.
    void ReadBack();

    // Releases the device texture and its charge. Declared textures also drop their CPU copy
    // (they reload from their file); run-time textures keep it, so they come back with it.
    void ReleaseDeviceTexture();
    // Releases the device texture and marks the pixels as not loaded.
    void Evict();
    void Load();

private:
    friend class CTextureFactory;
    friend class CTextureManager;

    CTextureManager* m_Manager;
    IDirect3DTexture9* m_DeviceTexture = nullptr;
    u32* m_PixelCopy = nullptr;
    u16 m_Width = 0;
    u16 m_Height = 0;
    s32 m_RefCount = 0;
    u8 m_Flags = 0;
    u8 m_Format = 1;
    // Set while the texture loads, so that its uploads do not start another load.
    bool m_Loading = false;
    bool m_InList = false;
    u32 m_ByteSize = 0;
    u32 m_UseStamp = 0;
    const CSurfaceRecord* m_Declaration;
    CTexture* m_Next = nullptr;
    CTexture* m_Prev = nullptr;
};

// Video memory of a texture: width x bits per pixel x height / 8.
u32 TextureByteSize(u8 format, u32 width, u32 height);
// Bits per pixel of a texture format code (0 for unknown codes).
u32 TextureBitsPerPixel(u8 format);

} // namespace lv::graphics
