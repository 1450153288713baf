#pragma once
// A pixel shader of the OpenGL device: a linked program of the shared vertex stage and the
// shader's GLSL fragment stage. GL programs outlive a device Reset, as Direct3D 9 shaders do.
#include "platform/d3d9/GlContext.h"
#include "platform/d3d9/d3d9.h"

#include <memory>

namespace lv::platform {

class CGlPixelShader final : public IDirect3DPixelShader9
{
public:
    // D3DERR_INVALIDCALL when the code is not the layer's compiled code or does not build.
    static HRESULT Create(const std::shared_ptr<CGlContext>& context, const DWORD* code, CGlPixelShader** shader);
    ULONG AddRef() override { return ++m_Refs; }
    ULONG Release() override;

    unsigned GetProgram() const { return m_Program; }
    // Sets the render-target size uniform when it changed for this program (program in use).
    void SetTargetSize(UINT width, UINT height);

private:
    CGlPixelShader(const std::shared_ptr<CGlContext>& context, unsigned program);
    ~CGlPixelShader();

    std::shared_ptr<CGlContext> m_Context;
    unsigned m_Program;
    int m_TargetSizeLocation;
    UINT m_TargetWidth = 0;
    UINT m_TargetHeight = 0;
    ULONG m_Refs = 1;
};

} // namespace lv::platform
