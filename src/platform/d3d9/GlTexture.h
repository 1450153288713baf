#pragma once
// A texture of the OpenGL device: one level, held as an RGBA8 GL texture. Textures that are not
// render targets keep their level in its own format on the CPU (what LockRect hands out, so
// reading back needs no GPU round trip); render targets live only on the GPU, with a
// framebuffer object each.
#include "platform/d3d9/GlContext.h"
#include "platform/d3d9/d3d9.h"

#include <memory>
#include <vector>

namespace lv::platform {

class CGlTexture;

// The level-0 surface of a texture; its references are the texture's.
class CGlTextureSurface final : public IDirect3DSurface9
{
public:
    explicit CGlTextureSurface(CGlTexture& owner) : m_Owner(owner) {}
    ULONG AddRef() override;
    ULONG Release() override;
    HRESULT GetDesc(D3DSURFACE_DESC* desc) override;
    HRESULT LockRect(D3DLOCKED_RECT* locked, const RECT* rect, DWORD flags) override;
    HRESULT UnlockRect() override;
    CGlTexture& GetTexture() { return m_Owner; }

private:
    CGlTexture& m_Owner;
};

class CGlTexture final : public IDirect3DTexture9
{
public:
    static HRESULT Create(const std::shared_ptr<CGlContext>& context, UINT width, UINT height, DWORD usage,
                          D3DFORMAT format, D3DPOOL pool, CGlTexture** texture);

    ULONG AddRef() override;
    ULONG Release() override;
    HRESULT GetLevelDesc(UINT level, D3DSURFACE_DESC* desc) override;
    HRESULT GetSurfaceLevel(UINT level, IDirect3DSurface9** surface) override;
    HRESULT LockRect(UINT level, D3DLOCKED_RECT* locked, const RECT* rect, DWORD flags) override;
    HRESULT UnlockRect(UINT level) override;

    // References the device holds while the texture is bound; they keep it alive but do not
    // count as the application holding it.
    void AddBinding();
    void RemoveBinding();
    bool IsHeldByApplication() const { return m_Refs > m_Bindings; }

    unsigned GetGlTexture() const { return m_GlTexture; }
    // The framebuffer object of a render target (made on first use); 0 for other textures.
    unsigned GetFramebuffer();
    UINT GetWidth() const { return m_Width; }
    UINT GetHeight() const { return m_Height; }
    bool IsRenderTarget() const { return m_Usage & D3DUSAGE_RENDERTARGET; }
    // Every texel samples with alpha 1: an X8R8G8B8 texture, or one whose uploaded texels all
    // have full alpha. A render target's contents are not known on this side.
    bool IsOpaque() const { return m_Format == D3DFMT_X8R8G8B8 || (!IsRenderTarget() && m_TranslucentRows == 0); }

private:
    CGlTexture(const std::shared_ptr<CGlContext>& context, UINT width, UINT height, DWORD usage, D3DFORMAT format,
               D3DPOOL pool);
    ~CGlTexture();
    void Upload(UINT firstRow, UINT endRow);
    // Notes which of the rows just uploaded (B, G, R, A texels from firstRow on) have a texel
    // that is not fully opaque.
    void NoteTranslucentRows(const BYTE* texels, UINT firstRow, UINT endRow);

    std::shared_ptr<CGlContext> m_Context;
    CGlTextureSurface m_Surface{*this};
    UINT m_Width;
    UINT m_Height;
    DWORD m_Usage;
    D3DFORMAT m_Format;
    D3DPOOL m_Pool;
    ULONG m_Refs = 1;
    ULONG m_Bindings = 0;
    unsigned m_GlTexture = 0;
    unsigned m_Framebuffer = 0;
    std::vector<BYTE> m_Level;      // CPU copy in the texture's format (not for render targets)
    std::vector<BYTE> m_LockBuffer; // a render target's pixels while locked
    std::vector<BYTE> m_RowTranslucent; // per texel row, 1 while it holds a texel with alpha below 1
    UINT m_TranslucentRows = 0;
    bool m_Locked = false;
    RECT m_LockedRect{};
};

} // namespace lv::platform
