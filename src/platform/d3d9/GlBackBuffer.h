#pragma once
// The back buffer of the OpenGL device: a framebuffer object with an RGB texture (no destination
// alpha), blitted to the window by Present. Rows are stored top row first, as Direct3D numbers
// them, so reading back and drawing need no flips; only Present turns the picture over. When the
// window has the back buffer's size the device draws straight into the window instead (see
// SetDirect), which saves the copy of every frame; locking then reads the window.
#include "platform/d3d9/GlContext.h"
#include "platform/d3d9/d3d9.h"

#include <memory>
#include <vector>

namespace lv::platform {

class CGlBackBuffer final : public IDirect3DSurface9
{
public:
    // Owned by the device; references handed out to the application are counted apart.
    CGlBackBuffer(const std::shared_ptr<CGlContext>& context, UINT width, UINT height);
    ULONG AddRef() override;
    ULONG Release() override;
    HRESULT GetDesc(D3DSURFACE_DESC* desc) override;
    HRESULT LockRect(D3DLOCKED_RECT* locked, const RECT* rect, DWORD flags) override;
    HRESULT UnlockRect() override;

    bool IsHeldByApplication() const { return m_Refs > 0; }
    // The device lets go; the surface goes once the application has released it too.
    void Abandon();
    // The framebuffer drawing goes to: the window's (0) when direct.
    unsigned GetFramebuffer() const { return m_Direct ? 0 : m_Framebuffer; }
    bool IsDirect() const { return m_Direct; }
    void SetDirect(bool direct) { m_Direct = direct; }
    UINT GetWidth() const { return m_Width; }
    UINT GetHeight() const { return m_Height; }

private:
    ~CGlBackBuffer();

    std::shared_ptr<CGlContext> m_Context;
    UINT m_Width;
    UINT m_Height;
    ULONG m_Refs = 0;
    bool m_Abandoned = false;
    unsigned m_GlTexture = 0;
    unsigned m_Framebuffer = 0;
    std::vector<BYTE> m_LockBuffer;
    bool m_Locked = false;
    bool m_Direct = false;
};

} // namespace lv::platform
