#pragma once
// The OpenGL 3.3 core device. One vertex array over one streaming vertex buffer used as a ring
// (draws append their vertices; the store is orphaned only when the ring is full), programs
// standing in for the fixed-function texture stage 0, a sampler object per stage, a framebuffer
// object as the back buffer and one per render-target texture. The GL bindings the device last
// set are remembered, so a draw issues only the calls whose state changed.
#include "platform/d3d9/GlContext.h"
#include "platform/d3d9/d3d9.h"

#include <memory>
#include <unordered_map>
#include <vector>

namespace lv::platform {

class CGlBackBuffer;
class CGlPixelShader;
class CGlTexture;

class CGlDevice final : public IDirect3DDevice9
{
public:
    // The context is already made for the device window; the parent is referenced while the
    // device lives.
    static HRESULT Create(IDirect3D9* parent, const std::shared_ptr<CGlContext>& context,
                          D3DPRESENT_PARAMETERS* params, IDirect3DDevice9** device);

    ULONG AddRef() override { return ++m_Refs; }
    ULONG Release() override;
    HRESULT TestCooperativeLevel() override;
    HRESULT Reset(D3DPRESENT_PARAMETERS* params) override;
    HRESULT Present(const RECT* source, const RECT* dest, HWND destWindow, const RGNDATA* dirty) override;
    HRESULT GetBackBuffer(UINT swapChain, UINT index, D3DBACKBUFFER_TYPE type, IDirect3DSurface9** surface) override;
    HRESULT CreateTexture(UINT width, UINT height, UINT levels, DWORD usage, D3DFORMAT format, D3DPOOL pool,
                          IDirect3DTexture9** texture, void** sharedHandle) override;
    HRESULT SetRenderTarget(DWORD index, IDirect3DSurface9* surface) override;
    HRESULT GetRenderTarget(DWORD index, IDirect3DSurface9** surface) override;
    HRESULT BeginScene() override;
    HRESULT EndScene() override;
    HRESULT Clear(DWORD count, const RECT* rects, DWORD flags, DWORD color, float z, DWORD stencil) override;
    HRESULT SetRenderState(D3DRENDERSTATETYPE state, DWORD value) override;
    HRESULT SetTexture(DWORD stage, IDirect3DBaseTexture9* texture) override;
    HRESULT SetTextureStageState(DWORD stage, D3DTEXTURESTAGESTATETYPE type, DWORD value) override;
    HRESULT SetSamplerState(DWORD sampler, D3DSAMPLERSTATETYPE type, DWORD value) override;
    HRESULT DrawPrimitiveUP(D3DPRIMITIVETYPE type, UINT primitiveCount, const void* vertices, UINT stride) override;
    HRESULT SetFVF(DWORD fvf) override;
    HRESULT CreatePixelShader(const DWORD* function, IDirect3DPixelShader9** shader) override;
    HRESULT SetPixelShader(IDirect3DPixelShader9* shader) override;
    HRESULT CreateQuery(D3DQUERYTYPE type, IDirect3DQuery9** query) override;

    // TestCooperativeLevel answers DEVICELOST once, then DEVICENOTRESET until a Reset.
    void SimulateLoss();
    // The window's picture as the last Present drew it (0xAARRGGBB, rows top first); readable
    // where the window system keeps it after the swap, as SDL's offscreen driver does.
    bool ReadWindowPixels(std::vector<DWORD>& pixels, UINT& width, UINT& height);

    static constexpr DWORD kStages = 2;

private:
    struct CFixedProgram
    {
        unsigned Program = 0;
        int TargetSize = -1;
        UINT TargetWidth = 0;
        UINT TargetHeight = 0;
    };

    CGlDevice(IDirect3D9* parent, const std::shared_ptr<CGlContext>& context);
    ~CGlDevice();
    bool CreateGlObjects();
    HRESULT ApplyPresentation(D3DPRESENT_PARAMETERS* params);
    void ReleaseBindings();
    void SetDefaultStates();
    void RememberDesktopMode();
    void CheckDisplayChange();
    // Binds the current render target and its viewport; returns its size.
    void BindTarget(UINT& width, UINT& height);
    // pointSampled: the draw reads the same texels with point sampling (see TexelExact).
    void ApplySampler(DWORD stage, bool pointSampled);
    // Starts the binding cache over when other code has touched GL bindings.
    void SyncBindings();
    void UseProgram(unsigned program);
    void BindFramebuffer(unsigned framebuffer);
    // Blending as the render states ask, or off when it would leave every source pixel as it is.
    void ApplyBlend(bool neutral);
    // Whether the draw's blend gives exactly the source colour: ONE, ZERO into a render target, or
    // ONE, ZERO and SRCALPHA, INVSRCALPHA when the fixed-function stage's alpha is 1 everywhere
    // (opaque texture, opaque diffuse colour of every vertex).
    bool BlendIsNeutral(const void* vertices, UINT count, UINT stride) const;
    bool TexelExact(const void* vertices, UINT count, UINT stride) const;
    void ApplyAlphaWrites(bool enabled);
    // Copies the vertices into the ring and points the attributes at them; the index of the
    // first vertex in the buffer, or -1 when the buffer cannot take them.
    long long StreamVertices(const void* vertices, size_t bytes, UINT stride);
    void ApplyVertexFormat(UINT stride);
    DWORD FixedProgramKey() const;
    // Null, with a log line, when the program does not build.
    CFixedProgram* FixedProgram(DWORD key);

    enum class ELoss
    {
        None,
        Lost,
        NotReset,
    };

    IDirect3D9* m_Direct3D;
    std::shared_ptr<CGlContext> m_Context;
    ULONG m_Refs = 1;

    CGlBackBuffer* m_BackBuffer = nullptr;
    CGlTexture* m_RenderTarget = nullptr; // null: the back buffer
    CGlTexture* m_Textures[kStages] = {};
    CGlPixelShader* m_PixelShader = nullptr;
    DWORD m_RenderStates[256] = {};
    DWORD m_StageStates[kStages][33] = {};
    DWORD m_SamplerStates[kStages][14] = {};
    bool m_SamplerDirty[kStages] = {};
    bool m_SamplerPoint[kStages] = {};
    DWORD m_Fvf = 0;

    bool m_InScene = false;
    bool m_Fullscreen = false;
    ELoss m_Loss = ELoss::None;
    int m_DesktopWidth = 0;
    int m_DesktopHeight = 0;
    int m_DesktopRefresh = 0;

    unsigned m_VertexArray = 0;
    unsigned m_VertexBuffer = 0;
    unsigned m_Samplers[kStages] = {};
    // Stage-0 programs by state combination (see FixedProgramKey), built on first use; the last
    // one looked up is kept at hand (map nodes never move).
    std::unordered_map<DWORD, CFixedProgram> m_FixedPrograms;
    DWORD m_LastFixedKey = ~0u;
    CFixedProgram* m_LastFixed = nullptr;

    // What the GL context has bound, as far as the device knows (valid while the context's
    // binding epoch is m_BindingEpoch).
    static constexpr unsigned kUnknown = ~0u;
    unsigned long long m_BindingEpoch = ~0ull;
    unsigned m_BoundFramebuffer = kUnknown;
    unsigned m_BoundProgram = kUnknown;
    unsigned m_BoundTextures[kStages] = {kUnknown, kUnknown};
    unsigned m_ActiveUnit = kUnknown;
    UINT m_ViewportWidth = 0;
    UINT m_ViewportHeight = 0;
    int m_BlendEnabled = -1;
    int m_AlphaWrites = -1;
    bool m_TargetIsWindow = false;
    bool m_ClipOriginKnown = false;
    // Without clip control the window is never drawn into directly.
    bool m_HasClipControl = false;
    unsigned m_BlendSource = 0;
    unsigned m_BlendDestination = 0;
    bool m_BlendIntoWindow = false;
    DWORD m_AttribFvf = ~0u;
    UINT m_AttribStride = 0;
    // The streaming ring: its size and the first byte not yet written since the last orphaning.
    size_t m_RingSize = 0;
    size_t m_RingUsed = 0;
};

} // namespace lv::platform
