#pragma once
// Owner of every texture of the program.
#include "core/Types.h"
#include "platform/d3d9/d3d9.h"

namespace lv::graphics {

class CTexture;
class CTextureFactory;

class CTextureManager
{
public:
    static CTextureManager& Instance();

    // Declared textures start without pixels when on (the default); set before the declarations
    // are turned into textures.
    void SetAllOnDemand(u8 onDemand) { m_OnDemand = onDemand; }
    u8 GetAllOnDemand() const { return m_OnDemand; }
    // Loads the next queued textures; nothing is queued until declared textures exist.
    void UpdatePreload() {}

    // A run-time texture whose device texture is made at once; null when that fails.
    CTexture* CreateTexture(u32 width, u32 height);
    // The same as a render target (flag 0x08).
    CTexture* CreateRenderTarget(u32 width, u32 height);

    void LoadSurfaceData(CTexture* texture);
    void ReleaseAllDeviceTextures();
    void ReleaseRenderTargets();
    CTexture* FindTextureByDeviceTexture(IDirect3DBaseTexture9* deviceTexture);
    // The file a texture was declared with; empty for textures made at run time.
    const char* GetTexturePath(CTexture* texture) const;

    void AddUsedBytes(u32 bytes) { m_UsedBytes += bytes; }
    void SubUsedBytes(u32 bytes) { m_UsedBytes -= bytes < m_UsedBytes ? bytes : m_UsedBytes; }
    u32 GetUsedBytes() const { return m_UsedBytes; }

    CTextureFactory& GetFactory() { return *m_Factory; }

private:
    CTextureManager();
    CTexture* CreateRuntime(u32 width, u32 height, u8 flags);

    CTextureFactory* m_Factory;
    u8 m_OnDemand = 1;
    u32 m_UsedBytes = 0;
};

} // namespace lv::graphics
